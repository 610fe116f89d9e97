// The LON editor driven through its real widgets, with scripted answers to every
// question: opening, the connection fields and their checks, the device list and
// dialog, the signal grid by keys and menus, save, generate and close.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "AppGlobals.h"
#include "LonConfig.h"
#include "LonFixtures.h"
#include "LonGrid.h"
#include "MDIPilmora.h"
#include "ModulINI.h"
#include "SignalGrid.h"
#include "SignalGridView.h"
#include "TestSupport.h"
#include "fConfLonA.h"
#include <QHeaderView>
#include "mIdioma.h"

namespace {

// A LON project folder written from a fixture, made the current project.
QString makeProject(TestHome& home, const QString& name, const LonFixture& f) {
    const QString dir = QDir(home.projectsRoot()).filePath(name);
    writeLonFixture(dir, f);
    app().RutaProyecto = dir;
    app().NombreProyecto = name;
    app().ProtProyecto = QStringLiteral("LON");
    return dir;
}

// `devices` devices in use, no signal rows; extra keys as (section, key, value).
LonFixture fixture(int devices, const QList<QStringList>& keys = {}) {
    LonFixture f;
    for (int n = 1; n <= devices; ++n) {
        LonFixtureDevice d;
        d.nid = QStringLiteral("%1").arg(n, 12, 10, QLatin1Char('0'));
        f.devices.append(d);
    }
    f.keys = keys;
    return f;
}

// Message texts of the tables: "{Key}" stands for the text of that language key
// (the tables are built before the language is loaded).
QString expand(QString text) {
    static const QRegularExpression key(QStringLiteral("\\{([^}]+)\\}"));
    QRegularExpressionMatch m;
    while ((m = key.match(text)).hasMatch()) text.replace(m.capturedStart(), m.capturedLength(), Texto(m.captured(1)));
    return text;
}

void leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w, &out);
}

void typeInto(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    e->clear();
    QTest::keyClicks(e, text);
}

}  // namespace

class TstConfLonEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newProjectOpensWithBuiltInRows_data();
    void newProjectOpensWithBuiltInRows();
    void openingSetsCaptionsAndSummary();
    void firmwareRuleHidesTcpFields();
    void versionRuleRewritesCaptionAndAddressHelp();
    void fieldChecksOnLeaving_data();
    void fieldChecksOnLeaving();
    void addressingEnablesItsFields();
    void deviceListBindsFieldsAndFlags();
    void devicesDialog_data();
    void devicesDialog();
    void helpLineFollowsFocus();
    void fitsASmallScreen();
    void columnsFitCaptionsAndMenus_data();
    void columnsFitCaptionsAndMenus();

    void gridTypingByKeys_data();
    void gridTypingByKeys();
    void rightClickMenus_data();
    void rightClickMenus();
    void realRightClickOpensColumnMenu();
    void menusFillTheSelection();
    void nvAccessMenuUpdatesDirection();
    void enumerateUsesAddressMaximum();
    void showHideColumnsTwiceRestores();
    void cutCopyPaste();
    void insertDeleteAndMoveRows();

    void saveWithDuplicateAddress();
    void saveAnsweredNoWritesNothing();
    void saveThatFailsStopsTheSequence_data();
    void saveThatFailsStopsTheSequence();
    void saveAndGenerateMatchesCommandLine();
    void generateRefusedWithUnsavedConnection();
    void closingAsksWhenChanged_data();
    void closingAsksWhenChanged();
    void openedFromTheProtocolMenu();

    // Pictures of both tabs for the README; runs only with PILMORA_SHOTS_DIR set,
    // under a real X server (xvfb-run, QT_QPA_PLATFORM=xcb).
    void screenshots();

private:
    TestHome* m_home = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
};

void TstConfLonEditor::init() {
    m_home = new TestHome;
    m_prompts = new ScriptedPrompts;
}

void TstConfLonEditor::cleanup() {
    delete m_prompts;
    m_prompts = nullptr;
    delete m_home;
    m_home = nullptr;
}

void TstConfLonEditor::newProjectOpensWithBuiltInRows_data() {
    QTest::addColumn<int>("devices");
    QTest::newRow("one device") << 1;
    QTest::newRow("three devices") << 3;
    QTest::newRow("sixty-four devices") << 64;
}

void TstConfLonEditor::newProjectOpensWithBuiltInRows() {
    QFETCH(int, devices);
    makeProject(*m_home, "New", fixture(devices));
    fConfLonA w;
    w.Form_Load();
    const SignalGrid& g = w.gridModel();
    QCOMPARE(g.Rows(), devices + 2);
    QCOMPARE(g.Cols(), 18);
    QCOMPARE(g.TextMatrix(1, LonCol::Snvt), QString("-2"));
    QCOMPARE(g.TextMatrix(1, LonCol::Disp), QString("0"));
    for (int r = 1; r <= devices + 1; ++r) {
        QCOMPARE(g.TextMatrix(r, 0), QString::number(r));
        QCOMPARE(g.TextMatrix(r, LonCol::Activa), Texto("0-No"));
        QCOMPARE(g.TextMatrix(r, LonCol::Direction), QString("R"));
    }
    QCOMPARE(g.TextMatrix(devices + 1, LonCol::Disp), QString::number(devices));
    QCOMPARE(g.TextMatrix(devices + 1, LonCol::Snvt), QString("-1"));
    QCOMPARE(w.lstMaquina->count(), devices);
    QVERIFY(!w.connectionChanged());
    QVERIFY(!w.gridChanged());
    QVERIFY(m_prompts->shown().isEmpty());
}

