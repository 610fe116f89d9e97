#include "fVerDatos.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "Prompts.h"
#include "SignalGridView.h"
#include "mIdioma.h"

fVerDatos::fVerDatos(std::function<void(const QString&)> transmite, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fVerDatos"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Texto("VisorSenyales"));
    visor.transmite = std::move(transmite);

    TabStrip1 = new QTabBar(this);
    TabStrip1->addTab(Texto("Senyales"));
    grid = new SignalGridView(&visor.grid, this);
    grid->setObjectName(QStringLiteral("grid"));
    lblHelp = new QLabel(this);
    lblHelp->setWordWrap(true);
    cmdRefrescar = new QPushButton(Texto("cmdRefrescar"), this);
    cmdCerrar = new QPushButton(Texto("cmdCerrar"), this);
    cmdCopy = new QToolButton(this);
    cmdCopy->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    cmdCopy->setToolTip(QStringLiteral("Clipboard"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCopy);
    buttons->addWidget(lblHelp, 1);
    buttons->addWidget(cmdRefrescar);
    buttons->addWidget(cmdCerrar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStrip1);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);

    popmnuRefresh = new QMenu(this);
    connect(popmnuRefresh->addAction(QStringLiteral("Refresh")), &QAction::triggered, this,
            &fVerDatos::mnuRefresh_Click);
    connect(popmnuRefresh->addAction(QStringLiteral("Edit...")), &QAction::triggered, this, &fVerDatos::mnuEdit_Click);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &fVerDatos::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &fVerDatos::Timer2_Timer);
    connect(grid, &SignalGridView::scrolled, this, &fVerDatos::Timer1_Timer);
    connect(cmdRefrescar, &QPushButton::clicked, this, &fVerDatos::cmdRefrescar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdCopy, &QToolButton::clicked, this, &fVerDatos::cmdCopy_Click);
    connect(grid, &SignalGridView::cellDoubleClicked, this, &fVerDatos::mnuEdit_Click);
    connect(grid, &SignalGridView::currentCellChanged, this, [this](int, int col) {
        if (col >= 0 && col < visor.info.size()) lblHelp->setText(visor.info[col].Ayuda);
    });
    connect(grid, &SignalGridView::cellRightClicked, this, [this](int row, int col, const QPoint& pos) {
        if (row < 1 || col < 1) return;
        visor.grid.setRow(row);
        visor.grid.setCol(col);
        popmnuRefresh->popup(pos + QPoint(twipsToPx(500), twipsToPx(100)));
    });
    connect(TabStrip1, &QTabBar::tabBarClicked, this, [this] { lblHelp->setText(TabStrip1->tabToolTip(0)); });

    Datos_Carga();
    app().VerDatosAbierto = true;
}

fVerDatos::~fVerDatos() { app().VerDatosAbierto = false; }

void fVerDatos::Datos_Carga() {
    Timer1->stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    visor.Datos_Carga();
    QApplication::restoreOverrideCursor();
    Timer1->start();
}

void fVerDatos::Timer1_Timer() {
    const int top = grid->topRow();
    if (top <= 0) return;
    int last = top;
    while (last + 1 < visor.grid.Rows() && grid->isRowOnScreen(last + 1)) ++last;
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
