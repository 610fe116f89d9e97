// The gateway link against the simulated gateway, for real: UDP on 127.0.0.1
// and a pseudo-terminal through QSerialPort. Every project stores 127.0.0.1;
// a test fails before going on line when a project names anything else.
#include <QUdpSocket>
#include <QtTest>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "DownloadFileCheck.h"
#include "GatewayLink.h"
#include "GatewaySimProcess.h"
#include "LonConfig.h"
#include "LonDownload.h"
#include "LonFixtures.h"
#include "LonProject.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "UdpTransport.h"
#include "mIdioma.h"

namespace {
QByteArray letters(int size) {
    QByteArray b(size, 'a');
    for (int i = 0; i < size; ++i) b[i] = char('a' + i % 26);
    return b;
}

// The largest LON project: 4000 points on 128 devices, firmware with the TCP/IP block.
QByteArray largestLonFile(const QString& folder) {
    if (!writeLonFixture(folder, largeLonFixture(128, 4000, QStringLiteral("B-Extended"), QStringLiteral("V.43.1.x"))))
        return {};
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    if (!loadLonProject(folder, cfg, grid, info)) return {};
    const LonDownload d =
        composeLonDownload(cfg, grid, LonTuning::fromIni(), QDateTime(QDate(2026, 12, 6), QTime(7, 0)));
    return d.outcome == LonDownload::Ready && d.fault.isEmpty() ? d.bytes : QByteArray();
}

struct Session {
    TestHome home{false};
    ScriptedPrompts prompts;
    QString folder;
    QByteArray file;
    GatewayLink link;
    QStringList monitor;
    QList<bool> finished;
    QList<int> values;

    // A LON project with a download file of `size` bytes (0: the largest
    // LON project's real file; -1: the MBS6 demo project's file).
    explicit Session(int size) {
        folder = home.projectsRoot() + QStringLiteral("/Gw");
        QDir().mkpath(folder);
        QString prot = QStringLiteral("LON");
        if (size < 0) {
            prot = QStringLiteral("MBS6");
            copyFolder(QStringLiteral(PILMORA_SOURCE_DIR "/data/demo/DemoMBS6"), folder);
            QProcess gen;
            gen.setStandardOutputFile(QProcess::nullDevice());
            gen.setStandardErrorFile(QProcess::nullDevice());
            gen.start(QStringLiteral(PILMORA_BIN_DIR "/pilmora"),
                      {QStringLiteral("--home"), home.path(), QStringLiteral("generate"), folder});
            gen.waitForFinished(30000);
            file = readAll(folder + QStringLiteral("/MBS6.Plmx"));
        } else if (size == 0) {
            file = largestLonFile(folder);
        } else {
            writeLonFixture(folder, LonFixture());
            file = letters(size);
        }
        if (size >= 0) writeAll(folder + QStringLiteral("/LON.Plmx"), file);
        AppGlobals& g = app();
        g.RutaProyecto = folder;
        g.ProtProyecto = g.NombreIni = prot;
        g.IPConexion = g.IPNueva = QStringLiteral("127.0.0.1");
        QObject::connect(&link, &GatewayLink::monitorText,
                         [this](const QString& t, const QString& p) { monitor << p + t; });
        QObject::connect(&link, &GatewayLink::transferFinished, [this](bool ok) { finished << ok; });
        QObject::connect(&link, &GatewayLink::valueReported, [this](int a, double) { values << a; });
    }

    // On line with the simulator the way the window does it: UDP from the
    // project's settings, serial through "ComDevice" of the application INI.
    bool connectTo(GatewaySimProcess& sim, const QString& settings = QStringLiteral("57600,n,8,1")) {
        const QString guard = nonLoopback(folder, app().IPConexion);
        if (!guard.isEmpty()) qFatal("%s", qPrintable(guard));
        if (!sim.started()) return false;
        if (sim.device().isEmpty()) {
            app().ConsolaUDP = true;
            app().PuertoUDP = sim.port();
        } else {
            app().ConsolaUDP = false;
            EscribeIniAplicacion(QStringLiteral("Configuracion"), QStringLiteral("ComDevice"), sim.device());
            EscribeIniAplicacion(QStringLiteral("Configuracion"), QStringLiteral("Settings"), settings);
            link.loadSerialSettings();
        }
        link.chkOnline_Click(true);
        link.onTick();
        return app().EstadoConexion == 1;
    }
    bool waitState(int s, int ms = 5000) {
        QDeadlineTimer d(ms);
        while (app().EstadoConexion != s && !d.hasExpired()) QTest::qWait(5);
        return app().EstadoConexion == s;
    }
};
}  // namespace

class TstGatewaySim : public QObject {
    Q_OBJECT
private slots:
    void protocol_data();
    void protocol();
    void send_data();
    void send();
    void strangerIgnored();
    void portVanishes();
    void fileCheck_data();
    void fileCheck();
    void cli_data();
    void cli();
};

