// The monitor signal list loaded from real project files, the values the link
// stores into it, and `pilmora poll` against the simulated gateway on loopback.
#include <QtTest>

#include "AppGlobals.h"
#include "GatewaySimProcess.h"
#include "LonFixtures.h"
#include "Mbs6Fixtures.h"
#include "SenyalesMonitor.h"
#include "TestSupport.h"
#include "VisorSenyales.h"
#include "mIdioma.h"

namespace {
// Each record as "device/address/direction", then the index as "key=record".
QStringList listed() {
    const ListaSenyales& l = listaSenyales();
    QStringList out;
    for (int i = 1; i <= l.NumSenyales; ++i)
        out << QStringLiteral("%1/%2/%3").arg(l.Senyales[i].Disp).arg(l.Senyales[i].Direccion).arg(l.Senyales[i].Sentido);
    QStringList keys;
    for (auto it = l.IndiceSenyales.begin(); it != l.IndiceSenyales.end(); ++it)
        keys << it.key() + QLatin1Char('=') + QString::number(it.value());
    keys.sort();
    return out + keys;
}

// A LON project with devices 1.. on or off, made the current one.
bool useLon(const QString& folder, const QList<bool>& devices, const QVector<QStringList>& rows) {
    LonFixture f;
    for (bool on : devices) {
        LonFixtureDevice d;
        d.on = on;
        d.nid = QStringLiteral("04A2C31B%1").arg(f.devices.size() + 1, 4, 10, QLatin1Char('0'));
        f.devices << d;
    }
    f.rows = rows;
    app().RutaProyecto = folder;
    return writeLonFixture(folder, f);
}

QStringList direction(QStringList row, const QString& d) {
    row[13] = d;
    return row;
}
}  // namespace

class TstMonitorList : public QObject {
    Q_OBJECT
private slots:
    void lon_data();
    void lon();
    void mbs6AfterLon();
    void values();
    void writeFrame_data();
    void writeFrame();
    void viewerPolling();
    void viewerEmpty();
    void poll_data();
    void poll();
};

void TstMonitorList::lon_data() {
    QTest::addColumn<QList<bool>>("devices");  // devices 1.. on or off
    QTest::addColumn<QVector<QStringList>>("rows");
    QTest::addColumn<QStringList>("expected");
    const QVector<QStringList> mixed{lonErrorRow(0, 100), lonPointRow(1, 105, 0, "R", 7), lonPointRow(2, 105, 1, "W", 8),
                                     lonPointRow(1, 105, 2, "RW", 9, false)};
    QTest::newRow("device 2 off, inactive row out, device 0 in")
        << QList<bool>{true, false} << mixed << QStringList{"0/100/0", "1/7/0", "AD0007=2", "AD0100=1"};
    QTest::newRow("no device on: not even device 0") << QList<bool>{false, false} << mixed << QStringList();
    QTest::newRow("repeated address keeps the first")
        << QList<bool>{true} << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 7), lonPointRow(1, 105, 1, "W", 7)}
        << QStringList{"1/7/0", "1/7/1", "AD0007=1"};
    const QStringList p = lonPointRow(1, 105, 0, "R", 12345);
    QTest::newRow("directions RW, empty, other; five digits")
        << QList<bool>{true}
        << QVector<QStringList>{direction(p, "RW"), direction(lonPointRow(1, 105, 1, "R", 2), ""),
                                direction(lonPointRow(1, 105, 2, "R", 3), "x"),
                                direction(lonPointRow(1, 105, 3, "R", 4), "W")}
        << QStringList{"1/12345/2", "1/2/2", "1/3/2", "1/4/1", "AD0002=2", "AD0003=3", "AD0004=4", "AD12345=1"};
}

void TstMonitorList::lon() {
    QFETCH(QList<bool>, devices);
    QFETCH(QVector<QStringList>, rows);
    QFETCH(QStringList, expected);
    TestHome home;
    LonFixture f;
    QVERIFY(useLon(home.projectsRoot() + QStringLiteral("/L"), devices, rows));
    Carga_DatosMFAPilmora(QStringLiteral("LON"));
    QCOMPARE(listed(), expected);
    QCOMPARE(listaSenyales().Senyales.size(), listaSenyales().NumSenyales + 1);
}

