#include "fConfMbs6A.h"

#include <QCursor>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "Mbs6Config.h"
#include "Mbs6Csv.h"
#include "Mbs6Download.h"
#include "Mbs6Grid.h"
#include "Mbs6Project.h"
#include "ModPilmoraASCII.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "SignalGridView.h"
#include "mIdioma.h"

namespace {
constexpr int kSignalsTab = 1;
const int kToggled[] = {Mbs6Col::Disp, Mbs6Col::Prop};
}  // namespace

// ---------------------------------------------------------------- layout

void fConfMbs6A::buildControls() {
    setObjectName(QStringLiteral("fConfMbs6A"));

    TabStrip1 = new QTabBar;
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->addTab(QString());
    TabStrip1->addTab(QString());
    TabStrip1->setExpanding(false);

    // ---- first tab: serial side, bus, units
    fraConexion = new QFrame;
    fraConexion->setObjectName(QStringLiteral("fraConexion"));
    buildSerialPanel();

    auto* fraMBS6 = new QGroupBox(Texto("MarcoMBS6"));
    txtTimeoutPoll = new QLineEdit;
    txtTimeoutPoll->setObjectName(QStringLiteral("txtTimeoutPoll"));
    txtTimeoutPoll->setMaximumWidth(txtTimeoutPoll->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 8 + 12);
    {
        auto* g = new QGridLayout(fraMBS6);
        auto* l = new QLabel(Texto("EtqPeriodoSondeo"));
        l->setBuddy(txtTimeoutPoll);
        g->addWidget(l, 0, 0);
        auto* h = new QHBoxLayout;
        h->addWidget(txtTimeoutPoll);
        h->addWidget(new QLabel(Texto("Milisegundos")));
        h->addStretch();
        g->addLayout(h, 0, 1);
        g->setColumnStretch(1, 1);
        g->setRowStretch(1, 1);
    }

    fraDevices = new QGroupBox;
    lstMaquina = new QListWidget;
    lstMaquina->setObjectName(QStringLiteral("lstMaquina"));
    lstMaquina->setSelectionMode(QAbstractItemView::SingleSelection);
    // 63 units: several columns of check boxes instead of a long scroll.
    lstMaquina->setFlow(QListView::TopToBottom);
    lstMaquina->setWrapping(true);
    lstMaquina->setResizeMode(QListView::Adjust);
    lstMaquina->setUniformItemSizes(true);
    txtMaquina = new QLineEdit;
    txtMaquina->setObjectName(QStringLiteral("txtMaquina"));
    {
        auto* v = new QVBoxLayout(fraDevices);
        v->addWidget(lstMaquina, 1);
        auto* h = new QHBoxLayout;
        m_lblMaquina = new QLabel;
        m_lblMaquina->setBuddy(txtMaquina);
        h->addWidget(m_lblMaquina);
        h->addWidget(txtMaquina, 1);
        v->addLayout(h);
    }

    txtMsg = new QPlainTextEdit;
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setReadOnly(true);
    txtMsg->setMinimumHeight(txtMsg->fontMetrics().lineSpacing() * 4);
    txtMsg->setMaximumHeight(txtMsg->fontMetrics().lineSpacing() * 10);
    {
        auto* g = new QGridLayout(fraConexion);
        g->setContentsMargins(0, 6, 0, 0);
        g->addWidget(fraASCII, 0, 0);
        g->addWidget(fraMBS6, 1, 0);
        g->addWidget(fraDevices, 0, 1, 2, 1);
        g->addWidget(txtMsg, 2, 0, 1, 2);
        g->setColumnStretch(0, 2);
        g->setColumnStretch(1, 5);
        g->setRowStretch(1, 1);
    }

    // ---- second tab: the fixed grid
    fraSenyales = new QFrame;
    fraSenyales->setObjectName(QStringLiteral("fraSenyales"));
    m_gridHost = new QVBoxLayout(fraSenyales);
    m_gridHost->setContentsMargins(0, 6, 0, 0);

    // ---- buttons. The set of rows is fixed: the row commands are there, greyed.
    cmdUp = new QToolButton;
    cmdUp->setObjectName(QStringLiteral("cmdUp"));
    cmdUp->setArrowType(Qt::UpArrow);
    cmdUp->setToolTip(Texto("AltFlechaArriba"));
    cmdDown = new QToolButton;
    cmdDown->setObjectName(QStringLiteral("cmdDown"));
    cmdDown->setArrowType(Qt::DownArrow);
    cmdDown->setToolTip(Texto("AltFlechaAbajo"));
    cmdInsertar = new QPushButton;
    cmdInsertar->setObjectName(QStringLiteral("cmdInsertar"));
    cmdElimina = new QPushButton;
    cmdElimina->setObjectName(QStringLiteral("cmdElimina"));
    cmdAceptar = new QPushButton;
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdCancelar = new QPushButton;
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdPilmora = new QPushButton(Texto("cmdPilmora"));
    cmdPilmora->setObjectName(QStringLiteral("cmdPilmora"));
    cmdPilmora->setToolTip(Texto("GenerarFicheroPilmora"));
    for (QWidget* w : std::initializer_list<QWidget*>{cmdUp, cmdDown, cmdInsertar, cmdElimina}) w->setEnabled(false);
    buildCsvButtons();

    buildHelpLine();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdUp);
    buttons->addWidget(cmdDown);
    buttons->addSpacing(8);
    buttons->addWidget(cmdInsertar);
    buttons->addWidget(cmdElimina);
    buttons->addWidget(cmdExportar);
    buttons->addWidget(cmdImportar);
    buttons->addStretch();
    buttons->addWidget(cmdPilmora);
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);

    auto* top = new QVBoxLayout(this);
    top->addWidget(TabStrip1);
    top->addWidget(fraConexion, 1);
    top->addWidget(fraSenyales, 1);
    top->addWidget(lblHelp);
    top->addLayout(buttons);

    // Fits a 1024x768 screen with its task bar.
    setMinimumSize(820, 560);
    QSize size(1000, 680);
    if (QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size() - QSize(24, 48));
    resize(size.expandedTo(minimumSize()));
}

