// The signal table file: exact bytes written, the reader's header checks and
// messages, hostile files, the shared column set-up, and saves that survive a kill.
#include <QtTest>

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
const QByteArray kLonHeader = "PROTOCOLO=60-LON\r\nVERSION=ASCII.1.0\r\nCAMPOS=4\r\nNo.\tA\tB\tC\t\r\n";

// A grid of `rows` data rows and 4 columns whose last cell is the active flag.
void fillGrid(SignalGrid& g, int rows) {
    g.setCols(4);
    g.setRows(rows + 1);
    g.setTextMatrix(0, 0, "No.");
    g.setTextMatrix(0, 1, "A");
    g.setTextMatrix(0, 2, "B");
    g.setTextMatrix(0, 3, "C");
    for (int r = 1; r <= rows; ++r) {
        g.setTextMatrix(r, 0, QString::number(r));
        g.setTextMatrix(r, 1, QString("a%1").arg(r));
        g.setTextMatrix(r, 2, QString("b%1").arg(r));
        g.setTextMatrix(r, 3, r % 2 ? "1-Si" : "0-No");
    }
}

QString tablePath() { return QDir(app().RutaProyecto).filePath("LON.dat"); }

// Child mode: save two different tables forever, for the kill test.
int saveLoop(const QString& folder) {
    resetApp();
    LlenaProtocolos();
    app().RutaProyecto = folder;
    SignalGrid small, big;
    fillGrid(small, 10);
    fillGrid(big, 20000);
    for (quint64 i = 0;; ++i) Graba_Senyales(kSlotLon, kVersionTabla, (i % 2) ? big : small, true);
}
}  // namespace

class TestSignalFile : public QObject {
    Q_OBJECT
    TestHome* m_home = nullptr;
    ScriptedPrompts* m_prompts = nullptr;

private slots:
    void init() {
        m_home = new TestHome(false);
        m_prompts = new ScriptedPrompts;
        app().RutaProyecto = m_home->file("Proj");
        QDir().mkpath(app().RutaProyecto);
    }
    void cleanup() {
        delete m_prompts;
        delete m_home;
    }

