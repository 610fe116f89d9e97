#include "SenyalesMonitor.h"

#include <cmath>

#include "AppGlobals.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "StrictNumber.h"
#include "mIdioma.h"

ListaSenyales& listaSenyales() {
    static ListaSenyales lista;
    return lista;
}

QString claveSenyal(int direccion) {
    const QString digits = QString::number(std::abs(direccion)).rightJustified(4, QLatin1Char('0'));
    return QStringLiteral("AD") + (direccion < 0 ? QStringLiteral("-") : QString()) + digits;
}

namespace {
qint16 sentido(const QString& text) {
    const QString t = text.trimmed();
    if (t == QLatin1String("R")) return 0;
    if (t == QLatin1String("W")) return 1;
    return 2;
}

qint16 numero(const QString& text) { return CInt(ValCelda(text)); }
qint16 numero(const TablaSenyales& t, int col, int row) { return numero(t.cellShared(col, row)); }

// Loads the protocol's table and appends each active row of an enabled
// device; `fill` maps the row's fields into the record.
template <typename Fill>
void cargaTabla(int slot, int colDisp, int colActiva, const QVector<bool>& enabled, Fill fill) {
    TablaSenyales t;
    if (!Carga_Senyales(slot, QString::fromLatin1(kVersionTabla), t)) return;
    ListaSenyales& l = listaSenyales();
    l.Senyales.reserve(l.Senyales.size() + t.rows());
    for (int r = 1; r <= t.rows(); ++r) {
        const double activa = ValCelda(t.cellShared(colActiva, r));
        if (activa == 0) continue;
        const qint32 disp = CLng(ValCelda(t.cellShared(colDisp, r)));
        if (disp < 0 || disp >= enabled.size() || !enabled[disp]) continue;
        Senyal s;
        s.Disp = t.cell(colDisp, r);
        s.Activa = CInt(activa);
        fill(t, r, s);
        l.Senyales.append(s);
        l.NumSenyales = qint32(l.Senyales.size() - 1);
        // A repeated address keeps pointing at its first record.
        const QString key = claveSenyal(s.Direccion);
        if (!l.IndiceSenyales.contains(key)) l.IndiceSenyales.insert(key, l.NumSenyales);
    }
}

QString nombreProtocolo(int slot, const char* fallback) {
    const QString name = app().Protocolos.value(slot);
    return name.isEmpty() ? QString::fromLatin1(fallback) : name;
}

// Device 0 (the gateway itself) counts once any device is enabled.
bool conGateway(QVector<bool>& enabled) {
    bool any = false;
    for (bool e : enabled) any = any || e;
    if (any) enabled[0] = true;
    return any;
}
}  // namespace

void Carga_SenyalesLon() {
    AppGlobals& g = app();
    const QString prot = nombreProtocolo(kSlotLon, "LON");
    g.NombreIni = prot;
    IniReadBatch once;  // every device's key, one file
    const qint32 n = qMax(0, LeeIniEntero(prot, QStringLiteral("NDevs"), 0));
    QVector<bool> enabled(n + 1, false);
    for (int i = 1; i <= n; ++i) enabled[i] = LeeIniEntero(prot, QStringLiteral("D%1-On").arg(i), 0) != 0;
    if (!conGateway(enabled)) return;
    cargaTabla(kSlotLon, 1, 17, enabled, [](const TablaSenyales& t, int r, Senyal& s) {
        s.Descripcion = t.cell(12, r);
        s.Numero = numero(t, 2, r);
        s.NombreSNVT = t.cell(3, r);
        s.Direccion = numero(t, 13, r);
        s.Sentido = sentido(t.cellShared(14, r));
        s.AccesoNV = t.cell(11, r);
        s.Espontaneo = t.cell(16, r);
    });
}

void Carga_SenyalesMbs6() {
    AppGlobals& g = app();
    const QString prot = nombreProtocolo(kSlotMbs6, "MBS6");
    g.NombreIni = prot;
    QVector<bool> enabled(64, false);
    IniReadBatch once;
    for (int i = 1; i <= 63; ++i) enabled[i] = LeeIniEntero(prot, QStringLiteral("D%1-On").arg(i), 0) != 0;
    if (!conGateway(enabled)) return;
    cargaTabla(kSlotMbs6, 1, 8, enabled, [](const TablaSenyales& t, int r, Senyal& s) {
        s.Descripcion = t.cell(3, r);
        s.Numero = numero(t, 2, r);
        s.Direccion = numero(t, 4, r);
        s.Sentido = sentido(t.cellShared(5, r));
        s.TipoSenyal = numero(t, 6, r);
        s.Espontaneo = t.cell(7, r);
    });
}

