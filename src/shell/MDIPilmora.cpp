#include "MDIPilmora.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "DownloadHistory.h"
#include "GatewayLink.h"
#include "LinkControls.h"
#include "Prompts.h"
#include "SenyalesMonitor.h"
#include "WindowPlacement.h"
#include "fAbout.h"
#include "fConfLonA.h"
#include "fConfMbs6A.h"
#include "fConfPort.h"
#include "fDiferencias.h"
#include "fHistorial.h"
#include "fProject.h"
#include "fTestA.h"
#include "fTestExterno.h"
#include "fTestPilmora.h"
#include "PdfReport.h"
#include "fVerDatos.h"
#include "mIdioma.h"

namespace {
QAction* accion(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu* submenu(QWidget* parent, const char* name, const QString& caption) {
    auto* m = new QMenu(caption, parent);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
}

void separador(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); }

QFrame* marcaTransferencia(QWidget* parent, const char* name, const QColor& colour) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFixedSize(12, 12);
    f->setFrameShape(QFrame::Box);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, colour);
    f->setPalette(pal);
    // Shown and hidden during a transfer without moving the controls beside it.
    QSizePolicy sp = f->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    f->setSizePolicy(sp);
    f->setVisible(false);
    return f;
}
}  // namespace

void MuestraVentana(QWidget* form) {
    if (!form) return;
    QWidget* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    if (!frame) frame = form;
    if (frame->isMinimized()) frame->showNormal();
    if (!form->isVisible()) frame->show();  // the form shows with its frame
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    } else {
        frame->raise();
        frame->activateWindow();
    }
    form->setFocus();
}

MDIPilmora::MDIPilmora(QWidget* parent) : QMainWindow(parent) {
    Q_INIT_RESOURCE(resources);
    setObjectName(QStringLiteral("MDIPilmora"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/pilmora.svg")));

    construyeMenus();
    construyeConsola();
    construyeEstado();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &MDIPilmora::Timer1_Timer);
    m_link = new GatewayLink(this);
    // Value reports land in the monitor signal list, which outlives every window.
    static SenyalesSink sink;
    m_link->setValueSink(&sink);
    // Every send leaves its row in the project's History.csv.
    new HistoryRecorder(m_link, this);
    m_link->setTextViewer([this](const QString& text) {
        fDiferencias window(text, this);
        window.exec();
    });
    conectaEnlace();
    // Timer2 has no action; it is kept so the set of controls is complete.
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));

    resize(1100, 720);
}

MDIPilmora::~MDIPilmora() {
    // The child windows go before the link: a spy monitor switches its spy off
    // as it goes, and the link's echo must not reach a monitor already gone.
    disconnect(m_link, nullptr, this, nullptr);
    m_fTestPilmora = nullptr;
}

