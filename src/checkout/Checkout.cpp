#include "Checkout.h"

#include <QSet>
#include <algorithm>

#include "AppGlobals.h"
#include "SenyalesMonitor.h"

namespace {
// Seconds, as the file keeps them: a mark made now compares equal to itself read back.
QString claveDe(const ProjectPoint& p) {
    CheckoutRecord key;
    key.direccion = p.direccion, key.identidad = p.identidad(), key.definicion = p.definicion();
    return key.clave();
}

QDateTime ahora() {
    QDateTime t = QDateTime::currentDateTime();
    return t.addMSecs(-t.time().msec());
}
}  // namespace

bool valorValido(const Senyal& s) { return s.HayValor && s.Valido; }

bool Checkout::carga(int slot, QString* error) {
    m_porDireccion.clear();
    m_puntos.clear();
    // Other protocols have no signal list to check.
    if (slot == kSlotLon || slot == kSlotMbs6) leePuntosProyecto(slot, &m_puntos);
    m_claves.resize(m_puntos.size());
    for (int i = int(m_puntos.size()) - 1; i >= 0; --i) {
        m_porDireccion.insert(m_puntos[i].direccion, i);
        m_claves[i] = claveDe(m_puntos[i]);
    }
    m_store.setRuta(CheckoutStore::rutaEn(app().RutaProyecto));
    return m_store.carga(error);
}

const ProjectPoint* Checkout::punto(int direccion) const {
    const auto it = m_porDireccion.constFind(direccion);
    return it == m_porDireccion.constEnd() ? nullptr : &m_puntos[*it];
}

const CheckoutRecord* Checkout::registro(int direccion) const {
    const auto it = m_porDireccion.constFind(direccion);
    return it == m_porDireccion.constEnd() ? nullptr : m_store.registro(m_claves[*it]);
}

EstadoCheckout Checkout::estado(int direccion) const {
    const CheckoutRecord* r = registro(direccion);
    return r ? r->estado : EstadoCheckout::SinComprobar;
}

CheckoutRecord Checkout::nuevo(const Senyal& s, const ProjectPoint& p, EstadoCheckout e, const QDateTime& hora,
                               const QString& usuario) const {
    CheckoutRecord r;
    r.direccion = p.direccion;
    r.identidad = p.identidad();
    r.definicion = p.definicion();
    r.descripcion = p.descripcion;
    r.estado = e;
    // As the gateway reported it: a text that is not a number is evidence too.
    if (s.HayValor) r.valor = s.Valido ? textoValor(s) : s.TextoInforme, r.informe = s.UltimoInforme;
    if (s.UltimaEscritura.isValid()) {
        r.escrito = s.Escrito, r.escritura = s.UltimaEscritura;
        if (s.EcoHora.isValid()) r.eco = s.Eco, r.ecoHora = s.EcoHora;
    }
    r.hora = hora;
    r.usuario = usuario;
    return r;
}

bool Checkout::marca(const ListaSenyales& lista, const QVector<qint32>& indices, EstadoCheckout estado,
                     const QString& nota, bool soloNota, QString* error) {
    if (!m_store.recargaSiCambio(error)) return false;
    QVector<CheckoutRecord> cambios;
    cambios.reserve(indices.size());
    const QString usuario = nombreUsuario();
    const QDateTime hora = ahora();
    for (qint32 i : indices) {
        if (i < 1 || i > lista.NumSenyales) continue;
        const Senyal& s = lista.Senyales[i];
        const ProjectPoint* p = punto(s.Direccion);
        if (!p) continue;
        const CheckoutRecord* old = registro(s.Direccion);
        CheckoutRecord r =
            soloNota && old ? *old : nuevo(s, *p, soloNota ? EstadoCheckout::SinComprobar : estado, hora, usuario);
        if (soloNota || !nota.isNull()) r.nota = nota;
        if (!soloNota && nota.isNull() && old) r.nota = old->nota;
        r.hora = hora, r.usuario = usuario;
        cambios.append(r);
    }
    return cambios.isEmpty() || m_store.aplica(cambios, error);
}

bool Checkout::marcaContestados(const ListaSenyales& lista, int* marcados, QString* error) {
    if (!m_store.recargaSiCambio(error)) return false;
    QVector<CheckoutRecord> cambios;
    const QString usuario = nombreUsuario();
    const QDateTime hora = ahora();
    for (qint32 i = 1; i <= lista.NumSenyales; ++i) {
        const Senyal& s = lista.Senyales[i];
        const ProjectPoint* p = punto(s.Direccion);
        if (!p || !valorValido(s) || esVeredicto(estado(s.Direccion))) continue;
        CheckoutRecord r = nuevo(s, *p, EstadoCheckout::Contestado, hora, usuario);
        if (const CheckoutRecord* old = registro(s.Direccion)) r.nota = old->nota;
        cambios.append(r);
    }
    *marcados = int(cambios.size());
    return cambios.isEmpty() || m_store.aplica(cambios, error);
}

std::array<int, kEstadosCheckout> Checkout::cuenta(const ListaSenyales& lista) const {
    std::array<int, kEstadosCheckout> n{};
    for (qint32 i = 1; i <= lista.NumSenyales; ++i) ++n[int(estado(lista.Senyales[i].Direccion))];
    return n;
}

QVector<CheckoutRecord> Checkout::huerfanos() const {
    const QSet<QString> current(m_claves.cbegin(), m_claves.cend());
    QVector<CheckoutRecord> out;
    for (const CheckoutRecord& r : m_store.registros())
        if (!current.contains(r.clave())) out.append(r);
    std::sort(out.begin(), out.end(), [](const CheckoutRecord& a, const CheckoutRecord& b) {
        return a.direccion != b.direccion ? a.direccion < b.direccion : a.hora < b.hora;
    });
    return out;
}
