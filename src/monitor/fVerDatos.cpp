#include "fVerDatos.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "Prompts.h"
#include "SignalGridView.h"
#include "fTendencia.h"
#include "mIdioma.h"

namespace {
// A window in the main window's area goes with its frame: closing only the
// window inside would leave an empty frame behind.
void cierra(QWidget* w) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        sub->close();
    else
        w->close();
}
}  // namespace

fVerDatos::fVerDatos(std::function<void(const QString&)> transmite, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fVerDatos"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Texto("VisorSenyales"));
    visor.transmite = std::move(transmite);

    TabStrip1 = new QTabBar(this);
    TabStrip1->addTab(Texto("Senyales"));
    TabStrip1->setTabToolTip(0, Texto("MonitorVisorAyuda"));
    txtFiltro = new QLineEdit(this);
    txtFiltro->setObjectName(QStringLiteral("txtFiltro"));
    txtFiltro->setClearButtonEnabled(true);
    txtFiltro->setPlaceholderText(Texto("MonitorFiltro"));
    txtFiltro->setToolTip(Texto("MonitorFiltroAyuda"));
    txtFiltro->setMaximumWidth(280);
    grid = new SignalGridView(&visor.grid, this);
    grid->setObjectName(QStringLiteral("grid"));
    lblHelp = new QLabel(this);
    lblHelp->setWordWrap(true);
    cmdRefrescar = new QPushButton(Texto("cmdRefrescar"), this);
    cmdCerrar = new QPushButton(Texto("cmdCerrar"), this);
    cmdCopy = new QToolButton(this);
    cmdCopy->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    cmdCopy->setToolTip(QStringLiteral("Clipboard"));
    cmdTendencia = new QPushButton(Texto("MonitorTendencia"), this);
    cmdTendencia->setObjectName(QStringLiteral("cmdTendencia"));
    cmdTendencia->setToolTip(Texto("MonitorTendenciaAyuda"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCopy);
    buttons->addWidget(lblHelp, 1);
    buttons->addWidget(cmdTendencia);
    buttons->addWidget(cmdRefrescar);
    buttons->addWidget(cmdCerrar);
    auto* top = new QHBoxLayout;
    top->addWidget(TabStrip1);
    top->addStretch(1);
    top->addWidget(txtFiltro, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &fVerDatos::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &fVerDatos::Timer2_Timer);
    connect(grid, &SignalGridView::scrolled, this, &fVerDatos::Timer1_Timer);
    connect(cmdRefrescar, &QPushButton::clicked, this, &fVerDatos::cmdRefrescar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, [this] { cierra(this); });
    connect(cmdCopy, &QToolButton::clicked, this, &fVerDatos::cmdCopy_Click);
    connect(grid, &SignalGridView::cellDoubleClicked, this, &fVerDatos::mnuEdit_Click);
    connect(grid, &SignalGridView::currentCellChanged, this, [this](int, int col) {
        if (col >= 0 && col < visor.info.size()) lblHelp->setText(visor.info[col].Ayuda);
    });
    connect(grid, &SignalGridView::cellRightClicked, this, [this](int row, int col, const QPoint& pos) {
        if (row < 1 || col < 1) return;
        visor.grid.setRow(row);
        visor.grid.setCol(col);
        if (!popmnuRefresh) {
            popmnuRefresh = new QMenu(this);
            connect(popmnuRefresh->addAction(QStringLiteral("Refresh")), &QAction::triggered, this,
                    &fVerDatos::mnuRefresh_Click);
            connect(popmnuRefresh->addAction(QStringLiteral("Edit...")), &QAction::triggered, this,
                    &fVerDatos::mnuEdit_Click);
        }
        popmnuRefresh->popup(pos + QPoint(twipsToPx(500), twipsToPx(100)));
    });
    connect(TabStrip1, &QTabBar::tabBarClicked, this,
            [this](int tab) { lblHelp->setText(TabStrip1->tabToolTip(tab)); });
    connect(txtFiltro, &QLineEdit::textChanged, this, [this](const QString& text) {
        visor.filtra(text);
        Timer1_Timer();
    });
    connect(cmdTendencia, &QPushButton::clicked, this, &fVerDatos::cmdTendencia_Click);
    listaSenyales().alInformar = [this](qint32 i) { emit valorInformado(i); };

    Datos_Carga();
    app().VerDatosAbierto = true;
}

fVerDatos::~fVerDatos() {
    listaSenyales().alInformar = nullptr;
    // A trend hears of values through the viewer: it goes with it.
    for (const QPointer<fTendencia>& t : m_tendencias)
        if (t) cierra(t);
    app().VerDatosAbierto = false;
}

void fVerDatos::Datos_Carga() {
    Timer1->stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    visor.Datos_Carga();
    QApplication::restoreOverrideCursor();
    Timer1->start();
}

QSize fVerDatos::sizeHint() const {
    int width = grid->verticalHeader()->width() + grid->verticalScrollBar()->sizeHint().width() + 40;
    for (int c = 1; c < visor.grid.Cols(); ++c) width += twipsToPx(visor.grid.ColWidth(c));
    return QSize(width, twipsToPx(5000));
}

void fVerDatos::Timer1_Timer() {
    const int top = grid->topRow();
    if (top <= 0) return;
    // Rows the filter hides are passed over; the first shown row off screen ends the pass.
    int last = top;
    for (int row = top + 1; row < visor.grid.Rows(); ++row) {
        if (visor.grid.isRowHidden(row)) continue;
        if (!grid->isRowOnScreen(row)) break;
        last = row;
    }
    visor.refrescaFilas(top, last);
}

void fVerDatos::aplicaSondeo() {
    if (visor.sondeando())
        Timer2->start();
    else
        Timer2->stop();
    cmdRefrescar->setText(visor.captionRefrescar());
}

void fVerDatos::cmdRefrescar_Click() {
    visor.cmdRefrescar();
    aplicaSondeo();
}

void fVerDatos::Timer2_Timer() {
    visor.tick();
    if (!visor.sondeando()) aplicaSondeo();
}

void fVerDatos::mnuRefresh_Click() { visor.mnuRefresh(visor.grid.Row()); }

void fVerDatos::mnuEdit_Click() {
    const int row = visor.grid.Row();
    const int i = visor.senyalDeFila(row);
    if (i == 0) return;
    const Senyal& s = listaSenyales().Senyales[i];
    const QString answer = PideDato(s.Descripcion, QStringLiteral("Test Data"), textoValor(s));
    visor.escribe(row, answer);
}

void fVerDatos::cmdCopy_Click() {
    QClipboard* clip = QApplication::clipboard();
    clip->clear();
    const QString text = visor.textoCopia();
    if (!text.isEmpty()) clip->setText(text);
}

void fVerDatos::cmdTendencia_Click() {
    const QVector<qint32> chosen = visor.seleccionadas();
    if (chosen.isEmpty()) {
        Aviso(Texto("MonitorTendenciaSinSenyal"));
        return;
    }
    if (chosen.size() > TendenciaSenyales::kMaxSenyales)
        Aviso(Texto("MonitorTendenciaMaximo") + QString::number(TendenciaSenyales::kMaxSenyales), 2);
    auto* w = new fTendencia(chosen);
    connect(this, &fVerDatos::valorInformado, w, &fTendencia::informe);
    m_tendencias.append(w);
    // Under the viewer in the main window's area when there is room, else where the area puts it.
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (QMdiArea* area = sub ? sub->mdiArea() : nullptr) {
        QMdiSubWindow* chart = area->addSubWindow(w);
        chart->setAttribute(Qt::WA_DeleteOnClose);
        const QRect room = area->viewport()->rect();
        chart->resize(qMin(sub->width(), room.width()), qMin(twipsToPx(5000), room.height()));
        const QPoint below = sub->geometry().bottomLeft() + QPoint(0, 1) + 12 * QPoint(0, m_tendencias.size() - 1);
        if (room.contains(QRect(below, chart->size()))) chart->move(below);
    } else {
        w->resize(twipsToPx(9000), twipsToPx(5000));
    }
    w->show();
}
