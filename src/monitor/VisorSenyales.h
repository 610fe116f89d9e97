// What the live signal viewer does, without a screen: the grid of the monitor
// signal list with the LON or MBS6 column set, the values written into it,
// polling one signal per tick, the write frame and the copy text. fVerDatos
// shows it and forwards its timers and clicks.
#pragma once

#include <QString>
#include <QVector>
#include <functional>

#include "ModulConfASCII.h"
#include "SenyalesMonitor.h"
#include "SignalGrid.h"

// "#.00" with a point: two decimals, no leading zero (0.5 -> ".50").
QString formatoDosDecimales(double v);
// "AD" + address + "=" + value: analog "#.00", digital "1"/"0"; empty for any
// other signal type (nothing is sent then).
QString tramaEscritura(const Senyal& s, double valor);

class VisorSenyales {
public:
    SignalGrid grid;
    QVector<InfoColumna> info;
    // Grid column of each field (0: the set has none).
    int colDisp = 0, colNumero = 0, colNombreSNVT = 0, colAccesoNV = 0, colDescripcion = 0, colDireccion = 0,
        colEspontaneo = 0, colSentido = 0, colTipoSenyal = 0, colValor = 0, colUltimo = 0;
    qint32 indiceSondeo = 1;  // next signal to ask for
    // TransmitPilmora(text, false).
    std::function<void(const QString&)> transmite;

    // The grid rebuilt from the list: LON set when the gateway runs "LON", else MBS6.
    void Datos_Carga();
    // Value and time of last report written into rows first..last.
    void refrescaFilas(int first, int last);
    // cmdRefrescar: starts polling (list not empty, link verified) or stops it.
    void cmdRefrescar();
    bool sondeando() const { return m_sondeando; }
    // Caption of cmdRefrescar: "Stop" while polling.
    QString captionRefrescar() const;
    // One poll tick (50 ms): asks the next signal; stops after the last one
    // or when the link is no longer verified.
    void tick();
    // Read request for the signal of a grid row.
    void mnuRefresh(int row);
    // Signal index of a grid row, 0 for none.
    int senyalDeFila(int row) const;
    // The user's answer to "Test Data" for a row: stored and sent. False when
    // nothing was sent (empty answer, no signal, other signal type).
    bool escribe(int row, const QString& answer);
    // Every cell followed by TAB, every row by CR LF; empty with no data row.
    QString textoCopia();

private:
    void para();
    bool m_sondeando = false;
};
