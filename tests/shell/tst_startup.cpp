// Start-up of the main window: protocol table, application folder, settings and
// folders read at start, the project action, the link monitor and shutdown.
#include <QtTest>

#include <QCheckBox>
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

    void protocolTableShape() {
        resetApp();
        LlenaProtocolos();
        QCOMPARE(app().Protocolos.size(), 78);
        QCOMPARE(app().Protocolos[0], QStringLiteral("ASCII"));
        QSet<QString> names;
        for (int i = 1; i < 78; ++i) {
            const QString& n = app().Protocolos[i];
            if (n.isEmpty()) continue;
            names.insert(n.toUpper());
            QCOMPARE(slotDeProtocolo(n), i);  // leads back to its slot
            QVERIFY2(i == 77 || i <= 63, qPrintable(QString::number(i)));
        }
        QCOMPARE(names.size(), 46);
        QCOMPARE(QString("%1 %2 %3 %4").arg(slotDeProtocolo("Tester")).arg(slotDeProtocolo("lon")).arg(slotDeProtocolo("MBS6"))
                     .arg(slotDeProtocolo("ASCII")), QStringLiteral("1 60 77 -1"));  // ASCII is not indexed
        QCOMPARE(slotDeProtocolo("Nothing") + slotDeProtocolo(""), -2);
        QCOMPARE(app().ColProtocolos.size(), 46);
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
        QCOMPARE(QString("%1 %2 %3 %4").arg(a.ConsolaUDP).arg(a.PuertoUDP).arg(a.IPConexion, a.IPNueva),
                 QString("%1 %2 %3 %3").arg(udp).arg(port).arg(ip));
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
        Started s({"[Configuracion]", "LastProject=Beta"});
        const QString root = s.home.file("ProjectsASCII");
        makeProject(root, "Alpha", "LON", "first", {"[Console]", "UDPConsole=1", "[ASCII]", "IP=127.0.0.1"});
        makeProject(root, "Beta", "MBS6", "second", {"[ASCII]", "Baudios=3 (9600)"});
        QString preselected;
        whenModal<fProject>([&](fProject* d) {
            preselected = d->lvwPro->currentItem()->text(0);
            (how == "cancel" ? d->cmdSalir : d->cmdSelec)->click();
        });
        s.w.mnuAProject_Click();
        QCOMPARE(preselected, QStringLiteral("Beta"));
        if (how == "delete") {
            s.prompts.queueAnswer(Msg::Yes);
            whenModal<fProject>([](fProject* d) { d->cmdBorrar->click(), d->cmdSalir->click(); });
            s.w.mnuAProject_Click();
            QVERIFY(!QFileInfo::exists(root + "/Beta"));
        }
        const bool open = how == "choose";
        QCOMPARE(s.w.panel(1) + s.w.panel(2) + s.w.panel(3), open ? QStringLiteral("BetaMBS6second") : QString());
        QCOMPARE(app().NombreProyecto + app().ProtProyecto, open ? QStringLiteral("BetaMBS6") : QString());
        QCOMPARE(s.w.chkOnline->isEnabled(), open);
        QCOMPARE(s.w.mnuCProtocolo->isEnabled(), open);
        QVERIFY(open || !s.w.mnuCConexion->isEnabled());
        if (open) {  // Beta's INI has no Console section: link defaults
            QCOMPARE(s.w.mnuVPExterno->text() + app().NombreIni, QStringLiteral("MBS6...MBS6"));
            QCOMPARE(app().RutaProyecto, nat(root + "/Beta"));
            QCOMPARE(QString::number(app().ConsolaUDP) + app().IPConexion, "0" + QString::fromLatin1(kIPPorDefecto));
        }
        // Closing names the open project as the last one; after cancelling the setting stays.
        QVERIFY(s.w.close());
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
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
