// The LON model: loading from LON.ini (defaults, encodings, the device-count
// cut, garbage), saving (order and encodings), round trips, version limits and
// the firmware rule, and the devices dialog.
#include <QDir>
#include <QtTest>

#include "AppGlobals.h"
#include "LonConfig.h"
#include "LonFixtures.h"
#include "LonProject.h"
#include "ModulINI.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
LonConfig loaded(TestHome& home, const QByteArray& ini) {
    useLonProject(home.file("P"), ini);
    LonConfig c;
    c.Carga_ConfLon();
    return c;
}

// The settings that travel in LON.ini, as one comparable list.
QStringList settings(const LonConfig& c) {
    return {c.Domain, c.LenDomain, QString::number(c.Subnet), QString::number(c.Node), QString::number(c.Addressing),
            c.TimeoutPoll, QString::number(c.NDevs), c.baudText(), c.bitsText(), c.paridadText(), c.Tmout_ms,
            QString::number(c.SendACK), c.GatewayVersion, c.IP, c.IPTag, c.NetMask, c.Gateway,
            QString::number(c.Port), c.tmoutKeepAlive_sec, c.Nagle, QString::number(c.RS_TCP), c.FwVersion};
}
}  // namespace

class TstLonConfig : public QObject {
    Q_OBJECT
private slots:
    void defaults_data();
    void defaults();
    void choices_data();
    void choices();
    void deviceCount_data();
    void deviceCount();
    void deviceDefaults();
    void garbageEverywhere();
    void saveOrderAndEncodings();
    void roundTrip();
    void limits_data();
    void limits();
    void firmwareRule();
    void devicesDialog_data();
    void devicesDialog();
    void lossyLoadKeepsOldFile_data();
    void lossyLoadKeepsOldFile();
};

void TstLonConfig::defaults_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("no file") << QByteArray();
}

void TstLonConfig::defaults() {
    QFETCH(QByteArray, ini);
    TestHome home;
    useLonProject(home.file("P"), ini);
    LonConfig c;
    c.IP = "junk";  // everything must come from the load
    c.Carga_ConfLon();
    QCOMPARE(settings(c), QStringList({"", "1", "1", "1", "0", "100", "1", "600", "8", "none-1stop", "1000", "0",
                                       "A-Basic", "192.168.100.246", "192.168.100.246", "255.255.255.0", "", "5000",
                                       "30", "0", "0", "V.43.1.x"}));
    QCOMPARE(c.deviceCount(), 1);
    QCOMPARE(c.device(1).Nd + c.device(1).Sb, QString("11"));
    QCOMPARE(c.device(1).On, false);
    QCOMPARE(c.firmwareIndex(), 1);
    QCOMPARE(c.currentDevice, 1);
    QVERIFY(!c.connectionChanged && !c.gridChanged && !c.loading);
}

void TstLonConfig::choices_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("baud 6 (38400)") << "Baudios" << "6 (38400)" << 6;
    QTest::newRow("baud index only") << "Baudios" << "4" << 4;
    QTest::newRow("baud text ignored") << "Baudios" << "7 (600)" << 7;
    QTest::newRow("baud out of list") << "Baudios" << "8 (115200)" << 0;
    QTest::newRow("baud negative") << "Baudios" << "-1" << 0;
    QTest::newRow("baud garbage") << "Baudios" << "(9600)" << 0;
    QTest::newRow("bits 1 (7)") << "Bits" << "1 (7)" << 1;
    QTest::newRow("bits out of list") << "Bits" << "2" << 0;
    QTest::newRow("parity 3 (2stop)") << "Paridad" << "3 (2stop)" << 3;
    QTest::newRow("parity blanks") << "Paridad" << "  2 (odd-1stop)" << 2;
}

void TstLonConfig::choices() {
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(int, index);
    TestHome home;
    const LonConfig c = loaded(home, ("[ASCII]\r\n" + key + "=" + stored + "\r\n").toLatin1());
    QCOMPARE(key == "Baudios" ? c.Baudios : key == "Bits" ? c.Bits : c.Paridad, index);
    // An index outside its list is saved back as it was stored, untouched.
    c.Graba_ConfLon();
    const QString saved = LeeIni("ASCII", key, "");
    const QString tag = QTest::currentDataTag();
    if (tag.contains("out of list") || tag.contains("negative")) QCOMPARE(saved, stored);
}