void MDIPilmora::construyeMenus() {
    QMenuBar* bar = menuBar();

    mnuArchivo = submenu(this, "mnuArchivo", QStringLiteral("&Archivo"));
    mnuAProject = accion(mnuArchivo, "mnuAProject", QStringLiteral("&Proyectos..."));
    mnuAHistorial = accion(mnuArchivo, "mnuAHistorial", QStringLiteral("&Historial..."));
    mnuAHistorial->setEnabled(false);
    mnuAInforme = accion(mnuArchivo, "mnuAInforme", QStringLiteral("&Informe..."));
    mnuAInforme->setEnabled(false);  // both wait for a project
    separador(mnuArchivo, "mnuSep1");
    mnuASalir = accion(mnuArchivo, "mnuASalir", QStringLiteral("&Salir"));
    bar->addMenu(mnuArchivo);

    mnuVer = submenu(this, "mnuVer", QStringLiteral("&Ver"));
    mnuVDatos = accion(mnuVer, "mnuVDatos", QStringLiteral("&Datos..."));
    separador(mnuVer, "mnuSep2");
    mnuVProtocolos = submenu(mnuVer, "mnuVProtocolos", QStringLiteral("&Bus"));
    mnuVInterno = accion(mnuVProtocolos, "mnuVInterno", QStringLiteral("ASCII..."));
    mnuVPTester = accion(mnuVProtocolos, "mnuVPTester", QStringLiteral("&Tester..."));
    mnuVPExterno = accion(mnuVProtocolos, "mnuVPExterno", QStringLiteral("&Externo..."));
    mnuVer->addMenu(mnuVProtocolos);
    bar->addMenu(mnuVer);

    mnuConfiguracion = submenu(this, "mnuConfiguracion", QStringLiteral("&Configuracion"));
    mnuCConexion = accion(mnuConfiguracion, "mnuCConexion", QStringLiteral("&Conexion..."));
    mnuCIdioma = submenu(mnuConfiguracion, "mnuCIdioma", QStringLiteral("&Idioma"));
    mnuConfiguracion->addMenu(mnuCIdioma);
    separador(mnuConfiguracion, "mnuSep3");
    mnuCProtocolo = accion(mnuConfiguracion, "mnuCProtocolo", QStringLiteral("Merovantix..."));
    bar->addMenu(mnuConfiguracion);

    mnuVentanas = submenu(this, "mnuVentanas", QStringLiteral("&Ventanas"));
    mnuVMosaico = accion(mnuVentanas, "mnuVMosaico", QStringLiteral("&Mosaico"));
    mnuVCascada = accion(mnuVentanas, "mnuVCascada", QStringLiteral("&Cascada"));
    bar->addMenu(mnuVentanas);

    mnuAyuda = submenu(this, "mnuAyuda", QStringLiteral("&?"));
    mnuAcercade = accion(mnuAyuda, "mnuAcercade", QStringLiteral("&Acerca de..."));
    bar->addMenu(mnuAyuda);

    // Popup over the viewer's grid; never on the bar.
    popmnuRefresh = submenu(this, "popmnuRefresh", QStringLiteral("popmnuRefresh"));
    mnuRefresh = accion(popmnuRefresh, "mnuRefresh", QString());
    mnuEdit = accion(popmnuRefresh, "mnuEdit", QString());

    m_grupoIdiomas = new QActionGroup(this);
    m_grupoIdiomas->setExclusive(true);

    connect(mnuAProject, &QAction::triggered, this, &MDIPilmora::mnuAProject_Click);
    connect(mnuAHistorial, &QAction::triggered, this, &MDIPilmora::mnuAHistorial_Click);
    connect(mnuAInforme, &QAction::triggered, this, &MDIPilmora::mnuAInforme_Click);
    connect(mnuASalir, &QAction::triggered, this, &MDIPilmora::mnuASalir_Click);
    connect(mnuCConexion, &QAction::triggered, this, &MDIPilmora::mnuCConexion_Click);
    connect(mnuCProtocolo, &QAction::triggered, this, &MDIPilmora::mnuCProtocolo_Click);
    connect(mnuVMosaico, &QAction::triggered, this, &MDIPilmora::mnuVMosaico_Click);
    connect(mnuVCascada, &QAction::triggered, this, &MDIPilmora::mnuVCascada_Click);
    connect(mnuAcercade, &QAction::triggered, this, &MDIPilmora::mnuAcercade_Click);
    connect(mnuVDatos, &QAction::triggered, this, &MDIPilmora::mnuVDatos_Click);
    connect(mnuVInterno, &QAction::triggered, this, [this] { MuestraMonitor(0); });
    connect(mnuVPTester, &QAction::triggered, this, [this] { MuestraMonitor(1); });
    connect(mnuVPExterno, &QAction::triggered, this, [this] { MuestraMonitor(100); });
    connect(mnuRefresh, &QAction::triggered, this, [this] {
        if (m_fVerDatos) m_fVerDatos->mnuRefresh_Click();
    });
    connect(mnuEdit, &QAction::triggered, this, [this] {
        if (m_fVerDatos) m_fVerDatos->mnuEdit_Click();
    });

    for (QAction* a : {mnuVDatos, mnuVInterno, mnuVPTester, mnuVPExterno, mnuCConexion, mnuAcercade, mnuRefresh,
                       mnuEdit})
        a->setEnabled(true);
}

