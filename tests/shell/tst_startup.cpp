// Start-up of the main window: protocol table, application folder, the steps
// that read settings and folders, menus, the project action and shutdown.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "MDIPilmora.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "Startup.h"
#include "TestSupport.h"
#include "fAbout.h"
#include "fProject.h"
#include "fTestPilmora.h"
#include "mIdioma.h"

namespace {
QByteArray crlf(const QStringList& lines) { return toAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")); }

// A project folder with its description file and, optionally, its protocol INI.
QString makeProject(const QString& root, const QString& name, const QString& prot, const QString& desc,
                    const QStringList& protIni = {}) {
    const QString dir = QDir(root).filePath(name);
    QDir().mkpath(dir);
    writeAll(QDir(dir).filePath(QStringLiteral("Project.ini")),
             crlf({QStringLiteral("[Project]"), QStringLiteral("Prot=") + prot, QStringLiteral("Desc=") + desc}));
    if (!protIni.isEmpty()) writeAll(QDir(dir).filePath(prot + QStringLiteral(".ini")), crlf(protIni));
    return dir;
}

QStringList actionNames(const QList<QAction*>& actions) {
    QStringList l;
    for (QAction* a : actions) l << a->objectName();
    return l;
}
}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    // ---- protocol table

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
        QCOMPARE(a.Protocolos[1], QStringLiteral("Tester"));
        QCOMPARE(a.Protocolos[60], QStringLiteral("LON"));
        QCOMPARE(a.Protocolos[77], QStringLiteral("MBS6"));
        int others = 0;
        QSet<QString> names;
        for (int i = 1; i < 78; ++i) {
            const QString& n = a.Protocolos[i];
            if (n.isEmpty()) continue;
            names.insert(n.toUpper());
            // Every name leads back to its own slot.
            QCOMPARE(slotDeProtocolo(n), i);
            if (i == 1 || i == 60 || i == 77) continue;
            ++others;
            QVERIFY2(i >= 2 && i <= 63, qPrintable(QStringLiteral("slot %1 outside 2..63").arg(i)));
        }
        QCOMPARE(others, 43);
        QCOMPARE(names.size(), 46);
        QCOMPARE(a.ColProtocolos.size(), 46);
    }

    // ---- application folder

    void appFolder_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("expected");
        QTest::newRow("executable folder") << QStringList{"prog"} << "" << "/opt/pilmora";
        QTest::newRow("environment") << QStringList{"prog"} << "/srv/ws" << "/srv/ws";
        QTest::newRow("--home DIR") << QStringList{"prog", "--home", "/tmp/h"} << "" << "/tmp/h";
        QTest::newRow("--home=DIR") << QStringList{"prog", "--home=/tmp/h2"} << "" << "/tmp/h2";
        QTest::newRow("--home beats environment") << QStringList{"prog", "--home", "/tmp/h"} << "/srv/ws" << "/tmp/h";
        QTest::newRow("--home without folder") << QStringList{"prog", "--home"} << "/srv/ws" << "/srv/ws";
        QTest::newRow("cleaned") << QStringList{"prog", "--home", "/tmp/a/../b/"} << "" << "/tmp/b";
    }
    void appFolder() {
        QFETCH(QStringList, args);
        QFETCH(QString, env);
        QFETCH(QString, expected);
        QCOMPARE(resolveAppFolder(args, QStringLiteral("/opt/pilmora"), env), expected);
    }

    void relativeHomeBecomesAbsolute() {
        const QString r = resolveAppFolder({"prog", "--home", "ws"}, "/opt/pilmora", "");
        QVERIFY(QDir::isAbsolutePath(r));
        QCOMPARE(r, QDir::cleanPath(QDir::current().absoluteFilePath("ws")));
    }

    // ---- settings read at start-up

    void settingsAtStartup_data() {
        QTest::addColumn<QStringList>("ini");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("com");
        QTest::addColumn<QString>("templates");  // relative to the home folder when not absolute
        QTest::addColumn<QString>("projects");
        QTest::addColumn<QString>("lastProject");
        QTest::newRow("no INI file") << QStringList() << "57600,n,8,1" << 1 << "TemplatesASCII" << "ProjectsASCII" << "";
        QTest::newRow("all set") << QStringList{"[Configuracion]", "Settings=9600,e,7,1", "Com=4",
                                                "PathTemplates=/srv/tpl", "PathProjects=/srv/prj", "LastProject=Plant"}
                                 << "9600,e,7,1" << 4 << "/srv/tpl" << "/srv/prj" << "Plant";
        QTest::newRow("empty paths fall back") << QStringList{"[Configuracion]", "PathTemplates=", "PathProjects="}
                                               << "57600,n,8,1" << 1 << "TemplatesASCII" << "ProjectsASCII" << "";
        QTest::newRow("other section ignored") << QStringList{"[Other]", "Com=7", "LastProject=X"} << "57600,n,8,1"
                                               << 1 << "TemplatesASCII" << "ProjectsASCII" << "";
        QTest::newRow("Com not a number") << QStringList{"[configuracion]", "com=abc"} << "57600,n,8,1" << 0
                                          << "TemplatesASCII" << "ProjectsASCII" << "";
    }
    void settingsAtStartup() {
        QFETCH(QStringList, ini);
        QFETCH(QString, settings);
        QFETCH(int, com);
        QFETCH(QString, templates);
        QFETCH(QString, projects);
        QFETCH(QString, lastProject);
        TestHome home;
        ScriptedPrompts prompts;
        if (!ini.isEmpty()) QVERIFY(writeAll(home.file("PilmoraASCII.ini"), crlf(ini)));
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        QCOMPARE(w.comPort().settings, settings);
        QCOMPARE(w.comPort().com, com);
        auto abs = [&](const QString& p) { return QDir::isAbsolutePath(p) ? p : QDir::toNativeSeparators(home.file(p)); };
        QCOMPARE(app().RutaPlantillas, abs(templates));
        QCOMPARE(app().RutaProyectos, abs(projects));
        QCOMPARE(app().NombreProyecto, lastProject);
    }

    void startupSetsWindowUp() {
        TestHome home;
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        QVERIFY2(prompts.shown().isEmpty(), qPrintable(prompts.texts().join('|')));
        QCOMPARE(w.windowTitle(), QStringLiteral("PilmoraASCII"));
        QVERIFY(!w.picPilmora->isHidden());
        QCOMPARE(w.mnuAProject->text(), QStringLiteral("&") + Texto("Proyecto") + QStringLiteral("s..."));
        QCOMPARE(w.mnuVPExterno->text(), Texto("mnuVPExternoPlmx"));
        QCOMPARE(w.mnuVInterno->text(), QStringLiteral("ASCII..."));
        QCOMPARE(w.mnuVProtocolos->title(), QStringLiteral("&Bus"));
        QCOMPARE(w.mnuAyuda->title(), QStringLiteral("&?"));
        QCOMPARE(w.cmdEnviar->text(), Texto("cmdEnviar"));
        QCOMPARE(w.cmdSendFilePilmora->text(), Texto("cmdSendFilePilmora"));
        QCOMPARE(w.chkOnline->text(), QStringLiteral("Off Line"));
        QVERIFY(w.chkOnline->isCheckable());
        QCOMPARE(w.mnuArchivo->title(), Texto("mnuArchivo"));
        QCOMPARE(w.mnuCIdioma->title(), Texto("mnuCIdioma"));

        // Console commands in the order offered.
        QCOMPARE(w.cboCmd->count(), 20);
        QCOMPARE(w.cboCmd->itemText(0), QStringLiteral("BUSINTALL"));
        QCOMPARE(w.cboCmd->itemText(10), QStringLiteral("INFO?"));
        QCOMPARE(w.cboCmd->itemText(12), QStringLiteral("TIME=YYYY/MM/DD HH:NN:SS"));
        QCOMPARE(w.cboCmd->itemText(19), QStringLiteral("AD0001=0"));

        // Status bar tooltips.
        const auto panels = w.statusBar()->findChildren<QLabel*>(QRegularExpression("^stsBar\\(\\d\\)$"));
        QCOMPARE(panels.size(), 3);
        QCOMPARE(w.findChild<QLabel*>("stsBar(1)")->toolTip(), Texto("Proyecto"));
        QCOMPARE(w.findChild<QLabel*>("stsBar(2)")->toolTip(), QStringLiteral("Merovantix"));
        QCOMPARE(w.findChild<QLabel*>("stsBar(3)")->toolTip(), Texto("Descripcion"));

        // Link monitor at 0,0, 7000 x 4000 twips.
        fTestPilmora* mon = w.monitorEnlace();
        QVERIFY(mon);
        auto* sub = qobject_cast<QMdiSubWindow*>(mon->parentWidget());
        QVERIFY(sub);
        QCOMPARE(sub->geometry(), QRect(0, 0, 7000 / 15, 4000 / 15));
        QCOMPARE(mon->windowTitle(), Texto("ComunicacionPilmora"));

        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 1000);
        QVERIFY(!w.Timer2->isActive());

        // Needs an open project.
        QVERIFY(!w.mnuVer->menuAction()->isEnabled());
        QVERIFY(!w.mnuCConexion->isEnabled());
        QVERIFY(!w.mnuCProtocolo->isEnabled());
        QVERIFY(w.mnuCConexion->isVisible());
        QVERIFY(w.mnuASalir->isEnabled());
        QVERIFY(!w.chkOnline->isEnabled());
    }

    void menuLayout_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("bar") << "" << QStringList{"mnuArchivo", "mnuVer", "mnuConfiguracion", "mnuVentanas", "mnuAyuda"};
        QTest::newRow("mnuArchivo") << "mnuArchivo" << QStringList{"mnuAProject", "mnuSep1", "mnuASalir"};
        QTest::newRow("mnuVer") << "mnuVer" << QStringList{"mnuVDatos", "mnuSep2", "mnuVProtocolos"};
        QTest::newRow("mnuVProtocolos") << "mnuVProtocolos" << QStringList{"mnuVInterno", "mnuVPTester", "mnuVPExterno"};
        QTest::newRow("mnuConfiguracion") << "mnuConfiguracion"
                                          << QStringList{"mnuCConexion", "mnuCIdioma", "mnuSep3", "mnuCProtocolo"};
        QTest::newRow("mnuVentanas") << "mnuVentanas" << QStringList{"mnuVMosaico", "mnuVCascada"};
        QTest::newRow("mnuAyuda") << "mnuAyuda" << QStringList{"mnuAcercade"};
        QTest::newRow("popmnuRefresh") << "popmnuRefresh" << QStringList{"mnuRefresh", "mnuEdit"};
    }
    void menuLayout() {
        QFETCH(QString, menu);
        QFETCH(QStringList, items);
        TestHome home;
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        if (menu.isEmpty()) {
            QCOMPARE(actionNames(w.menuBar()->actions()), items);
            return;
        }
        auto* m = w.findChild<QMenu*>(menu);
        QVERIFY(m);
        QCOMPARE(actionNames(m->actions()), items);
    }

    void languageMenu() {
        TestHome home;
        ScriptedPrompts prompts;
        QVERIFY(writeAll(home.file("PilmoraASCII.ini"), crlf({"[Configuracion]", "Language=1"})));
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        QCOMPARE(w.mnuCISel.size(), app().Idiomas.size());
        QVERIFY(w.mnuCISel.size() >= 3);
        for (int i = 0; i < w.mnuCISel.size(); ++i) {
            QCOMPARE(w.mnuCISel[i]->objectName(), QStringLiteral("mnuCISel(%1)").arg(i));
            QCOMPARE(w.mnuCISel[i]->text(), app().Idiomas[i]);
            QVERIFY(w.mnuCISel[i]->isEnabled());
            QCOMPARE(w.mnuCISel[i]->isChecked(), i == 1);
        }
        const QString menuText = w.mnuArchivo->title();
        w.mnuCISel[2]->trigger();
        QCOMPARE(app().Idioma, qint16(2));
        for (int i = 0; i < w.mnuCISel.size(); ++i) QCOMPARE(w.mnuCISel[i]->isChecked(), i == 2);
        QCOMPARE(LeeIniAplicacion("Configuracion", "Language", ""), QStringLiteral("2"));
        QCOMPARE(prompts.lastText(), Texto("CambiosTenganEfectosReiniciar"));
        // The new language applies after a restart only.
        QCOMPARE(w.mnuArchivo->title(), menuText);
    }

    void missingTemplatesGivesTwoMessages() {
        TestHome home(/*withTemplates=*/false);
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        const QString path = QDir::toNativeSeparators(home.file("TemplatesASCII"));
        QCOMPARE(prompts.shown().size(), 2);
        QCOMPARE(prompts.shown()[0].text, Texto("Erroralacc") + "\r" + path);
        QCOMPARE(prompts.shown()[0].style & 0x70, int(Msg::Critical));
        QCOMPARE(prompts.shown()[1].text, QStringLiteral("Error path Templates\r") + path);
        QCOMPARE(prompts.shown()[1].style & 0x70, int(Msg::Critical));
        // Start-up went on to the end.
        QVERIFY(w.Timer1->isActive());
        QVERIFY(w.monitorEnlace());
    }

    void missingLanguageFileEndsStartup() {
        TestHome home(true, /*loadLanguage=*/false);
        ScriptedPrompts prompts;
        QFile::remove(home.file("PilmoraASCII.LNG"));
        MDIPilmora w;
        QVERIFY(!w.Form_Load());
        QVERIFY(!w.Timer1->isActive());
    }

    // ---- the project action

    void linkSettingsOfProject_data() {
        QTest::addColumn<QStringList>("ini");
        QTest::addColumn<bool>("udp");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("ip");
        const QString def = QString::fromLatin1(kIPPorDefecto);
        QTest::newRow("no Console section") << QStringList{"[ASCII]", "Baudios=0"} << false << 23 << def;
        QTest::newRow("no INI at all") << QStringList() << false << 23 << def;
        QTest::newRow("UDP on loopback") << QStringList{"[Console]", "UDPConsole=1", "Port=5001", "[ASCII]",
                                                        "IP=127.0.0.1"}
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
        const QString root = home.projectsRoot();
        const QString dir = makeProject(root, "P", "MBS6", "d", ini);
        auto& a = app();
        a.RutaProyecto = dir;
        a.ProtProyecto = "MBS6";
        a.NombreIni = "Project";
        LeeEnlaceProyecto();
        QCOMPARE(a.NombreIni, QStringLiteral("MBS6"));
        QCOMPARE(a.ConsolaUDP, udp);
        QCOMPARE(a.PuertoUDP, port);
        QCOMPARE(a.IPConexion, ip);
        QCOMPARE(a.IPNueva, ip);
    }

    void choosingProjectShowsIt() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        makeProject(root, "Alpha", "LON", "first", {"[Console]", "UDPConsole=1", "[ASCII]", "IP=127.0.0.1"});
        makeProject(root, "Beta", "MBS6", "second", {"[ASCII]", "Baudios=3 (9600)"});
        QVERIFY(writeAll(home.file("PilmoraASCII.ini"), crlf({"[Configuracion]", "LastProject=Beta"})));
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        bool ran = false;
        QString preselected;
        whenModal<fProject>(
            [&](fProject* d) {
                preselected = d->lvwPro->currentItem()->text(0);
                d->cmdSelec->click();
            },
            &ran);
        w.mnuAProject_Click();
        QVERIFY(ran);
        QCOMPARE(preselected, QStringLiteral("Beta"));
        QCOMPARE(w.panel(1), QStringLiteral("Beta"));
        QCOMPARE(w.panel(2), QStringLiteral("MBS6"));
        QCOMPARE(w.panel(3), QStringLiteral("second"));
        QCOMPARE(w.mnuVPExterno->text(), QStringLiteral("MBS6..."));
        QCOMPARE(app().RutaProyecto, QDir::toNativeSeparators(root + "/Beta"));
        QCOMPARE(app().NombreIni, QStringLiteral("MBS6"));
        QVERIFY(!app().ConsolaUDP);
        QCOMPARE(app().PuertoUDP, 23);
        QCOMPARE(app().IPConexion, QString::fromLatin1(kIPPorDefecto));
        // Still disabled: the link and the connection dialog are not there yet,
        // and the MBS6 editor neither.
        QVERIFY(!w.chkOnline->isEnabled());
        QVERIFY(!w.chkOnline->toolTip().isEmpty());
        QCOMPARE(w.mnuCProtocolo->isEnabled(), MDIPilmora::EditorDisponible(77));

        // Closing writes the project as the last one.
        QVERIFY(w.close());
        QCOMPARE(LeeIniAplicacion("Configuracion", "LastProject", ""), QStringLiteral("Beta"));
    }

    void cancellingCatalogueLeavesNoProject() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        makeProject(root, "Alpha", "LON", "first");
        QVERIFY(writeAll(home.file("PilmoraASCII.ini"), crlf({"[Configuracion]", "LastProject=Alpha"})));
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        QCOMPARE(app().NombreProyecto, QStringLiteral("Alpha"));
        bool ran = false;
        whenModal<fProject>([](fProject* d) { d->cmdSalir->click(); }, &ran);
        w.mnuAProject_Click();
        QVERIFY(ran);
        QCOMPARE(app().NombreProyecto, QString());
        QCOMPARE(app().ProtProyecto, QString());
        for (int i = 1; i <= 3; ++i) QCOMPARE(w.panel(i), QString());
        QVERIFY(!w.chkOnline->isEnabled());
        QVERIFY(!w.mnuCConexion->isEnabled());
        QVERIFY(!w.mnuCProtocolo->isEnabled());
        // The setting is not rewritten at exit: it still names the old project.
        QVERIFY(w.close());
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(LeeIniAplicacion("Configuracion", "LastProject", ""), QStringLiteral("Alpha"));
    }

    void deletingOpenProjectClosesIt() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString root = home.projectsRoot();
        makeProject(root, "Alpha", "LON", "first");
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        whenModal<fProject>([](fProject* d) { d->cmdSelec->click(); });
        w.mnuAProject_Click();
        QCOMPARE(w.panel(1), QStringLiteral("Alpha"));
        prompts.queueAnswer(Msg::Yes);
        whenModal<fProject>([](fProject* d) {
            d->cmdBorrar->click();
            d->cmdSalir->click();
        });
        w.mnuAProject_Click();
        QVERIFY(!QFileInfo::exists(root + "/Alpha"));
        QCOMPARE(w.panel(1), QString());
        QCOMPARE(app().NombreProyecto, QString());
        QVERIFY(!w.mnuCConexion->isEnabled());
    }

    void protocolMenuOpensOnlyEditors_data() {
        QTest::addColumn<QString>("prot");
        QTest::addColumn<bool>("opens");
        QTest::newRow("LON") << "LON" << MDIPilmora::EditorDisponible(60);
        QTest::newRow("MBS6") << "MBS6" << MDIPilmora::EditorDisponible(77);
        QTest::newRow("Tester opens nothing") << "Tester" << false;
        QTest::newRow("unknown opens nothing") << "Unknown" << false;
    }
    void protocolMenuOpensOnlyEditors() {
        QFETCH(QString, prot);
        QFETCH(bool, opens);
        TestHome home;
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        app().ProtProyecto = prot;
        const int slot = slotDeProtocolo(prot);
        QCOMPARE(MDIPilmora::EditorDisponible(slot), opens);
        if (!opens) {
            w.mnuCProtocolo_Click();  // nothing opens, nothing is said
            QVERIFY(prompts.shown().isEmpty());
            QVERIFY(!w.AbreEditor(slot));
        }
    }

    void aboutWindowOpensModally() {
        TestHome home;
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        QVERIFY(w.mnuAcercade->isEnabled());
        bool ran = false;
        whenModal<fAbout>([](fAbout* d) { d->accept(); }, &ran);
        w.mnuAcercade->trigger();
        QVERIFY(ran);
    }

    // ---- shutdown

    void closeRefusedWhileOnline() {
        TestHome home;
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        app().NombreProyecto = "Alpha";
        w.show();
        w.chkOnline->setChecked(true);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown()[0].kind, ScriptedPrompts::ToolBox);
        QCOMPARE(prompts.shown()[0].text, Texto("PasaaOffline"));
        QCOMPARE(prompts.shown()[0].style, 3);
        QCOMPARE(prompts.shown()[0].caption, QStringLiteral("PilmoraASCII"));
        // Nothing was written while refusing.
        QCOMPARE(LeeIniAplicacion("Configuracion", "LastProject", ""), QString());

        w.showMinimized();
        QVERIFY(!w.close());
        QVERIFY(!w.isMinimized());

        w.chkOnline->setChecked(false);
        QVERIFY(w.close());
        QCOMPARE(LeeIniAplicacion("Configuracion", "LastProject", ""), QStringLiteral("Alpha"));
    }

    void linkMonitorCannotBeClosedByUser() {
        TestHome home;
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        w.show();
        auto* sub = qobject_cast<QMdiSubWindow*>(w.monitorEnlace()->parentWidget());
        QVERIFY(!sub->close());
        QVERIFY(w.monitorEnlace()->isVisible());
        QVERIFY(!(sub->windowFlags() & Qt::WindowCloseButtonHint));
    }

    void linkMonitorKeepsNewest500() {
        TestHome home;
        fTestPilmora mon;
        for (int i = 1; i <= 501; ++i) mon.VerTramas(QString::number(i), ">");
        QCOMPARE(mon.lstTramas->count(), 500);
        QCOMPARE(mon.lstTramas->item(0)->text(), QStringLiteral(">2"));
        QCOMPARE(mon.lstTramas->currentRow(), 499);
        mon.chkUltimo->setChecked(false);
        mon.VerTramas("x", "<");
        QCOMPARE(mon.lstTramas->currentRow(), 498);
        mon.chkBus->setChecked(false);
        mon.VerTramas("dropped", "<");
        QCOMPARE(mon.lstTramas->item(499)->text(), QStringLiteral("<x"));
    }

    void muestraVentanaBringsBack() {
        TestHome home;
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        w.show();
        auto* form = new QWidget;
        QMdiSubWindow* sub = w.mdiArea->addSubWindow(form);
        sub->showMinimized();
        w.mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w.monitorEnlace()->parentWidget()));
        MuestraVentana(form);
        QVERIFY(!sub->isMinimized());
        QCOMPARE(w.mdiArea->activeSubWindow(), sub);
        sub->hide();
        MuestraVentana(form);
        QVERIFY(sub->isVisible());
        QVERIFY(form->isVisible());
    }

    void tileAndCascade() {
        TestHome home;
        ScriptedPrompts prompts;
        MDIPilmora w;
        QVERIFY(w.Form_Load());
        w.resize(900, 600);
        w.show();
        auto* extra = w.mdiArea->addSubWindow(new QWidget);
        extra->show();
        w.mnuVMosaico_Click();
        const auto subs = w.mdiArea->subWindowList();
        QCOMPARE(subs.size(), 2);
        const int h = w.mdiArea->viewport()->height();
        QCOMPARE(subs[0]->height(), h);
        QCOMPARE(subs[1]->height(), h);
        QCOMPARE(subs[0]->y(), 0);
        QVERIFY(subs[0]->x() != subs[1]->x());
        w.mnuVCascada_Click();
        QVERIFY(subs[0]->pos() != subs[1]->pos());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
