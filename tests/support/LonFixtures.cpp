#include "LonFixtures.h"

#include <QDir>
#include <QFile>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "LonConfig.h"
#include "LonGrid.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
const char* const kCaptions[] = {"Noo", "Disp", "SNVT", "SNVT name", "Idx", "Offset", "Data type", "a", "b",
                                 "c", "Filter", "RW", "Description", "Add", "R/W", "A/D", "Spontaneous", "Active"};

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void line(QByteArray& out, const QString& text) { out += toAnsi(text) + "\r\n"; }
}  // namespace

QStringList lonPointRow(int device, int snvt, int nvIndex, const QString& access, int address, bool active) {
    const QString dir = access == QLatin1String("W") ? "W" : access == QLatin1String("RW") ? "RW" : "R";
    return {QString::number(device),
            QString::number(snvt),
            QStringLiteral("SNVT_temp_p"),
            QString::number(nvIndex),
            QStringLiteral("0"),
            QStringLiteral("2-16bit sig"),
            QStringLiteral("1"),
            QStringLiteral("0"),
            QStringLiteral("0"),
            QString(),
            access,
            QStringLiteral("Point ") + QString::number(address),
            QString::number(address),
            dir,
            QStringLiteral("0-Ana"),
            QStringLiteral("1-Spon"),
            active ? QStringLiteral("1-Si") : QStringLiteral("0-No")};
}

QStringList lonErrorRow(int device, int address, bool active) {
    const QString desc = device == 0 ? QStringLiteral("Communication error hard") : QStringLiteral("Communication error");
    return {QString::number(device),
            QString::number(device == 0 ? -2 : -1),
            QLatin1Char('[') + desc + QLatin1Char(']'),
            QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString(),
            desc,
            address > 0 ? QString::number(address) : QString(),
            QStringLiteral("R"),
            QStringLiteral("1-Dig"),
            QStringLiteral("1-Spon"),
            active ? QStringLiteral("1-Si") : QStringLiteral("0-No")};
}

QByteArray lonDatBytes(const QVector<QStringList>& rows) {
    QByteArray out;
    out.reserve(96 * (rows.size() + 4));
    line(out, QStringLiteral("PROTOCOLO=60-LON"));
    line(out, QStringLiteral("VERSION=ASCII.1.0"));
    line(out, QStringLiteral("CAMPOS=18"));
    QString caps;
    for (const char* c : kCaptions) caps += QString::fromLatin1(c) + QLatin1Char('\t');
    line(out, caps);
    for (int r = 0; r < rows.size(); ++r) {
        QString t = QString::number(r + 1) + QLatin1Char('\t');
        for (const QString& c : rows[r]) t += c + QLatin1Char('\t');
        line(out, t);
    }
    return out;
}

QByteArray lonIniBytes(const LonFixture& f) {
    QList<QStringList> keys;  // (section, key, value) in the editor's saving order
    auto add = [&](const char* section, const QString& key, const QString& value) {
        keys.append({QString::fromLatin1(section), key, value});
    };
    add("LON", "Domain", "0A");
    add("LON", "LenDomain", "1");
    add("LON", "Subnet", "1");
    add("LON", "Node", "1");
    add("LON", "Addressing", QString::number(f.addressing));
    add("LON", "TimeoutPoll", "100");
    add("LON", "NDevs", QString::number(f.devices.size()));
    for (int i = 0; i < f.devices.size(); ++i) {
        const LonFixtureDevice& d = f.devices[i];
        const QString p = QLatin1Char('D') + QString::number(i + 1);
        add("LON", p + "-On", d.on ? "1" : "0");
        add("LON", p + "-NId", d.nid);
        add("LON", p + "-Sb", d.subnet);
        add("LON", p + "-Nd", d.node.isEmpty() ? QString::number(i + 1) : d.node);
        add("LON", p + "-Nm", d.name);
    }
    add("ASCII", "Baudios", "4 (9600)");
    add("ASCII", "Bits", "0 (8)");
    add("ASCII", "Paridad", "0 (none-1stop)");
    add("ASCII", "Tmout_ms", "1000");
    add("ASCII", "SendACK", "0");
    add("ASCII", "GatewayVersion", f.version);
    add("ASCII", "IP", "127.0.0.1");
    add("ASCII", "NetMask", "255.0.0.0");
    add("ASCII", "Gateway", "");
    add("ASCII", "Port", "5000");
    add("ASCII", "Nagle", "0");
    add("ASCII", "tmoutKeepAlive_sec", "30");
    add("ASCII", "RS_TCP", "1 (ASCII TCP)");
    add("ASCII", "FwVersion", f.firmware);
    for (const QStringList& k : f.keys) {
        bool replaced = false;
        for (QStringList& e : keys)
            if (e[0] == k.value(0) && e[1] == k.value(1)) e[2] = k.value(2), replaced = true;
        if (!replaced) keys.append({k.value(0), k.value(1), k.value(2)});
    }
    QByteArray out;
    for (const char* section : {"LON", "ASCII"}) {
        line(out, QLatin1Char('[') + QString::fromLatin1(section) + QLatin1Char(']'));
        for (const QStringList& e : keys)
            if (e[0] == QLatin1String(section)) line(out, e[1] + QLatin1Char('=') + e[2]);
    }
    return out;
}

