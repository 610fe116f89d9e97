#include "VisorSenyales.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "AppGlobals.h"
#include "Numeric.h"
#include "Prompts.h"
#include "StrictNumber.h"
#include "mIdioma.h"

QString formatoDosDecimales(double v) {
    const double r = std::round(std::fabs(v) * 100.0) / 100.0;
    QString t = QString::number(r, 'f', 2);
    if (t.startsWith(QLatin1String("0."))) t.remove(0, 1);
    return (v < 0 && r != 0 ? QStringLiteral("-") : QString()) + t;
}

QString tramaEscritura(const Senyal& s, double valor) {
    QString text;
    if (s.TipoSenyal == 0)
        text = formatoDosDecimales(valor);
    else if (s.TipoSenyal == 1)
        text = valor != 0 ? QStringLiteral("1") : QStringLiteral("0");
    else
        return QString();
    return claveSenyal(s.Direccion) + QLatin1Char('=') + text;
}

namespace {
struct Columna {
    int* col;
    const char* caption;  // language key when `key`
    bool key;
    int width;
    const char* help;
    bool helpKey;
};
}  // namespace

VisorSenyales::VisorSenyales() {
    sondeo.transmite = [this](const QString& t) {
        if (transmite) transmite(t);
    };
    sondeo.enLinea = [] { return app().EstadoConexion == 2; };
    QObject::connect(&sondeo, &PollPass::terminada, &sondeo, [this](bool completa) { finSondeo(completa); });
    listaSenyales().alRecibir = [this](const QString& key) { sondeo.respuesta(key); };
}

VisorSenyales::~VisorSenyales() { listaSenyales().alRecibir = nullptr; }

