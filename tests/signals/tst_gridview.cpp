// The grid on screen: the floating editor driven by real key events, the view's
// reports to its window (right click, double click, ALT+arrows), the selection kept
// equal both ways, and hidden rows and twip widths.
#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QSignalSpy>

#include "CellEditorWidget.h"
#include "ModPilmoraASCII.h"
#include "ModulASCII.h"
#include "SignalGrid.h"
#include "SignalGridModel.h"
#include "SignalGridView.h"
#include "TestSupport.h"

namespace {
// Columns: 1 integer, 2 decimal, 3 hex byte, 4 text.
struct Harness {
    SignalGrid grid{5, 5};
    SignalGridView view;
    CellEditorWidget* editor = nullptr;
    bool changed = false;

    Harness() {
        const QStringList caps = {"No.", "Int", "Dec", "Hex", "Text"};
        for (int c = 0; c < 5; ++c) grid.setTextMatrix(0, c, caps[c]);
        for (int r = 1; r < 5; ++r)
            for (int c = 0; c < 5; ++c) grid.setTextMatrix(r, c, c == 0 ? QString::number(r) : QString("v%1%2").arg(r).arg(c));
        grid.setColDataType(1, SignalGrid::Int16);
        grid.setColDataType(2, SignalGrid::Single);
        grid.setColDataType(3, SignalGrid::HexByte);
        grid.setColDataType(4, SignalGrid::Text);
        view.setGrid(&grid);
        editor = new CellEditorWidget(&view);
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
        view.activateWindow();
        view.setFocus();
    }
};
}  // namespace

class TestGridView : public QObject {
    Q_OBJECT
    TestHome* m_home = nullptr;
    ScriptedPrompts* m_prompts = nullptr;

private slots:
    void init() {
        m_home = new TestHome(false);
        m_prompts = new ScriptedPrompts;
    }
    void cleanup() {
        delete m_prompts;
        delete m_home;
    }

