// The link monitor: every line sent to and received from the gateway, plus the
// tool's own transfer and error notes. Shown from start-up to exit.
#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QListWidget;
class QPushButton;

class fTestPilmora : public QWidget {
    Q_OBJECT
public:
    explicit fTestPilmora(QWidget* parent = nullptr);

    // Adds prefix + text as the newest line ("<" sent, ">" received). Lines
    // reach the list in batches, a few times a second: a flood of traffic
    // would otherwise freeze the window drawing one line at a time.
    void VerTramas(const QString& text, const QString& prefix);
    // Puts the lines still waiting into the list now.
    void flush();
    // Every line shown, oldest first (after a flush).
    QStringList lineas();

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
    QStringList m_pendientes;  // at most kMaxLineas, newest last
    QTimer m_flush;
};
