// LON checks: the IP address check, the repairs made on leaving a field, and
// the two save checks with their messages and the cell they select.
#include <QtTest>

#include "LonChecks.h"
#include "LonConfig.h"
#include "LonFixtures.h"
#include "LonGrid.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

Q_DECLARE_METATYPE(LonDevice)

namespace {
LonConfig config(int nDevs, const QString& version) {
    LonConfig c = lonConfig(nDevs, version);
    for (LonDevice& d : c.Dispositivos) d = LonDevice();
    return c;
}

}  // namespace

class TstLonChecks : public QObject {
    Q_OBJECT
private slots:
    void ip_data();
    void ip();
    void leaveField_data();
    void leaveField();
    void leaveDeviceField_data();
    void leaveDeviceField();
    void validaPuntos_data();
    void validaPuntos();
    void validaPuntosRefreshesDirection();
    void validaDispositivos_data();
    void validaDispositivos();
};

void TstLonChecks::ip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normal");
    QTest::addColumn<bool>("valid");
    QTest::newRow("canonical") << "192.168.100.246" << "192.168.100.246" << true;
    QTest::newRow("loopback") << "127.0.0.1" << "127.0.0.1" << true;
    QTest::newRow("three octets") << "192.168.100" << "" << false;
    QTest::newRow("five octets") << "192.168.100.246.1" << "192.168.100.246" << false;
    QTest::newRow("leading zero") << "192.168.1.01" << "192.168.1.1" << false;
    QTest::newRow("octet 256") << "256.1.1.1" << "" << false;
    QTest::newRow("letter octet") << "1.2.3.x" << "1.2.3.0" << false;
    QTest::newRow("blanks around") << " 10.0.0.1 " << "10.0.0.1" << false;
    QTest::newRow("empty octet") << "1..2.3" << "" << false;
    QTest::newRow("negative") << "-1.2.3.4" << "" << false;
    QTest::newRow("exponent") << "1e2.0.0.1" << "100.0.0.1" << false;
    QTest::newRow("sign") << "+1.2.3.4" << "1.2.3.4" << false;
    QTest::newRow("beyond 16 bits") << "99999.1.1.1" << "" << false;
    QTest::newRow("empty") << "" << "" << false;
    QTest::newRow("trailing dot") << "1.2.3.4." << "1.2.3.4" << false;
}

void TstLonChecks::ip() {
    QFETCH(QString, text);
    QFETCH(QString, normal);
    QFETCH(bool, valid);
    QCOMPARE(NormalizaIP(text), normal);
    QCOMPARE(EsIPValida(text), valid);
}

void TstLonChecks::leaveField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");  // "" = none; "@key" ends with that key's text
    QTest::newRow("ip valid") << "ip" << "127.0.0.2" << "127.0.0.2" << "";
    QTest::newRow("ip invalid") << "ip" << "10.0.0.300" << "127.0.0.1" << "@EtqIP|10.0.0.300@incorrecta";
    QTest::newRow("ip blanks") << "ip" << " 127.0.0.2" << "127.0.0.1" << "@EtqIP| 127.0.0.2@incorrecta";
    QTest::newRow("mask invalid") << "mask" << "255.255.255" << "255.0.0.0" << "@EtqNetMask|255.255.255@incorrecta";
    QTest::newRow("gateway empty") << "gateway" << "   " << "" << "";
    QTest::newRow("gateway TAB is no blank") << "gateway" << "\t" << "127.0.0.9" << "@EtqRouter|\t@incorrecta";
    QTest::newRow("gateway trimmed") << "gateway" << " 10.0.0.1 " << "10.0.0.1" << "";
    QTest::newRow("gateway invalid") << "gateway" << " 10.0.0 " << "127.0.0.9" << "@EtqRouter|10.0.0@incorrecta";
    QTest::newRow("port ok") << "port" << "8080" << "8080" << "";
    QTest::newRow("port 0") << "port" << "0" << "5000" << "";
    QTest::newRow("port 65536") << "port" << "65536" << "5000" << "";
    QTest::newRow("port text") << "port" << "abc" << "5000" << "";
    QTest::newRow("keep-alive 0") << "keepalive" << "0" << "0" << "";
    QTest::newRow("keep-alive too big") << "keepalive" << "70000" << "30" << "";
    QTest::newRow("keep-alive negative") << "keepalive" << "-1" << "30" << "";
    QTest::newRow("timeout clamped high") << "timeout" << "2500" << "2000" << "";
    QTest::newRow("timeout clamped low") << "timeout" << "-3" << "0" << "";
    QTest::newRow("subnet high") << "subnet" << "300" << "255" << "";
    QTest::newRow("subnet low") << "subnet" << "-1" << "0" << "";
    QTest::newRow("node high") << "node" << "200" << "127" << "";
    QTest::newRow("node ok") << "node" << "127" << "127" << "";
}