void VisorSenyales::Datos_Carga() {
    RedrawOff off(grid);
    for (int* c : {&colDisp, &colNumero, &colNombreSNVT, &colAccesoNV, &colDescripcion, &colDireccion, &colEspontaneo,
                   &colSentido, &colTipoSenyal, &colValor, &colUltimo})
        *c = 0;
    const char* spon = "AyudaColEspontaneo";
    const char* rw = "AyudaColSentido";
    QVector<Columna> set;
    if (app().ProtEquipo == QLatin1String("LON")) {
        set = {{&colDisp, "Disp", true, 500, "NMaquinaPertenecenSenyales", true},
               {&colNumero, "SNVT", false, 500, "AyudaColSnvt", true},
               {&colNombreSNVT, "ColSnvtNombre", true, 2200, "AyudaColSnvtNombre", true},
               {&colAccesoNV, "RW", false, 400, "AyudaColRW", true},
               {&colDescripcion, "Senyal", true, 2000, "NombreSenyalIntegrar", true},
               {&colEspontaneo, "ColEspontaneo", true, 1100, spon, true},
               {&colDireccion, nullptr, false, 600, "AyudaDirAscii", true},
               {&colSentido, "R/W", false, 600, rw, true}};
    } else {
        set = {{&colDisp, "Disp", true, 500, "NMaquinaPertenecenSenyales", true},
               {&colNumero, "ColProp", true, 500, "AyudaColProp", true},
               {&colDescripcion, "Senyal", true, 4500, "NombreSenyalIntegrar", true},
               {&colDireccion, nullptr, false, 600, "AyudaDirAscii", true},
               {&colEspontaneo, "ColEspontaneo", true, 1100, spon, true},
               {&colSentido, "R/W", false, 500, rw, true},
               {&colTipoSenyal, nullptr, false, 600, "TipoSenyal", true}};
    }
    set.append(Columna{&colValor, "Dato", true, 800, "DatoEntradaSalida", true});
    // Beyond the value: when it came, so a stale value is seen as stale.
    set.append(Columna{&colUltimo, "MonitorUltimoInforme", true, 1300, "MonitorUltimoInformeAyuda", true});
    for (int i = 0; i < set.size(); ++i) *set[i].col = i + 1;

    grid.setCols(int(set.size()) + 1);
    info = QVector<InfoColumna>(grid.Cols());
    Carga_CabecerasComunes(grid, info, colDireccion, colTipoSenyal, 0);
    for (const Columna& c : set) {
        if (c.caption) {
            grid.setTextMatrix(0, *c.col, c.key ? Texto(c.caption) : QString::fromLatin1(c.caption));
            grid.setColWidth(*c.col, c.width);
        }
        info[*c.col].Ayuda = c.helpKey ? Texto(c.help) : QString::fromLatin1(c.help);
    }
    for (int col : {colEspontaneo, colSentido}) info[col].Opciones.clear();
    info[colEspontaneo].Opciones.Add(QStringLiteral("0-NoSpon"), QStringLiteral("K0"));
    info[colEspontaneo].Opciones.Add(QStringLiteral("1-Spon"), QStringLiteral("K1"));
    info[colSentido].Opciones.Add(QStringLiteral("R"), QStringLiteral("K0"));
    info[colSentido].Opciones.Add(QStringLiteral("W"), QStringLiteral("K1"));
    info[colSentido].Opciones.Add(QStringLiteral("RW"), QStringLiteral("K2"));

    const ListaSenyales& l = listaSenyales();
    grid.setRows(qMax(2, l.NumSenyales + 1));
    for (int c = 0; c < grid.Cols(); ++c) grid.setTextMatrix(1, c, QString());
    grid.setRowData(1, 0);
    int faltas = 0;
    // A choice the column does not offer: the cell stays empty, the row counts once.
    auto eleccion = [&](int row, int col, qint16 code, bool* falta) {
        const QString key = QStringLiteral("K%1").arg(code);
        *falta = *falta || !info[col].Opciones.contains(key);
        grid.setTextMatrix(row, col, info[col].Opciones.Item(key));
    };
    for (int i = 1; i <= l.NumSenyales; ++i) {
        const Senyal& s = l.Senyales[i];
        grid.setTextMatrix(i, 0, QString::number(i));
        grid.setRowData(i, i);
        grid.setTextMatrix(i, colDisp, s.Disp);
        grid.setTextMatrix(i, colNumero, QString::number(s.Numero));
        if (colNombreSNVT) grid.setTextMatrix(i, colNombreSNVT, s.NombreSNVT);
        if (colAccesoNV) grid.setTextMatrix(i, colAccesoNV, s.AccesoNV);
        grid.setTextMatrix(i, colDescripcion, s.Descripcion);
        grid.setTextMatrix(i, colEspontaneo, s.Espontaneo);
        grid.setTextMatrix(i, colDireccion, QString::number(s.Direccion));
        bool falta = false;
        eleccion(i, colSentido, s.Sentido, &falta);
        if (colTipoSenyal) eleccion(i, colTipoSenyal, s.TipoSenyal, &falta);
        faltas += falta;
    }
    // The list was built again: its indexes are not the pass's any more.
    sondeo.stop();
    m_sinRespuesta.clear();
    m_hayResumen = false;
    refrescaFilas(1, l.NumSenyales);
    off.end();
    // With drawing on, so the view hears of every row the filter hides or shows.
    filtra(m_filtro);
    avisa(faltas);
}

void VisorSenyales::avisa(int faltas) {
    if (faltas > 0)
        Aviso(Texto("AlgunDatoIncorrecto") + (faltas > 1 ? QStringLiteral(" (%1)").arg(faltas) : QString()));
}

int VisorSenyales::filtra(const QString& texto) {
    m_filtro = texto.trimmed();
    const ListaSenyales& l = listaSenyales();
    int shown = 0;
    for (int row = 1; row < grid.Rows(); ++row) {
        const int i = senyalDeFila(row);
        bool show = m_filtro.isEmpty();
        if (!show && i > 0) {
            const Senyal& s = l.Senyales[i];
            show = s.Descripcion.contains(m_filtro, Qt::CaseInsensitive) ||
                   claveSenyal(s.Direccion).contains(m_filtro, Qt::CaseInsensitive);
        }
        grid.setRowHeight(row, show ? SignalGrid::kDefaultRowHeight : 0);
        shown += show;
    }
    return shown;
}

