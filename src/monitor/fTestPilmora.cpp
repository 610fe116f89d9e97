#include "fTestPilmora.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "mIdioma.h"

fTestPilmora::fTestPilmora(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fTestPilmora"));
    setWindowTitle(Texto("ComunicacionPilmora"));
    lstTramas = new QListWidget(this);
    lstTramas->setObjectName(QStringLiteral("lstTramas"));
    lstTramas->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstTramas->setUniformItemSizes(true);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    lstTramas->setFont(mono);

    chkUltimo = new QCheckBox(Texto("VerUltimo"), this);
    chkUltimo->setObjectName(QStringLiteral("chkUltimo"));
    chkUltimo->setChecked(true);
    chkBus = new QCheckBox(Texto("VerBus"), this);
    chkBus->setObjectName(QStringLiteral("chkBus"));
    chkBus->setChecked(true);
    cmdClear = new QPushButton(Texto("cmdClear"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));

    auto* fila = new QHBoxLayout;
    fila->addWidget(chkUltimo);
    fila->addWidget(chkBus);
    fila->addStretch(1);
    fila->addWidget(cmdClear);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 4);
    v->addWidget(lstTramas, 1);
    v->addLayout(fila);

    connect(chkUltimo, &QCheckBox::toggled, this, [this](bool on) { VerUltimo = on ? 1 : 0; });
    connect(chkBus, &QCheckBox::toggled, this, [this](bool on) { MonitorActivo = on; });
    connect(cmdClear, &QPushButton::clicked, lstTramas, &QListWidget::clear);
}

void fTestPilmora::VerTramas(const QString& text, const QString& prefix) {
    if (!MonitorActivo) return;
    // No repaint per line: a burst of traffic would redraw the list each time.
    lstTramas->setUpdatesEnabled(false);
    lstTramas->addItem(prefix + text);
    if (VerUltimo) lstTramas->setCurrentRow(lstTramas->count() - 1);
    if (lstTramas->count() > kMaxLineas) delete lstTramas->takeItem(0);
    lstTramas->setUpdatesEnabled(true);
}

void fTestPilmora::closeEvent(QCloseEvent* e) {
    if (m_puedeCerrar) {
        e->accept();
        MonitorActivo = false;
    } else {
        e->ignore();
    }
}

void fTestPilmora::mouseDoubleClickEvent(QMouseEvent*) {
    QString all;
    for (int i = 0; i < lstTramas->count(); ++i) all += lstTramas->item(i)->text() + QStringLiteral("\r\n");
    QClipboard* cb = QApplication::clipboard();
    cb->clear();
    if (!all.isEmpty()) cb->setText(all);
}
