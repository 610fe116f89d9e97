// The LON editor driven through its real widgets, with scripted answers to every question: opening, the
// connection fields and their checks, the device list, the signal grid by keys and menus, the SNVT chooser,
// the XIF import window, saving (the same file as the command line), failing saves and unsaved changes.
#include <QtTest>
#include <QtWidgets>

#include "AppGlobals.h"
#include "LonConfig.h"
#include "LonFixtures.h"
#include "LonGrid.h"
#include "ModSNVT.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "SignalGrid.h"
#include "SignalGridView.h"
#include "TestSupport.h"
#include "WidgetState.h"
#include "fConfLonA.h"
#include "fImportXif.h"
#include "fSNVT.h"
#include "mIdioma.h"

namespace {
LonFixture fixture(int devices, const QList<QStringList>& keys = {}, int points = 3) {
    LonFixture f;
    for (int n = 1; n <= devices; ++n)
        f.devices.append({true, QStringLiteral("%1").arg(n, 12, 10, QLatin1Char('0')), "1", "", ""});
    for (int k = 0; k < points; ++k) f.rows << lonPointRow(1, 105, k, "R", 10 + k);
    f.keys = keys;
    return f;
}

void leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w, &out);
}

void typeInto(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);  // a deletion is an edit too
    QTest::keyClicks(e, text);
}

QLineEdit* cellEditor(fConfLonA& w) { return w.findChild<QLineEdit*>("txtEdit"); }

void typeInCell(fConfLonA& w, const QString& text, Qt::Key end = Qt::Key_Return) {
    QTest::keyClick(w.grid, text.at(0).toLatin1());
    if (!cellEditor(w)->isVisible()) return;
    QTest::keyClicks(cellEditor(w), text.mid(1));
    QTest::keyClick(cellEditor(w), end);
}

void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);  // as a user's pick
}

// The selected type, as the user sees it: a selection scrolled out of the list's view is none.
QString selectedName(fSNVT* d) {
    const auto sel = d->lvwPro->selectedItems();
    if (sel.isEmpty()) return QString();
    const bool seen = d->lvwPro->viewport()->rect().intersects(d->lvwPro->visualItemRect(sel.first()));
    return sel.first()->text(0) + (seen ? "" : " (out of view)");
}
}  // namespace

class TstConfLonEditor : public QObject {
    Q_OBJECT
    TestHome* m_home = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
    std::unique_ptr<fConfLonA> m_w;
    QString m_dir;
    // The editor on a fresh project; `active`: shown, active and focused, on page `tab`.
    fConfLonA& editor(const LonFixture& f, bool active = false, int tab = 0) {
        m_dir = QDir(m_home->projectsRoot()).filePath("P");
        writeLonFixture(m_dir, f);
        app().RutaProyecto = m_dir;
        app().NombreProyecto = "P";
        app().ProtProyecto = QStringLiteral("LON");
        m_w = std::make_unique<fConfLonA>();
        m_w->Form_Load();
        if (!active) return *m_w;
        m_w->show();
        QApplication::setActiveWindow(m_w.get());
        [&] { QVERIFY(QTest::qWaitForWindowActive(m_w.get())); }();
        m_w->TabStrip1->setCurrentIndex(tab);
        return *m_w;
    }
private slots:
    void init() { m_home = new TestHome, m_prompts = new ScriptedPrompts; }
    void cleanup() { m_w.reset(), delete m_prompts, delete m_home; }

    void openingFillsFieldsAndVersionBoxes() {
        fConfLonA& w = editor(fixture(64,
                                      {{"LON", "TimeoutPoll", "250ms"},
                                       {"ASCII", "tmoutKeepAlive_sec", "45 s"},
                                       {"ASCII", "Gateway", "127.0.0.9"},
                                       {"ASCII", "GatewayVersion", "A-Basic"},
                                       {"ASCII", "RS_TCP", "1"}},
                                      0),
                              true);
        w.Form_Load();  // loaded again: the same lists and choices
        // The built-in rows of 64 devices, the first cell current, the devices listed: in the kept state.
        QVERIFY(!w.connectionChanged() && !w.gridChanged() && m_prompts->shown().isEmpty());
        QCOMPARE(fieldsWithoutHelp(w.fraConexion, w.lblHelp, [&] { return w.connectionChanged(); }), QStringList());
        QCOMPARE(windowDiffers(&w, "lon-editor", m_home->path()), QString());
        w.TabStrip1->setCurrentIndex(1);
        QVERIFY(!w.cmdInsertar->isHidden() && w.fraConexion->isHidden());
        QCOMPARE(w.lblHelp->text(), Texto("ConfSenyales"));
        w.TabStrip1->setCurrentIndex(0);
        const QString help = w.lblHelp->text();
        choose(w.cboVersion, 1);  // the address help follows the version on the signals tab only
        QVERIFY(w.connectionChanged() && w.lblHelp->text() == help);
        w.TabStrip1->setCurrentIndex(1);
        QStringList helps;  // each column says what it holds, the first one too
        for (int c = LonCol::Count - 1; c >= 1; --c) w.gridModel().select(1, c, 1, c), helps << w.lblHelp->text();
        helps.removeDuplicates(), helps.removeAll(QString());
        QCOMPARE(helps.size(), LonCol::Count - 1);
        w.gridModel().select(1, LonCol::Add, 1, LonCol::Add);
        QVERIFY(w.lblHelp->text().endsWith("4000"));  // the address help names the new limit
        w.TabStrip1->setCurrentIndex(0);
        w.optRS_TCP[0]->click();  // the help line follows the link chosen
        const QString serialHelp = w.lblHelp->text();
        w.optRS_TCP[1]->click();
        QCOMPARE(serialHelp + "|" + w.lblHelp->text(), Texto("AyudaAsciiRs232") + "|" + Texto("AyudaAsciiTcp"));
        choose(w.cboFirmVersion, 0);  // the old firmware has only the serial line
        QVERIFY(w.optRS_TCP[0]->isChecked() && !w.fraTCP->isVisible() && !w.optRS_TCP[1]->isVisible());
        QCOMPARE(w.model().RS_TCP, 0);
        choose(w.cboFirmVersion, 1);
        QCOMPARE(windowDiffers(&w, "lon-editor-changed", m_home->path()), QString());  // title, TCP/IP shown
    }

