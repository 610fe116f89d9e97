// The MBS6 table through a spreadsheet file (fixed rows found by unit and property, editable
// cells taken), and both protocols through the command line and the editors, with backups.
#include <QtTest>

#include "AppGlobals.h"
#include "LonFixtures.h"
#include "Mbs6Csv.h"
#include "Mbs6Fixtures.h"
#include "Mbs6Grid.h"
#include "Mbs6Project.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "fConfLonA.h"
#include "fConfMbs6A.h"
#include "mIdioma.h"

namespace {
struct Project {
    explicit Project(TestHome& home) : dir(home.file("M")) {
        writeMbs6Fixture(dir, fullMbs6Fixture());
        loadMbs6Project(dir, cfg, grid, info);
    }
    QByteArray saved() { return Graba_Senyales(kSlotMbs6, kVersionTabla, grid, true), readAll(dir + "/MBS6.dat"); }
    QString dir;
    Mbs6Config cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
};

bool importInto(const QVector<QStringList>& records, SignalGrid& into, QStringList* faults) {
    CsvRecords in;
    QString error;
    return csvDecode(csvEncode(records, ';'), &in, &error) && mbs6CsvImport(in, into, faults);
}

template <class Editor>
void importAndSave(const QString& csv, ScriptedPrompts& prompts, const QByteArray& exported) {
    Editor w;
    w.Form_Load();
    QVERIFY(w.exportarSenyales(csv + "w", ';'));  // the window writes what the command line writes
    QCOMPARE(readAll(csv + "w"), exported);
    QVERIFY(w.importarSenyales(csv));
    for (int answer : {1, 1, 2}) prompts.queueAnswer(answer);  // save: yes; the backup; generate: no
    w.cmdAceptar_Click();
}
}  // namespace

class TestMbs6Csv : public QObject {
    Q_OBJECT
private slots:
    // Rows exported in reverse, cells edited (record|column|text, ...): the same table when only
    // fixed cells changed, else the faults listed and nothing changed.
    void import_data() {
        addColumns<QString, int>("edits", "faults");
        QTest::addColumn<QString>("fault");  // the first one: column|key
        QTest::newRow("fixed cells, a choice in capitals") << "2|4|9999|2|5|R|2|8|1-YES" << 0 << "";
        QTest::newRow("unit 0 has no property 0") << "827|2|0|100|3|x" << 1 << "2|CsvClaveNoOfrecida";
        QTest::newRow("row twice") << "3|2|12|100|3|x" << 1 << "2|CsvFilaRepetida";
        QTest::newRow("unit not a number") << "30|1|1.5|100|3|x" << 1 << "1|CsvNoNumero";
        QTest::newRow("active not a choice") << "40|8|2-Si|100|3|x" << 1 << "8|CsvNoEnLista";
        QTest::newRow("type of the property kept, in French") << "826|6|1-Numérique" << 0 << "";
        QTest::newRow("type differs from the property's") << "827|6|0-Ana" << 1 << "6|CsvTipoFijo";
        QTest::newRow("more faulty rows than are listed") << "*|1|x" << 201 << "1|CsvNoNumero";
    }
    void import() {
        auto [edits, faults, fault] = fetch<QString, int, QString>("edits", "faults", "fault");
        TestHome home;
        ScriptedPrompts prompts;
        Project p(home), fresh(home);
        const QByteArray before = p.saved();
        QVector<QStringList> records = mbs6CsvRecords(p.grid);
        std::reverse(records.begin() + 1, records.end());
        const QStringList e = edits.split('|'), f = fault.split('|');
        for (int i = 0; i < e.size(); i += 3)
            for (int r = 1; r <= records.size(); ++r)  // "*": every row
                if (e[i] == "*" ? r > 1 : r == e[i].toInt()) records[r - 1][e[i + 1].toInt()] = e[i + 2];
        QStringList got{"left from an earlier import"};  // the list is filled afresh
        QVERIFY2(importInto(records, fresh.grid, &got) == (faults == 0), qPrintable(got.join("\n")));
        if (faults)
            QVERIFY2(got.size() == faults && (faults < 200) != (got.last() == Texto("CsvMasErrores")) &&
                         got[0].startsWith(csvPlace(qMax(2, e[0].toInt()), records[0][f[0].toInt()]) + Texto(f[1])),
                     qPrintable(got[0]));
        QCOMPARE(fresh.saved(), before);
    }

