// The signal grid: row operations, the model adapter, the column set-up, and the grid on screen.
#include <QtTest>
#include <QtWidgets>
#include <optional>

#include "AppGlobals.h"
#include "CellEditorWidget.h"
#include "ModPilmoraASCII.h"
#include "ModulASCII.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "SignalGridModel.h"
#include "SignalGridView.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
// Four columns: captions "No.|A|B|C", then one row per entry written "n|a|b|c".
void load(SignalGrid& g, const QStringList& rows) {
    g.setCols(4);
    g.setRows(int(rows.size()) + 1);
    for (int r = 0; r <= rows.size(); ++r) {
        const QStringList cells = (r == 0 ? QString("No.|A|B|C") : rows[r - 1]).split('|');
        for (int c = 0; c < 4; ++c) g.setTextMatrix(r, c, cells.value(c));
    }
}
QStringList dump(const SignalGrid& g) {
    QStringList out;
    for (int r = 1; r < g.Rows(); ++r) out << g.rowCells(r).join('|');
    return out;
}
const QStringList kFour = {"1|a|b|c", "2|d|e|f", "3|g|h|i", "4|j|k|l"};
QStringList withRow(int r, const QString& cells) {
    QStringList out = kFour;
    out[r - 1] = cells;
    return out;
}
QStringList withB(const QString& b1, const QString& b2, const QString& b3, const QString& b4) {
    return {"1|a|" + b1 + "|c", "2|d|" + b2 + "|f", "3|g|" + b3 + "|i", "4|j|" + b4 + "|l"};
}
// Columns: 1 integer, 2 decimal, 3 hex byte, 4 text; cell (r, c) holds "v<r><c>".
struct Harness {
    SignalGrid grid{5, 5};
    SignalGridView view;
    CellEditorWidget* editor = new CellEditorWidget(&view);
    bool changed = false;

    Harness() {
        for (int r = 1; r < 5; ++r)
            for (int c = 1; c < 5; ++c) grid.setTextMatrix(r, c, QString("v%1%2").arg(r).arg(c));
        const int types[] = {SignalGrid::Int16, SignalGrid::Single, SignalGrid::HexByte, SignalGrid::Text};
        for (int c = 1; c < 5; ++c) grid.setColDataType(c, types[c - 1]);
        grid.setColAlignment(1, SignalGrid::AlignRight);  // the integers' editor aligned as the column
        view.setGrid(&grid);
        editor->setChangedFlag(&changed);
        Prepara_Editor(grid, *editor);
        QObject::connect(&view, &SignalGridView::keyTyped, &view, [this](int k) {
            FiltroTecla(k, grid, changed);
            if (k != 0) Empieza_Edicion(grid, *editor, k);
        });
        QObject::connect(&view, &SignalGridView::cellDoubleClicked, &view,
                         [this](int, int) { Empieza_Edicion(grid, *editor, 0); });
        view.resize(700, 300), view.show();
        QApplication::setActiveWindow(&view), view.setFocus();  // focus moves are where the editor goes wrong
        if (!QTest::qWaitForWindowActive(&view)) qWarning("grid window not active");
    }
};
}  // namespace

class TestGridView : public QObject {
    Q_OBJECT
    std::optional<TestHome> m_home;
    std::optional<ScriptedPrompts> m_prompts;

private slots:
    void init() { m_home.emplace(false), m_prompts.emplace(); }
    void cleanup() { m_prompts.reset(), m_home.reset(); }

