// The link monitor: every line sent to and received from the gateway, plus the
// tool's own transfer and error notes. Shown from start-up to exit.
#pragma once

#include "fMonitorTramas.h"

class fTestPilmora : public fMonitorTramas {
    Q_OBJECT
public:
    explicit fTestPilmora(QWidget* parent = nullptr);

    // Adds prefix + text as the newest line ("<" sent, ">" received).
    void VerTramas(const QString& text, const QString& prefix);

    // Display on (chkBus); while off, lines are dropped.
    bool MonitorActivo = true;

    // Lets the program close it at exit; the user cannot.
    void permiteCerrar() { m_puedeCerrar = true; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    bool m_puedeCerrar = false;
};
