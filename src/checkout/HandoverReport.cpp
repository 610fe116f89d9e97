#include "HandoverReport.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "DownloadHistory.h"
#include "LonConfig.h"
#include "Mbs6Config.h"
#include "ModulINI.h"
#include "ProjectCatalogue.h"
#include "SignalCsv.h"
#include "mIdioma.h"

namespace {
QString esc(const QString& t) { return t.toHtmlEscaped(); }

QString siNo(bool b) { return Texto(b ? "Si" : "No"); }

// A caption: the key's text without the blank or ": " the program follows it with.
QString rotulo(const char* key) {
    QString t = Texto(key).trimmed();
    if (t.endsWith(QLatin1Char(':'))) t.chop(1);
    return t.trimmed();
}

QString escala(const ProjectPoint& p) {
    if (p.a.isEmpty() && p.b.isEmpty() && p.c.isEmpty()) return QString();
    return p.a + QStringLiteral(" \u00d7 10^") + p.b + QStringLiteral(" \u00d7 (x + ") + p.c + QLatin1Char(')');
}

QString tabla(const QStringList& head, const QVector<QStringList>& rows) {
    QString h;
    h.reserve(int(rows.size()) * 160);
    h += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><thead><tr>");
    for (const QString& c : head) h += QStringLiteral("<th>") + esc(c) + QStringLiteral("</th>");
    h += QStringLiteral("</tr></thead>");
    for (const QStringList& r : rows) {
        h += QStringLiteral("<tr>");
        for (const QString& c : r) h += QStringLiteral("<td>") + esc(c) + QStringLiteral("</td>");
        h += QStringLiteral("</tr>");
    }
    return h + QStringLiteral("</table>");
}

QString hora(const QDateTime& t) { return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString(); }
}  // namespace

bool HandoverReport::lee(const QString& folder, QString* error) {
    const QFileInfo dir(folder);
    if (!dir.isDir()) {
        *error = Texto("ProyectoNoEncontrado") + folder;
        return false;
    }
    const QString path = QDir::toNativeSeparators(dir.absoluteFilePath());
    protocolo = projectProtocol(path);
    const int slot = slotDeProtocolo(protocolo);
    if (slot != kSlotLon && slot != kSlotMbs6) {
        *error = Texto("ProtocoloNoSoportado") + (protocolo.isEmpty() ? QStringLiteral("-") : protocolo);
        return false;
    }
    lon = slot == kSlotLon;
    AppGlobals& g = app();
    g.RutaProyecto = path;
    g.NombreProyecto = proyecto = dir.fileName();
    g.ProtProyecto = protocolo;
    descripcion = iniRead(findNoCase(path, QStringLiteral("Project.ini")), QStringLiteral("Project"),
                          QStringLiteral("Desc"), QString());
    g.DescProyecto = descripcion;
    g.NombreIni = protocolo;
    fecha = QDateTime::currentDateTime();
    version = QStringLiteral(PILMORA_VERSION);

    auto ajuste = [this](const QString& label, const QString& value) { ajustes.append({label, value}); };
    if (lon) {
        LonConfig c;
        c.Carga_ConfLon();
        ajuste(rotulo("InformeModelo"), c.GatewayVersion);
        ajuste(rotulo("InformeFirmware"), c.FwVersion);
        ajuste(rotulo("InformeEnlace"), LonConfig::rsTcpCaptions().value(c.RS_TCP));
        ajuste(rotulo("Baudios"), c.baudText());
        ajuste(rotulo("BitsDatos"), c.bitsText());
        ajuste(rotulo("Paridad"), c.paridadText());
        ajuste(rotulo("InformeTimeoutAscii"), c.Tmout_ms);
        ajuste(rotulo("InformeEnviaOK"), siNo(c.SendACK));
        if (c.tcpVisible()) {
            ajuste(rotulo("EtqIP"), c.IP);
            ajuste(rotulo("EtqNetMask"), c.NetMask);
            ajuste(rotulo("EtqRouter"), c.Gateway);
            ajuste(rotulo("EtqPuerto"), QString::number(c.Port));
            ajuste(rotulo("InformeKeepAlive"), c.tmoutKeepAlive_sec);
        }
        ajuste(rotulo("InformeDominio"), c.Domain + QStringLiteral(" (") + c.LenDomain + QLatin1Char(')'));
        ajuste(rotulo("InformeSubredNodo"), QString::number(c.Subnet) + QLatin1Char('/') + QString::number(c.Node));
        ajuste(rotulo("InformeDireccionamiento"), LonConfig::addressingCaptions().value(c.Addressing));
        ajuste(rotulo("InformeTimeoutPoll"), c.TimeoutPoll);
        cabeceraDispositivos = {rotulo("Noo"), rotulo("Nombre"), QStringLiteral("Neuron ID"),
                                rotulo("InformeSubredNodo")};
        for (int n = 1; n <= c.deviceCount(); ++n)
            if (const LonDevice d = c.device(n); d.On)
                dispositivos.append({QString::number(n), d.Nm, d.NId, d.Sb + QLatin1Char('/') + d.Nd});
    } else {
        Mbs6Config c;
        c.Carga_ConfMbs6();
        ajuste(rotulo("Baudios"), c.baudText());
        ajuste(rotulo("BitsDatos"), c.bitsText());
        ajuste(rotulo("Paridad"), c.paridadText());
        ajuste(rotulo("InformeTimeoutAscii"), c.Tmout_ms);
        ajuste(rotulo("InformeEnviaOK"), siNo(c.SendACK));
        ajuste(rotulo("InformeTimeoutPoll"), c.TimeoutPoll);
        cabeceraDispositivos = {rotulo("Noo"), rotulo("Nombre")};
        for (int n = 1; n <= Mbs6Config::kUnits; ++n)
            if (const Mbs6Unit u = c.unit(n); u.On) dispositivos.append({QString::number(n), u.Nm});
    }

    // The download history as the history window shows it: newest first, captions in the user's language.
    QVector<HistoryRow> sends;
    QString why;
    if (!readHistory(path, &sends, &why)) {
        *error = Texto("NoSePuedeLeerFichero") + QLatin1Char('\r') + why;
        return false;
    }
    // The name of the kept copy is the tool's own business: the checksum names the file.
    cabeceraHistoria = Texto("HistColumnas").split(QLatin1Char('|')).mid(0, 9);
    for (auto it = sends.crbegin(); it != sends.crend(); ++it) historia.append(it->shownCells().mid(0, 9));

    if (!checkout.carga(slot, error)) return false;
    cuentas = {};
    for (const ProjectPoint& p : checkout.puntos()) ++cuentas[int(checkout.estado(p.direccion))];
    return true;
}

