// The LON signal grid: its 18 columns, the built-in communication-error rows,
// the merge of the signal table into them, and the direction rule.
#include <QtTest>

#include "AppGlobals.h"
#include "LonConfig.h"
#include "LonFixtures.h"
#include "LonGrid.h"
#include "LonProject.h"
#include "ModulConfASCII.h"
#include "Numeric.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
QStringList rowCells(const SignalGrid& g, int r) {
    QStringList l;
    for (int c = 0; c < g.Cols(); ++c) l << g.TextMatrix(r, c);
    return l;
}

// The built-in error row of device `d` (0: the gateway) at grid row `row`.
QStringList builtInRow(int d, int row) {
    const QString text = Texto("ErrorComunicacion") + (d == 0 ? " hard" : "");
    return {QString::number(row), QString::number(d), d == 0 ? "-2" : "-1", "[" + text + "]", "", "", "", "", "", "",
            "", "", text, "", "R", Texto("1-Dig"), "1-Spon", Texto("0-No")};
}
}  // namespace

class TstLonGrid : public QObject {
    Q_OBJECT
private slots:
    void columns_data();
    void columns();
    void builtInRows_data();
    void builtInRows();
    void mergeUpdatesBuiltInRow_data();
    void mergeUpdatesBuiltInRow();
    void mergeAppendsConverted_data();
    void mergeAppendsConverted();
    void mergeRefusesBadRow_data();
    void mergeRefusesBadRow();
    void cellValueAsVal_data();
    void cellValueAsVal();
    void updateRow_data();
    void updateRow();
    void loadProject_data();
    void loadProject();
};

void TstLonGrid::columns_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("max");
    QTest::newRow("A-Basic") << "A-Basic" << 500;
    QTest::newRow("B-Extended") << "B-Extended" << 4000;
}

void TstLonGrid::columns() {
    QFETCH(QString, version);
    QFETCH(int, max);
    TestHome home;
    SignalGrid grid;
    QVector<InfoColumna> info;
    Carga_CabecerasLon(grid, info, lonConfig(2, version));
    QCOMPARE(grid.Cols(), 18);
    QCOMPARE(info.size(), 18);
    for (int c = 0; c < 18; ++c) {
        if (grid.ColWidth(c) == 0) QVERIFY(lonColumnWidth(c) > 0);  // remembered for Show/Hide
        else QCOMPARE(lonColumnWidth(c), grid.ColWidth(c));
    }
    QCOMPARE(info[LonCol::Add].Ayuda, "Address ASCII. A number from 1 to " + QString::number(max));
    QCOMPARE(info[LonCol::Direction].Opciones.Item("K2"), QString("RW"));
}

void TstLonGrid::builtInRows_data() {
    QTest::addColumn<int>("nDevs");
    QTest::newRow("three") << 3;
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -5;
}

void TstLonGrid::builtInRows() {
    QFETCH(int, nDevs);
    TestHome home;
    SignalGrid grid;
    QVector<InfoColumna> info;
    LonConfig cfg = lonConfig(qMax(nDevs, 0), "B-Extended");
    cfg.NDevs = nDevs;
    Carga_CabecerasLon(grid, info, cfg);
    const QHash<QString, int> builtIn = CreaFilasInternas(grid, cfg);
    const int n = qMax(nDevs, 0);
    QCOMPARE(grid.Rows(), 2 + n);  // captions, the gateway, the devices
    QCOMPARE(builtIn.size(), 1 + n);
    for (int d = 0; d <= n; ++d) {
        QCOMPARE(rowCells(grid, d + 1), builtInRow(d, d + 1));
        QCOMPARE(builtIn.value(QString::number(d) + (d ? "--1" : "--2")), d + 1);
    }
}

void TstLonGrid::mergeUpdatesBuiltInRow_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("snvt");
    QTest::addColumn<int>("row");
    QTest::newRow("device 1") << "1" << "-1" << 2;
    QTest::newRow("gateway") << "0" << "-2" << 1;
    QTest::newRow("numbers written otherwise") << " 2.0" << "-1.00" << 3;
}

