// The MBS6 editor driven through its real widgets, with scripted answers: a new
// project, which cells take keys, the menus, the unit list, save and generate,
// closing, and the protocol menu of the main window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "AppGlobals.h"
#include "MDIPilmora.h"
#include "Mbs6Config.h"
#include "Mbs6Fixtures.h"
#include "Mbs6Grid.h"
#include "ModulINI.h"
#include "SignalGrid.h"
#include "SignalGridView.h"
#include "TestSupport.h"
#include "fConfMbs6A.h"
#include "mIdioma.h"

namespace {
// A project made from the shipped templates (no table rows), made current.
QString newProject(TestHome& home, const QString& name, const QString& prot = QStringLiteral("MBS6")) {
    const QString dir = QDir(home.projectsRoot()).filePath(name);
    QDir().mkpath(dir);
    writeAll(dir + "/Project.ini", "[Project]\r\nProt=" + prot.toLatin1() + "\r\nDesc=Test\r\n");
    for (const char* f : {"MBS6.ini", "MBS6.dat"})
        QFile::copy(home.file(QStringLiteral("TemplatesASCII/") + f), dir + "/" + f);
    auto& a = app();
    a.RutaProyecto = dir;
    a.NombreProyecto = name;
    a.ProtProyecto = prot;
    return dir;
}

QLineEdit* cellEditor(fConfMbs6A& w) { return w.findChild<QLineEdit*>("txtEdit"); }

void leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w, &out);
}
}  // namespace

class TstConfMbs6Editor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newProjectOpens();
    void typableCells_data();
    void typableCells();
    void rightClickMenus_data();
    void rightClickMenus();
    void rowCommandsChangeNothing();
    void unitListAndName();
    void saveWritesEveryRow();
    void saveThatFailsStops();
    void generateRefusedWithUnsavedConnection();
    void closingAsks_data();
    void closingAsks();
    void protocolMenu_data();
    void protocolMenu();

    // Pictures for the README; only with PILMORA_SHOTS_DIR set, under a real X
    // server (xvfb-run, QT_QPA_PLATFORM=xcb).
    void screenshots();

private:
    TestHome* m_home = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
};

void TstConfMbs6Editor::init() {
    m_home = new TestHome;
    m_prompts = new ScriptedPrompts;
}

void TstConfMbs6Editor::cleanup() {
    delete m_prompts;
    delete m_home;
}

void TstConfMbs6Editor::newProjectOpens() {
    newProject(*m_home, "New");
    fConfMbs6A w;
    w.Form_Load();
    const SignalGrid& g = w.gridModel();
    QCOMPARE(g.Rows(), 827);
    int active = 0;
    for (int r = 1; r < g.Rows(); ++r)
        active +=
            g.TextMatrix(r, Mbs6Col::Activa) == Texto("1-Si") && g.TextMatrix(r, Mbs6Col::Spontaneous) == "1-Spon";
    QCOMPARE(active, 826);
    QCOMPARE(w.cboBaud->currentText(), QString("9600"));
    QCOMPARE(w.lstMaquina->item(0)->checkState(), Qt::Checked);
    QCOMPARE(w.txtMaquina->text(), QString("Unit 1"));
    QVERIFY(!w.connectionChanged() && !w.gridChanged());
}

void TstConfMbs6Editor::typableCells_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("typable");
    QTest::newRow("unit") << int(Mbs6Col::Disp) << false;
    QTest::newRow("property") << int(Mbs6Col::Prop) << false;
    QTest::newRow("description") << int(Mbs6Col::Descripcion) << true;
    QTest::newRow("address") << int(Mbs6Col::Add) << false;
    QTest::newRow("direction") << int(Mbs6Col::Direction) << false;
    QTest::newRow("type") << int(Mbs6Col::AD) << true;
    QTest::newRow("spontaneous") << int(Mbs6Col::Spontaneous) << true;
    QTest::newRow("active") << int(Mbs6Col::Activa) << true;
}

void TstConfMbs6Editor::typableCells() {
    QFETCH(int, col);
    QFETCH(bool, typable);
    newProject(*m_home, "Keys");
    fConfMbs6A w;
    w.Form_Load();
    w.show();
    w.TabStrip1->setCurrentIndex(1);
    SignalGrid& g = w.gridModel();
    const QString before = g.TextMatrix(20, col);
    g.select(20, col, 20, col);
    QTest::keyClick(w.grid, 'x');
    QCOMPARE(cellEditor(w)->isVisible(), typable);
    if (typable) QTest::keyClick(cellEditor(w), Qt::Key_Return);
    QCOMPARE(g.TextMatrix(20, col), typable ? QString("x") : before);
    QCOMPARE(w.gridChanged(), typable);
}

