#include "LonConfig.h"

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {
const QString kSecLon = QStringLiteral("LON");
const QString kSecAscii = QStringLiteral("ASCII");

QString devKey(int n, const char* suffix) { return QLatin1Char('D') + QString::number(n) + QLatin1String(suffix); }

}  // namespace

const QStringList& LonConfig::baudItems() {
    static const QStringList l{"600", "1200", "2400", "4800", "9600", "19200", "38400", "57600"};
    return l;
}
const QStringList& LonConfig::lenDomainItems() {
    static const QStringList l{"1", "3", "6"};
    return l;
}
const QStringList& LonConfig::versionItems() {
    static const QStringList l{"A-Basic", "B-Extended"};
    return l;
}
const QStringList& LonConfig::firmwareItems() {
    static const QStringList l{"V.3.1.0", "V.43.1.x"};
    return l;
}
const QStringList& LonConfig::rsTcpCaptions() {
    static const QStringList l{"ASCII RS232", "ASCII TCP"};
    return l;
}
const QStringList& LonConfig::addressingCaptions() {
    static const QStringList l{"Neuron ID", "Subnet/Node"};
    return l;
}

LonConfig::LonConfig() {
    Dispositivos.resize(1);
    Dispositivos[0].Nd = QStringLiteral("1");
    IPTag = IP;
    NetMaskTag = NetMask;
    GatewayTag = Gateway;
}

int LonConfig::maxDevicesFor(const QString& version) { return version.startsWith(QLatin1Char('A')) ? 64 : 128; }
int LonConfig::maxAddressFor(const QString& version) { return version.startsWith(QLatin1Char('A')) ? 500 : 4000; }
int LonConfig::maxDevices() const { return maxDevicesFor(GatewayVersion); }
int LonConfig::maxAddress() const { return maxAddressFor(GatewayVersion); }

QString LonConfig::captionText() const {
    return QStringLiteral("LON ") + Texto("Configuracion") + QStringLiteral(" - Max.Lon ") + Texto("Dispositivos") +
           QLatin1Char(':') + QString::number(maxDevices()) + QStringLiteral(" Max.Regs.ASCII:") +
           QString::number(maxAddress());
}

void LonConfig::setGatewayVersion(const QString& version) {
    GatewayVersion = version;
    markConnectionChanged();
}

int LonConfig::firmwareIndexFor(const QString& text) {
    return text.trimmed().compare(firmwareItems()[0], Qt::CaseInsensitive) == 0 ? kFirmwareSerialOnly : kFirmwareTcp;
}
int LonConfig::firmwareIndex() const { return firmwareIndexFor(FwVersion); }

void LonConfig::setFwVersion(const QString& version) {
    FwVersion = version;
    if (firmwareIndex() == kFirmwareSerialOnly) RS_TCP = 0;  // the old firmware has no TCP server
    markConnectionChanged();
}

QString LonConfig::baudText() const { return itemOf(baudItems(), Baudios); }

QString LonConfig::encodeRsTcp() const {
    const int i = RS_TCP != 0 ? 1 : 0;
    return QString::number(i) + QStringLiteral(" (") + rsTcpCaptions()[i] + QLatin1Char(')');
}

QString LonConfig::deviceListText(int n) { return Texto("Dispositivo") + QString::number(n); }

LonDevice LonConfig::device(int n) const {
    return (n >= 1 && n <= Dispositivos.size()) ? Dispositivos[n - 1] : LonDevice();
}

LonDevice* LonConfig::devicePtr(int n) { return (n >= 1 && n <= Dispositivos.size()) ? &Dispositivos[n - 1] : nullptr; }

