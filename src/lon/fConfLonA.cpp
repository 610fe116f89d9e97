#include "fConfLonA.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "CellEditorWidget.h"
#include "LonChecks.h"
#include "LonConfig.h"
#include "LonCsv.h"
#include "LonDownload.h"
#include "LonGrid.h"
#include "LonProject.h"
#include "ModPilmoraASCII.h"
#include "ModSNVT.h"
#include "ModulASCII.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "SignalGridModel.h"
#include "SignalGridView.h"
#include "fImportXif.h"
#include "fSNVT.h"
#include "mIdioma.h"

namespace {

QLabel* label(const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}

QLineEdit* lineEdit(const char* name, int chars) {
    auto* e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 12);
    return e;
}

QComboBox* combo(const char* name) {
    auto* c = new QComboBox;
    c->setObjectName(QLatin1String(name));
    return c;
}

}  // namespace

// ---------------------------------------------------------------- layout

void fConfLonA::buildControls() {
    setObjectName(QStringLiteral("fConfLonA"));

    TabStrip1 = new QTabBar;
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->addTab(QString());
    TabStrip1->addTab(QString());
    TabStrip1->setExpanding(false);

    // ---- first tab: connection, LON identity, devices
    fraConexion = new QFrame;
    fraConexion->setObjectName(QStringLiteral("fraConexion"));

    optRS_TCP[0] = new QRadioButton(Texto("OptAsciiRS232"));
    optRS_TCP[1] = new QRadioButton(Texto("OptAsciiTCP"));
    optRS_TCP[0]->setObjectName(QStringLiteral("optRS_TCP0"));
    optRS_TCP[1]->setObjectName(QStringLiteral("optRS_TCP1"));
    {
        // The transport above the shared serial settings.
        auto* g = static_cast<QGridLayout*>(buildSerialPanel(1)->layout());
        auto* opts = new QHBoxLayout;
        opts->addWidget(optRS_TCP[0]);
        opts->addWidget(optRS_TCP[1]);
        opts->addStretch();
        g->addLayout(opts, 0, 0, 1, 2);
    }

    fraTCP = new QGroupBox(Texto("MarcoTCP"));
    fraTCP->setObjectName(QStringLiteral("fraTCP"));
    txtIp = lineEdit("txtIp", 15);
    txtNetMask = lineEdit("txtNetMask", 15);
    txtGateway = lineEdit("txtGateway", 15);
    txtPortASCII = lineEdit("txtPortASCII", 6);
    txtTimeoutKeepAlive = lineEdit("txtTimeoutKeepAlive", 6);
    {
        auto* g = new QGridLayout(fraTCP);
        g->addWidget(label(Texto("EtqIPBreve"), txtIp), 0, 0);
        g->addWidget(txtIp, 0, 1);
        g->addWidget(label(Texto("EtqMascara"), txtNetMask), 1, 0);
        g->addWidget(txtNetMask, 1, 1);
        g->addWidget(label(Texto("EtqRouterLon"), txtGateway), 2, 0);
        g->addWidget(txtGateway, 2, 1);
        g->addWidget(label(Texto("EtqPuertoTcp"), txtPortASCII), 3, 0);
        g->addWidget(txtPortASCII, 3, 1);
        g->addWidget(label(Texto("EtqKeepAlive"), txtTimeoutKeepAlive), 4, 0);
        g->addWidget(txtTimeoutKeepAlive, 4, 1);
        g->setColumnStretch(1, 1);
        g->setRowStretch(5, 1);
    }

    auto* fraVersion = new QGroupBox(Texto("EtqPasarela"));
    cboFirmVersion = combo("cboFirmVersion");
    cboVersion = combo("cboVersion");
    {
        auto* g = new QGridLayout(fraVersion);
        g->addWidget(label(Texto("EtqFirmware"), cboFirmVersion), 0, 0);
        g->addWidget(cboFirmVersion, 1, 0);
        m_lblVersion = label(QString(), cboVersion);
        g->addWidget(m_lblVersion, 2, 0);
        g->addWidget(cboVersion, 3, 0);
        g->setRowStretch(4, 1);
    }

    fraLON = new QGroupBox(Texto("MarcoLON"));
    txtLDomain = lineEdit("txtLDomain", 12);
    cboLLenDomain = combo("cboLLenDomain");
    txtLSubnet = lineEdit("txtLSubnet", 4);
    txtLNode = lineEdit("txtLNode", 4);
    optLAddressing[0] = new QRadioButton(Texto("EtqNeuronId"));
    optLAddressing[1] = new QRadioButton(Texto("EtqSubredNodo"));
    optLAddressing[0]->setObjectName(QStringLiteral("optLAddressing0"));
    optLAddressing[1]->setObjectName(QStringLiteral("optLAddressing1"));
    txtLTimeoutPollLon = lineEdit("txtLTimeoutPollLon", 6);
    {
        auto* g = new QGridLayout(fraLON);
        g->addWidget(label(Texto("EtqDominio"), txtLDomain), 0, 0);
        auto* dom = new QHBoxLayout;
        dom->addWidget(txtLDomain, 1);
        dom->addWidget(label(Texto("EtqLongitud"), cboLLenDomain));
        dom->addWidget(cboLLenDomain);
        g->addLayout(dom, 0, 1);
        g->addWidget(label(Texto("EtqSubred"), txtLSubnet), 1, 0);
        auto* sn = new QHBoxLayout;
        sn->addWidget(txtLSubnet);
        sn->addWidget(label(Texto("EtqNodo"), txtLNode));
        sn->addWidget(txtLNode);
        sn->addStretch();
        g->addLayout(sn, 1, 1);
        auto* addrBox = new QGroupBox(Texto("EtqDireccionamiento"));
        auto* al = new QHBoxLayout(addrBox);
        al->addWidget(optLAddressing[0]);
        al->addWidget(optLAddressing[1]);
        al->addStretch();
        g->addWidget(addrBox, 2, 0, 1, 2);
        g->addWidget(label(Texto("EtqPeriodoSondeo"), txtLTimeoutPollLon), 3, 0);
        auto* pl = new QHBoxLayout;
        pl->addWidget(txtLTimeoutPollLon);
        pl->addWidget(new QLabel(Texto("Milisegundos")));
        pl->addStretch();
        g->addLayout(pl, 3, 1);
        g->setColumnStretch(1, 1);
        g->setRowStretch(4, 1);
    }

    fraDevices = new QGroupBox;
    lstMaquina = new QListWidget;
    lstMaquina->setObjectName(QStringLiteral("lstMaquina"));
    lstMaquina->setSelectionMode(QAbstractItemView::SingleSelection);
    lstMaquina->setMinimumWidth(150);
    const char* devNames[4] = {"txtMaquina0", "txtMaquina1", "txtMaquina2", "txtMaquina3"};
    const int devChars[4] = {12, 4, 4, 20};
    for (int i = 0; i < 4; ++i) txtMaquina[i] = lineEdit(devNames[i], devChars[i]);
    cmdLDevices = new QPushButton;
    cmdLDevices->setObjectName(QStringLiteral("cmdLDevices"));
    {
        auto* h = new QHBoxLayout(fraDevices);
        h->addWidget(lstMaquina, 1);
        auto* g = new QGridLayout;
        g->addWidget(label(Texto("EtqNeuronId"), txtMaquina[0]), 0, 0);
        g->addWidget(txtMaquina[0], 0, 1);
        g->addWidget(label(Texto("EtqSubred"), txtMaquina[1]), 1, 0);
        g->addWidget(txtMaquina[1], 1, 1);
        g->addWidget(label(Texto("EtqNodo"), txtMaquina[2]), 2, 0);
        g->addWidget(txtMaquina[2], 2, 1);
        m_lblNombre = label(QString(), txtMaquina[3]);
        g->addWidget(m_lblNombre, 3, 0);
        g->addWidget(txtMaquina[3], 3, 1);
        g->setRowStretch(4, 1);
        g->addWidget(cmdLDevices, 5, 0, 1, 2);
        g->setColumnStretch(1, 1);
        h->addLayout(g, 1);
    }

    txtMsg = new QPlainTextEdit;
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setReadOnly(true);
    txtMsg->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtMsg->setMinimumHeight(txtMsg->fontMetrics().lineSpacing() * 4);
    txtMsg->setMaximumHeight(txtMsg->fontMetrics().lineSpacing() * 10);

    {
        auto* g = new QGridLayout(fraConexion);
        g->setContentsMargins(0, 6, 0, 0);
        g->addWidget(fraASCII, 0, 0);
        g->addWidget(fraTCP, 0, 1);
        g->addWidget(fraVersion, 0, 2);
        g->addWidget(fraLON, 1, 0, 1, 1);
        g->addWidget(fraDevices, 1, 1, 1, 2);
        g->addWidget(txtMsg, 2, 0, 1, 3);
        g->setColumnStretch(0, 3);
        g->setColumnStretch(1, 3);
        g->setColumnStretch(2, 2);
        g->setRowStretch(1, 2);
        g->setRowStretch(2, 1);
    }

    // ---- second tab: the signal grid
    fraSenyales = new QFrame;
    fraSenyales->setObjectName(QStringLiteral("fraSenyales"));
    m_gridHost = new QVBoxLayout(fraSenyales);
    m_gridHost->setContentsMargins(0, 6, 0, 0);

    // ---- buttons; the grid commands show on the second tab only
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
    cmdImportXIF = new QPushButton(Texto("ImportarXif"));
    cmdImportXIF->setObjectName(QStringLiteral("cmdImportXIF"));
    buildCsvButtons();
    cmdAceptar = new QPushButton;
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdCancelar = new QPushButton;
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdPilmora = new QPushButton(Texto("cmdPilmora"));
    cmdPilmora->setObjectName(QStringLiteral("cmdPilmora"));
    cmdPilmora->setToolTip(Texto("GenerarFicheroPilmora"));

    buildHelpLine();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdUp);
    buttons->addWidget(cmdDown);
    buttons->addSpacing(8);
    buttons->addWidget(cmdInsertar);
    buttons->addWidget(cmdElimina);
    buttons->addWidget(cmdImportXIF);
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

    // Fits a 1024x768 screen with its task bar; larger screens get more grid.
    setMinimumSize(900, 600);
    QSize size(1180, 720);
    if (QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size() - QSize(24, 48));
    resize(size.expandedTo(minimumSize()));
}