void TstConfMbs6Editor::rightClickMenus_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("menu");  // object name, empty: none
    QTest::newRow("captions") << 0 << 3 << "popmnuColumns";
    QTest::newRow("spontaneous") << 9 << int(Mbs6Col::Spontaneous) << "popmnuSpon";
    QTest::newRow("active") << 9 << int(Mbs6Col::Activa) << "popmnuSiNo";
    QTest::newRow("description: no cut or paste") << 9 << int(Mbs6Col::Descripcion) << "";
    QTest::newRow("type") << 9 << int(Mbs6Col::AD) << "";
}

void TstConfMbs6Editor::rightClickMenus() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, menu);
    newProject(*m_home, "Menus");
    fConfMbs6A w;
    w.Form_Load();
    SignalGrid& g = w.gridModel();
    g.select(8, col, 10, col);  // the click lies inside: the selection stays
    QMenu* m = w.gridRightClick(row, col, false);
    QCOMPARE(m ? m->objectName() : QString(), menu);
    if (!m || row == 0) return;
    m->actions().at(0)->trigger();
    for (int r = 8; r <= 10; ++r) QCOMPARE(g.TextMatrix(r, col), m->actions().at(0)->text());
    QCOMPARE(g.TextMatrix(11, col), g.TextMatrix(7, col));
    QVERIFY(w.gridChanged());
}

// The rows are fixed: the row commands are greyed and Alt+arrows move nothing.
// "Show/Hide columns" hides unit and property and brings them back.
void TstConfMbs6Editor::rowCommandsChangeNothing() {
    newProject(*m_home, "Fixed");
    fConfMbs6A w;
    w.Form_Load();
    w.show();
    w.TabStrip1->setCurrentIndex(1);
    SignalGrid& g = w.gridModel();
    g.select(9, 3, 9, 3);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{w.cmdInsertar, w.cmdElimina, w.cmdUp, w.cmdDown})
        b->click();
    QTest::keyClick(w.grid, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(g.Rows(), 827);
    QCOMPARE(g.TextMatrix(9, Mbs6Col::Add), QString("101"));
    QVERIFY(!w.gridChanged());
    const int description = g.ColWidth(3);
    const QVector<int> shown{g.ColWidth(1), g.ColWidth(2)};
    QVERIFY(shown[0] >= 500 && shown[1] >= 500);
    w.gridRightClick(0, 1, false)->actions().at(0)->trigger();
    QCOMPARE(QVector<int>({g.ColWidth(1), g.ColWidth(2), g.ColWidth(3)}), QVector<int>({0, 0, description}));
    w.toggleHiddenColumns();
    QCOMPARE(QVector<int>({g.ColWidth(1), g.ColWidth(2)}), shown);
}

void TstConfMbs6Editor::unitListAndName() {
    newProject(*m_home, "Units");
    fConfMbs6A w;
    w.Form_Load();
    w.txtMaquina->setText("  Hall  ");
    leave(w.txtMaquina);
    QCOMPARE(w.txtMaquina->text(), QString("Hall"));
    w.lstMaquina->setCurrentRow(4);
    QCOMPARE(w.txtMaquina->text(), QString());
    w.lstMaquina->item(4)->setCheckState(Qt::Checked);
    w.lstMaquina->setCurrentRow(0);
    QCOMPARE(w.txtMaquina->text(), QString("Hall"));
    QVERIFY(w.model().unit(5).On);
    QVERIFY(w.connectionChanged());
}

// A description typed and saved: the whole fixed table is written, then the
// generate question (answered No here).
void TstConfMbs6Editor::saveWritesEveryRow() {
    const QString dir = newProject(*m_home, "Save");
    fConfMbs6A w;
    w.Form_Load();
    w.show();
    w.TabStrip1->setCurrentIndex(1);
    w.gridModel().select(9, Mbs6Col::Descripcion, 9, Mbs6Col::Descripcion);
    QTest::keyClick(w.grid, 'O');
    QTest::keyClicks(cellEditor(w), "ffice");
    QTest::keyClick(cellEditor(w), Qt::Key_Return);
    w.TabStrip1->setCurrentIndex(0);
    w.lstMaquina->item(2)->setCheckState(Qt::Checked);
    m_prompts->queueAnswer(1);
    m_prompts->queueAnswer(2);
    w.cmdAceptar_Click();
    QCOMPARE(m_prompts->texts(), (QStringList{Texto("A23"), Texto("A24")}));
    const QList<QByteArray> lines = readAll(dir + "/MBS6.dat").split('\n');
    QCOMPARE(lines.size(), 3 + 827 + 1);  // the last line end leaves an empty piece
    QCOMPARE(lines[2], QByteArray("CAMPOS=9\r"));
    QVERIFY(lines[3 + 9].startsWith("9\t1\t1\tOffice\t101\tRW\t"));
    QCOMPARE(iniReadInt(dir + "/MBS6.ini", "MBS6", "D3-On", -1), 1);
    QVERIFY(!w.connectionChanged() && !w.gridChanged());
    QVERIFY(!QFile::exists(dir + "/MBS6.Plmx"));
}