void MDIPilmora::construyeConsola() {
    auto* central = new QWidget(this);
    picPilmora = new QWidget(central);
    picPilmora->setObjectName(QStringLiteral("picPilmora"));
    picPilmora->setVisible(false);

    cboCmd = new QComboBox(picPilmora);
    cboCmd->setObjectName(QStringLiteral("cboCmd"));
    cboCmd->setEditable(true);
    cboCmd->setInsertPolicy(QComboBox::NoInsert);
    cboCmd->setMinimumWidth(260);
    cboCmd->setMaxVisibleItems(20);
    cmdEnviar = new QPushButton(picPilmora);
    cmdEnviar->setObjectName(QStringLiteral("cmdEnviar"));
    cboFichero = new QComboBox(picPilmora);
    cboFichero->setObjectName(QStringLiteral("cboFichero"));
    cboFichero->setMinimumWidth(160);
    cmdSendFilePilmora = new QPushButton(picPilmora);
    cmdSendFilePilmora->setObjectName(QStringLiteral("cmdSendFilePilmora"));
    chkOnline = new QPushButton(picPilmora);  // its text comes with the language
    chkOnline->setObjectName(QStringLiteral("chkOnline"));
    chkOnline->setCheckable(true);
    chkOnline->setMinimumWidth(90);
    chkOnline->setAutoFillBackground(true);
    ProgressBar1 = new QProgressBar(picPilmora);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedWidth(160);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    {
        QSizePolicy sp = ProgressBar1->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        ProgressBar1->setSizePolicy(sp);
    }
    ProgressBar1->setVisible(false);
    shpTransfer1 = marcaTransferencia(picPilmora, "shpTransfer1", QColor(0, 160, 0));
    shpTransfer2 = marcaTransferencia(picPilmora, "shpTransfer2", QColor(255, 160, 0));
    imgLogo = new QLabel(picPilmora);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(QIcon(QStringLiteral(":/icons/pilmora.svg")).pixmap(28, 28));

    // Everything that needs the link starts disabled; the link enables it.
    for (QWidget* w : {static_cast<QWidget*>(cmdEnviar), static_cast<QWidget*>(cmdSendFilePilmora),
                       static_cast<QWidget*>(chkOnline), static_cast<QWidget*>(cboFichero)})
        w->setEnabled(false);

    auto* h = new QHBoxLayout(picPilmora);
    h->setContentsMargins(6, 4, 6, 4);
    h->addWidget(cboCmd, 2);
    h->addWidget(cmdEnviar);
    h->addSpacing(12);
    h->addWidget(cboFichero, 1);
    h->addWidget(cmdSendFilePilmora);
    h->addSpacing(12);
    h->addWidget(chkOnline);
    h->addSpacing(12);
    h->addWidget(ProgressBar1);
    h->addWidget(shpTransfer1);
    h->addWidget(shpTransfer2);
    h->addStretch(0);
    h->addWidget(imgLogo);

    mdiArea = new QMdiArea(central);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* line = new QFrame(central);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(picPilmora);
    v->addWidget(line);
    v->addWidget(mdiArea, 1);
    setCentralWidget(central);
}

void MDIPilmora::construyeEstado() {
    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("stsBar"));
    sb->setSizeGripEnabled(true);
    const int minimos[4] = {180, 90, 0, 0};
    for (int i = 0; i < 4; ++i) {
        m_panel[i] = new QLabel(sb);
        m_panel[i]->setObjectName(QStringLiteral("stsBar(%1)").arg(i + 1));
        m_panel[i]->setFrameShape(QFrame::StyledPanel);
        m_panel[i]->setFrameShadow(QFrame::Sunken);
        m_panel[i]->setMinimumWidth(minimos[i]);
        m_panel[i]->setContentsMargins(4, 0, 4, 0);
        sb->addPermanentWidget(m_panel[i], i >= 2 ? 1 : 0);
    }
}

QString MDIPilmora::panel(int n) const { return (n >= 1 && n <= 4) ? m_panel[n - 1]->text() : QString(); }