// Menu captions (opening, step 2).
void fConfLonA::buildMenus() {
    auto fill = [this](const char* name, const QStringList& captions) { return makeMenu(name, captions); };
    buildCommonMenus();
    popmnuEdit = fill("popmnuEdit", {Texto("MenuCortar"), Texto("MenuCopiar"), Texto("MenuPegar")});
    mnuPaste = popmnuEdit->actions().at(2);
    mnuPaste->setEnabled(false);
    popmnuDir = fill("popmnuDir", {QStringLiteral("R"), QStringLiteral("W"), QStringLiteral("RW")});
    popmnuAD = fill("popmnuAD", {Texto("0-Ana"), Texto("1-Dig")});
    popmnuEnum = fill("popmnuEnum", {Texto("AutoEnumerar") + QStringLiteral("...")});
    mnuLonDataType = fill("mnuLonDataType", {QStringLiteral("0-8bit sig"), QStringLiteral("1-8bit unsig"),
                                             QStringLiteral("2-16bit sig"), QStringLiteral("3-16bit unsig"),
                                             QStringLiteral("4-32bit sig"), QStringLiteral("5-32bit unsig"),
                                             QStringLiteral("6-32bit float"), QStringLiteral("7-bit field")});
    popmnuNVAccess = fill("popmnuNVAccess", {QStringLiteral("R"), QStringLiteral("W"), QStringLiteral("RW")});
}