void TstConfLonEditor::openingSetsCaptionsAndSummary() {
    makeProject(*m_home, "Captions",
                fixture(2, {{"LON", "TimeoutPoll", "250ms"}, {"ASCII", "tmoutKeepAlive_sec", "45 s"}}));
    fConfLonA w;
    w.Form_Load();
    QCOMPARE(w.TabStrip1->tabText(0), Texto("Conexion"));
    QCOMPARE(w.TabStrip1->tabText(1), Texto("Senyales"));
    QCOMPARE(w.TabStrip1->tabToolTip(1), Texto("ConfSenyales"));
    QCOMPARE(w.cmdAceptar->text(), Texto("&Grabar"));
    QCOMPARE(w.cmdPilmora->toolTip(), QString("Generar fichero Pilmora para descargar"));
    QCOMPARE(w.cboVersion->count(), 2);
    QCOMPARE(w.cboFirmVersion->itemText(1), QString("V.43.1.x"));
    QCOMPARE(w.txtIp->text(), QString("127.0.0.1"));
    QCOMPARE(w.txtLTimeoutPollLon->text(), QString("250"));
    QCOMPARE(w.txtTimeoutKeepAlive->text(), QString("45"));
    const QStringList lines = w.txtMsg->toPlainText().split('\n');
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.at(1), QString("   >Daaaa?\\r"));
    QCOMPARE(lines.at(6), QString());
    QVERIFY(lines.at(7).startsWith("where 'aaaa' is the address ascii, '\\r' is a carriage return"));
    QCOMPARE(w.lstMaquina->item(1)->text(), Texto("Dispositivo") + "2");
    QVERIFY(!w.mnuPaste->isEnabled());
    // Tab 2 shows the grid commands, tab 1 hides them.
    QVERIFY(w.cmdInsertar->isHidden());
    w.TabStrip1->setCurrentIndex(1);
    QVERIFY(!w.cmdInsertar->isHidden());
    QVERIFY(w.fraConexion->isHidden());
    QCOMPARE(w.lblHelp->text(), Texto("ConfSenyales"));
}

void TstConfLonEditor::firmwareRuleHidesTcpFields() {
    makeProject(*m_home, "Firmware", fixture(1, {{"ASCII", "RS_TCP", "1 (ASCII TCP)"}}));
    fConfLonA w;
    w.Form_Load();
    w.show();
    QVERIFY(w.optRS_TCP[1]->isChecked());
    QVERIFY(w.fraTCP->isVisible());
    w.cboFirmVersion->setCurrentIndex(0);
    w.cboFirmVersion_Click();
    QVERIFY(w.optRS_TCP[0]->isChecked());
    QVERIFY(!w.fraTCP->isVisible());
    QVERIFY(!w.optRS_TCP[1]->isVisible());
    QVERIFY(w.connectionChanged());
    QCOMPARE(w.model().RS_TCP, 0);
    w.cboFirmVersion->setCurrentIndex(1);
    w.cboFirmVersion_Click();
    QVERIFY(w.fraTCP->isVisible());
    QVERIFY(w.optRS_TCP[0]->isChecked());
}

void TstConfLonEditor::versionRuleRewritesCaptionAndAddressHelp() {
    makeProject(*m_home, "Version", fixture(1, {{"ASCII", "GatewayVersion", "A-Basic"}}));
    fConfLonA w;
    w.Form_Load();
    QVERIFY(w.windowTitle().endsWith(":64 Max.Regs.ASCII:500"));
    QVERIFY(!w.connectionChanged());
    w.cboVersion->setCurrentIndex(1);
    w.cboVersion_Click();
    QCOMPARE(w.windowTitle(), QString("LON ") + Texto("Configuracion") + " - Max.Lon " + Texto("Dispositivos") +
                                  ":128 Max.Regs.ASCII:4000");
    QVERIFY(w.connectionChanged());
    // The help line of the address column names the new limit.
    w.TabStrip1->setCurrentIndex(1);
    w.gridModel().select(1, LonCol::Add, 1, LonCol::Add);
    QVERIFY(w.lblHelp->text().endsWith("4000"));
}

void TstConfLonEditor::fieldChecksOnLeaving_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("subnetNode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");  // empty: none

    QTest::newRow("ip valid") << "txtIp" << false << "127.0.0.2"
                              << "127.0.0.2"
                              << "";
    QTest::newRow("ip leading zero") << "txtIp" << false << "127.0.0.01"
                                     << "127.0.0.1"
                                     << "{EtqIP}127.0.0.01{incorrecta}";
    QTest::newRow("mask three octets") << "txtNetMask" << false << "255.255.0"
                                       << "255.255.255.0"
                                       << "{EtqNetMask}255.255.0{incorrecta}";
    QTest::newRow("gateway empty") << "txtGateway" << false << ""
                                   << ""
                                   << "";
    QTest::newRow("gateway trimmed") << "txtGateway" << false << "  10.0.0.1 "
                                     << "10.0.0.1"
                                     << "";
    QTest::newRow("gateway bad") << "txtGateway" << false << "10.0.0.x"
                                 << ""
                                 << "{EtqRouter}10.0.0.x{incorrecta}";
    QTest::newRow("port zero") << "txtPortASCII" << false << "0"
                               << "5000"
                               << "";
    QTest::newRow("port ok") << "txtPortASCII" << false << "6001"
                             << "6001"
                             << "";
    QTest::newRow("keep-alive too big") << "txtTimeoutKeepAlive" << false << "70000"
                                        << "30"
                                        << "";
    QTest::newRow("keep-alive zero") << "txtTimeoutKeepAlive" << false << "0"
                                     << "0"
                                     << "";
    QTest::newRow("ascii timeout clamped") << "txtTimeoutAscii" << false << "3000"
                                           << "2000"
                                           << "";
    QTest::newRow("lon subnet clamped") << "txtLSubnet" << false << "300"
                                        << "255"
                                        << "";
    QTest::newRow("lon node clamped") << "txtLNode" << false << "-5"
                                      << "0"
                                      << "";
    QTest::newRow("neuron id padded") << "txtMaquina0" << false << "12AB"
                                      << "0000000012AB"
                                      << "";
    QTest::newRow("neuron id cut") << "txtMaquina0" << false << "FF0102030405AB"
                                   << "0102030405AB"
                                   << "";
    QTest::newRow("device subnet free with neuron ids") << "txtMaquina1" << false << "300"
                                                        << "300"
                                                        << "";
    QTest::newRow("device subnet refused") << "txtMaquina1" << true << "300"
                                           << "1"
                                           << "Device Subnet not valid: 300";
    QTest::newRow("device node refused") << "txtMaquina2" << true << "128"
                                         << "1"
                                         << "Device Node not valid: 128";
    QTest::newRow("device name trimmed") << "txtMaquina3" << false << " Boiler  "
                                         << "Boiler"
                                         << "";
}