QStringList HandoverReport::cabeceraPuntos(bool csv) const {
    QStringList h{rotulo("InformeColDireccion"), rotulo("Descripcion"), rotulo("InformeColSentido"),
                  rotulo("InformeColTipo"), rotulo("InformeColDispositivo")};
    if (!lon) return h << rotulo("InformeColPropiedad");
    if (csv)
        return h << QStringLiteral("SNVT") << rotulo("InformeColSnvt") << rotulo("InformeColIndice")
                 << rotulo("InformeColOffset") << rotulo("InformeColTipoDato") << QStringLiteral("a")
                 << QStringLiteral("b") << QStringLiteral("c");
    return h << rotulo("InformeColSnvt") << rotulo("InformeColEscala");
}

QVector<QStringList> HandoverReport::filasPuntos(bool csv) const {
    QVector<QStringList> rows;
    rows.reserve(checkout.puntos().size());
    for (const ProjectPoint& p : checkout.puntos()) {
        QStringList r{QString::number(p.direccion), p.descripcion, p.sentido,
                      p.digital ? QStringLiteral("D") : QStringLiteral("A"), p.disp.trimmed()};
        if (!lon)
            r << p.numero.trimmed();
        else if (csv)
            r << p.numero.trimmed() << p.nombreSnvt << p.indice << p.offset << p.tipoDato << p.a << p.b << p.c;
        else
            r << p.nombreSnvt << escala(p);
        rows.append(r);
    }
    return rows;
}

QString HandoverReport::pie() const {
    return proyecto + QStringLiteral("  \u00b7  ") + fecha.toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
           QStringLiteral("  \u00b7  ") + QString::fromLatin1(kAppTitle) + QLatin1Char(' ') + version;
}

QString HandoverReport::htmlPortada() const {
    QString h = QStringLiteral("<h1>") + esc(Texto("InformeTitulo")) + QStringLiteral("</h1>");
    const QVector<QStringList> first{{rotulo("Descripcion"), descripcion},
                                     {rotulo("InformeProtocolo"), protocolo},
                                     {rotulo("InformeFecha"), hora(fecha)},
                                     {rotulo("Version"), QString::fromLatin1(kAppTitle) + QLatin1Char(' ') + version}};
    h += tabla({rotulo("Proyecto"), proyecto}, first);
    h += QStringLiteral("<h2>") + esc(rotulo("InformeAjustes")) + QStringLiteral("</h2>");
    return h + tabla({rotulo("InformeAjuste"), rotulo("InformeValor")}, ajustes);
}

