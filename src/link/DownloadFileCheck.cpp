#include "DownloadFileCheck.h"

#include "DownloadWriter.h"

namespace {
int u8(const QByteArray& b, qsizetype at) { return uchar(b[at]); }
int i16(const QByteArray& b, qsizetype at) { return qint16(quint16(u8(b, at) | u8(b, at + 1) << 8)); }
}  // namespace

DownloadFileCheck DownloadFileCheck::of(const QByteArray& f) {
    DownloadFileCheck c;
    constexpr qsizetype kHeader = 132;
    if (f.size() < kHeader + 60) {
        c.reason = QStringLiteral("file of %1 bytes is shorter than its header").arg(f.size());
        return c;
    }
    c.checksum = checksumGuardado(f);
    const quint32 sum = sumaBytes(f, 4);
    if (sum != c.checksum) {
        c.reason = QStringLiteral("checksum %1 stored, %2 computed")
                       .arg(QString::number(c.checksum, 16).toUpper(), QString::number(sum, 16).toUpper());
        return c;
    }
    const QByteArray head = f.mid(4, 62);
    if (!head.startsWith("MEROVANTIX-ASCII-")) {
        c.reason = QStringLiteral("header does not start with MEROVANTIX-ASCII-");
        return c;
    }
    const qsizetype dash = head.indexOf('-', 17);
    c.protocol = QString::fromLatin1(head.mid(17, dash < 0 ? -1 : dash - 17));

    auto bad = [&](const QString& why) {
        c.reason = why;
        return c;
    };
    if (c.protocol == QLatin1String("LON")) {
        qsizetype at = 194;
        if (f.size() < at + 2) return bad(QStringLiteral("file ends before the device count"));
        c.devices = i16(f, at);
        if (c.devices < 0 || c.devices > 128) return bad(QStringLiteral("device count %1").arg(c.devices));
        at += 2 + 8 * qsizetype(c.devices);
        if (at + 4 > f.size()) return bad(QStringLiteral("file ends inside the device table"));
        const int readable = i16(f, at);
        const int slotCount = i16(f, at + 2);
        at += 4;
        if (slotCount < 0 || readable < 0 || readable > slotCount)
            return bad(QStringLiteral("slot counts: %1 readable of %2").arg(readable).arg(slotCount));
        at += 17 * qsizetype(slotCount);
        if (at + 2 > f.size()) return bad(QStringLiteral("file ends inside the variable table"));
        c.points = i16(f, at);
        if (c.points != slotCount)
            return bad(QStringLiteral("%1 points for %2 slotCount").arg(c.points).arg(slotCount));
        at += 2 + 7 * qsizetype(c.points);
        if (f.size() != at && f.size() != at + 121)
            return bad(QStringLiteral("length %1, the counts give %2 or %3").arg(f.size()).arg(at).arg(at + 121));
        if (f.size() == at + 121) {
            const QByteArray ip = f.mid(at, 16);
            c.tcpIp = QString::fromLatin1(ip.left(ip.indexOf('\0') < 0 ? 16 : ip.indexOf('\0'))).trimmed();
        }
    } else if (c.protocol == QLatin1String("MBS6")) {
        qsizetype at = 186;
        c.devices = u8(f, at);
        at += 1 + c.devices;
        if (at + 2 > f.size()) return bad(QStringLiteral("file ends inside the unit table"));
        c.points = i16(f, at);
        if (c.points < 0) return bad(QStringLiteral("point count %1").arg(c.points));
        at += 2 + 8 * qsizetype(c.points);
        if (f.size() != at) return bad(QStringLiteral("length %1, the counts give %2").arg(f.size()).arg(at));
    } else {
        return bad(QStringLiteral("unknown protocol ") + c.protocol);
    }
    c.ok = true;
    return c;
}
