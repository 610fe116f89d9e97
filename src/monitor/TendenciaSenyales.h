// The trend of a few signals: per signal, the values the gateway reported with
// the time each arrived, the newest ten minutes kept. Series follow a signal by
// its ASCII address, so they survive a reload of the signal list (after a
// download the list is built again and the indexes change). The chart window
// only draws what is here.
#pragma once

#include <QString>
#include <QVector>

class TendenciaSenyales {
public:
    static constexpr qint64 kVentanaMs = 10 * 60 * 1000;
    // A chart with more lines than this cannot be read.
    static constexpr int kMaxSenyales = 8;
    // A gateway reporting a signal many times a second must not grow a series
    // without bound: beyond this the oldest point goes.
    static constexpr int kMaxPuntos = 6000;

    struct Punto {
        qint64 ms;  // arrival, ms since the epoch
        double valor;
    };
    struct Serie {
        qint16 direccion;
        QString nombre;  // "AD0012 description", for the legend
        QVector<Punto> puntos;
    };

    // Follows the signals of these list indexes (the first kMaxSenyales of them,
    // each address once); each series starts with the signal's value when it has one.
    explicit TendenciaSenyales(const QVector<qint32>& indices);

    // Signal `indice` of the list was reported: its value joins its series.
    // False when the trend does not follow it.
    bool informe(qint32 indice);
    // A value of the signal at `direccion`; false when the trend does not follow
    // it or the value is not a finite number (a report that is not a number is no point).
    bool registra(qint16 direccion, qint64 ms, double valor);
    // Drops what arrived more than ten minutes before `ahoraMs`.
    void recorta(qint64 ahoraMs);

    const QVector<Serie>& series() const { return m_series; }
    // Lowest and highest value held; false when there is none.
    bool rango(double* min, double* max) const;

private:
    QVector<Serie> m_series;
};
