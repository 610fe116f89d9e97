// The live signal viewer: the monitor signal list in a grid with the last value
// of each signal, refreshed every second; polling of every signal, a read or a
// write of one signal, and a copy of the grid to the clipboard.
#pragma once

#include <QWidget>

#include "VisorSenyales.h"

class QLabel;
class QMenu;
class QPushButton;
class QTabBar;
class QTimer;
class QToolButton;
class SignalGridView;

class fVerDatos : public QWidget {
    Q_OBJECT
public:
    // `transmite` sends one line to the gateway (TransmitPilmora(text, false)).
    explicit fVerDatos(std::function<void(const QString&)> transmite, QWidget* parent = nullptr);
    ~fVerDatos() override;

    void Datos_Carga();
    void mnuRefresh_Click();
    void mnuEdit_Click();
    void cmdRefrescar_Click();
    void cmdCopy_Click();
    // Timer1: the values of the rows on screen.
    void Timer1_Timer();
    // Timer2: one poll request.
    void Timer2_Timer();

    VisorSenyales visor;
    QTabBar* TabStrip1 = nullptr;
    SignalGridView* grid = nullptr;
    QLabel* lblHelp = nullptr;
    QPushButton* cmdRefrescar = nullptr;
    QPushButton* cmdCerrar = nullptr;
    QToolButton* cmdCopy = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QMenu* popmnuRefresh = nullptr;

private:
    void aplicaSondeo();
};