    // Each field wired to its check (the checks at their edges: the core tests).
    void fieldChecksOnLeaving_data() {
        addColumns<QString, bool, QString, QString, QString>("field", "subnetNode", "typed", "shown", "message");
        auto row = [](const char* name, const char* field, bool sn, const char* typed, const char* shown,
                      const char* message = "") { QTest::newRow(name) << field << sn << typed << shown << message; };
        row("ip valid", "txtIp", false, "127.0.0.2", "127.0.0.2");
        row("ip leading zero", "txtIp", false, "127.0.0.01", "127.0.0.1", "@EtqIP;127.0.0.01@incorrecta;");
        row("mask three octets", "txtNetMask", false, "255.255.0", "255.255.255.0",
            "@EtqNetMask;255.255.0@incorrecta;");
        row("gateway empty", "txtGateway", false, "", "");
        row("gateway trimmed", "txtGateway", false, "  10.0.0.1 ", "10.0.0.1");
        row("gateway bad: the one before kept", "txtGateway", false, "10.0.0.x", "127.0.0.9",
            "@EtqRouter;10.0.0.x@incorrecta;");
        row("port zero", "txtPortASCII", false, "0", "5000");
        row("keep-alive too big", "txtTimeoutKeepAlive", false, "70000", "30");
        row("ascii timeout clamped", "txtTimeoutAscii", false, "3000", "2000");
        row("lon subnet clamped", "txtLSubnet", false, "300", "255");
        row("lon node clamped", "txtLNode", false, "-5", "0");
        row("neuron id padded", "txtMaquina0", false, " 12AB ", "0000000012AB");
        row("neuron id cut", "txtMaquina0", false, "FF0102030405AB", "0102030405AB");
        row("device subnet free with neuron ids", "txtMaquina1", false, "300", "300");
        row("device subnet refused", "txtMaquina1", true, "300", "1", "Device Subnet not valid: 300");
        row("device node refused", "txtMaquina2", true, "128", "1", "Device Node not valid: 128");
        row("device name trimmed", "txtMaquina3", false, " Boiler  ", "Boiler");
        row("poll time kept as typed", "txtLTimeoutPollLon", false, "250", "250");
    }

    void fieldChecksOnLeaving() {
        auto [field, subnetNode, typed, shown, message] =
            fetch<QString, bool, QString, QString, QString>("field", "subnetNode", "typed", "shown", "message");
        QList<QStringList> keys{{"ASCII", "NetMask", "255.255.255.0"}, {"ASCII", "Gateway", "127.0.0.9"}};
        if (subnetNode) keys << QStringList{"LON", "Addressing", "1"};  // stored: shown as the second choice
        fConfLonA& w = editor(fixture(1, keys, 0), true);
        QCOMPARE(w.optLAddressing[1]->isChecked(), subnetNode);
        auto* e = w.findChild<QLineEdit*>(field);
        e->setEnabled(true);
        typeInto(e, typed);
        QCOMPARE(w.connectionChanged(), !typed.isEmpty() || field == "txtGateway");
        m_prompts->clear();
        leave(e);
        QCOMPARE(e->text(), shown);
        QCOMPARE(m_prompts->texts(), message.isEmpty() ? QStringList() : QStringList{withTexts(message)});
        const LonConfig& m = w.model();
        const LonDevice& d = m.device(1);
        const QString fields =
            "txtIp txtNetMask txtGateway txtPortASCII txtTimeoutKeepAlive txtTimeoutAscii txtLSubnet txtLNode "
            "txtMaquina0 txtMaquina1 txtMaquina2 txtMaquina3 txtLTimeoutPollLon";
        const QStringList stored({m.IP, m.NetMask, m.Gateway, QString::number(m.Port), m.tmoutKeepAlive_sec, m.Tmout_ms,
                                  QString::number(m.Subnet), QString::number(m.Node), d.NId, d.Sb, d.Nd, d.Nm,
                                  m.TimeoutPoll});
        QCOMPARE(stored.value(fields.split(' ').indexOf(field)), shown);
    }