bool MDIPilmora::Form_Load() {
    auto& a = app();
    // 2. Protocol table; slot 0 is the section of the ASCII-side settings.
    LlenaProtocolos();

    // 3. Menu fix-ups.
    mnuASalir->setEnabled(true);
    mnuCConexion->setVisible(true);

    // 4. Caption and console strip.
    setWindowTitle(QString::fromLatin1(kAppTitle));
    picPilmora->setVisible(true);

    // 5. Language texts; an unusable file has already said so.
    a.Textos.clear();
    a.Idiomas.clear();
    if (!CargaIdioma()) return false;

    // 6. Serial control settings and the console commands.
    m_comPort = LeeConfigSerie();
    m_link->setSerial(m_comPort.com, m_comPort.settings, m_comPort.device);
    m_historial.load();
    llenaComandos();
    // The command line starts empty; the list offers the commands.
    cboCmd->setCurrentIndex(-1);

    // 7. and 8. Folders; a missing templates folder is reported and start-up goes on.
    ResuelveRutas();
    CompruebaPlantillas();

    // 9. Language menu, 10. captions.
    cargaMenuIdiomas();
    ponTextos();

    // 11. Link monitor.
    muestraMonitor();

    // 12. Link supervision tick.
    Timer1->setInterval(1000);
    Timer1->start();

    // 13. What needs an open project.
    mnuVer->menuAction()->setEnabled(false);
    mnuCConexion->setEnabled(false);
    mnuCProtocolo->setEnabled(false);

    // 14. The project to preselect in the catalogue.
    LeeUltimoProyecto();
    return true;
}

void MDIPilmora::cargaMenuIdiomas() {
    for (QAction* act : mnuCISel) {
        mnuCIdioma->removeAction(act);
        m_grupoIdiomas->removeAction(act);
        delete act;
    }
    mnuCISel.clear();
    const QStringList& idiomas = app().Idiomas;
    for (int i = 0; i < idiomas.size(); ++i) {
        QAction* act = mnuCIdioma->addAction(idiomas[i]);
        act->setObjectName(QStringLiteral("mnuCISel(%1)").arg(i));
        act->setCheckable(true);
        act->setEnabled(true);
        m_grupoIdiomas->addAction(act);
        connect(act, &QAction::triggered, this, [this, i] { mnuCISel_Click(i); });
        mnuCISel << act;
    }
    const int sel = app().Idioma;
    if (sel >= 0 && sel < mnuCISel.size()) mnuCISel[sel]->setChecked(true);
}

void MDIPilmora::ponTextos() {
    mnuArchivo->setTitle(Texto("mnuArchivo"));
    mnuAProject->setText(QStringLiteral("&") + Texto("Proyecto") + QStringLiteral("s..."));
    mnuAHistorial->setText(Texto("mnuAHistorial"));
    mnuAInforme->setText(Texto("mnuInforme"));
    mnuASalir->setText(Texto("mnuASalir"));
    mnuVer->setTitle(Texto("mnuVer"));
    mnuVDatos->setText(Texto("mnuVDatos"));
    mnuVProtocolos->setTitle(Texto("mnuVProtocolos"));
    mnuVInterno->setText(Texto("mnuVInterno"));
    mnuVPTester->setText(Texto("mnuVPTester"));
    mnuVPExterno->setText(Texto("mnuVPExternoPlmx"));
    mnuConfiguracion->setTitle(Texto("mnuConfiguracion"));
    mnuCIdioma->setTitle(Texto("mnuCIdioma"));
    mnuCConexion->setText(Texto("mnuCConexion"));
    mnuCProtocolo->setText(Texto("mnuCProtocolo"));
    mnuVentanas->setTitle(Texto("mnuVentanas"));
    mnuVMosaico->setText(Texto("mnuVMosaico"));
    mnuVCascada->setText(Texto("mnuVCascada"));
    mnuAyuda->setTitle(Texto("mnuAyuda"));
    mnuAcercade->setText(Texto("mnuAcercade"));
    cmdEnviar->setText(Texto("cmdEnviar"));
    cmdSendFilePilmora->setText(Texto("cmdSendFilePilmora"));
    chkOnline->setText(chkOnline->isChecked() ? Texto("EnLinea") : Texto("FueraDeLinea"));
    mnuRefresh->setText(Texto("MenuRefrescar"));
    mnuEdit->setText(Texto("MenuEditarValor"));
    m_panel[0]->setToolTip(Texto("Proyecto"));
    m_panel[1]->setToolTip(Texto("Fabricante"));
    m_panel[2]->setToolTip(Texto("Descripcion"));
}

