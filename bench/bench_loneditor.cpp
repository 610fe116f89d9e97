// The LON editor on the largest project a gateway takes (128 devices, 4000 active
// rows): opening until the window is shown, and saving (checks, LON.ini, LON.dat).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

#include "AppGlobals.h"
#include "LonFixtures.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "fConfLonA.h"
#include "mIdioma.h"

namespace {

struct LargeProject {
    TestHome home;
    ScriptedPrompts prompts;
    QString folder;
    LargeProject() {
        folder = QDir(home.projectsRoot()).filePath(QStringLiteral("Large"));
        writeLonFixture(folder, largeLonFixture(128, 4000, QStringLiteral("B-Extended"), QStringLiteral("V.43.1.x")));
        app().RutaProyecto = folder;
        app().NombreProyecto = QStringLiteral("Large");
        app().ProtProyecto = QStringLiteral("LON");
    }
};

LargeProject& project() {
    static LargeProject p;
    return p;
}

void BM_OpenLargeProject(benchmark::State& state) {
    project();
    fConfLonA w;
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
BENCHMARK(BM_OpenLargeProject)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_SaveLargeProject(benchmark::State& state) {
    LargeProject& p = project();
    fConfLonA w;
    w.Form_Load();
    w.show();
    QApplication::processEvents();
    for (auto _ : state) {
        // "A23" answered Yes: checks and both files; "A24" answered No: no download file.
        p.prompts.queueAnswer(1);
        p.prompts.queueAnswer(2);
        w.cmdAceptar_Click();
    }
    state.counters["rows"] = w.gridModel().Rows() - 1;
    // Only the two questions may have been shown: a check message means nothing was saved.
    for (const QString& t : p.prompts.texts())
        if (t != Texto("A23") && t != Texto("A24")) {
            state.SkipWithError("a save check failed");
            break;
        }
}
BENCHMARK(BM_SaveLargeProject)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication a(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
