// The LON download file: hand-computed bytes for small projects, decoding for
// large ones, the messages a to e, and the fault paths.
#include <QtTest>

#include "AppGlobals.h"
#include "DownloadWriter.h"
#include "LonConfig.h"
#include "LonDownload.h"
#include "LonFixtures.h"
#include "LonGrid.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
using Rows = QVector<QStringList>;
const QDateTime kAt(QDate(2026, 1, 2), QTime(3, 4, 5));

LonDownload compose(const LonConfig& cfg, const Rows& rows, const LonTuning& tuning = LonTuning()) {
    SignalGrid grid;
    lonGrid(cfg, grid, rows);
    return composeLonDownload(cfg, grid, tuning, kAt);
}

QByteArray b(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int v : bytes) out.append(char(v));
    return out;
}

QByteArray expectedHead(int gatewayErrorPoint) {
    QByteArray h = "MEROVANTIX-ASCII-LON-V.1.0 2026/01/02 03:04:05";
    h += QByteArray(62 - h.size(), ' ') + "\r\n" + QByteArray(64, ' ');
    h += le32(600) + b({0, 0}) + le32(1000) + b({0, 1, 0}) + QByteArray(9, ' ');
    h += b({1, 1}) + QByteArray(6, '\0') + b({1, 8}) + le16(3000) + le16(0) + b({3}) + le16(500) + le32(100) +
         le16(4000) + b({0}) + le16(gatewayErrorPoint) + b({0, 0, 0, 0, 3, 0}) + QByteArray(8, '\0');
    return h;
}

QByteArray withChecksum(const QByteArray& content) { return le32(sumaBytes(content)) + content; }

QByteArray slot(int device, int nv, int snvt, int address) {
    return le16(device) + le16(nv) + b({0, 2, 0}) + le16(1) + le16(0) + le16(0) + le16(snvt) + le16(address);
}

QVector<int> column(const QVector<QVector<int>>& records, int field) {
    QVector<int> out;
    for (const auto& r : records) out << r[field];
    return out;
}
}  // namespace

class TstLonDownload : public QObject {
    Q_OBJECT
    TestHome* m_home = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
private slots:
    void init() { m_home = new TestHome, m_prompts = new ScriptedPrompts; }
    void cleanup() { delete m_prompts, delete m_home; }

    void checksumAbc() {
        QByteArray content("abc");
        QCOMPARE(Calcula_Checksum(content), quint32(294));
        QCOMPARE(content, b({0x26, 0x01, 0x00, 0x00, 'a', 'b', 'c'}));
        QCOMPARE(sumaBytes(QByteArray(300, char(0xFF))), quint32(300 * 255));  // bytes are added unsigned
    }

    void smallFiles_data() {
        lonColumns<int, Rows, QByteArray, QVector<int>>("addressing", "rows", "tail", "counts");
        QTest::newRow("one readable row, Neuron-ID 0102")
            << 0 << Rows{lonPointRow(1, 105, 6, "R", 1)}
            << le16(1) + b({1, 2, 0, 0, 0, 0}) + le16(-1) + le16(1) + le16(1) + slot(0, 6, 105, 1) + le16(1) + le16(1) +
                   le16(0) + b({0, 0, 1})
            << QVector<int>{1, 1, 0, 0};
        QTest::newRow("error rows") << 0
                                    << Rows{lonErrorRow(0, 9), lonErrorRow(1, 8), lonErrorRow(2, 7, false),
                                            lonPointRow(2, 105, 0, "R", 2), lonPointRow(1, 105, 0, "R", 1)}
                                    << le16(2) + b({1, 2, 0, 0, 0, 0}) + le16(8) + b({0, 0, 0, 0, 0, 2}) + le16(-1) +
                                           le16(2) + le16(4) + slot(0, 0, 105, 1) + slot(1, 0, 105, 2) +
                                           QByteArray(34, '\0') + le16(4) + le16(1) + le16(0) + b({0, 0, 1}) + le16(2) +
                                           le16(1) + b({0, 0, 1}) + le16(9) + le16(-1) + b({1, 0, 1}) + le16(8) +
                                           le16(-1) + b({1, 0, 1})
                                    << QVector<int>{4, 2, 0, 0};
        QTest::newRow("subnet/node addressing")
            << 1 << Rows{lonPointRow(1, 105, 0, "R", 1), lonPointRow(2, 105, 0, "R", 2)}
            << le16(2) + b({3, 4, 0, 0, 0, 0}) + le16(-1) + b({255, 127, 0, 0, 0, 0}) + le16(-1) + le16(2) + le16(2) +
                   slot(0, 0, 105, 1) + slot(1, 0, 105, 2) + le16(2) + le16(1) + le16(0) + b({0, 0, 1}) + le16(2) +
                   le16(1) + b({0, 0, 1})
            << QVector<int>{2, 2, 0, 0};
    }

