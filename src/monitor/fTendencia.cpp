#include "fTendencia.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include "mIdioma.h"

fTendencia::fTendencia(const QVector<qint32>& indices, QWidget* parent) : QWidget(parent), tendencia(indices) {
    setObjectName(QStringLiteral("fTendencia"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Texto("MonitorTendenciaTitulo"));

    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_ejeX = new QDateTimeAxis;
    m_ejeX->setFormat(QStringLiteral("hh:mm:ss"));
    m_ejeX->setTitleText(Texto("MonitorHora"));
    m_ejeY = new QValueAxis;
    m_ejeY->setTitleText(Texto("Dato"));
    m_ejeY->setLabelFormat(QStringLiteral("%g"));
    m_chart->addAxis(m_ejeX, Qt::AlignBottom);
    m_chart->addAxis(m_ejeY, Qt::AlignLeft);
    for (const TendenciaSenyales::Serie& s : tendencia.series()) {
        auto* line = new QLineSeries;
        line->setName(s.nombre);
        m_chart->addSeries(line);
        line->attachAxis(m_ejeX);
        line->attachAxis(m_ejeY);
        m_lineas.append(line);
    }
    chart = new QChartView(m_chart, this);
    chart->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chart);

    // Reports may come many times a second: they are drawn at most every 250 ms.
    Timer1 = new QTimer(this);
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (m_pendiente || ++m_ticks % 4 == 0) dibuja();
    });
    Timer1->start();
    m_abierta = QDateTime::currentMSecsSinceEpoch();
    dibuja();
}

void fTendencia::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // As many time labels as fit without being cut; a low window keeps its height for the lines.
    m_ejeX->setTickCount(qBound(2, width() / 110, 8));
    m_chart->legend()->setVisible(height() >= 220);
    m_ejeX->setTitleVisible(height() >= 300);
    m_ejeY->setTitleVisible(width() >= 420);
}

void fTendencia::informe(qint32 indice) { m_pendiente = tendencia.informe(indice) || m_pendiente; }

void fTendencia::dibuja() {
    m_pendiente = false;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    tendencia.recorta(now);
    for (int k = 0; k < m_lineas.size(); ++k) {
        QList<QPointF> points;
        points.reserve(tendencia.series()[k].puntos.size());
        for (const TendenciaSenyales::Punto& p : tendencia.series()[k].puntos) points.append(QPointF(p.ms, p.valor));
        m_lineas[k]->replace(points);
    }
    // The time axis ends now, so the chart moves on even without reports; it grows from the opening (or the
    // first value held) to ten minutes, at least one minute wide.
    qint64 from = m_abierta;
    for (const TendenciaSenyales::Serie& x : tendencia.series())
        if (!x.puntos.isEmpty()) from = qMin(from, x.puntos.first().ms);
    from = qBound(now - TendenciaSenyales::kVentanaMs, from, now - 60 * 1000);
    m_ejeX->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(now));
    double lo = 0, hi = 1;
    if (tendencia.rango(&lo, &hi)) {
        const double margin = hi > lo ? (hi - lo) * 0.05 : qMax(1.0, qAbs(hi) * 0.05);
        lo -= margin, hi += margin;
    }
    m_ejeY->setRange(lo, hi);
    m_ejeY->applyNiceNumbers();  // round steps: 0, 20, 40 rather than -4.6, 20.6
    // A low window: fewer labels, so that each one has the room to be read.
    if (height() < 260) m_ejeY->setTickCount(qMin(m_ejeY->tickCount(), qMax(2, height() / 50)));
}
