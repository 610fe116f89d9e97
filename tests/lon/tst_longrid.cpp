// The LON signal grid: its 18 columns, the built-in communication-error rows,
// the merge of the signal table into them, and the direction rule.
#include <QDir>
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
struct Built {
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    QHash<QString, int> builtIn;
};

void build(Built& b, int nDevs, const QString& version = "B-Extended") {
    b.cfg.NDevs = nDevs;
    b.cfg.Dispositivos.resize(qMax(nDevs, 0));
    b.cfg.GatewayVersion = version;
    Carga_CabecerasLon(b.grid, b.info, b.cfg);
    b.builtIn = CreaFilasInternas(b.grid, b.cfg);
}

TablaSenyales table(const QVector<QStringList>& rows) {
    TablaSenyales t;
    t.reset(17);
    for (const QStringList& cells : rows) {
        const int r = t.addRow();
        for (int c = 0; c < cells.size() && c < 17; ++c) t.setCell(c + 1, r, cells[c]);
    }
    return t;
}

QStringList rowCells(const SignalGrid& g, int r) {
    QStringList l;
    for (int c = 0; c < g.Cols(); ++c) l << g.TextMatrix(r, c);
    return l;
}
}  // namespace

class TstLonGrid : public QObject {
    Q_OBJECT
private slots:
    void columns_data();
    void columns();
    void columnOptions();
    void builtInRows();
    void builtInRowsWithoutDevices_data();
    void builtInRowsWithoutDevices();
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
    void insertedRow();
    void loadProject();
    void loadProjectWithoutTable();
};

void TstLonGrid::columns_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("help");
    // A caption or help beginning with "@" is the text of that language key.
    QTest::newRow("0 Noo") << 0 << "@Noo" << 500 << 0 << "";
    QTest::newRow("1 device") << 1 << "@Disp" << 500 << 0 << "@NMaquinaPertenecenSenyales";
    QTest::newRow("2 SNVT") << 2 << "SNVT" << 500 << 2 << "SNVT standard Id";
    QTest::newRow("3 name") << 3 << "SNVT name" << 2200 << 2 << "SNVT name (use-right-click menu)";
    QTest::newRow("4 Idx") << 4 << "Idx" << 600 << 0 << "Index of NV in the device";
    QTest::newRow("5 Offset") << 5 << "Offset" << 0 << 0 << "Offset in bytes inside the NV";
    QTest::newRow("6 Data type") << 6 << "Data type" << 0 << 2 << "Fundamental LON data type of the data to be read";
    QTest::newRow("7 a") << 7 << "a" << 0 << 0 << "a scaling factor for NV";
    QTest::newRow("8 b") << 8 << "b" << 0 << 0 << "b scaling factor for NV";
    QTest::newRow("9 c") << 9 << "c" << 0 << 0 << "c scaling factor for NV";
    QTest::newRow("10 Filter") << 10 << "Filter" << 0 << 0 << "Filter code to apply to data (see the documentation)";
    QTest::newRow("11 RW") << 11 << "RW" << 400 << 2
                           << "Read, Write, Read/Write access to NV. (nv outputs only can be read)";
    QTest::newRow("12 description") << 12 << "@Descripcion" << 3000 << 0 << "@NombreSenyalIntegrar";
    QTest::newRow("13 Add") << 13 << "Add" << 600 << 0 << "Address ASCII. A number from 1 to 500";
    QTest::newRow("14 R/W") << 14 << "R/W" << 500 << 2 << "Data direction: Read only, Write only, Read&&Write";
    QTest::newRow("15 A/D") << 15 << "A/D" << 600 << 1 << "@TipoSenyal";
    QTest::newRow("16 Spontaneous") << 16 << "Spontaneous" << 1100 << 0
                                    << "If active, every time a change in the LON data, will be transmited an Ascii data.";
    QTest::newRow("17 active") << 17 << "@Activa" << 600 << 1 << "@IndicaSiIntegrar";
}