void TstMonitorList::mbs6AfterLon() {
    TestHome home;
    const QString lon = home.projectsRoot() + QStringLiteral("/L"), mbs6 = home.projectsRoot() + QStringLiteral("/M");
    Mbs6Fixture m;
    m.units = {2};
    m.rows = {mbs6Row(2, 1), mbs6Row(3, 1), mbs6Row(2, 2, false)};
    m.rows[0][5] = QStringLiteral("0-Ana");
    QVERIFY(writeMbs6Fixture(mbs6, m));
    QVERIFY(useLon(lon, {true}, {lonPointRow(1, 105, 0, "RW", 4000)}));
    Carga_DatosMFAPilmora(QStringLiteral("LON"));
    QCOMPARE(listaSenyales().NumSenyales, 1);
    app().RutaProyecto = mbs6;
    Carga_DatosMFAPilmora(QStringLiteral("MBS6"));
    QCOMPARE(listed(), QStringList({"2/201/2", "AD0201=1"}));
    const Senyal& s = listaSenyales().Senyales[1];
    QCOMPARE(s.Descripcion, QStringLiteral("Unit 2 property 1"));
    QCOMPARE(s.Numero, qint16(1));
    QCOMPARE(s.TipoSenyal, qint16(0));
    QCOMPARE(s.Espontaneo, QStringLiteral("1-Spon"));
    QVERIFY(s.NombreSNVT.isEmpty() && s.AccesoNV.isEmpty());
    // Any other protocol: nothing.
    Carga_DatosMFAPilmora(QStringLiteral("BACX"));
    QCOMPARE(listed(), QStringList());
}

void TstMonitorList::values() {
    TestHome home;
    QVERIFY(useLon(home.projectsRoot() + QStringLiteral("/L"), {true},
                   {lonPointRow(1, 105, 0, "R", 7), lonPointRow(1, 105, 1, "R", 8)}));
    Carga_DatosMFAPilmora(QStringLiteral("LON"));
    SenyalesSink sink;
    const Senyal& a = listaSenyales().Senyales[1];
    const Senyal& b = listaSenyales().Senyales[2];
    QVERIFY(!a.HayValor && textoValor(a).isEmpty());
    QVERIFY(!sink.setValue(QStringLiteral("AD0009"), 1));
    QVERIFY(sink.setValue(QStringLiteral("AD0007"), 12.345678));
    QVERIFY(sink.setValue(QStringLiteral("AD0008"), 0));
    QCOMPARE(textoValor(a), QStringLiteral("12.3457"));
    QCOMPARE(textoValor(b), QStringLiteral("0"));
    QVERIFY(a.UltimoInforme.isValid());
    sink.clearAll();
    QVERIFY(!a.HayValor && !b.HayValor);
}

void TstMonitorList::writeFrame_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("sent");  // "" nothing sent
    QTest::newRow("comma accepted, point sent") << 0 << "12,5" << "AD0007=12.50";
    QTest::newRow("no leading zero") << 0 << "0.5" << "AD0007=.50";
    QTest::newRow("negative") << 0 << "-0,25" << "AD0007=-.25";
    QTest::newRow("digital non-zero") << 1 << "3" << "AD0007=1";
    QTest::newRow("digital zero") << 1 << "0" << "AD0007=0";
    QTest::newRow("empty answer") << 0 << "" << "";
    QTest::newRow("other type") << 2 << "1" << "";
}

void TstMonitorList::writeFrame() {
    QFETCH(int, type);
    QFETCH(QString, answer);
    QFETCH(QString, sent);
    TestHome home;
    QVERIFY(useLon(home.projectsRoot() + QStringLiteral("/L"), {true}, {lonPointRow(1, 105, 0, "R", 7)}));
    Carga_DatosMFAPilmora(QStringLiteral("LON"));
    listaSenyales().Senyales[1].TipoSenyal = qint16(type);
    VisorSenyales v;
    QStringList out;
    v.transmite = [&](const QString& t) { out << t; };
    v.Datos_Carga();
    QCOMPARE(v.escribe(1, answer), !sent.isEmpty());
    QCOMPARE(out.join(""), sent);
}

