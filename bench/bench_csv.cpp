// Spreadsheet round trip on the largest LON project (128 devices, 4,000 active
// points, "B-Extended"): export (records and file), and import (read, every
// cell checked, the save's point checks, the grid replaced).
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "ConsolePrompts.h"
#include "LonConfig.h"
#include "LonCsv.h"
#include "LonFixtures.h"
#include "LonProject.h"
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
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
