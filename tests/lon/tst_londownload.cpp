// The LON download file: hand-computed bytes for small projects, decoding for
// large ones, the messages a to e, and the fault paths.
#include <QDir>
#include <QFile>
#include <QtTest>

#include "AppGlobals.h"
#include "DownloadWriter.h"
#include "LonConfig.h"
#include "LonDownload.h"
#include "LonFixtures.h"
#include "LonGrid.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
const QDateTime kAt(QDate(2026, 1, 2), QTime(3, 4, 5));

// A model of `devices` devices in use (Neuron-ID = the number in hexadecimal), serial
// settings at their defaults.
LonConfig config(int devices, const QString& version = "A-Basic", const QString& fw = "V.3.1.0") {
    LonConfig c;
    c.NDevs = devices;
    c.Dispositivos.resize(devices);
    for (int n = 1; n <= devices; ++n)
        c.Dispositivos[n - 1] = {true, QStringLiteral("%1").arg(n, 12, 16, QLatin1Char('0')), "1", QString::number(n), ""};
    c.GatewayVersion = version;
    c.FwVersion = fw;
    c.IP = "127.0.0.1";
    return c;
}

void buildGrid(const LonConfig& cfg, SignalGrid& grid, const QVector<QStringList>& rows) {
    QVector<InfoColumna> info;
    Carga_CabecerasLon(grid, info, cfg);
    const auto builtIn = CreaFilasInternas(grid, cfg);
    TablaSenyales t;
    t.reset(17);
    for (const QStringList& cells : rows) {
        const int r = t.addRow();
        for (int c = 0; c < cells.size(); ++c) t.setCell(c + 1, r, cells[c]);
    }
    LlenaGridLon(grid, builtIn, t);
}

LonDownload compose(const LonConfig& cfg, const QVector<QStringList>& rows, const LonTuning& tuning = LonTuning()) {
    SignalGrid grid;
    buildGrid(cfg, grid, rows);
    return composeLonDownload(cfg, grid, tuning, kAt);
}

QByteArray b(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int v : bytes) out.append(char(v));
    return out;
}

// Everything up to the device count for the default model and tuning.
QByteArray expectedHead(const QString& marker, int gatewayErrorPoint) {
    QByteArray h = QByteArray("MEROVANTIX-ASCII-LON") + marker.toLatin1() + "2026/01/02 03:04:05";
    h += QByteArray(62 - h.size(), ' ') + "\r\n" + QByteArray(64, ' ');
    h += le32(600) + b({0, 0}) + le32(1000) + b({0, 1, 0}) + QByteArray(9, ' ');
    h += b({1, 1}) + QByteArray(6, '\0') + b({1, 8}) + le16(3000) + le16(0) + b({3}) + le16(500) + le32(100) +
         le16(4000) + b({0}) + le16(gatewayErrorPoint) + b({0, 0, 0, 0, 3, 0}) + QByteArray(8, '\0');
    return h;
}

QByteArray withChecksum(const QByteArray& content) {
    quint32 sum = 0;
    for (char c : content) sum += quint8(c);
    return le32(sum) + content;
}

// ---- Decoding of a whole file.
struct Decoded {
    bool ok = false;
    quint32 checksum = 0, sum = 0;
    QByteArray header;
    int gatewayErrorPoint = 0, lonRetries = 0;
    struct Device {
        QByteArray address;
        int errorPoint;
    };
    struct Variable {
        int device, nvIndex, offset, dataType, filter, a, b, c, snvt, address;
        bool zero;
    };
    struct Point {
        int address, link, ad, direction, spontaneous;
    };
    QVector<Device> devices;
    int readable = 0;
    QVector<Variable> variables;
    QVector<Point> points;
    QByteArray tcp;
};