void TstMonitorList::viewerPolling() {
    TestHome home;
    QVERIFY(useLon(home.projectsRoot() + QStringLiteral("/L"), {true},
                   {lonPointRow(1, 105, 0, "R", 9), lonPointRow(1, 105, 1, "R", 7), lonPointRow(1, 105, 2, "R", 8)}));
    Carga_DatosMFAPilmora(QStringLiteral("LON"));
    app().ProtEquipo = QStringLiteral("LON");
    app().EstadoConexion = 2;
    VisorSenyales v;
    QStringList out;
    v.transmite = [&](const QString& t) { out << t; };
    v.Datos_Carga();
    const QString idle = v.captionRefrescar();
    // "Stop" half-way leaves the rest unasked; the next start begins again.
    v.cmdRefrescar();
    QCOMPARE(v.captionRefrescar(), QStringLiteral("Stop"));
    v.tick();
    v.cmdRefrescar();
    v.tick();
    QCOMPARE(out, QStringList{"AD0009?"});
    v.cmdRefrescar();
    for (int i = 0; i < 4; ++i) v.tick();
    QCOMPARE(out, QStringList({"AD0009?", "AD0009?", "AD0007?", "AD0008?"}));
    QCOMPARE(v.captionRefrescar(), idle);
    // Off line: nothing starts.
    app().EstadoConexion = 1;
    v.cmdRefrescar();
    QVERIFY(!v.sondeando());
}

void TstMonitorList::viewerEmpty() {
    TestHome home;
    Carga_DatosMFAPilmora(QStringLiteral("BACX"));
    app().ProtEquipo = QStringLiteral("BACX");  // not LON: the MBS6 set
    VisorSenyales v;
    v.Datos_Carga();
    QCOMPARE(v.colTipoSenyal, 7);
    QCOMPARE(v.colValor, 8);
    const QStringList lines = v.textoCopia().split("\r\n");
    QCOMPARE(lines.size(), 3);  // captions, the one empty row, and after the last CR LF
    QVERIFY(lines[0].startsWith(Texto("Noo") + "\t" + Texto("Disp") + "\t"));
    QCOMPARE(lines[1], QString(v.grid.Cols(), QLatin1Char('\t')));
}

void TstMonitorList::poll_data() {
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("simDropsPoint");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("says");  // patterns
    // A slow simulator step: every value in the table came from an answer.
    const QStringList slow{"--tick", "60000"};
    QTest::newRow("every signal once") << slow << QStringList() << false << 0
                                       << QStringList{"Signals to ask for: 10", "AD0101 +Communication error +0\\n"};
    QTest::newRow("point the gateway lacks") << slow << QStringList() << true << 0
                                             << QStringList{"AD0102 .*\\(no value\\)", "without an answer: 1\\n"};
    QTest::newRow("watch") << QStringList() << QStringList{"--watch", "2"} << false << 0 << QStringList{"\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  AD0001 +Boiler flow temperature"};
    QTest::newRow("bad watch") << QStringList() << QStringList{"--watch", "x"} << false << 2 << QStringList{"--watch x"};
}

void TstMonitorList::poll() {
    QFETCH(QStringList, simArgs);
    QFETCH(QStringList, args);
    QFETCH(bool, simDropsPoint);
    QFETCH(int, exitCode);
    QFETCH(QStringList, says);
    TestHome home;
    const QString folder = home.projectsRoot() + QStringLiteral("/DemoLON");
    QVERIFY(copyFolder(QStringLiteral(PILMORA_SOURCE_DIR "/data/demo/DemoLON"), folder));
    QString served = folder;
    if (simDropsPoint) {
        // The gateway serves the project without device 2's error point.
        served = home.projectsRoot() + QStringLiteral("/Served");
        QVERIFY(copyFolder(folder, served));
        QByteArray dat = readAll(served + QStringLiteral("/LON.dat"));
        dat.replace("\t102\tR\t1-Digital\t1-Spon\t1-Yes", "\t102\tR\t1-Digital\t1-Spon\t0-No");
        QVERIFY(writeAll(served + QStringLiteral("/LON.dat"), dat));
    }
    GatewaySimProcess sim(QStringLiteral("udp"), QStringList{QStringLiteral("--project"), served} + simArgs);
    QVERIFY(sim.started());
    const QString guard = nonLoopback(folder, QStringLiteral("127.0.0.1"));
    if (!guard.isEmpty()) qFatal("%s", qPrintable(guard));
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(PILMORA_BIN_DIR "/pilmora"),
            QStringList{"--home", home.path(), "poll", folder, "--udp", "127.0.0.1:" + QString::number(sim.port())} +
                args);
    QVERIFY(p.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(p.readAll());
    QCOMPARE(output.contains("without an answer"), says.join("").contains("without an answer"));
    for (const QString& s : says) QVERIFY2(QRegularExpression(s).match(output).hasMatch(), qPrintable(output));
    QCOMPARE(p.exitCode(), exitCode);
}

QTEST_MAIN(TstMonitorList)
#include "tst_monitorlist.moc"
