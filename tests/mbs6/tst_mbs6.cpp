#include <QtTest>
#include <QtWidgets>

#include "AppGlobals.h"
#include "DownloadWriter.h"
#include "LonFixtures.h"
#include "Mbs6Download.h"
#include "Mbs6Fixtures.h"
#include "Mbs6Grid.h"
#include "Mbs6Project.h"
#include "ModalDriver.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "SignalGrid.h"
#include "SignalGridView.h"
#include "TestSupport.h"
#include "WidgetState.h"
#include "fConfMbs6A.h"
#include "mIdioma.h"

namespace {

QString cells(const SignalGrid& g, int row) {
    QStringList l;
    for (int c = 1; c < Mbs6Col::Count; ++c) l << g.TextMatrix(row, c);
    return l.join('|');
}

void activeOnly(SignalGrid& grid, const QStringList& keys, bool all = false) {
    QVector<InfoColumna> info;
    Carga_CabecerasMbs6(grid, info);
    const QHash<QString, int> rows = CreaFilasMbs6(grid);
    for (int r = 1; !all && r < grid.Rows(); ++r) grid.setTextMatrix(r, Mbs6Col::Activa, Texto("0-No"));
    for (const QString& k : keys) grid.setTextMatrix(rows.value(k), Mbs6Col::Activa, Texto("1-Si"));
}

// One point record: address twice, position, A/D, direction, spontaneous.
QByteArray point(int address, int position, int ad, int direction) {
    return le16(address) + le16(address) + b({position, ad, direction, 1});
}

// A current project made from the shipped templates.
QString newProject(TestHome& home, const QString& name, const QString& prot = QStringLiteral("MBS6")) {
    const QString dir = QDir(home.projectsRoot()).filePath(name);
    QDir().mkpath(dir);
    writeAll(dir + "/Project.ini", "[Project]\r\nProt=" + prot.toLatin1() + "\r\nDesc=Test\r\n");
    for (const char* f : {"MBS6.ini", "MBS6.dat"})
        QFile::copy(home.file(QStringLiteral("TemplatesASCII/") + f), dir + "/" + f);
    app().RutaProyecto = dir, app().NombreProyecto = name, app().ProtProyecto = prot;
    return dir;
}

// An editor on a new project, shown, active and focused, on its signals tab.
struct Editor {
    explicit Editor(const QString& name = QStringLiteral("P")) : dir(newProject(home, name)) {
        w.Form_Load(), w.show(), w.activateWindow();
        ok = QTest::qWaitForWindowActive(&w);
        w.TabStrip1->setCurrentIndex(1), w.grid->setFocus();
    }
    QLineEdit* cellEditor() { return w.findChild<QLineEdit*>("txtEdit"); }
    TestHome home;
    ScriptedPrompts prompts;
    QString dir;
    fConfMbs6A w;
    bool ok = false;
};
}  // namespace

