// The LON model without windows: LON.ini loaded (defaults, garbage, device
// count) and saved byte for byte, version limits, the firmware rule, the devices
// dialog, backups after a lossy load; the field repairs and save checks; the
#include <QtTest>

#include "AppGlobals.h"
#include "LonChecks.h"
#include "LonConfig.h"
#include "LonFixtures.h"
#include "LonGrid.h"
#include "LonProject.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

Q_DECLARE_METATYPE(LonDevice)

namespace {
using Rows = QVector<QStringList>;

LonConfig loaded(TestHome& home, const QByteArray& ini) {
    useLonProject(home.file("P"), ini);
    LonConfig c;
    c.IP = "junk";  // everything must come from the load
    c.Carga_ConfLon();
    return c;
}

QStringList settings(const LonConfig& c) {
    return {c.Domain,
            c.LenDomain,
            QString::number(c.Subnet),
            QString::number(c.Node),
            QString::number(c.Addressing),
            c.TimeoutPoll,
            QString::number(c.NDevs),
            c.baudText(),
            c.bitsText(),
            c.paridadText(),
            c.Tmout_ms,
            QString::number(c.SendACK),
            c.GatewayVersion,
            c.IP,
            c.IPTag,
            c.NetMask,
            c.Gateway,
            QString::number(c.Port),
            c.tmoutKeepAlive_sec,
            c.Nagle,
            QString::number(c.RS_TCP),
            c.FwVersion};
}

LonConfig emptyDevices(int nDevs, const QString& version) {
    LonConfig c = lonConfig(nDevs, version);
    for (LonDevice& d : c.Dispositivos) d = LonDevice();
    return c;
}

QStringList builtInRow(int d, int row) {
    const QString text = Texto("ErrorComunicacion") + (d == 0 ? " hard" : "");
    return {QString::number(row),
            QString::number(d),
            d == 0 ? "-2" : "-1",
            "[" + text + "]",
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            text,
            "",
            "R",
            Texto("1-Dig"),
            "1-Spon",
            Texto("0-No")};
}
}  // namespace

class TstLonCore : public QObject {
    Q_OBJECT
    TestHome* m_home = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
private slots:
    void init() { m_home = new TestHome, m_prompts = new ScriptedPrompts; }
    void cleanup() { delete m_prompts, delete m_home; }

    void defaults_data() {
        lonColumns<QByteArray, QStringList>("ini", "expected");
        const QStringList none{"",
                               "1",
                               "1",
                               "1",
                               "0",
                               "100",
                               "1",
                               "600",
                               "8",
                               "none-1stop",
                               "1000",
                               "0",
                               "A-Basic",
                               "192.168.100.246",
                               "192.168.100.246",
                               "255.255.255.0",
                               "",
                               "5000",
                               "30",
                               "0",
                               "0",
                               "V.43.1.x"};
        QTest::newRow("empty file") << QByteArray("") << none;
        QTest::newRow("no file") << QByteArray() << none;
        QByteArray ini;
        for (const char* s : {"[LON]",       "Domain",
                              "LenDomain",   "Subnet",
                              "Node",        "Addressing",
                              "TimeoutPoll", "NDevs",
                              "D1-On",       "[ASCII]",
                              "Baudios",     "Bits",
                              "Paridad",     "Tmout_ms",
                              "SendACK",     "GatewayVersion",
                              "IP",          "NetMask",
                              "Gateway",     "Port",
                              "Nagle",       "tmoutKeepAlive_sec",
                              "RS_TCP",      "FwVersion"})
            ini += QByteArray(s) + (s[0] == '[' ? "\r\n" : "=\xff#x%\r\n");
        const QString g = QString::fromLatin1("\xff#x%");
        QTest::newRow("garbage everywhere")
            << ini << QStringList{g,   g, "0", "0", "0", g, "0", "600", "8", "none-1stop", g,
                                  "0", g, g,   g,   g,   g, "0", g,     g,   "0",          g};
    }

