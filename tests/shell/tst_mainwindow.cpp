#include <QtTest>
#include <QtWidgets>
#include <optional>

#include "AppGlobals.h"
#include "CommandHistory.h"
#include "GatewayLink.h"
#include "GatewaySimProcess.h"
#include "MDIPilmora.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "ProjectFixtures.h"
#include "SenyalesMonitor.h"
#include "Startup.h"
#include "WidgetState.h"
#include "fConfPort.h"
#include "fProject.h"
#include "fTestExterno.h"
#include "fTestPilmora.h"
#include "fVerDatos.h"
#include "mIdioma.h"

namespace {
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
QString appIni(const char* key) { return LeeIniAplicacion("Configuracion", key, "-"); }

// Enabled: chkOnline, mnuAProject, mnuCConexion, mnuVer, cmdEnviar, cboFichero, cmdSendFilePilmora, then the
// project's: mnuAHistorial, mnuAInforme, mnuCProtocolo.
QString controls(const MDIPilmora& w) {
    QString s;
    for (bool b : {w.chkOnline->isEnabled(), w.mnuAProject->isEnabled(), w.mnuCConexion->isEnabled(),
                   w.mnuVer->menuAction()->isEnabled(), w.cmdEnviar->isEnabled(), w.cboFichero->isEnabled(),
                   w.cmdSendFilePilmora->isEnabled(), w.mnuAHistorial->isEnabled(), w.mnuAInforme->isEnabled(),
                   w.mnuCProtocolo->isEnabled()})
        s += b ? '1' : '0';
    return s;
}

QStringList overlapping(QWidget* dlg) {
    QList<QRect> r;
    QStringList out, n;
    for (QWidget* c : dlg->findChildren<QWidget*>())
        if (c->isVisible() && (qobject_cast<QLabel*>(c) || qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c)))
            r << QRect(c->mapTo(dlg, QPoint()), c->size()), n << c->objectName();
    for (int i = 0; i < r.size(); ++i)
        for (int j = i + 1; j < r.size(); ++j)
            if (r[i].intersects(r[j])) out << n[i] + "/" + n[j];
    return out;
}

bool monitorHas(const MDIPilmora& w, const QString& line) { return w.monitorEnlace()->lineas().contains(line); }

