// Spreadsheet round trip on the largest LON project (128 devices, 4,000 active
// points, "B-Extended") and on an MBS6 project (all 826 fixed rows): export
// (records and file), and import (read, every cell checked, the save's point
// checks, the grid's rows replaced or changed).
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "ConsolePrompts.h"
#include "LonConfig.h"
#include "LonCsv.h"
#include "LonFixtures.h"
#include "LonProject.h"
#include "Mbs6Csv.h"
#include "Mbs6Fixtures.h"
#include "Mbs6Project.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"

namespace {
struct Largest {
    TestHome home;
    QString dir, csv;
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    ConsolePrompts quiet{false};
    Largest() {
        installPrompts(&quiet);
        dir = home.file("Largest");
        csv = home.file("Largest.csv");
        writeLonFixture(dir, largeLonFixture(128, 4000, "B-Extended", "V.43.1.x"));
        loadLonProject(dir, cfg, grid, info);
        QString error;
        lonCsvExport(csv, grid, cfg, QLatin1Char(';'), &error);
    }
    ~Largest() { installPrompts(nullptr); }
};

Largest& largest() {
    static Largest l;
    return l;
}

void BM_ExportCsv(benchmark::State& state) {
    Largest& l = largest();
    QString error;
    for (auto _ : state)
        if (!lonCsvExport(l.csv, l.grid, l.cfg, QLatin1Char(';'), &error)) state.SkipWithError("not written");
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State& state) {
    Largest& l = largest();
    for (auto _ : state) {
        CsvRecords records;
        QString error;
        QStringList faults;
        if (!csvReadFile(l.csv, &records, &error) || !lonCsvImport(records, l.cfg, l.grid, &faults))
            state.SkipWithError("not imported");
    }
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

struct FullMbs6 {
    TestHome home;
    QString dir, csv;
    Mbs6Config cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    ConsolePrompts quiet{false};
    FullMbs6() {
        installPrompts(&quiet);
        dir = home.file("Mbs6");
        csv = home.file("Mbs6.csv");
        writeMbs6Fixture(dir, fullMbs6Fixture());
        loadMbs6Project(dir, cfg, grid, info);
        QString error;
        mbs6CsvExport(csv, grid, QLatin1Char(';'), &error);
    }
    ~FullMbs6() { installPrompts(nullptr); }
};

FullMbs6& fullMbs6() {
    static FullMbs6 m;
    return m;
}

void BM_ExportCsvMbs6(benchmark::State& state) {
    FullMbs6& m = fullMbs6();
    QString error;
    for (auto _ : state)
        if (!mbs6CsvExport(m.csv, m.grid, QLatin1Char(';'), &error)) state.SkipWithError("not written");
}
BENCHMARK(BM_ExportCsvMbs6)->Unit(benchmark::kMillisecond);

void BM_ImportCsvMbs6(benchmark::State& state) {
    FullMbs6& m = fullMbs6();
    for (auto _ : state) {
        CsvRecords records;
        QString error;
        QStringList faults;
        if (!csvReadFile(m.csv, &records, &error) || !mbs6CsvImport(records, m.grid, &faults))
            state.SkipWithError("not imported");
    }
}
BENCHMARK(BM_ImportCsvMbs6)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
