// The grid on screen: key filter and floating editor under real key events, double click, selection both ways.
#include <QtTest>
#include <optional>

#include "CellEditorWidget.h"
#include "ModPilmoraASCII.h"
#include "ModulASCII.h"
#include "SignalGrid.h"
#include "SignalGridModel.h"
#include "SignalGridView.h"
#include "TestSupport.h"

namespace {
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
        view.setGrid(&grid);
        editor->setChangedFlag(&changed);
        Prepara_Editor(grid, *editor);
        // Wired as the editors wire it: filter the key, then open the editor with it.
        QObject::connect(&view, &SignalGridView::keyTyped, &view, [this](int k) {
            FiltroTecla(k, grid, changed);
            if (k != 0) Empieza_Edicion(grid, *editor, k);
        });
        QObject::connect(&view, &SignalGridView::cellDoubleClicked, &view,
                         [this](int, int) { Empieza_Edicion(grid, *editor, 0); });
        view.resize(700, 300);
        view.show();
        // Focus moves are where the editor goes wrong: the window must really hold it.
        QApplication::setActiveWindow(&view);
        view.setFocus();
        if (!QTest::qWaitForWindowActive(&view)) qWarning("grid window not active");
    }
};
}  // namespace

class TestGridView : public QObject {
    Q_OBJECT
    std::optional<TestHome> m_home;
    std::optional<ScriptedPrompts> m_prompts;

private slots:
    void init() {
        m_home.emplace(false);
        m_prompts.emplace();
    }
    void cleanup() { m_prompts.reset(), m_home.reset(); }

    // The first key goes to the grid at `from` and opens the editor, the rest go to the
    // editor, then endKey. to: where the current cell ends up.
    void typing_data() {
        QTest::addColumn<QPoint>("from");  // (row, col)
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("endKey");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<bool>("changed");
        const int ret = Qt::Key_Return, tab = Qt::Key_Tab, btab = Qt::Key_Backtab, up = Qt::Key_Up, down = Qt::Key_Down,
                  esc = Qt::Key_Escape;
        QTest::newRow("integer refuses letters") << QPoint(2, 1) << "5a-2" << ret << "5-2" << QPoint(2, 1) << true;
        QTest::newRow("integer refuses + . blank") << QPoint(2, 1) << "1+. 2" << ret << "12" << QPoint(2, 1) << true;
        QTest::newRow("decimal point to comma") << QPoint(2, 2) << "1.5" << ret << "1,5" << QPoint(2, 2) << true;
        QTest::newRow("decimal refuses exponent") << QPoint(2, 2) << "-1e5" << ret << "-15" << QPoint(2, 2) << true;
        QTest::newRow("hex digits, keypad enter")
            << QPoint(2, 3) << "fG-1" << int(Qt::Key_Enter) << "f1" << QPoint(2, 3) << true;
        QTest::newRow("text takes all") << QPoint(2, 4) << "a.b-Z" << ret << "a.b-Z" << QPoint(2, 4) << false;
        QTest::newRow("escape discards") << QPoint(2, 4) << "xyz" << esc << "v24" << QPoint(2, 4) << false;
        QTest::newRow("tab next column") << QPoint(2, 1) << "7" << tab << "7" << QPoint(2, 2) << true;
        QTest::newRow("tab from last column") << QPoint(2, 4) << "t" << tab << "t" << QPoint(3, 1) << false;
        QTest::newRow("tab at last cell stays") << QPoint(4, 4) << "t" << tab << "t" << QPoint(4, 4) << false;
        QTest::newRow("shift+tab previous column") << QPoint(2, 2) << "7" << btab << "7" << QPoint(2, 1) << true;
        QTest::newRow("shift+tab from column 1") << QPoint(2, 1) << "7" << btab << "7" << QPoint(1, 4) << true;
        QTest::newRow("shift+tab at first cell stays") << QPoint(1, 1) << "7" << btab << "7" << QPoint(1, 1) << true;
        QTest::newRow("enter at last cell stays") << QPoint(4, 4) << "e" << ret << "e" << QPoint(4, 4) << false;
        QTest::newRow("escape at first cell stays") << QPoint(1, 1) << "7" << esc << "v11" << QPoint(1, 1) << true;
        QTest::newRow("up") << QPoint(2, 2) << "3" << up << "3" << QPoint(1, 2) << true;
        QTest::newRow("up at row 1 stays") << QPoint(1, 2) << "3" << up << "3" << QPoint(1, 2) << true;
        QTest::newRow("down") << QPoint(2, 2) << "3" << down << "3" << QPoint(3, 2) << true;
        QTest::newRow("down at last row stays") << QPoint(4, 2) << "3" << down << "3" << QPoint(4, 2) << true;
    }
    void typing() {
        QFETCH(QPoint, from);
        QFETCH(QString, keys);
        QFETCH(int, endKey);
        QFETCH(QString, cell);
        QFETCH(QPoint, to);
        QFETCH(bool, changed);
        Harness h;
        h.grid.select(from.x(), from.y(), from.x(), from.y());
        QTest::keyClick(&h.view, keys.at(0).toLatin1());
        QVERIFY(h.editor->isVisible());
        QCOMPARE(h.editor->geometry(), h.view.cellRect(from.x(), from.y()));
        QTest::keyClicks(h.editor, keys.mid(1));
        QTest::keyClick(h.editor, Qt::Key(endKey), endKey == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY(!h.editor->isVisible());
        QCOMPARE(h.grid.TextMatrix(from.x(), from.y()), cell);
        QCOMPARE(QPoint(h.grid.Row(), h.grid.Col()), to);
        QCOMPARE(h.changed, changed);
        QCOMPARE(h.view.currentIndex(), h.view.gridModel()->indexOfCell(to.x(), to.y()));
        h.grid.select(1, 1, 1, 1);
        QTest::keyClick(&h.view, 'x');  // a refused first key opens nothing
        QVERIFY(!h.editor->isVisible());
    }

    // Clicking another cell ends the edit and writes the text where it was typed.
    void doubleClickEditsCellText() {
        Harness h;
        const QPoint p = h.view.cellRect(3, 4).center();
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(h.view.viewport(), Qt::LeftButton, {}, p);
        QVERIFY(h.editor->isVisible());
        QCOMPARE(h.editor->selectedText(), "v34");
        QTest::keyClicks(h.editor, "new");
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, h.view.cellRect(1, 1).center());
        QVERIFY(!h.editor->isVisible());
        QCOMPARE(h.grid.TextMatrix(3, 4), "new");
        QCOMPARE(h.grid.Row(), 1);
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
        // View to grid: click the far corner, shift-click the current one.
        h.grid.select(1, 4, 1, 4);
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, h.view.cellRect(far.y(), far.x()).center());
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          h.view.cellRect(cur.y(), cur.x()).center());
        QCOMPARE(QList<int>({h.grid.Row(), h.grid.Col(), h.grid.RowSel(), h.grid.ColSel()}),
                 QList<int>({cur.y(), cur.x(), far.y(), far.x()}));
    }
};

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"
