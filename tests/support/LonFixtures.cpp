#include "LonFixtures.h"

#include "AppGlobals.h"
#include "LonConfig.h"
#include "LonGrid.h"
#include "ModulConfASCII.h"
#include "SenyalesMonitor.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

QStringList lonPointRow(int device, int snvt, int nvIndex, const QString& access, int address, bool active) {
    const QString dir = access == QLatin1String("W") || access == QLatin1String("RW") ? access : QStringLiteral("R");
    return QStringLiteral("%1\t%2\tSNVT_temp_p\t%3\t0\t2-16bit sig\t1\t0\t0\t\t%4\tPoint %5\t%5\t%6\t0-Ana\t1-Spon\t%7")
        .arg(QString::number(device), QString::number(snvt), QString::number(nvIndex), access, QString::number(address),
             dir, QString(active ? "1-Si" : "0-No"))
        .split('\t');
}

QStringList lonErrorRow(int device, int address, bool active) {
    const QString desc = device == 0 ? "Communication error hard" : "Communication error";
    return QStringLiteral("%1\t%2\t[%3]\t\t\t\t\t\t\t\t\t%3\t%4\tR\t1-Dig\t1-Spon\t%5")
        .arg(QString::number(device), QString::number(device == 0 ? -2 : -1), desc,
             address > 0 ? QString::number(address) : QString(), QString(active ? "1-Si" : "0-No"))
        .split('\t');
}

QByteArray lonIniBytes(const LonFixture& f) {
    QStringList lon = QStringLiteral("[LON]|Domain=0A|LenDomain=1|Subnet=1|Node=1").split('|');
    lon << QStringLiteral("Addressing=%1").arg(f.addressing) << "TimeoutPoll=100"
        << QStringLiteral("NDevs=%1").arg(f.devices.size());
    for (int i = 0; i < f.devices.size(); ++i) {
        const LonFixtureDevice& d = f.devices[i];
        const QString p = QStringLiteral("D%1-").arg(i + 1);
        lon << p + "On=" + (d.on ? "1" : "0") << p + "NId=" + d.nid << p + "Sb=" + d.subnet
            << p + "Nd=" + (d.node.isEmpty() ? QString::number(i + 1) : d.node) << p + "Nm=" + d.name;
    }
    QStringList ascii =
        QStringLiteral("[ASCII]|Baudios=4 (9600)|Bits=0 (8)|Paridad=0 (none-1stop)|Tmout_ms=1000|SendACK=0").split('|');
    ascii
        << "GatewayVersion=" + f.version
        << QStringLiteral("IP=127.0.0.1|NetMask=255.0.0.0|Gateway=|Port=5000|Nagle=0|tmoutKeepAlive_sec=30").split('|')
        << "RS_TCP=1 (ASCII TCP)"
        << "FwVersion=" + f.firmware;
    for (const QStringList& k : f.keys) {
        QStringList& s = k.value(0) == QLatin1String("LON") ? lon : ascii;
        const int at = int(s.indexOf(QRegularExpression(QRegularExpression::escape(k.value(1)) + "=.*")));
        if (at > 0)
            s[at] = k.value(1) + "=" + k.value(2);
        else
            s << k.value(1) + "=" + k.value(2);
    }
    return crlf(lon + ascii);
}

bool writeLonFixture(const QString& folder, const LonFixture& f) {
    QDir().mkpath(folder);
    const QDir d(folder);
    bool ok = writeAll(d.filePath("Project.ini"), "[Project]\r\nProt=LON\r\nDesc=Test project\r\n");
    if (f.writeIni) ok = writeAll(d.filePath("LON.ini"), lonIniBytes(f)) && ok;
    QStringList dat{
        "PROTOCOLO=60-LON", "VERSION=ASCII.1.0", "CAMPOS=18",
        "Noo\tDisp\tSNVT\tSNVT name\tIdx\tOffset\tData type\ta\tb\tc\tFilter\tRW\tDescription\tAdd\tR/W\tA/D\t"
        "Spontaneous\tActive\t"};
    for (int r = 0; r < f.rows.size(); ++r) dat << QString::number(r + 1) + "\t" + f.rows[r].join('\t') + "\t";
    if (f.writeDat) ok = writeAll(d.filePath("LON.dat"), crlf(dat)) && ok;
    return ok;
}

LonFixture largeLonFixture(int devices, int points, const QString& version, const QString& firmware, bool errorRows) {
    LonFixture f;
    f.version = version;
    f.firmware = firmware;
    for (int n = 1; n <= devices; ++n)
        f.devices.append({true, QStringLiteral("%1").arg(n, 12, 16, QLatin1Char('0')).toUpper(), "1", "",
                          QStringLiteral("Device %1").arg(n)});
    f.rows.reserve(points);
    int address = 1;
    if (errorRows) {
        f.rows.append(lonErrorRow(0, address++));
        for (int n = 1; n <= devices && address <= points; ++n) f.rows.append(lonErrorRow(n, address++));
    }
    for (int k = 0; address <= points; ++k, ++address) {
        const QString access = k % 10 == 9 ? "W" : k % 10 == 8 ? "RW" : "R";
        f.rows.append(lonPointRow(devices > 0 ? k % devices + 1 : 0, 105, k / qMax(devices, 1), access, address));
    }
    return f;
}

QByteArray le16(int v) { return le32(v).left(2); }

QByteArray le32(qint64 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(quint32(v), b.data());
    return b;
}

LonConfig lonConfig(int devices, const QString& version, const QString& firmware) {
    LonConfig c;
    c.NDevs = devices;
    c.Dispositivos.resize(qMax(devices, 0));
    for (int n = 1; n <= devices; ++n)
        c.Dispositivos[n - 1] = {true, QStringLiteral("%1").arg(n, 12, 16, QLatin1Char('0')), "1", QString::number(n),
                                 ""};
    c.GatewayVersion = version;
    c.FwVersion = firmware;
    c.IP = QStringLiteral("127.0.0.1");
    return c;
}

int lonGrid(const LonConfig& cfg, SignalGrid& grid, const QVector<QStringList>& rows) {
    QVector<InfoColumna> info;
    Carga_CabecerasLon(grid, info, cfg);
    const auto builtIn = CreaFilasInternas(grid, cfg);
    TablaSenyales t;
    t.reset(17);
    for (const QStringList& cells : rows) {
        const int r = t.addRow();
        for (int c = 0; c < cells.size() && c < 17; ++c) t.setCell(c + 1, r, cells[c]);
    }
    return LlenaGridLon(grid, builtIn, t);
}

bool loadLonSignals(const QString& folder, const QVector<QStringList>& rows, const QList<bool>& devices) {
    LonFixture f;
    for (bool on : devices)
        f.devices << LonFixtureDevice{
            on, QString::number(0x14A2C31B0001 + f.devices.size(), 16).toUpper(), "1", {}, "Boiler"};
    f.rows = rows;
    app().RutaProyecto = folder;
    return writeLonFixture(folder, f) && (Carga_DatosMFAPilmora(QStringLiteral("LON")), true);
}

QString useLonProject(const QString& dir, const QByteArray& ini) {
    QDir().mkpath(dir);
    if (!ini.isNull()) writeAll(dir + "/LON.ini", ini);
    app().RutaProyecto = dir;
    app().NombreIni = QStringLiteral("LON");
    return dir;
}
