#include "VisorSenyales.h"

#include <cmath>

#include "AppGlobals.h"
#include "Numeric.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {
// What a 64-bit fixed-point value with four decimals can hold.
constexpr double kMaxValor = 922337203685477.5807;
}  // namespace

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

void VisorSenyales::Datos_Carga() {
    grid.setRedraw(false);
    for (int* c : {&colDisp, &colNumero, &colNombreSNVT, &colAccesoNV, &colDescripcion, &colDireccion, &colEspontaneo,
                   &colSentido, &colTipoSenyal, &colValor, &colUltimo})
        *c = 0;
    const char* spon = "If active, every time a change in the LON data, will be transmited an Ascii data.";
    const char* rw = "Data direction: Read only, Write only, Read&&Write";
    QVector<Columna> set;
    if (app().ProtEquipo == QLatin1String("LON")) {
        set = {{&colDisp, "Disp", true, 500, "NMaquinaPertenecenSenyales", true},
               {&colNumero, "SNVT", false, 500, "SNVT standard Id", false},
               {&colNombreSNVT, "SNVT name", false, 2200, "SNVT name (use-right-click menu)", false},
               {&colAccesoNV, "RW", false, 400, "Read, Write, Read/Write access to NV. (nv outputs only can be read)",
                false},
               {&colDescripcion, "Senyal", true, 2000, "NombreSenyalIntegrar", true},
               {&colEspontaneo, "Spontaneous", false, 1100, spon, false},
               {&colDireccion, nullptr, false, 600, "Address ASCII", false},
               {&colSentido, "R/W", false, 600, rw, false}};
    } else {
        set = {{&colDisp, "Disp", true, 500, "NMaquinaPertenecenSenyales", true},
               {&colNumero, "Prop.", false, 500, "Property", false},
               {&colDescripcion, "Senyal", true, 4500, "NombreSenyalIntegrar", true},
               {&colDireccion, nullptr, false, 600, "Address ASCII", false},
               {&colEspontaneo, "Spontaneous", false, 1100, spon, false},
               {&colSentido, "R/W", false, 500, rw, false},
               {&colTipoSenyal, nullptr, false, 600, "TipoSenyal", true}};
    }
    set.append(Columna{&colValor, "Dato", true, 800, "DatoEntradaSalida", true});
    // Beyond the value: when it came, so a stale value is seen as stale.
    set.append(Columna{&colUltimo, "MonitorUltimoInforme", true, 1300, "MonitorUltimoInformeAyuda", true});
    for (int i = 0; i < set.size(); ++i) *set[i].col = i + 1;

    grid.setCols(int(set.size()) + 1);
    info = QVector<InfoColumna>(grid.Cols());
    Carga_CabecerasComunes(grid, info, 0, colDireccion, 0, colTipoSenyal, 0);
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
    m_avisadas.clear();
    faltas += refresca(1, l.NumSenyales);
    grid.setRedraw(true);
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

void VisorSenyales::refrescaFilas(int first, int last) { avisa(refresca(first, last)); }

int VisorSenyales::refresca(int first, int last) {
    const ListaSenyales& l = listaSenyales();
    int faltas = 0;
    for (int row = qMax(1, first); row <= last && row < grid.Rows(); ++row) {
        const int i = senyalDeFila(row);
        if (i == 0) continue;
        const Senyal& s = l.Senyales[i];
        const bool bad = s.HayValor && !(std::fabs(s.Valor) <= kMaxValor);
        grid.setTextMatrix(row, colValor, bad ? QString() : textoValor(s));
        grid.setTextMatrix(row, colUltimo,
                           s.HayValor ? s.UltimoInforme.toString(QStringLiteral("hh:mm:ss")) : QString());
        if (bad && !m_avisadas.contains(i)) m_avisadas.insert(i), ++faltas;
    }
    return faltas;
}

QString VisorSenyales::captionRefrescar() const { return m_sondeando ? QStringLiteral("Stop") : Texto("cmdRefrescar"); }

void VisorSenyales::para() {
    m_sondeando = false;
    indiceSondeo = 1;
}

void VisorSenyales::cmdRefrescar() {
    if (m_sondeando) {
        para();
    } else if (listaSenyales().NumSenyales >= 1 && app().EstadoConexion == 2) {
        indiceSondeo = 1;
        m_sondeando = true;
    }
}

void VisorSenyales::tick() {
    if (!m_sondeando) return;
    const ListaSenyales& l = listaSenyales();
    if (indiceSondeo <= l.NumSenyales && transmite)
        transmite(claveSenyal(l.Senyales[indiceSondeo].Direccion) + QLatin1Char('?'));
    ++indiceSondeo;
    if (indiceSondeo > l.NumSenyales || app().EstadoConexion != 2) para();
}

void VisorSenyales::mnuRefresh(int row) {
    const int i = senyalDeFila(row);
    if (i > 0 && transmite) transmite(claveSenyal(listaSenyales().Senyales[i].Direccion) + QLatin1Char('?'));
}

bool VisorSenyales::escribe(int row, const QString& answer) {
    const int i = senyalDeFila(row);
    if (i == 0 || answer.isEmpty()) return false;
    Senyal& s = listaSenyales().Senyales[i];
    s.Valor = Val(Normaliza_Decimal(answer));
    const QString frame = tramaEscritura(s, s.Valor);
    if (frame.isEmpty()) return false;
    if (transmite) transmite(frame);
    return true;
}

QString VisorSenyales::textoCopia() {
    grid.setRedraw(false);
    refrescaFilas(1, grid.Rows() - 1);
    grid.setRedraw(true);
    if (grid.Rows() < 2) return QString();
    QString out;
    for (int r = 0; r < grid.Rows(); ++r) {
        if (grid.isRowHidden(r)) continue;  // what the filter shows
        for (int c = 0; c < grid.Cols(); ++c) out += grid.TextMatrix(r, c) + QLatin1Char('\t');
        out += QStringLiteral("\r\n");
    }
    return out;
}
