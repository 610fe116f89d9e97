// Start-up of the main window: protocol table, application folder, settings and
// folders read at start, the project action, the link monitor and shutdown.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "AppGlobals.h"
#include "MDIPilmora.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "ProjectFixtures.h"
#include "Startup.h"
#include "fProject.h"
#include "fTestPilmora.h"
#include "mIdioma.h"

namespace {
// A started main window in a fresh application folder, with optional INI lines.
struct Started {
    explicit Started(const QStringList& ini = {}, bool withTemplates = true) : home(withTemplates) {
        if (!ini.isEmpty()) writeAll(home.file("PilmoraASCII.ini"), crlf(ini));
        loaded = w.Form_Load();
    }
    TestHome home;
    ScriptedPrompts prompts;
    MDIPilmora w;
    bool loaded = false;
};
QString lastProjectSetting() { return LeeIniAplicacion("Configuracion", "LastProject", ""); }
}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    void protocolSlots_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("slot");
        QTest::newRow("Tester") << "Tester" << 1;
        QTest::newRow("LON") << "LON" << 60;
        QTest::newRow("MBS6") << "MBS6" << 77;
        QTest::newRow("lower case finds LON") << "lon" << 60;
        QTest::newRow("ASCII is not indexed") << "ASCII" << -1;
        QTest::newRow("unknown") << "Nothing" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void protocolSlots() {
        QFETCH(QString, name);
        QFETCH(int, slot);
        resetApp();
        LlenaProtocolos();
        QCOMPARE(slotDeProtocolo(name), slot);
    }

    void protocolTableShape() {
        resetApp();
        LlenaProtocolos();
        const auto& a = app();
        QCOMPARE(a.Protocolos.size(), 78);
        QCOMPARE(a.Protocolos[0], QStringLiteral("ASCII"));
        QSet<QString> names;
        for (int i = 1; i < 78; ++i) {
            const QString& n = a.Protocolos[i];
            if (n.isEmpty()) continue;
            names.insert(n.toUpper());
            QCOMPARE(slotDeProtocolo(n), i);  // every name leads back to its own slot
            QVERIFY2(i == 77 || i <= 63, qPrintable(QStringLiteral("slot %1 outside 1..63").arg(i)));
        }
        QCOMPARE(names.size(), 46);
        QCOMPARE(a.ColProtocolos.size(), 46);
    }

    void appFolder_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("expected");
        QTest::newRow("executable folder") << QStringList{"prog"} << "" << "/opt/pilmora";
        QTest::newRow("environment") << QStringList{"prog"} << "/srv/ws" << "/srv/ws";
        QTest::newRow("--home DIR beats environment") << QStringList{"prog", "--home", "/tmp/h"} << "/srv/ws" << "/tmp/h";
        QTest::newRow("--home=DIR") << QStringList{"prog", "--home=/tmp/h2"} << "" << "/tmp/h2";
        QTest::newRow("--home without folder") << QStringList{"prog", "--home"} << "/srv/ws" << "/srv/ws";
        QTest::newRow("cleaned") << QStringList{"prog", "--home", "/tmp/a/../b/"} << "" << "/tmp/b";
        QTest::newRow("relative made absolute") << QStringList{"prog", "--home", "ws"} << ""
                                                << QDir::cleanPath(QDir::current().absoluteFilePath("ws"));
    }
    void appFolder() {
        QFETCH(QStringList, args);
        QFETCH(QString, env);
        QFETCH(QString, expected);
        QCOMPARE(resolveAppFolder(args, QStringLiteral("/opt/pilmora"), env), expected);
    }

    void settingsAtStartup_data() {
        QTest::addColumn<QStringList>("ini");
        QTest::addColumn<QStringList>("expected");  // settings, com, templates, projects, last project
        const QStringList defaults{"57600,n,8,1", "1", "TemplatesASCII", "ProjectsASCII", ""};
        QTest::newRow("no INI file") << QStringList() << defaults;
        QTest::newRow("all set") << QStringList{"[Configuracion]", "Settings=9600,e,7,1", "Com=4", "PathTemplates=/srv/tpl",
                                                "PathProjects=/srv/prj", "LastProject=Plant"}
                                 << QStringList{"9600,e,7,1", "4", "/srv/tpl", "/srv/prj", "Plant"};
        QTest::newRow("empty paths fall back") << QStringList{"[Configuracion]", "PathTemplates=", "PathProjects="}
                                               << defaults;
        QTest::newRow("other section ignored") << QStringList{"[Other]", "Com=7", "LastProject=X"} << defaults;
        QTest::newRow("Com not a number") << QStringList{"[configuracion]", "com=abc"}
                                          << QStringList{"57600,n,8,1", "0", "TemplatesASCII", "ProjectsASCII", ""};
    }
    void settingsAtStartup() {
        QFETCH(QStringList, ini);
        QFETCH(QStringList, expected);
        Started s(ini);
        QVERIFY(s.loaded);
        auto abs = [&](const QString& p) { return QDir::isAbsolutePath(p) ? p : nat(s.home.file(p)); };
        QCOMPARE((QStringList{s.w.comPort().settings, QString::number(s.w.comPort().com), app().RutaPlantillas,
                              app().RutaProyectos, app().NombreProyecto}),
                 (QStringList{expected[0], expected[1], abs(expected[2]), abs(expected[3]), expected[4]}));
        if (ini.isEmpty()) {  // a plain start: quiet, monitor up, nothing that needs a project
            QVERIFY2(s.prompts.shown().isEmpty(), qPrintable(s.prompts.texts().join('|')));
            QVERIFY(s.w.monitorEnlace());
            QVERIFY(s.w.Timer1->isActive());
            QVERIFY(!s.w.mnuVer->menuAction()->isEnabled() && !s.w.mnuCConexion->isEnabled());
            QVERIFY(!s.w.mnuCProtocolo->isEnabled() && !s.w.chkOnline->isEnabled());
        }
    }

    void missingTemplatesGivesTwoMessagesAndGoesOn() {
        Started s({}, /*withTemplates=*/false);
        QVERIFY(s.loaded);
        const QString path = nat(s.home.file("TemplatesASCII"));
        QCOMPARE(s.prompts.texts(), (QStringList{Texto("Erroralacc") + "\r" + path, "Error path Templates\r" + path}));
        for (const auto& m : s.prompts.shown()) QCOMPARE(m.style & 0x70, int(Msg::Critical));
        QVERIFY(s.w.Timer1->isActive());
        QVERIFY(s.w.monitorEnlace());
    }

    void missingLanguageFileEndsStartup() {
        TestHome home(true, /*loadLanguage=*/false);
        ScriptedPrompts prompts;
        QFile::remove(home.file("PilmoraASCII.LNG"));
        MDIPilmora w;
        QVERIFY(!w.Form_Load());
        QVERIFY(!w.Timer1->isActive());
    }

    void languageChangeAppliesAfterRestart() {
        Started s({"[Configuracion]", "Language=1"});
        QVERIFY(s.w.mnuCISel.size() >= 3);
        QVERIFY(s.w.mnuCISel[1]->isChecked());
        const QString menuText = s.w.mnuArchivo->title();
        s.w.mnuCISel[2]->trigger();
        QCOMPARE(app().Idioma, qint16(2));
        for (int i = 0; i < s.w.mnuCISel.size(); ++i) QCOMPARE(s.w.mnuCISel[i]->isChecked(), i == 2);
        QCOMPARE(LeeIniAplicacion("Configuracion", "Language", ""), QStringLiteral("2"));
        QCOMPARE(s.prompts.lastText(), Texto("CambiosTenganEfectosReiniciar"));
        QCOMPARE(s.w.mnuArchivo->title(), menuText);
    }

    void linkSettingsOfProject_data() {
        QTest::addColumn<QStringList>("ini");
        QTest::addColumn<bool>("udp");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("ip");
        const QString def = QString::fromLatin1(kIPPorDefecto);
        QTest::newRow("no Console section") << QStringList{"[ASCII]", "Baudios=0"} << false << 23 << def;
        QTest::newRow("no INI at all") << QStringList() << false << 23 << def;
        QTest::newRow("UDP on loopback") << QStringList{"[Console]", "UDPConsole=1", "Port=5001", "[ASCII]", "IP=127.0.0.1"}
                                         << true << 5001 << "127.0.0.1";
        QTest::newRow("any non-zero is UDP") << QStringList{"[console]", "udpconsole=-1"} << true << 23 << def;
        QTest::newRow("serial") << QStringList{"[Console]", "UDPConsole=0", "Port=24"} << false << 24 << def;
        QTest::newRow("hexadecimal port") << QStringList{"[Console]", "Port=&H17"} << false << 23 << def;
        QTest::newRow("port not a number") << QStringList{"[Console]", "Port=abc"} << false << 0 << def;
        QTest::newRow("empty IP stays empty") << QStringList{"[ASCII]", "IP="} << false << 23 << "";
    }
    void linkSettingsOfProject() {
        QFETCH(QStringList, ini);
        QFETCH(bool, udp);
        QFETCH(int, port);
        QFETCH(QString, ip);
        TestHome home;
        ScriptedPrompts prompts;
        auto& a = app();
        a.RutaProyecto = makeProject(home.projectsRoot(), "P", "MBS6", "d", ini);
        a.ProtProyecto = "MBS6";
        a.NombreIni = "Project";
        LeeEnlaceProyecto();
        QCOMPARE(a.NombreIni, QStringLiteral("MBS6"));
        QCOMPARE(a.ConsolaUDP, udp);
        QCOMPARE(a.PuertoUDP, port);
        QCOMPARE(a.IPConexion + "|" + a.IPNueva, ip + "|" + ip);
    }

    // The catalogue from the main window: choose, cancel, delete the open project.
    void projectAction_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("choose") << "choose";
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("delete the open project") << "delete";
    }
    void projectAction() {
        QFETCH(QString, how);
        TestHome home;
        const QString root = home.projectsRoot();
        makeProject(root, "Alpha", "LON", "first", {"[Console]", "UDPConsole=1", "[ASCII]", "IP=127.0.0.1"});
        makeProject(root, "Beta", "MBS6", "second", {"[ASCII]", "Baudios=3 (9600)"});
        writeAll(home.file("PilmoraASCII.ini"), crlf({"[Configuracion]", "LastProject=Beta"}));
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        QString preselected;
        bool ran = false;
        whenModal<fProject>(
            [&](fProject* d) {
                preselected = d->lvwPro->currentItem()->text(0);
                (how == "cancel" ? d->cmdSalir : d->cmdSelec)->click();
            },
            &ran);
        w.mnuAProject_Click();
        QVERIFY(ran);
        QCOMPARE(preselected, QStringLiteral("Beta"));
        if (how == "delete") {
            prompts.queueAnswer(Msg::Yes);
            whenModal<fProject>([](fProject* d) { d->cmdBorrar->click(); d->cmdSalir->click(); });
            w.mnuAProject_Click();
            QVERIFY(!QFileInfo::exists(root + "/Beta"));
        }
        const bool open = how == "choose";
        QCOMPARE(w.panel(1) + w.panel(2) + w.panel(3), open ? QStringLiteral("BetaMBS6second") : QString());
        QCOMPARE(app().NombreProyecto + app().ProtProyecto, open ? QStringLiteral("BetaMBS6") : QString());
        QVERIFY(!w.chkOnline->isEnabled());  // no link to a gateway yet
        QCOMPARE(w.mnuCProtocolo->isEnabled(), open && MDIPilmora::EditorDisponible(77));
        if (!open) QVERIFY(!w.mnuCConexion->isEnabled());
        if (open) {
            QCOMPARE(w.mnuVPExterno->text(), QStringLiteral("MBS6..."));
            QCOMPARE(app().RutaProyecto, nat(root + "/Beta"));
            QCOMPARE(app().NombreIni, QStringLiteral("MBS6"));
            QCOMPARE(QString::number(app().ConsolaUDP) + app().IPConexion, "0" + QString::fromLatin1(kIPPorDefecto));
        }
        // Closing names the open project as the last one; after cancelling the setting stays.
        QVERIFY(w.close());
        if (how != "delete") QCOMPARE(lastProjectSetting(), QStringLiteral("Beta"));
    }

    void closeRefusedWhileOnline() {
        Started s;
        app().NombreProyecto = "Alpha";
        s.w.show();
        s.w.chkOnline->setChecked(true);
        QVERIFY(!s.w.close());
        QVERIFY(s.w.isVisible());
        QCOMPARE(s.prompts.texts(), QStringList{Texto("PasaaOffline")});
        QCOMPARE(s.prompts.shown()[0].kind, ScriptedPrompts::ToolBox);
        QCOMPARE(s.prompts.shown()[0].style, 3);
        QCOMPARE(lastProjectSetting(), QString());  // nothing written while refusing
        s.w.showMinimized();
        QVERIFY(!s.w.close());
        QVERIFY(!s.w.isMinimized());
        s.w.chkOnline->setChecked(false);
        QVERIFY(s.w.close());
        QCOMPARE(lastProjectSetting(), QStringLiteral("Alpha"));
    }

    void linkMonitor() {
        Started s;
        s.w.show();
        fTestPilmora* mon = s.w.monitorEnlace();
        auto* sub = qobject_cast<QMdiSubWindow*>(mon->parentWidget());
        QVERIFY(!sub->close());  // the user cannot close it
        QVERIFY(mon->isVisible());
        for (int i = 1; i <= 501; ++i) mon->VerTramas(QString::number(i), ">");
        QCOMPARE(mon->lstTramas->count(), 500);  // the newest 500
        QCOMPARE(mon->lstTramas->item(0)->text(), QStringLiteral(">2"));
        QCOMPARE(mon->lstTramas->currentRow(), 499);
        mon->chkUltimo->setChecked(false);
        mon->VerTramas("x", "<");
        QCOMPARE(mon->lstTramas->currentRow(), 498);
        mon->chkBus->setChecked(false);
        mon->VerTramas("dropped", "<");
        QCOMPARE(mon->lstTramas->item(499)->text(), QStringLiteral("<x"));
        // MuestraVentana brings a minimized or hidden form back to the front.
        auto* form = new QWidget;
        QMdiSubWindow* other = s.w.mdiArea->addSubWindow(form);
        other->showMinimized();
        s.w.mdiArea->setActiveSubWindow(sub);
        MuestraVentana(form);
        QVERIFY(!other->isMinimized());
        QCOMPARE(s.w.mdiArea->activeSubWindow(), other);
        other->hide();
        MuestraVentana(form);
        QVERIFY(other->isVisible() && form->isVisible());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
