// LON projects for tests and benchmarks: written to disk exactly as the editor saves them (Project.ini, LON.ini,
// LON.dat; CR LF, Windows-1252), from a small description or generated at any size.
#pragma once

#include <QtTest>

#include "TestSupport.h"

struct LonFixtureDevice {
    bool on = true;
    QString nid;
    QString subnet = QStringLiteral("1");
    QString node, name;  // node empty: the device number
};

struct LonFixture {
    QString version = QStringLiteral("B-Extended");
    QString firmware = QStringLiteral("V.43.1.x");
    int addressing = 0;  // 0 Neuron-ID, 1 subnet/node
    QVector<LonFixtureDevice> devices;
    QList<QStringList> keys;    // (section, key, value) replacing the usual value or added
    QVector<QStringList> rows;  // signal rows, columns 1..17 as stored in LON.dat
    bool writeIni = true, writeDat = true;
};

QStringList lonPointRow(int device, int snvt, int nvIndex, const QString& access, int address, bool active = true);
QStringList lonErrorRow(int device, int address, bool active = true);
bool writeLonFixture(const QString& folder, const LonFixture& f);
QByteArray lonIniBytes(const LonFixture& f);

LonFixture largeLonFixture(int devices, int points, const QString& version, const QString& firmware,
                           bool errorRows = true);

class LonConfig;
class SignalGrid;
LonConfig lonConfig(int devices, const QString& version = QStringLiteral("A-Basic"),
                    const QString& firmware = QStringLiteral("V.3.1.0"));
int lonGrid(const LonConfig& cfg, SignalGrid& grid, const QVector<QStringList>& rows);
QString useLonProject(const QString& dir, const QByteArray& ini = QByteArray());
// A LON project of `rows` written to `folder`, devices 1.. in use or not, made current and its signals loaded.
bool loadLonSignals(const QString& folder, const QVector<QStringList>& rows, const QList<bool>& devices = {true});

QByteArray le16(int v);
QByteArray le32(qint64 v);