void TstConfLonEditor::fieldChecksOnLeaving() {
    QFETCH(QString, field);
    QFETCH(bool, subnetNode);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    makeProject(*m_home, "Fields", fixture(1, {{"ASCII", "NetMask", "255.255.255.0"}}));
    fConfLonA w;
    w.Form_Load();
    w.show();
    if (subnetNode) w.optLAddressing[1]->setChecked(true);
    auto* e = w.findChild<QLineEdit*>(field);
    QVERIFY(e);
    e->setEnabled(true);
    typeInto(e, typed);
    QCOMPARE(w.connectionChanged(), !typed.isEmpty());
    m_prompts->clear();
    leave(e);
    QCOMPARE(e->text(), shown);
    if (message.isEmpty()) {
        QVERIFY2(m_prompts->shown().isEmpty(), qPrintable(m_prompts->texts().join('|')));
    } else {
        QCOMPARE(m_prompts->shown().size(), 1);
        QCOMPARE(m_prompts->lastText(), expand(message));
    }
}

void TstConfLonEditor::addressingEnablesItsFields() {
    makeProject(*m_home, "Addressing", fixture(2));
    fConfLonA w;
    w.Form_Load();
    QVERIFY(w.optLAddressing[0]->isChecked());
    QVERIFY(w.txtMaquina[0]->isEnabled());
    QVERIFY(!w.txtMaquina[1]->isEnabled());
    QVERIFY(!w.txtMaquina[2]->isEnabled());
    QVERIFY(w.txtMaquina[3]->isEnabled());
    w.optLAddressing[1]->setChecked(true);
    QVERIFY(!w.txtMaquina[0]->isEnabled());
    QVERIFY(w.txtMaquina[1]->isEnabled());
    QVERIFY(w.txtMaquina[2]->isEnabled());
    QCOMPARE(w.model().Addressing, 1);
    QVERIFY(w.connectionChanged());
}

void TstConfLonEditor::deviceListBindsFieldsAndFlags() {
    LonFixture f = fixture(3);
    f.devices[1].on = false;
    f.devices[1].name = "Chiller";
    f.devices[2].node = "9";
    makeProject(*m_home, "Devices", f);
    fConfLonA w;
    w.Form_Load();
    w.show();
    QCOMPARE(w.lstMaquina->item(0)->checkState(), Qt::Checked);
    QCOMPARE(w.lstMaquina->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(w.txtMaquina[0]->text(), QString("000000000001"));
    // Clicking a device shows its fields.
    QTest::mouseClick(w.lstMaquina->viewport(), Qt::LeftButton, {},
                      w.lstMaquina->visualItemRect(w.lstMaquina->item(1)).center());
    QCOMPARE(w.lstMaquina->currentRow(), 1);
    QCOMPARE(w.txtMaquina[3]->text(), QString("Chiller"));
    QVERIFY(!w.connectionChanged());
    w.lstMaquina->setCurrentRow(2);
    QCOMPARE(w.txtMaquina[2]->text(), QString("9"));
    // Its check mark is its in-use flag.
    w.lstMaquina->item(1)->setCheckState(Qt::Checked);
    QVERIFY(w.model().device(2).On);
    QVERIFY(w.connectionChanged());
    // An edit of the name goes to the device that was current.
    typeInto(w.txtMaquina[3], "Pump");
    leave(w.txtMaquina[3]);
    QCOMPARE(w.model().device(3).Nm, QString("Pump"));
    QCOMPARE(w.model().device(2).Nm, QString("Chiller"));
}

void TstConfLonEditor::devicesDialog_data() {
    QTest::addColumn<bool>("changedFirst");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("storedDevices");
    QTest::addColumn<bool>("closed");

    QTest::newRow("unsaved changes") << true << ""
                                     << "{PrimeroDebeGrabarLosCambios}" << 2 << false;
    QTest::newRow("new count") << false << "5"
                               << "{MbusEstecambioaf}" << 5 << true;
    QTest::newRow("above the maximum") << false << "129"
                                       << "{NDispNoval}. Max:128" << 2 << false;
    QTest::newRow("same count") << false << "2"
                                << "" << 2 << false;
    QTest::newRow("cancelled") << false << ""
                               << "" << 2 << false;
}

void TstConfLonEditor::devicesDialog() {
    QFETCH(bool, changedFirst);
    QFETCH(QString, answer);
    QFETCH(QString, message);
    QFETCH(int, storedDevices);
    QFETCH(bool, closed);
    const QString dir = makeProject(*m_home, "DevicesDialog", fixture(2));
    fConfLonA w;
    w.Form_Load();
    w.show();
    if (changedFirst) w.chkACK->toggle();
    m_prompts->queueText(answer);
    w.cmdLDevices->click();
    QStringList boxes;
    for (const auto& s : m_prompts->shown())
        if (s.kind != ScriptedPrompts::InputBox) boxes << s.text;
    if (message.isEmpty())
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join('|')));
    else
        QCOMPARE(boxes, QStringList{expand(message)});
    if (!changedFirst) {
        const auto& asked = m_prompts->shown().first();
        QCOMPARE(asked.kind, ScriptedPrompts::InputBox);
        QCOMPARE(asked.caption, QString("Nb") + Texto("Dispositivos"));
    }
    QCOMPARE(iniReadInt(dir + "/LON.ini", "LON", "NDevs", 0), storedDevices);
    QCOMPARE(w.isVisible(), !closed);
}

