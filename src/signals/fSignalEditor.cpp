#include "fSignalEditor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "AsciiSerialConfig.h"
#include "CellEditorWidget.h"
#include "ModPilmoraASCII.h"
#include "ModulASCII.h"
#include "Prompts.h"
#include "SignalCsv.h"
#include "SignalGrid.h"
#include "SignalGridModel.h"
#include "SignalGridView.h"
#include "fSignalCsv.h"
#include "mIdioma.h"

fSignalEditor::fSignalEditor(QWidget* parent, int gridCols)
    : QDialog(parent), m_grid(new SignalGrid(1, gridCols, this)) {
    setModal(true);
    setSizeGripEnabled(true);
}

// ---------------------------------------------------------------- building

QGroupBox* fSignalEditor::buildSerialPanel(int firstRow) {
    fraASCII = new QGroupBox(Texto("MarcoASCII"));
    auto combo = [](const char* name) {
        auto* c = new QComboBox;
        c->setObjectName(QLatin1String(name));
        return c;
    };
    cboBaud = combo("cboBaud");
    cmbBits = combo("cmbBits");
    cmbParidad = combo("cmbParidad");
    txtTimeoutAscii = new QLineEdit;
    txtTimeoutAscii->setObjectName(QStringLiteral("txtTimeoutAscii"));
    txtTimeoutAscii->setMinimumWidth(txtTimeoutAscii->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 6 + 12);
    chkACK = new QCheckBox(Texto("EnviarOkEscrituras"));
    chkACK->setObjectName(QStringLiteral("chkACK"));
    auto* g = new QGridLayout(fraASCII);
    auto label = [](QWidget* buddy, const QString& text = QString()) {
        auto* l = new QLabel(text);
        l->setBuddy(buddy);
        return l;
    };
    m_lblBaud = label(cboBaud);
    m_lblBits = label(cmbBits);
    m_lblParidad = label(cmbParidad);
    g->addWidget(m_lblBaud, firstRow, 0);
    g->addWidget(cboBaud, firstRow, 1);
    g->addWidget(m_lblBits, firstRow + 1, 0);
    g->addWidget(cmbBits, firstRow + 1, 1);
    g->addWidget(m_lblParidad, firstRow + 2, 0);
    g->addWidget(cmbParidad, firstRow + 2, 1);
    g->addWidget(label(txtTimeoutAscii, Texto("EtqTimeoutMs")), firstRow + 3, 0);
    g->addWidget(txtTimeoutAscii, firstRow + 3, 1);
    g->addWidget(chkACK, firstRow + 4, 0, 1, 2);
    g->setColumnStretch(1, 1);
    g->setRowStretch(firstRow + 5, 1);
    return fraASCII;
}

void fSignalEditor::serialFromModel(const AsciiSerialConfig& s, const QStringList& baudItems) {
    const bool was = m_fillingControls;
    m_fillingControls = true;
    auto fill = [](QComboBox* box, const QStringList& items, int index) {
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(index >= 0 && index < items.size() ? index : -1);
    };
    // A stored index outside its list shows no item until the user picks one.
    fill(cmbParidad, AsciiSerialConfig::paridadItems(), s.ParidadKept.isEmpty() ? s.Paridad : -1);
    fill(cmbBits, AsciiSerialConfig::bitsItems(), s.BitsKept.isEmpty() ? s.Bits : -1);
    fill(cboBaud, baudItems, s.BaudiosKept.isEmpty() ? s.Baudios : -1);
    txtTimeoutAscii->setText(s.Tmout_ms);
    chkACK->setChecked(s.SendACK);
    m_fillingControls = was;
}

void fSignalEditor::wireSerialPanel(AsciiSerialConfig* serial, const std::function<void()>& changed) {
    auto comboIndex = [this, changed](QComboBox* box, int* field, QString* kept) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, changed, field, kept](int i) {
            if (m_fillingControls || i < 0) return;
            *field = i;
            kept->clear();  // the user's pick replaces what was stored
            changed();
        });
    };
    comboIndex(cboBaud, &serial->Baudios, &serial->BaudiosKept);
    comboIndex(cmbBits, &serial->Bits, &serial->BitsKept);
    comboIndex(cmbParidad, &serial->Paridad, &serial->ParidadKept);
    connect(chkACK, &QCheckBox::toggled, this, [this, serial, changed](bool on) {
        if (m_fillingControls) return;
        serial->SendACK = on;
        changed();
    });
    connect(txtTimeoutAscii, &QLineEdit::textEdited, this, [changed] { changed(); });
    txtTimeoutAscii->installEventFilter(this);
}

void fSignalEditor::setSerialTexts() {
    m_lblBaud->setText(Texto("Baudios"));
    m_lblParidad->setText(Texto("Paridad") + QStringLiteral("-Stop"));
    m_lblBits->setText(Texto("BitsDatos"));
    setHelp(cboBaud, Texto("Baudios"));
    setHelp(cmbBits, Texto("BitsDatos"));
    setHelp(cmbParidad, Texto("Paridad"));
    setHelp(txtTimeoutAscii, Texto("AyudaTimeoutAscii"));
    setHelp(chkACK, Texto("AyudaEnviarOk"));
}