void TstLonGrid::columns() {
    QFETCH(int, col);
    QFETCH(QString, caption);
    QFETCH(int, width);
    QFETCH(int, kind);
    QFETCH(QString, help);
    TestHome home;
    Built b;
    build(b, 2, "A-Basic");
    auto text = [](const QString& t) { return t.startsWith('@') ? Texto(t.mid(1)) : t; };
    QCOMPARE(b.grid.Cols(), 18);
    QCOMPARE(b.info.size(), 18);
    QCOMPARE(b.grid.TextMatrix(0, col), text(caption));
    QCOMPARE(b.grid.ColWidth(col), width);
    if (col > 0) QCOMPARE(int(b.info[col].Tipo), kind);
    QCOMPARE(b.info[col].Ayuda, text(help));
    if (width == 0) QVERIFY(lonColumnWidth(col) > 0);  // remembered for Show/Hide
    else QCOMPARE(lonColumnWidth(col), width);
}

void TstLonGrid::columnOptions() {
    TestHome home;
    Built b;
    build(b, 1);
    QCOMPARE(b.info[LonCol::Direction].Opciones.texts(), QStringList({"R", "W", "RW"}));
    QCOMPARE(b.info[LonCol::Direction].Opciones.Item("K2"), QString("RW"));
    QCOMPARE(b.info[LonCol::Spontaneous].Opciones.texts(), QStringList({"0-NoSpon", "1-Spon"}));
    QCOMPARE(b.info[LonCol::AD].Opciones.texts(), QStringList({Texto("0-Ana"), Texto("1-Dig")}));
    QCOMPARE(b.info[LonCol::Activa].Opciones.texts(), QStringList({Texto("0-No"), Texto("1-Si")}));
    QCOMPARE(b.info[LonCol::DataType].Opciones.Count(), 8);
    QCOMPARE(b.info[LonCol::DataType].Opciones.Item("K7"), QString("7-bit field"));
    QCOMPARE(b.info[LonCol::Add].Ayuda, QString("Address ASCII. A number from 1 to 4000"));
}

void TstLonGrid::builtInRows() {
    TestHome home;
    Built b;
    build(b, 3);
    QCOMPARE(b.grid.Rows(), 5);  // captions, gateway, three devices
    const QString err = Texto("ErrorComunicacion");
    const QString hard = err + " hard";
    QStringList gateway = {"1", "0", "-2", "[" + hard + "]", "", "", "", "", "", "", "", "", hard, "", "R",
                           Texto("1-Dig"), "1-Spon", Texto("0-No")};
    QCOMPARE(rowCells(b.grid, 1), gateway);
    for (int d = 1; d <= 3; ++d) {
        QStringList dev = {QString::number(d + 1), QString::number(d), "-1", "[" + err + "]", "", "", "", "", "", "", "",
                           "", err, "", "R", Texto("1-Dig"), "1-Spon", Texto("0-No")};
        QCOMPARE(rowCells(b.grid, d + 1), dev);
        QCOMPARE(b.builtIn.value(QString::number(d) + "--1"), d + 1);
    }
    QCOMPARE(b.builtIn.value("0--2"), 1);
    QCOMPARE(b.builtIn.size(), 4);
}

void TstLonGrid::builtInRowsWithoutDevices_data() {
    QTest::addColumn<int>("nDevs");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -5;
}

void TstLonGrid::builtInRowsWithoutDevices() {
    QFETCH(int, nDevs);
    TestHome home;
    Built b;
    build(b, nDevs);
    QCOMPARE(b.grid.Rows(), 2);  // only the gateway's own row
    QCOMPARE(b.grid.TextMatrix(1, LonCol::Snvt), QString("-2"));
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
    Built b;
    build(b, 2);
    const QStringList before = rowCells(b.grid, row);
    QStringList stored = {device, snvt, "[changed]", "9", "9", "5-32bit unsig", "9", "9", "9", "9", "RW",
                          "My description", "77", "W", "0-Ana", "0-NoSpon", "1-Si"};
    LlenaGridLon(b.grid, b.builtIn, table({stored}));
    QCOMPARE(b.grid.Rows(), 4);  // nothing appended
    QStringList expected = before;
    expected[0] = "1";  // the table's row number
    expected[12] = "My description";
    expected[13] = "77";
    expected[16] = "0-NoSpon";
    expected[17] = "1-Si";
    QCOMPARE(rowCells(b.grid, row), expected);
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
    Built b;
    build(b, 2);
    QCOMPARE(LlenaGridLon(b.grid, b.builtIn, table({stored})), 0);
    QCOMPARE(b.grid.Rows(), 5);
    QCOMPARE(rowCells(b.grid, 4), expected);
    QVERIFY(prompts.texts().isEmpty());
}