// Tab captions, labels and buttons (step 5), the protocol summary (step 6) and
// the help lines shown on entering each field.
void fConfLonA::setTexts() {
    TabStrip1->setTabText(0, Texto("Conexion"));
    TabStrip1->setTabText(1, Texto("Senyales"));
    TabStrip1->setTabToolTip(0, Texto("ConfConexion"));
    TabStrip1->setTabToolTip(1, Texto("ConfSenyales"));
    fraDevices->setTitle(Texto("Dispositivos"));
    cmdLDevices->setText(Texto("Dispositivos") + QStringLiteral("..."));
    m_lblNombre->setText(Texto("Nombre"));
    setSerialTexts();
    m_lblVersion->setText(Texto("Version"));
    cmdInsertar->setText(Texto("&Insertar"));
    cmdElimina->setText(Texto("&Eliminar"));
    cmdAceptar->setText(Texto("&Grabar"));
    cmdCancelar->setText(Texto("&Salir"));

    txtMsg->setPlainText(protocolSummary(Texto("ProtCambioLon")));

    setHelp(cboFirmVersion, Texto("AyudaFirmware"));
    setHelp(cboVersion, Texto("A30"));
    setHelp(optRS_TCP[0], QString());  // depends on the option chosen
    setHelp(optRS_TCP[1], QString());
    setHelp(txtIp, Texto("IPMerovantix"));
    setHelp(txtNetMask, Texto("NetMaskMerovantix"));
    setHelp(txtGateway, Texto("Gateway"));
    setHelp(txtPortASCII, Texto("AyudaPuertoTcp"));
    setHelp(txtTimeoutKeepAlive, Texto("AyudaKeepAlive"));
    const QString addressing = Texto("AyudaDireccionamiento");
    setHelp(optLAddressing[0], addressing);
    setHelp(optLAddressing[1], addressing);
    setHelp(cboLLenDomain, Texto("AyudaLongDominio"));
    setHelp(txtLDomain, Texto("AyudaDominio"));
    setHelp(txtLSubnet, Texto("AyudaSubredLon"));
    setHelp(txtLNode, Texto("AyudaNodoLon"));
    setHelp(txtLTimeoutPollLon, Texto("AyudaSondeoLon"));
    setHelp(txtMaquina[0], Texto("AyudaNeuronId"));
    setHelp(txtMaquina[1], Texto("AyudaSubredDisp"));
    setHelp(txtMaquina[2], Texto("AyudaNodoDisp"));
    setHelp(txtMaquina[3], Texto("NombreDescriptivo"));
    setHelp(lstMaquina, Texto("MarcarDispoAUtilizar"));
}

