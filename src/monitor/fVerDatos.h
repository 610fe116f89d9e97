// The live signal viewer: the monitor signal list in a grid with the last value
// of each signal, refreshed every second; polling of every signal, a read or a
// write of one signal, a copy of the grid to the clipboard, a filter on
// description or address, and trend charts of selected signals.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include "CheckoutVisor.h"
#include "VisorSenyales.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QTimer;
class QToolButton;
class SignalGridView;
class fTendencia;

class fVerDatos : public QWidget {
    Q_OBJECT
public:
    // `transmite` sends one line to the gateway (TransmitPilmora(text, false)).
    explicit fVerDatos(std::function<void(const QString&)> transmite, QWidget* parent = nullptr);
    ~fVerDatos() override;

    void Datos_Carga();
    // Wide enough for every column, the value and the time of the last report among them.
    QSize sizeHint() const override;
    void mnuRefresh_Click();
    void mnuEdit_Click();
    void cmdRefrescar_Click();
    void cmdCopy_Click();
    // A chart of the selected signals' values; none selected is said.
    void cmdTendencia_Click();
    // Timer1: the values of the rows on screen, and the Refresh's progress.
    void Timer1_Timer();

    // The selected rows marked (or only their note changed); the caption shows the progress.
    void marcaCheckout(EstadoCheckout estado, bool soloNota = false);

    VisorSenyales visor;
    CheckoutVisor checkout;
    QCheckBox* chkSinComprobar = nullptr;
    QToolButton* cmdCheckout = nullptr;  // its menu: the marks and the note
    QTabBar* TabStrip1 = nullptr;
    SignalGridView* grid = nullptr;
    QLabel* lblHelp = nullptr;
    QPushButton* cmdRefrescar = nullptr;
    QPushButton* cmdCerrar = nullptr;
    QToolButton* cmdCopy = nullptr;
    QPushButton* cmdTendencia = nullptr;
    QLineEdit* txtFiltro = nullptr;
    QTimer* Timer1 = nullptr;
    // The main window's popup (Refresh, Edit...); the viewer makes its own
    // only when it is shown without one.
    QMenu* popmnuRefresh = nullptr;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

signals:
    // Signal `indice` of the list was reported (the open trends listen).
    void valorInformado(qint32 indice);

private:
    void aplicaSondeo();
    // Columns as wide as their content; the description takes the width left over.
    void ajustaColumnas();
    void muestraProgreso();
    QList<QPointer<fTendencia>> m_tendencias;
};
