// The main window as the gateway's console: which controls the link state
// allows, the remembered commands, and a whole session against the simulated
// gateway on loopback.
#include <QtTest>

#include <QComboBox>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>

#include "AppGlobals.h"
#include "CommandHistory.h"
#include "GatewayLink.h"
#include "LinkControls.h"
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

// The simulated gateway on a free loopback UDP port, storing what it receives.
struct Simulator {
    Simulator(const QString& project, const QString& received) {
        proc.start(kBin + "/pilmora-gateway-sim",
                   {"--udp", "127.0.0.1:0", "--project", project, "--protocol", "LON", "--out", received});
        if (proc.waitForReadyRead(10000)) {
            const QString line = QString::fromLatin1(proc.readLine()).trimmed();  // "udp 127.0.0.1:PORT"
            if (line.startsWith("udp 127.0.0.1:")) port = line.section(':', 1).toInt();
        }
    }
    ~Simulator() {
        proc.kill();
        proc.waitForFinished(5000);
    }
    QProcess proc;
    int port = 0;
};

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

    void enablingRules_data() {
        QTest::addColumn<bool>("project");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("online");
        // chkOnline, mnuAProject, mnuCConexion, mnuVer, cmdEnviar, cboFichero, cmdSendFilePilmora
        QTest::addColumn<QString>("enabled");
        QTest::newRow("no project") << false << 0 << false << "0100000";
        QTest::newRow("project, off line") << true << 0 << false << "1110000";
        QTest::newRow("waiting for the protocol") << true << 1 << true << "1010000";
        QTest::newRow("verified") << true << 2 << true << "1011111";
        QTest::newRow("file announced") << true << 3 << true << "1011010";
        QTest::newRow("sending") << true << 4 << true << "1011010";
        QTest::newRow("restarting after a download") << true << 5 << false << "1110000";
    }
    void enablingRules() {
        QFETCH(bool, project);
        QFETCH(int, state);
        QFETCH(bool, online);
        QFETCH(QString, enabled);
        const LinkControls c = LinkControls::para(project, state, online);
        QString got;
        for (bool b : {c.chkOnline, c.mnuAProject, c.mnuCConexion, c.mnuVer, c.cmdEnviar, c.cboFichero,
                       c.cmdSendFilePilmora})
            got += b ? '1' : '0';
        QCOMPARE(got, enabled);
    }

    void commandHistory_data() {
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("remembered");
        QTest::newRow("typed command") << QStringList{"AD0005?"} << QStringList{"AD0005?"};
        QTest::newRow("fixed and blank ones are not") << QStringList{"INFO?", "   ", ""} << QStringList{};
        QTest::newRow("edited pattern is") << QStringList{"TIME=2026/12/06 12:00:00"}
                                           << QStringList{"TIME=2026/12/06 12:00:00"};
        QTest::newRow("trimmed, a repeat moves up") << QStringList{" A ", "B", "A"} << QStringList{"A", "B"};
        QStringList many, last20;
        for (int i = 1; i <= 25; ++i) many << QString("AD%1=1").arg(i, 4, 10, QChar('0'));
        for (int i = 25; i > 5; --i) last20 << QString("AD%1=1").arg(i, 4, 10, QChar('0'));
        QTest::newRow("newest 20 kept") << many << last20;
    }
    void commandHistory() {
        QFETCH(QStringList, sent);
        QFETCH(QStringList, remembered);
        TestHome home;
        CommandHistory h;
        h.load();
        for (const QString& c : sent) h.remember(c);
        QCOMPARE(h.recent(), remembered);
        CommandHistory again;  // what the next start reads
        again.load();
        QCOMPARE(again.recent(), remembered);
    }

    // A whole session over UDP on loopback: on line, the protocol confirmed, a
    // typed command, the demo file sent with the confirmation answered, the
    // progress to its end and the link off line while the gateway restarts.
    void sessionWithSimulatedGateway() {
        if (!QFileInfo::exists(kBin + "/pilmora-gateway-sim")) QSKIP("pilmora-gateway-sim is not built");
        TestHome home;
        ScriptedPrompts prompts;
        const QString dir = home.projectsRoot() + "/DemoLON";
        QVERIFY(copyFolder(QStringLiteral(PILMORA_SOURCE_DIR) + "/data/demo/DemoLON", dir));
        // Never anything but loopback: a project naming another gateway stops the test here.
        const QString ini = dir + "/LON.ini";
        QCOMPARE(iniRead(ini, "ASCII", "IP", ""), QStringLiteral("127.0.0.1"));
        QProcess gen;
        gen.start(kBin + "/pilmora", {"generate", dir, "--at", "2026/12/06 07:00:00"});
        QVERIFY(gen.waitForFinished(30000) && gen.exitCode() == 0);
        const QByteArray file = readAll(dir + "/LON.Plmx");
        QVERIFY(file.size() > 128);

        Simulator sim(dir, home.file("received.plmx"));
        QVERIFY2(sim.port > 0, sim.proc.readAllStandardError().constData());
        QVERIFY(iniWrite(ini, "Console", "UDPConsole", "1"));
        QVERIFY(iniWrite(ini, "Console", "Port", QString::number(sim.port)));
        EscribeIniAplicacion("Configuracion", "LastProject", "DemoLON");

        MDIPilmora w;
        QVERIFY(w.Form_Load());
        if (qEnvironmentVariableIsSet("PILMORA_SHOTS_DIR")) w.setGeometry(0, 0, 1100, 640);
        w.show();
        w.activateWindow();  // no window manager under xvfb to do it
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(controls(w), QStringLiteral("0100000"));
        whenModal<fProject>([](fProject* d) { d->cmdSelec->click(); });
        w.mnuAProject_Click();
        QVERIFY2(app().ConsolaUDP && app().IPConexion == "127.0.0.1", qPrintable(app().IPConexion));
        QCOMPARE(controls(w), QStringLiteral("1110000"));

        QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        QCOMPARE(w.chkOnline->text() + QString::number(w.chkOnline->isChecked()), QStringLiteral("On Line1"));
        QCOMPARE(controls(w), QStringLiteral("1010000"));
        w.Timer1_Timer();  // the first poll now rather than in a second
        QTRY_COMPARE_WITH_TIMEOUT(int(app().EstadoConexion), 2, 5000);
        QCOMPARE(w.cboFichero->currentText(), QStringLiteral("LON.PLMX"));
        QCOMPARE(controls(w), QStringLiteral("1011111"));

        // A typed command goes out on Enter and is offered again below the fixed list.
        w.cboCmd->setFocus();
        w.cboCmd->setEditText(QString());
        QTest::keyClicks(w.cboCmd, "  AD0002?");
        QTest::keyClick(w.cboCmd, Qt::Key_Return);
        QVERIFY(monitorHas(w, "<AD0002?"));
        QCOMPARE(w.cboCmd->itemText(w.cboCmd->count() - 1), QStringLiteral("AD0002?"));
        QCOMPARE(w.cboCmd->count(), ComandosConsola().size() + 2);  // the separator and the command
        shot(&w, "main-window-online.png");
        whenModal<fConfPort>([](fConfPort* d) {
            shot(d, "connection-dialog.png");
            d->cmdSalir->click();
        });
        w.mnuCConexion_Click();

        // Sending: the question shows the file's details; progress is watched to its end.
        int lastValue = -1, maximum = -1;
        QString whileSending;
        connect(w.enlace(), &GatewayLink::transferProgress, &w, [&] {
            lastValue = w.ProgressBar1->value();
            maximum = w.ProgressBar1->maximum();
            if (whileSending.isEmpty()) whileSending = controls(w) + QString::number(w.ProgressBar1->isVisible());
        });
        prompts.clear();
        prompts.queueAnswer(1);
        QTest::mouseClick(w.cmdSendFilePilmora, Qt::LeftButton);
        QVERIFY(prompts.texts().value(0).startsWith(Texto("SeguroEnviarFichero")));
        QVERIFY(prompts.texts().value(0).contains(QString::number(file.size()) + " bytes"));
        QTRY_VERIFY_WITH_TIMEOUT(monitorHas(w, ">" + Texto("TransfEscFicheroOK")), 10000);
        QCOMPARE(whileSending, QStringLiteral("10110101"));
        QCOMPARE(maximum, (file.size() + 127) / 128);
        QCOMPARE(lastValue, maximum);
        QCOMPARE(readAll(home.file("received.plmx")), file);

        // Over UDP the gateway restarts: the link is off line and the user is told.
        QCOMPARE(int(app().EstadoConexion), 0);
        QVERIFY(monitorHas(w, ">" + Texto("X132")));
        QCOMPARE(w.chkOnline->text() + QString::number(w.chkOnline->isChecked()), QStringLiteral("Off Line0"));
        QCOMPARE(controls(w) + QString::number(w.ProgressBar1->isVisible()) + w.cboFichero->currentText(),
                 QStringLiteral("11100000"));
        QVERIFY(w.close());
    }
};

QTEST_MAIN(TestMainLink)
#include "tst_mainlink.moc"