    void typing_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("endKey");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("newCol");
        QTest::addColumn<bool>("changed");
        QTest::newRow("integer refuses letters") << 1 << "5a-2" << int(Qt::Key_Return) << "5-2" << 2 << 1 << true;
        QTest::newRow("decimal point to comma") << 2 << "1.5" << int(Qt::Key_Return) << "1,5" << 2 << 2 << true;
        QTest::newRow("hex digits only") << 3 << "fG1" << int(Qt::Key_Enter) << "f1" << 2 << 3 << true;
        QTest::newRow("text takes all") << 4 << "a.b-Z" << int(Qt::Key_Return) << "a.b-Z" << 2 << 4 << false;
        QTest::newRow("escape discards") << 4 << "xyz" << int(Qt::Key_Escape) << "v24" << 2 << 4 << false;
        QTest::newRow("tab next column") << 1 << "7" << int(Qt::Key_Tab) << "7" << 2 << 2 << true;
        QTest::newRow("tab from last column") << 4 << "t" << int(Qt::Key_Tab) << "t" << 3 << 1 << false;
        QTest::newRow("up") << 2 << "3" << int(Qt::Key_Up) << "3" << 1 << 2 << true;
        QTest::newRow("down") << 2 << "3" << int(Qt::Key_Down) << "3" << 3 << 2 << true;
    }
    void typing() {
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(int, endKey);
        QFETCH(QString, cell);
        QFETCH(int, row);
        QFETCH(int, newCol);
        QFETCH(bool, changed);
        Harness h;
        h.grid.select(2, col, 2, col);
        // The first key goes to the grid and opens the editor; the rest to the editor.
        QTest::keyClick(&h.view, keys.at(0).toLatin1());
        QVERIFY(h.editor->isVisible());
        QCOMPARE(h.editor->geometry(), h.view.cellRect(2, col));
        QTest::keyClicks(h.editor, keys.mid(1));
        QTest::keyClick(h.editor, Qt::Key(endKey));
        QVERIFY(!h.editor->isVisible());
        QCOMPARE(h.grid.TextMatrix(2, col), cell);
        QCOMPARE(h.grid.Row(), row);
        QCOMPARE(h.grid.Col(), newCol);
        QCOMPARE(h.changed, changed);
        QCOMPARE(h.view.currentIndex(), h.view.gridModel()->indexOfCell(row, newCol));
    }

    void refusedFirstKeyOpensNothing() {
        Harness h;
        h.grid.select(1, 1, 1, 1);
        QTest::keyClick(&h.view, 'x');
        QVERIFY(!h.editor->isVisible());
        QVERIFY(!h.changed);
    }

    void breaksNeverReachTheCell_data() {
        QTest::addColumn<QString>("typedText");
        QTest::newRow("line feed") << "\n";
        QTest::newRow("carriage return") << "\r";
        QTest::newRow("tab character") << "\t";
    }
    void breaksNeverReachTheCell() {
        QFETCH(QString, typedText);
        Harness h;
        h.grid.select(1, 4, 1, 4);
        QTest::keyClick(&h.view, 'a');
        QKeyEvent ev(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typedText);
        QApplication::sendEvent(h.editor, &ev);
        QCOMPARE(h.editor->text(), "a");
        h.editor->insert("b\tc\r\nd");
        QCOMPARE(h.editor->text(), "ab c  d");
        QApplication::clipboard()->setText("p\tq\nr");
        h.editor->paste();
        QVERIFY(!h.editor->text().contains('\t'));
        QVERIFY(!h.editor->text().contains('\n'));
        QTest::keyClick(h.editor, Qt::Key_Return);
        const QString stored = h.grid.TextMatrix(1, 4);
        QVERIFY(stored.startsWith("ab c  d"));
        QVERIFY(!stored.contains('\t') && !stored.contains('\r') && !stored.contains('\n'));
        // Ctrl+Enter is no way round either.
        h.grid.select(1, 4, 1, 4);
        QTest::keyClick(&h.view, 'z');
        QTest::keyClick(h.editor, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!h.editor->text().contains('\n'));
    }

    void doubleClickOpensWithCellText() {
        Harness h;
        const QPoint p = h.view.cellRect(3, 4).center();
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(h.view.viewport(), Qt::LeftButton, {}, p);
        QVERIFY(h.editor->isVisible());
        QCOMPARE(h.editor->text(), "v34");
        QCOMPARE(h.editor->selectedText(), "v34");
        // Clicking another cell ends the edit and writes the text back.
        QTest::keyClicks(h.editor, "new");
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, h.view.cellRect(1, 1).center());
        QVERIFY(!h.editor->isVisible());
        QCOMPARE(h.grid.TextMatrix(3, 4), "new");
        QCOMPARE(h.grid.Row(), 1);
    }

    void deleteWithOpenEditorDiscards() {
        Harness h;
        h.grid.select(2, 4, 2, 4);
        QTest::keyClick(&h.view, 'q');
        QVERIFY(h.editor->isVisible());
        h.grid.select(2, 4, 3, 4);
        Elimina_Filas(h.grid, *h.editor, h.changed);
        QVERIFY(!h.editor->isVisible());
        QCOMPARE(h.grid.dataRows(), 2);
        QCOMPARE(h.grid.TextMatrix(2, 4), "v44");
        QCOMPARE(h.view.gridModel()->rowCount(), 2);
    }

    void rightClicks_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("data cell") << "cell" << 3 << 2;
        QTest::newRow("caption") << "caption" << 0 << 3;
        QTest::newRow("row number") << "number" << 4 << 0;
    }
    void rightClicks() {
        QFETCH(QString, where);
        QFETCH(int, row);
        QFETCH(int, col);
        Harness h;
        h.grid.select(1, 1, 1, 1);
        QSignalSpy spy(&h.view, &SignalGridView::cellRightClicked);
        QWidget* target = h.view.viewport();
        QPoint p;
        if (where == "cell") {
            p = h.view.cellRect(row, col).center();
        } else if (where == "caption") {
            target = h.view.horizontalHeader()->viewport();
            p = QPoint(h.view.horizontalHeader()->sectionViewportPosition(col - 1) + 5, 5);
        } else {
            target = h.view.verticalHeader()->viewport();
            p = QPoint(5, h.view.verticalHeader()->sectionViewportPosition(row - 1) + 5);
        }
        QTest::mouseClick(target, Qt::RightButton, {}, p);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toInt(), row);
        QCOMPARE(spy[0][1].toInt(), col);
        QCOMPARE(spy[0][2].toPoint(), target->mapToGlobal(p));
        // The window decides what becomes current.
        QCOMPARE(h.grid.Row(), 1);
        QCOMPARE(h.grid.Col(), 1);
    }

    void altArrows() {
        Harness h;
        QSignalSpy up(&h.view, &SignalGridView::altUpPressed);
        QSignalSpy down(&h.view, &SignalGridView::altDownPressed);
        h.grid.select(2, 1, 2, 1);
        QTest::keyClick(&h.view, Qt::Key_Up, Qt::AltModifier);
        QTest::keyClick(&h.view, Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(&h.view, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(up.count(), 1);
        QCOMPARE(down.count(), 2);
        QCOMPARE(h.grid.Row(), 2);
        // Plain arrows move the current cell.
        QTest::keyClick(&h.view, Qt::Key_Down);
        QCOMPARE(h.grid.Row(), 3);
    }

    void selectionBothWays_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<int>("colSel");
        QTest::newRow("down right") << 1 << 1 << 3 << 2;
        QTest::newRow("up left") << 4 << 3 << 2 << 1;
        QTest::newRow("one cell") << 2 << 2 << 2 << 2;
    }
    void selectionBothWays() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, rowSel);
        QFETCH(int, colSel);
        Harness h;
        // Grid to view.
        h.grid.select(row, col, rowSel, colSel);
        const int cells = (qAbs(rowSel - row) + 1) * (qAbs(colSel - col) + 1);
        QCOMPARE(h.view.selectionModel()->selectedIndexes().size(), cells);
        QCOMPARE(h.view.currentIndex(), h.view.gridModel()->indexOfCell(row, col));
        // View to grid: click the far corner, shift-click the current one.
        h.grid.select(1, 4, 1, 4);
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, {}, h.view.cellRect(rowSel, colSel).center());
        QTest::mouseClick(h.view.viewport(), Qt::LeftButton, Qt::ShiftModifier, h.view.cellRect(row, col).center());
        QCOMPARE(h.grid.Row(), row);
        QCOMPARE(h.grid.Col(), col);
        QCOMPARE(h.grid.RowSel(), rowSel);
        QCOMPARE(h.grid.ColSel(), colSel);
    }

    void rowNumberClickSelectsRow() {
        Harness h;
        auto* vh = h.view.verticalHeader();
        QTest::mouseClick(vh->viewport(), Qt::LeftButton, {}, QPoint(5, vh->sectionViewportPosition(2) + 5));
        QCOMPARE(h.grid.selTop(), 3);
        QCOMPARE(h.grid.selBottom(), 3);
        QCOMPARE(h.grid.selLeft(), 1);
        QCOMPARE(h.grid.selRight(), 4);
    }

    void geometryFollowsGrid() {
        Harness h;
        h.grid.setColWidth(2, 1500);
        h.grid.setColWidth(3, 0);
        h.grid.setColWidth(0, 600);
        h.grid.setRowHeight(3, 0);
        QCOMPARE(h.view.columnWidth(1), 100);
        QVERIFY(h.view.isColumnHidden(2));
        QCOMPARE(h.view.verticalHeader()->width(), 40);
        QVERIFY(h.view.isRowHidden(2));
        // A model reset (rows removed) keeps hidden rows and widths.
        h.grid.select(1, 1, 1, 1);
        Elimina_Filas(h.grid, *h.editor, h.changed);
        QVERIFY(h.view.isRowHidden(1));
        QVERIFY(!h.view.isRowHidden(0));
        QCOMPARE(h.view.columnWidth(1), 100);
        h.grid.setColWidth(3, 900);
        QVERIFY(!h.view.isColumnHidden(2));
        QCOMPARE(h.view.columnWidth(2), 60);
        // A column the user drags wider keeps its width in the grid.
        h.view.horizontalHeader()->resizeSection(3, 80);
        QCOMPARE(h.grid.ColWidth(4), 1200);
    }

    void currentCellReported() {
        Harness h;
        QSignalSpy cur(&h.view, &SignalGridView::currentCellChanged);
        h.grid.select(4, 2, 4, 2);
        QCOMPARE(cur.count(), 1);
        QCOMPARE(cur[0][0].toInt(), 4);
    }
};

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"