void TstConfLonEditor::helpLineFollowsFocus() {
    makeProject(*m_home, "Help", fixture(1));
    fConfLonA w;
    w.Form_Load();
    w.show();
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w.txtLSubnet, &in);
    QCOMPARE(w.lblHelp->text(), QString("LON subnet number for Merovantix (0..255)"));
    QCoreApplication::sendEvent(w.txtTimeoutKeepAlive, &in);
    QCOMPARE(w.lblHelp->text(),
             QString("Time without activity to send KeepALive packet, if 0 never send. (0..65535 s)"));
    QCoreApplication::sendEvent(w.optRS_TCP[0], &in);
    QCOMPARE(w.lblHelp->text(), QString("Selected ASCII over Ethernet"));  // the TCP option is chosen
    w.optRS_TCP[0]->setChecked(true);
    QCOMPARE(w.lblHelp->text(), QString("Selected ASCII over RS232"));
    QCoreApplication::sendEvent(w.cboVersion, &in);
    QCOMPARE(w.lblHelp->text(), Texto("A30"));
    QCoreApplication::sendEvent(w.lstMaquina, &in);
    QCOMPARE(w.lblHelp->text(), Texto("MarcarDispoAUtilizar"));
}

// A 1024x768 screen with a task bar: the whole window, both tabs, must fit.
void TstConfLonEditor::columnsFitCaptionsAndMenus_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 0;
    QTest::newRow("Spanish") << 1;
    QTest::newRow("French") << 2;
}

// A caption or menu text wider than its column is cut: the engineer reads "Spont".
void TstConfLonEditor::columnsFitCaptionsAndMenus() {
    QFETCH(int, language);
    EscribeIniAplicacion("Configuracion", "Language", QString::number(language));
    QVERIFY(CargaIdioma());
    makeProject(*m_home, "Widths", fixture(2));
    fConfLonA w;
    w.Form_Load();
    const SignalGrid& g = w.gridModel();
    const QFontMetrics header(w.grid->horizontalHeader()->font()), cell(w.grid->font());
    const QHash<int, QMenu*> menus{{LonCol::DataType, w.mnuLonDataType}, {LonCol::NvAccess, w.popmnuNVAccess},
                                   {LonCol::Direction, w.popmnuDir},     {LonCol::AD, w.popmnuAD},
                                   {LonCol::Spontaneous, w.popmnuSpon},  {LonCol::Activa, w.popmnuSiNo}};
    for (int col = 1; col < g.Cols(); ++col) {
        const int px = w.grid->columnWidth(col - 1);  // the row numbers are the view's vertical header
        if (w.grid->isColumnHidden(col - 1) || px == 0) continue;
        int need = header.horizontalAdvance(g.TextMatrix(0, col));
        if (QMenu* m = menus.value(col))
            for (QAction* a : m->actions()) need = qMax(need, cell.horizontalAdvance(a->text().remove('&')));
        QVERIFY2(px >= need, qPrintable(QString("column %1 \"%2\": %3 < %4").arg(col).arg(g.TextMatrix(0, col)).arg(px).arg(need)));
    }
}

void TstConfLonEditor::fitsASmallScreen() {
    makeProject(*m_home, "Small", fixture(8));
    fConfLonA w;
    w.Form_Load();
    w.resize(1000, 700);
    w.show();
    for (int tab : {0, 1}) {
        w.TabStrip1->setCurrentIndex(tab);
        const QSize need = w.layout()->minimumSize();
        QVERIFY2(need.width() <= 1000 && need.height() <= 700,
                 qPrintable(QString("%1x%2").arg(need.width()).arg(need.height())));
        QCOMPARE(w.size(), QSize(1000, 700));
    }
    for (QWidget* c : {static_cast<QWidget*>(w.cmdCancelar), static_cast<QWidget*>(w.txtMaquina[3]),
                       static_cast<QWidget*>(w.txtTimeoutKeepAlive), static_cast<QWidget*>(w.lblHelp)}) {
        w.TabStrip1->setCurrentIndex(0);
        const QRect r(c->mapTo(&w, QPoint(0, 0)), c->size());
        QVERIFY2(w.rect().contains(r), qPrintable(c->objectName()));
    }
}

// ---------------------------------------------------------------- grid

namespace {
// A project with one device and three NV rows (grid rows 3, 4, 5 after the two
// built-in rows).
LonFixture pointsFixture(int firstAddress = 10) {
    LonFixture f = fixture(1);
    f.rows << lonPointRow(1, 105, 0, "R", firstAddress) << lonPointRow(1, 105, 1, "R", firstAddress + 1)
           << lonPointRow(1, 105, 2, "R", firstAddress + 2);
    return f;
}

QLineEdit* cellEditor(fConfLonA& w) { return w.findChild<QLineEdit*>("txtEdit"); }

// Types a text into the current cell: the first key opens the floating editor,
// the rest goes into it, Enter writes it back.
void typeInCell(fConfLonA& w, const QString& text) {
    QTest::keyClick(w.grid, text.at(0).toLatin1());
    QTest::keyClicks(cellEditor(w), text.mid(1));
    QTest::keyClick(cellEditor(w), Qt::Key_Return);
}
}  // namespace

void TstConfLonEditor::gridTypingByKeys_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("changed");

    QTest::newRow("description replaced") << 3 << int(LonCol::Descripcion) << "Boiler 1" << false << "Boiler 1" << true;
    QTest::newRow("address refuses letters") << 3 << int(LonCol::Add) << "1x2" << false << "12" << true;
    QTest::newRow("escape keeps the cell") << 3 << int(LonCol::Descripcion) << "Other" << true << "Point 10" << false;
    QTest::newRow("snvt column is never typed") << 3 << int(LonCol::Snvt) << "7" << false << "105" << false;
    QTest::newRow("device of an error row is fixed") << 2 << int(LonCol::Disp) << "3" << false << "1" << false;
    QTest::newRow("device of a point row") << 3 << int(LonCol::Disp) << "1" << false << "1" << true;
}

