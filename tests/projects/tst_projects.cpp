// The project catalogue on real folders, then its window driven by a user.
#include <QtTest>
#include <QtWidgets>
#include <optional>

#include "AppGlobals.h"
#include "FolderRights.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "ProjectCatalogue.h"
#include "ProjectFixtures.h"
#include "WidgetState.h"
#include "fProject.h"
#include "fProjectNew.h"
#include "mIdioma.h"

namespace {
QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
QStringList entriesIn(const QString& dir) { return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }
QString projectValue(const QString& dir, const QString& key) {
    return iniRead(QDir(dir).filePath("Project.ini"), "Project", key, "<none>");
}
int icon(const ScriptedPrompts& p) { return p.shown().isEmpty() ? -1 : p.shown().last().style & 0x70; }
bool denied(std::optional<NoWriteFolder>& deny, const QString& dir) { return deny.emplace(dir).active(); }

// Messages as language keys, maybe then "\r" and a path with "%root" (projects) or "%tpl" (templates).
QStringList texts(const QStringList& keyed, const QString& root = {}, const QString& tpl = {}) {
    QStringList out;
    for (QString m : keyed) {
        m.replace("%root/", nat(root + "/")).replace("%tpl", tpl);
        out << Texto(m.section('\r', 0, 0)) + (m.contains('\r') ? "\r" + m.section('\r', 1) : QString());
    }
    return out;
}

// icon: of the last message (-1: unchecked); setup: templates "custom"/"empty"/"missing", or "noRights".
struct Accept {
    int mode;
    bool copy;
    QString original, name, prot, setup;
    bool ok;
    QStringList messages;
    int icon;
    QStringList files;
};
QStringList listed(QTreeWidget* t) {
    QStringList l;
    for (int i = 0; i < t->topLevelItemCount(); ++i) l << t->topLevelItem(i)->text(0);
    return l;
}
QString current(fProject& w) {
    const QTreeWidgetItem* it = w.lvwPro->currentItem();
    return it ? it->text(0) + "|" + it->text(1) + "|" + it->text(2) : QString();
}
}  // namespace
Q_DECLARE_METATYPE(Accept)

class TestProjects : public QObject {
    Q_OBJECT
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    QString m_root;

    void threeProjects() {
        m_home = std::make_unique<TestHome>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_root = m_home->projectsRoot();
        makeProject(m_root, "Charlie", "LON", "b-desc");
        makeProject(m_root, "alpha", "MBS6", "c-desc");
        makeProject(m_root, "Bravo", "LON", "a-desc");
    }

private slots:
    void cleanup() { m_prompts.reset(), m_home.reset(); }

    // The listed projects, or a root the scan cannot make (a plain file on its way).
    void scan_data() {
        addColumns<int, QString, int, QString>("projects", "current", "selected", "root");
        QTest::newRow("named project") << 3 << "P002" << 2 << "";
        QTest::newRow("letter case counts") << 3 << "p002" << 0 << "";
        QTest::newRow("unknown name selects first") << 3 << "Zulu" << 0 << "";
        QTest::newRow("no current project") << 3 << "" << 0 << "";
        QTest::newRow("no projects") << 0 << "P000" << -1 << "";
        QTest::newRow("500 projects") << 500 << "P250" << 250 << "";
        QTest::newRow("missing root is created quietly") << 0 << "" << -1 << "deep/new/ProjectsASCII";
        QTest::newRow("root below a plain file") << 0 << "" << -1 << "afile/ProjectsASCII";
    }
    void scan() {
        const auto [projects, current, selected, root] =
            fetch<int, QString, int, QString>("projects", "current", "selected", "root");
        TestHome home;
        ScriptedPrompts prompts;
        const QString dir = home.projectsRoot();
        for (int i = projects - 1; i >= 0; --i) makeProject(dir, QString("P%1").arg(i, 3, 10, QChar('0')), "LON", "d");
        makeProject(dir, "NoProt", QString(), "no protocol key");
        makeProject(dir, "EmptyProt", "", "empty protocol");
        QDir().mkpath(dir + "/NoDescriptionFile"), QDir().mkpath(dir + "/OnlyLon");  // none of these is a project
        for (const char* f : {"/PlainFile.ini", "/OnlyLon/LON.ini"})
            QVERIFY(writeAll(dir + f, crlf({"[Project]", "Prot=LON"})));
        QVERIFY(writeAll(home.file("afile"), "x"));
        if (!root.isEmpty()) app().RutaProyectos = nat(home.file(root));
        app().NombreProyecto = current;
        const Escaneo r = EscanearProyectos();
        const bool ok = !root.startsWith("afile");
        QCOMPARE(r.ok, ok);
        QCOMPARE(QFileInfo(app().RutaProyectos).isDir(), ok);
        QCOMPARE(prompts.texts(), ok ? QStringList() : QStringList{Texto("ErrDirPro") + "\r" + app().RutaProyectos});
        QCOMPARE(icon(prompts), ok ? -1 : int(Msg::Critical));
        if (!ok) return;
        QCOMPARE(r.filas.size(), projects);
        QCOMPARE(r.seleccion, selected);
        if (projects) QCOMPARE(r.filas[1].nombre + r.filas[1].prot + r.filas[1].desc, QStringLiteral("P001LONd"));
        QCOMPARE(app().NombreIni, QStringLiteral("Project"));
    }

