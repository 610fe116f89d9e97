// The LON signal table through a spreadsheet file and back: byte for byte after a save,
// columns in any order and language, and every fault found with nothing changed.
#include <QtTest>

#include "AppGlobals.h"
#include "LonChecks.h"
#include "LonCsv.h"
#include "LonFixtures.h"
#include "LonProject.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
struct Project {
    explicit Project(TestHome& home) : dir(home.file("P")) {
        LonFixture f = largeLonFixture(3, 40, "B-Extended", "V.43.1.x");
        f.rows[9][4] = "3";  // hidden columns set
        f.rows[9][6] = "-5";
        writeLonFixture(dir, f);
        loadLonProject(dir, cfg, grid, info);
    }
    // The table as a save writes it (the save's checks first, as the editor's save).
    QByteArray saved(SignalGrid& g) {
        Valida_Puntos(cfg, g);
        Graba_Senyales(kSlotLon, kVersionTabla, g, true);
        return readAll(dir + "/LON.dat");
    }
    QString dir;
    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
};

bool import(Project& p, const QByteArray& bytes, SignalGrid& into, QStringList* faults) {
    CsvRecords records;
    QString error;
    return csvDecode(bytes, &records, &error) && lonCsvImport(records, p.cfg, into, faults);
}

// "@Key+rest": the text of Key followed by rest ("text+@Key" the other way round).
QString texts(const QString& s) {
    QString out;
    for (const QString& part : s.split('+', Qt::KeepEmptyParts))
        out += part.startsWith('@') ? Texto(part.mid(1)) : part;
    return out;
}

}  // namespace

class TestLonCsv : public QObject {
    Q_OBJECT
private slots:
    // Export, then import (columns reversed, captions in Spanish), then save: the same table.
    void roundTrip() {
        TestHome home;
        ScriptedPrompts prompts;
        Project p(home), fresh(home);
        const QByteArray before = p.saved(p.grid);
        QVector<QStringList> records = lonCsvRecords(p.grid, p.cfg);
        const auto lang = TextosEnTodosLosIdiomas({"Noo", "Disp", "Descripcion", "Activa", "CsvInterna"});
        for (auto it = lang.begin(); it != lang.end(); ++it)
            records[0][records[0].indexOf(Texto(it.key()))] = it.value()[1];
        for (QStringList& r : records) std::reverse(r.begin(), r.end());
        QStringList faults;
        QVERIFY2(import(fresh, csvEncode(records, ','), fresh.grid, &faults), qPrintable(faults.join('\n')));
        QCOMPARE(fresh.saved(fresh.grid), before);
    }

    // One wrong file each: every fault listed with its row and column, the grid untouched.
    void faults_data() {
        QTest::addColumn<QString>("edits");     // record|column|new text, ...
        QTest::addColumn<QString>("expected");  // record|caption|start of the text, ...
        QTest::newRow("address not a number") << "7|13|12a"
                                              << "7|Add|@CsvNoNumero+12a";
        QTest::newRow("device out of range") << "7|1|300"
                                             << "7|@Disp|@CsvFueraDeRango+0..128";
        QTest::newRow("data type 9") << "8|6|9"
                                     << "8|Data type|@CsvNoEnLista+9";
        QTest::newRow("A/D not a choice") << "8|15|2-Dig"
                                          << "8|A/D|@CsvNoEnLista";
        QTest::newRow("character outside Windows-1252") << u8"9|12|snow ☃" << "9|@Descripcion|@CsvCaracter";
        QTest::newRow("mark on a point row") << "9|18|1"
                                             << "9|@CsvInterna|@CsvFilaInternaDesconocida";
        QTest::newRow("address used twice (save check)") << "12|13|6"
                                                         << "12|Add|Add:6+@repetida";
        QTest::newRow("unknown caption") << "1|5|Ofset"
                                         << "1|Ofset|@CsvColumnaDesconocida|1|Offset|@CsvFaltaColumna";
        QTest::newRow("two rows wrong, both listed") << "7|13|x|40|17|maybe"
                                                     << "7|Add|@CsvNoNumero|40|@Activa|@CsvNoEnLista";
    }
    void faults() {
        QFETCH(QString, edits);
        QFETCH(QString, expected);
        TestHome home;
        ScriptedPrompts prompts;
        Project p(home);
        QVector<QStringList> records = lonCsvRecords(p.grid, p.cfg);
        const QStringList e = edits.split('|'), x = expected.split('|');
        for (int i = 0; i < e.size(); i += 3) records[e[i].toInt() - 1][e[i + 1].toInt()] = e[i + 2];
        const QStringList before = p.grid.rowCells(7) + QStringList{QString::number(p.grid.Rows())};
        QStringList faults;
        QVERIFY(!import(p, csvEncode(records, ','), p.grid, &faults));
        QCOMPARE(faults.size(), x.size() / 3);
        for (int i = 0; i < faults.size(); ++i)
            QVERIFY2(faults[i].startsWith(csvPlace(x[3 * i].toInt(), texts(x[3 * i + 1])) + texts(x[3 * i + 2])),
                     qPrintable(faults[i]));
        QCOMPARE(p.grid.rowCells(7) + QStringList{QString::number(p.grid.Rows())}, before);
    }
};

QTEST_MAIN(TestLonCsv)
#include "tst_loncsv.moc"
