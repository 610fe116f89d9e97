// The catalogue windows with real widgets: list, sorting, new (template, copy),
// edit, delete, select, cancel.
#include <QtTest>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "AppGlobals.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "ProjectFixtures.h"
#include "fProject.h"
#include "fProjectNew.h"
#include "mIdioma.h"

namespace {
QStringList names(QTreeWidget* t) {
    QStringList l;
    for (int i = 0; i < t->topLevelItemCount(); ++i) l << t->topLevelItem(i)->text(0);
    return l;
}
QString current(fProject& w) {
    const QTreeWidgetItem* it = w.lvwPro->currentItem();
    return it ? it->text(0) + "|" + it->text(1) + "|" + it->text(2) : QString();
}
void selectRow(fProject& w, const QString& name) {
    w.lvwPro->setCurrentItem(w.lvwPro->findItems(name, Qt::MatchExactly, 0).value(0));
}
}  // namespace

class TestProjectWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    QString m_root;

    void emptyRoot() {
        QDir(m_root).removeRecursively();
        QDir().mkpath(m_root);
    }

private slots:
    void init() {
        m_home = std::make_unique<TestHome>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_root = m_home->projectsRoot();
        makeProject(m_root, "Charlie", "LON", "b-desc");
        makeProject(m_root, "alpha", "MBS6", "c-desc");
        makeProject(m_root, "Bravo", "LON", "a-desc");
    }
    void cleanup() {
        m_prompts.reset();
        m_home.reset();
    }

    void sortByColumn_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("name descending") << QList<int>{0, 0} << QStringList{"Charlie", "Bravo", "alpha"};
        QTest::newRow("protocol descending") << QList<int>{1, 1} << QStringList{"alpha", "Bravo", "Charlie"};
        QTest::newRow("another column toggles too") << QList<int>{0, 2} << QStringList{"alpha", "Charlie", "Bravo"};
    }
    void sortByColumn() {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, order);
        fProject w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QHeaderView* h = w.lvwPro->header();
        for (int c : clicks)
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(c) + 5, h->height() / 2));
        QCOMPARE(names(w.lvwPro), order);
    }

    // Opening lists the projects with the current one selected; leaving restores it.
    void selectOrLeave_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"button", "enter key", "double click", "leave", "leave, enter on focused exit"})
            QTest::newRow(how) << how;
    }
    void selectOrLeave() {
        QFETCH(QString, how);
        app().NombreProyecto = "Bravo";
        app().RutaProyecto = "/current/project";
        fProject w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.lblPathProjects->text(), app().RutaProyectos);
        QCOMPARE(names(w.lvwPro), (QStringList{"alpha", "Bravo", "Charlie"}));
        QCOMPARE(current(w), QStringLiteral("Bravo|LON|a-desc"));
        selectRow(w, "Charlie");
        const QPoint p = w.lvwPro->visualItemRect(w.lvwPro->currentItem()).center();
        if (how == "button") QTest::mouseClick(w.cmdSelec, Qt::LeftButton);
        if (how == "enter key") w.lvwPro->setFocus(), QTest::keyClick(w.lvwPro, Qt::Key_Return);
        if (how == "double click")
            QTest::mouseClick(w.lvwPro->viewport(), Qt::LeftButton, {}, p), QTest::mouseDClick(w.lvwPro->viewport(), Qt::LeftButton, {}, p);
        if (how == "leave") w.cmdSalir->click();
        if (how.contains("focused")) w.cmdSalir->setFocus(), QTest::keyClick(w.cmdSalir, Qt::Key_Return);
        QVERIFY(!w.isVisible());
        const bool chosen = !how.startsWith("leave");
        QCOMPARE(w.result(), int(chosen ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(app().NombreProyecto + app().ProtProyecto + app().DescProyecto,
                 chosen ? QStringLiteral("CharlieLONb-desc") : "Bravo" + app().ProtProyecto + app().DescProyecto);
        QCOMPARE(app().RutaProyecto, chosen ? nat(m_root + "/Charlie") : QStringLiteral("/current/project"));
    }

    void emptyListRefusesQuietly() {
        emptyRoot();
        fProject w;
        w.show();
        bool ran = false;
        whenModal<fProjectNew>([](fProjectNew* d) { d->cmdCancelar->click(); }, &ran, 300);
        w.cmdEdit->click();
        w.cmdBorrar->click();
        QTest::keyClick(w.lvwPro, Qt::Key_Return);
        QTest::qWait(400);
        QVERIFY(!ran);
        QVERIFY(m_prompts->shown().isEmpty());
        w.cmdSelec->click();
        QCOMPARE(m_prompts->texts(), QStringList{Texto("DebeSelPro")});
        QCOMPARE(m_prompts->shown()[0].style & 0x70, int(Msg::Exclamation));
        QVERIFY(w.isVisible());
    }

    void rootThatCannotBeCreatedClosesWindow() {
        QVERIFY(writeAll(m_home->file("afile"), "x"));
        app().RutaProyectos = m_home->file("afile/sub");
        app().RutaProyecto = "/keep";
        fProject w;
        QVERIFY(!w.cargado());
        QCOMPARE(w.exec(), int(QDialog::Rejected));
        QCOMPARE(m_prompts->texts(), QStringList{Texto("ErrDirPro") + "\r" + app().RutaProyectos});
        QCOMPARE(app().RutaProyecto, QStringLiteral("/keep"));
    }

    // "New" (from a template or as a copy) and "edit", carried through.
    void newOrEditAccepted_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("answer");  // to "copy the selected project?"
        QTest::addColumn<QString>("opened");  // name|desc|protocol, protocol choice open, copy
        QTest::addColumn<QString>("result");
        QTest::newRow("new from template") << "Bravo" << int(Msg::No) << "||LON10" << "Delta|MBS6|fresh";
        QTest::newRow("new as copy, same name refused") << "alpha" << int(Msg::Yes) << "alpha|c-desc|MBS601"
                                                        << "Delta|MBS6|fresh";
        QTest::newRow("edit renames the open project") << "Charlie" << -1 << "Charlie|b-desc|LON00" << "Delta|LON|fresh";
    }
    void newOrEditAccepted() {
        QFETCH(QString, row);
        QFETCH(int, answer);
        QFETCH(QString, opened);
        QFETCH(QString, result);
        app().NombreProyecto = "Charlie";
        app().RutaProyecto = nat(m_root + "/Charlie");
        app().DescProyecto = "b-desc";
        QVERIFY(writeAll(m_root + "/alpha/MBS6.dat", "signals"));
        const QString rowProt = iniRead(m_root + "/" + row + "/Project.ini", "Project", "Prot", "");
        fProject w;
        w.show();
        selectRow(w, row);
        if (answer >= 0) m_prompts->queueAnswer(answer);
        QString seen;
        bool stayedOpen = false;
        whenModal<fProjectNew>([&](fProjectNew* d) {
            seen = d->txtNom->text() + "|" + d->txtDesc->text() + "|" + d->cboProt->currentText() +
                   QString::number(d->cboProt->isEnabled()) + QString::number(d->copiarProyecto());
            if (answer == Msg::Yes) d->cmdAceptar->click(), stayedOpen = d->isVisible();  // name taken
            d->txtNom->setText("");
            QTest::keyClicks(d->txtNom, "Delta");
            d->txtDesc->setText("fresh");
            if (answer == Msg::No) d->cboProt->setCurrentIndex(1);
            QTest::mouseClick(d->cmdAceptar, Qt::LeftButton);
        });
        (answer < 0 ? w.cmdEdit : w.cmdNuevo)->click();
        QCOMPARE(seen, opened);
        QStringList said{Texto("ProErr")};
        if (answer >= 0) said.prepend(Texto("NuevoProCopia") + "\r" + row + " - " + rowProt);
        QCOMPARE(m_prompts->texts(), answer == Msg::Yes ? said : said.mid(0, answer == Msg::No ? 1 : 0));
        if (answer >= 0) QCOMPARE(m_prompts->shown()[0].style, int(Msg::YesNoCancel | Msg::Question));
        QVERIFY(stayedOpen == (answer == Msg::Yes));
        QCOMPARE(current(w), result);
        QCOMPARE(w.lvwPro->topLevelItemCount(), answer < 0 ? 3 : 4);
        if (answer >= 0)
            QCOMPARE(readAll(m_root + "/Delta/MBS6.dat"),
                     answer == Msg::Yes ? QByteArray("signals") : readAll(m_home->file("TemplatesASCII/MBS6.dat")));
        QCOMPARE(QFileInfo::exists(m_root + "/" + row), answer >= 0);
        w.cmdSalir->click();  // a renamed open project stays open under its new name
        QCOMPARE(app().NombreProyecto + app().DescProyecto,
                 answer < 0 ? QStringLiteral("Deltafresh") : QStringLiteral("Charlieb-desc"));
        QCOMPARE(app().RutaProyecto, nat(m_root + (answer < 0 ? "/Delta" : "/Charlie")));
    }

    // Every way out of "new" or "edit" leaves the list and the folders as they were.
    void newOrEditAbandoned_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("how");
        QTest::newRow("question cancelled") << "new" << "question";
        QTest::newRow("new, cancel button") << "new" << "button";
        QTest::newRow("new, escape key") << "new" << "escape";
        QTest::newRow("new, close box") << "new" << "close";
        QTest::newRow("new, bad names then cancel") << "new" << "badnames";
        QTest::newRow("edit, cancel button") << "edit" << "button";
    }
    void newOrEditAbandoned() {
        QFETCH(QString, button);
        QFETCH(QString, how);
        fProject w;
        w.show();
        selectRow(w, "alpha");
        m_prompts->queueAnswer(how == "question" ? Msg::Cancel : Msg::No);
        bool ran = false;
        QStringList badNameMessages;
        whenModal<fProjectNew>(
            [&](fProjectNew* d) {
                for (const char* bad : {"with.point", "back\\slash", "   "}) {
                    d->txtNom->setText(bad);
                    if (how != "badnames") break;
                    QTest::keyClick(d->txtNom, Qt::Key_Return);  // Enter accepts
                    if (d->isVisible()) badNameMessages << m_prompts->lastText();
                }
                if (how == "escape") QTest::keyClick(d, Qt::Key_Escape);
                else if (how == "close") d->close();
                else d->cmdCancelar->click();
            },
            &ran, how == "question" ? 300 : 10000);
        (button == "new" ? w.cmdNuevo : w.cmdEdit)->click();
        if (how == "question") QTest::qWait(400);
        QCOMPARE(ran, how != "question");
        if (how == "badnames") QCOMPARE(badNameMessages, QStringList(3, Texto("ErrNomPro")));
        if (how != "question") QCOMPARE(w.ProModo, qint16(0));
        QCOMPARE(names(w.lvwPro), (QStringList{"alpha", "Bravo", "Charlie"}));
        QCOMPARE(QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot), names(w.lvwPro));
    }

    void deleteRow_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("subfolder");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("yes") << int(Msg::Yes) << false << QStringList{"Bravo", "Charlie"};
        QTest::newRow("no") << int(Msg::No) << false << QStringList{"alpha", "Bravo", "Charlie"};
        QTest::newRow("row goes even when the folder stays") << int(Msg::Yes) << true << QStringList{"Bravo", "Charlie"};
    }
    void deleteRow() {
        QFETCH(int, answer);
        QFETCH(bool, subfolder);
        QFETCH(QStringList, left);
        if (subfolder) QDir().mkpath(m_root + "/alpha/archive");
        fProject w;
        w.show();
        selectRow(w, "alpha");
        m_prompts->queueAnswer(answer);
        w.cmdBorrar->click();
        QCOMPARE(m_prompts->texts().first(), Texto("BorrarPro") + "\ralpha");
        if (subfolder) QCOMPARE(m_prompts->texts().last(), Texto("ErrBCa"));
        QCOMPARE(names(w.lvwPro), left);
        QCOMPARE(QFileInfo::exists(m_root + "/alpha"), answer != int(Msg::Yes) || subfolder);
    }
};

QTEST_MAIN(TestProjectWindows)
#include "tst_projectwindows.moc"
