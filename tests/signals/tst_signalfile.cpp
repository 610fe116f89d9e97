// The signal table file: exact bytes written, header checks, hostile files loaded or refused.
#include <QtTest>
#include <optional>

#include "AppGlobals.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"

namespace {
const QByteArray kHead3 = "PROTOCOLO=60-LON\r\nVERSION=ASCII.1.0\r\n";
const QByteArray kHead = kHead3 + "CAMPOS=4\r\nNo.\tA\tB\tC\t\r\n";

// A grid of `rows` data rows and 4 columns whose last cell is the active flag.
void fillGrid(SignalGrid& g, int rows) {
    g.setCols(4);
    g.setRows(rows + 1);
    for (int c = 0; c < 4; ++c) g.setTextMatrix(0, c, QString("No.|A|B|C").section('|', c, c));
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < 4; ++c)
            g.setTextMatrix(
                r, c, c == 3 ? (r % 2 ? "1-Si" : "0-No") : QString("|a|b").section('|', c, c) + QString::number(r));
}

QString projectFile(const QString& name) { return QDir(app().RutaProyecto).filePath(name); }
QStringList projectFiles() { return QDir(app().RutaProyecto).entryList(QDir::Files | QDir::Hidden); }

// Child mode of the kill test: saves a small and a large table in turn, forever.
int saveLoop(const QString& folder) {
    resetApp(), LlenaProtocolos(), app().RutaProyecto = folder;
    SignalGrid small, big;
    fillGrid(small, 10);
    fillGrid(big, 20000);
    for (quint64 i = 0;; ++i) Graba_Senyales(kSlotLon, kVersionTabla, (i % 2) ? big : small, true);
}
}  // namespace

class TestSignalFile : public QObject {
    Q_OBJECT
    std::optional<TestHome> m_home;
    std::optional<ScriptedPrompts> m_prompts;

private slots:
    void init() {
        m_home.emplace(false), m_prompts.emplace(), QDir().mkpath(app().RutaProyecto = m_home->file("Proj"));
    }
    void cleanup() { m_prompts.reset(), m_home.reset(); }