    void devicesAndAddressing() {
        LonFixture f = fixture(3, {}, 0);
        f.devices[1].on = false;
        f.devices[1].name = "Chiller";
        f.devices[2].node = "9";
        fConfLonA& w = editor(f, true);
        QCOMPARE(w.lstMaquina->item(0)->checkState(), Qt::Checked);
        QCOMPARE(w.lstMaquina->item(1)->checkState(), Qt::Unchecked);
        QCOMPARE(w.txtMaquina[0]->text(), QString("000000000001"));
        auto enabled = [&] {
            QString s;
            for (int i = 0; i < 4; ++i) s += w.txtMaquina[i]->isEnabled() ? "1" : "0";
            return s;
        };
        QCOMPARE(enabled(), QString("1001"));
        QTest::mouseClick(w.lstMaquina->viewport(), Qt::LeftButton, {},
                          w.lstMaquina->visualItemRect(w.lstMaquina->item(1)).center());
        QCOMPARE(w.txtMaquina[3]->text(), QString("Chiller"));
        QVERIFY(!w.connectionChanged());
        w.lstMaquina->setCurrentRow(2);
        QCOMPARE(w.txtMaquina[2]->text(), QString("9"));
        w.lstMaquina->item(1)->setCheckState(Qt::Checked);  // its check mark is its in-use flag
        QVERIFY(w.model().device(2).On && w.connectionChanged());
        w.model().connectionChanged = false;  // a new name is a change of its own
        typeInto(w.txtMaquina[3], "Pump");
        leave(w.txtMaquina[3]);
        QCOMPARE(w.model().device(3).Nm + w.model().device(2).Nm, QString("PumpChiller"));
        QVERIFY(w.model().connectionChanged);
        w.optLAddressing[1]->setChecked(true);
        QCOMPARE(enabled(), QString("0111"));
        QCOMPARE(w.model().Addressing, 1);
        w.cmdLDevices->click();
        QCOMPARE(m_prompts->texts(), QStringList{Texto("PrimeroDebeGrabarLosCambios")});
        w.Form_Load();  // loaded again: nothing pending, a new device count is saved and closes it
        m_prompts->queueText("5");
        w.cmdLDevices->click();
        QCOMPARE(iniReadInt(m_dir + "/LON.ini", "LON", "NDevs", 0), 5);
        QVERIFY(!w.isVisible());
        QVERIFY(iniWrite(m_dir + "/LON.ini", "LON", "NDevs", "0"));
        w.Form_Load();  // no device: no fields to fill
        QCOMPARE(enabled() + w.txtMaquina[0]->text() + QString::number(w.model().currentDevice), "00000");
    }

    void gridTypingByKeys_data() {
        const auto row =
            addColumns<int, int, QString, bool, QString, bool>("row", "col", "keys", "escape", "cell", "changed");
        row("description replaced", 3, LonCol::Descripcion, "Boiler 1", false, "Boiler 1", true);
        row("address refuses letters", 3, LonCol::Add, "1x2", false, "12", true);
        row("escape keeps the cell", 3, LonCol::Descripcion, "Other", true, "*", false);
        row("address: a letter first opens nothing", 3, LonCol::Add, "x12", false, "*", false);
        row("device of an error row is fixed", 2, LonCol::Disp, "3", false, "*", false);
        // A digit in every column: those filled from a list or a chooser take nothing ("*": the cell as it was).
        const QList<int> chosen{LonCol::Snvt, LonCol::SnvtName, LonCol::DataType, LonCol::NvAccess, LonCol::Direction};
        for (int c = 1; c < LonCol::Count; ++c)
            row(qPrintable(QString("digit in column %1").arg(c)), 3, c, "7", false, chosen.contains(c) ? "*" : "7",
                !chosen.contains(c));
    }

    void gridTypingByKeys() {
        auto [row, col, keys, escape, cell, changed] =
            fetch<int, int, QString, bool, QString, bool>("row", "col", "keys", "escape", "cell", "changed");
        fConfLonA& w = editor(fixture(1), true, 1);
        SignalGrid& g = w.gridModel();
        g.select(row, col, row, col);
        const QString before = g.TextMatrix(row, col);
        typeInCell(w, keys, escape ? Qt::Key_Escape : Qt::Key_Return);
        QVERIFY(!cellEditor(w)->isVisible());
        QCOMPARE(g.TextMatrix(row, col), cell == "*" ? before : cell);
        QCOMPARE(w.gridChanged(), changed);
        QVERIFY(!w.connectionChanged());
    }

    // The menu a right click opens; picking an item fills the selection, or the clicked cell outside it.
    void rightClickMenus_data() {
        addColumns<int, int, QString, QPoint, int, QStringList, QString>("row", "col", "menu", "selected", "action",
                                                                         "answers", "cells");
        auto row = [](const char* name, int row, int col, const char* menu, QPoint selected = {}, int action = -1,
                      const QStringList& answers = {}, const char* cells = "") {
            QTest::newRow(name) << row << col << menu << selected << action << answers << cells;
        };
        row("caption row", 0, 7, "popmnuColumns");
        row("row number: cut, copy and paste", 3, 0, "popmnuEdit");
        row("snvt name: the chooser, no menu", 3, LonCol::SnvtName, "");
        row("data type", 3, LonCol::DataType, "mnuLonDataType");
        row("data type on error row", 1, LonCol::DataType, "");
        row("nv access", 3, LonCol::NvAccess, "popmnuNVAccess");
        row("nv access on error row", 2, LonCol::NvAccess, "");
        row("direction", 4, LonCol::Direction, "popmnuDir");
        row("direction on error row", 2, LonCol::Direction, "");
        row("a/d", 4, LonCol::AD, "popmnuAD");
        row("a/d on error row", 1, LonCol::AD, "");
        row("spontaneous on error row", 1, LonCol::Spontaneous, "popmnuSpon");
        row("address", 2, LonCol::Add, "popmnuEnum");
        row("beyond the last column", 2, LonCol::Count, "");
        row("active", 5, LonCol::Activa, "popmnuSiNo");
        row("description", 5, LonCol::Descripcion, "popmnuEdit");
        row("data type filled", 4, LonCol::DataType, "mnuLonDataType", {3, 5}, 6, {},
            "||6-32bit float|6-32bit float|6-32bit float");
        row("active filled, error rows too", 1, LonCol::Activa, "popmnuSiNo", {1, 5}, 1, {},
            "@1-Si;|@1-Si;|@1-Si;|@1-Si;|@1-Si;");
        row("a/d, click outside", 4, LonCol::AD, "popmnuAD", {2, 2}, 1, {}, "@1-Dig;|@1-Dig;|0-Ana|@1-Dig;|0-Ana");
        row("nv access W sets the direction", 3, LonCol::NvAccess, "popmnuNVAccess", {3, 5}, 1, {},
            "/R|/R|W/W|W/W|W/W");
        row("nv access RW", 4, LonCol::NvAccess, "popmnuNVAccess", {4, 4}, 2, {}, "/R|/R|R/R|RW/RW|R/R");
        row("enumerate up to the version's last address", 2, LonCol::Add, "popmnuEnum", {2, 5}, 0, {"498", "1"},
            "|498|499|500|0");
    }

