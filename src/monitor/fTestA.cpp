#include "fTestA.h"

#include <QCheckBox>

#include "AppGlobals.h"
#include "mIdioma.h"

fTestA::fTestA(ControlaBus controlaBus, QWidget* parent)
    : fMonitorTramas(QStringLiteral("fTestA"), parent), m_controlaBus(std::move(controlaBus)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Texto("TituloBusAscii"));
    // The link keeps the flag: it follows what the gateway was told, and a
    // wanted spy is switched on again when the protocol is next confirmed.
    m_controlaBus(QStringLiteral("INT"), true);
    // The flag follows the box even while the link cannot switch the gateway's spy.
    connect(chkBus, &QCheckBox::toggled, this, [this](bool on) { m_controlaBus(QStringLiteral("INT"), on); });
}

fTestA::~fTestA() {
    m_controlaBus(QStringLiteral("INT"), false);
    app().EspiaInt = false;
}

void fTestA::VerTramas(const QString& text) { tramas.agrega(text); }