void TstLonGrid::mergeUpdatesBuiltInRow() {
    QFETCH(QString, device);
    QFETCH(QString, snvt);
    QFETCH(int, row);
    TestHome home;
    SignalGrid grid;
    lonGrid(lonConfig(2), grid, {{device, snvt, "[changed]", "9", "9", "5-32bit unsig", "9", "9", "9", "9", "RW",
                                  "My description", "77", "W", "0-Ana", "0-NoSpon", "1-Si"}});
    QCOMPARE(grid.Rows(), 4);  // nothing appended
    // Only the table's row number, description, address, spontaneous and active are taken.
    QStringList expected = builtInRow(row - 1, 1);
    expected[12] = "My description";
    expected[13] = "77";
    expected[16] = "0-NoSpon";
    expected[17] = "1-Si";
    QCOMPARE(rowCells(grid, row), expected);
}

void TstLonGrid::mergeAppendsConverted_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("plain") << QStringList{"1", "105", "SNVT_temp_p", "3", "0", "2", "1", "-2", "0", "0", "R", "Flow",
                                          "12", "R", "0-Ana", "1-Spon", "1-Si"}
                           << QStringList{"1", "1", "105", "SNVT_temp_p", "3", "0", "2-16bit sig", "1", "-2", "0", "",
                                          "R", "Flow", "12", "R", "0-Ana", "1-Spon", "1-Si"};
    QTest::newRow("numbers read by their prefix")
        << QStringList{" 2x", "95abc", "SNVT_switch", "", "1.5", "7-bit field", "", "", "", "3", "RW", "  padded  ",
                       "0012", "RW", "1-Dig", "0-NoSpon", "0-No"}
        << QStringList{"1", "2", "95", "SNVT_switch", "0", "1.5", "7-bit field", "0", "0", "0", "3", "RW",
                       "  padded  ", "12", "RW", "1-Dig", "0-NoSpon", "0-No"};
    QTest::newRow("short line") << QStringList{"3", "105"}
                                << QStringList{"1", "3", "105", "", "0", "0", "0-8bit sig", "0", "0", "0", "", "",
                                               "", "0", "", "", "", ""};
    QTest::newRow("device error of a device not configured")
        << QStringList{"9", "-1", "[x]", "", "", "", "", "", "", "", "", "Err", "5", "R", "1-Dig", "1-Spon", "1-Si"}
        << QStringList{"1", "9", "-1", "[x]", "0", "0", "0-8bit sig", "0", "0", "0", "", "", "Err", "5", "R",
                       "1-Dig", "1-Spon", "1-Si"};
}

void TstLonGrid::mergeAppendsConverted() {
    QFETCH(QStringList, stored);
    QFETCH(QStringList, expected);
    TestHome home;
    ScriptedPrompts prompts;
    SignalGrid grid;
    QCOMPARE(lonGrid(lonConfig(2), grid, {stored}), 0);
    QCOMPARE(grid.Rows(), 5);
    QCOMPARE(rowCells(grid, 4), expected);
    QVERIFY(prompts.texts().isEmpty());
}

void TstLonGrid::mergeRefusesBadRow_data() {
    QTest::addColumn<QString>("dataType");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("copies");  // bad rows in the table
    QTest::addColumn<QString>("count");  // after the message's text
    QTest::newRow("data type 8") << "8" << "" << 1 << "";
    QTest::newRow("data type -1") << "-1" << "" << 1 << "";
    QTest::newRow("data type huge") << "99999" << "" << 1 << "";
    QTest::newRow("filter beyond 16 bits") << "2" << "40000" << 1 << "";
    // Found by fuzzing: one box per bad row, thousands for a damaged file.
    QTest::newRow("twelve bad rows, one message") << "9" << "" << 12 << " (12)";
}