Decoded decode(const QByteArray& f) {
    Decoded d;
    int p = 0;
    auto u8 = [&] { return p < f.size() ? int(quint8(f[p++])) : (p++, -1); };
    auto i16 = [&] {
        const int lo = u8(), hi = u8();
        return int(qint16(quint16(lo | (hi << 8))));
    };
    auto i32 = [&] {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i) v |= quint32(u8()) << (8 * i);
        return v;
    };
    d.checksum = i32();
    for (int i = 4; i < f.size(); ++i) d.sum += quint8(f[i]);
    d.header = f.mid(4, 62);
    p = 178;
    d.gatewayErrorPoint = i16();
    p = 184;
    d.lonRetries = u8();
    p = 194;
    const int nDev = i16();
    for (int i = 0; i < nDev; ++i) {
        Decoded::Device dev;
        dev.address = f.mid(p, 6);
        p += 6;
        dev.errorPoint = i16();
        d.devices << dev;
    }
    d.readable = i16();
    const int s = i16();
    for (int i = 0; i < s; ++i) {
        const QByteArray raw = f.mid(p, 17);
        Decoded::Variable v;
        v.device = i16();
        v.nvIndex = i16();
        v.offset = u8();
        v.dataType = u8();
        v.filter = u8();
        v.a = i16();
        v.b = i16();
        v.c = i16();
        v.snvt = i16();
        v.address = i16();
        v.zero = raw == QByteArray(17, '\0');
        d.variables << v;
    }
    const int np = i16();
    for (int i = 0; i < np; ++i) {
        Decoded::Point pt;
        pt.address = i16();
        pt.link = i16();
        pt.ad = u8();
        pt.direction = u8();
        pt.spontaneous = u8();
        d.points << pt;
    }
    d.tcp = f.mid(p);
    d.ok = p <= f.size() && np == s;
    return d;
}
}  // namespace

class TstLonDownload : public QObject {
    Q_OBJECT
private slots:
    void checksumAbc();
    void oneReadableRow();
    void errorRows();
    void subnetNodeAddressing();
    void neuronIds_data();
    void neuronIds();
    void slotOrder();
    void tcpBlock_data();
    void tcpBlock();
    void serialAndLonFields();
    void tuningFromIni_data();
    void tuningFromIni();
    void limits_data();
    void limits();
    void largestProject();
    void messages_data();
    void messages();
    void report();
    void faultStillFinishesFile_data();
    void faultStillFinishesFile();
    void cannotCreateFile();
};

void TstLonDownload::checksumAbc() {
    QByteArray content("abc");
    QCOMPARE(Calcula_Checksum(content), quint32(294));
    QCOMPARE(content, b({0x26, 0x01, 0x00, 0x00, 'a', 'b', 'c'}));
    QByteArray high(300, char(0xFF));
    QCOMPARE(sumaBytes(high), quint32(300 * 255));  // bytes are added unsigned
}

void TstLonDownload::oneReadableRow() {
    TestHome home;
    LonConfig cfg = config(1);
    cfg.Dispositivos[0].NId = "0102";
    const LonDownload d = compose(cfg, {lonPointRow(1, 105, 6, "R", 1)});
    QCOMPARE(d.outcome, LonDownload::Ready);
    QByteArray content = expectedHead("-V.1.0 ", -1);
    content += le16(1) + b({1, 2, 0, 0, 0, 0}) + le16(-1);
    content += le16(1) + le16(1);
    content += le16(0) + le16(6) + b({0, 2, 0}) + le16(1) + le16(0) + le16(0) + le16(105) + le16(1);
    content += le16(1) + le16(1) + le16(0) + b({0, 0, 1});
    QCOMPARE(d.bytes.size(), 234);
    QCOMPARE(d.bytes, withChecksum(content));
    QCOMPARE(d.fault, QString());
    QCOMPARE(d.devices, 1);
    QCOMPARE(d.total, 1);
    QCOMPARE(d.readable, 1);
    QCOMPARE(d.writes, 0);
    QCOMPARE(d.readWrite, 0);
}

