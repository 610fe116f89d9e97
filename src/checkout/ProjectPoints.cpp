#include "ProjectPoints.h"

#include "AppGlobals.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "Numeric.h"

namespace {
QString numeroLeido(const QString& text) { return QString::number(CLng(ValCelda(text))); }

QString sentido(const QString& text) {
    const QString t = text.trimmed();
    return t == QLatin1String("R") || t == QLatin1String("W") ? t : QStringLiteral("RW");
}
}  // namespace

QString ProjectPoint::identidad() const {
    QStringList parts{numeroLeido(disp), numeroLeido(numero)};
    if (lon) parts << numeroLeido(indice) << numeroLeido(offset);
    return parts.join(QLatin1Char('/'));
}

QString ProjectPoint::definicion() const {
    QStringList parts;
    if (lon)
        parts << tipoDato.trimmed() << a.trimmed() + QLatin1Char(',') + b.trimmed() + QLatin1Char(',') + c.trimmed()
              << accesoNV.trimmed();
    parts << sentido << (digital ? QStringLiteral("D") : QStringLiteral("A"));
    // Blank fields left out: the text survives a file that trims its cells.
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' ')).simplified();
}

bool leePuntosProyecto(int slot, QVector<ProjectPoint>* out) {
    out->clear();
    const bool lon = slot == kSlotLon;
    const QString prot = app().Protocolos.value(slot, lon ? QStringLiteral("LON") : QStringLiteral("MBS6"));
    app().NombreIni = prot;
    const int n = lon ? qMax(0, LeeIniEntero(prot, QStringLiteral("NDevs"), 0)) : 63;
    QVector<bool> enabled(n + 1, false);
    bool any = false;
    for (int i = 1; i <= n; ++i)
        any = (enabled[i] = LeeIniEntero(prot, QStringLiteral("D%1-On").arg(i), 0) != 0) || any;
    if (!any) return true;
    enabled[0] = true;
    TablaSenyales t;
    if (!Carga_Senyales(slot, QString::fromLatin1(kVersionTabla), t)) return false;
    out->reserve(t.rows());
    for (int r = 1; r <= t.rows(); ++r) {
        if (ValCelda(t.cell(lon ? 17 : 8, r)) == 0) continue;
        const qint32 d = CLng(ValCelda(t.cell(1, r)));
        if (d < 0 || d >= enabled.size() || !enabled[d]) continue;
        ProjectPoint p;
        p.lon = lon;
        p.disp = t.cell(1, r);
        p.numero = t.cell(2, r);
        if (lon) {
            p.nombreSnvt = t.cell(3, r), p.indice = t.cell(4, r), p.offset = t.cell(5, r);
            p.tipoDato = t.cell(6, r), p.a = t.cell(7, r), p.b = t.cell(8, r), p.c = t.cell(9, r);
            p.accesoNV = t.cell(11, r);
            p.descripcion = t.cell(12, r);
            p.direccion = CInt(ValCelda(t.cell(13, r)));
            p.sentido = sentido(t.cell(14, r));
            p.digital = CInt(ValCelda(t.cell(15, r))) == 1;
            p.espontaneo = t.cell(16, r);
        } else {
            p.descripcion = t.cell(3, r);
            p.direccion = CInt(ValCelda(t.cell(4, r)));
            p.sentido = sentido(t.cell(5, r));
            p.digital = CInt(ValCelda(t.cell(6, r))) == 1;
            p.espontaneo = t.cell(7, r);
        }
        out->append(p);
    }
    return true;
}