// ---------------------------------------------------------------- construction

fConfLonA::fConfLonA(QWidget* parent) : fSignalEditor(parent, LonCol::Count), m_cfg(new LonConfig) {
    buildControls();
    buildMenus();
    setTexts();
    wireEvents();
    noDefaultButton();
    TabStrip1_Click(0);
}

fConfLonA::~fConfLonA() { delete m_cfg; }

bool fConfLonA::connectionChanged() const { return m_cfg->connectionChanged; }
bool fConfLonA::gridChanged() const { return m_cfg->gridChanged; }
bool fConfLonA::connectionChangedFlag() const { return m_cfg->connectionChanged; }
bool& fConfLonA::gridChangedFlag() { return m_cfg->gridChanged; }
void fConfLonA::markGridChanged() { m_cfg->markGridChanged(); }

int fConfLonA::Muestra() {
    Form_Load();
    return exec();
}

// Opening, in the order the project is loaded: protocol and INI name, version
// lists, model, grid columns with the built-in rows, the signal table, captions.
void fConfLonA::Form_Load() {
    BusyPointer busy;
    m_protocolo = app().Protocolos.value(kSlotLon);
    app().NombreIni = m_protocolo;
    m_copyBuffer.clear();
    mnuPaste->setEnabled(false);
    endCellEdit();

    // The catalogue is read again at every opening: LON.snvt may have been edited.
    catalogoSNVT().CargaSNVT();
    *m_cfg = LonConfig();
    m_cfg->loading = true;
    RedrawOff off(*m_grid);
    loadLonProject(app().RutaProyecto, *m_cfg, *m_grid, m_info);
    for (int c = LonCol::kFirstHidden; c <= LonCol::kLastHidden; ++c) m_hiddenWidths[c] = lonColumnWidth(c);
    // Captions and menu texts come from the language file and may not fit the column.
    fitColumnsToTexts({{LonCol::DataType, mnuLonDataType},
                       {LonCol::NvAccess, popmnuNVAccess},
                       {LonCol::Direction, popmnuDir},
                       {LonCol::AD, popmnuAD},
                       {LonCol::Spontaneous, popmnuSpon},
                       {LonCol::Add, popmnuEnum},
                       {LonCol::Activa, popmnuSiNo}});
    m_grid->select(m_grid->Rows() > 1 ? 1 : 0, 1, m_grid->Rows() > 1 ? 1 : 0, 1);
    for (int r = qMax(1, m_grid->selTop()); r <= m_grid->selBottom(); ++r) ::UpdateRow(*m_grid, r);
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

// ---------------------------------------------------------------- model <-> controls

void fConfLonA::controlsFromModel() {
    LonConfig& c = *m_cfg;
    const bool wasLoading = c.loading;
    c.loading = true;
    auto fillCombo = [](QComboBox* box, const QStringList& items, int index) {
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(index >= 0 && index < items.size() ? index : -1);
    };
    fillCombo(cboVersion, LonConfig::versionItems(), int(LonConfig::versionItems().indexOf(c.GatewayVersion)));
    fillCombo(cboFirmVersion, LonConfig::firmwareItems(), c.firmwareIndex());
    serialFromModel(c, LonConfig::baudItems());
    fillCombo(cboLLenDomain, LonConfig::lenDomainItems(), int(LonConfig::lenDomainItems().indexOf(c.LenDomain)));

    txtLDomain->setText(c.Domain);
    txtLSubnet->setText(QString::number(c.Subnet));
    txtLNode->setText(QString::number(c.Node));
    optLAddressing[c.Addressing == 1 ? 1 : 0]->setChecked(true);
    // The poll period and the keep-alive show the numeric value of what is stored,
    // and are saved as shown.
    c.TimeoutPoll = QString::number(Val(c.TimeoutPoll), 'g', 15);
    txtLTimeoutPollLon->setText(c.TimeoutPoll);

    lstMaquina->clear();
    for (int n = 1; n <= c.deviceCount(); ++n) {
        auto* item = new QListWidgetItem(LonConfig::deviceListText(n), lstMaquina);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(c.device(n).On ? Qt::Checked : Qt::Unchecked);
    }
    if (lstMaquina->count() > 0) {
        c.currentDevice = 1;
        lstMaquina->setCurrentRow(0);
    } else {
        c.currentDevice = 0;
    }
    deviceFieldsFromModel();

    txtIp->setText(c.IP);
    txtNetMask->setText(c.NetMask);
    txtGateway->setText(c.Gateway);
    txtPortASCII->setText(QString::number(c.Port));
    c.tmoutKeepAlive_sec = QString::number(Val(c.tmoutKeepAlive_sec), 'g', 15);
    txtTimeoutKeepAlive->setText(c.tmoutKeepAlive_sec);
    optRS_TCP[c.RS_TCP != 0 ? 1 : 0]->setChecked(true);

    applyVersionCaption();
    applyFirmware();
    applyAddressing();
    c.loading = wasLoading;
}

void fConfLonA::deviceFieldsFromModel() {
    const LonDevice d = m_cfg->device(m_cfg->currentDevice);
    const bool any = m_cfg->currentDevice >= 1;
    txtMaquina[0]->setText(any ? d.NId : QString());
    txtMaquina[1]->setText(any ? d.Sb : QString());
    txtMaquina[2]->setText(any ? d.Nd : QString());
    txtMaquina[3]->setText(any ? d.Nm : QString());
    for (QLineEdit* e : txtMaquina) e->setEnabled(any);
    if (any) applyAddressing();
}

void fConfLonA::markConnectionChanged() { m_cfg->markConnectionChanged(); }

// Caption with the version's limits, and the address help of column 13.
void fConfLonA::applyVersionCaption() {
    setWindowTitle(m_cfg->captionText());
    if (m_info.size() > LonCol::Add) m_info[LonCol::Add].Ayuda = AyudaDireccion(m_cfg->maxAddress());
}

// The TCP fields exist only with the second firmware.
void fConfLonA::applyFirmware() {
    const bool tcp = m_cfg->tcpVisible();
    if (!tcp && optRS_TCP[1]->isChecked()) optRS_TCP[0]->setChecked(true);
    fraTCP->setVisible(tcp);
    optRS_TCP[1]->setVisible(tcp);
}

// Neuron-ID addressing edits only the Neuron-ID, subnet/node only those two.
void fConfLonA::applyAddressing() {
    const bool any = m_cfg->currentDevice >= 1;
    const bool bySubnet = optLAddressing[1]->isChecked();
    txtMaquina[0]->setEnabled(any && !bySubnet);
    txtMaquina[1]->setEnabled(any && bySubnet);
    txtMaquina[2]->setEnabled(any && bySubnet);
}

void fConfLonA::cboVersion_Click() {
    if (m_cfg->loading) return;
    m_cfg->setGatewayVersion(cboVersion->currentText());
    applyVersionCaption();
    if (lblHelp && m_grid->Col() == LonCol::Add && TabStrip1->currentIndex() == 1)
        lblHelp->setText(m_info.value(LonCol::Add).Ayuda);
}

void fConfLonA::cboFirmVersion_Click() {
    if (m_cfg->loading) return;
    m_cfg->setFwVersion(cboFirmVersion->currentText());
    const bool wasLoading = m_cfg->loading;
    m_cfg->loading = true;  // the forced transport is part of this one change
    if (m_cfg->RS_TCP == 0) optRS_TCP[0]->setChecked(true);
    m_cfg->loading = wasLoading;
    applyFirmware();
}

void fConfLonA::wireEvents() {
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int i) { TabStrip1_Click(i); });
    connect(cboVersion, &QComboBox::activated, this, [this] { cboVersion_Click(); });
    connect(cboFirmVersion, &QComboBox::activated, this, [this] { cboFirmVersion_Click(); });

    wireSerialPanel(m_cfg, [this] { markConnectionChanged(); });
    connect(cboLLenDomain, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_cfg->loading || i < 0) return;
        m_cfg->LenDomain = cboLLenDomain->itemText(i);
        markConnectionChanged();
    });
    connect(optRS_TCP[1], &QRadioButton::toggled, this, [this](bool on) {
        if (m_cfg->loading) return;
        m_cfg->RS_TCP = on ? 1 : 0;
        markConnectionChanged();
        lblHelp->setText(helpOf(optRS_TCP[1]));  // either option's help follows the one chosen
    });
    connect(optLAddressing[1], &QRadioButton::toggled, this, [this](bool on) {
        applyAddressing();
        if (m_cfg->loading) return;
        m_cfg->Addressing = on ? 1 : 0;
        markConnectionChanged();
    });
    // Texts without a leave check are taken as typed.
    connect(txtLDomain, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_cfg->Domain = t;
        markConnectionChanged();
    });
    connect(txtLTimeoutPollLon, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_cfg->TimeoutPoll = t;
        markConnectionChanged();
    });
    for (QLineEdit* e : {txtIp, txtNetMask, txtGateway, txtPortASCII, txtTimeoutKeepAlive, txtLSubnet, txtLNode,
                         txtMaquina[0], txtMaquina[1], txtMaquina[2], txtMaquina[3]}) {
        connect(e, &QLineEdit::textEdited, this, [this] { markConnectionChanged(); });
        e->installEventFilter(this);
    }

    connect(lstMaquina, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_cfg->loading) return;
        m_cfg->currentDevice = row + 1;
        deviceFieldsFromModel();
    });
    connect(lstMaquina, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_cfg->loading) return;
        LonDevice* d = m_cfg->devicePtr(lstMaquina->row(item) + 1);
        if (!d) return;
        const bool on = item->checkState() == Qt::Checked;
        if (d->On == on) return;
        d->On = on;
        markConnectionChanged();
    });

    connect(cmdLDevices, &QPushButton::clicked, this, [this] { cmdLDevices_Click(); });
    connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] { reject(); });
    connect(cmdPilmora, &QPushButton::clicked, this, [this] { cmdPilmora_Click(); });
    connect(cmdInsertar, &QPushButton::clicked, this, [this] { cmdInsertar_Click(); });
    connect(cmdElimina, &QPushButton::clicked, this, [this] { cmdElimina_Click(); });
    connect(cmdUp, &QToolButton::clicked, this, [this] { cmdUp_Click(); });
    connect(cmdDown, &QToolButton::clicked, this, [this] { cmdDown_Click(); });
    connect(cmdImportXIF, &QPushButton::clicked, this, [this] { cmdImportXIF_Click(); });

    wireGrid();
}

