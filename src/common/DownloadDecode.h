// Reading a gateway download file back: the frame every file shares (checksum
// in front, header text, serial block) and the model both gateways' decoders
// fill. Field names are fixed identifiers (the same in every language and in
// the JSON output), so other tools and the comparison can rely on them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// One header or block field: its identifier, its value as text, where it lies.
struct DecodedField {
    QString name;
    QString value;
    int offset = 0;
};

// A block of fields under one identifier ("header", "serial", "lon", "bus", "tcpip").
struct DecodedBlock {
    QString name;
    QVector<DecodedField> fields;
    QString value(const QString& field) const;
};

// One device record. LON: address bytes as the addressing mode reads them and
// the communication-error point; MBS6: the unit number.
struct DecodedDevice {
    int position = 0;  // 1-based place in the file's device table
    QString address;   // LON: "NID 010203040506" or "subnet 1 node 2"; MBS6: unit number
    int errorPoint = -1;
};

// What an ASCII point is: a network variable, a device's or the gateway's
// communication error (LON), or an MBS6 point.
enum class PointKind { Nv, DeviceError, GatewayError, Point };
// "nv", "device-error", "gateway-error", "point".
const char* pointKindName(PointKind kind);

// One ASCII point with the network variable it reads or writes (LON). Values
// that a protocol does not have stay -1 / 0. A plain struct: thousands of them
// are printed and compared at a time.
struct DecodedPoint {
    int address = 0;
    int device = 0;  // LON: device position (0 the gateway); MBS6: unit number (0 broadcast)
    PointKind kind = PointKind::Nv;
    int nvIndex = -1, offset = -1, dataType = -1, filter = -1, a = 0, b = 0, c = 0, snvt = 0;
    int ad = 0, direction = 0, spontaneous = 0;
    int slot = -1;  // LON: 0-based variable slot the point links to
};

struct DecodedDownload {
    QString protocol;  // "LON" or "MBS6" (from the header text), empty when unknown
    qint64 size = 0;
    quint32 storedChecksum = 0, computedChecksum = 0;
    bool checksumOk = false;
    bool complete = false;  // read to the end with every count agreeing
    int stopOffset = -1;    // where reading stopped, when it did
    QString stopReason;     // why (plain English identifiers: the file's own terms)
    QStringList faults;     // damage found without stopping (checksum, stray bytes, broken links)
    QVector<DecodedBlock> blocks;
    QVector<DecodedDevice> devices;
    QVector<DecodedPoint> points;
    int readable = -1;  // LON: readable slots, first in the table

    bool damaged() const { return !complete || !faults.isEmpty(); }
    const DecodedBlock* block(const QString& name) const;
};

// Little-endian reads that never pass the end: a read beyond it marks the
// reader stopped (with the offset and what was being read) and yields 0.
class DownloadReader {
public:
    explicit DownloadReader(const QByteArray& bytes) : m_b(bytes) {}
    int pos() const { return m_pos; }
    int size() const { return int(m_b.size()); }
    int left() const { return size() - m_pos; }
    bool stopped() const { return m_stopped; }
    const QString& what() const { return m_what; }
    int stopAt() const { return m_stopAt; }
    // Takes `n` bytes for `what`; false (and stopped) when fewer are left.
    // Inline: a large file is some 60,000 reads.
    bool need(int n, const QString& what) { return (!m_stopped && n >= 0 && n <= left()) || cannot(n, what); }
    void stop(const QString& why, int at = -1);
    int byte(const QString& what) { return need(1, what) ? uchar(m_b[m_pos++]) : 0; }
    int integer(const QString& what) {  // signed 16-bit
        if (!need(2, what)) return 0;
        const int v = qint16(quint16(uchar(m_b[m_pos]) | uchar(m_b[m_pos + 1]) << 8));
        m_pos += 2;
        return v;
    }
    qint64 longValue(const QString& what);  // signed 32-bit
    QByteArray bytes(int n, const QString& what);

private:
    bool cannot(int n, const QString& what);
    const QByteArray& m_b;
    int m_pos = 0;
    bool m_stopped = false;
    int m_stopAt = -1;
    QString m_what;
};

// Reads the frame: checksum, header text (protocol, version marker, date) and
// the serial block at 132..143. Returns the reader positioned at 144, or
// stopped. Fills protocol, checksums and the "header" and "serial" blocks.
void decodeDownloadFrame(DownloadReader& r, const QByteArray& file, DecodedDownload& d);
// Records where and why the reader stopped, when it did.
void finishDecode(DownloadReader& r, DecodedDownload& d);
// Bytes that should hold `expected` (the generators' fixed filler): a fault when not.
void expectFiller(DownloadReader& r, DecodedDownload& d, int n, char expected, const QString& what);