    void rightClickMenus() {
        auto [row, col, menu, selected, action, answers, cells] =
            fetch<int, int, QString, QPoint, int, QStringList, QString>("row", "col", "menu", "selected", "action",
                                                                        "answers", "cells");
        fConfLonA& w = editor(fixture(1, {{"ASCII", "GatewayVersion", "A-Basic"}}));
        SignalGrid& g = w.gridModel();
        if (!selected.isNull()) g.select(selected.x(), col, selected.y(), col);
        for (const QString& a : answers) m_prompts->queueText(a);
        QMenu* m = w.gridRightClick(row, col, false);
        QCOMPARE(m ? m->objectName() : QString(), menu);
        if (action < 0) {
            if (row > 0)  // a row number: its first cell; beyond the last column: none
                QCOMPARE(QPoint(g.Row(), g.Col()), col < LonCol::Count ? QPoint(row, qMax(col, 1)) : QPoint(1, 1));
            return;
        }
        m->actions().at(action)->trigger();
        QStringList got;
        for (int r = 1; r <= 5; ++r)
            got << g.TextMatrix(r, col) + (col == LonCol::NvAccess ? "/" + g.TextMatrix(r, LonCol::Direction) : "");
        QCOMPARE(got.join('|'), withTexts(cells));
        QVERIFY(w.gridChanged());
        if (!answers.isEmpty()) QCOMPARE(m_prompts->shown().at(0).text, g.TextMatrix(0, col));
    }

    void realRightClickOpensColumnMenu() {
        fConfLonA& w = editor(fixture(1), true, 1);
        QString opened;
        QTimer::singleShot(0, this, [&] {
            if (QWidget* p = QApplication::activePopupWidget()) opened = p->objectName(), p->close();
        });
        QTest::mouseClick(w.grid->viewport(), Qt::RightButton, {}, w.grid->cellRect(4, LonCol::Activa).center());
        QCOMPARE(opened, QString("popmnuSiNo"));
        QCOMPARE(w.gridModel().Row(), 4);
    }

    void showHideColumnsTwiceRestores() {
        fConfLonA& w = editor(fixture(1));
        SignalGrid& g = w.gridModel();
        auto widths = [&] {
            QList<int> l;
            for (int c = LonCol::kFirstHidden; c <= LonCol::kLastHidden; ++c) l << g.ColWidth(c);
            return l;
        };
        QList<int> shown;
        for (int c = LonCol::kFirstHidden; c <= LonCol::kLastHidden; ++c) shown << lonColumnWidth(c);
        QCOMPARE(widths(), QList<int>(shown.size(), 0));
        QMenu* m = w.gridRightClick(0, LonCol::Offset, false);
        m->actions().at(0)->trigger();
        QCOMPARE(widths(), shown);
        m->actions().at(0)->trigger();
        QCOMPARE(widths(), QList<int>(shown.size(), 0));
        QVERIFY(!w.gridChanged());
    }

    void cutCopyPaste() {
        fConfLonA& w = editor(fixture(1));
        SignalGrid& g = w.gridModel();
        const QStringList row3 = g.rowCells(3).mid(1);
        QMenu* m = w.gridRightClick(3, LonCol::Descripcion, false);
        m->actions().at(0)->trigger();  // cut
        QVERIFY(w.mnuPaste->isEnabled() && w.gridChanged());
        QCOMPARE(g.TextMatrix(3, LonCol::Descripcion), QString());
        w.gridRightClick(3, LonCol::Descripcion, false);
        w.mnuPaste->trigger();
        QCOMPARE(g.rowCells(3).mid(1), row3);
        w.gridRightClick(5, LonCol::Idx, false);
        w.mnuPaste->trigger();  // the buffer stays: a second paste writes it again
        QCOMPARE(g.rowCells(5).mid(1), row3);
        g.setTextMatrix(1, LonCol::Add, "7");
        w.TabStrip1->setCurrentIndex(1);
        w.Form_Load();  // loaded again: an empty buffer, the built-in rows as new, the first tab
        QVERIFY(!w.mnuPaste->isEnabled() && w.TabStrip1->currentIndex() == 0);
        QCOMPARE(g.TextMatrix(1, LonCol::Add), QString());
        const QStringList row4 = g.rowCells(4).mid(1);  // copy: the row stays, Paste offered
        w.gridRightClick(4, LonCol::Descripcion, false)->actions().at(1)->trigger();
        QVERIFY(w.mnuPaste->isEnabled() && !w.gridChanged() && g.rowCells(4).mid(1) == row4);
        g.setTextMatrix(4, LonCol::NvAccess, "W"),
            w.UpdateRow(4);  // the editor's own row update, as the XIF import has it
        QCOMPARE(g.TextMatrix(4, LonCol::Direction), QString("W"));
    }