void TstLonChecks::leaveField() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    TestHome home;
    ScriptedPrompts prompts;
    LonConfig c;
    c.IP = c.IPTag = "127.0.0.1";
    c.NetMask = c.NetMaskTag = "255.0.0.0";
    c.Gateway = c.GatewayTag = "127.0.0.9";
    using Leave = QString (*)(LonConfig&, const QString&);
    using Model = QString (*)(const LonConfig&);
    static const QHash<QString, QPair<Leave, Model>> fields{
        {"ip", {lonLeaveIp, [](const LonConfig& m) { return m.IP; }}},
        {"mask", {lonLeaveNetMask, [](const LonConfig& m) { return m.NetMask; }}},
        {"gateway", {lonLeaveGateway, [](const LonConfig& m) { return m.Gateway; }}},
        {"port", {lonLeavePort, [](const LonConfig& m) { return QString::number(m.Port); }}},
        {"keepalive", {lonLeaveKeepAlive, [](const LonConfig& m) { return m.tmoutKeepAlive_sec; }}},
        {"timeout", {lonLeaveAsciiTimeout, [](const LonConfig& m) { return m.Tmout_ms; }}},
        {"subnet", {lonLeaveLonSubnet, [](const LonConfig& m) { return QString::number(m.Subnet); }}},
        {"node", {lonLeaveLonNode, [](const LonConfig& m) { return QString::number(m.Node); }}}};
    QCOMPARE(fields[field].first(c, text), shown);
    QCOMPARE(fields[field].second(c), shown);
    QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{lonText(message)});
    if (!message.isEmpty()) QCOMPARE(prompts.shown().first().buttons, 1);
}
void TstLonChecks::leaveDeviceField_data() {
    QTest::addColumn<int>("addressing");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::newRow("short Neuron-ID padded") << 0 << 0 << "12AB" << "0000000012AB" << "";
    QTest::newRow("long Neuron-ID keeps its end") << 0 << 0 << "AB0102030405CD" << "0102030405CD" << "";
    QTest::newRow("Neuron-ID trimmed") << 0 << 0 << "  0102  " << "000000000102" << "";
    QTest::newRow("Neuron-ID not checked") << 0 << 0 << "zz" << "0000000000zz" << "";
    QTest::newRow("subnet 300 by Neuron-ID") << 0 << 1 << "300" << "300" << "";
    QTest::newRow("subnet 300 by subnet/node") << 1 << 1 << "300" << "4" << "Device Subnet not valid: 300";
    QTest::newRow("subnet -1 by subnet/node") << 1 << 1 << " -1 " << "4" << "Device Subnet not valid: -1";
    QTest::newRow("subnet 255 by subnet/node") << 1 << 1 << "255" << "255" << "";
    QTest::newRow("node 128 by subnet/node") << 1 << 2 << "128" << "5" << "Device Node not valid: 128";
    QTest::newRow("node 127 by subnet/node") << 1 << 2 << "127" << "127" << "";
    QTest::newRow("name trimmed") << 0 << 3 << "  Fan coil  " << "Fan coil" << "";
}

void TstLonChecks::leaveDeviceField() {
    QFETCH(int, addressing);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    TestHome home;
    ScriptedPrompts prompts;
    LonConfig c = config(2, "A-Basic");
    c.Addressing = addressing;
    c.Dispositivos[1] = {true, "000000000001", "4", "5", "Old"};
    QCOMPARE(lonLeaveDeviceField(c, 2, field, text), shown);
    const LonDevice d = c.device(2);
    QCOMPARE(field == 0 ? d.NId : field == 1 ? d.Sb : field == 2 ? d.Nd : d.Nm, shown);
    QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(c.device(1).NId, QString());  // other devices untouched
}

void TstLonChecks::validaPuntos_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QVector<QStringList>>("rows");
    QTest::addColumn<QString>("message");  // "" = passes
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    const int D = LonCol::Disp, A = LonCol::Add;
    QTest::newRow("inactive rows may share an address")
        << "A-Basic" << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 7, false), lonPointRow(1, 105, 1, "R", 7, false)}
        << "" << 0 << 0;
    QTest::newRow("inactive row with address 0")
        << "A-Basic" << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 0, false)} << "" << 0 << 0;
    QTest::newRow("device 0 on a point") << "A-Basic" << QVector<QStringList>{lonPointRow(0, 105, 0, "R", 3)}
                                         << "@SoloValoresDispositivoEntre| 1@y|2" << 4 << D;
    QTest::newRow("device beyond NDevs") << "A-Basic" << QVector<QStringList>{lonPointRow(3, 105, 0, "R", 3)}
                                         << "@SoloValoresDispositivoEntre| 1@y|2" << 4 << D;
    QTest::newRow("gateway error row skips the device test")
        << "A-Basic" << QVector<QStringList>{lonErrorRow(0, 9)} << "" << 0 << 0;
    QTest::newRow("gateway error row address tested")
        << "A-Basic" << QVector<QStringList>{lonErrorRow(0, 0)} << "@AddressDebeSerNumeroEntre| 1@y|500" << 1 << A;
    QTest::newRow("device error row tested like any row")
        << "A-Basic" << QVector<QStringList>{lonErrorRow(2, 600)} << "@AddressDebeSerNumeroEntre| 1@y|500" << 3 << A;
    QTest::newRow("address 501 on A-Basic")
        << "A-Basic" << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 501)} << "@AddressDebeSerNumeroEntre| 1@y|500"
        << 4 << A;
    QTest::newRow("address 501 on B-Extended")
        << "B-Extended" << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 501)} << "" << 0 << 0;
    QTest::newRow("address 4001 on B-Extended")
        << "B-Extended" << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 4001)}
        << "@AddressDebeSerNumeroEntre| 1@y|4000" << 4 << A;
    QTest::newRow("negative address") << "A-Basic" << QVector<QStringList>{lonPointRow(1, 105, 0, "R", -3)}
                                      << "@AddressDebeSerNumeroEntre| 1@y|500" << 4 << A;
    QTest::newRow("repeated address")
        << "A-Basic"
        << QVector<QStringList>{lonPointRow(1, 105, 0, "R", 7), lonPointRow(2, 105, 0, "R", 8),
                                lonPointRow(2, 105, 1, "R", 7)}
        << "Add:7@repetida" << 6 << A;
    QTest::newRow("error row and point share an address")
        << "A-Basic" << QVector<QStringList>{lonErrorRow(1, 5), lonPointRow(1, 105, 0, "R", 5)} << "Add:5@repetida"
        << 4 << A;
    QTest::newRow("device checked before address")
        << "A-Basic" << QVector<QStringList>{lonPointRow(5, 105, 0, "R", 0)} << "@SoloValoresDispositivoEntre| 1@y|2"
        << 4 << D;
}