class TstMbs6 : public QObject {
    Q_OBJECT
private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    // The fixed rows (seven broadcast, then 13 per unit) take description, spontaneous and active
    // only; keys the grid lacks (unit 0 has no error property, no unit 64) are refused, one message.
    void tableIntoGrid() {
        TestHome home;
        const QString dir = home.file("P");
        Mbs6Fixture f{{1, 3, 63},
                      {mbs6Row(0, 0), {"7", "9.0", "Office set point", "1", "R", "1-Digital", "0-NoSpon", "0-No"}},
                      true};
        f.rows << mbs6Row(64, 1) << mbs6Row(2, 3);
        QVERIFY(writeMbs6Fixture(dir, f) && iniWrite(dir + "/MBS6.ini", "MBS6", "TimeoutPoll", "250"));
        ScriptedPrompts prompts;
        Mbs6Config cfg;
        SignalGrid grid;
        QVector<InfoColumna> info;
        QVERIFY(loadMbs6Project(dir, cfg, grid, info) && grid.Rows() == 827);
        QVERIFY(!cfg.gridChanged && !cfg.connectionChanged);  // loading is no change
        QCOMPARE(prompts.texts(), QStringList{Texto("AlgunDatoIncorrecto") + " (2)"});
        const qsizetype held = grid.heldText();  // loaded again: the old table's text let go
        QVERIFY(held > 0 && loadMbs6Project(dir, cfg, grid, info) && grid.heldText() == held);
        QCOMPARE(cells(grid, 7 + 6 * 13 + 10), "7|9|Office set point|709|RW|0-Analog|0-NoSpon|0-No");
        QCOMPARE(grid.TextMatrix(7 + 13 + 4, Mbs6Col::Descripcion), QString("Unit 2 property 3"));
        QCOMPARE(cells(grid, 1), "0|1|Broadcast write. OffOn (0-Off,1-On)|1|W|1-Digital|1-Spon|1-Yes");
        QCOMPARE(cells(grid, 7 + 11 * 13 + 9),
                 QString::fromUtf8("12|8|Room temperature (0..63\u00BAC, 0.5 steps)|1208|R|0-Analog|1-Spon|1-Yes"));
        QCOMPARE(cells(grid, 826), "63|12|Faults (bitfield)|6312|R|0-Analog|1-Spon|1-Yes");
        // The INI keys: the baud index is of this list (3 is 9600 here, 4 in the LON one); others' keys stay.
        QCOMPARE(cfg.baudText() + cfg.TimeoutPoll + cfg.unit(63).Nm + cfg.unit(1).Nm, QString("9600250Unit 63Unit 1"));
        cfg.unitPtr(1)->On = cfg.unitPtr(3)->On = false, cfg.unitPtr(5)->On = true, cfg.unitPtr(1)->Nm = "Hall";
        cfg.Baudios = 6, cfg.Graba_ConfMbs6();
        QCOMPARE(LeeIni("ASCII", "Baudios", "") + LeeIni("ASCII", "IP", ""), QString("6 (57600)127.0.0.1"));
        Mbs6Config again;
        again.Carga_ConfMbs6();
        QCOMPARE((QList<bool>{again.unit(1).On, again.unit(3).On, again.unit(5).On, again.unit(63).On}),
                 (QList<bool>{false, false, true, true}));
        QCOMPARE(again.unit(1).Nm, QString("Hall"));
        f.rows.removeFirst(), prompts.clear();  // one refused: told without a count
        QVERIFY(writeMbs6Fixture(dir, f) && loadMbs6Project(dir, cfg, grid, info));
        QCOMPARE(prompts.texts(), QStringList{Texto("AlgunDatoIncorrecto")});
    }