    void accept_data() {
        const auto row = addColumns<Accept>("c");
        const QStringList mines{".hidden", "LON.dat", "LON.ini", "Project.ini"}, ini{"Project.ini"},
            kept{".hidden", "History.csv", "LON.dat", "LON.ini", "Project.ini", "checkout.CSV"};
        const QStringList nameErr{"ErrNomPro"}, taken{"ProErr"};
        const int crit = int(Msg::Critical), excl = int(Msg::Exclamation);
        const QStringList fromTemplate{"MBS6.dat", "MBS6.ini", "Project.ini"};
        row("from template", {1, false, "", "New", "MBS6", "", true, {}, -1, fromTemplate});
        row("template match ignores case, read-only template",
            {1, false, "", "Case", "MBS6", "custom", true, {}, -1, {"MBS6.Dat", "Project.ini", "mbs6.INI"}});
        row("no template files", {1, false, "", "Bare", "LON", "empty", true, {}, -1, ini});
        row("templates folder missing",
            {1, false, "", "NoTpl", "MBS6", "missing", true, {"Erroralacc\r%tpl", "ErrCopFilPla"}, excl, ini});
        row("copy: plain files, hidden too", {1, true, "Mine", "Copy", "LON", "", true, {}, -1, mines});
        row("copy of vanished project",
            {1, true, "Gone", "Copy", "LON", "", true, {"Erroralacc\r%root/Gone", "ErrCopPro"}, -1, ini});
        row("edit, same name", {2, false, "Mine", "Mine", "LON", "", true, {}, -1, kept});
        row("edit with rename", {2, false, "Mine", "After", "LON", "", true, {}, -1, kept});
        row("rename changing letter case", {2, false, "plant", "Plant", "LON", "", true, {}, -1, ini});
        for (const QString& n : {QString("Plant 1"), QString(u8"Área Ñandú"), QString("a-b_c(2)"), QString(255, 'x'),
                                 QString("COM10"), QString("CON"), QString("x:y*?"), QString(u8"Hall\u00a0")})
            row(qPrintable("valid: " + n.left(12)), {1, false, "", n, "MBS6", "", true, {}, -1, fromTemplate});
        QStringList bad{"", "   ", " Left", "Right ", "\tTab", "v1.2", "a.b", u8"Ωmega", u8"Проект"};
        for (const char* c : {"/", "\\", "\r", "\n"}) bad << QString("a%1b").arg(c);
        for (const QString& n : bad)
            row(qPrintable("invalid: " + n.left(12).toUtf8().toHex()),
                {1, false, "", n, "LON", "", false, nameErr, excl, {}});
        row("create refused by the file system", {1, false, "", QString(300, 'n'), "LON", "", false, taken, crit, {}});
        for (const char* bad : {"Mine.1", "Mine/1", " Mine"})
            row(bad, {2, false, "Mine", bad, "LON", "", false, nameErr, excl, {}});
        row("edit keeps a name it would refuse", {2, false, "Hall 3 ", "Hall 3 ", "LON", "", true, {}, -1, ini});
        for (const char* t : {"Other", "Empty", "File"}) row(t, {1, false, "", t, "MBS6", "", false, taken, crit, {}});
        row("root without rights", {1, false, "", "Denied", "LON", "noRights", false, taken, -1, {}});
        for (const char* t : {"Other", "Empty"})
            row(qPrintable(QString("rename onto ") + t),
                {2, false, "Mine", t, "LON", "", false, {QString("ErrNomProExiste\r%root/") + t}, crit, {}});
        row("rename of vanished project", {2, false, "Gone", "Fresh", "LON", "", false, nameErr, crit, {}});
    }
    void accept() {
        QFETCH(Accept, c);
        TestHome home(c.setup != "missing");
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        const QString mine = makeProject(root, "Mine", "LON", "mine");
        QVERIFY(writeAll(mine + "/LON.ini", "[ASCII]\r\nIP=127.0.0.1\r\n"));
        // The history and checkout files stay with the original (any letter case).
        for (const char* f : {"LON.dat", ".hidden", "History.csv", "checkout.CSV"})
            QVERIFY(writeAll(mine + "/" + f, f));
        QDir().mkpath(mine + "/sub"), QDir().mkpath(root + "/Empty");  // sub-folders are not copied
        for (const QString n : {"Other", "plant", "Hall 3 "}) makeProject(root, n, "LON", n.toLower());
        QVERIFY(writeAll(root + "/File", "x"));
        const QString tpl = home.file("tpl");
        QDir().mkpath(tpl + "/MBS6.sub");
        for (const char* f : {"mbs6.INI", "MBS6.Dat", "MBS6", "MBS62.ini", "LON.ini"}) writeAll(tpl + "/" + f, f);
        QVERIFY(QFile::setPermissions(tpl + "/mbs6.INI", QFile::ReadOwner | QFile::ReadGroup));
        if (c.setup == "custom" || c.setup == "empty")
            app().RutaPlantillas = tpl + (c.setup == "empty" ? "/MBS6.sub" : "");
        const QStringList before = entriesIn(root);
        std::optional<NoWriteFolder> deny;
        if (c.setup == "noRights" && !denied(deny, root)) QSKIP("cannot take write rights away here");
        QCOMPARE(AceptarProyecto({c.mode, c.copy, c.original, c.name, "new text", c.prot}), c.ok);
        QCOMPARE(prompts.texts(), texts(c.messages, root, app().RutaPlantillas));
        if (c.icon >= 0) QCOMPARE(icon(prompts), c.icon);
        if (!c.ok) {
            QCOMPARE(entriesIn(root), before);
            QCOMPARE(projectValue(mine, "Desc") + projectValue(root + "/Other", "Desc"), "mineother");
            QCOMPARE(entriesIn(root + "/Empty").size() + readAll(root + "/File").size(), 1);
            return;
        }
        const QString dir = root + "/" + c.name;
        QCOMPARE(app().RutaProyecto, nat(dir));
        QCOMPARE(filesIn(dir), c.files);
        QCOMPARE(projectValue(dir, "Desc") + projectValue(dir, "Prot"), "new text" + c.prot);
        if (c.mode == 2 && c.original != c.name) QVERIFY(!entriesIn(root).contains(c.original));
        if (c.copy) QCOMPARE(projectValue(mine, "Desc"), QStringLiteral("mine"));
        const QByteArray iniBytes = readAll(dir + "/Project.ini");
        if (c.mode == 1 && !c.copy) QVERIFY(iniBytes.indexOf("Desc=") < iniBytes.indexOf("Prot="));
        const QString from = c.mode == 2 ? QString() : c.copy ? root + "/" + c.original : app().RutaPlantillas;
        for (const QString& f : c.files) {
            if (f != "Project.ini" && !from.isEmpty()) QCOMPARE(readAll(dir + "/" + f), readAll(from + "/" + f));
            QVERIFY(QFileInfo(dir + "/" + f).permissions() & QFile::WriteOwner);
        }
    }