QVector<qint32> VisorSenyales::seleccionadas() const {
    QVector<qint32> out;
    for (int row = qMin(grid.Row(), grid.RowSel()); row <= qMax(grid.Row(), grid.RowSel()); ++row)
        if (const int i = senyalDeFila(row); i > 0 && !grid.isRowHidden(row)) out.append(i);
    return out;
}

int VisorSenyales::senyalDeFila(int row) const {
    if (row <= 0 || row >= grid.Rows()) return 0;
    const qint32 i = grid.RowData(row);
    return i > 0 && i <= listaSenyales().NumSenyales ? i : 0;
}

void VisorSenyales::refrescaFilas(int first, int last) {
    const ListaSenyales& l = listaSenyales();
    for (int row = qMax(1, first); row <= last && row < grid.Rows(); ++row) {
        const int i = senyalDeFila(row);
        if (i == 0) continue;
        const Senyal& s = l.Senyales[i];
        grid.setTextMatrix(row, colValor, textoMostrado(s));
        QString when = s.HayValor ? s.UltimoInforme.toString(QStringLiteral("hh:mm:ss")) : QString();
        if (sinRespuesta(i)) when = Texto("MonitorNoContesta");
        grid.setTextMatrix(row, colUltimo, when);
    }
}

int VisorSenyales::marcaCelda(int row, int col) const {
    const int i = senyalDeFila(row);
    if (i == 0 || (col != colValor && col != colUltimo)) return 0;
    const Senyal& s = listaSenyales().Senyales[i];
    if (col == colUltimo) return sinRespuesta(i) ? kAviso : 0;
    if (!s.Enviado.isEmpty()) return kPendiente;
    return s.HayValor && !s.Valido ? kAviso : 0;
}

bool VisorSenyales::sinRespuesta(qint32 indice) const {
    if (!m_sinRespuesta.contains(indice)) return false;
    const Senyal& s = listaSenyales().Senyales[indice];
    return !s.HayValor || s.UltimoInforme < m_inicioPasada;
}

QString VisorSenyales::captionRefrescar() const { return sondeando() ? QStringLiteral("Stop") : Texto("cmdRefrescar"); }

void VisorSenyales::cmdRefrescar() {
    if (sondeando()) {
        sondeo.stop();
        return;
    }
    const ListaSenyales& l = listaSenyales();
    if (l.NumSenyales < 1 || app().EstadoConexion != 2) return;
    // Asked in list order, whatever the grid's sort, filter or scroll position.
    QStringList keys;
    m_pasada.clear();
    for (qint32 i = 1; i <= l.NumSenyales; ++i) {
        keys << claveSenyal(l.Senyales[i].Direccion);
        m_pasada << i;
    }
    m_sinRespuesta.clear();
    m_hayResumen = false;
    m_inicioPasada = QDateTime::currentDateTime();
    sondeo.start(keys);
}

void VisorSenyales::finSondeo(bool completa) {
    if (!completa) return;  // link lost: what did not come is not the signals' fault
    for (int pos = 0; pos < m_pasada.size(); ++pos)
        if (!sondeo.contestada(pos)) m_sinRespuesta.insert(m_pasada[pos]);
    m_hayResumen = true;
    refrescaFilas(1, grid.Rows() - 1);
}

QString VisorSenyales::textoSondeo() const {
    const QLocale loc;
    QString t;
    if (sondeando())
        t = Texto("MonitorProgreso").arg(loc.toString(sondeo.enviadas()), loc.toString(sondeo.total()));
    else if (m_hayResumen && m_sinRespuesta.isEmpty())
        t = Texto("MonitorPasadaCompleta") + loc.toString(sondeo.total());
    else if (m_hayResumen)
        t = Texto("MonitorPasadaSinRespuesta")
                .arg(loc.toString(qsizetype(m_sinRespuesta.size())), loc.toString(sondeo.total()));
    const QString otras = textoDesconocidas();
    if (!otras.isEmpty()) t += (t.isEmpty() ? QString() : QStringLiteral("\n")) + otras;
    return t;
}

void VisorSenyales::mnuRefresh(int row) {
    const int i = senyalDeFila(row);
    if (i > 0 && transmite) transmite(claveSenyal(listaSenyales().Senyales[i].Direccion) + QLatin1Char('?'));
}

