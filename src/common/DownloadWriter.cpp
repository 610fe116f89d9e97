#include "DownloadWriter.h"

#include "AnsiText.h"
#include "Numeric.h"

namespace {
const QString kOverflow = QStringLiteral("Overflow");
}

void DownloadWriter::put(qint64 v, int size, qint64 lo, qint64 hi) {
    if (v < lo || v > hi) {
        setFault(kOverflow);
        v = v < lo ? lo : hi;
    }
    const quint64 u = quint64(v);
    for (int i = 0; i < size; ++i) m_bytes.append(char((u >> (8 * i)) & 0xFF));
}

void DownloadWriter::integer(qint64 v) { put(v, 2, -32768, 32767); }
void DownloadWriter::longValue(qint64 v) { put(v, 4, -2147483648LL, 2147483647LL); }
void DownloadWriter::byte(qint64 v) { put(v, 1, 0, 255); }
void DownloadWriter::integer(double v) { integer(RedondeaPar(v)); }
void DownloadWriter::longValue(double v) { longValue(RedondeaPar(v)); }
void DownloadWriter::byte(double v) { byte(RedondeaPar(v)); }

void DownloadWriter::paddedText(const QString& text, int width) {
    QByteArray b = toAnsi(text);
    if (b.size() > width) {
        setFault(kOverflow);
        b.truncate(width);
    }
    m_bytes.append(b);
    m_bytes.append(width - int(b.size()), ' ');
}

void DownloadWriter::nulText(const QString& text, int width) {
    QByteArray b = toAnsi(text);
    b.append('\0');
    b.truncate(width);
    m_bytes.append(b);
    m_bytes.append(width - int(b.size()), ' ');
}

void DownloadWriter::hexId6(const QString& text) {
    const QString id = (text + QStringLiteral("000000000000")).left(12);
    for (int i = 0; i < 12; i += 2) byte(Val(QStringLiteral("&H") + id.mid(i, 2)));
}

QString downloadHeaderText(const QString& protocol, const QString& marker, const QDateTime& at) {
    return QStringLiteral("MEROVANTIX-ASCII-") + protocol.toUpper() + marker +
           at.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

quint32 sumaBytes(const QByteArray& content, qsizetype from) {
    quint32 sum = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(content.constData());
    for (qsizetype i = qMax<qsizetype>(from, 0), n = content.size(); i < n; ++i) sum += p[i];
    return sum;
}

quint32 checksumGuardado(const QByteArray& file) {
    if (file.size() < 4) return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(file.constData());
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

quint32 Calcula_Checksum(QByteArray& content) {
    const quint32 sum = sumaBytes(content);
    char le[4];
    for (int i = 0; i < 4; ++i) le[i] = char((sum >> (8 * i)) & 0xFF);
    content.prepend(le, 4);
    return sum;
}
