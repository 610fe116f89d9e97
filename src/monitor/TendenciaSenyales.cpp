#include "TendenciaSenyales.h"

#include <algorithm>
#include <cmath>

#include "SenyalesMonitor.h"

TendenciaSenyales::TendenciaSenyales(const QVector<qint32>& indices) {
    const ListaSenyales& l = listaSenyales();
    for (qint32 i : indices) {
        if (m_series.size() >= kMaxSenyales) break;
        if (i < 1 || i > l.NumSenyales) continue;
        const Senyal& s = l.Senyales[i];
        const bool repetida =
            std::any_of(m_series.cbegin(), m_series.cend(), [&](const Serie& x) { return x.direccion == s.Direccion; });
        if (repetida) continue;
        m_series.append(Serie{s.Direccion, claveSenyal(s.Direccion) + QLatin1Char(' ') + s.Descripcion, {}});
        if (s.HayValor && s.Valido) m_series.last().puntos.append(Punto{s.UltimoInforme.toMSecsSinceEpoch(), s.Valor});
    }
}

bool TendenciaSenyales::informe(qint32 indice) {
    const ListaSenyales& l = listaSenyales();
    if (indice < 1 || indice > l.NumSenyales) return false;
    const Senyal& s = l.Senyales[indice];
    return s.HayValor && s.Valido && registra(s.Direccion, s.UltimoInforme.toMSecsSinceEpoch(), s.Valor);
}

bool TendenciaSenyales::registra(qint16 direccion, qint64 ms, double valor) {
    if (!std::isfinite(valor)) return false;  // nothing a chart can draw
    for (Serie& x : m_series) {
        if (x.direccion != direccion) continue;
        if (x.puntos.size() >= kMaxPuntos) x.puntos.removeFirst();
        x.puntos.append(Punto{ms, valor});
        return true;
    }
    return false;
}

void TendenciaSenyales::recorta(qint64 ahoraMs) {
    const qint64 desde = ahoraMs - kVentanaMs;
    for (Serie& x : m_series) {
        const auto keep =
            std::find_if(x.puntos.cbegin(), x.puntos.cend(), [&](const Punto& p) { return p.ms >= desde; });
        x.puntos.remove(0, keep - x.puntos.cbegin());
    }
}

bool TendenciaSenyales::rango(double* min, double* max) const {
    bool any = false;
    for (const Serie& x : m_series)
        for (const Punto& p : x.puntos) {
            if (!any || p.valor < *min) *min = p.valor;
            if (!any || p.valor > *max) *max = p.valor;
            any = true;
        }
    return any;
}