// MBS6.ini cannot be written (a folder in its place): one message with its path,
// no generate question, the change flags stay set so closing still asks.
void TstConfMbs6Editor::saveThatFailsStops() {
    const QString dir = newProject(*m_home, "Fails");
    fConfMbs6A w;
    w.Form_Load();
    w.lstMaquina->item(2)->setCheckState(Qt::Checked);
    QVERIFY(QFile::remove(dir + "/MBS6.ini") && QDir(dir).mkdir("MBS6.ini"));
    m_prompts->queueAnswer(1);
    w.cmdAceptar_Click();
    const QStringList shown = m_prompts->texts();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0], Texto("A23"));
    QVERIFY2(shown[1].startsWith(Texto("NoSePuedeGrabar")) && shown[1].contains(dir + "/MBS6.ini"), qPrintable(shown[1]));
    QVERIFY(w.connectionChanged());
}

void TstConfMbs6Editor::generateRefusedWithUnsavedConnection() {
    const QString dir = newProject(*m_home, "Gen");
    fConfMbs6A w;
    w.Form_Load();
    w.txtTimeoutPoll->setFocus();
    QTest::keyClicks(w.txtTimeoutPoll, "5");
    w.cmdPilmora->click();
    QCOMPARE(m_prompts->texts(), QStringList{Texto("PrimeroDebeGrabarLosCambios")});
    QVERIFY(!QFile::exists(dir + "/MBS6.Plmx"));
}

void TstConfMbs6Editor::closingAsks_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("unit name, No") << "name" << 2 << false;
    QTest::newRow("grid, Si") << "grid" << 1 << true;
}

void TstConfMbs6Editor::closingAsks() {
    QFETCH(QString, change);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    newProject(*m_home, "Close");
    fConfMbs6A w;
    w.Form_Load();
    w.show();
    if (change == "name") {
        w.txtMaquina->setFocus();
        QTest::keyClicks(w.txtMaquina, "A");
    } else if (change == "grid") {
        w.fillColumn(Mbs6Col::Activa, Texto("0-No"));
    }
    m_prompts->queueAnswer(answer);
    w.cmdCancelar->click();
    QCOMPARE(m_prompts->texts(), change.isEmpty() ? QStringList() : QStringList{Texto("EstaSeguroDeSalirSinGrabar")});
    QCOMPARE(!w.isVisible(), closed);
}

void TstConfMbs6Editor::protocolMenu_data() {
    QTest::addColumn<QString>("prot");
    QTest::addColumn<bool>("opens");
    QTest::newRow("MBS6") << "MBS6" << true;
    QTest::newRow("Tester: enabled, opens nothing") << "Tester" << false;
}

void TstConfMbs6Editor::protocolMenu() {
    QFETCH(QString, prot);
    QFETCH(bool, opens);
    MDIPilmora main;
    QVERIFY(main.Form_Load());
    newProject(*m_home, "Menu", prot);
    int rows = -1;
    QTimer::singleShot(0, this, [&] {
        if (auto* d = qobject_cast<fConfMbs6A*>(QApplication::activeModalWidget())) {
            rows = d->gridModel().Rows();
            d->cmdCancelar->click();
        }
    });
    main.mnuCProtocolo_Click();
    QCOMPARE(rows, opens ? 827 : -1);
}

void TstConfMbs6Editor::screenshots() {
    const QString out = qEnvironmentVariable("PILMORA_SHOTS_DIR");
    if (out.isEmpty()) QSKIP("PILMORA_SHOTS_DIR not set");
    const QString dir = QDir(m_home->projectsRoot()).filePath("DemoMBS6");
    QVERIFY(copyFolder(QStringLiteral(PILMORA_SOURCE_DIR) + "/data/demo/DemoMBS6", dir));
    app().RutaProyecto = dir;
    app().ProtProyecto = "MBS6";
    fConfMbs6A w;
    w.Form_Load();
    const QString size = qEnvironmentVariable("PILMORA_SHOTS_SIZE", "1024x768");
    w.resize(size.section('x', 0, 0).toInt(), size.section('x', 1, 1).toInt() - 40);
    w.move(0, 0);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.lstMaquina->setCurrentRow(1);
    QCoreApplication::sendEvent(w.txtTimeoutPoll, new QFocusEvent(QEvent::FocusIn, Qt::TabFocusReason));
    QTest::qWait(300);
    QVERIFY(w.screen()->grabWindow(0).save(out + "/mbs6editor-connection.png"));
    w.TabStrip1->setCurrentIndex(1);
    w.gridModel().select(9, Mbs6Col::Descripcion, 9, Mbs6Col::Descripcion);
    QTest::qWait(300);
    QVERIFY(w.screen()->grabWindow(0).save(out + "/mbs6editor-signals.png"));
}

QTEST_MAIN(TstConfMbs6Editor)
#include "tst_confmbs6editor.moc"
