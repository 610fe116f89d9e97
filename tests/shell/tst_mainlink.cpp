// The main window as the gateway's console: the connection dialog, which
// controls the link state allows, the remembered commands, and a whole session
// against the simulated gateway on loopback.
#include <QtTest>

#include <QComboBox>
#include <QMenu>
#include <QProcess>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "AppGlobals.h"
#include "CommandHistory.h"
#include "GatewaySimProcess.h"
#include "SenyalesMonitor.h"
#include "fVerDatos.h"
#include "GatewayLink.h"
#include "MDIPilmora.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "ProjectFixtures.h"
#include "fConfPort.h"
#include "fProject.h"
#include "fTestPilmora.h"
#include "mIdioma.h"

namespace {
const QString kBin = QStringLiteral(PILMORA_BIN_DIR);

// Enabled state of chkOnline, mnuAProject, mnuCConexion, mnuVer, cmdEnviar,
// cboFichero, cmdSendFilePilmora, as '1'/'0'.
QString controls(const MDIPilmora& w) {
    QString s;
    for (bool b : {w.chkOnline->isEnabled(), w.mnuAProject->isEnabled(), w.mnuCConexion->isEnabled(),
                   w.mnuVer->menuAction()->isEnabled(), w.cmdEnviar->isEnabled(), w.cboFichero->isEnabled(),
                   w.cmdSendFilePilmora->isEnabled()})
        s += b ? '1' : '0';
    return s;
}

// Pictures for the README: only with PILMORA_SHOTS_DIR set, under a real X
// server (xvfb-run, QT_QPA_PLATFORM=xcb).
void shot(QWidget* w, const QString& name) {
    const QString out = qEnvironmentVariable("PILMORA_SHOTS_DIR");
    if (out.isEmpty()) return;
    QTest::qWait(300);
    w->screen()->grabWindow(0, 0, 0, 1100, 640).save(out + "/" + name);  // the main window's place
}

bool monitorHas(const MDIPilmora& w, const QString& line) { return w.monitorEnlace()->lineas().contains(line); }
}  // namespace