// Tab captions, labels and buttons, the protocol summary and the help lines.
void fConfMbs6A::setTexts() {
    TabStrip1->setTabText(0, Texto("Conexion"));
    TabStrip1->setTabText(1, Texto("Senyales"));
    TabStrip1->setTabToolTip(0, Texto("ConfConexion"));
    TabStrip1->setTabToolTip(1, Texto("ConfSenyales"));
    fraDevices->setTitle(Texto("Dispositivos"));
    m_lblMaquina->setText(Texto("Nombre"));
    setSerialTexts();
    cmdInsertar->setText(Texto("&Insertar"));
    cmdElimina->setText(Texto("&Eliminar"));
    cmdAceptar->setText(Texto("&Grabar"));
    cmdCancelar->setText(Texto("&Salir"));
    txtMsg->setPlainText(protocolSummary(Texto("ProtCambioMbs6")));
    setHelp(txtTimeoutPoll, Texto("AyudaSondeoMbs6"));
    setHelp(lstMaquina, Texto("MarcarDispoAUtilizar"));
    setHelp(txtMaquina, Texto("NombreDescriptivo"));
}

// ---------------------------------------------------------------- construction

fConfMbs6A::fConfMbs6A(QWidget* parent) : fSignalEditor(parent, Mbs6Col::Count), m_cfg(new Mbs6Config) {
    buildControls();
    buildCommonMenus();
    setTexts();
    wireEvents();
    noDefaultButton();
    TabStrip1_Click(0);
}

fConfMbs6A::~fConfMbs6A() { delete m_cfg; }

bool fConfMbs6A::connectionChanged() const { return m_cfg->connectionChanged; }
bool fConfMbs6A::gridChanged() const { return m_cfg->gridChanged; }
bool fConfMbs6A::connectionChangedFlag() const { return m_cfg->connectionChanged; }
bool& fConfMbs6A::gridChangedFlag() { return m_cfg->gridChanged; }
void fConfMbs6A::markGridChanged() { m_cfg->markGridChanged(); }
void fConfMbs6A::markConnectionChanged() { m_cfg->markConnectionChanged(); }

int fConfMbs6A::Muestra() {
    Form_Load();
    return exec();
}

