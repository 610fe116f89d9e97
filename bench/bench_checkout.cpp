// The checkout of the largest LON project (4,000 points): marking every row OK
// at once in the viewer, the file merged and written back and the rows shown
// again (target: under 200 ms); the handover report as a whole process,
// `pilmora report --pdf` (target: under 2 s, a PDF under 2 MB).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QProcess>

#include "AppGlobals.h"
#include "CheckoutVisor.h"
#include "HandoverReport.h"
#include "LonFixtures.h"
#include "SenyalesMonitor.h"
#include "TestSupport.h"
#include "VisorSenyales.h"

namespace {
QString bigProject(TestHome& home) {
    const QString folder = home.projectsRoot() + QStringLiteral("/Big");
    return writeLonFixture(folder, largeLonFixture(128, 4000, QStringLiteral("B-Extended"), QStringLiteral("V.43.1.x")))
               ? folder
               : QString();
}
}  // namespace

static void BM_MarcaCorrecto4000(benchmark::State& state) {
    TestHome home(false);
    const QString folder = bigProject(home);
    app().RutaProyecto = folder;
    app().ProtEquipo = QStringLiteral("LON");
    Carga_DatosMFAPilmora(QStringLiteral("LON"));
    SenyalesSink sink;
    for (int i = 1; i <= listaSenyales().NumSenyales; ++i)
        sink.setValue(claveSenyal(listaSenyales().Senyales[i].Direccion), QString::number(i), nullptr);
    VisorSenyales visor;
    visor.Datos_Carga();
    CheckoutVisor checkout;
    QString error;
    checkout.carga(visor, kSlotLon, &error);
    visor.grid.setRow(1);
    visor.grid.setRowSel(visor.grid.Rows() - 1);
    int marked = 0;
    bool ok = true;
    for (auto _ : state) {
        // As the window does: mark, filter again, show the progress.
        ok = checkout.marca(visor, EstadoCheckout::Correcto, QString(), false, &marked, &error) && ok;
        checkout.filtra(visor, QString());
        benchmark::DoNotOptimize(checkout.progreso());
    }
    if (!ok) state.SkipWithError(qPrintable(error));
    state.counters["rows"] = marked;
    state.counters["file_kB"] = QFileInfo(checkout.checkout.store().ruta()).size() / 1024.0;
}
BENCHMARK(BM_MarcaCorrecto4000)->Unit(benchmark::kMillisecond);

static void BM_InformePdf4000(benchmark::State& state) {
    TestHome home(true);
    const QString folder = bigProject(home);
    const QString pdf = home.file(QStringLiteral("report.pdf"));
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(QProcessEnvironment());
        p.start(
            QStringLiteral(PILMORA_BENCH_BIN "/pilmora"),
            {QStringLiteral("--home"), home.path(), QStringLiteral("report"), folder, QStringLiteral("--pdf"), pdf});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            state.SkipWithError("pilmora report failed");
            return;
        }
    }
    state.counters["pdf_kB"] = QFileInfo(pdf).size() / 1024.0;
}
BENCHMARK(BM_InformePdf4000)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_InformeHtml4000(benchmark::State& state) {
    TestHome home(false);
    const QString folder = bigProject(home);
    for (auto _ : state) {
        HandoverReport r;
        QString error;
        r.lee(folder, &error);
        benchmark::DoNotOptimize(r.html().size());
    }
}
BENCHMARK(BM_InformeHtml4000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