    // The first key goes to the grid at `from` and opens the editor ('*': a double click opens it on the cell's text,
    // selected), the rest and endKey to the editor (0: a click on cell 1, 1 ends the edit).
    void typing_data() {
        const auto row =
            addColumns<QPoint, QString, int, QString, QPoint, bool>("from", "keys", "endKey", "cell", "to", "changed");
        const int ret = Qt::Key_Return, tab = Qt::Key_Tab, btab = Qt::Key_Backtab, up = Qt::Key_Up, down = Qt::Key_Down,
                  esc = Qt::Key_Escape;
        row("integer refuses letters + . blank", {2, 1}, "5a+. -2", ret, "5-2", {2, 1}, true);
        row("backspace deletes", {2, 1}, "12\b3", ret, "13", {2, 1}, true);
        row("backspace on the cell opens it, its text chosen", {2, 1}, "\b\b7", ret, "7", {2, 1}, true);
        row("decimal: point to comma, no exponent", {2, 2}, "-1.5e3", ret, "-1,53", {2, 2}, true);
        row("hex digits, keypad enter", {2, 3}, "fG-1", int(Qt::Key_Enter), "f1", {2, 3}, true);
        row("integer: the digits' edges", {2, 1}, "0/9:", ret, "09", {2, 1}, true);
        row("hex: the edges of digits and letters", {2, 3}, "0/9:@AFG`afg", ret, "09AFaf", {2, 3}, true);
        row("text takes all, blank first", {2, 4}, " a.b-Z", ret, " a.b-Z", {2, 4}, false);
        row("tab next column", {2, 1}, "7", tab, "7", {2, 2}, true);
        row("tab from last column", {2, 4}, "t", tab, "t", {3, 1}, false);
        row("tab at last cell stays", {4, 4}, "t", tab, "t", {4, 4}, false);
        row("shift+tab previous column", {2, 2}, "7", btab, "7", {2, 1}, true);
        row("shift+tab from column 1", {2, 1}, "7", btab, "7", {1, 4}, true);
        row("shift+tab at first cell stays", {1, 1}, "7", btab, "7", {1, 1}, true);
        row("enter at last cell stays", {4, 4}, "e", ret, "e", {4, 4}, false);
        row("escape at first cell stays", {1, 1}, "7", esc, "v11", {1, 1}, true);
        row("up", {2, 2}, "3", up, "3", {1, 2}, true);
        row("up at row 1 stays", {1, 2}, "3", up, "3", {1, 2}, true);
        row("down", {2, 2}, "3", down, "3", {3, 2}, true);
        row("down at last row stays", {4, 2}, "3", down, "3", {4, 2}, true);
        row("double click, click elsewhere", {3, 4}, "*new", 0, "new", {1, 1}, false);
    }
    void typing() {
        const auto [from, keys, endKey, cell, to, changed] =
            fetch<QPoint, QString, int, QString, QPoint, bool>("from", "keys", "endKey", "cell", "to", "changed");
        Harness h;
        h.grid.select(from.x(), from.y(), from.x(), from.y());
        const QPoint at = h.view.cellRect(from.x(), from.y()).center(), away = h.view.cellRect(1, 1).center();
        if (keys.startsWith('*'))
            QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, at),
                QTest::mouseDClick(h.view.viewport(), Qt::LeftButton, {}, at);
        else
            QTest::keyClick(&h.view, keys.at(0).toLatin1());
        QVERIFY(h.editor->isVisible() && !h.editor->hasFrame());  // flat, in the cell's place
        QCOMPARE(h.editor->geometry(), h.view.cellRect(from.x(), from.y()));
        QCOMPARE(h.editor->alignment() & Qt::AlignRight, from.y() == 1 ? Qt::AlignRight : Qt::Alignment());
        QTest::keyClicks(h.editor, keys.mid(1));
        if (endKey == 0)
            QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, away);
        else
            QTest::keyClick(h.editor, Qt::Key(endKey), endKey == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(!h.editor->isVisible());
        QCOMPARE(h.grid.TextMatrix(from.x(), from.y()), cell);
        QCOMPARE(QPoint(h.grid.Row(), h.grid.Col()), to);
        QCOMPARE(h.changed, changed);
        QCOMPARE(h.view.currentIndex(), h.view.gridModel()->indexOfCell(to.x(), to.y()));
        h.grid.select(1, 1, 1, 1), QTest::keyClick(&h.view, 'x');  // a refused first key opens nothing
        QVERIFY(!h.editor->isVisible());
    }

    void selectionBothWays_data() {
        QTest::addColumn<QLine>("sel");  // (col, row) of the current cell, then of the far corner
        QTest::newRow("down right") << QLine(1, 1, 2, 3);
        QTest::newRow("up left") << QLine(3, 4, 1, 2);
        QTest::newRow("one cell") << QLine(2, 2, 2, 2);
    }
    void selectionBothWays() {
        QFETCH(QLine, sel);
        const QPoint cur = sel.p1(), far = sel.p2();
        Harness h;
        h.grid.select(cur.y(), cur.x(), far.y(), far.x());
        QCOMPARE(h.view.selectionModel()->selectedIndexes().size(),
                 (qAbs(far.y() - cur.y()) + 1) * (qAbs(far.x() - cur.x()) + 1));
        QCOMPARE(h.view.currentIndex(), h.view.gridModel()->indexOfCell(cur.y(), cur.x()));
        h.grid.select(1, 4, 1, 4);  // view to grid: click the far corner, shift-click the current one
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, h.view.cellRect(far.y(), far.x()).center());
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          h.view.cellRect(cur.y(), cur.x()).center());
        QCOMPARE(QList<int>({h.grid.Row(), h.grid.Col(), h.grid.RowSel(), h.grid.ColSel()}),
                 QList<int>({cur.y(), cur.x(), far.y(), far.x()}));
        // The current cell moved out of the block, in the block's rows or columns: the block is not its selection.
        for (const QPoint to : {QPoint(2, 4), QPoint(4, 1)}) {
            h.grid.select(2, 1, 3, 2);
            h.view.selectionModel()->setCurrentIndex(h.view.gridModel()->indexOfCell(to.x(), to.y()),
                                                     QItemSelectionModel::NoUpdate);
            QCOMPARE(QList<int>({h.grid.Row(), h.grid.Col(), h.grid.RowSel(), h.grid.ColSel()}),
                     QList<int>({to.x(), to.y(), to.x(), to.y()}));
        }
        // Select all from a cell inside: the grid's current cell goes to a corner, and the view shows it there,
        // where typing goes.
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, h.view.cellRect(2, 2).center());
        QTest::keyClick(h.view.viewport(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(h.view.currentIndex(), h.view.gridModel()->indexOfCell(h.grid.Row(), h.grid.Col()));
        QCOMPARE(h.view.selectionModel()->selectedIndexes().size(), h.grid.lastRow() * h.grid.lastCol());
    }
    // Text pasted into a cell being edited keeps to one line: TABs and line breaks become blanks.
    void pasteIntoCell() {
        Harness h;
        h.grid.select(2, 4, 2, 4), QTest::keyClick(&h.view, 'x');
        QApplication::clipboard()->setText("a\tb\r\nc");
        QTest::keyClick(h.editor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(h.editor->text(), QString("xa b  c"));
    }

    // A right click tells the cell under it: a caption is row 0, a row number column 0, the corner both; a double
    // click on a caption opens nothing.
    void rightClicks() {
        Harness h;
        QList<QPoint> told;
        QObject::connect(&h.view, &SignalGridView::cellRightClicked, [&](int r, int c) { told << QPoint(r, c); });
        QHeaderView *top = h.view.horizontalHeader(), *side = h.view.verticalHeader();
        const QPoint corner(side->width() / 2, top->height() / 2);
        QTest::mouseClick(h.view.viewport(), Qt::RightButton, {}, h.view.cellRect(3, 2).center());
        QTest::mouseClick(top->viewport(), Qt::RightButton, {}, QPoint(top->sectionViewportPosition(0) + 5, 5));
        QTest::mouseClick(side->viewport(), Qt::RightButton, {}, QPoint(5, side->sectionViewportPosition(0) + 5));
        QTest::mouseClick(h.view.findChild<QAbstractButton*>(), Qt::RightButton, {}, corner);
        QCOMPARE(told, QList<QPoint>({{3, 2}, {0, 1}, {1, 0}, {0, 0}}));
        QTest::mouseDClick(top->viewport(), Qt::LeftButton, {}, QPoint(top->sectionViewportPosition(2) + 5, 5));
        QVERIFY(!h.editor->isVisible());
    }

    // Widths go both ways; a rebuilt table keeps the place it was scrolled to; a chosen cell is brought into sight.
    void geometryBothWays() {
        Harness h;
        const int numbers = h.grid.ColWidth(0);
        h.grid.setColWidth(0, pxToTwips(1)), h.grid.setColWidth(1, pxToTwips(1));  // a pixel wide is still there
        QVERIFY(!h.view.verticalHeader()->isHidden() && !h.view.isColumnHidden(0));
        h.grid.setColWidth(0, numbers);
        h.grid.setColWidth(2, 0);
        h.grid.setColWidth(3, 3000);
        QCOMPARE(QList<bool>({h.view.isColumnHidden(0), h.view.isColumnHidden(1)}), QList<bool>({false, true}));
        QCOMPARE(h.view.columnWidth(2), twipsToPx(3000));
        h.view.horizontalHeader()->resizeSection(3, 400);
        QCOMPARE(h.grid.ColWidth(4), pxToTwips(400));
        for (int c = 1; c < 5; ++c) h.grid.setColWidth(c, 1500);
        h.grid.select(1, 2, 1, 2);
        h.view.resize(h.view.verticalHeader()->width() + twipsToPx(4500) + 30, 300), QCoreApplication::processEvents();
        h.view.horizontalScrollBar()->setValue(1);  // columns 2..4 in sight, the current one among them
        const int scrolled = h.view.horizontalScrollBar()->value();
        QVERIFY(scrolled > 0);
        h.grid.removeRows(4, 1), QCoreApplication::processEvents();
        QCOMPARE(h.view.horizontalScrollBar()->value(), scrolled);
        QCOMPARE(h.view.currentIndex(), h.view.gridModel()->indexOfCell(1, 2));  // and the current cell stays shown
        h.grid.select(1, 1, 1, 1);
        h.view.horizontalScrollBar()->setValue(h.view.horizontalScrollBar()->maximum());
        h.grid.select(1, 1, 1, 1);  // chosen again by the program, the first cell comes back in sight
        QCOMPARE(h.view.horizontalScrollBar()->value(), 0);
        h.grid.removeRows(2, 99);  // more rows than there are: those there go, row 1 stays
        QCOMPARE(QStringList({QString::number(h.grid.Rows()), h.grid.TextMatrix(1, 1)}), QStringList({"2", "v11"}));
        const QStringList captions = h.grid.rowCells(0);
        h.grid.moveRows(0, 1, 1), h.grid.moveRows(1, 1, 0);  // the caption row never moves, as it never goes
        QCOMPARE(h.grid.rowCells(0) << h.grid.TextMatrix(1, 1), captions + QStringList{"v11"});
    }

    // Rows on screen: from the first row wholly in sight (the one scrolled just above it is not) to the last one
    // reaching into the view.
    void rowsOnScreen() {
        SignalGrid g(41, 2);
        SignalGridView v;
        v.setGrid(&g), v.resize(300, 200), v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.resize(300, v.height() - v.viewport()->height() + 7 * v.rowHeight(0));  // the 8th row begins at the bottom
        v.verticalScrollBar()->setValue(5);
        QStringList got, expected;
        for (int r = 1; r < 41; ++r) {
            if (v.isRowOnScreen(r)) got << QString::number(r);
            if (r >= 6 && r <= v.rowAt(v.viewport()->height() - 1) + 1) expected << QString::number(r);
        }
        QCOMPARE(v.topRow(), 6);
        QCOMPARE(got.last(), "12");
        QCOMPARE(got, expected);
    }

    // One operation on rows sel.x to sel.y (columns 2..3); row `hidden` has height 0. "copy>N"/"cut>N"
    // paste the current row into row N; "number:START|STEP" answers the numbering's prompts (maximum 500).
    void rowOps_data() {
        // cursor: Row, RowSel, Col, ColSel; empty: not checked
        addColumns<QString, QStringList, QPoint, int, QStringList, QList<int>>("op", "rows", "sel", "hidden",
                                                                               "expected", "cursor");
        const QStringList ab{"1|a||", "2|b||"}, abc{"1|a||", "2|b||", "3|c||"}, blank{"1|||"};
        auto row = [](const char* n, const char* op, const QStringList& rows, QPoint sel, int hidden,
                      const QStringList& exp, const QList<int>& cursor = {}) {
            QTest::newRow(n) << QString(op) << rows << sel << hidden << exp << cursor;
        };
        row("insert, no data row", "insert", {}, {0, 0}, 0, blank, {1, 1, 1, 1});
        row("insert below middle row", "insert", abc, {2, 2}, 0, {"1|a||", "2|b||", "3|||", "4|c||"}, {3, 3, 1, 1});
        row("insert below last row", "insert", ab, {2, 2}, 0, {"1|a||", "2|b||", "3|||"}, {3, 3, 1, 1});
        row("insert, numbers with gaps", "insert", {"1|a||", "5|b||", "9|c||"}, {1, 1}, 0,
            {"1|a||", "2|||", "6|b||", "10|c||"});
        row("insert, caption row current", "insert", {"1|a||"}, {0, 0}, 0, {"1|||", "2|a||"}, {1, 1, 1, 1});
        row("delete whole table upwards", "delete", kFour, {4, 1}, 0, blank);
        row("delete with caption row", "delete", kFour, {0, 4}, 0, blank);
        row("delete middle block", "delete", kFour, {2, 3}, 0, {"1|a|b|c", "2|j|k|l"});
        row("delete first row", "delete", kFour, {1, 1}, 0, {"1|d|e|f", "2|g|h|i", "3|j|k|l"});
        row("delete last row", "delete", kFour, {4, 4}, 0, {"1|a|b|c", "2|d|e|f", "3|g|h|i"});
        row("delete only row", "delete", {"1|a|b|c"}, {1, 1}, 0, blank);
        row("delete, no data row", "delete", {}, {0, 0}, 0, {});
        row("first row up", "up", kFour, {1, 1}, 2, kFour, {1, 1, 2, 3});
        row("last row down", "down", kFour, {4, 4}, 2, kFour, {4, 4, 2, 3});
        row("block touching top up", "up", kFour, {1, 2}, 2, kFour, {1, 2, 2, 3});
        row("one row up", "up", kFour, {3, 3}, 2, {"1|a|b|c", "2|g|h|i", "3|d|e|f", "4|j|k|l"}, {2, 2, 2, 3});
        row("one row down", "down", kFour, {1, 1}, 2, {"1|d|e|f", "2|a|b|c", "3|g|h|i", "4|j|k|l"}, {2, 2, 2, 3});
        row("block up", "up", kFour, {3, 4}, 2, {"1|a|b|c", "2|g|h|i", "3|j|k|l", "4|d|e|f"}, {2, 3, 2, 3});
        row("block down, selected upwards", "down", kFour, {2, 1}, 2, {"1|g|h|i", "2|a|b|c", "3|d|e|f", "4|j|k|l"},
            {3, 2, 2, 3});
        row("copy row", "copy>4", kFour, {2, 2}, 0, withRow(4, "4|d|e|f"));
        row("cut row", "cut>4", kFour, {2, 2}, 0, {"1|a|b|c", "2|||", "3|g|h|i", "4|d|e|f"});
        row("copy from caption row", "copy>4", kFour, {0, 0}, 0, kFour);
        row("paste fewer pieces", "paste:x\t", kFour, {2, 2}, 0, withRow(2, "2|x||f"));
        row("paste more pieces", "paste:x\ty\tz\tw\tv\t", kFour, {2, 2}, 0, withRow(2, "2|x|y|z"));
        row("paste without tab", "paste:x", kFour, {4, 4}, 0, withRow(4, "4|x|k|l"));
        row("fill block, hidden row skipped", "fill", kFour, {1, 4}, 2, withB("D", "e", "D", "D"));
        row("fill selected upwards", "fill", kFour, {4, 3}, 0, withB("b", "e", "D", "D"));
        row("fill, caption row current", "fill", kFour, {0, 0}, 0, kFour);
        row("number up to the maximum", "number:498|1", kFour, {1, 3}, 0, withB("498", "499", "500", "k"));
        row("number above maximum", "number:498|1", kFour, {1, 4}, 0, withB("498", "499", "500", "0"));
        row("number, hidden row skipped", "number:10|5", kFour, {1, 4}, 2, withB("10", "e", "15", "20"));
        row("number, decimal comma rounds", "number:2,5|1,5", kFour, {1, 3}, 0, withB("2", "4", "6", "k"));
        row("number, negative step", "number:3|-2", kFour, {1, 3}, 0, withB("3", "1", "-1", "k"));
        row("number, no start stops", "number:|1", kFour, {1, 3}, 0, kFour);
        row("number, no step stops", "number:7|", kFour, {1, 3}, 0, kFour);
        row("clean one empty row stays", "clean", blank, {1, 1}, 0, blank);
        row("clean empties, renumbers", "clean", {"1|||", "7|a||", "3|||", "4| | |", "5|||b"}, {1, 1}, 0,
            {"1|a||", "2|||b"});
        row("clean all empty removes all", "clean", {"1|||", "2| ||"}, {1, 1}, 0, {});
        row("clean trims blanks only", "clean", {"1|\t||", "2|||"}, {1, 1}, 0, {"1|\t||"});
    }
    void rowOps() {
        const auto [op, rows, sel, hidden, expected, cursor] =
            fetch<QString, QStringList, QPoint, int, QStringList, QList<int>>("op", "rows", "sel", "hidden", "expected",
                                                                              "cursor");
        SignalGrid g;
        load(g, rows);
        for (int r = 1; r < g.Rows(); ++r) g.setRowData(r, 100 + r);
        if (hidden) g.setRowHeight(hidden, 0);
        g.select(sel.x(), 2, sel.y(), 3);
        SignalGridView view;
        CellEditorWidget e(&view);
        e.show();  // an edit in progress
        bool changed = false;
        QString buffer = op.section(':', 1);
        if (op == "insert") Inserta_Fila(g, changed);
        if (op == "delete") Elimina_Filas(g, e, changed);
        if (op == "up" || op == "down") Mueve_Filas(g, changed, op == "up");
        if (op == "fill") Rellena_Columna(g, 2, "D", changed);
        if (op.startsWith("paste:")) Pega_Fila(g, buffer, changed);
        if (op == "clean") Limpia_FilasVacias(g), changed = dump(g) != rows;
        if (op.startsWith("copy>") || op.startsWith("cut>")) {
            const bool took = op.startsWith("cut") ? Corta_Fila(g, buffer, changed) : Copia_Fila(g, buffer);
            QCOMPARE(took, sel.x() > 0);
            g.select(op.section('>', 1).toInt(), 1, op.section('>', 1).toInt(), 1);
            if (took) Pega_Fila(g, buffer, changed);
        }
        if (op.startsWith("number:")) {
            for (const QString& a : buffer.split('|')) m_prompts->queueText(a);
            Auto_Enumera(g, 2, "Add", changed, 500);  // no start: the step is not asked for
            QCOMPARE(m_prompts->texts(),
                     QStringList({"Add", Texto("EntrarInc")}).mid(0, buffer.startsWith('|') ? 1 : 2));
        }
        QCOMPARE(dump(g), expected);
        QCOMPARE(changed, expected != rows);
        QCOMPARE(g.TextMatrix(0, 2), "B");
        QVERIFY(g.Row() >= 0 && g.Row() < g.Rows());
        if (op == "delete" && changed) QVERIFY(e.isHidden());  // the edit is discarded
        if (!cursor.isEmpty()) QCOMPARE(QList<int>({g.Row(), g.RowSel(), g.Col(), g.ColSel()}), cursor);
        if (op == "up" || op == "down") {  // row data and heights stay with the place, like the numbers
            for (int r = 1; r <= 4; ++r) QCOMPARE(g.RowData(r), 100 + r);
            QCOMPARE(QList<int>({g.RowHeight(2), g.RowHeight(3)}), QList<int>({0, SignalGrid::kDefaultRowHeight}));
        }
    }

    // Every per-row and per-column property of a 3x4 grid set and read at -1, 0, the last and one past it: outside
    // the grid a set is ignored and a read gives the plain value.
    void accessorEdges_data() {
        const auto row = addColumns<QString>("property");
        for (const char* p : {"height", "width", "data", "type", "align", "cell row", "cell col"}) row(p, p);
    }
    void accessorEdges() {
        const QString p = col<QString>("property");
        SignalGrid g(3, 4);
        const bool byRow = p == "height" || p == "data" || p == "cell row";
        QStringList got;
        for (int i : {-1, 0, byRow ? 2 : 3, byRow ? 3 : 4}) {
            const int r = byRow ? i : 1, c = byRow ? 1 : i;
            if (p == "height") g.setRowHeight(i, 7);
            if (p == "width") g.setColWidth(i, 7);
            if (p == "data") g.setRowData(i, 7);
            if (p == "type") g.setColDataType(i, SignalGrid::HexByte);
            if (p == "align") g.setColAlignment(i, SignalGrid::AlignRight);
            if (p.startsWith("cell")) g.setTextMatrix(r, c, "7");
            got << (p == "height"  ? QString::number(g.RowHeight(i))
                    : p == "width" ? QString::number(g.ColWidth(i))
                    : p == "data"  ? QString::number(g.RowData(i))
                    : p == "type"  ? QString::number(g.ColDataType(i))
                    : p == "align" ? QString::number(g.ColAlignment(i))
                                   : g.TextMatrix(r, c) + "/" + g.cell(r, c));
        }
        const QStringList plain{"0", "0", "0", "8", "0", "/", "/"}, set{"7", "7", "7", "17", "2", "7/7", "7/7"};
        const int k = int(QStringList{"height", "width", "data", "type", "align", "cell row", "cell col"}.indexOf(p));
        QCOMPARE(got, QStringList({plain[k], set[k], set[k], plain[k]}));
    }

    void modelFollowsGrid() {
        SignalGrid g;
        load(g, kFour);
        SignalGridModel m(&g);
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy data(&m, &QAbstractItemModel::dataChanged), header(&m, &QAbstractItemModel::headerDataChanged),
            reset(&m, &QAbstractItemModel::modelReset);
        g.setTextMatrix(2, 3, "new");
        g.setTextMatrix(0, 1, "Cap");
        g.setTextMatrix(1, 0, "99");
        g.setRedraw(false);  // off redraw, cell changes come as one notice for the block
        g.setTextMatrix(1, 1, "x");
        g.setTextMatrix(3, 3, "y");
        QCOMPARE(data.count(), 1);
        g.setRedraw(true);
        QCOMPARE(QList<QModelIndex>({data[0][0].toModelIndex(), data[1][0].toModelIndex(), data[1][1].toModelIndex()}),
                 QList<QModelIndex>({m.indexOfCell(2, 3), m.index(0, 0), m.index(2, 2)}));
        QCOMPARE(QList<int>({header[0][0].value<Qt::Orientation>(), header[1][0].value<Qt::Orientation>()}),
                 QList<int>({Qt::Horizontal, Qt::Vertical}));
        bool changed = false;
        SignalGridView view;
        CellEditorWidget e(&view);
        g.select(1, 1, 2, 1), Elimina_Filas(g, e, changed);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.headerData(1, Qt::Vertical).toString(), "2");
        Rellena_Columna(g, 1, "q", changed);  // cells only: no reset
        QCOMPARE(reset.count(), 1);
        QCOMPARE(m.data(m.index(0, 0)).toString(), "q");
        g.select(2, 3, 2, 3), g.setRows(2);  // shrunk under the current cell: it stays inside, the view follows
        QCOMPARE(QList<int>({g.Row(), g.RowSel(), int(reset.count()), m.rowCount()}), QList<int>({1, 1, 2, 1}));
        g.setCols(2);
        QCOMPARE(QList<int>({g.Col(), g.ColSel(), int(reset.count()), m.columnCount()}), QList<int>({1, 1, 3, 1}));
        g.setCols(1);  // down to the row numbers alone
        QCOMPARE(QList<int>({g.Col(), g.ColSel()}), QList<int>({0, 0}));
    }

    // The corner shows the caption of cell 0,0: a new one is painted at once.
    void cornerFollowsItsText() {
        struct Paints : QObject {
            int n = 0;
            bool eventFilter(QObject*, QEvent* e) override { return n += e->type() == QEvent::Paint, false; }
        } paints;
        Harness h;
        h.view.findChild<QAbstractButton*>()->installEventFilter(&paints);
        QCoreApplication::processEvents(), paints.n = 0;
        h.grid.setTextMatrix(0, 0, "Nr");
        QTRY_VERIFY(paints.n > 0);
    }

    // Ending an edit writes only an open one (shown, holding a cell of the table) and hides the box whenever it held
    // a cell. "after": the cells holding the typed text, the box shown, the edit's row.
    // The focus leaving the open editor: for another control it ends the edit; for a menu or another window not.
    // So does the current cell moving to another row or column (reason -1, -2), but not to itself (-3).
    void focusLeaves_data() {
        addColumns<int, QString>("reason", "cell");  // the cell after, the editor still open: "open"
        QTest::newRow("current cell to the next row") << -1 << "5";
        QTest::newRow("current cell to the next column") << -2 << "5";
        QTest::newRow("current cell set to itself") << -3 << "open";
        QTest::newRow("tab") << int(Qt::TabFocusReason) << "5";
        QTest::newRow("mouse") << int(Qt::MouseFocusReason) << "5";
        QTest::newRow("other") << int(Qt::OtherFocusReason) << "5";
        QTest::newRow("menu") << int(Qt::PopupFocusReason) << "open";
        QTest::newRow("another window") << int(Qt::ActiveWindowFocusReason) << "open";
    }
    void focusLeaves() {
        Harness h;
        h.grid.select(2, 1, 2, 1), QTest::keyClick(&h.view, '5');
        const int reason = col<int>("reason");
        const QPoint to = QList<QPoint>{{3, 1}, {2, 2}, {2, 1}}.value(-reason - 1);
        QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
        if (reason < 0)
            h.grid.select(to.x(), to.y(), to.x(), to.y());
        else
            QCoreApplication::sendEvent(h.editor, &out);
        QCOMPARE(h.editor->isVisible() ? "open" : h.grid.TextMatrix(2, 1), col<QString>("cell"));
    }

    // Return and Tab with Ctrl or Alt neither end the edit nor reach the text, whatever text the keyboard sends.
    void modifiedKeysInTheEditor() {
        Harness h;
        h.grid.select(2, 4, 2, 4), QTest::keyClick(&h.view, 'a');
        for (const int key : {int(Qt::Key_Return), int(Qt::Key_Tab)})
            for (const Qt::KeyboardModifier m : {Qt::ControlModifier, Qt::AltModifier})
                for (const QString& text : {QString(), QString(key == Qt::Key_Tab ? "\t" : "\r")}) {
                    QKeyEvent e(QEvent::KeyPress, key, m, text);
                    QApplication::sendEvent(h.editor, &e);
                }
        QVERIFY(h.editor->isVisible() && h.editor->hasFocus());
        QCOMPARE(h.editor->text(), "a");
    }

    // The cell editor takes its grid's background, whatever the desktop's theme gives a line edit.
    void editorTakesItsGridsBackground() {
        QPalette lineEdits = QApplication::palette();
        lineEdits.setColor(QPalette::Base, Qt::green);
        QApplication::setPalette(lineEdits, "QLineEdit");
        Harness h;
        const QColor base = h.editor->palette().color(QPalette::Base);
        QApplication::setPalette(QApplication::palette(), "QLineEdit");
        QCOMPARE(base, h.view.palette().color(QPalette::Base));
    }

    void endEdit_data() {
        addColumns<bool, QPoint, QString>("shown", "cell", "after");
        QTest::newRow("open edit") << true << QPoint(2, 3) << "2,3 0 -1";
        QTest::newRow("box hidden") << false << QPoint(2, 3) << " 0 2";
        QTest::newRow("shown, no cell") << true << QPoint(-1, -1) << " 1 -1";
        QTest::newRow("last row, last column") << true << QPoint(4, 3) << "4,3 0 -1";
        for (const QPoint& out : {QPoint(0, 3), QPoint(5, 3), QPoint(2, 0), QPoint(2, 4)})
            QTest::newRow(qPrintable(QString("outside %1,%2").arg(out.x()).arg(out.y()))) << true << out << " 0 -1";
    }
    void endEdit() {
        const auto [shown, cell, after] = fetch<bool, QPoint, QString>("shown", "cell", "after");
        SignalGrid g;
        load(g, kFour);
        SignalGridView view;
        view.setGrid(&g), view.show();
        CellEditorWidget e(&view);
        e.setText("typed"), e.setVisible(shown), e.editRow = cell.x(), e.editCol = cell.y();
        Termina_Edicion(g, e);
        QStringList typed;
        for (int r = 0; r < g.Rows(); ++r)
            for (int c = 0; c < g.Cols(); ++c)
                if (g.TextMatrix(r, c) == "typed") typed << QString("%1,%2").arg(r).arg(c);
        QCOMPARE(QString("%1 %2 %3").arg(typed.join(';')).arg(e.isVisible()).arg(e.editRow), after);
    }

    // Filled again as a load fills it (redraw off, then on), the view shows the grid's rows, hidden rows and columns
    // and current cell, the second and third time as the first.
    void refill() {
        Harness h;
        for (int fill = 1; fill <= 3; ++fill) {
            h.grid.setRedraw(false);
            h.grid.setRows(3 + fill);
            for (int r = 1; r < h.grid.Rows(); ++r)
                h.grid.setRowHeight(r, r == fill ? 0 : SignalGrid::kDefaultRowHeight);
            for (int c = 1; c < 5; ++c) h.grid.setColWidth(c, c == fill + 1 ? 0 : 1000);
            h.grid.select(3, 1, 3, 1), h.grid.setRedraw(true);
            QString got, want;
            for (int r = 1; r < h.grid.Rows(); ++r)
                got += h.view.isRowHidden(r - 1) ? 'h' : 's', want += h.grid.RowHeight(r) ? 's' : 'h';
            for (int c = 1; c < 5; ++c)
                got += h.view.isColumnHidden(c - 1) ? 'h' : 's', want += h.grid.ColWidth(c) ? 's' : 'h';
            QCOMPARE(got + QString::number(h.view.model()->rowCount()), want + QString::number(h.grid.Rows() - 1));
            QCOMPARE(h.view.currentIndex(), h.view.gridModel()->indexOfCell(3, 1));
        }
        // A view given the grid later shows its block from the start.
        h.grid.select(1, 1, 2, 2);
        SignalGridView late;
        late.setGrid(&h.grid);
        QCOMPARE(late.selectionModel()->selectedIndexes().size(), 4);
    }

    // The column set-up both gateway grids share: captions, widths, help, and the typing rule from the definition.
    void columnSetUp() {
        SignalGrid g(2, 5);
        QVector<InfoColumna> info(5);
        const DefColumna defs[] = {{0, -1, SignalGrid::Text, "#", nullptr, nullptr, nullptr},
                                   {900, 0, SignalGrid::Int16, "Node", nullptr, "node help", nullptr}};
        Aplica_Columnas(g, info, defs, 2), Carga_CabecerasComunes(g, info, 2, 3, 4);
        QCOMPARE(g.rowCells(0), QStringList({Texto("Noo"), "Node", Texto("Dir"), "A/D", Texto("Activa")}));
        QCOMPARE(QList<int>({g.ColWidth(0), g.ColWidth(1), g.ColWidth(2)}), QList<int>({500, 900, 600}));
        QCOMPARE(info[1].Ayuda, "node help");

        OpcionesColumna o;
        for (const char* kt : {"K0=a", "K1=b", "K0=c"}) o.Add(QString(kt).mid(3), QString(kt).left(2));
        QCOMPARE(o.texts(), QStringList({"c", "b"}));  // a key given again replaces its text
    }
};

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"
