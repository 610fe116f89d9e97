// LON projects for tests and benchmarks: written to disk exactly as the editor
// saves them (Project.ini, LON.ini, LON.dat; CR LF, Windows-1252), from a small
// description or generated at any size.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// One device of the fixture.
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
    // Keys replacing the usual values, or added to their section: (section, key, value).
    QList<QStringList> keys;
    // Signal rows, columns 1..17 as stored in LON.dat.
    QVector<QStringList> rows;
    bool writeIni = true;
    bool writeDat = true;
};

// A readable/writable point row: device, SNVT, NV index, NV access ("R", "W",
// "RW"), ASCII address, active. The other cells get plausible values.
QStringList lonPointRow(int device, int snvt, int nvIndex, const QString& access, int address, bool active = true);
// A communication-error row (SNVT -1 for a device, -2 with device 0) with its address.
QStringList lonErrorRow(int device, int address, bool active = true);

// Project.ini (Prot=LON), LON.ini and LON.dat in `folder` (created).
bool writeLonFixture(const QString& folder, const LonFixture& f);
// LON.dat bytes for the rows (the caption row is the editor's, in English).
QByteArray lonDatBytes(const QVector<QStringList>& rows);
// LON.ini bytes.
QByteArray lonIniBytes(const LonFixture& f);

// A large project: `devices` devices in use (Neuron-IDs 0000000000001..),
// `points` active points with addresses 1..points. When `errorRows` is set the
// gateway's and every device's communication-error rows are active and counted
// among the points. Every 10th NV row is write-only, every 10th + 1 read/write.
LonFixture largeLonFixture(int devices, int points, const QString& version, const QString& firmware,
                           bool errorRows = true);

// Little-endian pieces for expected bytes.
QByteArray le16(int v);
QByteArray le32(qint64 v);