void TstLonDownload::errorRows() {
    TestHome home;
    const LonConfig cfg = config(2);
    // Device 2's error row is active too, but device 2 contributes a readable row.
    const LonDownload d = compose(cfg, {lonErrorRow(0, 9), lonErrorRow(1, 8), lonErrorRow(2, 7, false),
                                        lonPointRow(2, 105, 0, "R", 2), lonPointRow(1, 105, 0, "R", 1)});
    QCOMPARE(d.outcome, LonDownload::Ready);
    QByteArray content = expectedHead("-V.1.0 ", 9);
    content += le16(2) + b({0, 0, 0, 0, 0, 1}) + le16(8) + b({0, 0, 0, 0, 0, 2}) + le16(-1);
    content += le16(2) + le16(4);
    content += le16(0) + le16(0) + b({0, 2, 0}) + le16(1) + le16(0) + le16(0) + le16(105) + le16(1);  // device 1
    content += le16(1) + le16(0) + b({0, 2, 0}) + le16(1) + le16(0) + le16(0) + le16(105) + le16(2);  // device 2
    content += QByteArray(17, '\0') + QByteArray(17, '\0');  // gateway error, device 1 error
    content += le16(4);
    content += le16(1) + le16(0) + b({0, 0, 1});
    content += le16(2) + le16(1) + b({0, 0, 1});
    content += le16(9) + le16(-1) + b({1, 0, 1});
    content += le16(8) + le16(-1) + b({1, 0, 1});
    QCOMPARE(d.bytes, withChecksum(content));
    QCOMPARE(d.total, 4);
    QCOMPARE(d.readable, 2);
    QCOMPARE(d.writes, 0);  // error rows are not write points
}

void TstLonDownload::subnetNodeAddressing() {
    TestHome home;
    LonConfig cfg = config(2);
    cfg.Addressing = 1;
    cfg.Dispositivos[0].Sb = "3";
    cfg.Dispositivos[0].Nd = "4";
    cfg.Dispositivos[1].Sb = "255";
    cfg.Dispositivos[1].Nd = "127";
    const LonDownload d = compose(cfg, {lonPointRow(1, 105, 0, "R", 1), lonPointRow(2, 105, 0, "R", 2)});
    QCOMPARE(d.bytes.mid(177, 1), b({1}));  // addressing
    QCOMPARE(d.bytes.mid(194, 2), le16(2));
    QCOMPARE(d.bytes.mid(196, 16), b({3, 4, 0, 0, 0, 0, 0xFF, 0xFF, 255, 127, 0, 0, 0, 0, 0xFF, 0xFF}));
    QCOMPARE(d.fault, QString());
}

void TstLonDownload::neuronIds_data() {
    QTest::addColumn<QString>("nid");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("0102") << "0102" << b({1, 2, 0, 0, 0, 0});
    QTest::newRow("twelve digits") << "04A2c31B01FF" << b({0x04, 0xA2, 0xC3, 0x1B, 0x01, 0xFF});
    QTest::newRow("longer: first twelve") << "0102030405060708" << b({1, 2, 3, 4, 5, 6});
    QTest::newRow("empty") << "" << b({0, 0, 0, 0, 0, 0});
    QTest::newRow("odd length") << "123" << b({0x12, 0x30, 0, 0, 0, 0});
    QTest::newRow("non-hex pairs read by their prefix") << "ZZ1GG0A1x2" << b({0, 1, 0, 0xA1, 0, 0});
}

void TstLonDownload::neuronIds() {
    QFETCH(QString, nid);
    QFETCH(QByteArray, bytes);
    TestHome home;
    LonConfig cfg = config(1);
    cfg.Dispositivos[0].NId = nid;
    cfg.Domain = nid;  // the domain is converted the same way
    const LonDownload d = compose(cfg, {lonPointRow(1, 105, 0, "R", 1)});
    QCOMPARE(d.outcome, LonDownload::Ready);
    QCOMPARE(d.bytes.mid(196, 6), bytes);
    QCOMPARE(d.bytes.mid(156, 6), bytes);
    QCOMPARE(d.fault, QString());
}

