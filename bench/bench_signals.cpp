// Signal table speed with 4,000 rows x 18 columns: file write + read, filling and
// showing the grid widget, and the row operations on a shown grid.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "AppGlobals.h"
#include "CellEditorWidget.h"
#include "ModPilmoraASCII.h"
#include "ModulConfASCII.h"
#include "ScriptedPrompts.h"
#include "SignalGrid.h"
#include "SignalGridView.h"

namespace {
constexpr int kRows = 4000;
constexpr int kCols = 18;

// Rows look like LON signal rows; with `emptyEvery` > 0 every such row is left blank.
void fill(SignalGrid& g, int rows, int emptyEvery = 0) {
    g.setRedraw(false);
    g.setCols(kCols);
    g.setRows(rows + 1);
    for (int c = 0; c < kCols; ++c) g.setTextMatrix(0, c, QStringLiteral("Col %1").arg(c));
    for (int r = 1; r <= rows; ++r) {
        g.setTextMatrix(r, 0, QString::number(r));
        if (emptyEvery > 0 && r % emptyEvery == 0) {
            for (int c = 1; c < kCols; ++c) g.setTextMatrix(r, c, QString());
            continue;
        }
        g.setTextMatrix(r, 1, QString::number(1 + r % 64));
        g.setTextMatrix(r, 2, QString::number(80 + r % 20));
        g.setTextMatrix(r, 3, QStringLiteral("SNVT_temp_p"));
        for (int c = 4; c <= 10; ++c) g.setTextMatrix(r, c, QString::number((r * c) % 100));
        g.setTextMatrix(r, 11, QStringLiteral("RW"));
        g.setTextMatrix(r, 12, QStringLiteral("Room temperature %1").arg(r));
        g.setTextMatrix(r, 13, QString::number(r));
        g.setTextMatrix(r, 14, QStringLiteral("R"));
        g.setTextMatrix(r, 15, QStringLiteral("0-Ana"));
        g.setTextMatrix(r, 16, QStringLiteral("1-Spon"));
        g.setTextMatrix(r, 17, QStringLiteral("1-Yes"));
    }
    g.setRedraw(true);
}

// The widgets need an application object; made once, before the first benchmark.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "bench_signals";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}

struct Shown {
    SignalGrid grid;
    SignalGridView view;
    CellEditorWidget* editor;
    bool changed = false;
    Shown() {
        ensureApplication();
        fill(grid, kRows);
        view.setGrid(&grid);
        editor = new CellEditorWidget(&view);
        view.resize(1000, 600);
        view.show();
        QCoreApplication::processEvents();
    }
};

void BM_WriteReadTable(benchmark::State& state) {
    QTemporaryDir dir;
    resetApp();
    LlenaProtocolos();
    app().RutaProyecto = dir.path();
    SignalGrid g;
    fill(g, kRows);
    TablaSenyales t;
    for (auto _ : state) {
        Graba_Senyales(kSlotLon, kVersionTabla, g, true);
        if (!Carga_Senyales(kSlotLon, kVersionTabla, t) || t.rows() != kRows) state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_WriteReadTable)->Unit(benchmark::kMillisecond);

void BM_FillAndShowGrid(benchmark::State& state) {
    ensureApplication();
    for (auto _ : state) {
        SignalGrid g;
        SignalGridView view;
        view.resize(1000, 600);
        fill(g, kRows);
        view.setGrid(&g);
        view.show();
        QCoreApplication::processEvents();
        view.repaint();
    }
}
BENCHMARK(BM_FillAndShowGrid)->Unit(benchmark::kMillisecond);

void BM_DeleteSelection2000(benchmark::State& state) {
    Shown s;
    for (auto _ : state) {
        state.PauseTiming();
        fill(s.grid, kRows);
        s.grid.select(1001, 1, 3000, 1);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        Elimina_Filas(s.grid, *s.editor, s.changed);
        QCoreApplication::processEvents();
    }
    if (s.grid.dataRows() != kRows - 2000) state.SkipWithError("wrong row count");
}
BENCHMARK(BM_DeleteSelection2000)->Unit(benchmark::kMillisecond);

void BM_MoveBlock1000(benchmark::State& state) {
    Shown s;
    s.grid.select(1001, 1, 2000, 1);
    bool up = true;
    for (auto _ : state) {
        Mueve_Filas(s.grid, s.changed, up);
        QCoreApplication::processEvents();
        up = !up;
    }
}
BENCHMARK(BM_MoveBlock1000)->Unit(benchmark::kMillisecond);

void BM_AutoNumber4000(benchmark::State& state) {
    Shown s;
    ScriptedPrompts prompts;
    s.grid.select(1, 13, kRows, 13);
    int start = 1;
    for (auto _ : state) {
        // A different start each time, so that every cell really changes.
        start = 3 - start;
        prompts.queueText(QString::number(start));
        prompts.queueText(QStringLiteral("1"));
        Auto_Enumera(s.grid, 13, QStringLiteral("Add"), s.changed, 1000000);
        QCoreApplication::processEvents();
    }
    if (s.grid.TextMatrix(kRows, 13) != QString::number(kRows - 1 + start)) state.SkipWithError("wrong numbers");
}
BENCHMARK(BM_AutoNumber4000)->Unit(benchmark::kMillisecond);

void BM_RemoveEmptyRows2000(benchmark::State& state) {
    Shown s;
    for (auto _ : state) {
        state.PauseTiming();
        fill(s.grid, kRows, 2);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        Limpia_FilasVacias(s.grid);
        QCoreApplication::processEvents();
    }
    if (s.grid.dataRows() != kRows / 2) state.SkipWithError("wrong row count");
}
BENCHMARK(BM_RemoveEmptyRows2000)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
