// Start-up with a full workspace: from creating the main window to the project
// catalogue shown with its 500 rows (offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "AppGlobals.h"
#include "MDIPilmora.h"
#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "ProjectCatalogue.h"
#include "fProject.h"

namespace {
constexpr int kProjects = 500;

// An application folder as a user's would be: language file, templates and a
// projects root of 500 projects, each with its description and protocol files.
struct Workspace {
    QTemporaryDir dir;
    Workspace() {
        const QString bin = QStringLiteral(PILMORA_BENCH_BIN);
        QFile::copy(bin + "/PilmoraASCII.LNG", dir.filePath("PilmoraASCII.LNG"));
        copyTemplates(dir.filePath("TemplatesASCII"));
        const QDateTime old = QDateTime::currentDateTime().addDays(-3);
        for (int i = 0; i < kProjects; ++i) {
            const QString name = QStringLiteral("Project %1").arg(i, 3, 10, QLatin1Char('0'));
            const QString p = dir.filePath("ProjectsASCII/" + name);
            QDir().mkpath(p);
            const bool lon = i % 2 == 0;
            writeAll(p + "/Project.ini", "[Project]\r\nDesc=Building " + QByteArray::number(i) +
                                             ", plant room\r\nProt=" + (lon ? "LON" : "MBS6") + "\r\n");
            writeAll(p + (lon ? "/LON.ini" : "/MBS6.ini"), "[ASCII]\r\nIP=127.0.0.1\r\n");
            QFile f(p + "/Project.ini");
            f.open(QIODevice::ReadWrite);
            f.setFileTime(old, QFileDevice::FileModificationTime);
        }
        writeAll(dir.filePath("PilmoraASCII.ini"), "[Configuracion]\r\nLastProject=Project 250\r\n");
    }
};

void BM_StartupToFilledCatalogue(benchmark::State& state) {
    Workspace ws;
    ScriptedPrompts prompts;
    int rows = 0;
    for (auto _ : state) {
        resetApp();
        app().appFolder = ws.dir.path();
        MDIPilmora w;
        if (!w.Form_Load()) {
            state.SkipWithError("start-up failed");
            break;
        }
        w.show();
        fProject catalogue(&w);
        catalogue.show();
        QApplication::processEvents();
        rows = catalogue.lvwPro->topLevelItemCount();
        benchmark::DoNotOptimize(rows);
    }
    if (rows != kProjects) state.SkipWithError("catalogue not filled");
    state.counters["projects"] = rows;
}
BENCHMARK(BM_StartupToFilledCatalogue)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The folder scan alone, without windows.
void BM_ScanOf500Projects(benchmark::State& state) {
    Workspace ws;
    ScriptedPrompts prompts;
    resetApp();
    app().appFolder = ws.dir.path();
    app().RutaProyectos = ws.dir.filePath("ProjectsASCII");
    for (auto _ : state) {
        const Escaneo r = EscanearProyectos();
        benchmark::DoNotOptimize(r.filas.size());
    }
}
BENCHMARK(BM_ScanOf500Projects)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
