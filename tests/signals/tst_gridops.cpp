// The grid editing operations on the grid model, without a window: key filter,
// floating editor, row insert/delete/move, one-row copy, fill, numbering, clean-up,
// and the grid's batched change notices.
#include <QtTest>

#include <QSignalSpy>

#include "AppGlobals.h"
#include "FakeCellEditor.h"
#include "ModPilmoraASCII.h"
#include "ModulASCII.h"
#include "SignalGrid.h"
#include "SignalGridModel.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
// Four columns: captions "No.|A|B|C", then one row per entry written "n|a|b|c".
void load(SignalGrid& g, const QStringList& rows) {
    g.setCols(4);
    g.setRows(int(rows.size()) + 1);
    const QStringList caps = QString("No.|A|B|C").split('|');
    for (int c = 0; c < 4; ++c) g.setTextMatrix(0, c, caps[c]);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows[r].split('|');
        for (int c = 0; c < 4; ++c) g.setTextMatrix(r + 1, c, cells.value(c));
    }
}

QStringList dump(const SignalGrid& g) {
    QStringList out;
    for (int r = 1; r < g.Rows(); ++r) out << g.rowCells(r).join('|');
    return out;
}

const QStringList kFour = {"1|a|b|c", "2|d|e|f", "3|g|h|i", "4|j|k|l"};
}  // namespace

class TestGridOps : public QObject {
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

    // ---- key filter

