// The monitor signal list: loading the largest LON project's 4,000 signals
// (target: under 150 ms), as happens each time the gateway confirms its protocol.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "AppGlobals.h"
#include "LonFixtures.h"
#include "SenyalesMonitor.h"
#include "TestSupport.h"

static void BM_CargaSenyalesLon4000(benchmark::State& state) {
    TestHome home(false);
    const QString folder = home.projectsRoot() + QStringLiteral("/Big");
    if (!writeLonFixture(folder, largeLonFixture(128, 4000, QStringLiteral("B-Extended"), QStringLiteral("V.43.1.x")))) {
        state.SkipWithError("fixture not written");
        return;
    }
    app().RutaProyecto = folder;
    for (auto _ : state) {
        Carga_DatosMFAPilmora(QStringLiteral("LON"));
        benchmark::DoNotOptimize(listaSenyales().NumSenyales);
    }
    state.counters["signals"] = listaSenyales().NumSenyales;
}
BENCHMARK(BM_CargaSenyalesLon4000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
