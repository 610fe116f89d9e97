#include "DownloadDecode.h"

#include "AnsiText.h"
#include "DownloadWriter.h"

QString DecodedBlock::value(const QString& field) const {
    for (const DecodedField& f : fields)
        if (f.name == field) return f.value;
    return QString();
}

const DecodedBlock* DecodedDownload::block(const QString& name) const {
    for (const DecodedBlock& b : blocks)
        if (b.name == name) return &b;
    return nullptr;
}

const char* pointKindName(PointKind kind) {
    switch (kind) {
        case PointKind::Nv:
            return "nv";
        case PointKind::DeviceError:
            return "device-error";
        case PointKind::GatewayError:
            return "gateway-error";
        case PointKind::Point:
            break;
    }
    return "point";
}

bool DownloadReader::cannot(int n, const QString& what) {
    if (m_stopped) return false;
    if (n < 0 || n > left()) {
        stop(QStringLiteral("file ends inside ") + what);
        return false;
    }
    return true;
}

void DownloadReader::stop(const QString& why, int at) {
    if (m_stopped) return;
    m_stopped = true;
    m_stopAt = at < 0 ? m_pos : at;
    m_what = why;
}

qint64 DownloadReader::longValue(const QString& what) {
    if (!need(4, what)) return 0;
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) v |= quint32(uchar(m_b[m_pos + i])) << (8 * i);
    m_pos += 4;
    return qint32(v);
}

QByteArray DownloadReader::bytes(int n, const QString& what) {
    if (!need(n, what)) return QByteArray();
    const QByteArray b = m_b.mid(m_pos, n);
    m_pos += n;
    return b;
}

void expectFiller(DownloadReader& r, DecodedDownload& d, int n, char expected, const QString& what) {
    const int at = r.pos();
    const QByteArray b = r.bytes(n, what);
    if (r.stopped()) return;
    if (b != QByteArray(n, expected))
        d.faults << QStringLiteral("%1 at offset %2 holds %3").arg(what).arg(at).arg(QString::fromLatin1(b.toHex(' ')));
}

void finishDecode(DownloadReader& r, DecodedDownload& d) {
    if (r.stopped()) {
        d.complete = false;
        d.stopOffset = r.stopAt();
        d.stopReason = r.what();
    } else if (r.left() > 0) {
        d.complete = true;
        d.faults << QStringLiteral("%1 bytes after the end at offset %2").arg(r.left()).arg(r.pos());
    } else {
        d.complete = true;
    }
}

void decodeDownloadFrame(DownloadReader& r, const QByteArray& file, DecodedDownload& d) {
    d.size = file.size();
    d.storedChecksum = quint32(r.longValue(QStringLiteral("the checksum")));
    const quint32 sum = sumaBytes(file, 4);
    d.computedChecksum = sum;
    if (r.stopped()) return;
    d.checksumOk = sum == d.storedChecksum;
    if (!d.checksumOk)
        d.faults << QStringLiteral("checksum %1 stored, %2 computed")
                        .arg(QString::number(d.storedChecksum, 16).toUpper(), QString::number(sum, 16).toUpper());

    const QByteArray head = r.bytes(62, QStringLiteral("the header text"));
    if (r.stopped()) return;
    const QByteArray kMagic = QByteArrayLiteral("MEROVANTIX-ASCII-");
    if (!head.startsWith(kMagic)) {
        r.stop(QStringLiteral("the header does not start with MEROVANTIX-ASCII-"), 4);
        return;
    }
    // "MEROVANTIX-ASCII-" protocol "-V.n.n " "yyyy/mm/dd hh:nn:ss", blanks to 62.
    const QString text = fromAnsi(head);
    const int dash = int(text.indexOf(QLatin1Char('-'), kMagic.size()));
    const int blank = dash < 0 ? -1 : int(text.indexOf(QLatin1Char(' '), dash));
    if (dash < 0 || blank < 0) {
        r.stop(QStringLiteral("the header has no version marker"), 4 + kMagic.size());
        return;
    }
    d.protocol = text.mid(kMagic.size(), dash - kMagic.size());
    DecodedBlock header{QStringLiteral("header"), {}};
    header.fields.append({QStringLiteral("protocol"), d.protocol, 4 + int(kMagic.size())});
    header.fields.append({QStringLiteral("marker"), text.mid(dash + 1, blank - dash - 1), 4 + dash});
    header.fields.append({QStringLiteral("generated"), text.mid(blank + 1).trimmed(), 4 + blank + 1});
    d.blocks.append(header);

    const QByteArray crlf = r.bytes(2, QStringLiteral("the header's line end"));
    if (!r.stopped() && crlf != "\r\n") d.faults << QStringLiteral("no CR LF after the header text at offset 66");
    expectFiller(r, d, 64, ' ', QStringLiteral("the blank line"));
    if (r.stopped()) return;

    DecodedBlock serial{QStringLiteral("serial"), {}};
    auto num = [&](const char* name, qint64 v, int at) {
        if (!r.stopped()) serial.fields.append({QString::fromLatin1(name), QString::number(v), at});
    };
    int at = r.pos();
    num("baud", r.longValue(QStringLiteral("the serial block")), at);
    at = r.pos();
    num("dataBits", r.byte(QStringLiteral("the serial block")), at);
    at = r.pos();
    num("parity", r.byte(QStringLiteral("the serial block")), at);
    at = r.pos();
    num("asciiTimeout", r.longValue(QStringLiteral("the serial block")), at);
    at = r.pos();
    num("sendOk", r.byte(QStringLiteral("the serial block")), at);
    expectFiller(r, d, 1, 1, QStringLiteral("the byte after the serial block"));
    d.blocks.append(serial);
}