    void copyGoesOnAfterOneFailure() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString src = home.file("src"), dst = home.file("dst");
        for (const QString& d : {src, dst}) QDir().mkpath(d);
        for (const char* f : {"a", "b", "c"}) QVERIFY(writeAll(src + "/" + f, f));
        QVERIFY(writeAll(dst + "/b", "already there"));
        QVERIFY(CopiarFicheros(src, dst, QString()));
        QCOMPARE(prompts.texts(), QStringList{Texto("Erroralcopy") + "\r" + nat(dst + "/b")});
        QCOMPARE(icon(prompts), int(Msg::Exclamation));
        QCOMPARE(readAll(dst + "/a") + readAll(dst + "/b") + readAll(dst + "/c"), QByteArray("aalready therec"));
    }
    // The window with `open` the open project and `row` selected: the row chosen (button, Enter, double click) or
    // the window left; a new project from a template or as a copy of the row; the row edited; or deleted. Checked:
    // what is said, what the new/edit dialog showed ("name|desc|protocol, protocol choice open, copy, protocols",
    // then '>' and the row selected after it), the listed rows, and the open project once the window is left.
    void window_data() {
        // answer: to the first question, -1 none; said: language keys, maybe "\r" and the rest
        addColumns<QString, QString, QString, int, QStringList, QString, QString>("how", "open", "row", "answer",
                                                                                  "said", "dialog", "after");
        auto row = [](const char* how, const char* open, const char* row, int answer, const QStringList& said,
                      const char* dialog, const char* after) {
            QTest::newRow(qPrintable(QString(how) + " " + row + (answer == Msg::No ? ", no" : "")))
                << QString(how) << QString(open) << QString(row) << answer << said << QString(dialog) << QString(after);
        };
        const QString askCopy = "NuevoProCopia\r%1 - %2", askDelete = "BorrarPro\ralpha";
        for (const char* how : {"button", "enter key", "double click"})
            row(how, "Bravo", "Charlie", -1, {}, "", "Charlie|LON|b-desc");
        for (const char* how : {"leave", "leave, enter on focused exit"})
            row(how, "Bravo", "Charlie", -1, {}, "", "Bravo|LON|a-desc");
        row("new", "Charlie", "Bravo", Msg::No, {askCopy.arg("Bravo", "LON")}, "||LON102>Delta|MBS6|fresh",
            "Charlie|LON|b-desc");
        row("new, cancelled", "Charlie", "Bravo", Msg::No, {askCopy.arg("Bravo", "LON")}, "||LON102>Bravo|LON|a-desc",
            "Charlie|LON|b-desc");
        row("new", "Charlie", "alpha", Msg::Yes, {askCopy.arg("alpha", "MBS6"), "ProErr"},
            "alpha|c-desc|MBS6012>Delta|MBS6|fresh", "Charlie|LON|b-desc");
        row("edit", "Charlie", "Charlie", -1, {}, "Charlie|b-desc|LON002>Delta|LON|fresh", "Delta|LON|fresh");
        row("delete", "alpha", "alpha", Msg::Yes, {askDelete}, "", "||");
        row("delete", "alpha", "alpha", Msg::No, {askDelete}, "", "alpha|MBS6|c-desc");
        row("delete, sub-folder keeps the folder", "alpha", "alpha", Msg::Yes, {askDelete, "ErrBCa"}, "", "||");
        row("delete, no rights", "alpha", "alpha", Msg::Yes, {askDelete, "ErrBFi", "ErrBCa"}, "", "||");
    }
    void window() {
        const auto [how, open, row, said, dialog, after] =
            fetch<QString, QString, QString, QStringList, QString, QString>("how", "open", "row", "said", "dialog",
                                                                            "after");
        QFETCH(int, answer);  // a plain variable: the dialog's handler captures it
        threeProjects();
        const QString alpha = m_root + "/alpha";
        QVERIFY(writeAll(alpha + "/MBS6.dat", "signals") && writeAll(alpha + "/.hidden", "x"));
        if (how.contains("sub-folder")) QDir().mkpath(alpha + "/archive");
        EscribeIniAplicacion("Configuracion", "LastProject", open);
        app().NombreProyecto = open;
        app().ProtProyecto = projectValue(m_root + "/" + open, "Prot");
        app().DescProyecto = projectValue(m_root + "/" + open, "Desc");
        app().RutaProyecto = nat(m_root + "/" + open);
        fProject w;
        w.show(), QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        if (QTest::currentDataTag() == QString("button Charlie"))
            QCOMPARE(windowDiffers(&w, "projects", m_home->path()), QString());
        QCOMPARE(listed(w.lvwPro), (QStringList{"alpha", "Bravo", "Charlie"}));
        if (how == "leave") {  // a header click sorts by its column, letter case aside; each later one turns it round
            QStringList orders;
            QHeaderView* h = w.lvwPro->header();
            for (int c : {0, 0, 2})
                QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(c) + 4, 4)),
                    orders << listed(w.lvwPro).join(',') + QString::number(h->isSortIndicatorShown()) +
                                  QString::number(h->sortIndicatorSection());  // the arrow on the column
            QCOMPARE(orders, QStringList({"alpha,Bravo,Charlie10", "Charlie,Bravo,alpha10", "Bravo,Charlie,alpha12"}));
        }
        QCOMPARE(current(w), QStringList({open, app().ProtProyecto, app().DescProyecto}).join('|'));
        w.lvwPro->setCurrentItem(w.lvwPro->findItems(row, Qt::MatchExactly, 0).value(0));
        if (answer >= 0) m_prompts->queueAnswer(answer);
        QString seen;
        bool stayedOpen = false;
        if (!dialog.isEmpty())
            whenModal<fProjectNew>([&](fProjectNew* d) {
                seen =
                    d->txtNom->text() + "|" + d->txtDesc->text() + "|" + d->cboProt->currentText() +
                    QString::number(d->cboProt->isEnabled()) + QString::number(d->copiarProyecto()) +
                    QString::number(d->cboProt->count()) +
                    (answer != Msg::Yes ? windowDiffers(d, "project-" + how.section(',', 0, 0), m_home->path()) : "");
                if (how.endsWith("cancelled")) return d->cmdCancelar->click();
                if (answer == Msg::Yes) d->cmdAceptar->click(), stayedOpen = d->isVisible();  // name taken
                d->txtNom->setText(""), QTest::keyClicks(d->txtNom, "Delta"), d->txtDesc->setText("fresh");
                if (answer == Msg::No) d->cboProt->setCurrentIndex(1);
                QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
            });
        std::optional<NoWriteFolder> deny;
        if (how.contains("rights") && !denied(deny, alpha)) QSKIP("cannot take write rights away here");
        const QPoint p = w.lvwPro->visualItemRect(w.lvwPro->currentItem()).center();
        if (how == "button") QTest::mouseClick(w.cmdSelec, Qt::LeftButton);
        if (how == "enter key") w.lvwPro->setFocus(), QTest::keyClick(w.lvwPro, Qt::Key_Return);
        if (how == "double click")
            QTest::mouseClick(w.lvwPro->viewport(), Qt::LeftButton, {}, p),
                QTest::mouseDClick(w.lvwPro->viewport(), Qt::LeftButton, {}, p);
        if (how == "leave") w.cmdSalir->click();
        if (how.contains("focused")) w.cmdSalir->setFocus(), QTest::keyClick(w.cmdSalir, Qt::Key_Return);
        if (!dialog.isEmpty()) (how == "edit" ? w.cmdEdit : w.cmdNuevo)->click();
        if (how.startsWith("delete")) w.cmdBorrar->click();
        deny.reset();
        const bool gone = how.startsWith("delete") && answer == Msg::Yes,
                   chosen = !how.contains("leave") && !w.isVisible();
        QCOMPARE(seen + ">" + (dialog.isEmpty() ? "" : current(w)), dialog.isEmpty() ? ">" : dialog);
        QCOMPARE(m_prompts->texts(), texts(said));
        if (!said.isEmpty())
            QCOMPARE(m_prompts->shown()[0].style,
                     int(how.startsWith("new") ? Msg::YesNoCancel | Msg::Question : Msg::YesNo | Msg::Question));
        if (said.size() > 1) QCOMPARE(icon(*m_prompts), int(Msg::Critical));
        QVERIFY(stayedOpen == (answer == Msg::Yes && how == "new"));
        QCOMPARE(listed(w.lvwPro).size(), 3 + (how == "new") - gone);
        QCOMPARE(listed(w.lvwPro).contains(row), !gone && how != "edit");
        QCOMPARE(QFileInfo::exists(m_root + "/" + row), how != "edit" && (!gone || said.size() > 1));
        if (how == "new")
            QCOMPARE(readAll(m_root + "/Delta/MBS6.dat"),
                     answer == Msg::Yes ? QByteArray("signals") : readAll(m_home->file("TemplatesASCII/MBS6.dat")));
        if (how.startsWith("delete")) {
            QCOMPARE(filesIn(alpha).isEmpty(), gone && !how.contains("rights"));
            QCOMPARE(LeeIniAplicacion("Configuracion", "LastProject", "-"), gone ? "" : "alpha");
        }
        if (w.isVisible()) w.cmdSalir->click();  // a renamed open project stays open under its new name
        QCOMPARE(w.result(), int(chosen ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(QStringList({app().NombreProyecto, app().ProtProyecto, app().DescProyecto}).join('|'), after);
        if (!gone) QCOMPARE(app().RutaProyecto, nat(m_root + "/" + after.section('|', 0, 0)));
    }
};

QTEST_MAIN(TestProjects)
#include "tst_projects.moc"