void TstLonChecks::validaPuntos() {
    QFETCH(QString, version);
    QFETCH(QVector<QStringList>, rows);
    QFETCH(QString, message);
    QFETCH(int, row);
    QFETCH(int, col);
    TestHome home;
    ScriptedPrompts prompts;
    LonConfig cfg = config(2, version);
    SignalGrid grid;
    lonGrid(cfg, grid, rows);
    grid.select(1, 1, 1, 1);
    const bool ok = Valida_Puntos(cfg, grid);
    QCOMPARE(ok, message.isEmpty());
    if (ok) {
        QVERIFY(prompts.texts().isEmpty());
        return;
    }
    QCOMPARE(prompts.texts(), QStringList{lonText(message)});
    QCOMPARE(prompts.shown().first().buttons, 1);
    QCOMPARE(QVector<int>({grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}), QVector<int>({row, col, row, col}));
}

void TstLonChecks::validaPuntosRefreshesDirection() {
    TestHome home;
    LonConfig cfg = config(1, "A-Basic");
    SignalGrid grid;
    QStringList active = lonPointRow(1, 105, 0, "W", 1);
    active[13] = "R";  // direction out of line with the NV access
    QStringList inactive = lonPointRow(1, 105, 1, "W", 2, false);
    inactive[13] = "R";
    lonGrid(cfg, grid, {active, inactive});
    QVERIFY(Valida_Puntos(cfg, grid));
    QCOMPARE(grid.TextMatrix(3, LonCol::Direction), QString("W"));
    QCOMPARE(grid.TextMatrix(4, LonCol::Direction), QString("R"));
}

void TstLonChecks::validaDispositivos_data() {
    QTest::addColumn<int>("addressing");
    QTest::addColumn<QVector<LonDevice>>("devices");
    QTest::addColumn<QString>("message");
    QTest::newRow("Neuron-IDs differing in case")
        << 0 << QVector<LonDevice>{{true, "00000000ABCD", "1", "1", ""}, {true, "00000000abcd", "1", "2", ""}}
        << "Two devices have same address Neuron-ID:00000000abcd";
    QTest::newRow("same Neuron-ID, one not in use")
        << 0 << QVector<LonDevice>{{true, "00000000ABCD", "1", "1", ""}, {false, "00000000ABCD", "1", "2", ""}} << "";
    QTest::newRow("same subnet/node ignored by Neuron-ID")
        << 0 << QVector<LonDevice>{{true, "000000000001", "1", "1", ""}, {true, "000000000002", "1", "1", ""}} << "";
    QTest::newRow("same subnet/node")
        << 1
        << QVector<LonDevice>{{true, "", "1", "1", ""}, {true, "", "1", "2", ""}, {true, "", "1", "2", ""}}
        << "Two devices have same address Subnet/Node:1/2";
    QTest::newRow("subnet/node compared as stored")
        << 1 << QVector<LonDevice>{{true, "", "01", "2", ""}, {true, "", "1", "2", ""}} << "";
    QTest::newRow("same Neuron-ID ignored by subnet/node")
        << 1 << QVector<LonDevice>{{true, "0A", "1", "1", ""}, {true, "0A", "1", "2", ""}} << "";
}

void TstLonChecks::validaDispositivos() {
    QFETCH(int, addressing);
    QFETCH(QVector<LonDevice>, devices);
    QFETCH(QString, message);
    TestHome home;
    ScriptedPrompts prompts;
    LonConfig c;
    c.Addressing = addressing;
    c.NDevs = int(devices.size());
    c.Dispositivos = devices;
    QCOMPARE(Valida_Dispositivos(c), message.isEmpty());
    QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{message});
}

QTEST_GUILESS_MAIN(TstLonChecks)
#include "tst_lonchecks.moc"