QString fConfLonA::helpOf(QWidget* w) const {
    if (w == optRS_TCP[0] || w == optRS_TCP[1])
        return optRS_TCP[1]->isChecked() ? Texto("AyudaAsciiTcp") : Texto("AyudaAsciiRs232");
    return fSignalEditor::helpOf(w);
}

// ---------------------------------------------------------------- field checks

// Runs the leave check of a field and shows what the check leaves in it.
void fConfLonA::fieldLeft(QWidget* w) {
    if (m_inFieldCheck || m_cfg->loading) return;
    auto* e = qobject_cast<QLineEdit*>(w);
    if (!e) return;
    m_inFieldCheck = true;
    LonConfig& c = *m_cfg;
    const QString t = e->text();
    QString shown = t;
    bool known = true;
    if (e == txtIp)
        shown = lonLeaveIp(c, t);
    else if (e == txtNetMask)
        shown = lonLeaveNetMask(c, t);
    else if (e == txtGateway)
        shown = lonLeaveGateway(c, t);
    else if (e == txtPortASCII)
        shown = lonLeavePort(c, t);
    else if (e == txtTimeoutKeepAlive)
        shown = lonLeaveKeepAlive(c, t);
    else if (e == txtTimeoutAscii)
        shown = lonLeaveAsciiTimeout(c, t);
    else if (e == txtLSubnet)
        shown = lonLeaveLonSubnet(c, t);
    else if (e == txtLNode)
        shown = lonLeaveLonNode(c, t);
    else if (c.currentDevice >= 1 &&
             (e == txtMaquina[0] || e == txtMaquina[1] || e == txtMaquina[2] || e == txtMaquina[3])) {
        const int field = e == txtMaquina[0] ? 0 : e == txtMaquina[1] ? 1 : e == txtMaquina[2] ? 2 : 3;
        shown = lonLeaveDeviceField(c, c.currentDevice, field, t);
    } else {
        known = false;
    }
    if (known && shown != t) e->setText(shown);
    m_inFieldCheck = false;
}

