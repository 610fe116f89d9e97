// LON speed on the largest project the gateway takes: 128 devices, 4,000 active
// points, "B-Extended", firmware V.43.1.x. The generator alone (in memory, and
// with the file written), the project load, and the command-line tool as a whole
// process for generate and check.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include "AppGlobals.h"
#include "ConsolePrompts.h"
#include "LonConfig.h"
#include "LonDownload.h"
#include "LonFixtures.h"
#include "LonProject.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"

namespace {
const QDateTime kAt(QDate(2026, 12, 6), QTime(7, 0, 0));

// One home and one large project for the whole run.
struct Largest {
    TestHome home;
    QString dir;
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    ConsolePrompts quiet{false};
    Largest() {
        installPrompts(&quiet);
        dir = home.file("Largest");
        writeLonFixture(dir, largeLonFixture(128, 4000, "B-Extended", "V.43.1.x"));
        loadLonProject(dir, cfg, grid, info);
    }
    ~Largest() { installPrompts(nullptr); }
};

Largest& largest() {
    static Largest l;
    return l;
}

void BM_ComposeDownload(benchmark::State& state) {
    Largest& l = largest();
    const LonTuning tuning = LonTuning::fromIni();
    for (auto _ : state) {
        const LonDownload d = composeLonDownload(l.cfg, l.grid, tuning, kAt);
        if (d.outcome != LonDownload::Ready || d.total != 4000) state.SkipWithError("not generated");
        benchmark::DoNotOptimize(d.checksum);
    }
}
BENCHMARK(BM_ComposeDownload)->Unit(benchmark::kMillisecond);

void BM_GeneraFicheroDescarga(benchmark::State& state) {
    Largest& l = largest();
    for (auto _ : state)
        if (!Genera_FicheroDescarga(l.cfg, l.grid, kAt)) state.SkipWithError("not generated");
    state.counters["bytes"] = double(QFile(l.dir + "/LON.Plmx").size());
}
BENCHMARK(BM_GeneraFicheroDescarga)->Unit(benchmark::kMillisecond);

void BM_LoadProject(benchmark::State& state) {
    Largest& l = largest();
    for (auto _ : state) {
        LonConfig cfg;
        SignalGrid grid;
        QVector<InfoColumna> info;
        if (!loadLonProject(l.dir, cfg, grid, info) || grid.Rows() != 4000 + 1) state.SkipWithError("not loaded");
    }
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond);

void runTool(benchmark::State& state, const QStringList& args) {
    Largest& l = largest();
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(PILMORA_BENCH_BIN "/pilmora"), QStringList{"--home", l.home.path()} + args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0) state.SkipWithError("pilmora failed");
    }
}

void BM_PilmoraGenerate(benchmark::State& state) {
    runTool(state, {"generate", largest().dir, "--at", "2026/12/06 07:00:00"});
}
BENCHMARK(BM_PilmoraGenerate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PilmoraCheck(benchmark::State& state) { runTool(state, {"check", largest().dir}); }
BENCHMARK(BM_PilmoraCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
