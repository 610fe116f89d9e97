#include "fTestPilmora.h"

#include <QCheckBox>
#include <QCloseEvent>

#include "mIdioma.h"

fTestPilmora::fTestPilmora(QWidget* parent) : fMonitorTramas(QStringLiteral("fTestPilmora"), parent) {
    setWindowTitle(Texto("ComunicacionPilmora"));
    connect(chkBus, &QCheckBox::toggled, this, [this](bool on) { MonitorActivo = on; });
}

void fTestPilmora::VerTramas(const QString& text, const QString& prefix) {
    if (MonitorActivo) tramas.agrega(prefix + text);
}

void fTestPilmora::closeEvent(QCloseEvent* e) {
    if (m_puedeCerrar) {
        e->accept();
        MonitorActivo = false;
    } else {
        e->ignore();
    }
}