    void smallFiles() {
        QFETCH(int, addressing);
        QFETCH(Rows, rows);
        QFETCH(QByteArray, tail);
        QFETCH(QVector<int>, counts);
        LonConfig cfg = lonConfig(2);
        cfg.Dispositivos[0].NId = "0102";
        cfg.Addressing = addressing;
        cfg.Dispositivos[0].Sb = "3";
        cfg.Dispositivos[0].Nd = "4";
        cfg.Dispositivos[1].Sb = "255";
        cfg.Dispositivos[1].Nd = "127";
        if (counts[0] == 1) cfg.Dispositivos.resize(cfg.NDevs = 1);
        const LonDownload d = compose(cfg, rows);
        QCOMPARE(d.outcome, LonDownload::Ready);
        QByteArray head = expectedHead(rows[0][1] == "-2" ? 9 : -1);
        head[177 - 4] = char(addressing);
        QCOMPARE(d.bytes, withChecksum(head + tail));
        QCOMPARE(d.fault, QString());
        QCOMPARE(QVector<int>({d.total, d.readable, d.writes, d.readWrite}), counts);
    }

    void neuronIds_data() {
        lonColumns<QString, QByteArray>("nid", "bytes");
        QTest::newRow("twelve digits") << "04A2c31B01FF" << b({0x04, 0xA2, 0xC3, 0x1B, 0x01, 0xFF});
        QTest::newRow("longer: first twelve") << "0102030405060708" << b({1, 2, 3, 4, 5, 6});
        QTest::newRow("non-hex pairs read by their prefix") << "ZZ1GG0A1x2" << b({0, 1, 0, 0xA1, 0, 0});
    }

    void neuronIds() {
        QFETCH(QString, nid);
        QFETCH(QByteArray, bytes);
        LonConfig cfg = lonConfig(1);
        cfg.Dispositivos[0].NId = nid;
        cfg.Domain = nid;  // the domain is converted the same way
        const LonDownload d = compose(cfg, {lonPointRow(1, 105, 0, "R", 1)});
        QCOMPARE(d.bytes.mid(196, 6), bytes);
        QCOMPARE(d.bytes.mid(156, 6), bytes);
        QCOMPARE(d.fault, QString());
    }

    void slotOrder() {
        LonConfig cfg = lonConfig(3);
        cfg.Dispositivos[2].On = false;
        const LonDownload d = compose(
            cfg, {
                     lonPointRow(2, 105, 0, "R", 1), lonPointRow(1, 105, 1, "R", 2), lonPointRow(1, 95, 2, "W", 3),
                     lonPointRow(2, 95, 3, "RW", 4), lonPointRow(3, 105, 4, "R", 5),  // device not in use
                     lonPointRow(1, 95, 5, "RW", 6, false),                           // inactive
                     lonPointRow(0, 95, 6, "W", 7),                                   // the gateway's own write point
                     lonPointRow(0, 95, 7, "R", 8),                                   // readable on device 0: nowhere
                 });
        const LonFileView f = decodeLonDownload(d.bytes);
        QVERIFY(f.ok);
        QCOMPARE(f.readable, 3);
        QCOMPARE(column(f.points, 0), QVector<int>({2, 1, 4, 3, 7}));
        QCOMPARE(column(f.points, 1), QVector<int>({0, 1, 2, 3, 4}));
        QCOMPARE(column(f.points, 3), QVector<int>({0, 0, 2, 1, 1}));
        QCOMPARE(column(f.variables, 0), QVector<int>({0, 1, 1, 0, -1}));
        QCOMPARE(column(f.variables, 1), QVector<int>({1, 0, 3, 2, 6}));
        QCOMPARE(QVector<int>({d.total, d.readable, d.writes, d.readWrite}), QVector<int>({5, 3, 2, 1}));
    }