// ---------------------------------------------------------------- tabs

void fConfLonA::TabStrip1_Click(int index) {
    if (index != m_currentTab) endCellEdit();
    m_currentTab = index;
    fraConexion->setVisible(index == 0);
    fraSenyales->setVisible(index == 1);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdInsertar, cmdElimina, cmdImportXIF, cmdExportar, cmdImportar,
                                                      cmdUp, cmdDown})
        w->setVisible(index == 1);
    lblHelp->setText(TabStrip1->tabToolTip(index));
}

// ---------------------------------------------------------------- devices dialog

void fConfLonA::cmdLDevices_Click() {
    commitFocusedField();
    if (m_cfg->PideNumeroDispositivos()) {
        // The new count is on disk; the window is reopened to load it.
        QDialog::reject();
    }
}

// ---------------------------------------------------------------- save, generate, close

void fConfLonA::cmdAceptar_Click() {
    commitFocusedField();
    endCellEdit();
    Limpia_FilasVacias(*m_grid);
    if (!Valida_Opciones(*m_grid, kLonChoiceCols) || !Valida_Puntos(*m_cfg, *m_grid)) {
        showGridFault(TabStrip1, 1);
        return;
    }
    if (!Valida_Dispositivos(*m_cfg)) return;
    if (Msgbox1(Texto("A23"), QString::fromLatin1(kAppTitle), 1, 1, 2, Texto("Si"), Texto("No")) == 2) return;
    // A save that failed stops here: the change flags stay set, nothing is generated.
    if (!saveLonProject(*m_cfg, *m_grid)) return;
    app().ProtProyecto = m_protocolo;
    app().IPNueva = txtIp->text();
    cmdPilmora_Click();
}