void TstLonConfig::deviceCount_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("nDevs");
    QTest::addColumn<int>("devices");
    QTest::newRow("zero") << "0" << "B-Extended" << 0 << 0;
    QTest::newRow("negative") << "-5" << "B-Extended" << -5 << 0;
    QTest::newRow("huge cut to 128") << "100000" << "B-Extended" << 128 << 128;
    QTest::newRow("129 cut to 128") << "129" << "A-Basic" << 128 << 128;
    QTest::newRow("65 with A-Basic loads in full") << "65" << "A-Basic" << 65 << 65;
    QTest::newRow("garbage reads 0") << "many" << "B-Extended" << 0 << 0;
}

void TstLonConfig::deviceCount() {
    QFETCH(QString, stored);
    QFETCH(QString, version);
    QFETCH(int, nDevs);
    QFETCH(int, devices);
    TestHome home;
    const LonConfig c = loaded(home, "[LON]\r\nNDevs=" + stored.toLatin1() + "\r\nD128-Nm=last\r\nD129-Nm=gone\r\n"
                                     "[ASCII]\r\nGatewayVersion=" + version.toLatin1() + "\r\n");
    QCOMPARE(c.NDevs, nDevs);
    QCOMPARE(c.deviceCount(), devices);
    QCOMPARE(c.currentDevice, devices > 0 ? 1 : 0);
    QCOMPARE(c.device(128).Nm, devices == 128 ? QString("last") : QString());
    QCOMPARE(c.device(129).Nm, QString());  // never loaded
}

void TstLonConfig::deviceDefaults() {
    TestHome home;
    const LonConfig c = loaded(home,
                               "[LON]\r\nNDevs=3\r\nD1-On=1\r\nD1-NId=0102\r\nD1-Sb=7\r\nD1-Nd=9\r\nD1-Nm=Boiler\r\n"
                               "D2-On=5\r\nD3-On=0\r\n");
    // Any non-zero On is in use; a missing node is the device's own number.
    QStringList got;
    for (int n = 1; n <= 3; ++n)
        got << QStringList{QString::number(c.device(n).On), c.device(n).NId, c.device(n).Sb, c.device(n).Nd,
                           c.device(n).Nm}
                   .join('/');
    QCOMPARE(got, QStringList({"1/0102/7/9/Boiler", "1//1/2/", "0//1/3/"}));
}

void TstLonConfig::garbageEverywhere() {
    TestHome home;
    QByteArray ini = "[LON]\r\n";
    for (const char* k : {"Domain", "LenDomain", "Subnet", "Node", "Addressing", "TimeoutPoll", "NDevs", "D1-On",
                          "D1-NId", "D1-Sb", "D1-Nd", "D1-Nm"})
        ini += QByteArray(k) + "=\xff#x%\r\n";
    ini += "[ASCII]\r\n";
    for (const char* k : {"Baudios", "Bits", "Paridad", "Tmout_ms", "SendACK", "GatewayVersion", "IP", "NetMask",
                          "Gateway", "Port", "Nagle", "tmoutKeepAlive_sec", "RS_TCP", "FwVersion"})
        ini += QByteArray(k) + "=\xff#x%\r\n";
    const LonConfig c = loaded(home, ini);
    QCOMPARE(QVector<int>({c.NDevs, c.Subnet, c.Addressing, c.Baudios, c.Port, c.RS_TCP}), QVector<int>(6, 0));
    QCOMPARE(c.maxDevices(), 128);  // the version text does not begin with "A"
    QCOMPARE(c.firmwareIndex(), 1);
    QCOMPARE(c.IP, QString::fromLatin1("\xff#x%"));
}

void TstLonConfig::saveOrderAndEncodings() {
    TestHome home;
    const QString dir = useLonProject(home.file("P"), "");
    LonConfig c;
    c.Carga_ConfLon();
    c.Domain = "0A";
    c.LenDomain = "3";
    c.Addressing = 1;
    c.NDevs = 2;
    c.Dispositivos = {{true, "000000000102", "4", "5", "Fan"}, {false, "", "1", "2", ""}};
    c.Baudios = 4;
    c.Bits = 1;
    c.Paridad = 2;
    c.SendACK = true;
    c.GatewayVersion = "B-Extended";
    c.IP = "127.0.0.1";
    c.Port = 5001;
    c.RS_TCP = 1;
    c.Graba_ConfLon();
    const QStringList expected = {
        "[LON]", "Domain=0A", "LenDomain=3", "Subnet=1", "Node=1", "Addressing=1", "TimeoutPoll=100", "NDevs=2",
        "D1-On=1", "D1-NId=000000000102", "D1-Sb=4", "D1-Nd=5", "D1-Nm=Fan", "D2-On=0", "D2-NId=", "D2-Sb=1",
        "D2-Nd=2", "D2-Nm=", "[ASCII]", "Baudios=4 (9600)", "Bits=1 (7)", "Paridad=2 (odd-1stop)",
        "Tmout_ms=1000", "SendACK=1", "GatewayVersion=B-Extended", "IP=127.0.0.1", "NetMask=255.255.255.0",
        "Gateway=", "Port=5001", "Nagle=0", "tmoutKeepAlive_sec=30", "RS_TCP=1 (ASCII TCP)", "FwVersion=V.43.1.x"};
    QCOMPARE(QString::fromLatin1(readAll(dir + "/LON.ini")).split("\r\n", Qt::SkipEmptyParts), expected);
}

