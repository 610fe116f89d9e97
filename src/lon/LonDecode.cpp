#include "LonDecode.h"

#include <QHash>

namespace {
constexpr int kMaxDevices = 128;
constexpr int kTcpBlock = 121;
const QString kNone;

// Text + NUL, blanks after it, 16 bytes: the text before the first NUL (all 16
// when none). What follows the NUL is not read by the gateway and not judged:
// a text holding a NUL of its own is written with more text after it.
QString nulText(const QByteArray& b) {
    const qsizetype nul = b.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? b : b.left(nul));
}
}  // namespace

void decodeLonBody(DownloadReader& r, DecodedDownload& d) {
    DecodedBlock lon{QStringLiteral("lon"), {}};
    const QString inBlock = QStringLiteral("the LON block");
    auto num = [&](DecodedBlock& b, const char* name, auto read) {
        const int at = r.pos();
        const qint64 v = read();
        if (!r.stopped()) b.fields.append({QString::fromLatin1(name), QString::number(v), at});
        return v;
    };
    auto byte = [&] { return qint64(r.byte(inBlock)); };
    auto integer = [&] { return qint64(r.integer(inBlock)); };
    auto longValue = [&] { return r.longValue(inBlock); };

    num(lon, "asciiLink", byte);
    expectFiller(r, d, 9, ' ', QStringLiteral("the blanks after the link byte"));
    num(lon, "subnet", byte);
    num(lon, "node", byte);
    int at = r.pos();
    const QByteArray domain = r.bytes(6, inBlock);
    if (!r.stopped())
        lon.fields.append({QStringLiteral("domainId"), QString::fromLatin1(domain.toHex()).toUpper(), at});
    num(lon, "domainLength", byte);
    num(lon, "ltaRqRpTimeout", byte);
    num(lon, "lnkTimeoutMs", integer);
    expectFiller(r, d, 2, 0, QStringLiteral("the zero Integer at 166"));
    num(lon, "lnkRetries", byte);
    num(lon, "ssResetTimeMs", integer);
    num(lon, "pollTimeout", longValue);
    num(lon, "resetTimeMs", integer);
    const int addressing = int(num(lon, "addressing", byte));
    const int gatewayError = int(num(lon, "gatewayErrorPoint", integer));
    expectFiller(r, d, 4, 0, QStringLiteral("the zero bytes at 180"));
    num(lon, "lonRetries", byte);
    num(lon, "targetSubnet", byte);
    expectFiller(r, d, 8, 0, QStringLiteral("the zero bytes at 186"));
    d.blocks.append(lon);
    if (r.stopped()) return;

    // Devices.
    at = r.pos();
    const int count = r.integer(QStringLiteral("the device count"));
    if (r.stopped()) return;
    if (count < 0 || count > kMaxDevices) return r.stop(QStringLiteral("device count %1").arg(count), at);
    QHash<int, int> errorOwner;  // error-point address -> device position
    for (int i = 1; i <= count; ++i) {
        const QString what = QStringLiteral("device record %1").arg(i);
        const QByteArray a = r.bytes(6, what);
        const int error = r.integer(what);
        if (r.stopped()) return;
        DecodedDevice dev;
        dev.position = i;
        dev.errorPoint = error;
        if (addressing == 1) {
            dev.address = QStringLiteral("subnet %1 node %2").arg(uchar(a[0])).arg(uchar(a[1]));
            if (a.mid(2) != QByteArray(4, '\0'))
                d.faults << QStringLiteral("device record %1 has address bytes after the node").arg(i);
        } else {
            dev.address = QStringLiteral("NID ") + QString::fromLatin1(a.toHex()).toUpper();
        }
        if (error != -1) errorOwner.insert(error, i);
        d.devices.append(dev);
    }

    // Network variables, one per slot.
    at = r.pos();
    d.readable = r.integer(QStringLiteral("the slot counts"));
    const int slotCount = r.integer(QStringLiteral("the slot counts"));
    if (r.stopped()) return;
    if (slotCount < 0 || d.readable < 0 || d.readable > slotCount)
        return r.stop(QStringLiteral("slot counts: %1 readable of %2").arg(d.readable).arg(slotCount), at);
    struct Variable {
        int device, nv, offset, type, filter, a, b, c, snvt, address;
        bool zero;
    };
    QVector<Variable> vars(slotCount);
    for (int k = 0; k < slotCount; ++k) {
        // Named only when the record is cut short: the reads below cannot fail then.
        if (r.left() < 17) return r.need(17, QStringLiteral("variable record %1").arg(k + 1)), void();
        const QString& what = kNone;
        Variable& v = vars[k];
        v.device = r.integer(what);
        v.nv = r.integer(what);
        v.offset = r.byte(what);
        v.type = r.byte(what);
        v.filter = r.byte(what);
        v.a = r.integer(what);
        v.b = r.integer(what);
        v.c = r.integer(what);
        v.snvt = r.integer(what);
        v.address = r.integer(what);
        v.zero = v.device == 0 && v.nv == 0 && v.offset == 0 && v.type == 0 && v.filter == 0 && v.a == 0 && v.b == 0 &&
                 v.c == 0 && v.snvt == 0 && v.address == 0;
    }

    // ASCII points, same order.
    at = r.pos();
    const int points = r.integer(QStringLiteral("the point count"));
    if (r.stopped()) return;
    if (points < 0) return r.stop(QStringLiteral("point count %1").arg(points), at);
    d.points.reserve(qMin(points, r.left() / 7));
    if (points != slotCount)
        d.faults << QStringLiteral("%1 points for %2 variable slotCount").arg(points).arg(slotCount);
    for (int k = 0; k < points; ++k) {
        if (r.left() < 7) return r.need(7, QStringLiteral("point record %1").arg(k + 1)), void();
        const QString& what = kNone;
        DecodedPoint p;
        p.address = r.integer(what);
        p.slot = r.integer(what);
        p.ad = r.byte(what);
        p.direction = r.byte(what);
        p.spontaneous = r.byte(what);
        if (p.slot == -1) {
            // An error point's own slot is left zero.
            if (k < slotCount && !vars[k].zero)
                d.faults << QStringLiteral("error point %1 (address %2) has a variable that is not zero")
                                .arg(k + 1)
                                .arg(p.address);
            if (p.address == gatewayError) {
                p.kind = PointKind::GatewayError;
                p.device = 0;
            } else {
                // A device with two error rows names only the last one's address.
                p.kind = PointKind::DeviceError;
                p.device = errorOwner.value(p.address, 0);
            }
        } else if (p.slot < 0 || p.slot >= slotCount) {
            p.kind = PointKind::Nv;
            d.faults << QStringLiteral("point %1 (address %2) links to slot %3 of %4")
                            .arg(k + 1)
                            .arg(p.address)
                            .arg(p.slot)
                            .arg(slotCount);
        } else {
            const Variable& v = vars[p.slot];
            p.kind = PointKind::Nv;
            p.device = v.device + 1;
            p.nvIndex = v.nv;
            p.offset = v.offset;
            p.dataType = v.type;
            p.filter = v.filter;
            p.a = v.a;
            p.b = v.b;
            p.c = v.c;
            p.snvt = v.snvt;
            if (v.address != p.address)
                d.faults << QStringLiteral("point %1 has address %2, its variable %3")
                                .arg(k + 1)
                                .arg(p.address)
                                .arg(v.address);
            // -1: a write point of the gateway itself (device 0).
            if (v.device < -1 || v.device >= count)
                d.faults << QStringLiteral("variable %1 belongs to device %2 of %3")
                                .arg(p.slot + 1)
                                .arg(v.device + 1)
                                .arg(count);
        }
        d.points.append(p);
    }

    // The TCP/IP block comes with the firmware whose marker is V.2.0.
    const DecodedBlock* header = d.block(QStringLiteral("header"));
    if (!header || header->value(QStringLiteral("marker")) != QLatin1String("V.2.0")) return;
    if (!r.need(kTcpBlock, QStringLiteral("the TCP/IP block"))) return;
    DecodedBlock tcp{QStringLiteral("tcpip"), {}};
    for (const char* name : {"ip", "netMask", "gateway"}) {
        at = r.pos();
        tcp.fields.append({QString::fromLatin1(name), nulText(r.bytes(16, QString())), at});
    }
    num(tcp, "port", longValue);
    num(tcp, "nagle", byte);
    num(tcp, "keepAlive", longValue);
    expectFiller(r, d, 64, 0, QStringLiteral("the zero bytes closing the TCP/IP block"));
    d.blocks.append(tcp);
}