    // Row 2 column 2 holds `cell`; the rest is the hand-checked table, saved under the name already on disk in any
    // letter case, and read back.
    void writesExactBytes_data() {
        addColumns<bool, QString, QByteArray, QString>("allRows", "cell", "expected", "onDisk");
        const QByteArray r1 = "1\ta1\tb1\t1-Si\t\r\n", r3 = "3\ta3\tb3\t1-Si\t\r\n";
        auto row2 = [&](const QByteArray& b2) { return kHead + r1 + "2\ta2\t" + b2 + "\t0-No\t\r\n" + r3; };
        auto row = [](const char* n, bool all, const QString& cell, const QByteArray& bytes,
                      const char* on = "LON.dat") { QTest::newRow(n) << all << cell << bytes << QString(on); };
        row("active rows only", false, "b2", kHead + r1 + r3);
        row("all rows", true, "b2", row2("b2"));
        row("blanks around", true, "  x y  ", row2("x y"));
        row("tab inside", true, "a\tb", row2("a b"));
        row("line breaks", true, "a\r\nb\nc", row2("a  b c"));
        row("line feed only", true, "a\nb", row2("a b"));
        row("trailing tab", true, "a\t", row2("a"));
        row("windows-1252", true, u8"caf\u00e9 \u20ac", row2("caf\xe9 \x80"));
        row("not in code page", true, u8"\u4e2d", row2("?"));
        row("extension in upper case", true, "b2", row2("b2"), "LON.DAT");
        row("extension in mixed case", false, "b2", kHead + r1 + r3, "lon.Dat");
    }
    void writesExactBytes() {
        const auto [allRows, cell, expected, onDisk] =
            fetch<bool, QString, QByteArray, QString>("allRows", "cell", "expected", "onDisk");
        if (onDisk != "LON.dat") QVERIFY(writeAll(projectFile(onDisk), "old"));
        SignalGrid g;
        fillGrid(g, 3), g.setTextMatrix(2, 2, cell);
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, g, allRows));
        QCOMPARE(readAll(projectFile(onDisk)), expected);
        QCOMPARE(projectFiles(), QStringList{onDisk});  // no temporary file left
        TablaSenyales t;
        QVERIFY(Carga_Senyales(kSlotLon, kVersionTabla, t));
        QCOMPARE(t.rows(), allRows ? 3 : 2);
        QVERIFY(m_prompts->shown().isEmpty());
    }

    // Each case writes LON.dat (MBS6.dat for 77) and reads it as that protocol; message: the stop box, %1 the path.
    void reads_data() {
        addColumns<QByteArray, int, QString, int, QString>("file", "protocol", "message", "rows", "row1");
        auto good = [](const QString& n, const QByteArray& f, int rows = 0, const QString& row1 = "") {
            QTest::newRow(qPrintable(n)) << f << 60 << "" << rows << row1;  // row1: cells 1..3 of row 1
        };
        auto bad = [](const char* n, const QByteArray& f, const QString& message, int protocol = 60) {
            QTest::newRow(n) << f << protocol << message << 0 << "";
        };
        const QString notRight = "The signal table of LON is not the right one.\r%1\r";
        const QString badVersion = "The version of the signal table of LON is not correct.\r%1\r";
        good("caption row only", kHead);
        good("three header lines only", kHead3 + "CAMPOS=4\r\n");
        good("no trailing tab", kHead + "1\tx\ty\tz\r\n", 1, "x|y|z");
        good("trailing tab", kHead + "1\tx\ty\tz\t\r\n", 1, "x|y|z");
        good("empty data line", kHead + "\r\n", 1, "||");
        good("more fields", kHead + "1\tx\ty\tz\te\tf\t\r\n", 1, "x|y|z");
        good("fewer fields", kHead + "1\tx\r\n", 1, "x||");
        good("short row before a long one", kHead + "1\tx\r\n2\ta\tb\tc\r\n", 2, "x||");
        good("empty inner field", kHead + "1\t\ty\t\r\n", 1, "|y|");
        good("no last line ending", kHead + "1\tx\ty\tz", 1, "x|y|z");
        good("CR without LF", QByteArray(kHead).replace("\r\n", "\r") + "1\tx\ty\tz\t\r", 1, "x|y|z");
        good("LF without CR", QByteArray(kHead).replace("\r\n", "\n") + "1\tx\ty\tz\t\n", 1, "x|y|z");
        good("bytes 0x7F-0xFF are text", kHead + "1\tab\x7f\t\x80\x81\xff\t\xe9\t\r\n", 1,
             QString::fromUtf8("ab\u007f|\u20ac\u0081\u00ff|\u00e9"));
        // Damaged: read up to the first bad line.
        good("a NUL: the rows before its line", kHead + "1\tx\ty\tz\t\r\n" + QByteArray("2\ta\0b\t\r\n3\tc\r\n", 13), 1,
             "x|y|z");
        good("a vertical tab", kHead + "1\tx\ty\tz\t\r\n2\ta\x0b\t\r\n", 1, "x|y|z");
        good("last row cut short", kHead + "1\tx\ty\tz\t\r\n2\tp\tq", 1, "x|y|z");
        good("short last row after a short row: written so", kHead + "1\tx\r\n2\tp", 2, "x||");
        good("short last row with a line end", kHead + "1\tx\ty\tz\t\r\n2\tp\r\n", 2, "x|y|z");
        const QByteArray mega(1 << 20, 'x');
        good("megabyte line", kHead + "1\t" + mega + "\t" + QByteArray(1 << 20, '\t') + "y\r\n2\tz\r\n", 2,
             mega + "||");
        good("protocol anywhere on line 1", "xx 60-LON yy\r\n" + kHead.mid(18));
        good("version with more text", QByteArray(kHead).replace("ASCII.1.0", "ASCII.1.0 beta"));
        good("CAMPOS 10000", kHead3 + "CAMPOS=10000\r\ncap\r\n1\tx\t\r\n", 1, "x||");
        for (const int n : {32767, 32768})  // a short last row is cut off only where CAMPOS can be a field count
            good(QString("CAMPOS %1, every row that long but the last").arg(n),
                 kHead3 + "CAMPOS=" + QByteArray::number(n) + "\r\n" + QByteArray(n - 1, '\t') + "c\r\n1" +
                     QByteArray(n - 1, '\t') + "x\r\n2\tp",
                 n == 32767 ? 1 : 2, "||");
        for (const char* n : {"", "1", "-5", "abc"})  // no lower limit: a count below 2 reads rows without cells
            good(QString("CAMPOS=%1").arg(n), kHead3 + "CAMPOS=" + n + "\r\ncap\r\n1\tx\t\r\n", 1, "||");
        bad("empty file", QByteArray(), notRight);
        bad("wrong protocol", kHead, "The signal table of MBS6 is not the right one.\r%1\rPROTOCOLO=60-LON", 77);
        bad("protocol in lower case", QByteArray(kHead).replace("60-LON", "60-lon"), notRight + "PROTOCOLO=60-lon");
        bad("missing version", "PROTOCOLO=60-LON\r\nCAMPOS=4\r\n", badVersion + "CAMPOS=4");
        bad("wrong version", QByteArray(kHead).replace("ASCII.1.0", "ASCII.2.0"), badVersion + "VERSION=ASCII.2.0");
        bad("missing CAMPOS", kHead3 + "FIELDS=4\r\n", badVersion + "FIELDS=4");
        bad("only two lines", kHead3, badVersion);
    }
    void reads() {
        const auto [file, protocol, message, rows, row1] =
            fetch<QByteArray, int, QString, int, QString>("file", "protocol", "message", "rows", "row1");
        const QString path = projectFile(protocol == 60 ? "LON.dat" : "MBS6.dat");
        QVERIFY(writeAll(path, file));
        TablaSenyales t;
        QCOMPARE(Carga_Senyales(protocol, kVersionTabla, t), message.isEmpty());
        QCOMPARE(m_prompts->texts(), message.isEmpty() ? QStringList() : QStringList{message.arg(path)});  // a stop box
        QCOMPARE(m_prompts->shown().value(0).style, message.isEmpty() ? 0 : int(Msg::Critical));
        if (!message.isEmpty()) return;
        QCOMPARE(t.rows(), rows);
        QCOMPARE(t.cell(1, 0) + t.cell(1, rows + 1), QString());  // outside the table: empty
        if (rows == 0) return;
        QCOMPARE(QStringList({t.cell(1, 1), t.cell(2, 1), t.cell(3, 1)}).join('|'), row1);
        // Cells taken into a grid without a copy leave it as copies, which outlive the text they came from.
        SignalGrid g(1, 4);
        g.adoptText(t.text());
        g.appendRows({{QString(), t.cellShared(1, 1), t.cellShared(2, 1), t.cellShared(3, 1)}});
        const QStringList shown = g.rowCells(1);
        const QString lastRow = QStringList({t.cell(1, rows), t.cell(2, rows), t.cell(3, rows)}).join('|');
        // A cell set later (an import) in a row that lacked it leaves the rows after it as they were; beyond the
        // table's columns (CAMPOS below 4) it is refused.
        t.setCell(3, 1, "w");
        QCOMPARE(t.cell(3, 1) + "/" + QStringList({t.cell(1, rows), t.cell(2, rows), t.cell(3, rows)}).join('|'),
                 t.columns() < 3 ? "/" + lastRow : "w/" + (rows == 1 ? row1.section('|', 0, 1) + "|w" : lastRow));
        const QString before = t.text();  // outside the table: refused
        for (const auto& [c, r] : {std::pair{1, 0}, {1, t.rows() + 1}, {0, 1}, {t.columns() + 1, 1}})
            t.setCell(c, r, "z");
        QCOMPARE(t.text(), before);
        t.clear(), g.setRows(1);  // the text is freed
        QCOMPARE(shown.mid(1).join('|'), row1);
    }

    // A missing table is a warning; a folder in its place stops both the read and the save; protocols outside the
    // table are refused.
    void unreadableTable() {
        TablaSenyales t;
        QVERIFY(!Carga_Senyales(kSlotMbs6, kVersionTabla, t));
        QCOMPARE(m_prompts->lastText(),
                 "Signal table not found:\r" + projectFile("MBS6.DAT") + "\rProtocol: MBS6\rSelect the right project.");
        const QString path = projectFile("LON.dat");
        QVERIFY(QDir().mkpath(path));
        QVERIFY(!Carga_Senyales(kSlotLon, kVersionTabla, t));
        QVERIFY(m_prompts->lastText().startsWith("Error opening the file:\r" + path + "\rError: \r"));
        SignalGrid g;
        fillGrid(g, 2);
        QVERIFY(!Graba_Senyales(kSlotLon, kVersionTabla, g, true));
        QVERIFY(m_prompts->lastText().startsWith("The file cannot be saved:\r" + path + "\rError: \r"));
        QCOMPARE(QList<int>({m_prompts->shown()[0].style, m_prompts->shown()[1].style}), QList<int>({48, 16}));
        QCOMPARE(m_prompts->shown()[2].kind, ScriptedPrompts::ToolBox);
        QVERIFY(QFileInfo(path).isDir());
        for (int protocol : {78, -1})
            QVERIFY(!Graba_Senyales(protocol, kVersionTabla, g, true) && !Carga_Senyales(protocol, kVersionTabla, t));
        QCOMPARE(m_prompts->shown().size(), 7);
        QCOMPARE(projectFiles(), QStringList());
    }

    // A save killed at a random moment leaves the old or the new table, never a mix.
    void killDuringSaveLeavesWholeTable() {
        SignalGrid small, big;
        fillGrid(small, 10), fillGrid(big, 20000);
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, small, true));
        const QByteArray a = readAll(projectFile("LON.dat"));
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, big, true));
        const QByteArray b = readAll(projectFile("LON.dat"));
        for (int round = 0; round < 4; ++round) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("PILMORA_SAVE_LOOP", app().RutaProyecto), child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(child.waitForStarted());
            QTest::qWait(150 + 50 * round), child.kill();
            QVERIFY(child.waitForFinished());
            const QByteArray now = readAll(projectFile("LON.dat"));
            QVERIFY2(now == a || now == b, "a killed save left a partial table");
        }
    }
};

int main(int argc, char** argv) {
    const QByteArray loop = qgetenv("PILMORA_SAVE_LOOP");
    QCoreApplication a(argc, argv);
    if (!loop.isEmpty()) return saveLoop(QString::fromLocal8Bit(loop));
    TestSignalFile t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_signalfile.moc"