// Opening: protocol and INI name, model, the fixed grid with the table carried
// into it, the controls.
void fConfMbs6A::Form_Load() {
    BusyPointer busy;
    m_protocolo = app().Protocolos.value(kSlotMbs6);
    app().NombreIni = m_protocolo;
    endCellEdit();

    *m_cfg = Mbs6Config();
    m_cfg->loading = true;
    RedrawOff off(*m_grid);
    loadMbs6Project(app().RutaProyecto, *m_cfg, *m_grid, m_info);
    for (int c : kToggled) m_hiddenWidths[c] = m_grid->ColWidth(c);
    // Language texts and the descriptions (with the names users prefix) are not
    // cut while the window has room; the grid has no other wide column.
    fitColumn(Mbs6Col::AD, {Texto("0-Ana"), Texto("1-Dig")});
    fitColumnsToTexts({{Mbs6Col::Spontaneous, popmnuSpon}, {Mbs6Col::Activa, popmnuSiNo}});
    QStringList descriptions;
    for (int r = 1; r < m_grid->Rows(); ++r) descriptions << m_grid->TextMatrix(r, Mbs6Col::Descripcion);
    fitColumn(Mbs6Col::Descripcion, descriptions, 540);
    m_grid->select(1, Mbs6Col::Descripcion, 1, Mbs6Col::Descripcion);
    off.end();

    controlsFromModel();
    // A damaged project is saved before it can be generated, and closing asks first.
    m_cfg->connectionChanged = m_cfg->damaged;
    m_cfg->gridChanged = m_cfg->damaged;
    m_cfg->loading = false;
    cmdPilmora->setEnabled(true);
    TabStrip1->setCurrentIndex(0);
    TabStrip1_Click(0);
}

void fConfMbs6A::controlsFromModel() {
    Mbs6Config& c = *m_cfg;
    const bool wasLoading = c.loading;
    c.loading = true;
    setWindowTitle(Mbs6Config::captionText());
    serialFromModel(c, Mbs6Config::baudItems());
    // The poll time shows the numeric value of what is stored, and is saved as shown.
    c.TimeoutPoll = QString::number(Val(c.TimeoutPoll), 'g', 15);
    txtTimeoutPoll->setText(c.TimeoutPoll);
    lstMaquina->clear();
    for (int n = 1; n <= Mbs6Config::kUnits; ++n) {
        auto* item = new QListWidgetItem(Mbs6Config::unitListText(n), lstMaquina);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(c.unit(n).On ? Qt::Checked : Qt::Unchecked);
    }
    c.currentUnit = 1;
    lstMaquina->setCurrentRow(0);
    txtMaquina->setText(c.unit(1).Nm);
    c.loading = wasLoading;
}

void fConfMbs6A::wireEvents() {
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int i) { TabStrip1_Click(i); });
    wireSerialPanel(m_cfg, [this] { markConnectionChanged(); });
    connect(txtTimeoutPoll, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_cfg->TimeoutPoll = t;
        markConnectionChanged();
    });
    connect(txtMaquina, &QLineEdit::textEdited, this, [this] { markConnectionChanged(); });
    connect(lstMaquina, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_cfg->loading || row < 0) return;
        m_cfg->currentUnit = row + 1;
        txtMaquina->setText(m_cfg->unit(row + 1).Nm);
    });
    connect(lstMaquina, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_cfg->loading) return;
        Mbs6Unit* u = m_cfg->unitPtr(lstMaquina->row(item) + 1);
        const bool on = item->checkState() == Qt::Checked;
        if (!u || u->On == on) return;
        u->On = on;
        markConnectionChanged();
    });
    connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] { reject(); });
    connect(cmdPilmora, &QPushButton::clicked, this, [this] { cmdPilmora_Click(); });

    wireGridView(m_gridHost, {popmnuSpon, popmnuSiNo});
    connect(popmnuColumns, &QMenu::triggered, this, [this] { toggleHiddenColumns(); });
}

// The unit name is trimmed when left; the ASCII timeout clamped into 0..2000.
void fConfMbs6A::fieldLeft(QWidget* w) {
    if (m_inFieldCheck || m_cfg->loading) return;
    m_inFieldCheck = true;
    if (w == txtMaquina) {
        const QString shown = m_cfg->leaveUnitName(txtMaquina->text());
        if (shown != txtMaquina->text()) txtMaquina->setText(shown);
    } else if (w == txtTimeoutAscii) {
        if (clampAsciiTimeout(*m_cfg, txtTimeoutAscii->text())) markConnectionChanged();
        if (m_cfg->Tmout_ms != txtTimeoutAscii->text()) txtTimeoutAscii->setText(m_cfg->Tmout_ms);
    }
    m_inFieldCheck = false;
}

