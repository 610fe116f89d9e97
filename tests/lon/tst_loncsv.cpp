// The LON signal table through a spreadsheet file and back: byte for byte
// after a save, from what spreadsheet programs save, and every fault found
// with nothing changed; the command line and the editor's import.
#include <QProcess>
#include <QtTest>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "LonChecks.h"
#include "LonConfig.h"
#include "LonCsv.h"
#include "LonFixtures.h"
#include "LonProject.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "fConfLonA.h"
#include "mIdioma.h"

namespace {
// Hidden columns set, texts a spreadsheet would run or split, Windows-1252 letters.
LonFixture sample() {
    LonFixture f = largeLonFixture(3, 40, "B-Extended", "V.43.1.x");
    f.rows[5][11] = "=HYPERLINK(\"http://127.0.0.1\")";
    f.rows[6][11] = "Sala; \"Norte\", planta 2";
    f.rows[7][11] = u8"Température € ½";
    f.rows[8][11] = "-";
    f.rows[9][4] = "3";
    f.rows[9][6] = "-5";
    return f;
}

struct Project {
    explicit Project(TestHome& home, const LonFixture& f = sample()) : dir(home.file("P")) {
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
    if (!csvDecode(bytes, &records, &error)) return false;
    return lonCsvImport(records, p.cfg, into, faults);
}

// "@Key+rest": the text of Key followed by rest ("text+@Key" the other way round).
QString texts(const QString& s) {
    QString out;
    for (const QString& part : s.split('+', Qt::KeepEmptyParts))
        out += part.startsWith('@') ? Texto(part.mid(1)) : part;
    return out;
}

int runCli(const QString& home, const QStringList& args, QString* err = nullptr) {
    QProcess p;
    p.start(PILMORA_BIN_DIR "/pilmora", QStringList{"--home", home} + args);
    if (!p.waitForFinished(30000)) return -1;
    if (err) *err = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitCode();
}
}  // namespace

class TestLonCsv : public QObject {
    Q_OBJECT
private slots:
    void init() { m_home.reset(new TestHome(true)); }
    void cleanup() { m_home.reset(); }

    // What export writes, and what a spreadsheet makes of it, comes back as the same table.
    void roundTrip_data() {
        QTest::addColumn<QString>("saveAs");
        QTest::newRow("as exported, comma") << ",";
        QTest::newRow("as exported, semicolon") << ";";
        QTest::newRow("Windows-1252, no mark, LF") << "ansi";
        QTest::newRow("columns reversed, Spanish captions") << "es";
    }
    void roundTrip() {
        QFETCH(QString, saveAs);
        ScriptedPrompts prompts;
        Project p(*m_home);
        const QByteArray before = p.saved(p.grid);
        QVector<QStringList> records = lonCsvRecords(p.grid, p.cfg);
        QByteArray bytes = csvEncode(records, saveAs == ";" ? ';' : ',');
        if (saveAs == "ansi") bytes = toAnsiLf(bytes);
        if (saveAs == "es") {
            const auto lang = TextosEnTodosLosIdiomas({"Noo", "Disp", "Descripcion", "Activa", "CsvInterna"});
            for (auto it = lang.begin(); it != lang.end(); ++it) {
                const int col = records[0].indexOf(Texto(it.key()));
                QVERIFY(col >= 0);
                records[0][col] = it.value()[1];
            }
            for (QStringList& r : records) std::reverse(r.begin(), r.end());
            bytes = csvEncode(records, ',');
        }
        Project fresh(*m_home);
        QStringList faults;
        QVERIFY2(import(fresh, bytes, fresh.grid, &faults), qPrintable(faults.join('\n')));
        QCOMPARE(fresh.saved(fresh.grid), before);
        QVERIFY(prompts.shown().isEmpty());
    }