void fConfLonA::cmdPilmora_Click() {
    commitFocusedField();
    if (m_cfg->connectionChanged) {
        Aviso(Texto("PrimeroDebeGrabarLosCambios"));
        return;
    }
    if (Msgbox1(Texto("A24"), QString::fromLatin1(kAppTitle), 1, 1, 2, Texto("Si"), Texto("No")) == 2) return;
    Genera_FicheroDescarga(*m_cfg, *m_grid, m_generationTime);
    cmdPilmora->setEnabled(false);
}

// ---------------------------------------------------------------- signal grid

void fConfLonA::wireGrid() {
    wireGridView(m_gridHost, {mnuLonDataType, popmnuDir, popmnuAD, popmnuSpon, popmnuSiNo});
    connect(grid, &SignalGridView::altUpPressed, this, [this] {
        if (cmdUp->isEnabled()) cmdUp_Click();
    });
    connect(grid, &SignalGridView::altDownPressed, this, [this] {
        if (cmdDown->isEnabled()) cmdDown_Click();
    });
    connect(popmnuNVAccess, &QMenu::triggered, this, [this](QAction* a) {
        fillColumn(LonCol::NvAccess, a->text());
        for (int r = qMax(1, m_grid->selTop()); r <= m_grid->selBottom(); ++r)
            if (!m_grid->isRowHidden(r)) ::UpdateRow(*m_grid, r);
    });
    connect(popmnuEnum, &QMenu::triggered, this, [this] {
        bool changed = false;
        const int col = m_menuCol;
        const qint32 maximum = col == LonCol::Disp  ? m_cfg->maxDevices()
                               : col == LonCol::Add ? m_cfg->maxAddress()
                                                    : 1000000;
        Auto_Enumera(*m_grid, col, m_grid->TextMatrix(0, col), changed, maximum);
        if (changed) m_cfg->markGridChanged();
    });
    connect(popmnuColumns, &QMenu::triggered, this, [this] { toggleHiddenColumns(); });
    const QList<QAction*> edit = popmnuEdit->actions();
    connect(edit.at(0), &QAction::triggered, this, [this] {
        gridOp([this](bool& changed) {
            if (Corta_Fila(*m_grid, m_copyBuffer, changed)) mnuPaste->setEnabled(true);
        });
    });
    connect(edit.at(1), &QAction::triggered, this, [this] {
        if (Copia_Fila(*m_grid, m_copyBuffer)) mnuPaste->setEnabled(true);
    });
    connect(mnuPaste, &QAction::triggered, this,
            [this] { gridOp([this](bool& changed) { Pega_Fila(*m_grid, m_copyBuffer, changed); }); });
}

// The device of a communication-error row is fixed.
bool fConfLonA::cellTypable(int row, int col) const {
    if (!fSignalEditor::cellTypable(row, col)) return false;
    return !(col == LonCol::Disp && Val(m_grid->TextMatrix(row, LonCol::Snvt)) < 0);
}

