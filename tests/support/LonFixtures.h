// LON projects for tests and benchmarks: written to disk exactly as the editor
// saves them (Project.ini, LON.ini, LON.dat; CR LF, Windows-1252), from a small
// description or generated at any size.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtTest>

// A table's columns in one line: lonColumns<int, QString>("row", "text").
template <class... T, class... Name>
void lonColumns(const Name&... names) {
    (QTest::addColumn<T>(names), ...);
}

struct LonFixtureDevice {
    bool on = true;
    QString nid;
    QString subnet = QStringLiteral("1");
    QString node;  // empty: the device number
    QString name;
};

struct LonFixture {
    QString version = QStringLiteral("B-Extended");
    QString firmware = QStringLiteral("V.43.1.x");
    int addressing = 0;  // 0 Neuron-ID, 1 subnet/node
    QVector<LonFixtureDevice> devices;
    QList<QStringList> keys;  // (section, key, value) replacing the usual value or added
    QVector<QStringList> rows;  // signal rows, columns 1..17 as stored in LON.dat
    bool writeIni = true;
    bool writeDat = true;
};

// A point row: device, SNVT, NV index, NV access ("R", "W", "RW"), ASCII address.
QStringList lonPointRow(int device, int snvt, int nvIndex, const QString& access, int address, bool active = true);
// A communication-error row (SNVT -1 for a device, -2 with device 0) with its address.
QStringList lonErrorRow(int device, int address, bool active = true);
bool writeLonFixture(const QString& folder, const LonFixture& f);
QByteArray lonIniBytes(const LonFixture& f);

// `devices` devices in use (Neuron-IDs 0000000000001..), `points` active points
// with addresses 1..points; with `errorRows` the gateway's and every device's
// error rows come first. Every 10th NV row is write-only, every 10th + 1 read/write.
LonFixture largeLonFixture(int devices, int points, const QString& version, const QString& firmware,
                           bool errorRows = true);

class LonConfig;
class SignalGrid;
// `devices` devices in use (Neuron-ID = the number in hexadecimal, node = the
// number), serial settings at their defaults, IP 127.0.0.1.
LonConfig lonConfig(int devices, const QString& version = QStringLiteral("A-Basic"),
                    const QString& firmware = QStringLiteral("V.3.1.0"));
// The grid as the editor holds it after loading `rows`; returns the merge's result.
int lonGrid(const LonConfig& cfg, SignalGrid& grid, const QVector<QStringList>& rows);
// `dir` (created) made the current LON project; LON.ini holds `ini` unless null.
QString useLonProject(const QString& dir, const QByteArray& ini = QByteArray());

// A download file read back field by field, for checks on large files.
struct LonFileView {
    bool ok = false;
    quint32 checksum = 0, sum = 0;
    int gatewayErrorPoint = 0, lonRetries = 0, readable = 0;
    QVector<QByteArray> deviceAddress;
    QVector<int> deviceErrorPoint;
    QVector<QVector<int>> variables;  // device, nv, offset, type, filter, a, b, c, snvt, address
    QVector<QVector<int>> points;     // address, link, A/D, direction, spontaneous
    QByteArray tcp;
};
LonFileView decodeLonDownload(const QByteArray& file);

// A message of "|"-separated pieces; "text@Key" in a piece is text + Texto("Key").
QString lonText(const QString& message);
// Little-endian pieces for expected bytes.
QByteArray le16(int v);
QByteArray le32(qint64 v);
