// The SNVT chooser and the XIF import window, driven through the LON editor:
// right click on the SNVT name, the preselection and the filter, the rows the
// choice writes; folder and files, loading, the device range and the import.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "AppGlobals.h"
#include "LonConfig.h"
#include "LonFixtures.h"
#include "LonGrid.h"
#include "ModSNVT.h"
#include "ModalDriver.h"
#include "ModulINI.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "fConfLonA.h"
#include "fImportXif.h"
#include "fSNVT.h"
#include "mIdioma.h"

namespace {
// A project of `devices` devices and three NV rows (SNVT 8) after the built-in rows.
void makeProject(TestHome& home, int devices) {
    LonFixture f = largeLonFixture(devices, 0, "B-Extended", "V.43.1.x", false);
    f.rows = {lonPointRow(1, 8, 0, "R", 1), lonPointRow(1, 8, 1, "R", 2), lonPointRow(1, 8, 2, "W", 3)};
    const QString dir = QDir(home.projectsRoot()).filePath("P");
    writeLonFixture(dir, f);
    app().RutaProyecto = dir;
    app().ProtProyecto = "LON";
}
QStringList snvtCells(const SignalGrid& g, int r) {
    QStringList l;
    for (int c : {2, 3, 5, 6, 7, 8, 9}) l << g.TextMatrix(r, c);
    return l;
}
QString selectedName(fSNVT* d) {
    const auto sel = d->lvwPro->selectedItems();
    return sel.isEmpty() ? QString() : sel.first()->text(0);
}
}  // namespace

class TstSnvtWindows : public QObject {
    Q_OBJECT
private slots:
    void init() { m_home = new TestHome, m_prompts = new ScriptedPrompts; }
    void cleanup() { delete m_prompts, delete m_home; }
    void chooserWritesSelectedRows_data();
    void chooserWritesSelectedRows();
    void chooserKeepsRowsAfterReload();
    void importWindow();

private:
    TestHome* m_home = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
};

void TstSnvtWindows::chooserWritesSelectedRows_data() {
    QTest::addColumn<int>("row");         // right-clicked (rows 2..5 selected first, 4 hidden)
    QTest::addColumn<QString>("typed");   // into the filter; empty: cancel
    QTest::addColumn<QString>("preset");  // row selected on opening
    QTest::addColumn<int>("written");     // rows that get SNVT_lev_percent (-1: no chooser)
    QTest::newRow("filter, accept: visible NV rows of the selection") << 3 << "lev_PERC"
                                                                      << "SNVT_temp_p" << 2;
    QTest::newRow("cancel writes nothing") << 3 << ""
                                           << "SNVT_temp_p" << 0;
    QTest::newRow("error row: no chooser") << 1 << ""
                                           << "" << -1;
}

void TstSnvtWindows::chooserWritesSelectedRows() {
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, preset);
    QFETCH(int, written);
    makeProject(*m_home, 1);
    fConfLonA w;
    w.Form_Load();
    SignalGrid& g = w.gridModel();
    g.select(2, 3, 5, 3);
    g.setRowHeight(4, 0);
    bool shown = false;
    QString presetSeen;
    whenModal<fSNVT>(
        [&](fSNVT* d) {
            presetSeen = selectedName(d);
            if (typed.isEmpty()) return d->cmdCancelar->click();
            QTest::keyClicks(d->txtFiltro, typed);
            d->cmdAceptar->click();
        },
        &shown);
    w.gridRightClick(row, LonCol::SnvtName, true);
    QCOMPARE(shown, written >= 0);
    QCOMPARE(presetSeen, preset);
    const QStringList temp{"81", "SNVT_lev_percent", "0", "2-16bit sig", "5", "-3", "0"};
    int got = 0;
    for (int r = 1; r < g.Rows(); ++r) got += snvtCells(g, r) == temp;
    QCOMPARE(got, qMax(written, 0));
    QCOMPARE(w.gridChanged(), written > 0);
    // Blanks around the name, and a name not in the list.
    w.snvtChooser()->SNVTLink_Muestra(&w, "  SNVT_temp  ");
    QCOMPARE(selectedName(w.snvtChooser()), QString("SNVT_temp"));
    w.snvtChooser()->SNVTLink_Muestra(&w, "SNVT_none");
    QCOMPARE(selectedName(w.snvtChooser()), QString());
}