void MDIPilmora::muestraMonitor() {
    if (!m_fTestPilmora) {
        m_fTestPilmora = new fTestPilmora;
        // The user cannot close the link monitor: it has no close button either.
        QMdiSubWindow* sub = mdiArea->addSubWindow(
            m_fTestPilmora, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowMinMaxButtonsHint);
        sub->setObjectName(QStringLiteral("subfTestPilmora"));
    }
    QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(m_fTestPilmora->parentWidget());
    sub->show();
    sub->setGeometry(0, 0, twipsToPx(7000), twipsToPx(4000));
}

void MDIPilmora::mnuAProject_Click() {
    const QString antes = app().RutaProyecto;
    {
        fProject catalogo(this);
        catalogo.exec();
    }
    // The viewer, its trends and the monitors showed the project before: they go with it.
    if (app().RutaProyecto != antes) cierraVentanasProyecto();
    muestraProyecto();
}

void MDIPilmora::cierraVentanasProyecto() {
    for (QWidget* w : std::initializer_list<QWidget*>{m_fVerDatos, m_fTestA, m_fTestExterno}) {
        if (!w) continue;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
            sub->close();
        else
            w->close();
    }
}

void MDIPilmora::mnuAHistorial_Click() {
    if (app().ProtProyecto.isEmpty()) return;
    fHistorial window(app().RutaProyecto, this);
    window.exec();
}

void MDIPilmora::mnuAInforme_Click() {
    const QString pdf = Texto("InformeTipoPdf");
    const QString path = QFileDialog::getSaveFileName(
        this, Texto("InformeTitulo"), QDir(app().RutaProyecto).filePath(app().NombreProyecto + QStringLiteral(".pdf")),
        pdf + QStringLiteral(";;") + Texto("InformeTipoHtml"));
    if (path.isEmpty()) return;
    QString error;
    bool ok = false;
    {
        BusyPointer busy;
        ok = escribeInforme(app().RutaProyecto, path, &error);
    }
    Aviso(ok ? Texto("InformeEscrito") + QLatin1Char('\r') + path : error, ok ? 2 : 3);
}

void MDIPilmora::muestraProyecto() {
    auto& a = app();
    if (a.ProtProyecto.isEmpty()) {
        // Nothing chosen (or the open project was deleted): no project is open.
        a.NombreProyecto.clear();
        for (QLabel* p : m_panel) p->clear();
        aplicaControles();
        return;
    }
    m_panel[0]->setText(a.NombreProyecto);
    m_panel[1]->setText(a.ProtProyecto);
    m_panel[2]->setText(a.DescProyecto);
    mnuVPExterno->setText(a.ProtProyecto + QStringLiteral("..."));
    LeeEnlaceProyecto();
    aplicaControles();
}

bool MDIPilmora::AbreEditor(int slot) {
    switch (slot) {
        case kSlotLon:
            // fConfLonA, created once and shown modally; it loads the project each time.
            if (!m_fConfLonA) m_fConfLonA = new fConfLonA(this);
            m_fConfLonA->Muestra();
            return true;
        case kSlotMbs6:
            // fConfMbs6A, created once and shown modally; it loads the project each time.
            if (!m_fConfMbs6A) m_fConfMbs6A = new fConfMbs6A(this);
            m_fConfMbs6A->Muestra();
            return true;
        default:
            return false;
    }
}

void MDIPilmora::mnuCProtocolo_Click() {
    // An unknown protocol opens nothing.
    const int slot = slotDeProtocolo(app().ProtProyecto);
    if (slot >= 0) AbreEditor(slot);
}

void MDIPilmora::mnuCConexion_Click() {
    fConfPort dlg(m_comPort, puertoAbierto(), this);
    // The link takes the serial settings the dialog saved; while its port is
    // open a new speed waits there for the next open.
    if (dlg.exec() == QDialog::Accepted) m_link->setSerial(m_comPort.com, m_comPort.settings, m_comPort.device);
}