void TstLonDownload::slotOrder() {
    TestHome home;
    LonConfig cfg = config(3);
    cfg.Dispositivos[2].On = false;
    const LonDownload d = compose(cfg, {
                                           lonPointRow(2, 105, 0, "R", 1),
                                           lonPointRow(1, 105, 1, "R", 2),
                                           lonPointRow(1, 95, 2, "W", 3),
                                           lonPointRow(2, 95, 3, "RW", 4),
                                           lonPointRow(3, 105, 4, "R", 5),        // device not in use
                                           lonPointRow(1, 95, 5, "RW", 6, false),  // inactive
                                           lonPointRow(0, 95, 6, "W", 7),         // the gateway's own write point
                                           lonPointRow(0, 95, 7, "R", 8),         // readable on device 0: nowhere
                                       });
    QCOMPARE(d.outcome, LonDownload::Ready);
    const Decoded f = decode(d.bytes);
    QVERIFY(f.ok);
    QCOMPARE(f.readable, 3);
    QVector<int> order;
    for (const auto& p : f.points) order << p.address;
    QCOMPARE(order, QVector<int>({2, 1, 4, 3, 7}));
    QVector<int> deviceIndex;
    for (const auto& v : f.variables) deviceIndex << v.device;
    QCOMPARE(deviceIndex, QVector<int>({0, 1, 1, 0, -1}));
    QCOMPARE(f.variables[2].nvIndex, 3);
    QVector<int> directions;
    for (const auto& p : f.points) directions << p.direction;
    QCOMPARE(directions, QVector<int>({0, 0, 2, 1, 1}));
    for (int k = 0; k < f.points.size(); ++k) QCOMPARE(f.points[k].link, k);
    QCOMPARE(d.readable, 3);
    QCOMPARE(d.writes, 2);
    QCOMPARE(d.readWrite, 1);
    QCOMPARE(d.total, 5);
}

void TstLonDownload::tcpBlock_data() {
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("nagle");
    QTest::addColumn<QString>("keepAlive");
    QTest::addColumn<QByteArray>("block");
    const QByteArray tail = QByteArray("255.0.0.0") + '\0' + QByteArray(6, ' ') + '\0' + QByteArray(15, ' ') + le32(5000);
    QTest::newRow("12 characters") << "127.0.100.10" << "0" << "30"
                                   << QByteArray("127.0.100.10") + '\0' + "   " + tail + b({0}) + le32(30) +
                                          QByteArray(64, '\0');
    QTest::newRow("15 characters") << "127.100.100.100" << "1" << "0"
                                   << QByteArray("127.100.100.100") + '\0' + tail + b({1}) + le32(0) +
                                          QByteArray(64, '\0');
    QTest::newRow("16 characters") << "127.100.100.100x" << "7" << "-5"
                                   << QByteArray("127.100.100.100x") + tail + b({1}) + le32(0) + QByteArray(64, '\0');
    QTest::newRow("longer") << "127.100.100.100xyz" << "abc" << "65535"
                            << QByteArray("127.100.100.100x") + tail + b({0}) + le32(65535) + QByteArray(64, '\0');
}

void TstLonDownload::tcpBlock() {
    QFETCH(QString, ip);
    QFETCH(QString, nagle);
    QFETCH(QString, keepAlive);
    QFETCH(QByteArray, block);
    TestHome home;
    LonConfig cfg = config(1, "A-Basic", "V.43.1.x");
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
    QCOMPARE(d.fault, QString());
}

void TstLonDownload::serialAndLonFields() {
    TestHome home;
    LonConfig cfg = config(1);
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

void TstLonDownload::tuningFromIni_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("lonRetries");
    QTest::addColumn<int>("ltaRqRpTimeout");
    QTest::newRow("missing keys") << QByteArray("[LON]\r\n") << 3 << 8;
    QTest::newRow("lonRetries 20 capped") << QByteArray("[LON]\r\nlonRetries=20\r\nltaRqRpTimeout=2\r\n") << 11 << 2;
    QTest::newRow("lonRetries 11 kept") << QByteArray("[LON]\r\nlonRetries=11\r\n") << 11 << 8;
    QTest::newRow("garbage reads 0") << QByteArray("[LON]\r\nlonRetries=x\r\nltaRqRpTimeout=y\r\n") << 0 << 0;
}