QVector<SeccionInforme> HandoverReport::secciones() const {
    QVector<SeccionInforme> out;
    auto titulo = [](const char* key, qsizetype n) {
        return rotulo(key) + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')');
    };
    out.append({titulo("InformeDispositivos", dispositivos.size()), cabeceraDispositivos, dispositivos,
                lon ? QVector<int>{8, 50, 25, 17} : QVector<int>{10, 90}, QString(), false});
    out.append({titulo("InformePuntos", checkout.puntos().size()), cabeceraPuntos(false), filasPuntos(false),
                lon ? QVector<int>{8, 30, 7, 5, 7, 22, 21} : QVector<int>{10, 50, 10, 10, 10, 10}, QString(), true});
    SeccionInforme history{rotulo("InformeHistoria"), cabeceraHistoria, historia, {}, QString(), true};
    if (historia.isEmpty()) history.cabecera.clear(), history.texto = Texto("InformeSinHistoria");
    // time, result, way, file, size, checksum, gateway's answer, description, version
    history.pesos = history.cabecera.size() == 9 ? QVector<int>{10, 11, 13, 9, 6, 9, 16, 18, 8}
                                                 : QVector<int>(history.cabecera.size(), 1);
    out.append(history);

    QVector<QStringList> counts;
    int total = 0;
    for (int e : {2, 3, 4, 1, 0})
        counts.append({textoEstado(EstadoCheckout(e)), QString::number(cuentas[e])}), total += cuentas[e];
    counts.append({rotulo("InformeTotal"), QString::number(total)});
    out.append({rotulo("InformeCheckout"),
                {rotulo("InformeColEstado"), rotulo("InformeCantidad")},
                counts,
                {30, 70},
                QString(),
                true});

    // Failed rows first, then the table's order.
    QVector<const ProjectPoint*> order;
    order.reserve(checkout.puntos().size());
    for (const ProjectPoint& p : checkout.puntos()) order.append(&p);
    std::stable_sort(order.begin(), order.end(), [this](const ProjectPoint* a, const ProjectPoint* b) {
        return (checkout.estado(a->direccion) == EstadoCheckout::Fallido) >
               (checkout.estado(b->direccion) == EstadoCheckout::Fallido);
    });
    const QStringList head{rotulo("InformeColDireccion"), rotulo("Descripcion"),       rotulo("InformeColEstado"),
                           rotulo("InformeColValor"),     rotulo("InformeColEscrito"), rotulo("InformeColNota"),
                           rotulo("InformeColHora"),      rotulo("InformeColUsuario")};
    const QVector<int> weights{8, 20, 12, 16, 11, 14, 12, 7};
    auto row = [](int address, const QString& description, const CheckoutRecord* r) {
        QStringList x{QString::number(address), description, textoEstado(r ? r->estado : EstadoCheckout::SinComprobar)};
        if (!r) return x << QString() << QString() << QString() << QString() << QString();
        return x << (r->valor.isEmpty() ? QString()
                                        : r->valor + QStringLiteral(" (") + hora(r->informe) + QLatin1Char(')'))
                 << (r->escrito.isEmpty() ? QString() : r->escrito + QStringLiteral(" \u2192 ") + r->eco) << r->nota
                 << hora(r->hora) << r->usuario;
    };
    SeccionInforme table{QString(), head, {}, weights, QString(), false};
    table.filas.reserve(order.size());
    for (const ProjectPoint* p : order)
        table.filas.append(row(p->direccion, p->descripcion, checkout.registro(p->direccion)));
    out.append(table);

    const QVector<CheckoutRecord> orphans = checkout.huerfanos();
    if (!orphans.isEmpty()) {
        SeccionInforme old{titulo("InformeHuerfanos", orphans.size()), head, {}, weights, QString(), false};
        for (const CheckoutRecord& r : orphans) old.filas.append(row(r.direccion, r.descripcion, &r));
        out.append(old);
    }
    return out;
}

QString HandoverReport::html() const {
    QString h;
    h.reserve(int(checkout.puntos().size()) * 500 + 4096);
    h += QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") +
         esc(Texto("InformeTitulo") + QStringLiteral(" - ") + proyecto) +
         QStringLiteral(
             "</title><style>body{font-family:sans-serif;font-size:9pt} h1{font-size:16pt} "
             "h2{font-size:12pt} th{background-color:#e0e0e0;text-align:left} table{border-collapse:collapse} "
             "td,th{border:1px solid #999;padding:1px 4px} .s{page-break-before:always}</style></head><body>");
    h += htmlPortada();
    for (const SeccionInforme& s : secciones()) {
        if (!s.titulo.isEmpty())
            h += (s.nuevaPagina ? QStringLiteral("<h2 class=\"s\">") : QStringLiteral("<h2>")) + esc(s.titulo) +
                 QStringLiteral("</h2>");
        h += s.cabecera.isEmpty() ? QStringLiteral("<p>") + esc(s.texto) + QStringLiteral("</p>")
                                  : tabla(s.cabecera, s.filas);
    }
    return h + QStringLiteral("</body></html>");
}

bool escribePuntosCsv(const HandoverReport& r, const QString& path, QString* error) {
    QVector<QStringList> records{r.cabeceraPuntos(true)};
    records += r.filasPuntos(true);
    return escribeFichero(path, csvEncode(records, QLatin1Char(',')), error);
}