QLabel* fSignalEditor::buildHelpLine() {
    lblHelp = new QLabel;
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setFrameShape(QFrame::StyledPanel);
    lblHelp->setFrameShadow(QFrame::Sunken);
    lblHelp->setWordWrap(true);
    lblHelp->setMinimumHeight(lblHelp->fontMetrics().lineSpacing() * 2 + 8);
    lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblHelp->setTextInteractionFlags(Qt::NoTextInteraction);
    return lblHelp;
}

QMenu* fSignalEditor::makeMenu(const char* name, const QStringList& captions) {
    auto* m = new QMenu(this);
    m->setObjectName(QLatin1String(name));
    for (const QString& c : captions) m->addAction(c);
    return m;
}

void fSignalEditor::noDefaultButton() {
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false), b->setDefault(false);
}

void fSignalEditor::buildCommonMenus() {
    popmnuSpon = makeMenu("popmnuSpon", spontaneousCaptions());
    popmnuSiNo = makeMenu("popmnuSiNo", {Texto("0-No"), Texto("1-Si")});
    popmnuColumns = makeMenu("popmnuColumns", {Texto("MostrarOcultarColumnas")});
}

QString fSignalEditor::protocolSummary(const QString& changeLine) {
    return QStringList{Texto("ProtLectura"),
                       QStringLiteral("   >Daaaa?\\r"),
                       Texto("ProtEscritura"),
                       QStringLiteral("   >Daaaa=xx\\r"),
                       changeLine,
                       QStringLiteral("   >Daaaa=xx\\r"),
                       QString(),
                       Texto("ProtDonde")}
        .join(QStringLiteral("\r\n"));
}

void fSignalEditor::setHelp(QWidget* w, const QString& help) {
    m_help.insert(w, help);
    w->installEventFilter(this);
}

void fSignalEditor::wireGridView(QVBoxLayout* host, const QList<QMenu*>& fillMenus) {
    grid = new SignalGridView(m_grid);
    grid->setObjectName(QStringLiteral("grid"));
    // The column widths are those of a small 8-point grid font; the dialog's
    // font would cut most cells.
    QFont small = grid->font();
    small.setPointSizeF(qMin(small.pointSizeF(), 8.0));
    grid->setFont(small);
    grid->horizontalHeader()->setFont(small);
    grid->verticalHeader()->setFont(small);
    host->addWidget(grid);
    txtEdit = new CellEditorWidget(grid);
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    Prepara_Editor(*m_grid, *txtEdit);

    connect(grid, &SignalGridView::keyTyped, this, [this](int key) { gridKeyTyped(key); });
    connect(grid, &SignalGridView::cellDoubleClicked, this, [this](int row, int col) {
        if (row < 1 || col < 1) return;
        m_grid->select(row, col, row, col);
        gridKeyTyped(KeyAscii::Return);
    });
    connect(grid, &SignalGridView::cellRightClicked, this,
            [this](int row, int col, const QPoint& at) { gridRightClick(row, col, true, at); });
    connect(grid, &SignalGridView::currentCellChanged, this, [this](int, int col) {
        // Moving while a cell is typed into writes that cell first.
        endCellEdit();
        if (col >= 1 && col < m_info.size()) lblHelp->setText(m_info.at(col).Ayuda);
    });
    // Keys kept by the filter inside the box and every edit written back set the
    // grid-changed flag.
    txtEdit->setChangedFlag(&gridChangedFlag());
    connect(txtEdit, &CellEditorWidget::editWritten, this, [this] { markGridChanged(); });
    for (QMenu* m : fillMenus)
        connect(m, &QMenu::triggered, this, [this](QAction* a) { fillColumn(m_menuCol, a->text()); });
}

// ---------------------------------------------------------------- grid events

bool fSignalEditor::cellTypable(int row, int col) const {
    if (row < 1 || col < 1 || row >= m_grid->Rows() || col >= m_grid->Cols()) return false;
    return !(col < m_info.size() && m_info.at(col).Tipo == 2);
}

void fSignalEditor::gridKeyTyped(int keyAscii) {
    if (!cellTypable(m_grid->Row(), m_grid->Col())) return;
    bool changed = false;
    FiltroTecla(keyAscii, *m_grid, changed);
    if (changed) markGridChanged();
    if (keyAscii == 0) return;
    Empieza_Edicion(*m_grid, *txtEdit, keyAscii);
}

void fSignalEditor::gridOp(const std::function<void(bool&)>& op) {
    bool changed = false;
    op(changed);
    if (changed) markGridChanged();
}

void fSignalEditor::endCellEdit() {
    if (!txtEdit || !txtEdit->editorVisible()) return;
    Termina_Edicion(*m_grid, *txtEdit);
    markGridChanged();
}

void fSignalEditor::fillColumn(int col, const QString& caption) {
    gridOp([&](bool& changed) { Rellena_Columna(*m_grid, col, caption, changed); });
}

