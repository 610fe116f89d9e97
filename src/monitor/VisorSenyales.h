// What the live signal viewer does, without a screen: the grid of the monitor
// signal list with the LON or MBS6 column set, the values written into it,
// polling one signal per tick, the write frame and the copy text. fVerDatos
// shows it and forwards its timers and clicks.
#pragma once

#include <QSet>
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

    // The grid rebuilt from the list: LON set when the gateway runs "LON", else
    // MBS6; the filter applies again. A row that cannot be shown in full (a
    // direction or signal type the set has no choice for) keeps that cell
    // empty; one "AlgunDatoIncorrecto" at the end tells of them all.
    void Datos_Carga();
    // Value and time of last report written into rows first..last.
    // A value beyond the 64-bit fixed-point range leaves its cell empty and is
    // told once per signal until the next Datos_Carga (the display refresh runs
    // every second: the same fault must not raise a box every second).
    void refrescaFilas(int first, int last);
    // Shows only the rows whose description or address holds `texto` (any
    // letter case; empty shows every row). Returns how many are shown.
    int filtra(const QString& texto);
    QString filtro() const { return m_filtro; }
    // Signals of the shown rows of the selection (Row..RowSel), top to bottom.
    QVector<qint32> seleccionadas() const;
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
    // Every cell followed by TAB, every shown row by CR LF; empty with no data row.
    QString textoCopia();

private:
    void para();
    void avisa(int faltas);
    int refresca(int first, int last);  // the faults not told before
    bool m_sondeando = false;
    QString m_filtro;
    QSet<qint32> m_avisadas;  // signals whose value fault was told
};