    void tcpBlock_data() {
        lonColumns<QString, QString, QString, QByteArray>("ip", "nagle", "keepAlive", "block");
        const QByteArray tail =
            QByteArray("255.0.0.0") + '\0' + QByteArray(6, ' ') + '\0' + QByteArray(15, ' ') + le32(5000);
        const QByteArray end(64, '\0');
        QTest::newRow("12 characters") << "127.0.100.10"
                                       << "0"
                                       << "30"
                                       << QByteArray("127.0.100.10") + '\0' + "   " + tail + b({0}) + le32(30) + end;
        QTest::newRow("15 characters") << "127.100.100.100"
                                       << "1"
                                       << "0" << QByteArray("127.100.100.100") + '\0' + tail + b({1}) + le32(0) + end;
        QTest::newRow("16 characters") << "127.100.100.100x"
                                       << "7"
                                       << "-5" << QByteArray("127.100.100.100x") + tail + b({1}) + le32(0) + end;
        QTest::newRow("longer") << "127.100.100.100xyz"
                                << "abc"
                                << "65535" << QByteArray("127.100.100.100x") + tail + b({0}) + le32(65535) + end;
    }

    void tcpBlock() {
        QFETCH(QString, ip);
        QFETCH(QString, nagle);
        QFETCH(QString, keepAlive);
        QFETCH(QByteArray, block);
        LonConfig cfg = lonConfig(1, "A-Basic", "V.43.1.x");
        cfg.IP = ip;
        cfg.NetMask = "255.0.0.0";
        cfg.Gateway = "";
        cfg.Nagle = nagle;
        cfg.tmoutKeepAlive_sec = keepAlive;
        const LonDownload d = compose(cfg, {lonPointRow(1, 105, 0, "R", 1)});
        QCOMPARE(d.bytes.size(), 234 + 121);
        QCOMPARE(d.bytes.mid(4, 27), QByteArray("MEROVANTIX-ASCII-LON-V.2.0 "));
        QCOMPARE(d.bytes.mid(4 + 46, 16), QByteArray(16, ' '));  // 46 characters, then padding
        QCOMPARE(d.bytes.right(121), block);
    }

    void serialAndLonFields() {
        LonConfig cfg = lonConfig(1);
        cfg.Baudios = 7;
        cfg.Bits = 1;
        cfg.Paridad = 3;
        cfg.Tmout_ms = "-20";
        cfg.SendACK = true;
        cfg.RS_TCP = 1;
        cfg.Subnet = 12;
        cfg.Node = 127;
        cfg.Domain = "A1";
        cfg.LenDomain = "6";
        cfg.TimeoutPoll = "250";
        LonTuning t;
        t.ltaRqRpTimeout = 9;
        t.lnkTimeoutMs = -2;
        t.lnkRetries = 4;
        t.ssResetTimeMs = 600;
        t.resetTimeMs = 5000;
        t.lonRetries = 11;
        t.targetSubnet = 200;
        const LonDownload d = compose(cfg, {lonPointRow(1, 105, 0, "R", 1)}, t);
        const QByteArray expected = le32(57600) + b({1, 3}) + le32(0) + b({1, 1, 1}) + QByteArray(9, ' ') +
                                    b({12, 127, 0xA1, 0, 0, 0, 0, 0, 6, 9}) + le16(-2) + le16(0) + b({4}) + le16(600) +
                                    le32(250) + le16(5000) + b({0}) + le16(-1) + b({0, 0, 0, 0, 11, 200}) +
                                    QByteArray(8, '\0') + le16(1);
        QCOMPARE(d.bytes.mid(132, 196 - 132), expected);
    }

    void tuningFromIni_data() {
        lonColumns<QByteArray, int, int>("ini", "lonRetries", "ltaRqRpTimeout");
        QTest::newRow("missing keys") << QByteArray("[LON]\r\n") << 3 << 8;
        QTest::newRow("lonRetries 20 capped")
            << QByteArray("[LON]\r\nlonRetries=20\r\nltaRqRpTimeout=2\r\n") << 11 << 2;
        QTest::newRow("garbage reads 0") << QByteArray("[LON]\r\nlonRetries=x\r\nltaRqRpTimeout=y\r\n") << 0 << 0;
    }