    void download_data() {
        addColumns<QVector<int>, QStringList>("units", "active");
        QTest::addColumn<QByteArray>("tail");  // from the unit count on
        QTest::newRow("units 3 and 5, one row each")
            << QVector<int>{3, 5} << QStringList{"3-1", "5-8"}
            << b({2, 3, 5}) + le16(2) + point(301, 1, 1, 2) + point(508, 2, 0, 0);
        QTest::newRow("broadcast row at position 0") << QVector<int>{4} << QStringList{"0-9", "4-0"}
                                                     << b({1, 4}) + le16(2) + point(9, 0, 0, 1) + point(400, 1, 1, 0);
        QTest::newRow("address 101") << QVector<int>{1} << QStringList{"1-1"}
                                     << b({1, 1}) + le16(1) + b({0x65, 0, 0x65, 0, 1, 1, 2, 1});
        QTest::newRow("unselected unit's row dropped")
            << QVector<int>{2} << QStringList{"1-1", "2-12", "3-2"} << b({1, 2}) + le16(1) + point(212, 1, 0, 0);
    }
    void download() {
        TestHome home;
        Mbs6Config cfg;
        for (int u : col<QVector<int>>("units")) cfg.unitPtr(u)->On = true;
        cfg.Paridad = 2, cfg.SendACK = true, cfg.Tmout_ms = "-5", cfg.TimeoutPoll = "700";
        SignalGrid grid;
        activeOnly(grid, col<QStringList>("active"));
        const Mbs6Download d = composeMbs6Download(cfg, grid, 12, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
        QByteArray head = "MEROVANTIX-ASCII-MBS6-V.1.0 2026/01/02 03:04:05";
        head += QByteArray(62 - head.size(), ' ') + "\r\n" + QByteArray(64, ' ');
        head += le32(1200) + b({0, 2}) + le32(0) + b({1, 1}) + QByteArray(10, '\0') + b({0}) + le32(19200) + b({0, 0}) +
                le16(700) + le16(12) + QByteArray(21, '\0');
        const QByteArray tail = col<QByteArray>("tail");
        QCOMPARE(d.message + d.fault, QString());
        QCOMPARE(d.bytes, le32(sumaBytes(head + tail)) + head + tail);
    }

    // Every point of every unit, or a message and no file; the wait pointer shows meanwhile.
    void generate_data() {
        addColumns<bool, bool>("allUnits", "rowsActive");
        QTest::addColumn<QString>("expected");  // report start or message
        QTest::newRow("all units, all rows") << true << true << "Devs:63  Points:826";
        QTest::newRow("no unit selected") << false << true << "@NoEncontradoSenyales";
        QTest::newRow("no active row") << true << false << "@NoEncontradoSenyales";
    }
    void generate() {
        const QString expected = col<QString>("expected");
        TestHome home;
        BusyPrompts prompts;
        app().RutaProyecto = home.path();
        Mbs6Config cfg;
        for (int u = 1; u <= 63; ++u) cfg.unitPtr(u)->On = col<bool>("allUnits");
        SignalGrid grid;
        activeOnly(grid, {}, col<bool>("rowsActive"));
        const Mbs6Download d = composeMbs6Download(cfg, grid, 10, QDateTime::currentDateTime());
        QCOMPARE(Genera_FicheroDescarga(cfg, grid, QDateTime()), !expected.startsWith('@'));
        QCOMPARE(prompts.busy, (QList<bool>{true, false}));
        if (expected.startsWith('@')) {
            QVERIFY(prompts.lastText() == Texto(expected.mid(1)) && !QFile::exists(home.file("MBS6.Plmx")));
            return;
        }
        QCOMPARE(QList<qsizetype>({d.bytes.size(), quint8(d.bytes[250]) + 256 * quint8(d.bytes[251]),
                                   readAll(home.file("MBS6.Plmx")).size()}),
                 QList<qsizetype>({4 + 183 + 63 + 2 + 8 * 826, 826, d.bytes.size()}));
        QCOMPARE(mbs6DownloadReport(d, "F").left(19), expected);
    }

    // A new project opens with every point active and spontaneous, the first description current; row commands
    // and Alt+arrows change nothing; "Show/Hide columns" hides unit and property and back; a unit's name is trimmed
    // and follows the unit chosen in the list.
    void newProjectEditor() {
        Editor e;
        QVERIFY(e.ok);
        SignalGrid& g = e.w.gridModel();
        int active = 0;
        for (int r = 1; r < g.Rows(); ++r)
            active +=
                g.TextMatrix(r, Mbs6Col::Activa) == Texto("1-Si") && g.TextMatrix(r, Mbs6Col::Spontaneous) == "1-Spon";
        QCOMPARE(active * 1000 + e.w.grid->model()->rowCount(), 826826);
        e.w.Form_Load();  // loaded again: the same lists (the kept state counts them)
        QCOMPARE(e.w.grid->visualRect(e.w.grid->currentIndex()), e.w.grid->cellRect(1, Mbs6Col::Descripcion));
        QCOMPARE(fieldsWithoutHelp(e.w.fraConexion, e.w.lblHelp, [&] { return e.w.connectionChanged(); }),
                 QStringList());
        QCOMPARE(windowDiffers(&e.w, "mbs6-editor", e.home.path()), QString());
        e.w.TabStrip1->setCurrentIndex(1);
        QVERIFY(e.w.cmdInsertar->isVisible() && e.w.cmdImportar->isVisible());
        QCOMPARE(e.w.lblHelp->text(), Texto("ConfSenyales"));  // the tab says what it holds
        QVERIFY(e.w.lstMaquina->item(0)->checkState() == Qt::Checked && !e.w.connectionChanged() && !e.w.gridChanged());
        g.select(9, 3, 9, 3);
        for (QAbstractButton* b :
             std::initializer_list<QAbstractButton*>{e.w.cmdInsertar, e.w.cmdElimina, e.w.cmdUp, e.w.cmdDown})
            b->click();
        QTest::keyClick(e.w.grid, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(QString::number(g.Rows()) + g.TextMatrix(9, Mbs6Col::Add) + QString::number(e.w.gridChanged()),
                 "8271010");
        const int description = g.ColWidth(3), unit = g.ColWidth(1);
        QVERIFY(unit > 0);
        e.w.gridRightClick(0, 1, false)->actions().at(0)->trigger();
        QCOMPARE(QVector<int>({g.ColWidth(1), g.ColWidth(2), g.ColWidth(3)}), QVector<int>({0, 0, description}));
        e.w.toggleHiddenColumns();
        QCOMPARE(g.ColWidth(1), unit);
        g.select(9, Mbs6Col::Descripcion, 9, Mbs6Col::Descripcion), QTest::keyClick(e.w.grid, 'Q');
        QVERIFY(e.cellEditor()->isVisible());
        e.w.TabStrip1->setCurrentIndex(0);  // an edit open when the tab changes ends, kept
        QVERIFY(!e.cellEditor()->isVisible() && g.TextMatrix(9, Mbs6Col::Descripcion) == "Q");
        e.w.lstMaquina->setFocus();
        QCOMPARE(e.w.lblHelp->text(), Texto("MarcarDispoAUtilizar"));
        e.w.txtMaquina->setText("  Hall  ");
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(e.w.txtMaquina, &out);
        QCOMPARE(e.w.txtMaquina->text(), QString("Hall"));
        e.w.lstMaquina->setCurrentRow(4);
        QCOMPARE(e.w.txtMaquina->text(), QString());
        e.w.txtMaquina->setText("Roof"), QCoreApplication::sendEvent(e.w.txtMaquina, &out);  // the unit chosen named
        e.w.lstMaquina->item(4)->setCheckState(Qt::Checked);
        e.w.lstMaquina->setCurrentRow(0);
        QCOMPARE(e.w.txtMaquina->text(), QString("Hall"));
        QVERIFY(e.w.model().unit(5).On && e.w.model().unit(5).Nm == "Roof" && e.w.connectionChanged());
        QCOMPARE(windowDiffers(&e.w, "mbs6-editor-edited", e.home.path()), QString());
        iniWrite(e.dir + "/MBS6.ini", "MBS6", "TimeoutPoll", " 0250.123456789012345678");
        e.w.Form_Load();  // the poll time shown as the number stored, to 15 significant digits
        QCOMPARE(e.w.txtTimeoutPoll->text(), QString("250.123456789012"));
        // A poll time typed is a change: generating asks for a save first; the save refuses it beyond its range, on
        // the connection tab.
        e.prompts.clear(), e.w.TabStrip1->setCurrentIndex(1);
        e.w.txtTimeoutPoll->clear(), QTest::keyClicks(e.w.txtTimeoutPoll, "40000");
        e.w.cmdPilmora->click(), e.prompts.queueAnswer(1), e.w.cmdAceptar->click();
        QCOMPARE(e.prompts.texts() << QString::number(e.w.TabStrip1->currentIndex()),
                 QStringList({Texto("PrimeroDebeGrabarLosCambios"), Texto("TimeoutPollFueraDeRango") + "40000", "0"}));
    }

    // In the focused editor, a key typed in row 20 of each column, then a right click inside rows 8-10 of it:
    // what the cell takes, where the cursor stays, the menu offered and the rows its first choice sets. Then saved
    // (with unit 3 chosen): the whole fixed table, then the generate question (No); or failing, with a folder in
    // place of MBS6.ini: one message with its path, no question, the flags stay set so closing asks.
    void cellEdits_data() {
        addColumns<int, bool>("column", "typable");
        QTest::addColumn<QString>("menu");  // object name, empty: none
        QTest::addColumn<int>("save");      // 0 not saved, 1 saved, 2 MBS6.ini not writable, 3 refused
        for (int c = 1; c < Mbs6Col::Count; ++c)
            QTest::newRow(qPrintable(QString::number(c))) << c << (c == Mbs6Col::Descripcion || c > Mbs6Col::AD)
                                                          << (c == Mbs6Col::Spontaneous ? "popmnuSpon"
                                                              : c == Mbs6Col::Activa    ? "popmnuSiNo"
                                                                                        : "")
                                                          << 0;
        QTest::newRow("saved") << int(Mbs6Col::Descripcion) << true << "" << 1;
        QTest::newRow("MBS6.ini not writable") << int(Mbs6Col::Descripcion) << true << "" << 2;
        QTest::newRow("a choice not in its list") << int(Mbs6Col::Descripcion) << true << "" << 3;
    }
    void cellEdits() {
        const int c = col<int>("column"), typable = col<bool>("typable"), save = col<int>("save");
        Editor e;
        QVERIFY(e.ok);
        SignalGrid& g = e.w.gridModel();
        const QString before = g.TextMatrix(20, c);
        g.select(20, c, 20, c);
        QTest::keyClick(e.w.grid, typable ? 'O' : '7');  // a digit: even a number column would take it
        QCOMPARE(e.cellEditor()->isVisible(), typable);
        if (typable) QTest::keyClicks(e.cellEditor(), "ffice"), QTest::keyClick(e.cellEditor(), Qt::Key_Return);
        QCOMPARE(g.TextMatrix(20, c) + QString::number(g.Row() * 100 + g.Col()) + QString::number(e.w.gridChanged()),
                 (typable ? QString("Office") : before) + QString::number(2000 + c) + QString::number(typable));
        g.select(8, c, 10, c);
        QMenu* m = e.w.gridRightClick(9, c, false);
        QCOMPARE(m ? m->objectName() : QString(), col<QString>("menu"));
        if (m) {
            m->actions().at(0)->trigger();
            for (int r = 8; r <= 10; ++r) QCOMPARE(g.TextMatrix(r, c), m->actions().at(0)->text());
            QVERIFY(g.TextMatrix(11, c) == g.TextMatrix(7, c) && e.w.gridChanged());
        }
        if (!save) return;
        e.w.lstMaquina->item(2)->setCheckState(Qt::Checked);
        if (save == 2) QVERIFY(QFile::remove(e.dir + "/MBS6.ini") && QDir(e.dir).mkdir("MBS6.ini"));
        if (save == 3) g.setTextMatrix(30, Mbs6Col::Activa, "maybe");
        e.prompts.queueAnswer(1), e.prompts.queueAnswer(2);
        e.w.cmdAceptar_Click();
        const QStringList shown = e.prompts.texts();
        if (save == 3) {  // refused before the question
            QCOMPARE(shown, QStringList{Texto("CeldaNoEsOpcion") + "maybe"});
            return;
        }
        QVERIFY(shown.size() == 2 && shown[0] == Texto("A23") && e.prompts.shown()[0].defaultButton == 1);  // Yes
        if (save == 2) {
            QVERIFY2(shown[1].startsWith(Texto("NoSePuedeGrabar")) && shown[1].contains(e.dir + "/MBS6.ini"),
                     qPrintable(shown[1]));
            QVERIFY(e.w.connectionChanged());
            return;
        }
        QCOMPARE(shown[1], Texto("A24"));
        const QList<QByteArray> lines = readAll(e.dir + "/MBS6.dat").split('\n');
        QCOMPARE(lines.size(), 3 + 827 + 1);  // the last line end leaves an empty piece
        QVERIFY2(lines[2] == "CAMPOS=9\r" && lines[3 + 20].startsWith("20\t1\t12\tOffice\t112\tR\t"), lines[3 + 20]);
        QCOMPARE(iniReadInt(e.dir + "/MBS6.ini", "MBS6", "D3-On", -1), 1);
        QVERIFY(!e.w.connectionChanged() && !e.w.gridChanged() && !QFile::exists(e.dir + "/MBS6.Plmx"));
        e.prompts.queueAnswer(1), e.w.cmdPilmora->click();  // generated: nothing to generate again until a change
        QVERIFY(QFile::exists(e.dir + "/MBS6.Plmx") && !e.w.cmdPilmora->isEnabled());
    }
};

QTEST_MAIN(TstMbs6)
#include "tst_mbs6.moc"
