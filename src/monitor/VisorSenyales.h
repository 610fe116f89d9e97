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
#include "PollPass.h"
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
    // TransmitPilmora(text, false).
    std::function<void(const QString&)> transmite;
    // Refresh: every signal asked once, each request after the previous answer.
    PollPass sondeo;

    VisorSenyales();
    ~VisorSenyales();
    // The grid rebuilt from the list: LON set when the gateway runs "LON", else
    // MBS6; the filter applies again. A row that cannot be shown in full (a
    // direction or signal type the set has no choice for) keeps that cell
    // empty; one "AlgunDatoIncorrecto" at the end tells of them all.
    void Datos_Carga();
    // Value and time of last report written into rows first..last: a text that
    // is not a number shows as not valid, a written value as sent, a signal
    // that did not answer the last Refresh as "no answer".
    void refrescaFilas(int first, int last);
    // Shows only the rows whose description or address holds `texto` (any
    // letter case; empty shows every row). Returns how many are shown.
    int filtra(const QString& texto);
    QString filtro() const { return m_filtro; }
    // Signals of the shown rows of the selection (Row..RowSel), top to bottom.
    QVector<qint32> seleccionadas() const;
    // cmdRefrescar: starts a pass (list not empty, link verified) or stops it.
    void cmdRefrescar();
    bool sondeando() const { return sondeo.activo(); }
    // Caption of cmdRefrescar: "Stop" while polling.
    QString captionRefrescar() const;
    // The pass's progress while it runs, its outcome after it (and the reports
    // for addresses not in the list); empty before the first pass.
    QString textoSondeo() const;
    // Signals that did not answer the last complete pass, and have not reported since.
    bool sinRespuesta(qint32 indice) const;
    // How a cell is drawn: kAviso (a value that is not valid, a signal that did
    // not answer), kPendiente (a value sent and not yet reported), else 0.
    static constexpr int kAviso = 1, kPendiente = 2;
    int marcaCelda(int row, int col) const;
    // Read request for the signal of a grid row.
    void mnuRefresh(int row);
    // Signal index of a grid row, 0 for none.
    int senyalDeFila(int row) const;
    enum class Escritura { Enviada, Vacia, SinSenyal, SoloLectura, NoEsNumero, OtroTipo };
    // Whether a row's signal takes a write (SinSenyal, SoloLectura or Enviada).
    Escritura puedeEscribir(int row) const;
    // The user's answer to "Test Data" for a row: sent when it is a number (its
    // first comma read as a point) the signal can take; the row then shows it as
    // sent until the gateway reports it. Nothing is sent otherwise.
    Escritura escribe(int row, const QString& answer);
    // Widths in pixels, one per grid column (0 unused), that show each caption
    // and every cell in full (the value and time columns their marks too), as
    // `mide(text, column)` measures them on screen (column: the caption of that
    // column, 0: a cell's text); the description column also takes what
    // `disponible` leaves over beyond the others.
    QVector<int> anchosColumnas(const std::function<int(const QString& text, int column)>& mide, int disponible) const;
    // Every cell followed by TAB, every shown row by CR LF; empty with no data row.
    QString textoCopia();

private:
    void avisa(int faltas);
    void finSondeo(bool completa);
    QString m_filtro;
    QVector<qint32> m_pasada;     // the signal of each request of the pass
    QSet<qint32> m_sinRespuesta;  // signals that did not answer the last pass
    QDateTime m_inicioPasada;
    bool m_hayResumen = false;
};