void TstLonDownload::tuningFromIni() {
    QFETCH(QByteArray, ini);
    QFETCH(int, lonRetries);
    QFETCH(int, ltaRqRpTimeout);
    TestHome home;
    const QString dir = home.file("P");
    QDir().mkpath(dir);
    writeAll(dir + "/LON.ini", ini);
    app().RutaProyecto = dir;
    app().NombreIni = "LON";
    const LonDownload d = compose(config(1), {lonPointRow(1, 105, 0, "R", 1)}, LonTuning::fromIni());
    const Decoded f = decode(d.bytes);
    QCOMPARE(f.lonRetries, lonRetries);
    QCOMPARE(int(quint8(d.bytes[163])), ltaRqRpTimeout);
}

void TstLonDownload::limits_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("devices");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("ready");
    QTest::newRow("500 on A-Basic") << "A-Basic" << 4 << 500 << true;
    QTest::newRow("501 on A-Basic") << "A-Basic" << 4 << 501 << false;
    QTest::newRow("4000 on B-Extended") << "B-Extended" << 128 << 4000 << true;
    QTest::newRow("4001 on B-Extended") << "B-Extended" << 128 << 4001 << false;
}

void TstLonDownload::limits() {
    QFETCH(QString, version);
    QFETCH(int, devices);
    QFETCH(int, points);
    QFETCH(bool, ready);
    TestHome home;
    const LonFixture fx = largeLonFixture(devices, points, version, "V.43.1.x");
    const LonDownload d = compose(config(devices, version, "V.43.1.x"), fx.rows);
    if (!ready) {
        QCOMPARE(d.outcome, LonDownload::TooManyPoints);
        const int max = version.startsWith('A') ? 500 : 4000;
        QCOMPARE(d.message, Texto("DemasiadosPuntos") + QString::number(points) + " Max." + QString::number(max));
        QVERIFY(d.bytes.isEmpty());
        return;
    }
    QCOMPARE(d.outcome, LonDownload::Ready);
    const Decoded f = decode(d.bytes);
    QVERIFY(f.ok);
    QCOMPARE(f.checksum, f.sum);
    QCOMPARE(f.points.size(), points);
    QCOMPARE(d.bytes.size(), 4 + 190 + 2 + 8 * devices + 4 + 17 * points + 2 + 7 * points + 121);
}

void TstLonDownload::largestProject() {
    TestHome home;
    const LonFixture fx = largeLonFixture(128, 4000, "B-Extended", "V.43.1.x");
    LonConfig cfg = config(128, "B-Extended", "V.43.1.x");
    const LonDownload d = compose(cfg, fx.rows);
    QCOMPARE(d.outcome, LonDownload::Ready);
    const Decoded f = decode(d.bytes);
    QVERIFY(f.ok);
    QCOMPARE(f.checksum, f.sum);
    QCOMPARE(f.checksum, d.checksum);
    QVERIFY(f.header.startsWith("MEROVANTIX-ASCII-LON-V.2.0 2026/01/02 03:04:05"));
    QCOMPARE(f.devices.size(), 128);
    QCOMPARE(f.gatewayErrorPoint, 1);
    for (int n = 1; n <= 128; ++n) {
        QCOMPARE(f.devices[n - 1].errorPoint, n + 1);  // the error rows carry addresses 2..129
        QCOMPARE(int(quint8(f.devices[n - 1].address[5])), n);
    }
    // 3871 NV rows: 9 in 10 readable ("W" every 10th).
    int nv = 4000 - 129, writeOnly = 0;
    for (int k = 0; k < nv; ++k) writeOnly += k % 10 == 9;
    QCOMPARE(f.readable, nv - writeOnly);
    QCOMPARE(d.readable, nv - writeOnly);
    QCOMPARE(d.writes, writeOnly);
    QCOMPARE(f.variables.size(), 4000);
    // Readable slots come device by device; within a device in grid order.
    int lastDevice = 0, lastAddress = 0;
    for (int k = 0; k < f.readable; ++k) {
        const auto& v = f.variables[k];
        QVERIFY(!v.zero);
        QVERIFY(v.device >= lastDevice);
        if (v.device == lastDevice) QVERIFY(v.address > lastAddress);
        lastDevice = v.device;
        lastAddress = v.address;
        QCOMPARE(f.points[k].link, k);
        QCOMPARE(f.points[k].address, v.address);
        QCOMPARE(v.dataType, 2);
        QCOMPARE(v.snvt, 105);
    }
    // Then the gateway and device error rows (zero slots), then the write points.
    for (int k = f.readable; k < f.readable + 129; ++k) {
        QVERIFY(f.variables[k].zero);
        QCOMPARE(f.points[k].link, -1);
        QCOMPARE(f.points[k].address, k - f.readable + 1);
    }
    QSet<int> addresses;
    for (const auto& p : f.points) addresses.insert(p.address);
    QCOMPARE(addresses.size(), 4000);
    QCOMPARE(f.tcp.size(), 121);
    QCOMPARE(f.tcp.left(10), QByteArray("127.0.0.1") + '\0');
}

