#include "CheckoutVisor.h"

#include "SenyalesMonitor.h"
#include "VisorSenyales.h"
#include "mIdioma.h"

bool CheckoutVisor::carga(VisorSenyales& v, int slot, QString* error) {
    const bool ok = checkout.carga(slot, error);
    SignalGrid& g = v.grid;
    colEstado = g.Cols();
    colNota = colEstado + 1;
    g.setCols(colNota + 1);
    v.info.resize(g.Cols());
    g.setTextMatrix(0, colEstado, Texto("CheckoutColumna"));
    g.setTextMatrix(0, colNota, Texto("CheckoutNota"));
    g.setColWidth(colEstado, 1300);
    g.setColWidth(colNota, 2500);
    v.info[colEstado].Ayuda = Texto("CheckoutColumnaAyuda");
    v.info[colNota].Ayuda = Texto("CheckoutNotaAyuda");
    escribeFilas(v);
    filtra(v, v.filtro());
    return ok;
}

void CheckoutVisor::escribeFilas(VisorSenyales& v) {
    const ListaSenyales& l = listaSenyales();
    QString texts[kEstadosCheckout];
    for (int e = 0; e < kEstadosCheckout; ++e) texts[e] = textoEstado(EstadoCheckout(e));
    RedrawOff off(v.grid);
    for (int row = 1; row < v.grid.Rows(); ++row) {
        const int i = v.senyalDeFila(row);
        const CheckoutRecord* r = i > 0 ? checkout.registro(l.Senyales[i].Direccion) : nullptr;
        v.grid.setTextMatrix(row, colEstado,
                             i > 0 ? texts[int(r ? r->estado : EstadoCheckout::SinComprobar)] : QString());
        v.grid.setTextMatrix(row, colNota, r ? r->nota : QString());
    }
    off.end();
    m_generacion = checkout.store().generacion();
}

bool CheckoutVisor::refresca(VisorSenyales& v, QString* error) {
    QString why;
    const bool ok = checkout.recarga(&why);
    if (checkout.store().generacion() != m_generacion) escribeFilas(v), filtra(v, v.filtro());
    const bool told = why == m_fallo;
    m_fallo = why;
    if (ok || told) return true;
    *error = why;
    return false;
}

int CheckoutVisor::filtra(VisorSenyales& v, const QString& texto) {
    int shown = v.filtra(texto);
    if (!soloSinComprobar) return shown;
    const ListaSenyales& l = listaSenyales();
    for (int row = 1; row < v.grid.Rows(); ++row) {
        const int i = v.senyalDeFila(row);
        if (v.grid.isRowHidden(row) || i == 0 || !esVeredicto(checkout.estado(l.Senyales[i].Direccion))) continue;
        v.grid.setRowHeight(row, 0);
        --shown;
    }
    return shown;
}

bool CheckoutVisor::marca(VisorSenyales& v, EstadoCheckout estado, const QString& nota, bool soloNota, int* marcadas,
                          QString* error) {
    const QVector<qint32> chosen = v.seleccionadas();
    *marcadas = int(chosen.size());
    const bool ok = checkout.marca(listaSenyales(), chosen, estado, nota, soloNota, error);
    escribeFilas(v);
    return ok;
}

QString CheckoutVisor::progreso() const {
    const auto n = checkout.cuenta(listaSenyales());
    int done = 0, total = 0;
    for (int e = 0; e < kEstadosCheckout; ++e) total += n[e], done += esVeredicto(EstadoCheckout(e)) ? n[e] : 0;
    QString t = Texto("CheckoutComprobadas") + QString::number(done) + QStringLiteral(" / ") + QString::number(total);
    if (const int gone = int(checkout.huerfanos().size()))
        t += QStringLiteral("  \u00b7  ") + Texto("CheckoutHuerfanos") + QString::number(gone);
    return t;
}
