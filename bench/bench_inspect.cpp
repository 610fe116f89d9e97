// Reading download files back: the largest LON file (128 devices, 4,000 points,
// firmware V.43.1.x) decoded and compared in memory, and `pilmora decode` and
// `pilmora diff` as whole processes beside the tool's shortest run
// (`pilmora --version`), which they should stay within twice of.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>

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

void BM_Diff(benchmark::State& state) {
    const DecodedDownload a = decodeDownload(files().bytesA), b = decodeDownload(files().bytesB);
    for (auto _ : state)
        if (diffDownloads(a, b).changed.size() != 1) state.SkipWithError("not one change");
}
BENCHMARK(BM_Diff)->Unit(benchmark::kMillisecond);

void runTool(benchmark::State& state, const QStringList& args, int code) {
    Files& f = files();
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(PILMORA_BENCH_BIN "/pilmora"), QStringList{"--home", f.home.path()} + args);
        if (!p.waitForFinished(30000) || p.exitCode() != code) state.SkipWithError("pilmora failed");
    }
}

void BM_PilmoraVersion(benchmark::State& state) { runTool(state, {"--version"}, 0); }
BENCHMARK(BM_PilmoraVersion)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PilmoraDecode(benchmark::State& state) { runTool(state, {"decode", files().a}, 0); }
BENCHMARK(BM_PilmoraDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PilmoraDecodeJson(benchmark::State& state) { runTool(state, {"decode", files().a, "--json"}, 0); }
BENCHMARK(BM_PilmoraDecodeJson)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PilmoraDiff(benchmark::State& state) { runTool(state, {"diff", files().a, files().b}, 1); }
BENCHMARK(BM_PilmoraDiff)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