void TstLonGrid::mergeRefusesBadRow() {
    QFETCH(QString, dataType);
    QFETCH(QString, filter);
    QFETCH(int, copies);
    QFETCH(QString, count);
    TestHome home;
    ScriptedPrompts prompts;
    QStringList bad = lonPointRow(1, 105, 0, "R", 1);
    bad[5] = dataType;
    bad[9] = filter;
    QVector<QStringList> rows(copies, bad);
    rows << lonPointRow(1, 105, 1, "R", 2) << lonErrorRow(1, 3);
    SignalGrid grid;
    QCOMPARE(lonGrid(lonConfig(1), grid, rows), copies);
    QCOMPARE(prompts.texts(), QStringList{Texto("AlgunDatoIncorrecto") + count});
    QCOMPARE(grid.Rows(), 4);  // captions, two built-in rows, the good row
    QCOMPARE(grid.TextMatrix(3, LonCol::Noo) + grid.TextMatrix(3, LonCol::Add), QString::number(copies + 1) + "2");
    QCOMPARE(grid.TextMatrix(2, LonCol::Add), QString("3"));  // the row after still merged
}

void TstLonGrid::cellValueAsVal_data() {
    QTest::addColumn<QString>("text");
    for (const char* t : {"", "0", "7", "-2", "-", "+5", "123456789", "1234567890", "-123456789", "1-Spon",
                          "0-NoSpon", "1-Si", "12-3", "1+2", "-1-x", "--1", "1.5", "1e3", "1d2", "&H1F", " 12",
                          "12 3", "1.5-Spon", "abc", "-0", "2-16bit sig", "99999999999"})
        QTest::newRow(t) << QString::fromLatin1(t);
}

void TstLonGrid::cellValueAsVal() {
    QFETCH(QString, text);
    QCOMPARE(lonCellValue(text), Val(text));
}

void TstLonGrid::updateRow_data() {
    QTest::addColumn<QString>("snvt");
    QTest::addColumn<QString>("access");
    QTest::addColumn<QString>("direction");
    QTest::newRow("W") << "105" << "W" << "W";
    QTest::newRow("RW") << "105" << "RW" << "RW";
    QTest::newRow("R") << "105" << "R" << "R";
    QTest::newRow("empty") << "105" << "" << "R";
    QTest::newRow("lower case is not W") << "105" << "w" << "R";
    QTest::newRow("SNVT 0") << "0" << "W" << "W";
    QTest::newRow("device error") << "-1" << "W" << "R";
    QTest::newRow("gateway error") << "-2" << "RW" << "R";
}

void TstLonGrid::updateRow() {
    QFETCH(QString, snvt);
    QFETCH(QString, access);
    QFETCH(QString, direction);
    SignalGrid g(2, 18);
    g.setTextMatrix(1, LonCol::Snvt, snvt);
    g.setTextMatrix(1, LonCol::NvAccess, access);
    g.setTextMatrix(1, LonCol::Direction, "xx");
    UpdateRow(g, 1);
    QCOMPARE(g.TextMatrix(1, LonCol::Direction), direction);
}

void TstLonGrid::loadProject_data() {
    QTest::addColumn<bool>("withTable");
    QTest::newRow("whole project") << true;
    QTest::newRow("no signal table") << false;
}

void TstLonGrid::loadProject() {
    QFETCH(bool, withTable);
    TestHome home;
    ScriptedPrompts prompts;
    LonFixture f = largeLonFixture(3, 20, "A-Basic", "V.43.1.x");
    f.writeDat = withTable;
    const QString dir = home.file("P");
    QVERIFY(writeLonFixture(dir, f));
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    QCOMPARE(loadLonProject(dir, cfg, grid, info), withTable);
    QCOMPARE(app().NombreIni, QString("LON"));
    if (!withTable) {
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(prompts.lastText().startsWith(Texto("NoSeEncuentraFicheroConf")));
        QCOMPARE(grid.Rows(), 5);  // the built-in rows stay
        return;
    }
    // The four error rows of the table went into the built-in rows; 16 points appended.
    QCOMPARE(grid.Rows(), 1 + 4 + 16);
    for (int r = 1; r <= 20; ++r) QCOMPARE(grid.TextMatrix(r, LonCol::Add), QString::number(r));
    QCOMPARE(grid.TextMatrix(20, LonCol::DataType), QString("2-16bit sig"));
    QVERIFY(!cfg.gridChanged && !cfg.connectionChanged);
}

QTEST_GUILESS_MAIN(TstLonGrid)
#include "tst_longrid.moc"