    // The command line writes the table at once, the editor at its next save;
    // each keeps the table it replaces, a wrong file changes nothing.
    void commandLineAndEditor_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("LON") << "LON.dat";
        QTest::newRow("MBS6") << "MBS6.dat";
    }
    void commandLineAndEditor() {
        QFETCH(QString, table);
        TestHome home;
        ScriptedPrompts prompts;
        const QString dir = home.file("P"), dat = dir + "/" + table, csv = home.file("t.csv");
        QVERIFY(table == "LON.dat" ? writeLonFixture(dir, largeLonFixture(2, 30, "B-Extended", "V.43.1.x"))
                                   : writeMbs6Fixture(dir, fullMbs6Fixture()));
        const QByteArray original = readAll(dat);
        const CliRun exported = runPilmora(home.path(), {"export-csv", dir, csv, "--separator", ";"});
        CsvRecords in;
        QString error;
        QVERIFY(exported.code == 0 && csvReadFile(csv, &in, &error));
        QVERIFY2(exported.out.contains(Texto("CsvExportado") + QString::number(in.records.size() - 1) + "\n"),
                 qPrintable(exported.out));  // the rows it says it wrote are the rows written
        in.records[5][in.records[0].indexOf(Texto("Descripcion"))] = "Hall; \"N\"";
        in.records.resize(8);  // MBS6 keeps the rows a file leaves out
        QVERIFY(writeAll(csv + "2", csvEncode(in.records, ',')));
        const CliRun imported2 = runPilmora(home.path(), {"import-csv", dir, csv + "2"});
        QVERIFY2(imported2.code == 0 && imported2.out.contains(Texto("CsvImportado") + "7\n") &&
                     imported2.out.contains(Texto("CsvCopiaGuardada")) && imported2.out.contains(table + ".bak\n"),
                 qPrintable(imported2.out));  // the rows taken, and where the old table went
        QCOMPARE(readAll(dat + ".bak"), original);
        const QByteArray imported = readAll(dat);
        QVERIFY(imported.contains("\tHall; \"N\"\t"));
        if (table == "MBS6.dat") QCOMPARE(imported.count('\n'), original.count('\n'));
        QVERIFY(writeAll(csv + "3", readAll(csv + "2") + "\"never closed"));
        const CliRun wrong = runPilmora(home.path(), {"import-csv", dir, csv + "3"});
        QVERIFY2(wrong.code == 1 && wrong.err.contains(Texto("CsvNoImportado")) && wrong.out.isEmpty(),
                 qPrintable(wrong.err));
        QCOMPARE(readAll(dat), imported);
        const CliRun nowhere = runPilmora(home.path(), {"export-csv", dir, home.file("none/t.csv")});
        QVERIFY2(nowhere.code == 1 && nowhere.err.contains(Texto("NoSePuedeGrabar")) &&
                     nowhere.err.contains(home.file("none/t.csv")),
                 qPrintable(nowhere.err));  // a file that cannot be written: said, with where

        QCOMPARE(runPilmora(home.path(), {"export-csv", dir, csv + "c", "--separator", ";"}).code, 0);
        app().RutaProyecto = dir;
        if (table == "LON.dat")
            importAndSave<fConfLonA>(csv, prompts, readAll(csv + "c"));
        else
            importAndSave<fConfMbs6A>(csv, prompts, readAll(csv + "c"));
        QCOMPARE(readAll(dat + ".bak1"), imported);
        QVERIFY(
            prompts.texts().contains(Texto("CsvCopiaGuardada") + "\r" + QFileInfo(dat).canonicalFilePath() + ".bak1"));
    }
};

QTEST_MAIN(TestMbs6Csv)
#include "tst_mbs6csv.moc"
