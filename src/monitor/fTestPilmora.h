// The link monitor: every line sent to and received from the gateway, plus the
// tool's own transfer and error notes. Shown from start-up to exit.
#pragma once

#include <QWidget>

class QCheckBox;
class QListWidget;
class QPushButton;

class fTestPilmora : public QWidget {
    Q_OBJECT
public:
    explicit fTestPilmora(QWidget* parent = nullptr);

    // Adds prefix + text as the newest line ("<" sent, ">" received).
    void VerTramas(const QString& text, const QString& prefix);

    // Display on (chkBus); while off, lines are dropped.
    bool MonitorActivo = true;
    // Select each new line so the list follows the newest one (chkUltimo).
    qint16 VerUltimo = 1;

    static constexpr int kMaxLineas = 500;

    QListWidget* lstTramas = nullptr;
    QCheckBox* chkUltimo = nullptr;
    QCheckBox* chkBus = nullptr;
    QPushButton* cmdClear = nullptr;

    // Lets the program close it at exit; the user cannot.
    void permiteCerrar() { m_puedeCerrar = true; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    bool m_puedeCerrar = false;
};