class TestMainLink : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    // entries: udp|ip|port|baud|cboCom text. message: literal#key, empty when
    // saved. after: txtIp|txtPort, Com|ComDevice|Settings of the application
    // INI, UDPConsole|Port of the project INI, ConsolaUDP|IPConexion|PuertoUDP.
    void graba_data() {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("after");
        const QString kept = " -|-|- -|- 0|10.1.1.1|23";
        QTest::newRow("UDP") << "1|127.0.0.1|5001|9600|COM 3" << false << ""
                             << "127.0.0.1|5001 3||9600,n,8,1 1|5001 1|127.0.0.1|5001";
        QTest::newRow("port 65535") << "1|127.0.0.1|65535|57600|COM 1" << false << ""
                                    << "127.0.0.1|65535 1||57600,n,8,1 1|65535 1|127.0.0.1|65535";
        QTest::newRow("port 0") << "1|127.0.0.1|0|9600|COM 3" << false << "Port: 0#incorrecto" << "127.0.0.1|23" + kept;
        QTest::newRow("port 65536") << "1|127.0.0.1|65536|9600|COM 3" << false << "Port: 65536#incorrecto"
                                    << "127.0.0.1|23" + kept;
        QTest::newRow("bad address") << "1|127.0.0.256|5001|9600|COM 3" << false << "IP: 127.0.0.256#incorrecta"
                                     << "10.1.1.1|5001" + kept;
        QTest::newRow("serial takes any address") << "0|abc|24|115200|COM 16" << false << ""
                                                  << "abc|24 16||115200,n,8,1 0|24 0|abc|24";
        QTest::newRow("port open: serial waits") << "0|10.1.1.1|23|1200|COM 2" << true << ""
                                                 << "10.1.1.1|23 -|-|- 0|23 0|10.1.1.1|23";
        QTest::newRow("device path") << "0|10.1.1.1|23|9600|/dev/ttyPLM0" << false << ""
                                     << "10.1.1.1|23 4|/dev/ttyPLM0|9600,n,8,1 0|23 0|10.1.1.1|23";
    }
    void graba() {
        QFETCH(QString, entries);
        QFETCH(bool, portOpen);
        QFETCH(QString, message);
        QFETCH(QString, after);
        TestHome home;
        ScriptedPrompts prompts;
        auto& a = app();
        a.RutaProyecto = makeProject(home.projectsRoot(), "P", "LON", "d");
        a.ProtProyecto = a.NombreIni = "LON";
        a.IPConexion = "10.1.1.1";
        ConfigSerie com{"57600,n,8,1", 4, "/dev/ttyPLM0"};  // a stored device stays choosable
        fConfPort dlg(com, portOpen);
        const QStringList e = entries.split('|');
        dlg.optRSTCP[e[0].toInt()]->setChecked(true);
        dlg.txtIp->setText(e[1]);
        dlg.txtPort->setText(e[2]);
        dlg.cboBaud->setCurrentText(e[3]);
        dlg.cboCom->setCurrentIndex(dlg.cboCom->findText(e[4]));
        dlg.cmdAceptar->click();

        QStringList m = message.split('#');  // literal part, language key
        if (!message.isEmpty()) m[0].replace("IP: ", Texto("EtqIP")).replace("Port: ", Texto("EtqPuerto"));
        QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{m[0] + Texto(m[1])});
        QCOMPARE(dlg.result(), message.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        auto appKey = [](const char* k) { return LeeIniAplicacion("Configuracion", k, "-"); };
        const QString appIni = appKey("Com") + "|" + appKey("ComDevice") + "|" + appKey("Settings");
        QCOMPARE(QStringList({dlg.txtIp->text() + "|" + dlg.txtPort->text(), appIni,
                              LeeIni("Console", "UDPConsole", "-") + "|" + LeeIni("Console", "Port", "-"),
                              QString("%1|%2|%3").arg(a.ConsolaUDP).arg(a.IPConexion).arg(a.PuertoUDP)})
                     .join(' '),
                 after);
        // The main window's serial control follows the file, or stays as it was.
        const QString control = QString("%1|%2|%3").arg(com.com).arg(com.device, com.settings);
        QCOMPARE(control, appIni == "-|-|-" ? QStringLiteral("4|/dev/ttyPLM0|57600,n,8,1") : appIni);
    }

    // While on line only the baud rate can change. Checked: each control's own
    // state (the frame of the way not chosen is greyed as well).
    void onlineLocksAllButBaud_data() {
        QTest::addColumn<bool>("udp");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("enabled");  // optRSTCP(0), optRSTCP(1), txtIp, txtPort, cboCom, cboBaud
        QTest::newRow("off line") << false << 0 << "111111";
        QTest::newRow("on line, serial") << false << 2 << "000001";
        QTest::newRow("on line, UDP") << true << 2 << "000011";
    }
    void onlineLocksAllButBaud() {
        QFETCH(bool, udp);
        QFETCH(int, state);
        QFETCH(QString, enabled);
        TestHome home;
        app().ConsolaUDP = udp;
        app().EstadoConexion = qint16(state);
        ConfigSerie com{"19200,n,8,1", 7, ""};
        fConfPort dlg(com, false);
        QCOMPARE(dlg.cboBaud->currentText() + dlg.cboCom->currentText(), QStringLiteral("19200COM 7"));
        QString got;
        for (QWidget* w : {(QWidget*)dlg.optRSTCP[0], (QWidget*)dlg.optRSTCP[1], (QWidget*)dlg.txtIp,
                           (QWidget*)dlg.txtPort, (QWidget*)dlg.cboCom, (QWidget*)dlg.cboBaud})
            got += w->testAttribute(Qt::WA_ForceDisabled) ? '0' : '1';
        QCOMPARE(got, enabled);
    }
    void commandHistory_data() {
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("remembered");
        QTest::newRow("fixed and blank ones are not") << QStringList{"INFO?", "   ", ""} << QStringList{};
        QTest::newRow("edited pattern is") << QStringList{"TIME=2026/12/06"} << QStringList{"TIME=2026/12/06"};
        QTest::newRow("trimmed, a repeat moves up") << QStringList{" A ", "B", "A"} << QStringList{"A", "B"};
        QStringList many;
        for (int i = 1; i <= 25; ++i) many.prepend(QString::number(i));
        QTest::newRow("newest 20 kept") << QStringList(many.crbegin(), many.crend()) << many.mid(0, 20);
    }
    void commandHistory() {
        QFETCH(QStringList, sent);
        QFETCH(QStringList, remembered);
        TestHome home;
        CommandHistory h;
        for (const QString& c : sent) h.remember(c);
        CommandHistory again;  // what the next start reads
        again.load();
        QCOMPARE(h.recent(), remembered);
        QCOMPARE(again.recent(), remembered);
    }

    // A flood of traffic keeps only the newest lines, in order, however it arrives.
    void monitorKeepsNewestLines() {
        fTestPilmora f;
        for (int i = 0; i < 1200; ++i) f.VerTramas(QString::number(i), ">");
        f.flush();
        for (int i = 1200; i < 1300; ++i) f.VerTramas(QString::number(i), "<");
        const QStringList l = f.lineas();
        QCOMPARE(QString("%1 %2 %3").arg(l.size()).arg(l.first(), l.last()), QString("500 >800 <1299"));
    }

    // A whole session over UDP on loopback: on line, the protocol confirmed, a
    // typed command, the demo file sent with the confirmation answered, the
    // progress to its end and the link off line while the gateway restarts;
    // and at each step, which controls the user may use.
    void sessionWithSimulatedGateway() {
        TestHome home;
        ScriptedPrompts prompts;
        const QString dir = home.projectsRoot() + "/DemoLON";
        QVERIFY(copyFolder(QStringLiteral(PILMORA_SOURCE_DIR) + "/data/demo/DemoLON", dir));
        const QString ini = dir + "/LON.ini";
        QProcess gen;
        gen.start(kBin + "/pilmora", {"generate", dir, "--at", "2026/12/06 07:00:00"});
        QVERIFY(gen.waitForFinished(30000) && gen.exitCode() == 0);
        const QByteArray file = readAll(dir + "/LON.Plmx");

        GatewaySimProcess sim("udp", {"--project", dir, "--protocol", "LON", "--out", home.file("received.plmx")});
        QVERIFY2(sim.started(), qPrintable(sim.log()));
        QVERIFY(iniWrite(ini, "Console", "UDPConsole", "1"));
        QVERIFY(iniWrite(ini, "Console", "Port", QString::number(sim.port())));
        EscribeIniAplicacion("Configuracion", "LastProject", "DemoLON");

        MDIPilmora w;
        QVERIFY(w.Form_Load());
        if (qEnvironmentVariableIsSet("PILMORA_SHOTS_DIR")) w.setGeometry(0, 0, 1100, 640);
        w.show();
        w.activateWindow();  // no window manager under xvfb to do it
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QStringList steps{controls(w)};
        whenModal<fProject>([](fProject* d) { d->cmdSelec->click(); });
        w.mnuAProject_Click();
        // Never anything but loopback: a project naming another gateway stops the test here.
        const QString refused = nonLoopback(dir, app().IPConexion);
        QVERIFY2(refused.isEmpty() && app().ConsolaUDP, qPrintable(refused));
        steps << controls(w);

        QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        QCOMPARE(w.chkOnline->text() + QString::number(w.chkOnline->isChecked()), QStringLiteral("On Line1"));
        steps << controls(w);
        w.Timer1_Timer();  // the first poll now rather than in a second
        QTRY_COMPARE_WITH_TIMEOUT(int(app().EstadoConexion), 2, 5000);
        QCOMPARE(w.cboFichero->currentText(), QStringLiteral("LON.PLMX"));
        steps << controls(w);

        // A typed command goes out on Enter and is offered again below the fixed list.
        w.cboCmd->setFocus();
        w.cboCmd->setEditText(QString());
        QTest::keyClicks(w.cboCmd, "  AD0002?");
        QTest::keyClick(w.cboCmd, Qt::Key_Return);
        QVERIFY(monitorHas(w, "<AD0002?"));
        QCOMPARE(w.cboCmd->itemText(w.cboCmd->count() - 1), QStringLiteral("AD0002?"));
        // The confirmation loaded the signal list; the gateway's values land in it.
        QCOMPARE(listaSenyales().NumSenyales, 10);
        QTRY_VERIFY_WITH_TIMEOUT(listaSenyales().Senyales[listaSenyales().IndiceSenyales.value("AD0002")].HayValor, 5000);
        // The viewer opens from the view menu with one row per signal.
        w.mnuVDatos->trigger();
        QVERIFY(w.visorDatos());
        QCOMPARE(w.visorDatos()->visor.grid.Rows(), 11);
        QCOMPARE(w.cboCmd->count(), ComandosConsola().size() + 2);  // the separator and the command
        shot(&w, "main-window-online.png");
        whenModal<fConfPort>([](fConfPort* d) {
            shot(d, "connection-dialog.png");
            d->cmdSalir->click();
        });
        w.mnuCConexion_Click();

        // Sending: the question shows the file's details; progress is watched to its end.
        int lastValue = -1, maximum = -1;
        connect(w.enlace(), &GatewayLink::transferProgress, &w, [&] {
            lastValue = w.ProgressBar1->value();
            maximum = w.ProgressBar1->maximum();
            if (lastValue == 1) steps << controls(w) + QString::number(w.ProgressBar1->isVisible());
        });
        prompts.clear();
        prompts.queueAnswer(1);
        QTest::mouseClick(w.cmdSendFilePilmora, Qt::LeftButton);
        QVERIFY(prompts.texts().value(0).contains(Texto("Tamanyo") + QString::number(file.size()) + ", Checksum: "));
        QTRY_VERIFY_WITH_TIMEOUT(monitorHas(w, ">" + Texto("TransfEscFicheroOK")), 10000);
        QCOMPARE(maximum, (file.size() + 127) / 128);
        QCOMPARE(lastValue, maximum);
        QCOMPARE(readAll(home.file("received.plmx")), file);

        // Over UDP the gateway restarts: the link is off line and the user is told.
        QCOMPARE(int(app().EstadoConexion), 0);
        QVERIFY(monitorHas(w, ">" + Texto("X132")));
        QCOMPARE(w.chkOnline->text() + QString::number(w.chkOnline->isChecked()), QStringLiteral("Off Line0"));
        steps << controls(w) + QString::number(w.ProgressBar1->isVisible()) + w.cboFichero->currentText();
        // chkOnline, mnuAProject, mnuCConexion, mnuVer, cmdEnviar, cboFichero, cmdSendFilePilmora
        QCOMPARE(steps, (QStringList{"0100000",     // no project
                                     "1110000",     // project open, off line
                                     "1010000",     // waiting for the protocol
                                     "1011111",     // verified
                                     "10110101",    // sending (progress bar shown)
                                     "11100000"}));  // off line again, bar hidden, no file
        QVERIFY(w.close());
    }
};

QTEST_MAIN(TestMainLink)
#include "tst_mainlink.moc"
