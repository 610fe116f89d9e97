// The MBS6 gateway without a window: the fixed grid and the table read into
// it, the INI keys, the download file against hand-computed bytes, and the
// command-line tool on MBS6 projects.
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "AppGlobals.h"
#include "DownloadWriter.h"
#include "LonFixtures.h"
#include "Mbs6Config.h"
#include "Mbs6Download.h"
#include "Mbs6Fixtures.h"
#include "Mbs6Grid.h"
#include "Mbs6Project.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
const QDateTime kAt(QDate(2026, 1, 2), QTime(3, 4, 5));

QByteArray b(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int v : bytes) out.append(char(v));
    return out;
}

// The fixed grid with only the given "unit-code" rows active.
void activeOnly(SignalGrid& grid, const QStringList& keys) {
    QVector<InfoColumna> info;
    Carga_CabecerasMbs6(grid, info);
    const QHash<QString, int> rows = CreaFilasMbs6(grid);
    for (int r = 1; r < grid.Rows(); ++r) grid.setTextMatrix(r, Mbs6Col::Activa, Texto("0-No"));
    for (const QString& k : keys) grid.setTextMatrix(rows.value(k), Mbs6Col::Activa, Texto("1-Si"));
}

// One point record: address twice, position, A/D, direction, spontaneous.
QByteArray point(int address, int position, int ad, int direction) {
    return le16(address) + le16(address) + b({position, ad, direction, 1});
}
}  // namespace

class TstMbs6 : public QObject {
    Q_OBJECT
private slots:
    void fixedGrid_data();
    void fixedGrid();
    void tableIntoGrid();
    void iniKeys();
    void download_data();
    void download();
    void downloadCounts_data();
    void downloadCounts();
    void cli_data();
    void cli();
};

void TstMbs6::fixedGrid_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells");  // columns 1..8
    QTest::newRow("first broadcast row") << "0-1" << 1
                                         << QStringList{"0",      "1",    "Broadcast write. OffOn (0-Off,1-On)",
                                                        "1",      "W",    "1-Digital",
                                                        "1-Spon", "1-Yes"};
    QTest::newRow("unit 1 error") << "1-0" << 8
                                  << QStringList{"1", "0", "Error.Com", "100", "R", "1-Digital", "1-Spon", "1-Yes"};
    QTest::newRow("room temperature of unit 12")
        << "12-8" << 7 + 11 * 13 + 9
        << QStringList{"12",     "8",    QString::fromUtf8("Room temperature (0..63\u00BAC, 0.5 steps)"),
                       "1208",   "R",    "0-Analog",
                       "1-Spon", "1-Yes"};
    QTest::newRow("last row") << "63-12" << 826
                              << QStringList{"63",     "12",   "Faults (bitfield)", "6312", "R", "0-Analog",
                                             "1-Spon", "1-Yes"};
}

void TstMbs6::fixedGrid() {
    QFETCH(QString, key);
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    TestHome home;
    SignalGrid grid;
    QVector<InfoColumna> info;
    Carga_CabecerasMbs6(grid, info);
    const QHash<QString, int> rows = CreaFilasMbs6(grid);
    QCOMPARE(grid.Rows(), 827);
    QCOMPARE(rows.size(), 826);
    QCOMPARE(rows.value(key), row);
    QStringList got;
    for (int c = 1; c < Mbs6Col::Count; ++c) got << grid.TextMatrix(row, c);
    QCOMPARE(got, cells);
}