void TstConfLonEditor::gridTypingByKeys() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, keys);
    QFETCH(bool, escape);
    QFETCH(QString, cell);
    QFETCH(bool, changed);
    makeProject(*m_home, "Typing", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    w.show();
    w.TabStrip1->setCurrentIndex(1);
    SignalGrid& g = w.gridModel();
    g.select(row, col, row, col);
    QLineEdit* editor = cellEditor(w);
    QVERIFY(editor);
    QTest::keyClick(w.grid, keys.at(0).toLatin1());
    if (editor->isVisible()) {
        QTest::keyClicks(editor, keys.mid(1));
        QTest::keyClick(editor, escape ? Qt::Key_Escape : Qt::Key_Return);
    }
    QVERIFY(!editor->isVisible());
    QCOMPARE(g.TextMatrix(row, col), cell);
    QCOMPARE(w.gridChanged(), changed);
    QVERIFY(!w.connectionChanged());
}

void TstConfLonEditor::rightClickMenus_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("menu");  // object name, empty: no menu

    QTest::newRow("caption row") << 0 << 7 << "popmnuColumns";
    QTest::newRow("snvt name: the chooser, no menu") << 3 << int(LonCol::SnvtName) << "";
    QTest::newRow("data type") << 3 << int(LonCol::DataType) << "mnuLonDataType";
    QTest::newRow("data type on error row") << 1 << int(LonCol::DataType) << "";
    QTest::newRow("nv access") << 3 << int(LonCol::NvAccess) << "popmnuNVAccess";
    QTest::newRow("nv access on error row") << 2 << int(LonCol::NvAccess) << "";
    QTest::newRow("direction") << 4 << int(LonCol::Direction) << "popmnuDir";
    QTest::newRow("direction on error row") << 2 << int(LonCol::Direction) << "";
    QTest::newRow("a/d") << 4 << int(LonCol::AD) << "popmnuAD";
    QTest::newRow("a/d on error row") << 1 << int(LonCol::AD) << "";
    QTest::newRow("spontaneous on error row") << 1 << int(LonCol::Spontaneous) << "popmnuSpon";
    QTest::newRow("address") << 2 << int(LonCol::Add) << "popmnuEnum";
    QTest::newRow("active") << 5 << int(LonCol::Activa) << "popmnuSiNo";
    QTest::newRow("description") << 5 << int(LonCol::Descripcion) << "popmnuEdit";
    QTest::newRow("nv index") << 3 << int(LonCol::Idx) << "popmnuEdit";
}

void TstConfLonEditor::rightClickMenus() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, menu);
    makeProject(*m_home, "Menus", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    QMenu* m = w.gridRightClick(row, col, false);
    QCOMPARE(m ? m->objectName() : QString(), menu);
    if (row > 0) {
        QCOMPARE(w.gridModel().Row(), row);
        QCOMPARE(w.gridModel().Col(), col);
    }
}