    void tuningFromIni() {
        QFETCH(QByteArray, ini);
        QFETCH(int, lonRetries);
        QFETCH(int, ltaRqRpTimeout);
        useLonProject(m_home->file("P"), ini);
        const LonDownload d = compose(lonConfig(1), {lonPointRow(1, 105, 0, "R", 1)}, LonTuning::fromIni());
        QCOMPARE(decodeLonDownload(d.bytes).lonRetries, lonRetries);
        QCOMPARE(int(quint8(d.bytes[163])), ltaRqRpTimeout);
    }

    void largeProjects_data() {
        lonColumns<QString, int, int>("version", "devices", "points");
        QTest::newRow("500 on A-Basic") << "A-Basic" << 4 << 500;
        QTest::newRow("501 on A-Basic") << "A-Basic" << 4 << 501;
        QTest::newRow("4000 on B-Extended, 128 devices") << "B-Extended" << 128 << 4000;
        QTest::newRow("4001 on B-Extended") << "B-Extended" << 128 << 4001;
    }

    void largeProjects() {
        QFETCH(QString, version);
        QFETCH(int, devices);
        QFETCH(int, points);
        const LonDownload d = compose(lonConfig(devices, version, "V.43.1.x"),
                                      largeLonFixture(devices, points, version, "V.43.1.x").rows);
        const int max = version.startsWith('A') ? 500 : 4000;
        if (points > max) {
            QCOMPARE(d.outcome, LonDownload::TooManyPoints);
            QCOMPARE(d.message, Texto("DemasiadosPuntos") + QString::number(points) + " Max." + QString::number(max));
            QVERIFY(d.bytes.isEmpty());
            return;
        }
        const LonFileView f = decodeLonDownload(d.bytes);
        QVERIFY(f.ok);
        QCOMPARE(f.checksum, f.sum);
        QCOMPARE(d.bytes.size(), 4 + 190 + 2 + 8 * devices + 4 + 17 * points + 2 + 7 * points + 121);
        QCOMPARE(f.gatewayErrorPoint, 1);
        QCOMPARE(f.deviceErrorPoint.last(), devices + 1);  // the error rows carry addresses 2..devices+1
        QCOMPARE(f.deviceAddress.last(), QByteArray(5, '\0') + char(devices));
        const int nv = points - devices - 1, writeOnly = nv / 10;
        QCOMPARE(QVector<int>({f.readable, d.readable, d.writes}),
                 QVector<int>({nv - writeOnly, nv - writeOnly, writeOnly}));
        for (int k = 1; k < f.readable; ++k)
            QVERIFY(f.variables[k][0] > f.variables[k - 1][0] ||
                    (f.variables[k][0] == f.variables[k - 1][0] && f.variables[k][9] > f.variables[k - 1][9]));
        for (int k = f.readable; k <= f.readable + devices; ++k)
            QCOMPARE(f.points[k].mid(0, 2), QVector<int>({k - f.readable + 1, -1}));
        const QVector<int> addresses = column(f.points, 0);
        QCOMPARE(QSet<int>(addresses.begin(), addresses.end()).size(), points);
    }

    void messages_data() {
        lonColumns<Rows, QVector<bool>, QString>("rows", "inUse", "message");
        const QString a = "@NoSenyalesEntradaDispositivo|%1|@RevisarConfiguracionODesactivarDispositivo";
        QTest::newRow("a: device with only a write row")
            << Rows{lonPointRow(1, 105, 0, "R", 1), lonPointRow(2, 95, 0, "W", 2)} << QVector<bool>{true, true}
            << a.arg(2);
        QTest::newRow("a: device with only its error row")
            << Rows{lonErrorRow(1, 5)} << QVector<bool>{true, false} << a.arg(1);
        QTest::newRow("a: readable row inactive")
            << Rows{lonPointRow(1, 105, 0, "R", 1, false)} << QVector<bool>{true, false} << a.arg(1);
        QTest::newRow("b: nothing in use")
            << Rows{lonPointRow(1, 105, 0, "R", 1)} << QVector<bool>{false, false} << "@NoEncontradoSenyales";
        QTest::newRow("only the gateway's error row") << Rows{lonErrorRow(0, 3)} << QVector<bool>{false, false} << "";
        QTest::newRow("report") << Rows{lonPointRow(1, 105, 0, "RW", 1), lonPointRow(1, 95, 1, "W", 2)}
                                << QVector<bool>{true} << "Devs:1  LON-> Tot:2 R:1 W:1 RW:1@BytesFichero|258";
    }