// Rows carry description, spontaneous and active only; a key the grid does not
// offer (the broadcast unit has no error property; there is no unit 64) is
// refused, reading goes on, and one message tells of both.
void TstMbs6::tableIntoGrid() {
    TestHome home;
    const QString dir = home.file("P");
    Mbs6Fixture f;
    QStringList changed{"7", "9.0", "Office set point", "1", "R", "1-Digital", "0-NoSpon", "0-No"};
    f.rows << mbs6Row(0, 0) << changed << mbs6Row(64, 1) << mbs6Row(2, 3);
    writeMbs6Fixture(dir, f);
    ScriptedPrompts prompts;
    Mbs6Config cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    QVERIFY(loadMbs6Project(dir, cfg, grid, info));
    QCOMPARE(prompts.texts(), QStringList{Texto("AlgunDatoIncorrecto") + " (2)"});
    QCOMPARE(grid.Rows(), 827);
    const int r = 7 + 6 * 13 + 10;  // unit 7, code 9
    QStringList got;
    for (int c = 1; c < Mbs6Col::Count; ++c) got << grid.TextMatrix(r, c);
    QCOMPARE(got, (QStringList{"7", "9", "Office set point", "709", "RW", "0-Analog", "0-NoSpon", "0-No"}));
    QCOMPARE(grid.TextMatrix(7 + 13 + 4, Mbs6Col::Descripcion), QString("Unit 2 property 3"));
}

void TstMbs6::iniKeys() {
    TestHome home;
    const QString dir = home.file("P");
    writeMbs6Fixture(dir, Mbs6Fixture{{3, 63}, {}, false});
    app().RutaProyecto = dir;
    app().NombreIni = "MBS6";
    EscribeIni("MBS6", "TimeoutPoll", "250");
    Mbs6Config cfg;
    cfg.Carga_ConfMbs6();
    QCOMPARE(cfg.baudText(), QString("9600"));  // index 3 of this list, 4 of the LON one
    QCOMPARE(cfg.TimeoutPoll + cfg.unit(63).Nm, QString("250Unit 63"));
    cfg.unitPtr(3)->On = false;
    cfg.unitPtr(5)->On = true;
    cfg.Baudios = 6;
    cfg.Graba_ConfMbs6();
    QCOMPARE(LeeIni("ASCII", "Baudios", ""), QString("6 (57600)"));
    QCOMPARE(LeeIni("ASCII", "IP", ""), QString("127.0.0.1"));  // keys of others stay
    Mbs6Config again;
    again.Carga_ConfMbs6();
    QCOMPARE(QVector<bool>({again.unit(3).On, again.unit(5).On, again.unit(63).On}),
             QVector<bool>({false, true, true}));
}

void TstMbs6::download_data() {
    QTest::addColumn<QVector<int>>("units");
    QTest::addColumn<QStringList>("active");
    QTest::addColumn<QByteArray>("tail");  // from the unit count on
    QTest::newRow("units 3 and 5, one row each") << QVector<int>{3, 5} << QStringList{"3-1", "5-8"}
                                                 << b({2, 3, 5}) + le16(2) + point(301, 1, 1, 2) + point(508, 2, 0, 0);
    QTest::newRow("broadcast row at position 0") << QVector<int>{4} << QStringList{"0-9", "4-0"}
                                                 << b({1, 4}) + le16(2) + point(9, 0, 0, 1) + point(400, 1, 1, 0);
    QTest::newRow("address 101") << QVector<int>{1} << QStringList{"1-1"}
                                 << b({1, 1}) + le16(1) + b({0x65, 0, 0x65, 0, 1, 1, 2, 1});
    QTest::newRow("unselected unit's row dropped")
        << QVector<int>{2} << QStringList{"1-1", "2-12", "3-2"} << b({1, 2}) + le16(1) + point(212, 1, 0, 0);
}

void TstMbs6::download() {
    QFETCH(QVector<int>, units);
    QFETCH(QStringList, active);
    QFETCH(QByteArray, tail);
    TestHome home;
    Mbs6Config cfg;
    for (int u : units) cfg.unitPtr(u)->On = true;
    cfg.Paridad = 2;
    cfg.SendACK = true;
    cfg.Tmout_ms = "-5";
    cfg.TimeoutPoll = "700";
    SignalGrid grid;
    activeOnly(grid, active);
    const Mbs6Download d = composeMbs6Download(cfg, grid, 12, kAt);
    QByteArray head = "MEROVANTIX-ASCII-MBS6-V.1.0 2026/01/02 03:04:05";
    head += QByteArray(62 - head.size(), ' ') + "\r\n" + QByteArray(64, ' ');
    head += le32(1200) + b({0, 2}) + le32(0) + b({1, 1}) + QByteArray(10, '\0') + b({0}) + le32(19200) + b({0, 0}) +
            le16(700) + le16(12) + QByteArray(21, '\0');
    QCOMPARE(d.message, QString());
    QCOMPARE(d.bytes, le32(sumaBytes(head + tail)) + head + tail);
    QCOMPARE(d.fault, QString());
}