    void writesExactBytes_data() {
        QTest::addColumn<bool>("allRows");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("active rows only") << false << kLonHeader + "1\ta1\tb1\t1-Si\t\r\n3\ta3\tb3\t1-Si\t\r\n";
        QTest::newRow("all rows") << true
                                  << kLonHeader +
                                         "1\ta1\tb1\t1-Si\t\r\n2\ta2\tb2\t0-No\t\r\n3\ta3\tb3\t1-Si\t\r\n";
    }
    void writesExactBytes() {
        QFETCH(bool, allRows);
        QFETCH(QByteArray, expected);
        SignalGrid g;
        fillGrid(g, 3);
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, g, allRows));
        QCOMPARE(readAll(tablePath()), expected);
        QVERIFY(m_prompts->shown().isEmpty());
        // No temporary file is left beside the table.
        QCOMPARE(QDir(app().RutaProyecto).entryList(QDir::Files), QStringList{"LON.dat"});
    }

    void cellsAreTrimmedAndSanitised_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("blanks around") << "  x y  " << QByteArray("x y");
        QTest::newRow("tab inside") << "a\tb" << QByteArray("a b");
        QTest::newRow("line breaks") << "a\r\nb\nc" << QByteArray("a  b c");
        QTest::newRow("trailing tab") << "a\t" << QByteArray("a");
        QTest::newRow("windows-1252") << QString::fromUtf8("caf\u00e9 \u20ac") << QByteArray("caf\xe9 \x80");
        QTest::newRow("not in code page") << QString::fromUtf8("\u4e2d") << QByteArray("?");
    }
    void cellsAreTrimmedAndSanitised() {
        QFETCH(QString, cell);
        QFETCH(QByteArray, written);
        SignalGrid g(2, 3);
        g.setTextMatrix(1, 1, cell);
        g.setTextMatrix(1, 2, "1");
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, g, false));
        const QList<QByteArray> lines = readAll(tablePath()).split('\n');
        QCOMPARE(lines.size(), 6);  // 5 lines and the empty rest after the last LF
        QCOMPARE(lines[4], "\t" + written + "\t1\t\r");
    }

    void roundTrip() {
        SignalGrid g;
        fillGrid(g, 50);
        g.setTextMatrix(7, 2, QString::fromUtf8("\u00f1\u00e7\u20ac\u2122"));
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, g, true));
        TablaSenyales t;
        QVERIFY(Carga_Senyales(kSlotLon, kVersionTabla, t));
        QCOMPARE(t.columns(), 3);
        QCOMPARE(t.rows(), 50);
        for (int r = 1; r <= 50; ++r)
            for (int c = 1; c <= 3; ++c) QCOMPARE(t.cell(c, r), g.TextMatrix(r, c));
        QVERIFY(m_prompts->shown().isEmpty());
    }

    // Every case writes LON.dat, reads it as LON (or MBS6), and checks the result,
    // the message shown and the table.
    void reads_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("message");  // empty: none shown
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("row1");  // cells 1..n of row 1 when rows > 0

        const QString notRight = "The configuration file of LON is not the right one.\r%1\r%2";
        const QString badVersion = "The version of the configuration file of LON is not correct.\r%1\r%2";
        const QByteArray head3 = "PROTOCOLO=60-LON\r\nVERSION=ASCII.1.0\r\n";
        const QByteArray head = head3 + "CAMPOS=4\r\nNo.\tA\tB\tC\t\r\n";
        const int stop = 16;
        QTest::newRow("caption row only") << head << 60 << true << "" << 0 << 0 << QStringList();
        QTest::newRow("three header lines only") << head3 + "CAMPOS=4\r\n" << 60 << true << "" << 0 << 0
                                                 << QStringList();
        QTest::newRow("no trailing tab") << head + "1\tx\ty\tz\r\n" << 60 << true << "" << 0 << 1
                                         << QStringList{"x", "y", "z"};
        QTest::newRow("trailing tab") << head + "1\tx\ty\tz\t\r\n" << 60 << true << "" << 0 << 1
                                      << QStringList{"x", "y", "z"};
        QTest::newRow("empty data line") << head + "\r\n" << 60 << true << "" << 0 << 1
                                         << QStringList{"", "", ""};
        QTest::newRow("more fields than columns")
            << head + "1\tx\ty\tz\textra\tmore\t\r\n" << 60 << true << "" << 0 << 1 << QStringList{"x", "y", "z"};
        QTest::newRow("fewer fields") << head + "1\tx\r\n" << 60 << true << "" << 0 << 1
                                      << QStringList{"x", "", ""};
        QTest::newRow("empty inner field") << head + "1\t\ty\t\r\n" << 60 << true << "" << 0 << 1
                                           << QStringList{"", "y", ""};
        QTest::newRow("no last line ending") << head + "1\tx\ty\tz" << 60 << true << "" << 0 << 1
                                             << QStringList{"x", "y", "z"};
        QTest::newRow("CR without LF") << QByteArray(head).replace("\r\n", "\r") + "1\tx\ty\tz\t\r" << 60 << true
                                       << "" << 0 << 1 << QStringList{"x", "y", "z"};
        QTest::newRow("LF without CR") << QByteArray(head).replace("\r\n", "\n") + "1\tx\ty\tz\t\n" << 60 << true
                                       << "" << 0 << 1 << QStringList{"x", "y", "z"};
        QTest::newRow("bytes 0x00 and 0x80-0xFF")
            << head + QByteArray("1\ta\0b\t\x80\x81\xff\t\xe9\t\r\n", 14) << 60 << true << "" << 0 << 1
            << QStringList{QString(QStringLiteral("a")) + QChar(0) + "b", QString::fromUtf8("\u20ac\u0081\u00ff"),
                           QString::fromUtf8("\u00e9")};
        QTest::newRow("protocol anywhere on line 1") << QByteArray("xx 60-LON yy\r\n") + head.mid(18) << 60 << true << "" << 0
                                                     << 0 << QStringList();
        QTest::newRow("version with more text") << QByteArray(head).replace("ASCII.1.0", "ASCII.1.0 beta") << 60
                                                << true << "" << 0 << 0 << QStringList();
        QTest::newRow("CAMPOS 10000") << head3 + "CAMPOS=10000\r\ncap\r\n1\tx\t\r\n" << 60 << true << "" << 0 << 1
                                      << QStringList{"x", "", ""};

        QTest::newRow("empty file") << QByteArray() << 60 << false << notRight.arg("%1", "") << stop << 0
                                    << QStringList();
        QTest::newRow("wrong protocol") << head << 77 << false
                                        << QString("The configuration file of MBS6 is not the right one.\r%1\r"
                                                   "PROTOCOLO=60-LON")
                                        << stop << 0 << QStringList();
        QTest::newRow("protocol name in lower case") << QByteArray(head).replace("60-LON", "60-lon") << 60 << false
                                                     << notRight.arg("%1", "PROTOCOLO=60-lon") << stop << 0
                                                     << QStringList();
        QTest::newRow("missing version") << QByteArray("PROTOCOLO=60-LON\r\nCAMPOS=4\r\n") << 60 << false
                                         << badVersion.arg("%1", "CAMPOS=4") << stop << 0 << QStringList();
        QTest::newRow("wrong version") << QByteArray(head).replace("ASCII.1.0", "ASCII.2.0") << 60 << false
                                       << badVersion.arg("%1", "VERSION=ASCII.2.0") << stop << 0 << QStringList();
        QTest::newRow("missing CAMPOS") << head3 + "FIELDS=4\r\n" << 60 << false
                                        << badVersion.arg("%1", "FIELDS=4") << stop << 0 << QStringList();
        QTest::newRow("only two lines") << head3 << 60 << false << badVersion.arg("%1", "") << stop << 0
                                        << QStringList();
        QTest::newRow("CAMPOS 0") << head3 + "CAMPOS=0\r\n" << 60 << false << badVersion.arg("%1", "CAMPOS=0")
                                  << stop << 0 << QStringList();
        QTest::newRow("CAMPOS 1") << head3 + "CAMPOS=1\r\n" << 60 << false << badVersion.arg("%1", "CAMPOS=1")
                                  << stop << 0 << QStringList();
        QTest::newRow("CAMPOS negative") << head3 + "CAMPOS=-5\r\n" << 60 << false
                                         << badVersion.arg("%1", "CAMPOS=-5") << stop << 0 << QStringList();
        QTest::newRow("CAMPOS not a number") << head3 + "CAMPOS=abc\r\n" << 60 << false
                                             << badVersion.arg("%1", "CAMPOS=abc") << stop << 0 << QStringList();
    }
    void reads() {
        QFETCH(QByteArray, file);
        QFETCH(int, protocol);
        QFETCH(bool, ok);
        QFETCH(QString, message);
        QFETCH(int, style);
        QFETCH(int, rows);
        QFETCH(QStringList, row1);
        const QString name = protocol == 60 ? "LON.dat" : "MBS6.dat";
        const QString path = QDir(app().RutaProyecto).filePath(name);
        QVERIFY(writeAll(path, file));
        TablaSenyales t;
        QCOMPARE(Carga_Senyales(protocol, kVersionTabla, t), ok);
        if (message.isEmpty()) {
            QCOMPARE(m_prompts->texts(), QStringList());
        } else {
            QCOMPARE(m_prompts->shown().size(), 1);
            QCOMPARE(m_prompts->shown()[0].kind, ScriptedPrompts::SystemBox);
            QCOMPARE(m_prompts->shown()[0].style, style);
            QCOMPARE(m_prompts->shown()[0].caption, QString(kAppTitle));
            QCOMPARE(m_prompts->lastText(), message.arg(path));
        }
        if (!ok) return;
        QCOMPARE(t.rows(), rows);
        for (int c = 0; c < row1.size(); ++c) QCOMPARE(t.cell(c + 1, 1), row1[c]);
    }

    void readsHugeLine() {
        QByteArray file = "PROTOCOLO=60-LON\r\nVERSION=ASCII.1.0\r\nCAMPOS=18\r\ncaptions\r\n";
        file += "1\t" + QByteArray(1 << 20, 'x') + "\t" + QByteArray(1 << 20, '\t') + "y\r\n2\tz\r\n";
        QVERIFY(writeAll(tablePath(), file));
        TablaSenyales t;
        QVERIFY(Carga_Senyales(kSlotLon, kVersionTabla, t));
        QCOMPARE(t.rows(), 2);
        QCOMPARE(t.cell(1, 1).size(), 1 << 20);
        QCOMPARE(t.cell(2, 1), QString());
        QCOMPARE(t.cell(1, 2), "z");
    }

    void missingFileIsExclamation() {
        TablaSenyales t;
        QVERIFY(!Carga_Senyales(kSlotMbs6, kVersionTabla, t));
        QCOMPARE(m_prompts->shown().size(), 1);
        QCOMPARE(m_prompts->shown()[0].style, 48);
        QCOMPARE(m_prompts->lastText(), "Configuration file not found:\r" +
                                            QDir(app().RutaProyecto).filePath("MBS6.DAT") +
                                            "\rof protocol MBS6. Select the project correctly.");
    }

    void directoryInsteadOfFile() {
        QVERIFY(QDir().mkpath(tablePath()));
        TablaSenyales t;
        QVERIFY(!Carga_Senyales(kSlotLon, kVersionTabla, t));
        QCOMPARE(m_prompts->shown().size(), 1);
        QCOMPARE(m_prompts->shown()[0].style, 16);
        QVERIFY(m_prompts->lastText().startsWith("Error opening the file:\r" + tablePath() + "\rError: \r"));

        m_prompts->clear();
        SignalGrid g;
        fillGrid(g, 2);
        QVERIFY(!Graba_Senyales(kSlotLon, kVersionTabla, g, true));
        QCOMPARE(m_prompts->shown().size(), 1);
        QCOMPARE(m_prompts->shown()[0].kind, ScriptedPrompts::ToolBox);
        QVERIFY(m_prompts->lastText().startsWith("The file cannot be saved:\r" + tablePath() + "\rError: \r"));
        QVERIFY(QFileInfo(tablePath()).isDir());
    }

    void failedOpenLeavesOldFile() {
        // The project folder vanished: nothing can be created there.
        app().RutaProyecto = m_home->file("Gone");
        SignalGrid g;
        fillGrid(g, 2);
        QVERIFY(!Graba_Senyales(kSlotLon, kVersionTabla, g, true));
        QVERIFY(m_prompts->lastText().startsWith("The file cannot be saved:\r" + tablePath()));
        QVERIFY(!QFileInfo::exists(m_home->file("Gone")));
    }

    void extensionCaseIsIgnored_data() {
        QTest::addColumn<QString>("onDisk");
        QTest::newRow("upper") << "LON.DAT";
        QTest::newRow("mixed") << "lon.Dat";
        QTest::newRow("lower") << "LON.dat";
    }
    void extensionCaseIsIgnored() {
        QFETCH(QString, onDisk);
        const QString path = QDir(app().RutaProyecto).filePath(onDisk);
        QVERIFY(writeAll(path, "old"));
        SignalGrid g;
        fillGrid(g, 2);
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, g, true));
        QCOMPARE(QDir(app().RutaProyecto).entryList(QDir::Files), QStringList{onDisk});
        TablaSenyales t;
        QVERIFY(Carga_Senyales(kSlotLon, kVersionTabla, t));
        QCOMPARE(t.rows(), 2);
    }

    void protocolOutsideTable_data() {
        QTest::addColumn<int>("protocol");
        QTest::newRow("78") << 78;
        QTest::newRow("negative") << -1;
    }
    void protocolOutsideTable() {
        QFETCH(int, protocol);
        SignalGrid g;
        fillGrid(g, 2);
        QVERIFY(!Graba_Senyales(protocol, kVersionTabla, g, true));
        TablaSenyales t;
        QVERIFY(!Carga_Senyales(protocol, kVersionTabla, t));
        QCOMPARE(m_prompts->shown().size(), 2);
        QVERIFY(QDir(app().RutaProyecto).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void killDuringSaveLeavesWholeTable() {
        SignalGrid small, big;
        fillGrid(small, 10);
        fillGrid(big, 20000);
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, small, true));
        const QByteArray a = readAll(tablePath());
        QVERIFY(Graba_Senyales(kSlotLon, kVersionTabla, big, true));
        const QByteArray b = readAll(tablePath());
        for (int round = 0; round < 4; ++round) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("PILMORA_SAVE_LOOP", app().RutaProyecto);
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(child.waitForStarted());
            QTest::qWait(150 + int(QRandomGenerator::global()->bounded(200)));
            child.kill();
            QVERIFY(child.waitForFinished());
            const QByteArray now = readAll(tablePath());
            QVERIFY2(now == a || now == b, "a killed save left a partial table");
        }
    }

    void commonColumns_data() {
        QTest::addColumn<QVector<int>>("cols");  // slave, address, direction, type, active
        QTest::newRow("LON editor") << QVector<int>{0, 13, 0, 15, 17};
        QTest::newRow("MBS6 editor") << QVector<int>{0, 4, 0, 6, 8};
        QTest::newRow("all five") << QVector<int>{1, 2, 3, 4, 5};
    }
    void commonColumns() {
        QFETCH(QVector<int>, cols);
        SignalGrid g(2, 18);
        QVector<InfoColumna> info(3);
        for (int c = 0; c < 18; ++c) g.setTextMatrix(0, c, "old");
        Carga_CabecerasComunes(g, info, cols[0], cols[1], cols[2], cols[3], cols[4]);
        QCOMPARE(info.size(), 18);
        QCOMPARE(g.TextMatrix(0, 0), "No.");
        QCOMPARE(g.ColWidth(0), 500);
        struct Expect {
            QString caption;
            int width;
            int tipo;
            QString ayuda;
            QStringList options;
        };
        const Expect e[5] = {
            {"Slave", 800, 0, "Slave", {}},
            {"Addr.", 600, 0, "Address ASCII", {}},
            {Texto("E/S"), 600, 1, Texto("DireccionDatos2"), {Texto("0-Ent"), Texto("1-Sal"), Texto("2-E/S")}},
            {"A/D", 600, 1, Texto("TipoSenyal"), {Texto("0-Ana"), Texto("1-Dig")}},
            {Texto("Activa"), 600, 1, Texto("IndicaSiIntegrar"), {Texto("0-No"), Texto("1-Si")}},
        };
        for (int i = 0; i < 5; ++i) {
            const int c = cols[i];
            if (c == 0) continue;
            QCOMPARE(g.TextMatrix(0, c), e[i].caption);
            QCOMPARE(g.ColWidth(c), e[i].width);
            QCOMPARE(int(info[c].Tipo), e[i].tipo);
            QCOMPARE(info[c].Ayuda, e[i].ayuda);
            QCOMPARE(info[c].Opciones.texts(), e[i].options);
            for (int k = 0; k < e[i].options.size(); ++k)
                QCOMPARE(info[c].Opciones.Item(QString("K%1").arg(k)), e[i].options[k]);
        }
        QVERIFY(!m_prompts->texts().contains("???"));
        // Columns not named are left alone.
        QCOMPARE(g.TextMatrix(0, 16), "old");
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
