// The checkout of the largest LON project (4,000 points): marking every row OK
// at once in the viewer, the file merged and written back and the rows shown
// again (target: under 200 ms); the handover report of the finished checkout
// as a whole process, `pilmora report --pdf` (target: under 2 s, a PDF under 2 MB).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>

#include "AppGlobals.h"
#include "BenchProcess.h"
#include "CheckoutVisor.h"
#include "DownloadHistory.h"
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

// The viewer of the big project, every signal with a value, all rows selected.
struct BigViewer {
    SenyalesSink sink;
    VisorSenyales visor;
    CheckoutVisor checkout;
    QString error;
    bool loaded = false;
    explicit BigViewer(const QString& folder) {
        app().RutaProyecto = folder;
        app().ProtEquipo = QStringLiteral("LON");
        Carga_DatosMFAPilmora(QStringLiteral("LON"));
        for (int i = 1; i <= listaSenyales().NumSenyales; ++i)
            sink.setValue(claveSenyal(listaSenyales().Senyales[i].Direccion), QString::number(i), nullptr);
        visor.Datos_Carga();
        loaded = checkout.carga(visor, kSlotLon, &error);
        visor.grid.setRow(1);
        visor.grid.setRowSel(visor.grid.Rows() - 1);
    }
    int count(EstadoCheckout e) const { return checkout.checkout.cuenta(listaSenyales())[size_t(e)]; }
};
}  // namespace

// Rows not yet checked, all marked OK at once: each pass starts from an empty
// Checkout.csv (outside the timing), as the first marking of a commissioning does.
static void BM_MarcaCorrecto4000(benchmark::State& state) {
    TestHome home(false);
    BigViewer v(bigProject(home));
    const QString file = v.checkout.checkout.store().ruta();
    int marked = 0;
    bool ok = v.loaded;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(file);
        ok = v.checkout.refresca(v.visor, &v.error) && v.count(EstadoCheckout::SinComprobar) == 4000 && ok;
        state.ResumeTiming();
        // As the window does: mark, filter again, show the progress.
        ok = v.checkout.marca(v.visor, EstadoCheckout::Correcto, QString(), false, &marked, &v.error) && ok;
        v.checkout.filtra(v.visor, QString());
        benchmark::DoNotOptimize(v.checkout.progreso());
    }
    if (!ok || marked != 4000 || v.count(EstadoCheckout::Correcto) != 4000)
        state.SkipWithError(qPrintable(QStringLiteral("not 4000 rows marked: ") + v.error));
    state.counters["rows"] = marked;
    state.counters["file_kB"] = QFileInfo(file).size() / 1024.0;
}
BENCHMARK(BM_MarcaCorrecto4000)->Unit(benchmark::kMillisecond);

// The report at the end of a commissioning: every row with a verdict and its
// evidence (some failed, with a note), a download history of a dozen sends;
// `pilmora report --pdf` as a whole process with nothing set in the
// environment. Time: the process's wall time; cpu_ms: its own CPU time.
static void BM_InformePdf4000(benchmark::State& state) {
    TestHome home(true);
    const QString folder = bigProject(home);
    {
        BigViewer v(folder);
        int marked = 0;
        v.checkout.marca(v.visor, EstadoCheckout::Correcto, QString(), false, &marked, &v.error);
        v.visor.grid.setRow(100);
        v.visor.grid.setRowSel(139);
        v.checkout.marca(v.visor, EstadoCheckout::Fallido, QStringLiteral("No answer from the BMS"), false, &marked,
                         &v.error);
        if (v.count(EstadoCheckout::Correcto) + v.count(EstadoCheckout::Fallido) != 4000)
            return state.SkipWithError(qPrintable(QStringLiteral("checkout not filled: ") + v.error));
    }
    QByteArray file;
    QString error;
    composeProjectDownload(folder, &file, &error);
    for (int i = 0; i < 12; ++i) {
        HistoryRow row;
        row.time = isoLocalTime(QDateTime::currentDateTime().addDays(i - 12));
        row.result = QString::fromLatin1(i % 4 ? HistoryResult::kSucces : HistoryResult::kTimeout);
        row.way = QStringLiteral("UDP 127.0.0.1:40123");
        row.file = QStringLiteral("LON.Plmx");
        row.size = file.size();
        row.version = QStringLiteral(PILMORA_VERSION);
        if (!recordSend(folder, row, file, QStringLiteral("LON"), QDateTime::currentDateTime().addDays(i - 12), &error))
            return state.SkipWithError(qPrintable(error));
    }
    const QString pdf = home.file(QStringLiteral("report.pdf"));
    const QStringList noEnvironment;
    double cpu = 0;
    for (auto _ : state) {
        const ProcessTime t = timeProcess(
            QStringLiteral(PILMORA_BENCH_BIN "/pilmora"),
            {QStringLiteral("--home"), home.path(), QStringLiteral("report"), folder, QStringLiteral("--pdf"), pdf},
            &noEnvironment);
        if (t.code != 0) return state.SkipWithError("pilmora report failed");
        state.SetIterationTime(t.wallMs / 1e3);
        cpu += t.cpuMs;
    }
    state.counters["cpu_ms"] = cpu / double(state.iterations());
    state.counters["pdf_kB"] = QFileInfo(pdf).size() / 1024.0;
}
BENCHMARK(BM_InformePdf4000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

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