void TstLonConfig::roundTrip() {
    TestHome home;
    LonFixture f = largeLonFixture(5, 0, "B-Extended", "V.43.1.x", false);
    f.addressing = 1;
    f.devices[2].on = false;
    f.keys = {{"LON", "Domain", "A1B2"}, {"ASCII", "Nagle", "7"}, {"ASCII", "Gateway", "127.0.0.1"},
              {"ASCII", "Tmout_ms", "250"}};
    const LonConfig a = loaded(home, lonIniBytes(f));
    QCOMPARE(a.Domain + a.Nagle + a.Gateway + a.Tmout_ms, QString("A1B27127.0.0.1250"));
    a.Graba_ConfLon();
    LonConfig b;
    b.Carga_ConfLon();
    QCOMPARE(settings(b), settings(a));
    QCOMPARE(b.deviceCount(), 5);
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(b.device(n).On, n != 3);
        QCOMPARE(b.device(n).NId, a.device(n).NId);
        QCOMPARE(b.device(n).Nm, a.device(n).Nm);
        QCOMPARE(b.device(n).Nd, QString::number(n));
    }
}

void TstLonConfig::limits_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("devices");
    QTest::addColumn<int>("addresses");
    QTest::newRow("A-Basic") << "A-Basic" << 64 << 500;
    QTest::newRow("B-Extended") << "B-Extended" << 128 << 4000;
    QTest::newRow("none chosen") << "" << 128 << 4000;
    QTest::newRow("lower-case a is not A") << "a-basic" << 128 << 4000;
}

void TstLonConfig::limits() {
    QFETCH(QString, version);
    QFETCH(int, devices);
    QFETCH(int, addresses);
    TestHome home;
    LonConfig c;
    c.setGatewayVersion(version);
    QCOMPARE(c.maxDevices(), devices);
    QCOMPARE(c.maxAddress(), addresses);
    QVERIFY(c.captionText().endsWith(":" + QString::number(devices) + " Max.Regs.ASCII:" + QString::number(addresses)));
    QVERIFY(c.connectionChanged);
    c.connectionChanged = false;
    c.loading = true;  // no change marks while loading
    c.setGatewayVersion(version);
    c.markGridChanged();
    QVERIFY(!c.connectionChanged && !c.gridChanged);
}

void TstLonConfig::firmwareRule() {
    TestHome home;
    LonConfig c = loaded(home, "[ASCII]\r\nRS_TCP=1 (ASCII TCP)\r\nFwVersion=V.3.1.0\r\n");
    QCOMPARE(c.firmwareIndex(), 0);
    QVERIFY(!c.tcpVisible());
    QCOMPARE(c.RS_TCP, 0);  // the old firmware has only the serial line
    QVERIFY(!c.connectionChanged);
    c.setFwVersion("V.43.1.x");
    QVERIFY(c.tcpVisible());
    c.RS_TCP = 1;
    c.setFwVersion("V.3.1.0");
    QCOMPARE(c.RS_TCP, 0);
    QVERIFY(c.connectionChanged);
    c.Graba_ConfLon();
    QVERIFY(readAll(app().RutaProyecto + "/LON.ini").contains("RS_TCP=0 (ASCII RS232)\r\n"));
}