bool MDIPilmora::puertoAbierto() const { return m_link->serialOpen(); }

void MDIPilmora::mnuASalir_Click() { close(); }

void MDIPilmora::mnuCISel_Click(int index) {
    const int antes = app().Idioma;
    if (antes >= 0 && antes < mnuCISel.size()) mnuCISel[antes]->setChecked(false);
    if (index >= 0 && index < mnuCISel.size()) mnuCISel[index]->setChecked(true);
    CambiaIdioma(index);
}

void MDIPilmora::mnuVMosaico_Click() {
    // The viewer first, then its trends, then the monitors: each wide enough to be read.
    QList<QMdiSubWindow*> subs, rest;
    for (QMdiSubWindow* s : mdiArea->subWindowList()) {
        if (!s->isVisible() || s->isMinimized()) continue;
        if (m_fVerDatos && s->widget() == m_fVerDatos)
            subs.prepend(s);
        else if (s->widget() && s->widget()->objectName() == QLatin1String("fTendencia"))
            subs.append(s);
        else
            rest.append(s);
    }
    subs += rest;
    if (subs.isEmpty()) return;
    const QRect area = mdiArea->viewport()->rect();
    const bool viewer = m_fVerDatos && subs.first()->widget() == m_fVerDatos;
    const int viewerWidth = viewer ? qMin(m_fVerDatos->sizeHint().width(), area.width()) : 0;
    const QVector<QRect> cells = tileRects(area, int(subs.size()), kAnchoUtil, viewerWidth);
    for (int i = 0; i < subs.size(); ++i) {
        subs[i]->showNormal();
        subs[i]->setGeometry(cells[i]);
    }
}

void MDIPilmora::mnuVCascada_Click() { mdiArea->cascadeSubWindows(); }

void MDIPilmora::mnuAcercade_Click() {
    fAbout about(this);
    about.exec();
}

void MDIPilmora::Timer1_Timer() { m_link->onTick(); }

void MDIPilmora::conectaEnlace() {
    connect(chkOnline, &QPushButton::clicked, this, &MDIPilmora::chkOnline_Click);
    connect(cmdEnviar, &QPushButton::clicked, this, &MDIPilmora::cmdEnviar_Click);
    // Enter in the command box sends, but only while sending is allowed.
    connect(cboCmd->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (cmdEnviar->isEnabled()) cmdEnviar_Click();
    });
    connect(cmdSendFilePilmora, &QPushButton::clicked, this, &MDIPilmora::cmdSendFilePilmora_Click);

    connect(m_link, &GatewayLink::monitorText, this, [this](const QString& text, const QString& prefix) {
        if (m_fTestPilmora) m_fTestPilmora->VerTramas(text, prefix);
    });
    connect(m_link, &GatewayLink::spyLineReceived, this, [this](const QString& bus, const QString& text) {
        if (bus == QLatin1String("INT") && m_fTestA) m_fTestA->VerTramas(text);
        if (bus == QLatin1String("EXT") && m_fTestExterno) m_fTestExterno->VerTramas(text);
    });
    connect(m_link, &GatewayLink::monitorCaption, this, [this](const QString& caption) {
        if (m_fTestPilmora) m_fTestPilmora->setWindowTitle(caption);
    });
    connect(m_link, &GatewayLink::linkOpened, this, [this] { ponEnLinea(true); });
    connect(m_link, &GatewayLink::linkClosed, this, [this] {
        cboFichero->clear();
        ponEnLinea(false);
    });
    connect(m_link, &GatewayLink::stateChanged, this, [this] { aplicaControles(); });
    connect(m_link, &GatewayLink::livenessChanged, this, [this] { ponColor(); });
    connect(m_link, &GatewayLink::linkStatus, this, [this](const QString& text) {
        m_panel[3]->setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char(' ')));
    });
    connect(m_link, &GatewayLink::protocolConfirmed, this, [this](const QString& fileName) {
        cboFichero->clear();
        cboFichero->addItem(fileName);
        cboFichero->setCurrentIndex(0);
        aplicaControles();
        Carga_DatosMFAPilmora(app().ProtEquipo);
        if (m_fVerDatos) m_fVerDatos->Datos_Carga();
    });
    connect(m_link, &GatewayLink::viewerReloadRequested, this, [this] {
        if (m_fVerDatos) m_fVerDatos->Datos_Carga();
    });
    connect(m_link, &GatewayLink::transferStarted, this, [this](int chunks) {
        ProgressBar1->setRange(0, chunks);
        ProgressBar1->setValue(0);
        ProgressBar1->setVisible(true);
        shpTransfer1->setVisible(true);
    });
    connect(m_link, &GatewayLink::transferProgress, this, [this](int sent, int) {
        shpTransfer2->setVisible(!shpTransfer2->isVisible());
        ProgressBar1->setValue(sent);
    });
    connect(m_link, &GatewayLink::transferFinished, this, [this](bool ok, const QString& message) {
        shpTransfer1->setVisible(false);
        shpTransfer2->setVisible(false);
        ProgressBar1->setVisible(false);
        // Acknowledged by the engineer, once the link's own handling is done; the
        // result stays in the status bar.
        QTimer::singleShot(0, this, [ok, message] {
            if (ok)
                MsgBox(message, Msg::Information);
            else
                Aviso(message, 3);
        });
    });
}