void TstGatewaySim::protocol_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("state");
    const QString usual = "57600,n,8,1";
    QTest::newRow("udp, other letter case") << "udp" << QStringList{"--protocol", "lon"} << usual << 2;
    QTest::newRow("pty, same protocol") << "pty" << QStringList{"--protocol", "LON"} << usual << 2;
    QTest::newRow("pty, speed without a standard rate") << "pty" << QStringList() << "56000,n,8,1" << 2;
    QTest::newRow("udp, other protocol") << "udp" << QStringList{"--protocol", "MBS6"} << usual << 0;
    QTest::newRow("udp, no dot: still polling") << "udp" << QStringList{"--no-dot"} << usual << 1;
}

void TstGatewaySim::protocol() {
    QFETCH(QString, where);
    QFETCH(QStringList, simArgs);
    QFETCH(QString, settings);
    QFETCH(int, state);
    Session s(1);
    GatewaySimProcess sim(where, simArgs);
    QVERIFY(s.connectTo(sim, settings));
    if (state == 1) QTRY_VERIFY(s.monitor.filter("Protocol:LON").size() == 1);
    QVERIFY(s.waitState(state));
    if (state == 0) {
        QCOMPARE(s.prompts.lastText(),
                 Texto("Incongruencia") + "MBS6 " + Texto("yeldel") + "LON\r" + Texto("SelcorrPro"));
    }
    if (state == 2) {
        QCOMPARE(s.link.Fichero(), simArgs.value(1, "LON") + ".PLMX");
        // Change reports are on: the moving values arrive.
        QTRY_VERIFY_WITH_TIMEOUT(!s.values.isEmpty(), 4000);
    }
}

void TstGatewaySim::send_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<bool>("stalls");  // the link must time out through its tick
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("simLog");  // what the simulator's log says
    const QStringList any{"--no-check"};
    QTest::newRow("udp, 1 byte") << "udp" << 1 << any << false << true << "unchecked file, 1 bytes";
    QTest::newRow("udp, 256 bytes") << "udp" << 256 << any << false << true << "unchecked file, 256 bytes";
    QTest::newRow("pty, 300 bytes") << "pty" << 300 << any << false << true << "unchecked file, 300 bytes";
    QTest::newRow("udp, largest LON project") << "udp" << 0 << QStringList() << false << true << "received LON file";
    QTest::newRow("pty, largest LON project") << "pty" << 0 << QStringList() << false << true << "received LON file";
    QTest::newRow("udp, MBS6 demo project") << "udp" << -1 << QStringList{"--protocol", "MBS6"} << false << true
                                            << "received MBS6 file";
    QTest::newRow("content refused by the gateway") << "udp" << 300 << QStringList() << false << false
                                                    << "CANCEL: checksum";
    QTest::newRow("refused") << "udp" << 300 << QStringList{"--refuse"} << false << false << "SEND~300";
    QTest::newRow("aborted") << "pty" << 3000 << (any + QStringList{"--abort-after", "3"}) << false << false
                             << "abort after chunk 3";
    QTest::newRow("silent") << "udp" << 3000 << (any + QStringList{"--silent-after", "2"}) << true << false
                            << "silent after chunk 2";
    QTest::newRow("wrong count") << "pty" << 3000 << (any + QStringList{"--wrong-count", "2"}) << true << false
                                 << "SEND~3000";
}

void TstGatewaySim::send() {
    QFETCH(QString, where);
    QFETCH(int, size);
    QFETCH(QStringList, simArgs);
    QFETCH(bool, stalls);
    QFETCH(bool, ok);
    QFETCH(QString, simLog);
    Session s(size);
    QVERIFY(!s.file.isEmpty());
    const QString out = s.home.file("received.bin");
    GatewaySimProcess sim(where, simArgs + QStringList{"--out", out});
    QVERIFY(s.connectTo(sim));
    QVERIFY(s.waitState(2));
    s.link.EnviaFichero();
    QCOMPARE(int(app().EstadoConexion), 3);
    if (stalls) {
        // Chunks stop coming back; six supervision ticks end it.
        QTRY_VERIFY(app().EstadoConexion == 4 && s.link.PosFichero() >= 1 + 2 * 128);
        QTest::qWait(100);
        for (int i = 0; i < 5; ++i) s.link.onTick();
        QCOMPARE(int(app().EstadoConexion), 4);
        s.link.onTick();
    }
    QTRY_COMPARE_WITH_TIMEOUT(s.finished.size(), 1, 10000);
    QCOMPARE(s.finished.first(), ok);
    QTRY_VERIFY2(sim.log().contains(simLog), qPrintable(sim.log()));
    if (ok) {
        QCOMPARE(readAll(out), s.file);
        // Over UDP the link goes off line while the gateway restarts.
        QCOMPARE(int(app().EstadoConexion), where == "udp" ? 0 : 2);
    } else {
        QCOMPARE(int(app().EstadoConexion), 2);
    }
}