    void defaults() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, expected);
        const LonConfig c = loaded(*m_home, ini);
        QCOMPARE(settings(c), expected);
        QCOMPARE(c.maxDevices(), ini.contains("A-Basic") || ini.size() < 10 ? 64 : 128);
        QCOMPARE(c.firmwareIndex(), 1);
        QCOMPARE(c.currentDevice, c.deviceCount() > 0 ? 1 : 0);
        QVERIFY(!c.connectionChanged && !c.gridChanged && !c.loading);
        if (ini.size() < 10) {  // one device, not in use, node and subnet 1
            QCOMPARE(c.deviceCount(), 1);
            QCOMPARE(QString::number(c.device(1).On) + c.device(1).Nd + c.device(1).Sb, QString("011"));
        }
    }

    void choices_data() {
        lonColumns<QString, QString, int>("key", "stored", "index");
        QTest::newRow("baud index only") << "Baudios"
                                         << "4" << 4;
        QTest::newRow("baud out of list") << "Baudios"
                                          << "8 (115200)" << 0;
        QTest::newRow("baud negative") << "Baudios"
                                       << "-1" << 0;
        QTest::newRow("bits out of list") << "Bits"
                                          << "2" << 0;
        QTest::newRow("parity blanks") << "Paridad"
                                       << "  3 (2stop)" << 3;
    }

    void choices() {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(int, index);
        const LonConfig c = loaded(*m_home, ("[ASCII]\r\n" + key + "=" + stored + "\r\n").toLatin1());
        QCOMPARE(key == "Baudios" ? c.Baudios : key == "Bits" ? c.Bits : c.Paridad, index);
        c.Graba_ConfLon();
        const QString tag = QTest::currentDataTag();
        if (tag.contains("out of list") || tag.contains("negative")) QCOMPARE(LeeIni("ASCII", key, ""), stored);
    }

    void deviceCount_data() {
        lonColumns<QString, QString, int, int>("stored", "version", "nDevs", "devices");
        QTest::newRow("negative") << "-5"
                                  << "B-Extended" << -5 << 0;
        QTest::newRow("huge cut to 128") << "100000"
                                         << "B-Extended" << 128 << 128;
        QTest::newRow("129 cut to 128") << "129"
                                        << "A-Basic" << 128 << 128;
        QTest::newRow("three") << "3"
                               << "A-Basic" << 3 << 3;
    }

    void deviceCount() {
        QFETCH(QString, stored);
        QFETCH(QString, version);
        QFETCH(int, nDevs);
        QFETCH(int, devices);
        const LonConfig c = loaded(*m_home, "[LON]\r\nNDevs=" + stored.toLatin1() +
                                                "\r\nD1-On=1\r\nD1-NId=0102\r\nD1-Sb=7\r\nD1-Nd=9\r\nD1-Nm=Boiler\r\n"
                                                "D2-On=5\r\nD3-On=0\r\nD128-Nm=last\r\nD129-Nm=gone\r\n"
                                                "[ASCII]\r\nGatewayVersion=" +
                                                version.toLatin1() + "\r\n");
        QCOMPARE(c.NDevs, nDevs);
        QCOMPARE(c.deviceCount(), devices);
        QCOMPARE(c.currentDevice, devices > 0 ? 1 : 0);
        QCOMPARE(c.device(128).Nm, devices == 128 ? QString("last") : QString());
        QCOMPARE(c.device(129).Nm, QString());  // never loaded
        if (devices == 0) return;
        QStringList got;
        for (int n = 1; n <= 3; ++n) {
            const LonDevice& d = c.device(n);
            got << QStringList{QString::number(d.On), d.NId, d.Sb, d.Nd, d.Nm}.join('/');
        }
        QCOMPARE(got, QStringList({"1/0102/7/9/Boiler", "1//1/2/", "0//1/3/"}));
    }

    void savedBytes() {
        LonFixture f = largeLonFixture(3, 0, "B-Extended", "V.43.1.x", false);
        f.addressing = 1;
        f.devices[2].on = false;
        f.keys = {{"LON", "Domain", "A1B2"}, {"ASCII", "Nagle", "7"}, {"ASCII", "Gateway", "127.0.0.1"}};
        LonConfig c = loaded(*m_home, lonIniBytes(f));
        c.Graba_ConfLon();
        const QString path = app().RutaProyecto + "/LON.ini";
        QCOMPARE(readAll(path), lonIniBytes(f));
        QFile::remove(path);
        c.NDevs = 2;
        c.Dispositivos = {{true, "000000000102", "4", "5", "Fan"}, {false, "", "1", "2", ""}};
        c.Baudios = 6, c.Bits = 1, c.Paridad = 2, c.SendACK = true, c.Port = 5001, c.RS_TCP = 0;
        c.Graba_ConfLon();
        QVERIFY(readAll(path).contains(
            "NDevs=2\r\nD1-On=1\r\nD1-NId=000000000102\r\nD1-Sb=4\r\nD1-Nd=5\r\nD1-Nm=Fan\r\nD2-On=0\r\nD2-NId=\r\n"
            "D2-Sb=1\r\nD2-Nd=2\r\nD2-Nm=\r\n[ASCII]\r\nBaudios=6 (38400)\r\nBits=1 (7)\r\nParidad=2 (odd-1stop)\r\n"
            "Tmout_ms=1000\r\nSendACK=1\r\nGatewayVersion=B-Extended\r\nIP=127.0.0.1\r\nNetMask=255.0.0.0\r\n"
            "Gateway=127.0.0.1\r\nPort=5001\r\nNagle=7\r\ntmoutKeepAlive_sec=30\r\nRS_TCP=0 (ASCII RS232)\r\n"));
    }

    void firmwareRule() {
        LonConfig c = loaded(*m_home, "[ASCII]\r\nRS_TCP=1 (ASCII TCP)\r\nFwVersion=V.3.1.0\r\n");
        QCOMPARE(c.firmwareIndex(), 0);
        QVERIFY(!c.tcpVisible());
        QCOMPARE(c.RS_TCP, 0);  // the old firmware has only the serial line
        QVERIFY(!c.connectionChanged);
        c.setFwVersion("V.43.1.x");
        QVERIFY(c.tcpVisible());
        c.RS_TCP = 1;
        c.Graba_ConfLon();
        QVERIFY(readAll(app().RutaProyecto + "/LON.ini").contains("RS_TCP=1 (ASCII TCP)\r\n"));
        c.setFwVersion("V.3.1.0");
        QCOMPARE(c.RS_TCP, 0);
        QVERIFY(c.connectionChanged);
    }

    void devicesDialog_data() {
        lonColumns<bool, QString, bool, QString, int>("pending", "answer", "closes", "message", "stored");
        QTest::newRow("unsaved changes") << true << "3" << false << "@PrimeroDebeGrabarLosCambios" << 2;
        QTest::newRow("new count") << false << "3" << true << "@MbusEstecambioaf" << 3;
        QTest::newRow("above A-Basic maximum") << false << "65" << false << "@NDispNoval|. Max:64" << 2;
        QTest::newRow("same count") << false << "2" << false << "" << 2;
        QTest::newRow("number with text after it") << false << "3abc" << false << "" << 2;
        QTest::newRow("blanks around") << false << " 5 " << true << "@MbusEstecambioaf" << 5;
        QTest::newRow("cancelled") << false << "" << false << "" << 2;
    }

    void devicesDialog() {
        QFETCH(bool, pending);
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        QFETCH(QString, message);
        QFETCH(int, stored);
        LonConfig c = loaded(*m_home, "[LON]\r\nNDevs=2\r\n[ASCII]\r\nGatewayVersion=A-Basic\r\n");
        c.gridChanged = pending;
        m_prompts->queueText(answer);
        QCOMPARE(c.PideNumeroDispositivos(), closes);
        QStringList texts = m_prompts->texts();
        if (!pending) {
            QCOMPARE(m_prompts->shown().first().kind, ScriptedPrompts::InputBox);
            QCOMPARE(texts.takeFirst(), Texto("Inndisp"));
        }
        QCOMPARE(texts.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) QVERIFY(texts[0].startsWith(lonText(message)));
        QCOMPARE(iniReadInt(app().RutaProyecto + "/LON.ini", "LON", "NDevs", 0), stored);
    }

    void lossyLoadKeepsOldFile_data() {
        lonColumns<QString, QString, QString, QString>("file", "from", "to", "backup");
        QTest::newRow("version refused") << "LON.dat"
                                         << "VERSION=ASCII.1.0"
                                         << "VERSION=ASCII 1.0"
                                         << "LON.dat.bak";
        QTest::newRow("older backup kept") << "LON.dat"
                                           << "VERSION=ASCII.1.0"
                                           << "VERSION=ASCII 1.0"
                                           << "LON.dat.bak1";
        QTest::newRow("devices beyond 128 cut") << "LON.ini"
                                                << "NDevs=1"
                                                << "NDevs=129"
                                                << "LON.ini.bak";
        QTest::newRow("clean load") << "LON.dat"
                                    << ""
                                    << ""
                                    << "";
    }

    void lossyLoadKeepsOldFile() {
        QFETCH(QString, file);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, backup);
        const QString dir = m_home->file("P");
        LonFixture f;
        f.devices.resize(1);
        f.rows = {lonPointRow(1, 105, 1, "R", 1)};
        QVERIFY(writeLonFixture(dir, f));
        const QString path = dir + "/" + file;
        QByteArray old = readAll(path);
        old.replace(from.toLatin1(), to.toLatin1());
        QVERIFY(writeAll(path, old));
        if (backup.endsWith("1")) QVERIFY(writeAll(path + ".bak", "older"));
        LonConfig cfg;
        SignalGrid grid;
        QVector<InfoColumna> info;
        loadLonProject(dir, cfg, grid, info);
        const int before = int(m_prompts->shown().size());
        QVERIFY(saveLonProject(cfg, grid));
        QVERIFY(saveLonProject(cfg, grid));  // the second save keeps no further copy
        const QStringList kept = QDir(dir).entryList({"*.bak*"}, QDir::Files, QDir::Name);
        QCOMPARE(kept.size(), backup.isEmpty() ? 0 : backup.endsWith("1") ? 2 : 1);
        if (backup.isEmpty()) {
            QCOMPARE(m_prompts->shown().size(), before);
            return;
        }
        QCOMPARE(readAll(dir + "/" + backup), old);
        if (kept.size() == 2) QCOMPARE(readAll(path + ".bak"), QByteArray("older"));
        QCOMPARE(m_prompts->texts().mid(before), QStringList{Texto("CopiaAntesDeGrabar") + "\r" + dir + "/" + backup});
    }

    void ip_data() {
        lonColumns<QString, QString, bool>("text", "normal", "valid");
        QTest::newRow("loopback") << "127.0.0.1"
                                  << "127.0.0.1" << true;
        QTest::newRow("three octets") << "192.168.100"
                                      << "" << false;
        QTest::newRow("leading zero") << "192.168.1.01"
                                      << "192.168.1.1" << false;
        QTest::newRow("octet 256") << "256.1.1.1"
                                   << "" << false;
        QTest::newRow("blanks around") << " 10.0.0.1 "
                                       << "10.0.0.1" << false;
        QTest::newRow("negative") << "-1.2.3.4"
                                  << "" << false;
        QTest::newRow("exponent") << "1e2.0.0.1"
                                  << "100.0.0.1" << false;
        QTest::newRow("beyond 16 bits") << "99999.1.1.1"
                                        << "" << false;
        QTest::newRow("trailing dot") << "1.2.3.4."
                                      << "1.2.3.4" << false;
    }

    void ip() {
        QFETCH(QString, text);
        QFETCH(QString, normal);
        QFETCH(bool, valid);
        QCOMPARE(NormalizaIP(text), normal);
        QCOMPARE(EsIPValida(text), valid);
    }

    void validaPuntos_data() {
        lonColumns<QString, Rows, QString, int, int>("version", "rows", "message", "row", "col");
        const int D = LonCol::Disp, A = LonCol::Add;
        const QString dev = "@SoloValoresDispositivoEntre| 1@y|2", add = "@AddressDebeSerNumeroEntre| 1@y|";
        QTest::newRow("inactive rows may share an address, or have none")
            << "A-Basic"
            << Rows{lonPointRow(1, 105, 0, "R", 7, false), lonPointRow(1, 105, 1, "R", 7, false),
                    lonPointRow(1, 105, 1, "R", 0, false)}
            << "" << 0 << 0;
        QTest::newRow("device 0 on a point") << "A-Basic" << Rows{lonPointRow(0, 105, 0, "R", 3)} << dev << 4 << D;
        QTest::newRow("device beyond NDevs") << "A-Basic" << Rows{lonPointRow(3, 105, 0, "R", 3)} << dev << 4 << D;
        QTest::newRow("gateway error row skips the device test")
            << "A-Basic" << Rows{lonErrorRow(0, 9)} << "" << 0 << 0;
        QTest::newRow("gateway error row address tested")
            << "A-Basic" << Rows{lonErrorRow(0, 0)} << add + "500" << 1 << A;
        QTest::newRow("device error row tested like any row")
            << "A-Basic" << Rows{lonErrorRow(2, 600)} << add + "500" << 3 << A;
        QTest::newRow("address 501 on A-Basic")
            << "A-Basic" << Rows{lonPointRow(1, 105, 0, "R", 501)} << add + "500" << 4 << A;
        QTest::newRow("address 4001 on B-Extended")
            << "B-Extended" << Rows{lonPointRow(1, 105, 0, "R", 4001)} << add + "4000" << 4 << A;
        QTest::newRow("repeated address")
            << "A-Basic"
            << Rows{lonPointRow(1, 105, 0, "R", 7), lonPointRow(2, 105, 0, "R", 8), lonPointRow(2, 105, 1, "R", 7)}
            << "Add:7@repetida" << 6 << A;
        QTest::newRow("device checked before address")
            << "A-Basic" << Rows{lonPointRow(5, 105, 0, "R", 0)} << dev << 4 << D;
    }

    void validaPuntos() {
        QFETCH(QString, version);
        QFETCH(Rows, rows);
        QFETCH(QString, message);
        QFETCH(int, row);
        QFETCH(int, col);
        LonConfig cfg = emptyDevices(2, version);
        SignalGrid grid;
        lonGrid(cfg, grid, rows);
        grid.select(1, 1, 1, 1);
        const bool ok = Valida_Puntos(cfg, grid);
        QCOMPARE(ok, message.isEmpty());
        if (ok) {
            QVERIFY(m_prompts->texts().isEmpty());
            return;
        }
        QCOMPARE(m_prompts->texts(), QStringList{lonText(message)});
        QCOMPARE(m_prompts->shown().first().buttons, 1);
        QCOMPARE(QVector<int>({grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}),
                 QVector<int>({row, col, row, col}));
    }

    void validaDispositivos_data() {
        lonColumns<int, QVector<LonDevice>, QString>("addressing", "devices", "message");
        QTest::newRow("Neuron-IDs differing in case")
            << 0 << QVector<LonDevice>{{true, "00000000ABCD", "1", "1", ""}, {true, "00000000abcd", "1", "2", ""}}
            << "Two devices have same address Neuron-ID:00000000abcd";
        QTest::newRow("same Neuron-ID, one not in use")
            << 0 << QVector<LonDevice>{{true, "00000000ABCD", "1", "1", ""}, {false, "00000000ABCD", "1", "2", ""}}
            << "";
        QTest::newRow("same subnet/node")
            << 1 << QVector<LonDevice>{{true, "", "1", "1", ""}, {true, "", "1", "2", ""}, {true, "", "1", "2", ""}}
            << "Two devices have same address Subnet/Node:1/2";
        QTest::newRow("subnet/node compared as stored")
            << 1 << QVector<LonDevice>{{true, "", "01", "2", ""}, {true, "", "1", "2", ""}} << "";
    }

    void validaDispositivos() {
        QFETCH(int, addressing);
        QFETCH(QVector<LonDevice>, devices);
        QFETCH(QString, message);
        LonConfig c;
        c.Addressing = addressing;
        c.NDevs = int(devices.size());
        c.Dispositivos = devices;
        QCOMPARE(Valida_Dispositivos(c), message.isEmpty());
        QCOMPARE(m_prompts->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    void mergeUpdatesBuiltInRow_data() {
        lonColumns<QString, QString, int>("device", "snvt", "row");
        QTest::newRow("device 1") << "1"
                                  << "-1" << 2;
        QTest::newRow("gateway") << "0"
                                 << "-2" << 1;
        QTest::newRow("numbers written otherwise") << " 2.0"
                                                   << "-1.00" << 3;
    }

    void mergeUpdatesBuiltInRow() {
        QFETCH(QString, device);
        QFETCH(QString, snvt);
        QFETCH(int, row);
        SignalGrid grid;
        lonGrid(lonConfig(2), grid,
                {{device, snvt, "[changed]", "9", "9", "5-32bit unsig", "9", "9", "9", "9", "RW", "My description",
                  "77", "W", "0-Ana", "0-NoSpon", "1-Si"}});
        QCOMPARE(grid.Rows(), 4);  // nothing appended
        QStringList expected = builtInRow(row - 1, 1);
        expected[12] = "My description";
        expected[13] = "77";
        expected[16] = "0-NoSpon";
        expected[17] = "1-Si";
        QCOMPARE(grid.rowCells(row), expected);
    }

    void mergeAppendsConverted_data() {
        lonColumns<QStringList, QStringList>("stored", "expected");
        QTest::newRow("plain") << QStringList{"1", "105", "SNVT_temp_p", "3",  "0", "2",     "1",      "-2",  "0",
                                              "0", "R",   "Flow",        "12", "R", "0-Ana", "1-Spon", "1-Si"}
                               << QStringList{"1",           "1",  "105", "SNVT_temp_p", "3",      "0",
                                              "2-16bit sig", "1",  "-2",  "0",           "",       "R",
                                              "Flow",        "12", "R",   "0-Ana",       "1-Spon", "1-Si"};
        QTest::newRow("numbers read by their prefix")
            << QStringList{" 2x", "95abc", "SNVT_switch", "",     "1.5", "7-bit field", "",         "",    "",
                           "3",   "RW",    "  padded  ",  "0012", "RW",  "1-Dig",       "0-NoSpon", "0-No"}
            << QStringList{"1", "2", "95", "SNVT_switch", "0",  "1.5", "7-bit field", "0",        "0",
                           "0", "3", "RW", "  padded  ",  "12", "RW",  "1-Dig",       "0-NoSpon", "0-No"};
        QTest::newRow("device error of a device not configured")
            << QStringList{"9", "-1", "[x]", "", "", "", "", "", "", "", "", "Err", "5", "R", "1-Dig", "1-Spon", "1-Si"}
            << QStringList{"1", "9", "-1", "[x]", "0", "0", "0-8bit sig", "0",      "0",
                           "0", "",  "",   "Err", "5", "R", "1-Dig",      "1-Spon", "1-Si"};
    }

    void mergeAppendsConverted() {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, expected);
        SignalGrid grid;
        QCOMPARE(lonGrid(lonConfig(2), grid, {stored}), 0);
        QCOMPARE(grid.Rows(), 5);
        QCOMPARE(grid.rowCells(4), expected);
        QVERIFY(m_prompts->texts().isEmpty());
    }

    void mergeRefusesBadRow_data() {
        lonColumns<QString, QString, int, QString>("dataType", "filter", "copies", "count");
        QTest::newRow("data type 8") << "8"
                                     << "" << 1 << "";
        QTest::newRow("filter beyond 16 bits") << "2"
                                               << "40000" << 1 << "";
        QTest::newRow("twelve bad rows, one message") << "9"
                                                      << "" << 12 << " (12)";
    }

    void mergeRefusesBadRow() {
        QFETCH(QString, dataType);
        QFETCH(QString, filter);
        QFETCH(int, copies);
        QFETCH(QString, count);
        QStringList bad = lonPointRow(1, 105, 0, "R", 1);
        bad[5] = dataType;
        bad[9] = filter;
        Rows rows(copies, bad);
        rows << lonPointRow(1, 105, 1, "R", 2) << lonErrorRow(1, 3);
        SignalGrid grid;
        QCOMPARE(lonGrid(lonConfig(1), grid, rows), copies);
        QCOMPARE(m_prompts->texts(), QStringList{Texto("AlgunDatoIncorrecto") + count});
        QCOMPARE(grid.Rows(), 4);  // captions, two built-in rows, the good row
        QCOMPARE(grid.TextMatrix(3, LonCol::Noo) + grid.TextMatrix(3, LonCol::Add), QString::number(copies + 1) + "2");
        QCOMPARE(grid.TextMatrix(2, LonCol::Add), QString("3"));  // the row after still merged
    }

    void cellValueAsVal_data() {
        QTest::addColumn<QString>("text");
        for (const char* t :
             {"",     "7",   "-2",  "-",   "+5",  "123456789", "1234567890", "1-Spon", "0-NoSpon", "12-3",       "1+2",
              "-1-x", "--1", "1.5", "1e3", "1d2", "&H1F",      " 12",        "12 3",   "abc",      "99999999999"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }

    void cellValueAsVal() {
        QFETCH(QString, text);
        QCOMPARE(lonCellValue(text), Val(text));
    }

    void direction_data() {
        lonColumns<QString, QString, QString>("snvt", "access", "direction");
        QTest::newRow("W") << "105"
                           << "W"
                           << "W";
        QTest::newRow("RW") << "105"
                            << "RW"
                            << "RW";
        QTest::newRow("R") << "105"
                           << "R"
                           << "R";
        QTest::newRow("lower case is not W") << "105"
                                             << "w"
                                             << "R";
        QTest::newRow("SNVT 0") << "0"
                                << "W"
                                << "W";
        QTest::newRow("device error") << "-1"
                                      << "W"
                                      << "R";
        QTest::newRow("gateway error") << "-2"
                                       << "RW"
                                       << "R";
    }

    void direction() {
        QFETCH(QString, snvt);
        QFETCH(QString, access);
        QFETCH(QString, direction);
        SignalGrid g(2, 18);
        g.setTextMatrix(1, LonCol::Snvt, snvt);
        g.setTextMatrix(1, LonCol::NvAccess, access);
        g.setTextMatrix(1, LonCol::Direction, "xx");
        UpdateRow(g, 1);
        QCOMPARE(g.TextMatrix(1, LonCol::Direction), direction);
        if (snvt != "105") return;
        LonConfig cfg = emptyDevices(1, "A-Basic");
        SignalGrid grid;
        QStringList active = lonPointRow(1, 105, 0, access, 1), inactive = lonPointRow(1, 105, 1, access, 2, false);
        active[13] = inactive[13] = "xx";
        lonGrid(cfg, grid, {active, inactive});
        QVERIFY(Valida_Puntos(cfg, grid));
        QCOMPARE(grid.TextMatrix(3, LonCol::Direction) + grid.TextMatrix(4, LonCol::Direction), direction + "xx");
    }
};

QTEST_GUILESS_MAIN(TstLonCore)
#include "tst_loncore.moc"
