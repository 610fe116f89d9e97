// The trend chart: the values of a few signals over the last ten minutes, as
// the gateway reports them. The series live in TendenciaSenyales; this window
// draws them once a second and on each report.
#pragma once

#include <QWidget>

#include "TendenciaSenyales.h"

class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QTimer;
class QValueAxis;

class fTendencia : public QWidget {
    Q_OBJECT
public:
    // The signals of these list indexes (see TendenciaSenyales for the limits).
    explicit fTendencia(const QVector<qint32>& indices, QWidget* parent = nullptr);

    // Signal `indice` of the list was reported.
    void informe(qint32 indice);
    // Trims to the last ten minutes and draws again.
    void dibuja();

    TendenciaSenyales tendencia;
    QChartView* chart = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QChart* m_chart = nullptr;
    QVector<QLineSeries*> m_lineas;
    QDateTimeAxis* m_ejeX = nullptr;
    QValueAxis* m_ejeY = nullptr;
    qint64 m_abierta = 0;  // ms since the epoch
    bool m_pendiente = false;
    int m_ticks = 0;
};