void MDIPilmora::ponEnLinea(bool on) {
    // The caption and colour say the link state; the check follows the link,
    // not the click, so a refused or failed change leaves no false state.
    const QSignalBlocker block(chkOnline);
    chkOnline->setChecked(on);
    chkOnline->setText(on ? Texto("EnLinea") : Texto("FueraDeLinea"));
    aplicaControles();
}

void MDIPilmora::ponColor() {
    // Green only for a gateway that confirmed the protocol and still answers.
    QColor c = QApplication::palette().color(QPalette::Button);
    switch (m_link->buttonColour()) {
        case ColorEnlace::Esperando:
            c = QColor(255, 220, 0);
            break;
        case ColorEnlace::Confirmado:
            c = QColor(0, 255, 0);
            break;
        case ColorEnlace::SinRespuesta:
            c = QColor(255, 120, 0);
            break;
        case ColorEnlace::Normal:
            break;
    }
    QPalette pal = chkOnline->palette();
    pal.setColor(QPalette::Button, c);
    chkOnline->setPalette(pal);
}

void MDIPilmora::aplicaControles() {
    const auto& a = app();
    const LinkControls c = LinkControls::para(!a.ProtProyecto.isEmpty(), a.EstadoConexion, chkOnline->isChecked());
    chkOnline->setEnabled(c.chkOnline);
    mnuAProject->setEnabled(c.mnuAProject);
    for (QAction* project : {mnuAHistorial, mnuAInforme, mnuCProtocolo}) project->setEnabled(c.mnuProyecto);
    mnuCConexion->setEnabled(c.mnuCConexion);
    mnuVer->menuAction()->setEnabled(c.mnuVer);
    cmdEnviar->setEnabled(c.cmdEnviar);
    cboFichero->setEnabled(c.cboFichero);
    cmdSendFilePilmora->setEnabled(c.cmdSendFilePilmora);
    ponColor();
}

void MDIPilmora::chkOnline_Click(bool checked) {
    m_link->chkOnline_Click(checked);
    // A click the link ignored (busy going on or off line) leaves the button as the link is.
    if (!m_link->Ocupado()) ponEnLinea(app().EstadoConexion != 0);
}

void MDIPilmora::cmdEnviar_Click() {
    const QString text = cboCmd->currentText();
    m_link->TransmitPilmora(text, false);
    if (app().EstadoConexion != 0 && m_historial.remember(text)) {
        llenaComandos();
        cboCmd->setEditText(text);
    }
}

void MDIPilmora::llenaComandos() {
    cboCmd->clear();
    cboCmd->addItems(ComandosConsola());
    if (m_historial.recent().isEmpty()) return;
    cboCmd->insertSeparator(cboCmd->count());
    cboCmd->addItems(m_historial.recent());
}