void Carga_DatosMFAPilmora(const QString& protocol) {
    ListaSenyales& l = listaSenyales();
    l.IndiceSenyales = QHash<QString, qint32>();
    l.Desconocidas.clear();
    l.Senyales = QVector<Senyal>(1);
    l.NumSenyales = 0;
    if (protocol == QLatin1String("LON"))
        Carga_SenyalesLon();
    else if (protocol == QLatin1String("MBS6"))
        Carga_SenyalesMbs6();
}

bool SenyalesSink::setValue(const QString& key, const QString& text, QString* note) {
    ListaSenyales& l = listaSenyales();
    const auto it = l.IndiceSenyales.constFind(key);
    if (it == l.IndiceSenyales.constEnd()) {
        if (l.alRecibir) l.alRecibir(key);
        // A flood of made-up addresses must not grow the count without end.
        constexpr int kMaxDesconocidas = 10000;
        auto d = l.Desconocidas.find(key);
        if (d == l.Desconocidas.end() && l.Desconocidas.size() < kMaxDesconocidas) d = l.Desconocidas.insert(key, 0);
        if (d != l.Desconocidas.end() && ++*d == 1 && note) *note = Texto("RecibidaSenyalNoExistente") + key;
        return false;
    }
    Senyal& s = l.Senyales[*it];
    double v = 0;
    s.Valido = EsNumero(text, &v) && std::fabs(v) <= kMaxValor;
    s.Valor = s.Valido ? std::round(v * 10000.0) / 10000.0 : 0;
    s.TextoInforme = text.size() > kMaxTextoInforme ? text.left(kMaxTextoInforme) : text;
    s.HayValor = true;
    s.Enviado.clear();
    s.UltimoInforme = QDateTime::currentDateTime();
    const qint32 indice = *it;
    if (s.UltimaEscritura.isValid() && !s.EcoHora.isValid()) s.Eco = s.TextoInforme, s.EcoHora = s.UltimoInforme;
    if (l.alInformar) l.alInformar(indice);
    // After the value is stored: the pass that hears of it may end and print the table at once.
    if (l.alRecibir) l.alRecibir(key);
    return true;
}

void SenyalesSink::clearAll() {
    ListaSenyales& l = listaSenyales();
    for (Senyal& s : l.Senyales) {
        s.Valor = 0;
        s.HayValor = false;
        s.Valido = false;
        s.TextoInforme.clear();
        s.Enviado.clear();
    }
}

QString textoValor(const Senyal& s) {
    if (!s.HayValor || !s.Valido) return QString();
    QString t = QString::number(s.Valor, 'f', 4);
    while (t.endsWith(QLatin1Char('0'))) t.chop(1);
    if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    return t == QLatin1String("-0") ? QStringLiteral("0") : t;
}

QString textoMostrado(const Senyal& s) {
    if (!s.Enviado.isEmpty()) return Texto("MonitorEnviado") + s.Enviado;
    if (!s.HayValor || s.Valido) return textoValor(s);
    // Shown on one line and not without end; control characters as "?".
    QString t = s.TextoInforme.left(64);
    for (QChar& c : t)
        if (c.unicode() < 32 || c.unicode() == 127) c = QLatin1Char('?');
    return Texto("MonitorNoValido") + t + (s.TextoInforme.size() > 64 ? QStringLiteral("...") : QString());
}

QString textoDesconocidas() {
    const ListaSenyales& l = listaSenyales();
    if (l.Desconocidas.isEmpty()) return QString();
    QStringList keys = l.Desconocidas.keys();
    keys.sort();
    QStringList parts;
    for (const QString& k : keys.mid(0, 8)) parts << QStringLiteral("%1 (%2)").arg(k).arg(l.Desconocidas.value(k));
    if (keys.size() > 8) parts << QStringLiteral("... (%1)").arg(keys.size());
    return Texto("MonitorDesconocidas") + parts.join(QStringLiteral(", "));
}
