// The grid editing operations on the grid model, without a window: row insert,
// delete and move, one-row copy, fill, numbering, clean-up, and the model adapter's
// change notices. The key filter and the floating editor are driven in tst_gridview.
#include <QSignalSpy>
#include <QtTest>
#include <optional>

#include "FakeCellEditor.h"
#include "ModPilmoraASCII.h"
#include "SignalGrid.h"
#include "SignalGridModel.h"
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
}  // namespace

class TestGridOps : public QObject {
    Q_OBJECT
    std::optional<TestHome> m_home;
    std::optional<ScriptedPrompts> m_prompts;

private slots:
    void init() {
        m_home.emplace(false);
        m_prompts.emplace();
    }
    void cleanup() { m_prompts.reset(), m_home.reset(); }

    // One operation on the rows selected from `row` to `rowSel` (columns 2..3); row
    // `hidden` has height 0. The changed flag must be set exactly when the table changed.
    // Ops: "copy>N"/"cut>N" take the current row and paste it into row N; "paste:BUFFER";
    // "number:START|STEP" answers the two prompts of the numbering (maximum 500).
    void rowOps_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QPoint>("sel");
        QTest::addColumn<int>("hidden");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<int>>("cursor");  // Row, RowSel, Col, ColSel; empty: not checked
        const QStringList ab{"1|a||", "2|b||"}, abc{"1|a||", "2|b||", "3|c||"}, blank{"1|||"};
        const QList<int> any;
        auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
        row("insert, no data row") << "insert" << QStringList() << QPoint(0, 0) << 0 << blank << QList<int>{1, 1, 1, 1};
        row("insert below middle row") << "insert" << abc << QPoint(2, 2) << 0
                                       << QStringList{"1|a||", "2|b||", "3|||", "4|c||"} << QList<int>{3, 3, 1, 1};
        row("insert below last row") << "insert" << ab << QPoint(2, 2) << 0 << QStringList{"1|a||", "2|b||", "3|||"}
                                     << QList<int>{3, 3, 1, 1};
        row("insert, numbers with gaps") << "insert" << QStringList{"1|a||", "5|b||", "9|c||"} << QPoint(1, 1) << 0
                                         << QStringList{"1|a||", "2|||", "6|b||", "10|c||"} << QList<int>{2, 2, 1, 1};
        row("insert, caption row current") << "insert" << QStringList{"1|a||"} << QPoint(0, 0) << 0
                                           << QStringList{"1|||", "2|a||"} << QList<int>{1, 1, 1, 1};
        row("delete whole table") << "delete" << kFour << QPoint(1, 4) << 0 << blank << any;
        row("delete whole table upwards") << "delete" << kFour << QPoint(4, 1) << 0 << blank << any;
        row("delete with caption row") << "delete" << kFour << QPoint(0, 4) << 0 << blank << any;
        row("delete middle block") << "delete" << kFour << QPoint(2, 3) << 0 << QStringList{"1|a|b|c", "2|j|k|l"}
                                   << any;
        row("delete first row") << "delete" << kFour << QPoint(1, 1) << 0
                                << QStringList{"1|d|e|f", "2|g|h|i", "3|j|k|l"} << any;
        row("delete last row") << "delete" << kFour << QPoint(4, 4) << 0 << QStringList{"1|a|b|c", "2|d|e|f", "3|g|h|i"}
                               << any;
        row("delete only row") << "delete" << QStringList{"1|a|b|c"} << QPoint(1, 1) << 0 << blank << any;
        row("delete, no data row") << "delete" << QStringList() << QPoint(0, 0) << 0 << QStringList() << any;
        row("first row up") << "up" << kFour << QPoint(1, 1) << 2 << kFour << QList<int>{1, 1, 2, 3};
        row("last row down") << "down" << kFour << QPoint(4, 4) << 2 << kFour << QList<int>{4, 4, 2, 3};
        row("block touching top up") << "up" << kFour << QPoint(1, 2) << 2 << kFour << QList<int>{1, 2, 2, 3};
        row("one row up") << "up" << kFour << QPoint(3, 3) << 2
                          << QStringList{"1|a|b|c", "2|g|h|i", "3|d|e|f", "4|j|k|l"} << QList<int>{2, 2, 2, 3};
        row("one row down") << "down" << kFour << QPoint(1, 1) << 2
                            << QStringList{"1|d|e|f", "2|a|b|c", "3|g|h|i", "4|j|k|l"} << QList<int>{2, 2, 2, 3};
        row("block up") << "up" << kFour << QPoint(3, 4) << 2 << QStringList{"1|a|b|c", "2|g|h|i", "3|j|k|l", "4|d|e|f"}
                        << QList<int>{2, 3, 2, 3};
        row("block down, selected upwards")
            << "down" << kFour << QPoint(2, 1) << 2 << QStringList{"1|g|h|i", "2|a|b|c", "3|d|e|f", "4|j|k|l"}
            << QList<int>{3, 2, 2, 3};
        row("copy row") << "copy>4" << kFour << QPoint(2, 2) << 0 << withRow(4, "4|d|e|f") << any;
        row("cut row") << "cut>4" << kFour << QPoint(2, 2) << 0 << QStringList{"1|a|b|c", "2|||", "3|g|h|i", "4|d|e|f"}
                       << any;
        row("copy from caption row") << "copy>4" << kFour << QPoint(0, 0) << 0 << kFour << any;
        row("paste fewer pieces") << "paste:x\t" << kFour << QPoint(2, 2) << 0 << withRow(2, "2|x||f") << any;
        row("paste more pieces") << "paste:x\ty\tz\tw\tv\t" << kFour << QPoint(2, 2) << 0 << withRow(2, "2|x|y|z")
                                 << any;
        row("paste without tab") << "paste:x" << kFour << QPoint(4, 4) << 0 << withRow(4, "4|x|k|l") << any;
        row("fill block, hidden row skipped")
            << "fill" << kFour << QPoint(1, 4) << 2 << withB("D", "e", "D", "D") << any;
        row("fill selected upwards") << "fill" << kFour << QPoint(4, 3) << 0 << withB("b", "e", "D", "D") << any;
        row("fill, caption row current") << "fill" << kFour << QPoint(0, 0) << 0 << kFour << any;
        row("number up to the maximum") << "number:498|1" << kFour << QPoint(1, 3) << 0
                                        << withB("498", "499", "500", "k") << any;
        row("number above maximum") << "number:498|1" << kFour << QPoint(1, 4) << 0 << withB("498", "499", "500", "0")
                                    << any;
        row("number, hidden row skipped")
            << "number:10|5" << kFour << QPoint(1, 4) << 2 << withB("10", "e", "15", "20") << any;
        row("number, decimal comma rounds")
            << "number:2,5|1,5" << kFour << QPoint(1, 3) << 0 << withB("2", "4", "6", "k") << any;
        row("number, negative step") << "number:3|-2" << kFour << QPoint(1, 3) << 0 << withB("3", "1", "-1", "k")
                                     << any;
        row("number, no start stops") << "number:|1" << kFour << QPoint(1, 3) << 0 << kFour << any;
        row("number, no step stops") << "number:7|" << kFour << QPoint(1, 3) << 0 << kFour << any;
        row("clean one empty row stays") << "clean" << blank << QPoint(1, 1) << 0 << blank << any;
        row("clean empties") << "clean" << QStringList{"1|||", "2|a||", "3|||", "4| | |", "5|||b"} << QPoint(1, 1) << 0
                             << QStringList{"1|a||", "2|||b"} << any;
        row("clean all empty removes all") << "clean" << QStringList{"1|||", "2| ||"} << QPoint(1, 1) << 0 << QStringList{}
                                           << any;
        row("clean trims blanks only") << "clean" << QStringList{"1|\t||", "2|||"} << QPoint(1, 1) << 0
                                       << QStringList{"1|\t||"} << any;
        row("clean renumbers") << "clean" << QStringList{"7|a||", "9|b||"} << QPoint(1, 1) << 0 << ab << any;
    }
    void rowOps() {
        QFETCH(QString, op);
        QFETCH(QStringList, rows);
        QFETCH(QPoint, sel);
        QFETCH(int, hidden);
        QFETCH(QStringList, expected);
        QFETCH(QList<int>, cursor);
        SignalGrid g;
        load(g, rows);
        for (int r = 1; r < g.Rows(); ++r) g.setRowData(r, 100 + r);
        if (hidden) g.setRowHeight(hidden, 0);
        g.select(sel.x(), 2, sel.y(), 3);
        FakeCellEditor e;
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
            Auto_Enumera(g, 2, "Add", changed, 500);
            QCOMPARE(m_prompts->shown().size(), buffer.startsWith('|') ? 1 : 2);
            QCOMPARE(m_prompts->shown()[0].text, "Add");
            QCOMPARE(m_prompts->shown().last().text, buffer.startsWith('|') ? "Add" : Texto("EntrarInc"));
        }
        QCOMPARE(dump(g), expected);
        QCOMPARE(changed, expected != rows);
        QCOMPARE(g.TextMatrix(0, 2), "B");
        QVERIFY(g.Row() >= 0 && g.Row() < g.Rows());
        if (op == "delete" && changed) QVERIFY(!e.visible);  // an open edit is discarded
        if (!cursor.isEmpty()) QCOMPARE(QList<int>({g.Row(), g.RowSel(), g.Col(), g.ColSel()}), cursor);
        if (op == "up" || op == "down") {  // row data and heights stay with the place, like the numbers
            for (int r = 1; r <= 4; ++r) QCOMPARE(g.RowData(r), 100 + r);
            QCOMPARE(g.RowHeight(2), 0);
            QCOMPARE(g.RowHeight(3), int(SignalGrid::kDefaultRowHeight));
        }
    }

    void modelFollowsGrid() {
        SignalGrid g;
        load(g, kFour);
        SignalGridModel m(&g);
        QCOMPARE(m.indexOfCell(2, 3), m.index(1, 2));
        QVERIFY(!m.indexOfCell(0, 1).isValid());
        QSignalSpy data(&m, &QAbstractItemModel::dataChanged);
        QSignalSpy header(&m, &QAbstractItemModel::headerDataChanged);
        QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
        g.setTextMatrix(2, 3, "new");
        QCOMPARE(data.count(), 1);
        QCOMPARE(data[0][0].toModelIndex(), m.index(1, 2));
        g.setTextMatrix(0, 1, "Cap");
        QCOMPARE(header.count(), 1);
        QCOMPARE(header[0][0].value<Qt::Orientation>(), Qt::Horizontal);
        g.setTextMatrix(1, 0, "99");
        QCOMPARE(header.last()[0].value<Qt::Orientation>(), Qt::Vertical);
        // Off redraw, cell changes come as one notice for the block.
        g.setRedraw(false);
        g.setTextMatrix(1, 1, "x");
        g.setTextMatrix(3, 3, "y");
        QCOMPARE(data.count(), 1);
        g.setRedraw(true);
        QCOMPARE(data.count(), 2);
        QCOMPARE(data[1][0].toModelIndex(), m.index(0, 0));
        QCOMPARE(data[1][1].toModelIndex(), m.index(2, 2));
        bool changed = false;
        FakeCellEditor e;
        g.select(1, 1, 2, 1);
        Elimina_Filas(g, e, changed);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.headerData(1, Qt::Vertical).toString(), "2");
        Rellena_Columna(g, 1, "q", changed);  // cells only: no reset
        QCOMPARE(reset.count(), 1);
        QCOMPARE(m.data(m.index(0, 0)).toString(), "q");
    }
};

QTEST_GUILESS_MAIN(TestGridOps)
#include "tst_gridops.moc"