void TstLonDownload::messages_data() {
    QTest::addColumn<QVector<QStringList>>("rows");
    QTest::addColumn<QVector<bool>>("inUse");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("a: device with only a write row")
        << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 1), lonPointRow(2, 95, 0, "W", 2)}
        << QVector<bool>{true, true} << int(LonDownload::NoDeviceInputs) << "@NoSenyalesEntradaDispositivo|2|@RevisarConfiguracionODesactivarDispositivo";
    QTest::newRow("a: device with only its error row")
        << QVector<QStringList>{lonErrorRow(1, 5)} << QVector<bool>{true, false} << int(LonDownload::NoDeviceInputs)
        << "@NoSenyalesEntradaDispositivo|1|@RevisarConfiguracionODesactivarDispositivo";
    QTest::newRow("a: readable row inactive")
        << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 1, false)} << QVector<bool>{true, false}
        << int(LonDownload::NoDeviceInputs) << "@NoSenyalesEntradaDispositivo|1|@RevisarConfiguracionODesactivarDispositivo";
    QTest::newRow("b: nothing in use") << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 1)}
                                       << QVector<bool>{false, false} << int(LonDownload::NoSignals)
                                       << "@NoEncontradoSenyales";
    QTest::newRow("only the gateway's error row")
        << QVector<QStringList>{lonErrorRow(0, 3)} << QVector<bool>{false, false} << int(LonDownload::Ready) << "";
}

void TstLonDownload::messages() {
    QFETCH(QVector<QStringList>, rows);
    QFETCH(QVector<bool>, inUse);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    TestHome home;
    ScriptedPrompts prompts;
    const QString dir = home.file("P");
    QDir().mkpath(dir);
    app().RutaProyecto = dir;
    app().NombreIni = "LON";
    writeAll(dir + "/LON.Plmx", "OLD");
    LonConfig cfg = config(2);
    for (int i = 0; i < inUse.size(); ++i) cfg.Dispositivos[i].On = inUse[i];
    SignalGrid grid;
    buildGrid(cfg, grid, rows);
    const bool ok = Genera_FicheroDescarga(cfg, grid, kAt);
    QCOMPARE(ok, outcome == LonDownload::Ready);
    QCOMPARE(prompts.texts().size(), 1);
    if (ok) {
        QVERIFY(readAll(dir + "/LON.Plmx").size() > 3);
        return;
    }
    QString expected;
    for (const QString& piece : message.split('|')) expected += piece.startsWith('@') ? Texto(piece.mid(1)) : piece;
    QCOMPARE(prompts.lastText(), expected);
    QCOMPARE(readAll(dir + "/LON.Plmx"), QByteArray("OLD"));  // left as it was
}