// The demo LON project with its download file, the last one opened; the simulated gateway serves it over UDP.
struct Served {
    explicit Served(const QStringList& simArgs) : dir(home.projectsRoot() + "/DemoLON") {
        copyFolder(QStringLiteral(PILMORA_SOURCE_DIR) + "/data/demo/DemoLON", dir);
        const bool generated = runPilmora(home.path(), {"generate", dir, "--at", "2026/12/06 07:00:00"}).code == 0;
        sim.emplace("udp",
                    QStringList{"--project", dir, "--protocol", "LON", "--out", home.file("received.plmx")} + simArgs);
        ok = generated && sim->started() && iniWrite(dir + "/LON.ini", "Console", "UDPConsole", "1") &&
             iniWrite(dir + "/LON.ini", "Console", "Port", QString::number(sim->port()));
        EscribeIniAplicacion("Configuracion", "LastProject", "DemoLON");
    }
    TestHome home;
    ScriptedPrompts prompts;
    QString dir;
    std::optional<GatewaySimProcess> sim;
    bool ok = false;
};
}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    void appFolder_data() {
        addColumns<QStringList, QString>("args", "expected");
        QTest::newRow("--home DIR beats environment") << QStringList{"prog", "--home", "/tmp/h"} << "/tmp/h";
        QTest::newRow("--home=DIR") << QStringList{"prog", "--home=/tmp/h2"} << "/tmp/h2";
        QTest::newRow("--home without folder") << QStringList{"prog", "--home"} << "/srv/ws";
    }
    void appFolder() {
        QCOMPARE(resolveAppFolder(col<QStringList>("args"), "/opt/pilmora", "/srv/ws"), col<QString>("expected"));
    }

    // What a start reads, what it says (a missing templates folder: twice, as errors, and it goes on), and the
    // language checked in its menu.
    void settingsAtStartup_data() {
        QTest::addColumn<QStringList>("ini");
        QTest::addColumn<QStringList>("expected");  // settings, com, templates, projects, last project, last command
        const QStringList defaults{"57600,n,8,1", "1", "TemplatesASCII", "ProjectsASCII", "", "AD0001=0"};
        QTest::newRow("no INI file") << QStringList() << defaults;
        QTest::newRow("all set")
            << QStringList{"[Configuracion]",       "Settings=9600,e,7,1", "Com=4",      "PathTemplates=/srv/tpl",
                           "PathProjects=/srv/prj", "LastProject=Plant",   "Language=2", "[Comandos]",
                           "Comando1=AD0005?"}
            << QStringList{"9600,e,7,1", "4", "/srv/tpl", "/srv/prj", "Plant", "AD0005?"};
        QTest::newRow("empty paths fall back")
            << QStringList{"[Configuracion]", "PathTemplates=", "PathProjects=", "Language=1"} << defaults;
    }
    void settingsAtStartup() {
        const QStringList ini = col<QStringList>("ini"), e = col<QStringList>("expected");
        Started s(ini);
        QVERIFY(s.loaded && s.w.Timer1->isActive());
        auto abs = [&](const QString& p) { return QDir::isAbsolutePath(p) ? p : nat(s.home.file(p)); };
        QCOMPARE((QStringList{s.w.comPort().settings, QString::number(s.w.comPort().com), app().RutaPlantillas,
                              app().RutaProyectos, app().NombreProyecto, s.w.cboCmd->itemText(s.w.cboCmd->count() - 1),
                              s.w.cboCmd->currentText()}),
                 (QStringList{e[0], e[1], abs(e[2]), abs(e[3]), e[4], e[5], ""}));
        const QString path = abs(e[2]);
        QCOMPARE(s.prompts.texts(), (QFileInfo::exists(path) ? QStringList()
                                                             : QStringList{Texto("Erroralacc") + "\r" + path,
                                                                           "Error path Templates\r" + path}));
        for (const auto& m : s.prompts.shown()) QCOMPARE(m.style & 0x70, int(Msg::Critical));
        const int language = ini.filter("Language=").value(0, "Language=0").mid(9).toInt();
        auto checked = [&] {
            QString c;
            for (QAction* a : s.w.mnuCIdioma->actions()) c += a->isChecked() ? '1' : '0';
            return c;
        };
        QCOMPARE(checked(), QString("000").replace(language, 1, '1'));
        QVERIFY(s.w.monitorEnlace() && !s.w.mnuCProtocolo->isEnabled());
        s.w.mnuCIdioma->actions()[(language + 1) % 3]->trigger();  // stored for the next start, and said so
        s.w.mnuCIdioma->actions()[(language + 1) % 3]->trigger();  // chosen again: stays the one ticked
        QCOMPARE(checked() + appIni("Language"),
                 QString("000").replace((language + 1) % 3, 1, '1') + QString::number((language + 1) % 3));
        QCOMPARE(s.prompts.lastText(), Texto("CambiosTenganEfectosReiniciar"));
    }

    // Window > Tile: the viewer first, every window wide enough to read, a minimized one left where it is.
    void menusAndTile() {
        Started s;
        s.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.w));
        QCOMPARE(windowDiffers(&s.w, "main-window", s.home.path()), QString());
        bool about = false;
        QString aboutState;
        whenModal<QDialog>([&](QDialog* d) { aboutState = windowDiffers(d, "about"), d->accept(); }, &about);
        s.w.mnuAcercade->trigger();
        QVERIFY(about && aboutState.isEmpty());
        s.w.mnuVDatos_Click();
        QVERIFY(s.w.visorDatos() && s.w.visorDatos()->isVisible());
        auto* third = s.w.mdiArea->addSubWindow(new QWidget);
        third->show(), third->showMinimized();
        const QRect minimized = third->geometry();
        s.w.mnuVMosaico->trigger();
        const QRect area = s.w.mdiArea->viewport()->rect();
        // The viewer is wider than half the area: it gets the top row (two shares of the height), the link monitor
        // the row below.
        QVERIFY(s.w.visorDatos()->sizeHint().width() > area.width() / 2);
        const int h = area.height() / 3;
        QList<QRect> got;
        for (QMdiSubWindow* sub : s.w.mdiArea->subWindowList()) got << sub->geometry();
        QCOMPARE(got, (QList<QRect>{QRect(0, area.height() - h, area.width(), h),
                                    QRect(0, 0, area.width(), area.height() - h), minimized}));
        s.w.mnuVCascada->trigger();
        QVERIFY(s.w.mdiArea->subWindowList()[0]->geometry().topLeft() != QPoint(0, area.height() - h));
        // Spy lines reach only their own bus's monitor, and none while it is closed.
        emit s.w.enlace()->spyLineReceived("EXT", "before");
        s.w.mnuVInterno->trigger(), s.w.mnuVPExterno->trigger();
        emit s.w.enlace()->spyLineReceived("INT", "a");
        emit s.w.enlace()->spyLineReceived("EXT", "b");
        QCOMPARE(s.w.monitorAscii()->lineas() + s.w.monitorExterno()->lineas(), QStringList({"a", "b"}));
    }

    // A project's menu items open their windows (a connection accepted reaches the link); opening another project
    // closes the windows of the one before; File > Exit closes the program.
    void projectMenusAndSwitch() {
        Started s({"[Configuracion]", "LastProject=Beta"});
        for (const char* name : {"Alpha", "Beta"}) makeProject(s.home.file("ProjectsASCII"), name, "LON", name);
        QString pick = "Beta";
        auto open = [&] {
            whenModal<fProject>([&](fProject* d) {
                d->lvwPro->setCurrentItem(d->lvwPro->findItems(pick, Qt::MatchExactly)[0]), d->cmdSelec->click();
            });
            s.w.mnuAProject_Click();
        };
        open();
        QStringList opened;
        whenModal<QDialog>([&](QDialog* d) { opened << d->metaObject()->className(), d->reject(); });
        s.w.mnuAHistorial->trigger();
        whenModal<fConfPort>([&](fConfPort* d) {
            opened << d->metaObject()->className(), d->cboBaud->setCurrentIndex(0), d->cmdAceptar->click();
        });
        s.w.mnuCConexion->trigger();
        QCOMPARE(opened, QStringList({"fHistorial", "fConfPort"}));
        QVERIFY2(s.w.comPort().settings != "57600,n,8,1" && s.w.enlace()->serialSettings() == s.w.comPort().settings,
                 qPrintable(s.w.enlace()->serialSettings()));
        s.w.mnuVDatos_Click(), s.w.mnuVInterno->trigger();
        QPointer<QWidget> viewer = s.w.visorDatos(), monitor = s.w.monitorAscii();
        QVERIFY(viewer && monitor);
        pick = "Alpha", open();
        QTRY_VERIFY(viewer.isNull() && monitor.isNull() && app().NombreProyecto == "Alpha");
        s.w.show(), s.w.mnuASalir->trigger();
        QVERIFY(!s.w.isVisible());
    }

    void noLanguageFileEndsTheStart() {
        TestHome home(true, /*loadLanguage=*/false);
        QFile::remove(home.file("PilmoraASCII.LNG"));
        MDIPilmora w;
        QVERIFY(!w.Form_Load() && !w.Timer1->isActive());
    }

    // Project > open offers the last one; chosen, it opens with the link settings of its INI (ConsolaUDP PuertoUDP
    // IPConexion); cancelled or deleted, none is open.
    void projectAction_data() {
        const auto row = addColumns<QString, QStringList, QString>("how", "ini", "link");
        const QString def = QString::fromLatin1(kIPPorDefecto);
        row("no Console section", "choose", QStringList{"[ASCII]", "Baudios=3 (9600)"}, "0 23 " + def);
        row("UDP", "choose", QStringList{"[Console]", "UDPConsole=1", "Port=5001", "[ASCII]", "IP=127.0.0.1"},
            "1 5001 127.0.0.1");
        row("any non-zero is UDP", "choose", QStringList{"[console]", "udpconsole=-1"}, "1 23 " + def);
        row("serial", "choose", QStringList{"[Console]", "UDPConsole=0", "Port=24"}, "0 24 " + def);
        row("empty IP stays empty", "choose", QStringList{"[ASCII]", "IP="}, "0 23 ");
        row("cancel", "cancel", QStringList(), "");
        row("delete", "delete", QStringList(), "");
    }
    void projectAction() {
        const QString how = col<QString>("how");
        Started s({"[Configuracion]", "LastProject=Beta"});
        const QString root = s.home.file("ProjectsASCII");
        makeProject(root, "Alpha", "LON", "first", {"[Console]", "UDPConsole=1", "[ASCII]", "IP=127.0.0.1"});
        makeProject(root, "Beta", "MBS6", "second", col<QStringList>("ini"));
        QString preselected;
        whenModal<fProject>([&](fProject* d) {
            preselected = d->lvwPro->currentItem()->text(0), (how == "cancel" ? d->cmdSalir : d->cmdSelec)->click();
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
        QCOMPARE(controls(s.w), open ? "1110000111" : "0100000000");
        if (open) {  // File > report: a cancelled dialog writes nothing; a chosen name gets the report, and says so
            const QString report = s.home.file("Beta report.html");
            for (bool accept : {false, true}) {
                whenModal<QFileDialog>([&](QFileDialog* d) {
                    accept ? d->selectFile(report), static_cast<QDialog*>(d)->accept() : d->reject();
                });
                s.w.mnuAInforme->trigger();
            }
            QCOMPARE(s.prompts.texts().filter(Texto("InformeEscrito")),
                     QStringList{Texto("InformeEscrito") + "\r" + report});
            QVERIFY(readAll(report).contains("Beta") && readAll(report).contains("second"));
        }
        auto& a = app();
        if (open)
            QCOMPARE(QString("%1 %2 %3 %4 ").arg(a.ConsolaUDP).arg(a.PuertoUDP).arg(a.IPConexion, a.IPNueva) +
                         s.w.mnuVPExterno->text() + a.NombreIni + a.RutaProyecto,
                     col<QString>("link") + " " + a.IPConexion + " MBS6...MBS6" + nat(root + "/Beta"));
        QVERIFY(s.w.close());  // names the open project as the last one; after cancelling the setting stays
        if (how != "delete") QCOMPARE(appIni("LastProject"), QStringLiteral("Beta"));
    }

    // after: txtIp|txtPort, Com|ComDevice|Settings, UDPConsole|Port|IP, ConsolaUDP|IPConexion|PuertoUDP.
    void connection_data() {
        addColumns<QString, bool, QString, QString>("entries", "portOpen", "message", "after");
        const QString kept = " -|-|- -|-|- 0|10.1.1.1|23";
        QTest::newRow("UDP") << "1|127.0.0.1|5001|9600|COM 3" << false << ""
                             << "127.0.0.1|5001 3||9600,n,8,1 1|5001|127.0.0.1 1|127.0.0.1|5001";
        QTest::newRow("port 65535") << "1|127.0.0.1|65535|57600|COM 1" << false << ""
                                    << "127.0.0.1|65535 1||57600,n,8,1 1|65535|127.0.0.1 1|127.0.0.1|65535";
        QTest::newRow("port 0") << "1|127.0.0.1|0|9600|COM 3" << false << "Port: 0#incorrecto"
                                << "127.0.0.1|23" + kept;
        QTest::newRow("port 65536") << "1|127.0.0.1|65536|9600|COM 3" << false << "Port: 65536#incorrecto"
                                    << "127.0.0.1|23" + kept;
        QTest::newRow("bad address") << "1|127.0.0.256|5001|9600|COM 3" << false << "IP: 127.0.0.256#incorrecta"
                                     << "10.1.1.1|5001" + kept;
        QTest::newRow("serial takes any address") << "0|abc|24|115200|COM 16" << false << ""
                                                  << "abc|24 16||115200,n,8,1 0|24|- 0|abc|24";
        QTest::newRow("port open: the speed waits for the next open") << "0|10.1.1.1|23|1200|COM 2" << true << ""
                                                                      << "10.1.1.1|23 -|-|- 0|23|- 0|10.1.1.1|23";
        QTest::newRow("left by Exit: nothing kept") << "1|127.0.0.1|5001|9600|COM 3|exit" << false << ""
                                                    << "127.0.0.1|5001" + kept;
        QTest::newRow("device path") << "0|10.1.1.1|23|9600|/dev/ttyPLM0" << false << ""
                                     << "10.1.1.1|23 4|/dev/ttyPLM0|9600,n,8,1 0|23|- 0|10.1.1.1|23";
    }
    void connection() {
        const QString message = col<QString>("message");
        TestHome home;
        ScriptedPrompts prompts;
        auto& a = app();
        a.RutaProyecto = makeProject(home.projectsRoot(), "P", "LON", "d");
        a.ProtProyecto = a.NombreIni = "LON", a.IPConexion = "10.1.1.1";
        ConfigSerie com{"57600,n,8,1", 4, "/dev/ttyPLM0"};  // a stored device stays choosable
        fConfPort dlg(com, col<bool>("portOpen"));
        if (QTest::currentDataTag() == QString("UDP") || col<bool>("portOpen"))
            QCOMPARE(windowDiffers(&dlg, QString("connection-") + (col<bool>("portOpen") ? "port-open" : "closed"),
                                   home.path()),
                     QString());
        const QStringList e = col<QString>("entries").split('|');
        dlg.optRSTCP[e[0].toInt()]->setChecked(true), dlg.txtIp->setText(e[1]), dlg.txtPort->setText(e[2]);
        dlg.cboBaud->setCurrentText(e[3]), dlg.cboCom->setCurrentIndex(dlg.cboCom->findText(e[4]));
        (e.value(5) == "exit" ? dlg.cmdSalir : dlg.cmdAceptar)->click();
        QStringList m = message.split('#');  // literal part, language key
        if (!message.isEmpty()) m[0].replace("IP: ", Texto("EtqIP")).replace("Port: ", Texto("EtqPuerto"));
        QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{m[0] + Texto(m[1])});
        QCOMPARE(dlg.result(), message.isEmpty() && e.size() < 6 ? int(QDialog::Accepted) : int(QDialog::Rejected));
        const QString stored = appIni("Com") + "|" + appIni("ComDevice") + "|" + appIni("Settings");
        QCOMPARE(QStringList({dlg.txtIp->text() + "|" + dlg.txtPort->text(), stored,
                              LeeIni("Console", "UDPConsole", "-") + "|" + LeeIni("Console", "Port", "-") + "|" +
                                  LeeIni("Console", "IP", "-"),
                              QString("%1|%2|%3").arg(a.ConsolaUDP).arg(a.IPConexion).arg(a.PuertoUDP)})
                     .join(' '),
                 col<QString>("after"));
        QCOMPARE(QString("%1|%2|%3").arg(com.com).arg(com.device, com.settings),
                 stored != "-|-|-"       ? stored
                 : col<bool>("portOpen") ? QStringLiteral("4|/dev/ttyPLM0|1200,n,8,1")  // for the link's next open
                                         : QStringLiteral("4|/dev/ttyPLM0|57600,n,8,1"));
        dlg.txtIp->setText("255.255.255.2551");  // no address is longer than 15 characters
        QCOMPARE(dlg.txtIp->text(), QString("255.255.255.255"));
        QStringList speeds;  // a stored speed is listed once: first, last, or added when not in the list
        for (const char* stored : {"1200,n,8,1", "115200,n,8,1", "300,n,8,1"}) {
            ConfigSerie c{stored, 1, QString()};
            fConfPort d(c, false);
            speeds << QString::number(d.cboBaud->count()) + ":" + d.cboBaud->currentText();
        }
        QCOMPARE(speeds, QStringList({"11:1200", "11:115200", "12:300"}));
    }

    // The dialog's port list beyond "COM 16": what the system lists, the stored port kept, marked "-" when absent.
    void portList_data() {
        const auto row = addColumns<int, QString, QString, QString>("com", "device", "system", "beyond16");
        row("COM17 and beyond, devices", 3, "", "COM17,COM40,/dev/ttyUSB0", "COM 17|COM 40|/dev/ttyUSB0");
        row("stored number absent", 20, "", "COM3", "COM 20-");
        row("stored device absent", 1, "/dev/ttyACM3", "/dev/ttyUSB0", "/dev/ttyUSB0|/dev/ttyACM3-");
        row("a stored device beats a stored number", 20, "/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyUSB0");
        row("COM0 and COM-2 are names, not numbers", 1, "", "COM0,COM-2", "COM-2|COM0");
    }
    void portList() {
        TestHome home;
        QStringList got;
        for (const PuertoOfrecido& p :
             ConnectionSettings::Puertos(col<int>("com"), col<QString>("device"), col<QString>("system").split(','))
                 .mid(16))
            got << QString(p.texto).replace(" (" + Texto("PuertoNoPresente") + ")", p.presente ? "?" : "-");
        QCOMPARE(got.join('|'), col<QString>("beyond16"));
    }

    // On line only the baud rate can change; every field keeps its own place.
    void connectionOnline_data() {
        addColumns<bool, int>("udp", "state");
        QTest::addColumn<QString>("enabled");  // optRSTCP(0), optRSTCP(1), txtIp, txtPort, cboCom, cboBaud
        QTest::newRow("off line") << false << 0 << "111111";
        QTest::newRow("on line, serial") << false << 2 << "000001";
        QTest::newRow("on line, UDP") << true << 2 << "000011";
    }
    void connectionOnline() {
        TestHome home;
        app().ConsolaUDP = col<bool>("udp");
        app().EstadoConexion = qint16(col<int>("state"));
        ConfigSerie com{"19200,n,8,1", 7, ""};
        fConfPort dlg(com, false);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(overlapping(&dlg), QStringList());
        QCOMPARE(dlg.cboBaud->currentText() + dlg.cboCom->currentText(), QStringLiteral("19200COM 7"));
        QString got;  // each field greyed itself, not only through its frame
        for (QWidget* w :
             QList<QWidget*>{dlg.optRSTCP[0], dlg.optRSTCP[1], dlg.txtIp, dlg.txtPort, dlg.cboCom, dlg.cboBaud})
            got += w->testAttribute(Qt::WA_ForceDisabled) ? '0' : '1';
        QCOMPARE(got, col<QString>("enabled"));
    }

    void commandHistory_data() {
        addColumns<QStringList, QStringList>("sent", "remembered");
        QTest::newRow("fixed and blank ones are not") << QStringList{"INFO?", "   ", ""} << QStringList{};
        QTest::newRow("edited pattern is") << QStringList{"TIME=2026/12/06"} << QStringList{"TIME=2026/12/06"};
        QTest::newRow("trimmed, a repeat moves up") << QStringList{" A ", "B", "A"} << QStringList{"A", "B"};
        QTest::newRow("the newest again changes nothing") << QStringList{"A", "A "} << QStringList{"A"};
        QStringList many;
        for (int i = 1; i <= 25; ++i) many.prepend(QString::number(i));
        QTest::newRow("newest 20 kept") << QStringList(many.crbegin(), many.crend()) << many.mid(0, 20);
    }
    void commandHistory() {
        TestHome home;
        CommandHistory h;
        int changes = 0, expected = 0;  // the main window refills its command box only on a change
        for (const QString& c : col<QStringList>("sent")) {
            const QStringList before = h.recent();
            changes += h.remember(c);
            expected += h.recent() != before;
        }
        CommandHistory again;  // what the next start reads
        again.load();
        QCOMPARE(h.recent() + QStringList{"|"} + again.recent(),
                 col<QStringList>("remembered") + QStringList{"|"} + col<QStringList>("remembered"));
        QCOMPARE(changes, expected);
    }

    // A session over UDP on loopback, and at each step which controls the user may use. With the one-second tick
    // run at 20 ms: a gateway that never confirms its protocol is asked "INFO?" again at each tick; a transfer it
    // stops answering ends after five ticks, the link still on line.
    void sessionWithSimulatedGateway_data() {
        QTest::addColumn<QStringList>("sim");
        QTest::newRow("session") << QStringList();
        QTest::newRow("never confirmed") << QStringList{"--no-dot"};
        QTest::newRow("transfer without an answer") << QStringList{"--silent-after", "0"};
    }
    void sessionWithSimulatedGateway() {
        const QString how = col<QStringList>("sim").value(0);
        Served served(col<QStringList>("sim"));
        QVERIFY2(served.ok, qPrintable(served.sim->log()));
        TestHome& home = served.home;
        ScriptedPrompts& prompts = served.prompts;
        const QString& dir = served.dir;
        const QByteArray file = readAll(dir + "/LON.Plmx");

        MDIPilmora w;
        QVERIFY(w.Form_Load());
        w.show(), w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QStringList steps{controls(w)};
        whenModal<fProject>([](fProject* d) { d->cmdSelec->click(); });
        w.mnuAProject_Click();
        const QString refused = nonLoopback(dir, app().IPConexion);
        QVERIFY2(refused.isEmpty() && app().ConsolaUDP, qPrintable(refused));
        steps << controls(w);
        if (how.isEmpty()) QCOMPARE(windowDiffers(&w, "main-window-project", home.path()), QString());

        if (!how.isEmpty()) w.Timer1->setInterval(20);
        QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        QCOMPARE(w.chkOnline->text() + QString::number(w.chkOnline->isChecked()), QStringLiteral("On Line1"));
        steps << controls(w);
        if (how == "--no-dot") {
            QTRY_VERIFY(w.monitorEnlace()->lineas().count("<INFO?") >= 3);
            QCOMPARE(int(app().EstadoConexion), 1);
            QCOMPARE(w.chkOnline->palette().color(QPalette::Button), QColor(255, 220, 0));  // yellow: not confirmed
            // The desktop session ending closes it on line: spies off, the link closed.
            QVERIFY(w.cierra(true) && app().EstadoConexion == 0 && !w.Timer1->isActive());
            QTRY_VERIFY(monitorHas(w, "<BUSINTOFF"));
            return;
        }
        if (how.isEmpty()) w.Timer1_Timer();  // the first poll now rather than in a second
        QTRY_COMPARE(int(app().EstadoConexion), 2);
        QCOMPARE(w.cboFichero->currentText(), QStringLiteral("LON.PLMX"));
        steps << controls(w);
        if (!how.isEmpty()) {
            prompts.queueAnswer(1), QTest::mouseClick(w.cmdSendFilePilmora, Qt::LeftButton);
            QCOMPARE(QString::number(app().EstadoConexion) + controls(w).right(3), "3000");  // the project's items off
            QTRY_VERIFY(monitorHas(w, "<" + Texto("TransfFicheroCANCEL") + " (" + Texto("SinRespuesta") + ")"));
            QCOMPARE(int(app().EstadoConexion), 2);
            QTRY_COMPARE(w.chkOnline->palette().color(QPalette::Button), QColor(255, 120, 0));  // orange: gone quiet
            return QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        }

        // A typed command goes out on Enter and is offered again below the fixed list.
        w.cboCmd->setFocus(), w.cboCmd->setEditText(QString());
        QTest::keyClicks(w.cboCmd, "  AD0002?");
        QTest::keyClick(w.cboCmd, Qt::Key_Return);
        QVERIFY(monitorHas(w, "<AD0002?"));
        w.cboCmd->setEditText("AD0003?"), QTest::mouseClick(w.cmdEnviar, Qt::LeftButton);  // or by its button
        QVERIFY(monitorHas(w, "<AD0003?"));
        QCOMPARE(
            w.cboCmd->itemText(w.cboCmd->count() - 1) + QString::number(w.cboCmd->count() - ComandosConsola().size()),
            QStringLiteral("AD0002?3"));  // below a separator, the newest first
        // The confirmation loaded the signal list; the gateway's values land in it, and in the viewer.
        QCOMPARE(listaSenyales().NumSenyales, 10);
        QTRY_VERIFY(listaSenyales().Senyales[listaSenyales().IndiceSenyales.value("AD0002")].HayValor);
        w.mnuVDatos->trigger();
        QVERIFY(w.visorDatos() && w.visorDatos()->isVisible());
        QCOMPARE(w.visorDatos()->visor.grid.Rows(), 11);
        // Closing while on line is refused with a notice, writes nothing, and brings a minimized window back.
        EscribeIniAplicacion("Configuracion", "LastProject", "");
        w.showMinimized(), prompts.clear();
        QVERIFY(!w.close() && !w.isMinimized() && w.isVisible() && appIni("LastProject").isEmpty());
        QCOMPARE(prompts.texts(), QStringList{Texto("PasaaOffline")});
        QVERIFY(prompts.shown()[0].kind == ScriptedPrompts::ToolBox && prompts.shown()[0].style == 3);
        int lastValue = -1, maximum = -1;
        auto bar = [&] {  // the progress bar and the two transfer marks shown
            return QString::number(w.ProgressBar1->isVisible()) + QString::number(w.shpTransfer1->isVisible()) +
                   QString::number(w.shpTransfer2->isVisible());
        };
        connect(w.enlace(), &GatewayLink::transferProgress, &w, [&] {
            lastValue = w.ProgressBar1->value(), maximum = w.ProgressBar1->maximum();
            if (lastValue == 1) steps << controls(w) + bar();
        });
        w.mnuVPExterno->trigger();  // an external spy monitor listening: its switch goes off with the send
        QPointer<fTestExterno> external = w.findChild<fTestExterno*>();
        QVERIFY(external && external->chkBus->isChecked());
        prompts.clear(), prompts.queueAnswer(1);
        QTest::mouseClick(w.cmdSendFilePilmora, Qt::LeftButton);
        QVERIFY(external && !external->chkBus->isChecked());
        QVERIFY(prompts.texts().value(0).contains(Texto("Tamanyo") + QString::number(file.size()) + ", Checksum: "));
        QTRY_VERIFY_WITH_TIMEOUT(monitorHas(w, ">" + Texto("TransfEscFicheroOK")), 10000);
        QVERIFY(monitorHas(w, "<BUSINTOFF") && monitorHas(w, "<BUSEXTOFF"));
        QCOMPARE(QString("%1 %2").arg(maximum).arg(lastValue), QString("%1 %1").arg((file.size() + 127) / 128));
        QCOMPARE(readAll(home.file("received.plmx")), file);
        // Over UDP the gateway restarts: the link waits on line, the result acknowledged and in the status bar.
        QVERIFY(app().EstadoConexion == 5 && monitorHas(w, ">" + Texto("X132")));
        QCOMPARE(w.chkOnline->text() + QString::number(w.chkOnline->isChecked()), QStringLiteral("On Line1"));
        steps << controls(w) + bar();
        QTRY_COMPARE_WITH_TIMEOUT(int(app().EstadoConexion), 2, 10000);           // back on line by itself
        QCOMPARE(prompts.texts().filter(Texto("TransfEscFicheroOK")).size(), 1);  // acknowledged once
        QCOMPARE(w.panel(4), Texto("PasarelaDeNuevoEnLinea"));
        // No project, open, waiting, verified, sending (bar and marks shown, the project's items off), waiting for
        // the restart (all hidden).
        QCOMPARE(steps, (QStringList{"0100000000", "1110000111", "1010000111", "1011111111", "1011010000111",
                                     "1010000111000"}));
        QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        QVERIFY(w.close() && appIni("LastProject") == "DemoLON");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
