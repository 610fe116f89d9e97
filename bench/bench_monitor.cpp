// The monitor signal list: loading the largest LON project's 4,000 signals
// into the list and the viewer's grid (target: under 150 ms), as happens each
// time the gateway confirms its protocol with the viewer open.
// The external-bus monitor: 10,000 spy lines arriving in one chunk, cut into
// lines by the link and listed as one batch of the newest 500 (target: under 100 ms).
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "AppGlobals.h"
#include "GatewayLink.h"
#include "ListaTramas.h"
#include "LonFixtures.h"
#include "SenyalesMonitor.h"
#include "TestSupport.h"
#include "VisorSenyales.h"

static void BM_CargaSenyalesLon4000(benchmark::State& state) {
    TestHome home(false);
    const QString folder = home.projectsRoot() + QStringLiteral("/Big");
    if (!writeLonFixture(folder,
                         largeLonFixture(128, 4000, QStringLiteral("B-Extended"), QStringLiteral("V.43.1.x")))) {
        state.SkipWithError("fixture not written");
        return;
    }
    app().RutaProyecto = folder;
    app().ProtEquipo = QStringLiteral("LON");
    VisorSenyales visor;
    const bool viewer = state.range(0) != 0;
    for (auto _ : state) {
        Carga_DatosMFAPilmora(QStringLiteral("LON"));
        if (viewer) visor.Datos_Carga();
        benchmark::DoNotOptimize(listaSenyales().NumSenyales);
    }
    state.counters["signals"] = listaSenyales().NumSenyales;
    if (viewer) state.counters["rows"] = visor.grid.Rows() - 1;
}
// Arg 0: the list alone; 1: the list and the viewer's grid.
BENCHMARK(BM_CargaSenyalesLon4000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_RafagaEspia10000(benchmark::State& state) {
    // On line and verified, external spy on: spy lines reach the list.
    app().EstadoConexion = 2;
    app().EspiaExt = true;
    GatewayLink link;
    ListaTramas lista;
    QObject::connect(&link, &GatewayLink::spyLineReceived,
                     [&lista](const QString&, const QString& text) { lista.agrega(text); });
    QByteArray chunk;
    for (int i = 0; i < 10000; ++i) chunk += "EXT 01 03 00 10 00 02 C5 CE  poll unit " + QByteArray::number(i) + "\r";
    for (auto _ : state) {
        link.ProcesaRecepcion(chunk);
        lista.vuelca();
        benchmark::DoNotOptimize(lista.rowCount());
    }
    state.counters["listed"] = lista.rowCount();
}
BENCHMARK(BM_RafagaEspia10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
