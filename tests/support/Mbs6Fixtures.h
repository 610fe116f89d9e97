// MBS6 projects for tests and benchmarks, written as the editor saves them (CR LF, Windows-1252).
#pragma once

#include <QStringList>
#include <QVector>

struct Mbs6Fixture {
    QVector<int> units;         // units in use
    QVector<QStringList> rows;  // signal rows, cells 1..8 as stored in MBS6.dat
    bool writeDat = true;
};

QStringList mbs6Row(int unit, int code, bool active = true);
// Every unit in use and every one of the 826 rows active.
Mbs6Fixture fullMbs6Fixture();

bool writeMbs6Fixture(const QString& folder, const Mbs6Fixture& f);