    void insertDeleteAndMoveRows() {
        fConfLonA& w = editor(fixture(1), true, 1);
        SignalGrid& g = w.gridModel();
        g.select(3, 4, 3, 4);
        w.cmdInsertar->click();
        QCOMPARE(g.Rows(), 7);
        QCOMPARE(g.Row(), 4);
        QCOMPARE(g.TextMatrix(3, 0) + g.TextMatrix(4, 0) + g.TextMatrix(6, 0), QString("124"));
        QCOMPARE(g.rowCells(4).mid(1),
                 QStringList({"1", "", "", "", "", "", "", "", "", "", "R", "", "", "R", "", "1-Spon", Texto("0-No")}));
        QVERIFY(w.gridChanged());
        QTest::keyClick(w.grid, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(g.TextMatrix(4, LonCol::Descripcion) + "|" + g.TextMatrix(5, LonCol::Spontaneous),
                 QString("Point 11|1-Spon"));
        QCOMPARE(g.Row(), 5);
        QTest::keyClick(w.grid, Qt::Key_Up, Qt::AltModifier);
        w.cmdUp->click();
        QCOMPARE(g.TextMatrix(3, LonCol::Descripcion) + "|" + g.TextMatrix(4, LonCol::Descripcion),
                 QString("|Point 10"));
        g.select(4, 1, 5, 1);
        w.cmdElimina->click();
        QCOMPARE(g.Rows(), 5);
        QCOMPARE(g.TextMatrix(4, LonCol::Descripcion) + g.TextMatrix(4, 0), QString("Point 124"));
    }

    void chooserWritesSelectedRows_data() {
        const auto row = addColumns<int, QString, QString, int>("row", "typed", "preset", "written");
        row("filter, accept: visible rows of the selection", 3, "lev_PERC", QString("SNVT_temp_p"), 2);
        row("cancel writes nothing", 3, "", QString("SNVT_temp_p"), 0);
        row("error row: no chooser", 1, "", QString(), -1);
        row("type code 8 refused, nothing written", 3, "bad8", QString("SNVT_temp_p"), 0);
        row("a filter hiding every row, accepted: nothing written", 3, "~", QString("SNVT_temp_p"), 0);
    }

    void chooserWritesSelectedRows() {
        auto [row, typed, preset, written] = fetch<int, QString, QString, int>("row", "typed", "preset", "written");
        const QString snvt = m_home->file("TemplatesASCII/LON.snvt");
        auto entry = [](const char* name, int type) {
            return QByteArray("x\t0\t999\t0\t") + name + "\t" + QByteArray::number(type) +
                   "\t0\t1\t0\t0\t0\t0\t1\t1\r\n";
        };
        QVERIFY(writeAll(snvt, readAll(snvt) + entry("SNVT_bad8", 8)));
        fConfLonA& w = editor(fixture(1));
        SignalGrid& g = w.gridModel();
        // The old type's filter and data type go with it.
        g.setTextMatrix(3, LonCol::Filter, "7"), g.setTextMatrix(3, LonCol::DataType, "6-32bit float");
        g.select(2, 3, 5, 3);
        g.setRowHeight(4, 0);
        bool shown = false;
        QString presetSeen;
        whenModal<fSNVT>(
            [&](fSNVT* d) {
                presetSeen = selectedName(d) + (row == 3 && typed.isEmpty() ? windowDiffers(d, "snvt-chooser") : "");
                if (typed.isEmpty()) return d->cmdCancelar->click();
                QTest::keyClicks(d->txtFiltro, typed);
                d->cmdAceptar->click();
            },
            &shown);
        w.gridRightClick(row, LonCol::SnvtName, true);
        QCOMPARE(shown, written >= 0);
        QCOMPARE(presetSeen, preset);
        const QStringList temp{"81", "SNVT_lev_percent", "0", "2-16bit sig", "5", "-3", "0", ""};
        int got = 0;
        for (int r = 1; r < g.Rows(); ++r) {
            QStringList l;
            for (int c : {2, 3, 5, 6, 7, 8, 9, 10}) l << g.TextMatrix(r, c);
            got += l == temp;
        }
        QCOMPARE(got, qMax(written, 0));
        QCOMPARE(w.gridChanged(), written > 0);
        QCOMPARE(m_prompts->texts().join('|').startsWith(Texto("SnvtTipoIncorrecto") + "SNVT_bad8: 8"),
                 typed == "bad8");
        // A catalogue read again since the list was filled is listed again.
        QVERIFY(writeAll(snvt, readAll(snvt) + entry("SNVT_added", 3)) && catalogoSNVT().CargaSNVT());
        w.snvtChooser()->SNVTLink_Muestra(&w, "SNVT_added");
        QCOMPARE(selectedName(w.snvtChooser()), QString("SNVT_added"));
        w.snvtChooser()->SNVTLink_Muestra(&w, "SNVT_amp");  // the first row, scrolled away, then a filter keeps it
        w.snvtChooser()->lvwPro->scrollToBottom();
        QTest::keyClicks(w.snvtChooser()->txtFiltro, "p");
        QCOMPARE(selectedName(w.snvtChooser()), QString("SNVT_amp"));
        w.snvtChooser()->SNVTLink_Muestra(&w, "  SNVT_temp  ");
        QCOMPARE(selectedName(w.snvtChooser()), QString("SNVT_temp"));
        QStringList moved;  // Down and Up typed in the filter box move through the list
        for (const Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp})
            QTest::keyClick(w.snvtChooser()->txtFiltro, k), moved << selectedName(w.snvtChooser());
        QVERIFY2(moved[0] != "SNVT_temp" && moved[1] == "SNVT_temp" && moved[2] != moved[1] &&
                     w.snvtChooser()->txtFiltro->text().isEmpty(),
                 qPrintable(moved.join('|')));
        w.snvtChooser()->SNVTLink_Muestra(&w, "SNVT_none");
        QCOMPARE(selectedName(w.snvtChooser()), QString());
        QTest::keyClicks(w.snvtChooser()->txtFiltro, "~");  // a filter that leaves nothing to show or select
        QCOMPARE(selectedName(w.snvtChooser()), QString());
    }