void TstLonConfig::devicesDialog_data() {
    QTest::addColumn<bool>("pending");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("message");  // the start of the message shown, see lonText
    QTest::addColumn<int>("stored");
    QTest::newRow("unsaved changes") << true << "3" << false << "@PrimeroDebeGrabarLosCambios" << 2;
    QTest::newRow("new count") << false << "3" << true << "@MbusEstecambioaf" << 3;
    QTest::newRow("above A-Basic maximum") << false << "65" << false << "@NDispNoval|. Max:64" << 2;
    QTest::newRow("A-Basic maximum") << false << "64" << true << "@MbusEstecambioaf" << 64;
    QTest::newRow("same count") << false << "2" << false << "" << 2;
    QTest::newRow("zero") << false << "0" << false << "" << 2;
    QTest::newRow("not a number") << false << "many" << false << "" << 2;
    QTest::newRow("number with text after it") << false << "3abc" << false << "" << 2;
    QTest::newRow("blanks around") << false << " 5 " << true << "@MbusEstecambioaf" << 5;
    QTest::newRow("cancelled") << false << "" << false << "" << 2;
}

void TstLonConfig::devicesDialog() {
    QFETCH(bool, pending);
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    QFETCH(QString, message);
    QFETCH(int, stored);
    TestHome home;
    ScriptedPrompts prompts;
    LonConfig c = loaded(home, "[LON]\r\nNDevs=2\r\n[ASCII]\r\nGatewayVersion=A-Basic\r\n");
    c.gridChanged = pending;
    prompts.queueText(answer);
    QCOMPARE(c.PideNumeroDispositivos(), closes);
    QStringList texts = prompts.texts();
    if (!pending) {
        QCOMPARE(prompts.shown().first().kind, ScriptedPrompts::InputBox);
        QCOMPARE(prompts.shown().first().text, Texto("Inndisp"));
        texts.removeFirst();
    }
    QCOMPARE(texts.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) QVERIFY(texts[0].startsWith(lonText(message)));
    LonConfig again;
    again.Carga_ConfLon();
    QCOMPARE(again.NDevs, stored);
}

// A load that lost anything makes the next save keep the old file beside it,
// under the first free backup name, once; a clean load makes none.
void TstLonConfig::lossyLoadKeepsOldFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("from");  // text of the file replaced by `to`
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("backup");  // "" none
    QTest::newRow("version refused") << "LON.dat" << "VERSION=ASCII.1.0" << "VERSION=ASCII 1.0" << "LON.dat.bak";
    QTest::newRow("bare CAMPOS=") << "LON.dat" << "CAMPOS=18" << "CAMPOS=" << "LON.dat.bak";
    QTest::newRow("row dropped") << "LON.dat" << "2-16bit sig" << "9-16bit sig" << "LON.dat.bak";
    QTest::newRow("older backup kept") << "LON.dat" << "VERSION=ASCII.1.0" << "VERSION=ASCII 1.0" << "LON.dat.bak1";
    QTest::newRow("devices beyond 128 cut") << "LON.ini" << "NDevs=1" << "NDevs=129" << "LON.ini.bak";
    QTest::newRow("clean load") << "LON.dat" << "" << "" << "";
}

void TstLonConfig::lossyLoadKeepsOldFile() {
    QFETCH(QString, file);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, backup);
    TestHome home;
    ScriptedPrompts prompts;
    const QString dir = home.file("P");
    LonFixture f;
    f.devices.resize(1);
    f.rows = {lonPointRow(1, 105, 1, "R", 1)};
    QVERIFY(writeLonFixture(dir, f));
    const QString path = dir + "/" + file;
    QByteArray old = readAll(path);
    QVERIFY(old.contains(from.toLatin1()));
    old.replace(from.toLatin1(), to.toLatin1());
    QVERIFY(writeAll(path, old));
    if (backup.endsWith("1")) QVERIFY(writeAll(path + ".bak", "older"));
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    loadLonProject(dir, cfg, grid, info);
    const int before = int(prompts.shown().size());
    QVERIFY(saveLonProject(cfg, grid));
    QVERIFY(saveLonProject(cfg, grid));  // the second save keeps no further copy
    const QStringList kept = QDir(dir).entryList({"*.bak*"}, QDir::Files, QDir::Name);
    if (backup.isEmpty()) {
        QCOMPARE(kept, QStringList());
        QCOMPARE(prompts.shown().size(), before);
        return;
    }
    QCOMPARE(readAll(dir + "/" + backup), old);
    QCOMPARE(kept.size(), backup.endsWith("1") ? 2 : 1);
    if (kept.size() == 2) QCOMPARE(readAll(path + ".bak"), QByteArray("older"));
    QCOMPARE(prompts.texts().mid(before), QStringList{Texto("CopiaAntesDeGrabar") + "\r" + dir + "/" + backup});
}

QTEST_GUILESS_MAIN(TstLonConfig)
#include "tst_lonconfig.moc"
