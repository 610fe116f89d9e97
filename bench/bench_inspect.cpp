// Reading download files back: the largest LON file (128 devices, 4,000 points,
// firmware V.43.1.x) decoded, printed and compared in memory, and `pilmora
// decode` (text and JSON) and `pilmora diff` as whole processes paired run by
// run with the tool's shortest run (`pilmora --version`): each should cost at
// most twice its CPU time.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "BenchProcess.h"
#include "ConsolePrompts.h"
#include "DownloadHistory.h"
#include "DownloadInspect.h"
#include "LonFixtures.h"
#include "Prompts.h"
#include "TestSupport.h"

namespace {
struct Files {
    TestHome home;
    QString a, b;
    QByteArray bytesA, bytesB;
    ConsolePrompts quiet{false};
    Files() {
        installPrompts(&quiet);
        const QString dir = home.file("Largest");
        LonFixture f = largeLonFixture(128, 4000, "B-Extended", "V.43.1.x");
        writeLonFixture(dir, f);
        QString message;
        composeProjectDownload(dir, &bytesA, &message);
        f.rows[2000][4] = QStringLiteral("1");  // one offset differs
        writeLonFixture(dir, f);
        composeProjectDownload(dir, &bytesB, &message);
        a = home.file("A.Plmx");
        b = home.file("B.Plmx");
        writeAll(a, bytesA);
        writeAll(b, bytesB);
    }
    ~Files() { installPrompts(nullptr); }
};

Files& files() {
    static Files f;
    return f;
}

void BM_Decode(benchmark::State& state) {
    const QByteArray& bytes = files().bytesA;
    for (auto _ : state) {
        const DecodedDownload d = decodeDownload(bytes);
        if (d.damaged() || d.points.size() != 4000) state.SkipWithError("not decoded");
    }
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

void BM_Text(benchmark::State& state) {
    const DecodedDownload d = decodeDownload(files().bytesA);
    for (auto _ : state) benchmark::DoNotOptimize(decodedText(d, QStringLiteral("A.Plmx")).size());
}
BENCHMARK(BM_Text)->Unit(benchmark::kMillisecond);

void BM_Json(benchmark::State& state) {
    const DecodedDownload d = decodeDownload(files().bytesA);
    for (auto _ : state) benchmark::DoNotOptimize(decodedJson(d, QStringLiteral("A.Plmx")).size());
}
BENCHMARK(BM_Json)->Unit(benchmark::kMillisecond);

void BM_Diff(benchmark::State& state) {
    const DecodedDownload a = decodeDownload(files().bytesA), b = decodeDownload(files().bytesB);
    for (auto _ : state)
        if (diffDownloads(a, b).changed.size() != 1) state.SkipWithError("not one change");
}
BENCHMARK(BM_Diff)->Unit(benchmark::kMillisecond);

// The whole processes, 21 pairs each.
bool wholeProcesses() {
    Files& f = files();
    const QString pilmora = QStringLiteral(PILMORA_BENCH_BIN "/pilmora");
    const QStringList home{QStringLiteral("--home"), f.home.path()}, version{QStringLiteral("--version")};
    printLoad("before");
    bool ok = printPaired("pilmora decode", pilmora, version, home + QStringList{"decode", f.a}, 0, 21, 2.0);
    ok = printPaired("pilmora decode --json", pilmora, version, home + QStringList{"decode", f.a, "--json"}, 0, 21,
                     2.0) &&
         ok;
    ok = printPaired("pilmora diff A B", pilmora, version, home + QStringList{"diff", f.a, f.b}, 1, 21, 2.0) && ok;
    printLoad("after");
    return ok;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return wholeProcesses() ? 0 : 1;
}