    void importWindow() {
        fConfLonA& w = editor(fixture(4));
        const QString xifs = m_home->file("xifs");
        QDir().mkpath(xifs + "/sub");
        const QByteArray cover = readAll(testData("xif/cover.XIF"));  // large enough to be read with progress
        const qsizetype eol = cover.indexOf('\n') + 1;
        writeAll(xifs + "/cover.XIF", cover.left(eol) + QByteArray(3 << 20, '\n') + cover.mid(eol));
        QFile::copy(testData("xif/astroClock.xif"), xifs + "/other.xif");
        writeAll(xifs + "/notes.txt", "x");
        EscribeIni("Import", "Path", xifs);
        const int before = w.gridModel().Rows();
        bool shown = false;
        QStringList files, dirs, inSub, ranges;
        QString typedBack;
        int listed = 0;
        whenModal<fImportXif>(
            [&](fImportXif* d) {
                for (int pass = 0; pass < 3; ++pass) {  // there, into "sub" and back: each list filled afresh
                    QStringList& l = pass == 1 ? inSub : dirs;
                    if (pass == 2) files.clear(), dirs.clear();
                    for (int i = 0; i < d->Dir1->count(); ++i) l << d->Dir1->item(i)->text();
                    for (int i = 0; i < d->File1->count() && pass != 1; ++i) files << d->File1->item(i)->text();
                    l << QString::number(d->File1->count());
                    if (pass == 1) emit d->Dir1->itemActivated(d->Dir1->item(0));
                    if (pass == 0) {  // typed: a name of no folder gives way to the folder shown, a folder is opened
                        d->txtCarpeta->setText(xifs + "/none"), emit d->txtCarpeta->returnPressed();
                        typedBack = d->txtCarpeta->text();
                        d->txtCarpeta->setText(xifs + "/sub"), emit d->txtCarpeta->returnPressed();
                    }
                }
                if (!files.contains("cover.XIF")) return d->reject();
                d->File1->item(files.indexOf("cover.XIF"))->setSelected(true);
                d->chkDevStatus->setChecked(true);
                d->cmdCargar->click(), d->cmdCargar->click();  // read twice, listed once
                listed = d->lvwPro->topLevelItemCount();
                files << windowDiffers(d, "xif-import", m_home->path());
                d->cmdSelAll[0]->click();
                d->lvwPro->topLevelItem(listed - 1)->setSelected(false);  // the last NV stays out
                // A first device beyond the last moves the last, and the other way round.
                for (auto [box, i] : {std::pair{d->cboDfin, 2}, {d->cboDini, 3}, {d->cboDfin, 1}})
                    box->setCurrentIndex(i), ranges << d->cboDini->currentText() + ".." + d->cboDfin->currentText();
                d->chkNDevice->setChecked(true);
                d->cmdImportar->click();
                w.model().gridChanged = false;  // the last NV alone afterwards: one point is a change too
                d->lvwPro->clearSelection(), d->lvwPro->topLevelItem(listed - 1)->setSelected(true);
                d->cmdImportar->click();
                d->cmdSalir->click();
            },
            &shown);
        w.cmdImportXIF->click();
        QVERIFY(shown);
        QCOMPARE(files, QStringList({"cover.XIF", "other.xif", ""}));
        QCOMPARE(ranges, QStringList({"1..3", "4..4", "2..2"}));
        QCOMPARE(typedBack, QDir::toNativeSeparators(xifs));
        QCOMPARE(dirs + inSub, QStringList({"..", "sub", "2", "..", "0"}));
        QCOMPARE(listed, 2 + 27);
        QCOMPARE(w.gridModel().Rows(), before + 27);
        QCOMPARE(w.gridModel().TextMatrix(before, LonCol::Descripcion), QString("D2.nviRequest.object_id"));
        QCOMPARE(m_prompts->texts().mid(m_prompts->texts().size() - 2), QStringList({"New points:26", "New points:1"}));
        QVERIFY(w.gridChanged());
        QCOMPARE(QDir(LeeIni("Import", "Path", "")).absolutePath(), QDir(xifs).absolutePath());
    }