// The menu of a right click: "Show/Hide columns" on the captions, otherwise the
// menu of the column (the ones for NV data only on rows with a real SNVT).
QMenu* fConfLonA::gridRightClick(int row, int col, bool exec, const QPoint& at) {
    endCellEdit();
    QMenu* menu = nullptr;
    if (row == 0) {
        menu = popmnuColumns;
    } else if (row >= 1 && row < m_grid->Rows() && col >= 0 && col < m_grid->Cols()) {
        selectClickedCell(row, col);
        const bool nv = Val(m_grid->TextMatrix(row, LonCol::Snvt)) > -1;
        switch (col) {
            case LonCol::SnvtName:
                // Not a menu: the chooser, preset to the row's type.
                if (nv) {
                    snvtChooser()->SNVTLink_Muestra(this, m_grid->TextMatrix(row, LonCol::SnvtName));
                    if (exec) m_snvt->exec();
                }
                break;
            case LonCol::DataType:
                menu = nv ? mnuLonDataType : nullptr;
                break;
            case LonCol::NvAccess:
                menu = nv ? popmnuNVAccess : nullptr;
                break;
            case LonCol::Direction:
                menu = nv ? popmnuDir : nullptr;
                break;
            case LonCol::AD:
                menu = nv ? popmnuAD : nullptr;
                break;
            case LonCol::Spontaneous:
                menu = popmnuSpon;
                break;
            case LonCol::Add:
                menu = popmnuEnum;
                break;
            case LonCol::Activa:
                menu = popmnuSiNo;
                break;
            default:
                menu = popmnuEdit;
                break;
        }
    }
    m_menuCol = col;
    if (menu && exec) menu->exec(at.isNull() ? QCursor::pos() : at);
    return menu;
}

// Columns 5..10 between hidden and their normal widths.
void fConfLonA::toggleHiddenColumns() {
    const bool hidden = m_grid->ColWidth(LonCol::kFirstHidden) == 0;
    for (int c = LonCol::kFirstHidden; c <= LonCol::kLastHidden; ++c) {
        if (hidden) {
            m_grid->setColWidth(c, m_hiddenWidths.value(c, lonColumnWidth(c)));
        } else {
            if (m_grid->ColWidth(c) > 0) m_hiddenWidths[c] = m_grid->ColWidth(c);
            m_grid->setColWidth(c, 0);
        }
    }
}

void fConfLonA::UpdateRow(int row) { ::UpdateRow(*m_grid, row); }

void fConfLonA::SNVTLink_Pasa(double index) {
    gridOp([&](bool& changed) { changed = ::SNVTLink_Pasa(*m_grid, catalogoSNVT(), int(index)); });
}

fSNVT* fConfLonA::snvtChooser() {
    if (!m_snvt) m_snvt = new fSNVT(this);
    return m_snvt;
}

fImportXif* fConfLonA::importWindow() {
    if (!m_import) m_import = new fImportXif(this);
    return m_import;
}

void fConfLonA::cmdImportXIF_Click() {
    endCellEdit();
    importWindow()->Muestra();
    grid->setFocus();
}

void fConfLonA::cmdInsertar_Click() {
    endCellEdit();
    gridOp([this](bool& changed) {
        Inserta_Fila(*m_grid, changed);
        lonInitInsertedRow(*m_grid, m_grid->Row());
    });
    grid->setFocus();
}

void fConfLonA::cmdElimina_Click() {
    endCellEdit();
    gridOp([this](bool& changed) { Elimina_Filas(*m_grid, *txtEdit, changed); });
    grid->setFocus();
}

void fConfLonA::cmdUp_Click() {
    endCellEdit();
    gridOp([this](bool& changed) { Mueve_Filas(*m_grid, changed, true); });
    grid->setFocus();
}

void fConfLonA::cmdDown_Click() {
    endCellEdit();
    gridOp([this](bool& changed) { Mueve_Filas(*m_grid, changed, false); });
    grid->setFocus();
}

// ---------------------------------------------------------------- spreadsheet files

int fConfLonA::protocolSlot() const { return kSlotLon; }

bool fConfLonA::csvExport(const QString& path, QChar separator, QString* error) {
    return lonCsvExport(path, *m_grid, *m_cfg, separator, error);
}

bool fConfLonA::csvImport(const CsvRecords& records, QStringList* faults, int* rows) {
    return lonCsvImport(records, *m_cfg, *m_grid, faults, rows);
}
