#include "fMonitorTramas.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "ModulINI.h"
#include "mIdioma.h"

fMonitorTramas::fMonitorTramas(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    lstTramas = new QListView(this);
    lstTramas->setObjectName(QStringLiteral("lstTramas"));
    lstTramas->setModel(&tramas);
    lstTramas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTramas->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    lstTramas->setFont(mono);

    chkUltimo = new QCheckBox(Texto("VerUltimo"), this);
    chkUltimo->setObjectName(QStringLiteral("chkUltimo"));
    chkUltimo->setChecked(true);
    chkBus = new QCheckBox(Texto("VerBus"), this);
    chkBus->setObjectName(QStringLiteral("chkBus"));
    chkBus->setChecked(true);
    chkHora = new QCheckBox(Texto("MonitorHora"), this);
    chkHora->setObjectName(QStringLiteral("chkHora"));
    chkHora->setToolTip(Texto("MonitorHoraAyuda"));
    cmdClear = new QPushButton(Texto("cmdClear"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));

    fila = new QHBoxLayout;
    fila->addWidget(chkUltimo);
    fila->addWidget(chkBus);
    fila->addWidget(chkHora);
    fila->addStretch(1);
    fila->addWidget(cmdClear);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 4);
    v->addWidget(lstTramas, 1);
    v->addLayout(fila);

    const QString claveHora = name + QStringLiteral("Hora");
    chkHora->setChecked(LeeIniAplicacionEntero(QStringLiteral("Configuracion"), claveHora, 0) != 0);
    tramas.setConHora(chkHora->isChecked());
    connect(chkHora, &QCheckBox::toggled, this, [this, claveHora](bool on) {
        tramas.setConHora(on);
        EscribeIniAplicacion(QStringLiteral("Configuracion"), claveHora, on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(chkUltimo, &QCheckBox::toggled, this, [this](bool on) { VerUltimo = on ? 1 : 0; });
    connect(cmdClear, &QPushButton::clicked, &tramas, &ListaTramas::borra);
    connect(&tramas, &ListaTramas::volcado, this, &fMonitorTramas::alVolcar);
}

void fMonitorTramas::alVolcar() {
    if (!VerUltimo) return;
    const QModelIndex last = tramas.index(tramas.rowCount() - 1);
    lstTramas->setCurrentIndex(last);
    lstTramas->scrollTo(last);
}

QStringList fMonitorTramas::lineas() {
    flush();
    return tramas.lineas();
}

void fMonitorTramas::copiaTodo() {
    QString all;
    for (const QString& l : lineas()) all += l + QStringLiteral("\r\n");
    QClipboard* cb = QApplication::clipboard();
    cb->clear();
    if (!all.isEmpty()) cb->setText(all);
}

void fMonitorTramas::mouseDoubleClickEvent(QMouseEvent*) { copiaTodo(); }
