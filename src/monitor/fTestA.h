// The ASCII-bus monitor: the spy lines the gateway reports for its ASCII side.
// While it exists the gateway's ASCII-bus spy is meant to be on; chkBus
// switches it, closing the window switches it off.
#pragma once

#include <functional>

#include "fMonitorTramas.h"

// ControlaBusPilmora(bus, on) of the main window.
using ControlaBus = std::function<void(const QString& bus, bool on)>;

class fTestA : public fMonitorTramas {
    Q_OBJECT
public:
    explicit fTestA(ControlaBus controlaBus, QWidget* parent = nullptr);
    ~fTestA() override;

    // A spy line without its "INT" tag.
    void VerTramas(const QString& text);

private:
    ControlaBus m_controlaBus;
};