void TstLonDownload::report() {
    TestHome home;
    ScriptedPrompts prompts;
    const QString dir = home.file("P");
    QDir().mkpath(dir);
    app().RutaProyecto = dir;
    app().NombreIni = "LON";
    LonConfig cfg = config(1);
    SignalGrid grid;
    buildGrid(cfg, grid, {lonPointRow(1, 105, 0, "RW", 1), lonPointRow(1, 95, 1, "W", 2)});
    QVERIFY(Genera_FicheroDescarga(cfg, grid, kAt));
    const QString path = QDir::toNativeSeparators(dir + "/LON.Plmx");
    const QByteArray file = readAll(path);
    QCOMPARE(file.size(), 234 + 24);
    quint32 sum = 0;
    for (int i = 4; i < file.size(); ++i) sum += quint8(file[i]);
    QCOMPARE(file.left(4), le32(sum));
    const QString expected = "Devs:1  LON-> Tot:2 R:1 W:1 RW:1" + Texto("BytesFichero") + "258. Checksum:" +
                             QString::number(sum, 16).toUpper() + "\r" + Texto("AhoraPuedeEnviaraMerovantixFichero") +
                             "\r" + path;
    QCOMPARE(prompts.texts(), QStringList{expected});
    QVERIFY(QDir(dir).entryList(QDir::Files).size() == 1);  // no temporary file left behind
}

void TstLonDownload::faultStillFinishesFile_data() {
    QTest::addColumn<QString>("what");
    QTest::newRow("device subnet above 255") << "deviceSubnet";
    QTest::newRow("gateway subnet above 255") << "subnet";
    QTest::newRow("address beyond 16 bits") << "address";
    QTest::newRow("negative offset") << "offset";
    QTest::newRow("SNVT beyond 16 bits") << "snvt";
    QTest::newRow("error row of the gateway as a device") << "deviceZeroError";
}

void TstLonDownload::faultStillFinishesFile() {
    QFETCH(QString, what);
    TestHome home;
    ScriptedPrompts prompts;
    const QString dir = home.file("P");
    QDir().mkpath(dir);
    app().RutaProyecto = dir;
    app().NombreIni = "LON";
    LonConfig cfg = config(2);
    QStringList row = lonPointRow(1, 105, 0, "R", 1);
    QVector<QStringList> rows{row, lonPointRow(2, 105, 0, "R", 2)};
    if (what == "deviceSubnet") {
        cfg.Addressing = 1;
        cfg.Dispositivos[0].Sb = "300";
    }
    if (what == "subnet") cfg.Subnet = 300;
    if (what == "address") rows[0][12] = "40000";
    if (what == "offset") rows[0][4] = "-1";
    if (what == "snvt") rows[0][1] = "40000";
    if (what == "deviceZeroError") rows << QStringList{"0", "-1", "", "", "", "", "", "", "", "", "", "x", "9", "R",
                                                       "1", "1", "1"};
    SignalGrid grid;
    buildGrid(cfg, grid, rows);
    const LonDownload d = composeLonDownload(cfg, grid, LonTuning(), kAt);
    QVERIFY(!d.fault.isEmpty());
    QVERIFY(!Genera_FicheroDescarga(cfg, grid, kAt));
    const QString path = QDir::toNativeSeparators(dir + "/LON.Plmx");
    QCOMPARE(prompts.texts(), QStringList{Texto("ErrorAlGenerarFichero") + path + "\rError: \r" + d.fault});
    // The whole file is still there, same layout, checksum in front.
    const QByteArray file = readAll(path);
    QCOMPARE(file, d.bytes);
    const Decoded f = decode(file);
    QVERIFY(f.ok);
    QCOMPARE(f.checksum, f.sum);
    QCOMPARE(f.tcp.size(), 0);
}

void TstLonDownload::cannotCreateFile() {
    TestHome home;
    ScriptedPrompts prompts;
    const QString dir = home.file("missing/folder");
    app().RutaProyecto = dir;
    app().NombreIni = "LON";
    LonConfig cfg = config(1);
    SignalGrid grid;
    buildGrid(cfg, grid, {lonPointRow(1, 105, 0, "R", 1)});
    QVERIFY(!Genera_FicheroDescarga(cfg, grid, kAt));
    const QString path = QDir::toNativeSeparators(dir + "/LON.Plmx");
    QCOMPARE(prompts.texts().size(), 1);
    QVERIFY(prompts.lastText().startsWith(Texto("ErrorAlGenerarFichero") + path + "\rError: \r"));
    QVERIFY(prompts.lastText().size() > (Texto("ErrorAlGenerarFichero") + path + "\rError: \r").size());
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TstLonDownload)
#include "tst_londownload.moc"