    // Export and Import through their file dialogs: a cancelled dialog does nothing; the separator asked for is
    // written; a file too large to read at once (blank lines added) comes back through the progress window.
    void spreadsheetButtons() {
        fConfLonA& w = editor(fixture(1), true, 1);
        const QString csv = m_home->file("points.csv");
        auto dialog = [&](bool accept) {
            whenModal<QFileDialog>(
                [=](QFileDialog* d) { accept ? d->selectFile(csv), static_cast<QDialog*>(d)->accept() : d->reject(); });
        };
        dialog(false), w.cmdExportar->click(), dialog(false), w.cmdImportar->click();
        QVERIFY(m_prompts->shown().isEmpty() && !QFile::exists(csv));
        for (const char* locale : {"C", "de_DE"}) {  // with a decimal comma, semicolons are offered first
            QLocale::setDefault(QLocale(locale)), QFile::remove(csv);  // no question about replacing it
            m_prompts->queueAnswer(2);                                 // semicolons
            dialog(true), w.cmdExportar->click();
            QCOMPARE(m_prompts->shown().at(m_prompts->texts().indexOf(Texto("CsvSeparador"))).defaultButton,
                     locale[0] == 'C' ? 1 : 2);
            m_prompts->clear();
        }
        QLocale::setDefault(QLocale::c());
        const QByteArray written = readAll(csv);
        QVERIFY(written.count(';') > written.count(',') && writeAll(csv, written + QByteArray(600 * 1024, '\n')));
        dialog(true), w.cmdImportar->click();
        QVERIFY2(m_prompts->lastText().startsWith(Texto("CsvImportado") + QString::number(w.gridModel().dataRows())),
                 qPrintable(m_prompts->lastText()));
        QStringList more;                   // up to 200 faults are listed; at the 200th the list says there are more
        for (int rows : {200, 201, 202}) {  // the address of the first row used again: a fault on each of the others
            const QByteArray head = written.left(written.indexOf('\n') + 1),
                             last = written.trimmed().split('\n').last();
            writeAll(csv, head + (last + "\n").repeated(rows));
            dialog(true), w.cmdImportar->click();
            more << QString::number(m_prompts->lastText().count('\r')) +
                        QString::number(m_prompts->lastText().contains(Texto("CsvMasErrores")));
        }
        QCOMPARE(more, QStringList({"1990", "2011", "2011"}));
        m_prompts->clear();  // a file that cannot be written: said, with where
        QVERIFY(!w.exportarSenyales(m_home->file("none/points.csv"), ','));
        QVERIFY2(m_prompts->lastText().startsWith(Texto("NoSePuedeGrabar") + "\r" + m_home->file("none/points.csv")),
                 qPrintable(m_prompts->lastText()));
    }

