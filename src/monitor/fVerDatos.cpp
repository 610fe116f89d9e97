#include "fVerDatos.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
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
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "Prompts.h"
#include "SignalGridView.h"
#include "WindowPlacement.h"
#include "fTendencia.h"
#include "mIdioma.h"

namespace {
// Values that are not valid and signals that did not answer in red, values sent and not yet reported in grey italics.
class MarcaDelegate : public QStyledItemDelegate {
public:
    MarcaDelegate(const VisorSenyales* visor, QObject* parent) : QStyledItemDelegate(parent), m_visor(visor) {}

protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(o, index);
        const int marca = m_visor->marcaCelda(index.row() + 1, index.column() + 1);
        if (marca == VisorSenyales::kAviso) {
            o->palette.setColor(QPalette::Text, QColor(176, 0, 0));
            o->palette.setColor(QPalette::HighlightedText, QColor(255, 210, 210));
        } else if (marca == VisorSenyales::kPendiente) {
            o->palette.setColor(QPalette::Text, QColor(96, 96, 96));
            o->font.setItalic(true);
        }
    }

private:
    const VisorSenyales* m_visor;
};

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
    grid->setItemDelegate(new MarcaDelegate(&visor, grid));
    grid->viewport()->installEventFilter(this);
    lblHelp = new QLabel(this);
    lblHelp->setWordWrap(true);
    cmdRefrescar = new QPushButton(Texto("cmdRefrescar"), this);
    cmdCerrar = new QPushButton(Texto("cmdCerrar"), this);
    cmdCopy = new QToolButton(this);
    cmdCopy->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    cmdCopy->setToolTip(Texto("PortapapelesAyuda"));
    cmdTendencia = new QPushButton(Texto("MonitorTendencia"), this);
    cmdTendencia->setObjectName(QStringLiteral("cmdTendencia"));
    cmdTendencia->setToolTip(Texto("MonitorTendenciaAyuda"));

    chkSinComprobar = new QCheckBox(Texto("CheckoutSoloSinComprobar"), this);
    chkSinComprobar->setObjectName(QStringLiteral("chkSinComprobar"));
    chkSinComprobar->setToolTip(Texto("CheckoutSoloSinComprobarAyuda"));
    cmdCheckout = new QToolButton(this);
    cmdCheckout->setObjectName(QStringLiteral("cmdCheckout"));
    cmdCheckout->setText(Texto("CheckoutColumna"));
    cmdCheckout->setToolTip(Texto("CheckoutColumnaAyuda"));
    cmdCheckout->setPopupMode(QToolButton::InstantPopup);
    auto* marks = new QMenu(Texto("CheckoutColumna"), cmdCheckout);  // its caption in the grid's popup
    const std::pair<const char*, EstadoCheckout> kMarks[] = {
        {"CheckoutMarcarCorrecto", EstadoCheckout::Correcto},
        {"CheckoutMarcarFallido", EstadoCheckout::Fallido},
        {"CheckoutMarcarNoAplica", EstadoCheckout::NoAplica},
        {"CheckoutMarcarSinComprobar", EstadoCheckout::SinComprobar}};
    for (const auto& [key, state] : kMarks)
        connect(marks->addAction(Texto(key)), &QAction::triggered, this, [this, s = state] { marcaCheckout(s); });
    connect(marks->addAction(Texto("CheckoutEditarNota")), &QAction::triggered, this,
            [this] { marcaCheckout(EstadoCheckout::SinComprobar, true); });
    cmdCheckout->setMenu(marks);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCopy);
    buttons->addWidget(lblHelp, 1);
    buttons->addWidget(cmdCheckout);
    buttons->addWidget(cmdTendencia);
    buttons->addWidget(cmdRefrescar);
    buttons->addWidget(cmdCerrar);
    auto* top = new QHBoxLayout;
    top->addWidget(TabStrip1);
    top->addStretch(1);
    top->addWidget(chkSinComprobar);
    top->addWidget(txtFiltro, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &fVerDatos::Timer1_Timer);
    // The pass asks on its own timer, paced by the answers; the window follows it.
    connect(&visor.sondeo, &PollPass::terminada, this, [this] { aplicaSondeo(); });
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
            connect(popmnuRefresh->addAction(Texto("MenuRefrescar")), &QAction::triggered, this,
                    &fVerDatos::mnuRefresh_Click);
            connect(popmnuRefresh->addAction(Texto("MenuEditarValor")), &QAction::triggered, this,
                    &fVerDatos::mnuEdit_Click);
        }
        // The marks where the engineer's hand already is, on whichever popup is used.
        // A closed viewer's marks went with it; the line above them stays for the next viewer's.
        if (!popmnuRefresh->actions().contains(cmdCheckout->menu()->menuAction())) {
            if (!popmnuRefresh->actions().last()->isSeparator()) popmnuRefresh->addSeparator();
            popmnuRefresh->addMenu(cmdCheckout->menu());
        }
        popmnuRefresh->popup(pos + QPoint(twipsToPx(500), twipsToPx(100)));
    });
    connect(TabStrip1, &QTabBar::tabBarClicked, this,
            [this](int tab) { lblHelp->setText(TabStrip1->tabToolTip(tab)); });
    connect(txtFiltro, &QLineEdit::textChanged, this, [this](const QString& text) {
        checkout.filtra(visor, text);
        Timer1_Timer();
    });
    connect(chkSinComprobar, &QCheckBox::toggled, this, [this](bool on) {
        checkout.soloSinComprobar = on;
        checkout.filtra(visor, txtFiltro->text());
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
    QString error;
    const bool read = checkout.carga(visor, app().ProtEquipo == QLatin1String("LON") ? kSlotLon : kSlotMbs6, &error);
    ajustaColumnas();
    QApplication::restoreOverrideCursor();
    if (!read) Aviso(error);
    muestraProgreso();
    Timer1->start();
}

namespace {
std::function<int(const QString&, int)> medidor(const SignalGridView* grid) {
    const QFontMetrics fm(grid->font());
    // A caption as the header itself sizes it: its padding, its font, in bold
    // as it shows when its column is current.
    const QHeaderView* header = grid->horizontalHeader();
    return [fm, header](const QString& t, int column) {
        return column > 0 ? header->sectionSizeHint(column - 1) : fm.horizontalAdvance(t);
    };
}
}  // namespace

void fVerDatos::ajustaColumnas() {
    const QVector<int> w = visor.anchosColumnas(medidor(grid), grid->viewport()->width());
    for (int c = 1; c < w.size(); ++c)
        if (visor.grid.ColWidth(c) != pxToTwips(w[c])) visor.grid.setColWidth(c, pxToTwips(w[c]));
}

bool fVerDatos::eventFilter(QObject* o, QEvent* e) {
    // The grid's own width, once the layout has set it: the description takes what is left over.
    if (o == grid->viewport() && e->type() == QEvent::Resize) ajustaColumnas();
    return QWidget::eventFilter(o, e);
}

QSize fVerDatos::sizeHint() const {
    int width = grid->verticalHeader()->width() + grid->verticalScrollBar()->sizeHint().width() + 40;
    for (int w : visor.anchosColumnas(medidor(grid), 0)) width += w;
    return QSize(width, twipsToPx(5000));
}

void fVerDatos::muestraProgreso() {
    setWindowTitle(Texto("VisorSenyales") + QStringLiteral("  -  ") + checkout.progreso());
}

void fVerDatos::marcaCheckout(EstadoCheckout estado, bool soloNota) {
    if (visor.seleccionadas().isEmpty()) {
        Aviso(Texto("CheckoutSinSeleccion"));
        return;
    }
    QString nota;
    if (soloNota) {
        const CheckoutRecord* r =
            checkout.checkout.registro(listaSenyales().Senyales[visor.seleccionadas()[0]].Direccion);
        nota = PideDato(Texto("CheckoutNota"), Texto("CheckoutNotaPregunta"), r ? r->nota : QString());
        if (nota.isEmpty()) return;  // cancelled; a blank clears the note
        nota = nota.trimmed();
    }
    QString error;
    int n = 0;
    if (!checkout.marca(visor, estado, nota, soloNota, &n, &error)) Aviso(error);
    checkout.filtra(visor, txtFiltro->text());
    muestraProgreso();
}

void fVerDatos::Timer1_Timer() {
    // Rows the filter hides are passed over; the first shown row off screen ends the pass. With every row
    // filtered out there is nothing to refresh, but the help line and the checkout marks still follow.
    const int top = grid->topRow();
    int last = top;
    for (int row = top + 1; top > 0 && row < visor.grid.Rows(); ++row) {
        if (visor.grid.isRowHidden(row)) continue;
        if (!grid->isRowOnScreen(row)) break;
        last = row;
    }
    if (top > 0) visor.refrescaFilas(top, last);
    if (visor.sondeando()) lblHelp->setText(visor.textoSondeo());
    // A `pilmora poll --record` beside the window: its marks show within a second.
    const int before = checkout.checkout.store().generacion();
    QString error;
    if (!checkout.refresca(visor, &error)) Aviso(error);
    if (checkout.checkout.store().generacion() != before) muestraProgreso();
}

void fVerDatos::aplicaSondeo() {
    cmdRefrescar->setText(visor.captionRefrescar());
    const QString t = visor.textoSondeo();
    if (!t.isEmpty()) lblHelp->setText(t);
    Timer1_Timer();
}

void fVerDatos::cmdRefrescar_Click() {
    visor.cmdRefrescar();
    aplicaSondeo();
}

void fVerDatos::mnuRefresh_Click() { visor.mnuRefresh(visor.grid.Row()); }

void fVerDatos::mnuEdit_Click() {
    const int row = visor.grid.Row();
    const VisorSenyales::Escritura puede = visor.puedeEscribir(row);
    if (puede == VisorSenyales::Escritura::SinSenyal) return;
    const Senyal& s = listaSenyales().Senyales[visor.senyalDeFila(row)];
    if (puede == VisorSenyales::Escritura::SoloLectura) {
        Aviso(Texto("MonitorSoloLectura") + claveSenyal(s.Direccion) + QLatin1Char(' ') + s.Descripcion);
        return;
    }
    // A typing slip is asked again with what was typed, never sent as 0.
    QString typed = textoValor(s);
    for (;;) {
        typed = PideDato(s.Descripcion, Texto("DatoDePrueba"), typed);
        if (visor.escribe(row, typed) != VisorSenyales::Escritura::NoEsNumero) return;
        Aviso(Texto("MonitorNoEsNumero") + typed);
    }
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
        const QRect room = area->viewport()->rect();
        chart->resize(qMin(sub->width(), room.width()), qMin(twipsToPx(5000), room.height()));
        const QPoint below = sub->geometry().bottomLeft() + QPoint(0, 1) + 12 * QPoint(0, m_tendencias.size() - 1);
        if (room.contains(QRect(below, chart->size()))) chart->move(below);
        w->show();
        // Wherever it went, whole inside the area.
        const QRect inside = placeInside(chart->geometry(), chart->minimumSizeHint(), room);
        if (inside != chart->geometry()) chart->setGeometry(inside);
    } else {
        w->resize(twipsToPx(9000), twipsToPx(5000));
    }
    w->show();
}