void fConfMbs6A::TabStrip1_Click(int index) {
    if (index != m_currentTab) endCellEdit();
    m_currentTab = index;
    fraConexion->setVisible(index == 0);
    fraSenyales->setVisible(index == kSignalsTab);
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmdInsertar, cmdElimina, cmdExportar, cmdImportar, cmdUp, cmdDown})
        w->setVisible(index == kSignalsTab);
    lblHelp->setText(TabStrip1->tabToolTip(index));
}

// ---------------------------------------------------------------- save, generate

// No device check here: the units are the bus's own numbers.
void fConfMbs6A::cmdAceptar_Click() {
    commitFocusedField();
    endCellEdit();
    Limpia_FilasVacias(*m_grid);
    if (!Valida_ConfMbs6(*m_cfg)) {
        TabStrip1->setCurrentIndex(0);
        txtTimeoutPoll->setFocus();
        return;
    }
    if (!Valida_Opciones(*m_grid, kMbs6ChoiceCols) || !Valida_PuntosMbs6(*m_grid)) {
        showGridFault(TabStrip1, kSignalsTab);
        return;
    }
    if (Msgbox1(Texto("A23"), QString::fromLatin1(kAppTitle), 1, 1, 2, Texto("Si"), Texto("No")) == 2) return;
    // A file that could not be written stops here: the flags stay set, nothing is generated.
    if (!GrabaProyecto([this] { m_cfg->Graba_ConfMbs6(); }, kSlotMbs6, *m_grid)) return;
    app().ProtProyecto = m_protocolo;
    m_cfg->connectionChanged = false;
    m_cfg->gridChanged = false;
    cmdPilmora_Click();
}

void fConfMbs6A::cmdPilmora_Click() {
    commitFocusedField();
    if (m_cfg->connectionChanged) {
        Aviso(Texto("PrimeroDebeGrabarLosCambios"));
        return;
    }
    if (Msgbox1(Texto("A24"), QString::fromLatin1(kAppTitle), 1, 1, 2, Texto("Si"), Texto("No")) == 2) return;
    Genera_FicheroDescarga(*m_cfg, *m_grid, m_generationTime);
    cmdPilmora->setEnabled(false);
}

// ---------------------------------------------------------------- grid

// Captions: "Show/Hide columns"; spontaneous and active cells: their lists.
// The fixed cells have no menu, and there is no cut or paste: the rows are fixed.
QMenu* fConfMbs6A::gridRightClick(int row, int col, bool exec, const QPoint& at) {
    endCellEdit();
    QMenu* menu = nullptr;
    if (row == 0) {
        menu = popmnuColumns;
    } else if (row >= 1 && row < m_grid->Rows() && col >= 0 && col < m_grid->Cols()) {
        selectClickedCell(row, col);
        if (col == Mbs6Col::Spontaneous) menu = popmnuSpon;
        if (col == Mbs6Col::Activa) menu = popmnuSiNo;
    }
    m_menuCol = col;
    if (menu && exec) menu->exec(at.isNull() ? QCursor::pos() : at);
    return menu;
}

void fConfMbs6A::toggleHiddenColumns() {
    const bool hidden = m_grid->ColWidth(Mbs6Col::Disp) == 0;
    for (int c : kToggled) {
        if (hidden) {
            m_grid->setColWidth(c, m_hiddenWidths.value(c, 500));
        } else {
            if (m_grid->ColWidth(c) > 0) m_hiddenWidths[c] = m_grid->ColWidth(c);
            m_grid->setColWidth(c, 0);
        }
    }
}

// ---------------------------------------------------------------- spreadsheet files

int fConfMbs6A::protocolSlot() const { return kSlotMbs6; }

bool fConfMbs6A::csvExport(const QString& path, QChar separator, QString* error) {
    return mbs6CsvExport(path, *m_grid, separator, error);
}

bool fConfMbs6A::csvImport(const CsvRecords& records, QStringList* faults, int* rows) {
    return mbs6CsvImport(records, *m_grid, faults, rows);
}
