// Building blocks of the gateways' binary download files: little-endian fields
// that remember the first value that did not fit, the header text, and the
// checksum put in front of the finished content.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class DownloadWriter {
public:
    explicit DownloadWriter(int reserve = 0) { m_bytes.reserve(reserve); }

    // Signed 16-bit ("Integer"), signed 32-bit ("Long"), unsigned 8-bit ("Byte").
    // A value outside the field's range is written clamped and recorded as a
    // fault; the layout never shifts.
    void integer(qint64 v);
    void longValue(qint64 v);
    void byte(qint64 v);
    // Rounds to nearest, ties to even, first (the numeric reading of cells).
    void integer(double v);
    void longValue(double v);
    void byte(double v);
    void zeros(int n) { m_bytes.append(n, '\0'); }
    void spaces(int n) { m_bytes.append(n, ' '); }
    void raw(const QByteArray& b) { m_bytes.append(b); }
    // Text as Windows-1252 bytes, padded with blanks to `width`; a longer text is
    // cut and recorded as a fault.
    void paddedText(const QString& text, int width);
    // Text + one NUL, padded with blanks to `width`, cut at `width` (no NUL then).
    void nulText(const QString& text, int width);
    // Six bytes from up to twelve hexadecimal digits, zero-padded on the right
    // ("0102" -> 01 02 00 00 00 00). Each pair reads as "&H" + pair.
    void hexId6(const QString& text);

    const QByteArray& bytes() const { return m_bytes; }
    QByteArray& bytes() { return m_bytes; }
    int size() const { return int(m_bytes.size()); }
    bool faulted() const { return !m_fault.isEmpty(); }
    // Description of the first fault ("Overflow"), empty when none.
    const QString& fault() const { return m_fault; }
    void setFault(const QString& description) {
        if (m_fault.isEmpty()) m_fault = description;
    }

private:
    void put(qint64 v, int size, qint64 lo, qint64 hi);
    QByteArray m_bytes;
    QString m_fault;
};

// "MEROVANTIX-ASCII-" + protocol in upper case + marker ("-V.1.0 " / "-V.2.0 ")
// + "yyyy/mm/dd hh:nn:ss".
QString downloadHeaderText(const QString& protocol, const QString& marker, const QDateTime& at);

// Sum of the bytes from `from` on as unsigned values, 32 bits, starting from 0.
quint32 sumaBytes(const QByteArray& content, qsizetype from = 0);
// The checksum a finished file carries in its first 4 bytes (little-endian); 0 when it is shorter.
quint32 checksumGuardado(const QByteArray& file);
// Puts the checksum of `content` in front of it (4 bytes, little-endian) and
// returns it: the file grows by 4 bytes and its content moves to offset 4.
quint32 Calcula_Checksum(QByteArray& content);