    // One wrong file each: every fault listed with its row and column, the grid untouched.
    void faults_data() {
        QTest::addColumn<QList<QStringList>>("edits");  // {record, column, new text}
        QTest::addColumn<QStringList>("expected");      // record, caption, the start of the text
        const QString add = "Add";
        QTest::newRow("address not a number") << QList<QStringList>{{"7", "13", "12a"}}
                                              << QStringList{"7", add, "@CsvNoNumero+12a"};
        QTest::newRow("device out of range") << QList<QStringList>{{"7", "1", "300"}}
                                             << QStringList{"7", "@Disp", "@CsvFueraDeRango+0..128"};
        QTest::newRow("data type 9") << QList<QStringList>{{"8", "6", "9"}}
                                     << QStringList{"8", "Data type", "@CsvNoEnLista+9"};
        QTest::newRow("A/D not a choice") << QList<QStringList>{{"8", "15", "2-Dig"}}
                                          << QStringList{"8", "A/D", "@CsvNoEnLista"};
        QTest::newRow("character outside Windows-1252") << QList<QStringList>{{"9", "12", u8"snow ☃"}}
                                                        << QStringList{"9", "@Descripcion", "@CsvCaracter"};
        QTest::newRow("line break in a cell") << QList<QStringList>{{"9", "12", "a\r\nb"}}
                                              << QStringList{"9", "@Descripcion", "@CsvCaracter"};
        QTest::newRow("mark on a point row") << QList<QStringList>{{"9", "18", "1"}}
                                             << QStringList{"9", "@CsvInterna", "@CsvFilaInternaDesconocida"};
        QTest::newRow("address used twice (save check)") << QList<QStringList>{{"12", "13", "6"}}
                                                         << QStringList{"12", add, "Add:6+@repetida"};
        QTest::newRow("unknown caption, so one missing") << QList<QStringList>{{"1", "5", "Ofset"}}
                                                          << QStringList{"1", "Ofset", "@CsvColumnaDesconocida",
                                                                         "1", "Offset", "@CsvFaltaColumna"};
        QTest::newRow("two rows wrong, both listed") << QList<QStringList>{{"7", "13", "x"}, {"40", "17", "maybe"}}
                                                     << QStringList{"7", add, "@CsvNoNumero",
                                                                    "40", "@Activa", "@CsvNoEnLista"};
    }
    void faults() {
        QFETCH(QList<QStringList>, edits);
        QFETCH(QStringList, expected);
        ScriptedPrompts prompts;
        Project p(*m_home);
        QVector<QStringList> records = lonCsvRecords(p.grid, p.cfg);
        for (const QStringList& e : edits) records[e[0].toInt() - 1][e[1].toInt()] = e[2];
        const QStringList before = p.grid.rowCells(7) + QStringList{QString::number(p.grid.Rows())};
        QStringList faults;
        QVERIFY(!import(p, csvEncode(records, ','), p.grid, &faults));
        QCOMPARE(faults.size(), expected.size() / 3);
        for (int i = 0; i < faults.size(); ++i) {
            const QString place = csvPlace(expected[3 * i].toInt(), texts(expected[3 * i + 1]));
            QVERIFY2(faults[i].startsWith(place + texts(expected[3 * i + 2])), qPrintable(faults[i]));
        }
        QCOMPARE(p.grid.rowCells(7) + QStringList{QString::number(p.grid.Rows())}, before);
    }

    // The command line replaces the table only when every row is right, and keeps the old one beside it.
    void commandLine() {
        writeLonFixture(m_home->file("P"), sample());
        const QString dat = m_home->file("P/LON.dat"), csv = m_home->file("t.csv");
        const QByteArray original = readAll(dat);
        QCOMPARE(runCli(m_home->path(), {"export-csv", m_home->file("P"), csv, "--separator", ";"}), 0);
        QByteArray bytes = readAll(csv);
        QVERIFY(bytes.contains(";\"Sala; \"\"Norte\"\", planta 2\";"));
        QVERIFY(writeAll(csv, bytes.replace("Sala;", "Hall;")));
        QCOMPARE(runCli(m_home->path(), {"import-csv", m_home->file("P"), csv}), 0);
        QCOMPARE(readAll(dat + ".bak"), original);
        const QByteArray imported = readAll(dat);
        QVERIFY(imported.contains("\tHall; \"Norte\", planta 2\t"));
        const QByteArray wrongAddress = QByteArray(bytes).replace(";\"Hall;", ";\"Hall;\";x;\"");
        for (const QByteArray& wrong : {wrongAddress, bytes + "\"never closed", QByteArray("\x7F" "ELF\0\0", 6)}) {
            QVERIFY(writeAll(csv, wrong));
            QString err;
            QCOMPARE(runCli(m_home->path(), {"import-csv", m_home->file("P"), csv}, &err), 1);
            QVERIFY2(err.startsWith(Texto("CsvNoImportado") + "\n" + Texto("CsvFila")) || err.contains(Texto("CsvNoEsTexto")) ||
                         err.contains(Texto("CsvComillaSinCerrar")),
                     qPrintable(err));
            QCOMPARE(readAll(dat), imported);
            QVERIFY(!QFileInfo::exists(dat + ".bak2"));
        }
    }

    // The editor's import replaces the grid; its next save keeps the old table beside the new one.
    void editorImportThenSave() {
        ScriptedPrompts prompts;
        Project p(*m_home);
        app().RutaProyecto = p.dir;
        const QByteArray original = readAll(p.dir + "/LON.dat");
        QVector<QStringList> records = lonCsvRecords(p.grid, p.cfg);
        records.remove(20, 10);
        QVERIFY(writeAll(m_home->file("t.csv"), csvEncode(records, ',')));
        fConfLonA w;
        w.Form_Load();
        QVERIFY(w.importarSenyales(m_home->file("t.csv")));
        QCOMPARE(w.gridModel().Rows(), p.grid.Rows() - 10);
        QVERIFY(w.gridChanged());
        QCOMPARE(readAll(p.dir + "/LON.dat"), original);  // nothing on disk until saved
        prompts.queueAnswer(1);  // save: yes
        prompts.queueAnswer(1);  // after the message
        prompts.queueAnswer(2);  // generate: no
        w.cmdAceptar_Click();
        QCOMPARE(readAll(p.dir + "/LON.dat.bak"), original);
        QVERIFY(prompts.texts().contains(Texto("CsvCopiaGuardada") + p.dir + "/LON.dat.bak"));
    }

private:
    static QByteArray toAnsiLf(const QByteArray& utf8WithMark) {
        return toAnsi(QString::fromUtf8(utf8WithMark.mid(3))).replace("\r\n", "\n");
    }
    std::unique_ptr<TestHome> m_home;
};

QTEST_MAIN(TestLonCsv)
#include "tst_loncsv.moc"