void TstConfLonEditor::realRightClickOpensColumnMenu() {
    makeProject(*m_home, "RealClick", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    w.show();
    w.TabStrip1->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QString opened;
    QTimer::singleShot(0, this, [&] {
        if (QWidget* p = QApplication::activePopupWidget()) {
            opened = p->objectName();
            p->close();
        }
    });
    const QRect r = w.grid->cellRect(4, LonCol::Activa);
    QVERIFY(!r.isEmpty());
    QTest::mouseClick(w.grid->viewport(), Qt::RightButton, {}, r.center());
    QCOMPARE(opened, QString("popmnuSiNo"));
    QCOMPARE(w.gridModel().Row(), 4);
}

void TstConfLonEditor::menusFillTheSelection() {
    makeProject(*m_home, "Fill", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    SignalGrid& g = w.gridModel();
    g.select(3, LonCol::DataType, 5, LonCol::DataType);
    QMenu* m = w.gridRightClick(4, LonCol::DataType, false);  // inside the selection: it stays
    QVERIFY(m);
    m->actions().at(6)->trigger();
    for (int r = 3; r <= 5; ++r) QCOMPARE(g.TextMatrix(r, LonCol::DataType), QString("6-32bit float"));
    QCOMPARE(g.TextMatrix(2, LonCol::DataType), QString());
    QVERIFY(w.gridChanged());

    g.select(1, LonCol::Activa, 5, LonCol::Activa);
    w.gridRightClick(1, LonCol::Activa, false)->actions().at(1)->trigger();
    for (int r = 1; r <= 5; ++r) QCOMPARE(g.TextMatrix(r, LonCol::Activa), Texto("1-Si"));
    g.select(2, LonCol::AD, 2, LonCol::AD);
    QCOMPARE(w.gridRightClick(4, LonCol::AD, false), w.popmnuAD);  // outside: row 4 becomes current
    w.popmnuAD->actions().at(1)->trigger();
    QCOMPARE(g.TextMatrix(4, LonCol::AD), Texto("1-Dig"));
    QCOMPARE(g.TextMatrix(2, LonCol::AD), Texto("1-Dig"));  // as built
    QCOMPARE(g.TextMatrix(3, LonCol::AD), QString("0-Ana"));
}

void TstConfLonEditor::nvAccessMenuUpdatesDirection() {
    makeProject(*m_home, "Access", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    SignalGrid& g = w.gridModel();
    g.select(3, LonCol::NvAccess, 5, LonCol::NvAccess);
    QMenu* m = w.gridRightClick(3, LonCol::NvAccess, false);
    QCOMPARE(m, w.popmnuNVAccess);
    m->actions().at(1)->trigger();  // "W"
    for (int r = 3; r <= 5; ++r) {
        QCOMPARE(g.TextMatrix(r, LonCol::NvAccess), QString("W"));
        QCOMPARE(g.TextMatrix(r, LonCol::Direction), QString("W"));
    }
    g.select(4, LonCol::NvAccess, 4, LonCol::NvAccess);
    w.gridRightClick(4, LonCol::NvAccess, false)->actions().at(2)->trigger();  // "RW"
    QCOMPARE(g.TextMatrix(4, LonCol::Direction), QString("RW"));
    QCOMPARE(g.TextMatrix(5, LonCol::Direction), QString("W"));
}

void TstConfLonEditor::enumerateUsesAddressMaximum() {
    makeProject(*m_home, "Enum", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    w.cboVersion->setCurrentIndex(0);  // A-Basic: addresses up to 500
    w.cboVersion_Click();
    SignalGrid& g = w.gridModel();
    g.select(2, LonCol::Add, 5, LonCol::Add);
    m_prompts->queueText("498");
    m_prompts->queueText("1");
    w.gridRightClick(2, LonCol::Add, false)->actions().at(0)->trigger();
    QCOMPARE(m_prompts->shown().at(0).text, g.TextMatrix(0, LonCol::Add));
    QCOMPARE(g.TextMatrix(2, LonCol::Add), QString("498"));
    QCOMPARE(g.TextMatrix(4, LonCol::Add), QString("500"));
    QCOMPARE(g.TextMatrix(5, LonCol::Add), QString("0"));
    QVERIFY(w.gridChanged());
}

void TstConfLonEditor::showHideColumnsTwiceRestores() {
    makeProject(*m_home, "Columns", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    SignalGrid& g = w.gridModel();
    for (int c = LonCol::kFirstHidden; c <= LonCol::kLastHidden; ++c) QCOMPARE(g.ColWidth(c), 0);
    QMenu* m = w.gridRightClick(0, LonCol::Offset, false);
    QCOMPARE(m, w.popmnuColumns);
    m->actions().at(0)->trigger();
    for (int c = LonCol::kFirstHidden; c <= LonCol::kLastHidden; ++c) QCOMPARE(g.ColWidth(c), lonColumnWidth(c));
    QCOMPARE(g.ColWidth(LonCol::DataType), 1000);
    m->actions().at(0)->trigger();
    for (int c = LonCol::kFirstHidden; c <= LonCol::kLastHidden; ++c) QCOMPARE(g.ColWidth(c), 0);
    QVERIFY(!w.gridChanged());
}

void TstConfLonEditor::cutCopyPaste() {
    makeProject(*m_home, "Clip", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    SignalGrid& g = w.gridModel();
    const QStringList row3 = g.rowCells(3).mid(1);
    QMenu* m = w.gridRightClick(3, LonCol::Descripcion, false);
    QVERIFY(!w.mnuPaste->isEnabled());
    m->actions().at(0)->trigger();  // cut
    QVERIFY(w.mnuPaste->isEnabled());
    QCOMPARE(g.TextMatrix(3, LonCol::Descripcion), QString());
    QVERIFY(w.gridChanged());
    w.gridRightClick(3, LonCol::Descripcion, false);
    w.mnuPaste->trigger();
    QCOMPARE(g.rowCells(3).mid(1), row3);
    w.gridRightClick(5, LonCol::Idx, false);
    w.mnuPaste->trigger();  // the buffer stays: a second paste writes it again
    QCOMPARE(g.rowCells(5).mid(1), row3);
}

void TstConfLonEditor::insertDeleteAndMoveRows() {
    makeProject(*m_home, "Rows", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    w.show();
    w.TabStrip1->setCurrentIndex(1);
    SignalGrid& g = w.gridModel();
    g.select(3, 4, 3, 4);
    w.cmdInsertar->click();
    QCOMPARE(g.Rows(), 7);
    QCOMPARE(g.Row(), 4);
    // Numbered after the current row (table rows keep their file numbers until saved).
    QCOMPARE(g.TextMatrix(3, 0), QString("1"));
    QCOMPARE(g.TextMatrix(4, 0), QString("2"));
    QCOMPARE(g.TextMatrix(6, 0), QString("4"));
    QCOMPARE(g.TextMatrix(4, LonCol::Disp), QString("1"));
    QCOMPARE(g.TextMatrix(4, LonCol::NvAccess), QString("R"));
    QCOMPARE(g.TextMatrix(4, LonCol::Direction), QString("R"));
    QCOMPARE(g.TextMatrix(4, LonCol::Add), QString());
    QCOMPARE(g.TextMatrix(4, LonCol::Spontaneous), QString("1-Spon"));
    QCOMPARE(g.TextMatrix(4, LonCol::Activa), Texto("0-No"));
    QVERIFY(w.gridChanged());

    // ALT+Down moves the new row below "Point 11"; ALT+Up brings it back.
    QTest::keyClick(w.grid, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(g.TextMatrix(4, LonCol::Descripcion), QString("Point 11"));
    QCOMPARE(g.TextMatrix(5, LonCol::Spontaneous), QString("1-Spon"));
    QCOMPARE(g.Row(), 5);
    QTest::keyClick(w.grid, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(g.TextMatrix(4, LonCol::Descripcion), QString());
    w.cmdUp->click();
    QCOMPARE(g.TextMatrix(3, LonCol::Descripcion), QString());
    QCOMPARE(g.TextMatrix(4, LonCol::Descripcion), QString("Point 10"));

    g.select(4, 1, 5, 1);
    w.cmdElimina->click();
    QCOMPARE(g.Rows(), 5);
    QCOMPARE(g.TextMatrix(4, LonCol::Descripcion), QString("Point 12"));
    QCOMPARE(g.TextMatrix(4, 0), QString("4"));
}

// ---------------------------------------------------------------- save, generate, close

void TstConfLonEditor::saveWithDuplicateAddress() {
    LonFixture f = pointsFixture();
    f.rows << lonPointRow(1, 105, 3, "R", 11);  // grid row 6 repeats row 4's address
    const QString dir = makeProject(*m_home, "Duplicate", f);
    const QByteArray ini = readAll(dir + "/LON.ini"), dat = readAll(dir + "/LON.dat");
    fConfLonA w;
    w.Form_Load();
    w.show();
    w.gridModel().setTextMatrix(3, LonCol::Descripcion, "edited");
    w.cmdAceptar->click();
    QCOMPARE(m_prompts->texts(), QStringList{"Add:11" + Texto("repetida")});
    QCOMPARE(w.gridModel().Row(), 6);
    QCOMPARE(w.gridModel().Col(), int(LonCol::Add));
    QCOMPARE(w.gridModel().RowSel(), 6);
    QCOMPARE(w.TabStrip1->currentIndex(), 1);
    QCOMPARE(readAll(dir + "/LON.ini"), ini);
    QCOMPARE(readAll(dir + "/LON.dat"), dat);
    QVERIFY(!QFile::exists(dir + "/LON.Plmx"));
    QVERIFY(w.isVisible());
}

void TstConfLonEditor::saveAnsweredNoWritesNothing() {
    const QString dir = makeProject(*m_home, "SaveNo", pointsFixture());
    const QByteArray dat = readAll(dir + "/LON.dat");
    fConfLonA w;
    w.Form_Load();
    w.chkACK->toggle();
    m_prompts->queueAnswer(2);
    w.cmdAceptar_Click();
    QCOMPARE(m_prompts->texts(), QStringList{Texto("A23")});
    QCOMPARE(readAll(dir + "/LON.dat"), dat);
    QCOMPARE(iniReadInt(dir + "/LON.ini", "ASCII", "SendACK", -1), 0);
    QVERIFY(w.connectionChanged());
}

// Ways that fail for root too. Each failed file is told once, with its path and
// the system's reason; nothing is generated and leaving still asks.
void TstConfLonEditor::saveThatFailsStopsTheSequence_data() {
    QTest::addColumn<QStringList>("folderFor");  // files replaced by a folder
    QTest::addColumn<QStringList>("linkToFull");  // files replaced by a link to /dev/full
    QTest::addColumn<QStringList>("reasons");    // file:reason, in the order told
    QTest::newRow("folder in LON.dat's place") << QStringList{"LON.dat"} << QStringList{}
                                               << QStringList{"LON.dat:Path is not a file"};
    QTest::newRow("LON.ini on a full disk") << QStringList{} << QStringList{"LON.ini"}
                                            << QStringList{"LON.ini:No space left on device"};
    QTest::newRow("both, one message each") << QStringList{"LON.ini"} << QStringList{"LON.dat"}
                                            << QStringList{"LON.ini:Path is a folder",
                                                           "LON.dat:No space left on device"};
}

void TstConfLonEditor::saveThatFailsStopsTheSequence() {
    QFETCH(QStringList, folderFor);
    QFETCH(QStringList, linkToFull);
    QFETCH(QStringList, reasons);
    const QString dir = makeProject(*m_home, "SaveFails", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    w.chkACK->toggle();
    for (const QString& f : folderFor) QVERIFY(QFile::remove(dir + "/" + f) && QDir().mkpath(dir + "/" + f));
    for (const QString& f : linkToFull) QVERIFY(QFile::remove(dir + "/" + f) && QFile::link("/dev/full", dir + "/" + f));
    m_prompts->queueAnswer(1);
    w.cmdAceptar_Click();
    QStringList told{Texto("A23")};
    for (const QString& r : reasons)
        told << Texto("NoSePuedeGrabar") + "\r" + dir + "/" + r.section(':', 0, 0) + "\rError: \r" + r.section(':', 1);
    QCOMPARE(m_prompts->texts(), told);
    QVERIFY(w.connectionChanged());
    QVERIFY(!QFile::exists(dir + "/LON.Plmx"));
    m_prompts->queueAnswer(2);
    w.cmdCancelar->click();
    QCOMPARE(m_prompts->lastText(), Texto("EstaSeguroDeSalirSinGrabar"));
}

void TstConfLonEditor::saveAndGenerateMatchesCommandLine() {
    const QString dir = makeProject(*m_home, "SaveGen", pointsFixture());
    const QDateTime at(QDate(2026, 3, 4), QTime(5, 6, 7));
    fConfLonA w;
    w.setGenerationTime(at);
    w.Form_Load();
    w.show();
    // Activate the gateway's own error row with address 1 and rename a point.
    SignalGrid& g = w.gridModel();
    g.setTextMatrix(1, LonCol::Add, "1");
    g.setTextMatrix(1, LonCol::Activa, Texto("1-Si"));
    w.TabStrip1->setCurrentIndex(1);
    g.select(4, LonCol::Descripcion, 4, LonCol::Descripcion);
    typeInCell(w, "Room 4");
    w.TabStrip1->setCurrentIndex(0);
    typeInto(w.txtTimeoutAscii, "500");
    QVERIFY(w.gridChanged() && w.connectionChanged());
    m_prompts->queueAnswer(1);  // A23: Si
    m_prompts->queueAnswer(1);  // A24: Si
    w.cmdAceptar->click();
    const QStringList texts = m_prompts->texts();
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts.at(0), Texto("A23"));
    QCOMPARE(texts.at(1), Texto("A24"));
    QVERIFY2(texts.at(2).startsWith("Devs:1  LON-> Tot:4 R:3 W:0 RW:0"), qPrintable(texts.at(2)));
    QVERIFY(!w.connectionChanged());
    QVERIFY(!w.gridChanged());
    QVERIFY(!w.cmdPilmora->isEnabled());
    QCOMPARE(app().IPNueva, QString("127.0.0.1"));
    QCOMPARE(iniRead(dir + "/LON.ini", "ASCII", "Tmout_ms", ""), QString("500"));
    QVERIFY(readAll(dir + "/LON.dat").contains("\tRoom 4\t11\t"));

    // The command-line tool compiles the saved project into the same bytes.
    const QString copy = QDir(m_home->projectsRoot()).filePath("SaveGenCopy");
    QVERIFY(copyFolder(dir, copy));
    QFile::remove(copy + "/LON.Plmx");
    QProcess cli;
    cli.start(QStringLiteral(PILMORA_BIN_DIR) + "/pilmora",
              {"--home", m_home->path(), "generate", copy, "--at", "2026/03/04 05:06:07"});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray mine = readAll(dir + "/LON.Plmx");
    QVERIFY(mine.size() > 200);
    QCOMPARE(mine, readAll(copy + "/LON.Plmx"));
    QVERIFY(mine.mid(4, 62).startsWith("MEROVANTIX-ASCII-LON-V.2.0 2026/03/04 05:06:07"));
}

void TstConfLonEditor::generateRefusedWithUnsavedConnection() {
    const QString dir = makeProject(*m_home, "GenRefused", pointsFixture());
    fConfLonA w;
    w.Form_Load();
    w.optLAddressing[1]->setChecked(true);
    w.cmdPilmora->click();
    QCOMPARE(m_prompts->texts(), QStringList{Texto("PrimeroDebeGrabarLosCambios")});
    QVERIFY(!QFile::exists(dir + "/LON.Plmx"));
    QVERIFY(w.cmdPilmora->isEnabled());
    // Unsaved grid changes alone do not stop it; "No" to "A24" does.
    m_prompts->clear();
    w.Form_Load();
    w.gridModel().setTextMatrix(3, LonCol::Descripcion, "x");
    m_prompts->queueAnswer(2);
    w.cmdPilmora->click();
    QCOMPARE(m_prompts->texts(), QStringList{Texto("A24")});
    QVERIFY(!QFile::exists(dir + "/LON.Plmx"));
}

void TstConfLonEditor::closingAsksWhenChanged_data() {
    QTest::addColumn<QString>("change");  // "", "grid", "connection"
    QTest::addColumn<int>("answer");      // 1 Si, 2 No
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");

    QTest::newRow("nothing changed") << "" << 2 << false << true;
    QTest::newRow("grid changed, no") << "grid" << 2 << true << false;
    QTest::newRow("grid changed, yes") << "grid" << 1 << true << true;
    QTest::newRow("connection changed, no") << "connection" << 2 << true << false;
    QTest::newRow("connection changed, closed box") << "connection" << 0 << true << false;
}

void TstConfLonEditor::closingAsksWhenChanged() {
    QFETCH(QString, change);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    const QString dir = makeProject(*m_home, "Close", pointsFixture());
    const QByteArray dat = readAll(dir + "/LON.dat");
    fConfLonA w;
    w.Form_Load();
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // only "&Salir" and the close box close it
    QVERIFY(w.isVisible());
    if (change == "grid") {
        w.TabStrip1->setCurrentIndex(1);
        w.gridModel().select(3, LonCol::Descripcion, 3, LonCol::Descripcion);
        typeInCell(w, "zz");
    } else if (change == "connection") {
        typeInto(w.txtLDomain, "0B");
    }
    m_prompts->queueAnswer(answer);
    w.cmdCancelar->click();
    QCOMPARE(m_prompts->texts(), asked ? QStringList{Texto("EstaSeguroDeSalirSinGrabar")} : QStringList{});
    QCOMPARE(!w.isVisible(), closed);
    // The close box asks the same question.
    if (!closed) {
        m_prompts->queueAnswer(2);
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(m_prompts->shown().size(), 2);
    }
    QCOMPARE(readAll(dir + "/LON.dat"), dat);
}

// The main window's protocol menu opens the editor modally, one instance that
// loads the current project each time it opens.
void TstConfLonEditor::openedFromTheProtocolMenu() {
    MDIPilmora main;
    QVERIFY(main.Form_Load());
    makeProject(*m_home, "FromMenu", pointsFixture());
    QVERIFY(MDIPilmora::EditorDisponible(kSlotLon));
    QList<fConfLonA*> seen;
    QList<int> rows;
    auto closeWhenShown = [&] {
        QTimer::singleShot(0, this, [&] {
            auto* d = qobject_cast<fConfLonA*>(QApplication::activeModalWidget());
            seen << d;
            if (!d) return;
            rows << d->gridModel().Rows();
            d->cmdCancelar->click();
        });
    };
    closeWhenShown();
    main.mnuCProtocolo_Click();
    QCOMPARE(seen.size(), 1);
    QVERIFY(seen.at(0));
    QCOMPARE(rows.at(0), 6);
    // Reopened on another project: the same window, loaded again.
    makeProject(*m_home, "FromMenu2", fixture(6));
    closeWhenShown();
    QVERIFY(main.AbreEditor(kSlotLon));
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.at(1), seen.at(0));
    QCOMPARE(rows.at(1), 8);
    QCOMPARE(main.findChildren<fConfLonA*>().size(), 1);
    QVERIFY(!seen.at(0)->isVisible());
}

void TstConfLonEditor::screenshots() {
    const QString out = qEnvironmentVariable("PILMORA_SHOTS_DIR");
    if (out.isEmpty()) QSKIP("PILMORA_SHOTS_DIR not set");
    const QString dir = QDir(m_home->projectsRoot()).filePath("DemoLON");
    QVERIFY(copyFolder(QStringLiteral(PILMORA_SOURCE_DIR) + "/data/demo/DemoLON", dir));
    app().RutaProyecto = dir;
    app().ProtProyecto = "LON";
    fConfLonA w;
    w.Form_Load();
    const QSize size = qEnvironmentVariableIsSet("PILMORA_SHOTS_SIZE")
                           ? QSize(qEnvironmentVariable("PILMORA_SHOTS_SIZE").section('x', 0, 0).toInt(),
                                   qEnvironmentVariable("PILMORA_SHOTS_SIZE").section('x', 1, 1).toInt())
                           : w.size();
    w.resize(size);
    w.move(0, 0);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCoreApplication::sendEvent(w.txtIp, new QFocusEvent(QEvent::FocusIn, Qt::TabFocusReason));
    QTest::qWait(300);
    QVERIFY(w.screen()->grabWindow(0).save(out + "/loneditor-connection.png"));
    w.TabStrip1->setCurrentIndex(1);
    w.gridModel().select(3, LonCol::Add, 3, LonCol::Add);
    QTest::qWait(300);
    QVERIFY(w.screen()->grabWindow(0).save(out + "/loneditor-signals.png"));
}

QTEST_MAIN(TstConfLonEditor)
#include "tst_confloneditor.moc"