    void saveAndGenerateMatchesCommandLine() {
        fConfLonA& w = editor(fixture(1), true, 1);
        const QString dir = m_dir;
        w.setGenerationTime(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
        SignalGrid& g = w.gridModel();
        g.setTextMatrix(1, LonCol::Add, "1");
        g.setTextMatrix(1, LonCol::Activa, Texto("1-Si"));
        g.select(4, LonCol::Descripcion, 4, LonCol::Descripcion);
        QTest::keyClick(w.grid, 'R'), QTest::keyClicks(cellEditor(w), "oom 4");
        w.TabStrip1->setCurrentIndex(0);  // the edit still open: the tab change ends it, kept
        QVERIFY(!cellEditor(w)->isVisible() && g.TextMatrix(4, LonCol::Descripcion) == "Room 4");
        typeInto(w.txtTimeoutAscii, "500");
        typeInto(w.txtGateway, "127.0.0.9");
        QStringList picked;  // each serial choice moved one on from what the project holds, as a user picks it
        for (QComboBox* box : {w.cboBaud, w.cmbBits, w.cmbParidad})
            box->setCurrentIndex((box->currentIndex() + 1) % box->count()),
                picked << QString::number(box->currentIndex());
        w.chkACK->click();
        picked << QString::number(w.chkACK->isChecked());
        w.cboLLenDomain->setCurrentIndex(w.cboLLenDomain->count() - 1);
        QVERIFY(w.gridChanged() && w.connectionChanged());
        w.cmdAceptar->click();  // both questions answered yes
        const QStringList texts = m_prompts->texts();
        QCOMPARE(texts.mid(0, 2) << texts.value(2).left(32),
                 QStringList({Texto("A23"), Texto("A24"), "Devs:1  LON-> Tot:4 R:3 W:0 RW:0"}));
        QCOMPARE(texts.size(), 3);
        QVERIFY(!w.connectionChanged() && !w.gridChanged() && !w.cmdPilmora->isEnabled());
        QCOMPARE(app().IPNueva, QString("127.0.0.1"));
        QCOMPARE(iniRead(dir + "/LON.ini", "ASCII", "Tmout_ms", "") + iniRead(dir + "/LON.ini", "ASCII", "Gateway", ""),
                 QString("500127.0.0.9"));
        QStringList stored;
        for (const char* key : {"Baudios", "Bits", "Paridad", "SendACK"})
            stored << iniRead(dir + "/LON.ini", "ASCII", key, "").section(QLatin1Char(' '), 0, 0);  // "6 (38400)"
        QCOMPARE(stored, picked);
        QCOMPARE(iniRead(dir + "/LON.ini", "LON", "LenDomain", ""), w.cboLLenDomain->currentText());
        QVERIFY(readAll(dir + "/LON.dat").contains("\tRoom 4\t11\t"));
        const QString copy = QDir(m_home->projectsRoot()).filePath("SaveGenCopy");
        QVERIFY(copyFolder(dir, copy));
        QFile::remove(copy + "/LON.Plmx");
        QCOMPARE(runPilmora(m_home->path(), {"generate", copy, "--at", "2026/03/04 05:06:07"}).code, 0);
        const QByteArray mine = readAll(dir + "/LON.Plmx");
        QVERIFY(mine.size() > 200);
        QCOMPARE(mine, readAll(copy + "/LON.Plmx"));
        QVERIFY(mine.mid(4, 62).startsWith("MEROVANTIX-ASCII-LON-V.2.0 2026/03/04 05:06:07"));
    }

    // Leaving, generating or saving with changes not saved: the questions, refusals and failures in their order,
    // and nothing saved or generated behind the user's back. `sabotage`: "dir:" a folder, "full:" a link to
    // /dev/full in the file's place.
    void unsavedChanges_data() {
        addColumns<QString, QString, int, QStringList, bool, QStringList, QStringList>(
            "change", "button", "answer", "told", "closed", "sabotage", "reasons");
        auto row = [](const char* name, const char* change, const char* button, int answer, const QStringList& told,
                      bool closed = false, const QStringList& sabotage = {}, const QStringList& reasons = {}) {
            QTest::newRow(name) << change << button << answer << told << closed << sabotage << reasons;
        };
        const QStringList sure{"@EstaSeguroDeSalirSinGrabar;"}, save{"@A23;"};
        row("nothing changed", "", "cancel", 2, {}, true);
        row("grid changed, no", "grid", "cancel", 2, sure);
        row("grid changed, yes", "grid", "cancel", 1, sure, true);
        row("connection changed, closed box", "connection", "cancel", 0, sure);
        row("generate with connection unsaved", "connection", "generate", 0, {"@PrimeroDebeGrabarLosCambios;"});
        row("generate answered no", "", "generate", 2, {"@A24;"});
        row("save with an address repeated", "repeat", "save", 0, {"Add:11@repetida;"});
        row("save, repeated far down", "repeat far", "save", 0, {"Add:11@repetida;"});
        row("save answered no", "connection", "save", 2, save);
        row("save, folder in LON.dat's place", "connection", "save", 1, save, false, {"dir:LON.dat"},
            {"LON.dat:Path is not a file"});
        row("save, LON.ini on a full disk", "connection", "save", 1, save, false, {"full:LON.ini"},
            {"LON.ini:No space left on device"});
        row("save, both fail, one message each", "connection", "save", 1, save, false, {"dir:LON.ini", "full:LON.dat"},
            {"LON.ini:Path is a folder", "LON.dat:No space left on device"});
    }

    void unsavedChanges() {
        auto [change, button, answer, told, closed, sabotage, reasons] =
            fetch<QString, QString, int, QStringList, bool, QStringList, QStringList>(
                "change", "button", "answer", "told", "closed", "sabotage", "reasons");
        LonFixture f = fixture(1, {}, change == "repeat far" ? 200 : 4);
        if (change == "repeat") f.rows[3][12] = "11";       // grid row 6 repeats row 4's address
        if (change == "repeat far") f.rows[75][12] = "11";  // row 78, out of view
        fConfLonA& w = editor(f, true);
        const QString dir = m_dir;
        const QByteArray files = readAll(dir + "/LON.ini") + readAll(dir + "/LON.dat");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // only "&Salir" and the close box close it
        QVERIFY(w.isVisible());
        if (change == "grid") {
            w.TabStrip1->setCurrentIndex(1);
            w.gridModel().select(3, LonCol::Descripcion, 3, LonCol::Descripcion);
            typeInCell(w, "zz");
        } else if (!change.isEmpty()) {
            typeInto(w.txtLDomain, "0B");
        }
        for (const QString& s : sabotage) {
            const QString path = dir + "/" + s.section(':', 1);
            QVERIFY(QFile::remove(path) &&
                    (s.startsWith("dir") ? QDir().mkpath(path) : QFile::link("/dev/full", path)));
        }
        m_prompts->queueAnswer(answer);
        (button == "save" ? w.cmdAceptar : button == "generate" ? w.cmdPilmora : w.cmdCancelar)->click();
        for (QString& t : told) t = withTexts(t);
        for (const QString& r : reasons)
            told << Texto("NoSePuedeGrabar") + "\r" + dir + "/" + r.section(':', 0, 0) + "\rError: \r" +
                        r.section(':', 1);
        QCOMPARE(m_prompts->texts(), told);
        for (const ScriptedPrompts::Shown& box : m_prompts->shown())  // every yes/no box a question
            QVERIFY(box.buttons != 2 || box.style == 1);
        const SignalGrid& g = w.gridModel();
        if (change.startsWith("repeat")) {  // the cell the check stopped at, at the top when it was out of view
            const int at = change == "repeat" ? 6 : 78;
            QCOMPARE(QVector<int>({g.Row(), g.Col(), g.RowSel(), w.TabStrip1->currentIndex()}),
                     QVector<int>({at, LonCol::Add, at, 1}));
            QCOMPARE(w.grid->topRow(), change == "repeat" ? 1 : at);  // brought to the top
        }
        QCOMPARE(!w.isVisible(), closed);
        QCOMPARE(w.connectionChanged(), change == "connection" || change.startsWith("repeat"));
        if (!closed && !change.isEmpty()) {  // the close box asks the same question
            m_prompts->queueAnswer(2);
            w.close();
            QVERIFY(w.isVisible());
            QCOMPARE(m_prompts->texts().mid(told.size()), QStringList{Texto("EstaSeguroDeSalirSinGrabar")});
            const ScriptedPrompts::Shown& box = m_prompts->shown().last();  // a question; No: Enter keeps the work
            QCOMPARE(QList<int>({box.style, box.buttons, box.defaultButton}), QList<int>({1, 2, 2}));
        }
        if (reasons.isEmpty()) QCOMPARE(readAll(dir + "/LON.ini") + readAll(dir + "/LON.dat"), files);
        QVERIFY(!QFile::exists(dir + "/LON.Plmx") && w.cmdPilmora->isEnabled());
    }
};

QTEST_MAIN(TstConfLonEditor)
#include "tst_confloneditor.moc"