void TstMbs6::downloadCounts_data() {
    QTest::addColumn<bool>("allUnits");
    QTest::addColumn<QStringList>("active");
    QTest::addColumn<int>("points");  // -1: refused
    QTest::newRow("all units, all rows") << true << QStringList() << 826;
    QTest::newRow("no unit selected") << false << QStringList() << -1;
    QTest::newRow("no active row") << true << QStringList{"none"} << -1;
}

void TstMbs6::downloadCounts() {
    QFETCH(bool, allUnits);
    QFETCH(QStringList, active);
    QFETCH(int, points);
    TestHome home;
    Mbs6Config cfg;
    for (int u = 1; u <= 63; ++u) cfg.unitPtr(u)->On = allUnits;
    SignalGrid grid;
    QVector<InfoColumna> info;
    Carga_CabecerasMbs6(grid, info);
    CreaFilasMbs6(grid);
    if (!active.isEmpty()) activeOnly(grid, {});
    const Mbs6Download d = composeMbs6Download(cfg, grid, 10, kAt);
    if (points < 0) {
        QCOMPARE(d.message, Texto("NoEncontradoSenyales"));
        QVERIFY(d.bytes.isEmpty());
        return;
    }
    QCOMPARE(d.points, points);
    QCOMPARE(d.bytes.size(), 4 + 183 + 63 + 2 + 8 * points);
    QCOMPARE(quint8(d.bytes[186 + 1 + 63]) + 256 * quint8(d.bytes[186 + 1 + 64]), points);
    QCOMPARE(mbs6DownloadReport(d, "F").left(19), QString("Devs:63  Points:826"));
}

void TstMbs6::cli_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");  // printed text, "@Key" a language key's text
    QTest::newRow("check") << "check"
                           << "" << 0 << "@ComprobacionCorrecta";
    QTest::newRow("generate") << "generate"
                              << "" << 0 << "Devs:2  Points:3";
    QTest::newRow("generate, no unit") << "generate"
                                       << "noUnits" << 1 << "@NoEncontradoSenyales";
    QTest::newRow("check, no table") << "check"
                                     << "noDat" << 1 << "@NoSeEncuentraFicheroConf";
    QTest::newRow("other protocol") << "check"
                                    << "tester" << 1 << "@ProtocoloNoSoportado";
}

void TstMbs6::cli() {
    QFETCH(QString, command);
    QFETCH(QString, change);
    QFETCH(int, code);
    QFETCH(QString, expected);
    TestHome home;
    const QString dir = home.file("P");
    Mbs6Fixture f;
    f.units = change == "noUnits" ? QVector<int>() : QVector<int>{1, 2};
    f.rows << mbs6Row(1, 1) << mbs6Row(2, 8) << mbs6Row(3, 8) << mbs6Row(0, 9) << mbs6Row(1, 2, false);
    f.writeDat = change != "noDat";
    writeMbs6Fixture(dir, f);
    if (change == "tester") writeAll(dir + "/Project.ini", "[Project]\r\nProt=Tester\r\n");
    QStringList args{"--home", home.path(), command, dir};
    if (command == "generate")
        args << "--at"
             << "2026/12/06 07:00:00";
    QProcess p;
    p.start(QStringLiteral(PILMORA_BIN_DIR "/pilmora"), args);
    QVERIFY(p.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    QCOMPARE(p.exitCode(), code);
    if (expected.startsWith('@')) expected = Texto(expected.mid(1));
    QVERIFY2(out.contains(expected), qPrintable(out));
    QCOMPARE(QFile::exists(dir + "/MBS6.Plmx"), code == 0 && command == "generate");
}

QTEST_GUILESS_MAIN(TstMbs6)
#include "tst_mbs6.moc"