void fSignalEditor::fitColumn(int col, const QStringList& texts, int maxPx) {
    const QFontMetrics fm(grid->font());
    const QFontMetrics header(grid->horizontalHeader()->font());
    int px = header.horizontalAdvance(m_grid->TextMatrix(0, col));
    for (const QString& t : texts) px = qMax(px, fm.horizontalAdvance(t));
    px = qMin(px + 12, maxPx);
    m_grid->setColWidth(col, qMax(m_grid->ColWidth(col), pxToTwips(px)));
}

void fSignalEditor::fitColumnsToTexts(const QHash<int, QMenu*>& columnMenus) {
    for (int col = 1; col < m_grid->Cols(); ++col) {
        if (m_grid->ColWidth(col) <= 0) continue;
        QStringList texts;
        if (QMenu* m = columnMenus.value(col))
            for (const QAction* a : m->actions())
                if (!a->isSeparator()) texts << QString(a->text()).remove(QLatin1Char('&'));
        fitColumn(col, texts);
    }
}

void fSignalEditor::selectClickedCell(int row, int col) {
    const bool inSelection =
        row >= m_grid->selTop() && row <= m_grid->selBottom() && col >= m_grid->selLeft() && col <= m_grid->selRight();
    if (!inSelection) m_grid->select(row, qMax(col, 1), row, qMax(col, 1));
}

void fSignalEditor::showGridFault(QTabBar* tabs, int signalsTab) {
    if (tabs->currentIndex() != signalsTab) tabs->setCurrentIndex(signalsTab);
    const QModelIndex cell = grid->gridModel()->indexOfCell(m_grid->Row(), m_grid->Col());
    grid->scrollTo(cell, QAbstractItemView::PositionAtTop);
    grid->setFocus();
}

// ---------------------------------------------------------------- fields, closing

void fSignalEditor::commitFocusedField() {
    if (QWidget* w = focusWidget()) fieldLeft(w);
}

bool fSignalEditor::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && event->type() == QEvent::FocusIn && m_help.contains(w)) {
        lblHelp->setText(helpOf(w));
    } else if (w && event->type() == QEvent::FocusOut) {
        // Leaving the field, not the window (another application, a popup menu).
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) fieldLeft(w);
    }
    return QDialog::eventFilter(watched, event);
}

bool fSignalEditor::askLeave() {
    if (!connectionChangedFlag() && !gridChangedFlag()) return true;
    return Msgbox1(Texto("EstaSeguroDeSalirSinGrabar"), QString::fromLatin1(kAppTitle), 1, 2, 2, Texto("Si"),
                   Texto("No")) == 1;
}

// The window closes only by "&Salir" and its close box: Esc would throw a
// morning's work away with one stray key.
void fSignalEditor::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Close box and "&Salir" both come here (QDialog routes its close event
// through reject()).
void fSignalEditor::reject() {
    commitFocusedField();
    endCellEdit();
    if (!askLeave()) return;
    QDialog::reject();
}

// ---------------------------------------------------------------- spreadsheet files

void fSignalEditor::buildCsvButtons() {
    cmdExportar = new QPushButton(Texto("CsvExportar"));
    cmdExportar->setObjectName(QStringLiteral("cmdExportar"));
    cmdExportar->setToolTip(Texto("CsvAyudaExportar"));
    cmdImportar = new QPushButton(Texto("CsvImportar"));
    cmdImportar->setObjectName(QStringLiteral("cmdImportar"));
    cmdImportar->setToolTip(Texto("CsvAyudaImportar"));
    connect(cmdExportar, &QPushButton::clicked, this, [this] { cmdExportar_Click(); });
    connect(cmdImportar, &QPushButton::clicked, this, [this] { cmdImportar_Click(); });
}

void fSignalEditor::cmdExportar_Click() {
    endCellEdit();
    QChar separator;
    const QString path = fSignalCsv::askExportFile(this, app().NombreProyecto + QStringLiteral(".csv"), &separator);
    if (!path.isEmpty()) exportarSenyales(path, separator);
}

void fSignalEditor::cmdImportar_Click() {
    endCellEdit();
    const QString path = fSignalCsv::askImportFile(this);
    if (!path.isEmpty()) importarSenyales(path);
}

bool fSignalEditor::exportarSenyales(const QString& path, QChar separator) {
    QString error;
    if (!csvExport(path, separator, &error)) {
        Aviso(error);
        return false;
    }
    Aviso(Texto("CsvExportado") + QString::number(m_grid->dataRows()), 2);
    return true;
}

bool fSignalEditor::importarSenyales(const QString& path) {
    endCellEdit();
    CsvRecords records;
    QStringList faults;
    int rows = 0;
    if (fSignalCsv::readFile(this, path, &records, &faults)) {
        BusyPointer busy;
        csvImport(records, &faults, &rows);
    }
    if (!faults.isEmpty()) {
        fSignalCsv::showFaults(faults);
        return false;
    }
    // The table on disk is kept beside the new one by the save that replaces it.
    markLossyLoad(rutaTablaSenyales(protocolSlot()), true, Texto("CsvCopiaGuardada"));
    markGridChanged();
    Aviso(Texto("CsvImportado") + QString::number(rows) + QLatin1Char('\r') + Texto("CsvGrabarParaConservar"), 2);
    return true;
}