void MDIPilmora::cmdSendFilePilmora_Click() {
    // Spies off (an open spy monitor unticks its own switch, which tells the
    // gateway), the question with the file's details, then the announcement.
    m_link->askAndSend([this](const QString& bus) {
        fMonitorTramas* m = bus == QLatin1String("INT") ? static_cast<fMonitorTramas*>(m_fTestA.data())
                                                        : static_cast<fMonitorTramas*>(m_fTestExterno.data());
        if (!m || !m->chkBus->isChecked()) return false;
        m->chkBus->setChecked(false);
        return true;
    });
    raise();
    activateWindow();
}

void MDIPilmora::closeEvent(QCloseEvent* e) { e->setAccepted(cierra(qApp->isSavingSession())); }

bool MDIPilmora::cierra(bool sesionTermina) {
    if (!sesionTermina && chkOnline->isChecked()) {
        if (isMinimized()) showMaximized();
        show();
        Aviso(Texto("PasaaOffline"), 3);
        return false;
    }
    GrabaUltimoProyecto();
    // With the link still open: spies off, then the port or socket closed.
    m_link->shutdown();
    Timer1->stop();
    if (m_fTestPilmora) m_fTestPilmora->permiteCerrar();
    return true;
}

void MDIPilmora::Carga_DatosMFAPilmora(const QString& protocol) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ::Carga_DatosMFAPilmora(protocol);
    QApplication::restoreOverrideCursor();
}

void MDIPilmora::mnuVDatos_Click() {
    if (!m_fVerDatos) {
        m_fVerDatos = new fVerDatos([this](const QString& text) { m_link->TransmitPilmora(text, false); });
        m_fVerDatos->popmnuRefresh = popmnuRefresh;
        QMdiSubWindow* sub = mdiArea->addSubWindow(m_fVerDatos);
        sub->setObjectName(QStringLiteral("subfVerDatos"));
        sub->resize(m_fVerDatos->sizeHint());
        MuestraVentana(m_fVerDatos);
        colocaEnArea(sub);
    }
    MuestraVentana(m_fVerDatos);
}

fVerDatos* MDIPilmora::visorDatos() const { return m_fVerDatos; }

void MDIPilmora::colocaEnArea(QMdiSubWindow* sub) {
    // Where the area put it (it does so once the window is shown, hence later), but whole inside it, and never so
    // small that its boxes and buttons are cut.
    QTimer::singleShot(0, sub, [this, sub] {
        const QRect r = placeInside(sub->geometry(), sub->minimumSizeHint(), mdiArea->viewport()->rect());
        if (r != sub->geometry()) sub->setGeometry(r);
    });
}

void MDIPilmora::MuestraMonitor(int kind) {
    // The monitors outlive neither the main window nor its link.
    const QPointer<GatewayLink> link = m_link;
    const ControlaBus controla = [link](const QString& bus, bool on) {
        if (link) link->ControlaBusPilmora(bus, on);
    };
    fMonitorTramas* form = nullptr;
    if (kind == 0) {
        if (!m_fTestA) {
            m_fTestA = new fTestA(controla);
            QMdiSubWindow* sub = mdiArea->addSubWindow(m_fTestA);
            sub->setObjectName(QStringLiteral("subfTestA"));
            sub->resize(twipsToPx(7000), twipsToPx(4000));
            MuestraVentana(m_fTestA);
            colocaEnArea(sub);
        }
        form = m_fTestA;
    } else {
        if (!m_fTestExterno) {
            m_fTestExterno = new fTestExterno(controla);
            QMdiSubWindow* sub = mdiArea->addSubWindow(m_fTestExterno);
            sub->setObjectName(QStringLiteral("subfTestExterno"));
            sub->resize(twipsToPx(7000), twipsToPx(4000));
            MuestraVentana(m_fTestExterno);
            colocaEnArea(sub);
        }
        form = m_fTestExterno;
    }
    MuestraVentana(form);
}

fTestA* MDIPilmora::monitorAscii() const { return m_fTestA; }
fTestExterno* MDIPilmora::monitorExterno() const { return m_fTestExterno; }
