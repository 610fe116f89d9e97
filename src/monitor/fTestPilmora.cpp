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
    connect(cmdClear, &QPushButton::clicked, this, [this] {
        m_pendientes.clear();
        lstTramas->clear();
    });
    m_flush.setSingleShot(true);
    m_flush.setInterval(30);
    connect(&m_flush, &QTimer::timeout, this, &fTestPilmora::flush);
}

void fTestPilmora::VerTramas(const QString& text, const QString& prefix) {
    if (!MonitorActivo) return;
    m_pendientes << prefix + text;
    if (m_pendientes.size() > kMaxLineas) m_pendientes.removeFirst();
    if (!m_flush.isActive()) m_flush.start();
}

void fTestPilmora::flush() {
    m_flush.stop();
    if (m_pendientes.isEmpty()) return;
    lstTramas->setUpdatesEnabled(false);
    const int drop = qMin(lstTramas->count(), int(lstTramas->count() + m_pendientes.size()) - kMaxLineas);
    for (int i = 0; i < drop; ++i) delete lstTramas->takeItem(0);
    lstTramas->addItems(m_pendientes);
    m_pendientes.clear();
    if (VerUltimo) lstTramas->setCurrentRow(lstTramas->count() - 1);
    lstTramas->setUpdatesEnabled(true);
}

QStringList fTestPilmora::lineas() {
    flush();
    QStringList l;
    for (int i = 0; i < lstTramas->count(); ++i) l << lstTramas->item(i)->text();
    return l;
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
    for (const QString& l : lineas()) all += l + QStringLiteral("\r\n");
    QClipboard* cb = QApplication::clipboard();
    cb->clear();
    if (!all.isEmpty()) cb->setText(all);
}