void TstSnvtWindows::chooserKeepsRowsAfterReload() {
    makeProject(*m_home, 1);
    fConfLonA w;
    w.Form_Load();
    w.gridRightClick(3, LonCol::SnvtName, false);
    const int rows = w.snvtChooser()->lvwPro->topLevelItemCount();
    QVERIFY(rows > 500);
    QVERIFY(
        writeAll(m_home->file("TemplatesASCII/LON.snvt"), "a\r\nb\r\nx\t0\t1\t0\tONLY\t1\t0\t1\t0\t0\t0\t0\t1\t1\r\n"));
    w.Form_Load();
    QCOMPARE(catalogoSNVT().count(), 1);
    w.gridRightClick(3, LonCol::SnvtName, false);
    QCOMPARE(w.snvtChooser()->lvwPro->topLevelItemCount(), rows);
}

void TstSnvtWindows::importWindow() {
    makeProject(*m_home, 4);
    const QString xifs = m_home->file("xifs");
    QDir().mkpath(xifs + "/sub");
    QFile::copy(testData("xif/cover.XIF"), xifs + "/cover.XIF");
    QFile::copy(testData("xif/astroClock.xif"), xifs + "/astroClock.xif");
    writeAll(xifs + "/notes.txt", "x");
    app().NombreIni = "LON";
    EscribeIni("Import", "Path", xifs);
    fConfLonA w;
    w.Form_Load();
    const int before = w.gridModel().Rows();
    bool shown = false;
    QStringList files, dirs;
    int listed = 0;
    whenModal<fImportXif>(
        [&](fImportXif* d) {
            for (int i = 0; i < d->File1->count(); ++i) files << d->File1->item(i)->text();
            for (int i = 0; i < d->Dir1->count(); ++i) dirs << d->Dir1->item(i)->text();
            if (!files.contains("cover.XIF")) return d->reject();
            d->File1->item(files.indexOf("cover.XIF"))->setSelected(true);
            d->chkDevStatus->setChecked(true);
            d->cmdCargar->click();
            listed = d->lvwPro->topLevelItemCount();
            d->cmdSelAll[0]->click();
            d->lvwPro->topLevelItem(listed - 1)->setSelected(false);  // the last NV stays out
            d->cboDfin->setCurrentIndex(2);                           // 1..3
            d->cboDini->setCurrentIndex(3);                           // 4 moves the last to 4
            d->cboDfin->setCurrentIndex(1);                           // 2 moves the first to 2
            d->chkNDevice->setChecked(true);
            d->cmdImportar->click();
            d->cmdSalir->click();
        },
        &shown);
    w.cmdImportXIF->click();
    QVERIFY(shown);
    QCOMPARE(files, QStringList({"astroClock.xif", "cover.XIF"}));
    QCOMPARE(dirs, QStringList({"..", "sub"}));
    QCOMPARE(listed, 2 + 27);
    QCOMPARE(w.gridModel().Rows(), before + 26);
    QCOMPARE(w.gridModel().TextMatrix(before, LonCol::Descripcion), QString("D2.nviRequest.object_id"));
    QCOMPARE(m_prompts->lastText(), QString("New points:26"));
    QVERIFY(w.gridChanged());
    QCOMPARE(QDir(LeeIni("Import", "Path", "")).absolutePath(), QDir(xifs).absolutePath());
}

QTEST_MAIN(TstSnvtWindows)
#include "tst_snvtwindows.moc"