    void keyFilter_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("changed");
        const int i16 = SignalGrid::Int16, i32 = SignalGrid::Int32, dec = SignalGrid::Single,
                  txt = SignalGrid::Text, hex = SignalGrid::HexByte;
        QTest::newRow("int digit") << i16 << int('7') << int('7') << true;
        QTest::newRow("int minus") << i16 << int('-') << int('-') << true;
        QTest::newRow("int enter") << i32 << 13 << 13 << true;
        QTest::newRow("int letter refused") << i16 << int('a') << 0 << false;
        QTest::newRow("int point refused") << i32 << int('.') << 0 << false;
        QTest::newRow("int plus refused") << i32 << int('+') << 0 << false;
        QTest::newRow("int blank refused") << i16 << int(' ') << 0 << false;
        QTest::newRow("int tab refused") << i16 << 9 << 0 << false;
        QTest::newRow("decimal point becomes comma") << dec << int('.') << int(',') << true;
        QTest::newRow("decimal comma") << dec << int(',') << int(',') << true;
        QTest::newRow("decimal plus") << dec << int('+') << int('+') << true;
        QTest::newRow("decimal minus") << dec << int('-') << int('-') << true;
        QTest::newRow("decimal exponent refused") << dec << int('e') << 0 << false;
        QTest::newRow("hex upper") << hex << int('F') << int('F') << true;
        QTest::newRow("hex lower") << hex << int('a') << int('a') << true;
        QTest::newRow("hex G refused") << hex << int('G') << 0 << false;
        QTest::newRow("hex minus refused") << hex << int('-') << 0 << false;
        QTest::newRow("text letter keeps flag") << txt << int('x') << int('x') << false;
        QTest::newRow("text point stays") << txt << int('.') << int('.') << false;
        QTest::newRow("backspace in text") << txt << 8 << 8 << true;
        QTest::newRow("backspace in int") << i16 << 8 << 8 << true;
    }
    void keyFilter() {
        QFETCH(int, type);
        QFETCH(int, key);
        QFETCH(int, result);
        QFETCH(bool, changed);
        SignalGrid g(3, 4);
        g.setColDataType(2, type);
        g.select(1, 2, 1, 2);
        bool flag = false;
        FiltroTecla(key, g, flag);
        QCOMPARE(key, result);
        QCOMPARE(flag, changed);
    }

    // ---- floating editor

    void startEdit_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("allSelected");
        QTest::newRow("printable replaces") << int('9') << "9" << false;
        QTest::newRow("blank replaces") << int(' ') << " " << false;
        QTest::newRow("enter keeps text") << 13 << "old" << true;
        QTest::newRow("double click keeps text") << 0 << "old" << true;
        QTest::newRow("backspace keeps text") << 8 << "old" << true;
    }
    void startEdit() {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(bool, allSelected);
        SignalGrid g;
        load(g, kFour);
        g.setTextMatrix(3, 2, "old");
        g.setColAlignment(2, SignalGrid::AlignRight);
        g.select(3, 2, 3, 2);
        FakeCellEditor e;
        e.visible = false;
        Empieza_Edicion(g, e, key);
        QVERIFY(e.visible);
        QCOMPARE(e.text, text);
        QCOMPARE(e.allSelected, allSelected);
        if (!allSelected) QCOMPARE(e.cursor, 1);
        QCOMPARE(e.placedRow, 3);
        QCOMPARE(e.placedCol, 2);
        QCOMPARE(e.align, int(SignalGrid::AlignRight));
    }

    void editorKeys_data() {
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("handled");
        QTest::addColumn<bool>("written");
        QTest::addColumn<int>("newRow");
        QTest::addColumn<int>("newCol");
        QTest::newRow("enter writes") << 13 << 2 << 2 << true << true << 2 << 2;
        QTest::newRow("escape discards") << 27 << 2 << 2 << true << false << 2 << 2;
        QTest::newRow("up") << 38 << 2 << 2 << true << true << 1 << 2;
        QTest::newRow("up at row 1 stays") << 38 << 1 << 2 << true << true << 1 << 2;
        QTest::newRow("down") << 40 << 2 << 2 << true << true << 3 << 2;
        QTest::newRow("down at last row stays") << 40 << 4 << 2 << true << true << 4 << 2;
        QTest::newRow("tab next column") << 9 << 2 << 2 << true << true << 2 << 3;
        QTest::newRow("tab from last column") << 9 << 2 << 3 << true << true << 3 << 1;
        QTest::newRow("tab at last cell stays") << 9 << 4 << 3 << true << true << 4 << 3;
        QTest::newRow("other key") << int('A') << 2 << 2 << false << false << 2 << 2;
    }
    void editorKeys() {
        QFETCH(int, keyCode);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, handled);
        QFETCH(bool, written);
        QFETCH(int, newRow);
        QFETCH(int, newCol);
        SignalGrid g;
        load(g, kFour);
        g.select(row, col, row, col);
        const QString before = g.TextMatrix(row, col);
        FakeCellEditor e;
        Empieza_Edicion(g, e, 'Z');
        QCOMPARE(Teclas_Editor(keyCode, g, e), handled);
        QCOMPARE(g.TextMatrix(row, col), written ? QString("Z") : before);
        QCOMPARE(e.visible, !handled);
        if (handled) QCOMPARE(e.gridFocused, 1);
        QCOMPARE(g.Row(), newRow);
        QCOMPARE(g.Col(), newCol);
        QCOMPARE(g.RowSel(), newRow);
        QCOMPARE(g.ColSel(), newCol);
    }

    void endEdit_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << "abc" << "abc";
        QTest::newRow("tab") << "a\tb" << "a b";
        QTest::newRow("line breaks") << "a\r\nb\n" << "a  b ";
    }
    void endEdit() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        SignalGrid g;
        load(g, kFour);
        g.select(2, 1, 2, 1);
        FakeCellEditor e;
        Empieza_Edicion(g, e, 0);
        e.text = typed;
        // The current cell moves before the edit ends: the text goes where it was typed.
        g.select(4, 3, 4, 3);
        Termina_Edicion(g, e);
        QCOMPARE(g.TextMatrix(2, 1), stored);
        QCOMPARE(g.TextMatrix(4, 3), "l");
        QVERIFY(!e.visible);
        // A hidden editor writes nothing.
        e.text = "zzz";
        Termina_Edicion(g, e);
        QCOMPARE(g.TextMatrix(2, 1), stored);
    }

    // ---- rows

    void insertRow_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("newCurrent");
        QTest::newRow("no data row") << QStringList() << 0 << QStringList{"1|||"} << 1;
        QTest::newRow("below middle row") << QStringList{"1|a||", "2|b||", "3|c||"} << 2
                                          << QStringList{"1|a||", "2|b||", "3|||", "4|c||"} << 3;
        QTest::newRow("below last row") << QStringList{"1|a||", "2|b||"} << 2
                                        << QStringList{"1|a||", "2|b||", "3|||"} << 3;
        QTest::newRow("numbers with gaps") << QStringList{"1|a||", "5|b||", "9|c||"} << 1
                                           << QStringList{"1|a||", "2|||", "6|b||", "10|c||"} << 2;
        QTest::newRow("caption row current") << QStringList{"1|a||"} << 0 << QStringList{"1|||", "2|a||"} << 1;
    }
    void insertRow() {
        QFETCH(QStringList, rows);
        QFETCH(int, current);
        QFETCH(QStringList, expected);
        QFETCH(int, newCurrent);
        SignalGrid g;
        load(g, rows);
        g.select(current, 2, current, 3);
        bool changed = false;
        Inserta_Fila(g, changed);
        QVERIFY(changed);
        QCOMPARE(dump(g), expected);
        QCOMPARE(g.Row(), newCurrent);
        QCOMPARE(g.Col(), 1);
        QCOMPARE(g.RowSel(), newCurrent);
        QCOMPARE(g.ColSel(), 1);
    }

    void deleteRows_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("changed");
        QTest::newRow("whole table") << kFour << 1 << 4 << QStringList{"1|||"} << true;
        QTest::newRow("whole table upwards") << kFour << 4 << 1 << QStringList{"1|||"} << true;
        QTest::newRow("with caption row") << kFour << 0 << 4 << QStringList{"1|||"} << true;
        QTest::newRow("middle block") << kFour << 2 << 3 << QStringList{"1|a|b|c", "2|j|k|l"} << true;
        QTest::newRow("block upwards") << kFour << 3 << 2 << QStringList{"1|a|b|c", "2|j|k|l"} << true;
        QTest::newRow("first row") << kFour << 1 << 1 << QStringList{"1|d|e|f", "2|g|h|i", "3|j|k|l"} << true;
        QTest::newRow("last row") << kFour << 4 << 4 << QStringList{"1|a|b|c", "2|d|e|f", "3|g|h|i"} << true;
        QTest::newRow("only row") << QStringList{"1|a|b|c"} << 1 << 1 << QStringList{"1|||"} << true;
        QTest::newRow("no data row") << QStringList() << 0 << 0 << QStringList() << false;
    }
    void deleteRows() {
        QFETCH(QStringList, rows);
        QFETCH(int, row);
        QFETCH(int, rowSel);
        QFETCH(QStringList, expected);
        QFETCH(bool, changed);
        SignalGrid g;
        load(g, rows);
        g.select(row, 1, rowSel, 3);
        FakeCellEditor e;
        bool flag = false;
        Elimina_Filas(g, e, flag);
        QCOMPARE(dump(g), expected);
        QCOMPARE(flag, changed);
        if (changed) QVERIFY(!e.visible);
        QVERIFY(g.Row() >= 0 && g.Row() < g.Rows());
    }

    void moveRows_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("newRow");
        QTest::addColumn<int>("newRowSel");
        QTest::newRow("first row up") << 1 << 1 << true << kFour << 1 << 1;
        QTest::newRow("last row down") << 4 << 4 << false << kFour << 4 << 4;
        QTest::newRow("block touching top up") << 1 << 2 << true << kFour << 1 << 2;
        QTest::newRow("one row up") << 3 << 3 << true << QStringList{"1|a|b|c", "2|g|h|i", "3|d|e|f", "4|j|k|l"}
                                    << 2 << 2;
        QTest::newRow("one row down") << 1 << 1 << false
                                      << QStringList{"1|d|e|f", "2|a|b|c", "3|g|h|i", "4|j|k|l"} << 2 << 2;
        QTest::newRow("block up") << 3 << 4 << true << QStringList{"1|a|b|c", "2|g|h|i", "3|j|k|l", "4|d|e|f"} << 2
                                  << 3;
        QTest::newRow("block down, selected upwards")
            << 2 << 1 << false << QStringList{"1|g|h|i", "2|a|b|c", "3|d|e|f", "4|j|k|l"} << 3 << 2;
    }
    void moveRows() {
        QFETCH(int, row);
        QFETCH(int, rowSel);
        QFETCH(bool, up);
        QFETCH(QStringList, expected);
        QFETCH(int, newRow);
        QFETCH(int, newRowSel);
        SignalGrid g;
        load(g, kFour);
        for (int r = 1; r <= 4; ++r) g.setRowData(r, 100 + r);
        g.setRowHeight(2, 0);
        g.select(row, 2, rowSel, 3);
        bool changed = false;
        Mueve_Filas(g, changed, up);
        QCOMPARE(dump(g), expected);
        QCOMPARE(changed, expected != kFour);
        QCOMPARE(g.Row(), newRow);
        QCOMPARE(g.RowSel(), newRowSel);
        QCOMPARE(g.Col(), 2);
        QCOMPARE(g.ColSel(), 3);
        // Row data and heights belong to the place, like the row numbers.
        for (int r = 1; r <= 4; ++r) QCOMPARE(g.RowData(r), 100 + r);
        QCOMPARE(g.RowHeight(2), 0);
        QCOMPARE(g.RowHeight(3), int(SignalGrid::kDefaultRowHeight));
    }

    void copyCutPaste() {
        SignalGrid g;
        load(g, kFour);
        QString buffer;
        bool changed = false;
        g.select(2, 3, 2, 3);
        QVERIFY(Copia_Fila(g, buffer));
        QCOMPARE(buffer, "d\te\tf\t");
        QCOMPARE(dump(g), kFour);

        QVERIFY(Corta_Fila(g, buffer, changed));
        QVERIFY(changed);
        QCOMPARE(buffer, "d\te\tf\t");
        QCOMPARE(g.rowCells(2).join('|'), "2|||");

        changed = false;
        Pega_Fila(g, buffer, changed);
        QVERIFY(changed);
        QCOMPARE(dump(g), kFour);

        g.select(4, 1, 4, 1);
        Pega_Fila(g, buffer, changed);
        QCOMPARE(g.rowCells(4).join('|'), "4|d|e|f");
        g.select(1, 1, 1, 1);
        Pega_Fila(g, buffer, changed);
        QCOMPARE(g.rowCells(1).join('|'), "1|d|e|f");
        QCOMPARE(buffer, "d\te\tf\t");

        // Nothing to take from the caption row.
        g.select(0, 1, 0, 1);
        QVERIFY(!Copia_Fila(g, buffer));
        QCOMPARE(buffer, "d\te\tf\t");
    }

    void pasteShortOrLongBuffer_data() {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QString>("row");
        QTest::newRow("fewer pieces") << "x\t" << "2|x||f";
        QTest::newRow("more pieces") << "x\ty\tz\tw\tv\t" << "2|x|y|z";
        QTest::newRow("no tab") << "x" << "2|x|e|f";
    }
    void pasteShortOrLongBuffer() {
        QFETCH(QString, buffer);
        QFETCH(QString, row);
        SignalGrid g;
        load(g, kFour);
        g.select(2, 1, 2, 1);
        bool changed = false;
        Pega_Fila(g, buffer, changed);
        QCOMPARE(g.rowCells(2).join('|'), row);
    }

    // ---- fill and numbering

    void fillColumn_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<QStringList>("columnB");
        QTest::addColumn<bool>("changed");
        QTest::newRow("block, hidden row skipped") << 1 << 4 << QStringList{"1-Dig", "e", "1-Dig", "1-Dig"} << true;
        QTest::newRow("selected upwards") << 4 << 3 << QStringList{"b", "e", "1-Dig", "1-Dig"} << true;
        QTest::newRow("one row") << 1 << 1 << QStringList{"1-Dig", "e", "h", "k"} << true;
        QTest::newRow("caption row current") << 0 << 0 << QStringList{"b", "e", "h", "k"} << false;
    }
    void fillColumn() {
        QFETCH(int, row);
        QFETCH(int, rowSel);
        QFETCH(QStringList, columnB);
        QFETCH(bool, changed);
        SignalGrid g;
        load(g, kFour);
        g.setRowHeight(2, 0);
        g.select(row, 2, rowSel, 2);
        bool flag = false;
        Rellena_Columna(g, 2, "1-Dig", flag);
        QCOMPARE(flag, changed);
        QStringList col;
        for (int r = 1; r <= 4; ++r) col << g.TextMatrix(r, 2);
        QCOMPARE(col, columnB);
        QCOMPARE(g.TextMatrix(0, 2), "B");
    }

    void autoNumber_data() {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<int>("hidden");  // 0: none
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QStringList>("column");
        QTest::addColumn<bool>("changed");
        QTest::newRow("three up to the maximum") << QStringList{"498", "1"} << 3 << 0 << 500
                                                 << QStringList{"498", "499", "500", "k"} << true;
        QTest::newRow("fourth above maximum") << QStringList{"498", "1"} << 4 << 0 << 500
                                              << QStringList{"498", "499", "500", "0"} << true;
        QTest::newRow("hidden row skipped") << QStringList{"10", "5"} << 4 << 2 << 1000000
                                            << QStringList{"10", "e", "15", "20"} << true;
        QTest::newRow("decimal comma rounds") << QStringList{"2,5", "1,5"} << 3 << 0 << 1000000
                                              << QStringList{"2", "4", "6", "k"} << true;
        QTest::newRow("negative increment") << QStringList{"3", "-2"} << 3 << 0 << 1000000
                                            << QStringList{"3", "1", "-1", "k"} << true;
        QTest::newRow("empty start stops") << QStringList{"", "1"} << 3 << 0 << 1000000
                                           << QStringList{"b", "e", "h", "k"} << false;
        QTest::newRow("empty increment stops") << QStringList{"7", ""} << 3 << 0 << 1000000
                                               << QStringList{"b", "e", "h", "k"} << false;
    }
    void autoNumber() {
        QFETCH(QStringList, answers);
        QFETCH(int, rowSel);
        QFETCH(int, hidden);
        QFETCH(int, maximum);
        QFETCH(QStringList, column);
        QFETCH(bool, changed);
        SignalGrid g;
        load(g, kFour);
        if (hidden) g.setRowHeight(hidden, 0);
        g.select(1, 2, rowSel, 2);
        for (const QString& a : answers) m_prompts->queueText(a);
        bool flag = false;
        Auto_Enumera(g, 2, "Add", flag, maximum);
        QCOMPARE(flag, changed);
        QStringList col;
        for (int r = 1; r <= 4; ++r) col << g.TextMatrix(r, 2);
        QCOMPARE(col, column);
        const auto& shown = m_prompts->shown();
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown[0].kind, ScriptedPrompts::InputBox);
        QCOMPARE(shown[0].caption, Texto("AutoEnumerar"));
        QCOMPARE(shown[0].text, "Add");
        if (!answers[0].isEmpty()) {
            QCOMPARE(shown.size(), 2);
            QCOMPARE(shown[1].text, Texto("EntrarInc"));
        } else {
            QCOMPARE(shown.size(), 1);
        }
    }

    void removeEmptyRows_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one empty row stays") << QStringList{"1|||"} << QStringList{"1|||"};
        QTest::newRow("empties removed")
            << QStringList{"1|||", "2|a||", "3|||", "4| | |", "5|||b"} << QStringList{"1|a||", "2|||b"};
        QTest::newRow("all empty keeps one") << QStringList{"1|||", "2|||", "3|||"} << QStringList{"1|||"};
        QTest::newRow("none empty renumbers") << QStringList{"7|a||", "9|b||"} << QStringList{"1|a||", "2|b||"};
        QTest::newRow("row number alone is empty") << QStringList{"1|x||", "2|||"} << QStringList{"1|x||"};
    }
    void removeEmptyRows() {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, expected);
        SignalGrid g;
        load(g, rows);
        Limpia_FilasVacias(g);
        QCOMPARE(dump(g), expected);
    }

    // ---- change notices of the grid and the model adapter

    void redrawOffBatchesNotices() {
        SignalGrid g;
        load(g, kFour);
        QSignalSpy cells(&g, &SignalGrid::cellsChanged);
        QSignalSpy about(&g, &SignalGrid::structureAboutToChange);
        QSignalSpy done(&g, &SignalGrid::structureChanged);
        g.setRedraw(false);
        g.setTextMatrix(1, 1, "x");
        g.setTextMatrix(3, 3, "y");
        QCOMPARE(cells.count(), 0);
        g.setRedraw(true);
        QCOMPARE(cells.count(), 1);
        QCOMPARE(cells[0], (QVariantList{1, 1, 3, 3}));
        QCOMPARE(about.count(), 0);

        g.setRedraw(false);
        g.removeRows(1, 1);
        g.insertRows(1, 2);
        g.setTextMatrix(1, 1, "z");
        QCOMPARE(about.count(), 1);
        QCOMPARE(done.count(), 0);
        g.setRedraw(true);
        QCOMPARE(done.count(), 1);
        QCOMPARE(cells.count(), 1);
    }

    void modelFollowsGrid() {
        SignalGrid g;
        load(g, kFour);
        SignalGridModel m(&g);
        QCOMPARE(m.rowCount(), 4);
        QCOMPARE(m.columnCount(), 3);
        QCOMPARE(m.data(m.index(1, 2)).toString(), "f");
        QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), "A");
        QCOMPARE(m.headerData(3, Qt::Vertical).toString(), "4");
        QCOMPARE(m.indexOfCell(2, 3), m.index(1, 2));
        QVERIFY(!m.indexOfCell(0, 1).isValid());
        g.setColAlignment(3, SignalGrid::AlignRight);
        QCOMPARE(m.data(m.index(0, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));

        QSignalSpy data(&m, &QAbstractItemModel::dataChanged);
        QSignalSpy header(&m, &QAbstractItemModel::headerDataChanged);
        QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
        g.setTextMatrix(2, 3, "new");
        QCOMPARE(data.count(), 1);
        QCOMPARE(data[0][0].toModelIndex(), m.index(1, 2));
        g.setTextMatrix(0, 1, "Cap");
        QCOMPARE(header.count(), 1);
        QCOMPARE(header[0][0].value<Qt::Orientation>(), Qt::Horizontal);
        g.renumber(1);
        g.setTextMatrix(1, 0, "99");
        QCOMPARE(header.last()[0].value<Qt::Orientation>(), Qt::Vertical);

        bool changed = false;
        FakeCellEditor e;
        g.select(1, 1, 2, 1);
        Elimina_Filas(g, e, changed);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.headerData(1, Qt::Vertical).toString(), "2");
        Rellena_Columna(g, 1, "q", changed);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(m.data(m.index(0, 0)).toString(), "q");
    }
};

QTEST_GUILESS_MAIN(TestGridOps)
#include "tst_gridops.moc"