void TstGatewaySim::strangerIgnored() {
    Session s(3000);
    GatewaySimProcess sim("udp", {"--no-check", "--ack-delay", "20", "--out", s.home.file("received.bin")});
    QVERIFY(s.connectTo(sim));
    QVERIFY(s.waitState(2));
    auto* udp = dynamic_cast<UdpTransport*>(s.link.transport());
    QVERIFY(udp);
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress::LocalHost, 0));
    s.values.clear();
    s.link.EnviaFichero();
    QTRY_COMPARE(int(app().EstadoConexion), 4);
    for (const char* d : {"AD0001=5\r\n", "SUCCES\r\n", "CANCEL\r\n", "Bytes:9999\r\n"})
        stranger.writeDatagram(d, QHostAddress::LocalHost, udp->localPort());
    QTRY_COMPARE_WITH_TIMEOUT(s.finished.size(), 1, 10000);
    QVERIFY(s.finished.first());
    QCOMPARE(readAll(s.home.file("received.bin")), s.file);
    QCOMPARE(udp->droppedDatagrams(), 4);
    QVERIFY(s.values.isEmpty());
}

void TstGatewaySim::portVanishes() {
    Session s(1);
    GatewaySimProcess sim("pty", {});
    QVERIFY(s.connectTo(sim));
    QVERIFY(s.waitState(2));
    sim.kill();
    QVERIFY2(s.waitState(0), qPrintable(s.monitor.join("|")));
    QVERIFY(s.prompts.lastText().startsWith(Texto("PuertoPerdido")));
}

void TstGatewaySim::fileCheck_data() {
    QTest::addColumn<int>("change");  // 0 none, 1 one content byte, 2 one byte more, 3 point count, 4 cut
    QTest::addColumn<QString>("reason");
    QTest::newRow("as generated") << 0 << "";
    QTest::newRow("one byte changed") << 1 << "checksum";
    QTest::newRow("one byte more, checksum fixed") << 2 << "length";
    QTest::newRow("point count off by one, checksum fixed") << 3 << "points for";
    QTest::newRow("cut inside the header, checksum fixed") << 4 << "device count";
}

void TstGatewaySim::fileCheck() {
    QFETCH(int, change);
    QFETCH(QString, reason);
    Session s(0);
    QByteArray f = s.file;
    QVERIFY(f.size() > 40000);
    auto fixSum = [&] {
        quint32 sum = 0;
        for (qsizetype i = 4; i < f.size(); ++i) sum += uchar(f[i]);
        for (int i = 0; i < 4; ++i) f[i] = char(sum >> (8 * i));
    };
    if (change == 1) f[300] = char(f[300] + 1);
    if (change == 2) f.append('\0'), fixSum();
    if (change == 4) f.truncate(195), fixSum();
    if (change == 3) {
        // P sits right before the 7-byte point records at the end (121-byte TCP/IP block last).
        const qsizetype at = f.size() - 121 - 7 * 4000 - 2;
        f[at] = char(f[at] + 1);
        fixSum();
    }
    const DownloadFileCheck c = DownloadFileCheck::of(f);
    QCOMPARE(c.ok, reason.isEmpty());
    QVERIFY2(c.reason.contains(reason), qPrintable(c.reason));
    if (c.ok) QCOMPARE(c.points, 4000);
}

void TstGatewaySim::cli_data() {
    QTest::addColumn<QString>("where");  // "" no simulator
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QStringList>("args");  // after PROJECT_DIR; @ is the simulator's address
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("udp: sent") << "udp" << QStringList{"--no-check"} << QStringList{"--udp", "@"} << 0 << "SUCCES";
    QTest::newRow("refused") << "udp" << QStringList{"--refuse"} << QStringList{"--udp", "@"} << 1 << "CANCEL";
    QTest::newRow("no answer") << "udp" << QStringList{"--silent-after", "0"}
                               << QStringList{"--udp", "@", "--timeout", "2"} << 1 << "SEND~";
    QTest::newRow("both links given") << "" << QStringList() << QStringList{"--udp", "127.0.0.1:1", "--serial", "x"}
                                      << 2 << "--udp / --serial";
}

void TstGatewaySim::cli() {
    QFETCH(QString, where);
    QFETCH(QStringList, simArgs);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    Session s(1);
    std::unique_ptr<GatewaySimProcess> sim;
    if (!where.isEmpty()) {
        sim = std::make_unique<GatewaySimProcess>(where, simArgs);
        QVERIFY(sim->started());
        const QString at = where == "udp" ? "127.0.0.1:" + QString::number(sim->port()) : sim->device();
        args.replaceInStrings(QRegularExpression("^@$"), at);
    }
    const QString guard = nonLoopback(s.folder, where == "udp" ? QStringLiteral("127.0.0.1") : QString());
    if (!guard.isEmpty()) qFatal("%s", qPrintable(guard));
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(PILMORA_BIN_DIR) + "/pilmora",
            QStringList{"--home", s.home.path(), "send", s.folder} + args);
    QVERIFY(p.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(p.readAll());
    QVERIFY2(output.contains(says), qPrintable(output));
    QCOMPARE(p.exitCode(), exitCode);
}

QTEST_MAIN(TstGatewaySim)
#include "tst_gatewaysim.moc"