void LonConfig::Carga_ConfLon() {
    Domain = LeeIni(kSecLon, "Domain", "");
    LenDomain = LeeIni(kSecLon, "LenDomain", "1");
    Subnet = LeeIniEntero(kSecLon, "Subnet", 1);
    Node = LeeIniEntero(kSecLon, "Node", 1);
    // Only option 1 exists besides 0; any other stored value selects neither and saves as 0.
    Addressing = LeeIniEntero(kSecLon, "Addressing", 0) == 1 ? 1 : 0;
    TimeoutPoll = LeeIni(kSecLon, "TimeoutPoll", "100");
    // The stored version is applied only later, so the cut is the larger limit.
    const qint32 stored = LeeIniEntero(kSecLon, "NDevs", 1);
    NDevs = qMin(stored, qint32(kMaxDevicesStored));
    // Devices cut here would be gone after a save: the old file is kept aside then.
    // (Reading the file has already marked it when it was damaged; that mark stays.)
    if (stored > NDevs) markLossyLoad(rutaIniProyecto(kSecLon));

    Dispositivos.clear();
    Dispositivos.resize(qMax(NDevs, 0));
    for (int n = 1; n <= NDevs; ++n) {
        LonDevice& d = Dispositivos[n - 1];
        d.On = LeeIniEntero(kSecLon, devKey(n, "-On"), 0) != 0;
        d.NId = LeeIni(kSecLon, devKey(n, "-NId"), "");
        d.Sb = QString::number(LeeIniEntero(kSecLon, devKey(n, "-Sb"), 1));
        d.Nd = QString::number(LeeIniEntero(kSecLon, devKey(n, "-Nd"), n));
        d.Nm = LeeIni(kSecLon, devKey(n, "-Nm"), "");
    }
    currentDevice = Dispositivos.isEmpty() ? 0 : 1;

    readSerialKeys(baudItems());
    GatewayVersion = LeeIni(kSecAscii, "GatewayVersion", versionItems()[0]);
    IP = IPTag = LeeIni(kSecAscii, "IP", "192.168.100.246");
    NetMask = NetMaskTag = LeeIni(kSecAscii, "NetMask", "255.255.255.0");
    Gateway = GatewayTag = LeeIni(kSecAscii, "Gateway", "");
    Port = PortTag = LeeIniEntero(kSecAscii, "Port", 5000);
    Nagle = LeeIni(kSecAscii, "Nagle", "0");
    tmoutKeepAlive_sec = LeeIni(kSecAscii, "tmoutKeepAlive_sec", "30");
    RS_TCP = LeeIniEntero(kSecAscii, "RS_TCP", 0) != 0 ? 1 : 0;
    FwVersion = LeeIni(kSecAscii, "FwVersion", firmwareItems()[1]);
    if (firmwareIndex() == kFirmwareSerialOnly) RS_TCP = 0;

    connectionChanged = false;
    gridChanged = false;
}

void LonConfig::Graba_ConfLon() const {
    EscribeIni(kSecLon, "Domain", Domain);
    EscribeIni(kSecLon, "LenDomain", LenDomain);
    EscribeIni(kSecLon, "Subnet", QString::number(Subnet));
    EscribeIni(kSecLon, "Node", QString::number(Node));
    EscribeIni(kSecLon, "Addressing", Addressing == 1 ? "1" : "0");
    EscribeIni(kSecLon, "TimeoutPoll", TimeoutPoll);
    EscribeIni(kSecLon, "NDevs", QString::number(NDevs));
    for (int n = 1; n <= Dispositivos.size(); ++n) {
        const LonDevice& d = Dispositivos[n - 1];
        EscribeIni(kSecLon, devKey(n, "-On"), d.On ? "1" : "0");
        EscribeIni(kSecLon, devKey(n, "-NId"), d.NId);
        EscribeIni(kSecLon, devKey(n, "-Sb"), d.Sb);
        EscribeIni(kSecLon, devKey(n, "-Nd"), d.Nd);
        EscribeIni(kSecLon, devKey(n, "-Nm"), d.Nm);
    }
    writeSerialKeys(baudItems());
    EscribeIni(kSecAscii, "GatewayVersion", GatewayVersion);
    EscribeIni(kSecAscii, "IP", IP);
    EscribeIni(kSecAscii, "NetMask", NetMask);
    EscribeIni(kSecAscii, "Gateway", Gateway);
    EscribeIni(kSecAscii, "Port", QString::number(Port));
    EscribeIni(kSecAscii, "Nagle", Nagle);
    EscribeIni(kSecAscii, "tmoutKeepAlive_sec", tmoutKeepAlive_sec);
    EscribeIni(kSecAscii, "RS_TCP", encodeRsTcp());
    EscribeIni(kSecAscii, "FwVersion", FwVersion);
}

bool LonConfig::PideNumeroDispositivos() {
    if (connectionChanged || gridChanged) {
        Aviso(Texto("PrimeroDebeGrabarLosCambios"));
        return false;
    }
    const QString answer = PideDato(Texto("NumeroDispositivos"), Texto("Inndisp"), QString::number(NDevs));
    // Only a number counts ("3abc" is not one).
    bool numeric = false;
    const double value = answer.trimmed().toDouble(&numeric);
    const qint32 n = numeric ? CLng(value) : 0;
    if (n <= 0 || n == NDevs) return false;
    if (n > maxDevices()) {
        Aviso(Texto("NDispNoval") + QStringLiteral(". Max:") + QString::number(maxDevices()));
        return false;
    }
    EscribeIni(kSecLon, "NDevs", QString::number(n));
    Aviso(Texto("MbusEstecambioaf"));
    return true;
}
