// The external-bus monitor: the spy lines of the field-bus side, optionally
// logged to the project's log file. While it exists the gateway's external
// spy is meant to be on; chkBus switches it, closing the window switches it off.
#pragma once

#include "RegistroTramas.h"
#include "fTestA.h"

class fTestExterno : public fMonitorTramas {
    Q_OBJECT
public:
    static constexpr const char* kInicioRegistro = "********************* START REGISTER *********************";
    static constexpr const char* kFinRegistro = "********************* STOP REGISTER *********************";

    explicit fTestExterno(ControlaBus controlaBus, QWidget* parent = nullptr);
    ~fTestExterno() override;

    // A spy line without its "EXT" tag: listed and logged while the spy is on.
    void VerTramas(const QString& text);
    // chkLog: starts or stops the log.
    void chkLog_Click(bool checked);
    bool registrando() const { return m_log.abierto(); }

    QCheckBox* chkLog = nullptr;

private:
    // The log cannot go on (not opened, or a write refused): it stops, said once in the list.
    void registroParado(const QString& aviso, const QString& error);
    ControlaBus m_controlaBus;
    RegistroTramas m_log;
};