    void messages() {
        QFETCH(Rows, rows);
        QFETCH(QVector<bool>, inUse);
        QFETCH(QString, message);
        const QString dir = useLonProject(m_home->file("P"));
        writeAll(dir + "/LON.Plmx", "OLD");
        LonConfig cfg = lonConfig(int(inUse.size()));
        for (int i = 0; i < inUse.size(); ++i) cfg.Dispositivos[i].On = inUse[i];
        SignalGrid grid;
        lonGrid(cfg, grid, rows);
        const bool ok = Genera_FicheroDescarga(cfg, grid, kAt);
        QCOMPARE(ok, !message.startsWith('@'));
        QCOMPARE(m_prompts->texts().size(), 1);
        const QString expected = lonText(message);
        const QString path = QDir::toNativeSeparators(dir + "/LON.Plmx");
        const QByteArray file = readAll(path);
        if (!ok) {
            QCOMPARE(m_prompts->lastText(), expected);
            QCOMPARE(file, QByteArray("OLD"));  // left as it was
            return;
        }
        QCOMPARE(file.left(4), le32(sumaBytes(file.mid(4))));
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 1);  // no temporary file left behind
        if (message.isEmpty()) return;
        QCOMPARE(file.size(), 258);
        QCOMPARE(m_prompts->lastText(), expected +
                                            ". Checksum:" + QString::number(sumaBytes(file.mid(4)), 16).toUpper() +
                                            "\r" + Texto("AhoraPuedeEnviaraMerovantixFichero") + "\r" + path);
    }

    void faults_data() {
        QTest::addColumn<QString>("what");
        for (const char* w : {"deviceSubnet", "subnet", "address", "offset", "snvt", "deviceZeroError", "noFolder"})
            QTest::newRow(w) << QString(w);
    }

    void faults() {
        QFETCH(QString, what);
        const QString dir = useLonProject(m_home->file(what == "noFolder" ? "missing/folder" : "P"));
        if (what == "noFolder") QDir(dir).removeRecursively();
        LonConfig cfg = lonConfig(2);
        cfg.Addressing = what == "deviceSubnet";
        cfg.Dispositivos[0].Sb = "300";  // used by subnet/node addressing only
        cfg.Subnet = what == "subnet" ? 300 : 1;
        Rows rows{lonPointRow(1, 105, 0, "R", 1), lonPointRow(2, 105, 0, "R", 2)};
        const QHash<QString, int> cell{{"address", 12}, {"offset", 4}, {"snvt", 1}};
        if (cell.contains(what)) rows[0][cell[what]] = what == "offset" ? "-1" : "40000";
        if (what == "deviceZeroError")
            rows << QStringList{"0", "-1", "", "", "", "", "", "", "", "", "", "x", "9", "R", "1", "1", "1"};
        SignalGrid grid;
        lonGrid(cfg, grid, rows);
        const LonDownload d = composeLonDownload(cfg, grid, LonTuning(), kAt);
        QCOMPARE(d.fault.isEmpty(), what == "noFolder");
        QVERIFY(!Genera_FicheroDescarga(cfg, grid, kAt));
        const QString path = QDir::toNativeSeparators(dir + "/LON.Plmx");
        const QString start = Texto("ErrorAlGenerarFichero") + path + "\rError: \r";
        QCOMPARE(m_prompts->texts().size(), 1);
        QVERIFY2(m_prompts->lastText().startsWith(start + d.fault) && m_prompts->lastText().size() > start.size(),
                 qPrintable(m_prompts->lastText()));
        if (what == "noFolder") {
            QVERIFY(!QFile::exists(path));
            return;
        }
        if (!d.fault.isEmpty()) QCOMPARE(m_prompts->lastText(), start + d.fault);
        QCOMPARE(readAll(path), d.bytes);
        const LonFileView f = decodeLonDownload(d.bytes);
        QVERIFY(f.ok && f.tcp.isEmpty());
        QCOMPARE(f.checksum, f.sum);
    }
};

QTEST_GUILESS_MAIN(TstLonDownload)
#include "tst_londownload.moc"