VisorSenyales::Escritura VisorSenyales::puedeEscribir(int row) const {
    const int i = senyalDeFila(row);
    if (i == 0) return Escritura::SinSenyal;
    return listaSenyales().Senyales[i].Sentido == 0 ? Escritura::SoloLectura : Escritura::Enviada;
}

VisorSenyales::Escritura VisorSenyales::escribe(int row, const QString& answer) {
    const Escritura puede = puedeEscribir(row);
    if (puede != Escritura::Enviada) return puede;
    if (answer.isEmpty()) return Escritura::Vacia;
    double valor = 0;
    if (!EsNumero(Normaliza_Decimal(answer), &valor) || !(std::fabs(valor) <= kMaxValor)) return Escritura::NoEsNumero;
    Senyal& s = listaSenyales().Senyales[senyalDeFila(row)];
    const QString frame = tramaEscritura(s, valor);
    if (frame.isEmpty()) return Escritura::OtroTipo;
    if (transmite) transmite(frame);
    // Shown as sent, not as reported: the value stays the gateway's until it reports again.
    s.Enviado = frame.mid(frame.indexOf(QLatin1Char('=')) + 1);
    s.Escrito = s.Enviado, s.UltimaEscritura = QDateTime::currentDateTime(), s.EcoHora = {};
    refrescaFilas(row, row);
    return Escritura::Enviada;
}

QVector<int> VisorSenyales::anchosColumnas(const std::function<int(const QString&, int)>& mide, int disponible) const {
    constexpr int kMargen = 14;   // the cell's padding and grid line
    constexpr int kMuestras = 6;  // longest texts of a column measured
    constexpr int kMaxColumna = 480;
    QVector<int> anchos(grid.Cols(), 0);
    int otras = 0;
    int necesitaDesc = 0;
    for (int c = 1; c < grid.Cols(); ++c) {
        // The texts with the most characters are, near enough, the widest: a few are measured, not 4,000.
        QStringList largos;
        if (c == colValor)
            largos << Texto("MonitorEnviado") + QStringLiteral("-0000.00")
                   << Texto("MonitorNoValido") + QStringLiteral("ERR") << QStringLiteral("-00000.0000");
        if (c == colUltimo) largos << QStringLiteral("00:00:00") << Texto("MonitorNoContesta");
        QVector<QString> muestras;
        for (int r = 1; r < grid.Rows(); ++r) {
            const QString t = grid.TextMatrix(r, c);
            if (muestras.size() == kMuestras && t.size() <= muestras.last().size()) continue;
            if (muestras.contains(t)) continue;
            auto at =
                std::find_if(muestras.begin(), muestras.end(), [&](const QString& m) { return t.size() > m.size(); });
            muestras.insert(at, t);
            if (muestras.size() > kMuestras) muestras.removeLast();
        }
        for (const QString& m : muestras) largos << m;
        int w = mide(grid.TextMatrix(0, c), c);
        for (const QString& t : largos) w = qMax(w, mide(t, 0));
        w += kMargen;
        if (c == colDescripcion) {
            necesitaDesc = w;
        } else {
            anchos[c] = qMin(w, kMaxColumna);
            otras += anchos[c];
        }
    }
    if (colDescripcion > 0 && disponible <= 0) {
        anchos[colDescripcion] = necesitaDesc;  // no room given: as wide as it needs
    } else if (colDescripcion > 0) {
        // The description reads in full when there is room; else it shares, and the grid scrolls.
        const int sobra = disponible - otras;
        anchos[colDescripcion] = qMax(qMin(necesitaDesc, qMax(200, disponible / 2)), sobra);
    }
    return anchos;
}

QString VisorSenyales::textoCopia() {
    {
        RedrawOff off(grid);
        refrescaFilas(1, grid.Rows() - 1);
    }
    if (grid.Rows() < 2) return QString();
    QString out;
    for (int r = 0; r < grid.Rows(); ++r) {
        if (grid.isRowHidden(r)) continue;  // what the filter shows
        for (int c = 0; c < grid.Cols(); ++c) out += grid.TextMatrix(r, c) + QLatin1Char('\t');
        out += QStringLiteral("\r\n");
    }
    return out;
}
