// MBS6 speed on the largest project the gateway takes: all 63 units in use and
// all 826 rows active. Opening the editor until it is shown (the first time,
// window built, and again), the generator in memory, and `pilmora generate` as a
// whole process.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QProcess>

#include "AppGlobals.h"
#include "Mbs6Config.h"
#include "Mbs6Download.h"
#include "Mbs6Fixtures.h"
#include "Mbs6Project.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "fConfMbs6A.h"

namespace {
const QDateTime kAt(QDate(2026, 12, 6), QTime(7, 0, 0));

struct Full {
    TestHome home;
    ScriptedPrompts prompts;
    QString dir;
    Full() {
        dir = QDir(home.projectsRoot()).filePath(QStringLiteral("Full"));
        writeMbs6Fixture(dir, fullMbs6Fixture());
        app().RutaProyecto = dir;
        app().NombreProyecto = QStringLiteral("Full");
        app().ProtProyecto = QStringLiteral("MBS6");
    }
};

Full& full() {
    static Full f;
    return f;
}

void BM_OpenEditorFirstTime(benchmark::State& state) {
    full();
    for (auto _ : state) {
        fConfMbs6A w;
        w.Form_Load();
        w.show();
        QApplication::processEvents();
        state.PauseTiming();
        w.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenEditorFirstTime)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_OpenEditorAgain(benchmark::State& state) {
    full();
    fConfMbs6A w;
    for (auto _ : state) {
        w.Form_Load();
        w.show();
        QApplication::processEvents();
        state.PauseTiming();
        w.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = w.gridModel().Rows() - 1;
}
BENCHMARK(BM_OpenEditorAgain)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ComposeMbs6Download(benchmark::State& state) {
    full();
    Mbs6Config cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    loadMbs6Project(full().dir, cfg, grid, info);
    for (auto _ : state) {
        const Mbs6Download d = composeMbs6Download(cfg, grid, 10, kAt);
        if (d.points != 826) state.SkipWithError("not generated");
        benchmark::DoNotOptimize(d.checksum);
    }
}
BENCHMARK(BM_ComposeMbs6Download)->Unit(benchmark::kMillisecond);

void BM_PilmoraGenerateMbs6(benchmark::State& state) {
    Full& f = full();
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(PILMORA_BENCH_BIN "/pilmora"),
                {"--home", f.home.path(), "generate", f.dir, "--at", "2026/12/06 07:00:00"});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) state.SkipWithError("pilmora failed");
    }
}
BENCHMARK(BM_PilmoraGenerateMbs6)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