void TstLonGrid::mergeRefusesBadRow_data() {
    QTest::addColumn<QString>("dataType");
    QTest::addColumn<QString>("filter");
    QTest::newRow("data type 8") << "8" << "";
    QTest::newRow("data type -1") << "-1" << "";
    QTest::newRow("data type huge") << "99999" << "";
    QTest::newRow("filter beyond 16 bits") << "2" << "40000";
}

void TstLonGrid::mergeRefusesBadRow() {
    QFETCH(QString, dataType);
    QFETCH(QString, filter);
    TestHome home;
    ScriptedPrompts prompts;
    Built b;
    build(b, 1);
    QStringList bad = lonPointRow(1, 105, 0, "R", 1);
    bad[5] = dataType;
    bad[9] = filter;
    QStringList good = lonPointRow(1, 105, 1, "R", 2);
    QCOMPARE(LlenaGridLon(b.grid, b.builtIn, table({bad, good, lonErrorRow(1, 3)})), 1);
    QCOMPARE(prompts.texts(), QStringList{Texto("AlgunDatoIncorrecto")});
    QCOMPARE(b.grid.Rows(), 4);  // captions, two built-in rows, the good row
    QCOMPARE(b.grid.TextMatrix(3, LonCol::Noo), QString("2"));
    QCOMPARE(b.grid.TextMatrix(3, LonCol::Add), QString("2"));
    QCOMPARE(b.grid.TextMatrix(2, LonCol::Add), QString("3"));  // the row after still merged
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

void TstLonGrid::insertedRow() {
    TestHome home;
    SignalGrid g(2, 18);
    g.setTextMatrix(1, LonCol::Add, "5");
    lonInitInsertedRow(g, 1);
    QCOMPARE(g.TextMatrix(1, LonCol::Disp), QString("1"));
    QCOMPARE(g.TextMatrix(1, LonCol::NvAccess), QString("R"));
    QCOMPARE(g.TextMatrix(1, LonCol::Add), QString());
    QCOMPARE(g.TextMatrix(1, LonCol::Spontaneous), QString("1-Spon"));
    QCOMPARE(g.TextMatrix(1, LonCol::Activa), Texto("0-No"));
    QCOMPARE(g.TextMatrix(1, LonCol::Direction), QString("R"));
}

void TstLonGrid::loadProject() {
    TestHome home;
    LonFixture f = largeLonFixture(3, 20, "A-Basic", "V.43.1.x");
    const QString dir = home.file("P");
    QVERIFY(writeLonFixture(dir, f));
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    QVERIFY(loadLonProject(dir, cfg, grid, info));
    QCOMPARE(app().NombreIni, QString("LON"));
    QCOMPARE(cfg.deviceCount(), 3);
    // The four error rows of the table went into the built-in rows; 16 points appended.
    QCOMPARE(grid.Rows(), 1 + 4 + 16);
    QCOMPARE(grid.TextMatrix(1, LonCol::Add), QString("1"));
    QCOMPARE(grid.TextMatrix(4, LonCol::Add), QString("4"));
    QCOMPARE(grid.TextMatrix(5, LonCol::Add), QString("5"));
    QCOMPARE(grid.TextMatrix(20, LonCol::Add), QString("20"));
    QCOMPARE(grid.TextMatrix(20, LonCol::DataType), QString("2-16bit sig"));
    QVERIFY(!cfg.gridChanged && !cfg.connectionChanged);
}

void TstLonGrid::loadProjectWithoutTable() {
    TestHome home;
    ScriptedPrompts prompts;
    LonFixture f = largeLonFixture(2, 10, "A-Basic", "V.43.1.x");
    f.writeDat = false;
    const QString dir = home.file("P");
    QVERIFY(writeLonFixture(dir, f));
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    QVERIFY(!loadLonProject(dir, cfg, grid, info));
    QCOMPARE(prompts.texts().size(), 1);
    QVERIFY(prompts.lastText().startsWith(Texto("NoSeEncuentraFicheroConf")));
    QCOMPARE(grid.Rows(), 4);  // the built-in rows stay
}

QTEST_GUILESS_MAIN(TstLonGrid)
#include "tst_longrid.moc"