bool writeLonFixture(const QString& folder, const LonFixture& f) {
    QDir().mkpath(folder);
    const QDir d(folder);
    bool ok = writeFile(d.filePath("Project.ini"), "[Project]\r\nProt=LON\r\nDesc=Test project\r\n");
    if (f.writeIni) ok = writeFile(d.filePath("LON.ini"), lonIniBytes(f)) && ok;
    if (f.writeDat) ok = writeFile(d.filePath("LON.dat"), lonDatBytes(f.rows)) && ok;
    return ok;
}

LonFixture largeLonFixture(int devices, int points, const QString& version, const QString& firmware, bool errorRows) {
    LonFixture f;
    f.version = version;
    f.firmware = firmware;
    for (int n = 1; n <= devices; ++n) {
        LonFixtureDevice d;
        d.nid = QStringLiteral("%1").arg(n, 12, 16, QLatin1Char('0')).toUpper();
        d.name = QStringLiteral("Device %1").arg(n);
        f.devices.append(d);
    }
    f.rows.reserve(points);
    int address = 1;
    if (errorRows) {
        f.rows.append(lonErrorRow(0, address++));
        for (int n = 1; n <= devices && address <= points; ++n) f.rows.append(lonErrorRow(n, address++));
    }
    for (int k = 0; address <= points; ++k, ++address) {
        const int dev = devices > 0 ? k % devices + 1 : 0;
        const QString access = k % 10 == 9 ? "W" : k % 10 == 8 ? "RW" : "R";
        f.rows.append(lonPointRow(dev, 105, k / qMax(devices, 1), access, address));
    }
    return f;
}

QByteArray le16(int v) {
    QByteArray b(2, '\0');
    b[0] = char(v & 0xFF);
    b[1] = char((v >> 8) & 0xFF);
    return b;
}

QByteArray le32(qint64 v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = char((quint64(v) >> (8 * i)) & 0xFF);
    return b;
}

LonConfig lonConfig(int devices, const QString& version, const QString& firmware) {
    LonConfig c;
    c.NDevs = devices;
    c.Dispositivos.resize(qMax(devices, 0));
    for (int n = 1; n <= devices; ++n)
        c.Dispositivos[n - 1] = {true, QStringLiteral("%1").arg(n, 12, 16, QLatin1Char('0')), "1", QString::number(n), ""};
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

QString useLonProject(const QString& dir, const QByteArray& ini) {
    QDir().mkpath(dir);
    if (!ini.isNull()) writeFile(dir + "/LON.ini", ini);
    app().RutaProyecto = dir;
    app().NombreIni = QStringLiteral("LON");
    return dir;
}

LonFileView decodeLonDownload(const QByteArray& f) {
    LonFileView d;
    int p = 0;
    auto field = [&](int size) {
        int v = 0;
        for (int i = 0; i < size; ++i) v |= int(p < f.size() ? quint8(f[p]) : 0) << (8 * i), ++p;
        return size == 2 ? int(qint16(v)) : v;
    };
    auto record = [&](const char* layout) {
        QVector<int> r;
        for (const char* c = layout; *c; ++c) r << field(*c - '0');
        return r;
    };
    d.checksum = quint32(field(4));
    for (int i = 4; i < f.size(); ++i) d.sum += quint8(f[i]);
    p = 178;
    d.gatewayErrorPoint = field(2);
    p = 184;
    d.lonRetries = field(1);
    p = 194;
    for (int i = field(2); i > 0; --i) {
        d.deviceAddress << f.mid(p, 6);
        p += 6;
        d.deviceErrorPoint << field(2);
    }
    d.readable = field(2);
    for (int i = field(2); i > 0; --i) d.variables << record("2211122222");
    for (int i = field(2); i > 0; --i) d.points << record("22111");
    d.tcp = f.mid(p);
    d.ok = p <= f.size() && d.points.size() == d.variables.size();
    return d;
}

QString lonText(const QString& message) {
    QString out;
    for (const QString& piece : message.split('|')) {
        const int at = piece.indexOf('@');
        out += at < 0 ? piece : piece.left(at) + Texto(piece.mid(at + 1));
    }
    return out;
}
