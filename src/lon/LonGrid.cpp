#include "LonGrid.h"

#include <cmath>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "LonConfig.h"
#include "ModulConfASCII.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
// Columns 0, 13, 15 and 17 are the common ones; their captions and help come
// from Carga_CabecerasComunes (13's caption and help are then replaced).
const DefColumna kCols[LonCol::Count] = {
    {500, -1, SignalGrid::Text, nullptr, "Noo", nullptr, nullptr},
    {500, 0, SignalGrid::Int16, nullptr, "Disp", nullptr, "NMaquinaPertenecenSenyales"},
    {500, 2, SignalGrid::Int16, "SNVT", nullptr, nullptr, "AyudaColSnvt"},
    {2200, 2, SignalGrid::Text, nullptr, "ColSnvtNombre", nullptr, "AyudaColSnvtNombre"},
    {600, 0, SignalGrid::Int16, "Idx", nullptr, nullptr, "AyudaColIdx"},
    {600, 0, SignalGrid::Int16, nullptr, "ColOffset", nullptr, "AyudaColOffset"},
    {1000, 2, SignalGrid::Text, nullptr, "ColTipoDato", nullptr, "AyudaColTipoDato"},
    {400, 0, SignalGrid::Int16, "a", nullptr, nullptr, "AyudaColA"},
    {400, 0, SignalGrid::Int16, "b", nullptr, nullptr, "AyudaColB"},
    {400, 0, SignalGrid::Int16, "c", nullptr, nullptr, "AyudaColC"},
    {500, 0, SignalGrid::Int16, nullptr, "ColFiltro", nullptr, "AyudaColFiltro"},
    {400, 2, SignalGrid::Text, "RW", nullptr, nullptr, "AyudaColRW"},
    {3000, 0, SignalGrid::Text, nullptr, "Descripcion", nullptr, "NombreSenyalIntegrar"},
    {600, 0, SignalGrid::Int16, nullptr, "ColDirAscii", nullptr, nullptr},
    {500, 2, SignalGrid::Text, "R/W", nullptr, nullptr, "AyudaColSentido"},
    {600, -1, SignalGrid::Text, nullptr, nullptr, nullptr, nullptr},
    {1100, 0, SignalGrid::Text, nullptr, "ColEspontaneo", nullptr, "AyudaColEspontaneo"},
    {600, -1, SignalGrid::Text, nullptr, nullptr, nullptr, nullptr},
};

// Decimal text of a number read from a cell: integral values without a point.
QString numText(double v) {
    if (std::fabs(v) < 1e15 && v == std::floor(v)) return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

// True when the text is already the decimal text of its value ("12", "-3"), so
// the cell can share it instead of building the same text again.
bool isCanonicalInt(const QString& t) {
    const int n = int(t.size());
    const int first = n > 0 && t[0] == QLatin1Char('-') ? 1 : 0;
    if (n == first || n - first > 9) return false;
    if (t[first] == QLatin1Char('0') && (n - first > 1 || first == 1)) return false;
    for (int i = first; i < n; ++i)
        if (t[i].unicode() < '0' || t[i].unicode() > '9') return false;
    return true;
}

}  // namespace

const QStringList& lonDataTypeCaptions() {
    static const QStringList l{"0-8bit sig",  "1-8bit unsig",  "2-16bit sig",   "3-16bit unsig",
                               "4-32bit sig", "5-32bit unsig", "6-32bit float", "7-bit field"};
    return l;
}
const QStringList& lonAccessCaptions() {
    static const QStringList l{"R", "W", "RW"};
    return l;
}
const QStringList& lonSpontaneousCaptions() { return spontaneousCaptions(); }

double lonCellValue(const QString& t) { return ValCelda(t); }

int lonColumnWidth(int col) { return (col >= 0 && col < LonCol::Count) ? kCols[col].width : 0; }

void Carga_CabecerasLon(SignalGrid& grid, QVector<InfoColumna>& info, const LonConfig& cfg) {
    grid.setRows(1);
    grid.setCols(LonCol::Count);
    info.clear();
    info.resize(LonCol::Count);
    Carga_CabecerasComunes(grid, info, LonCol::Add, LonCol::AD, LonCol::Activa);
    Aplica_Columnas(grid, info, kCols, LonCol::Count);
    for (int c = LonCol::kFirstHidden; c <= LonCol::kLastHidden; ++c) grid.setColWidth(c, 0);
    info[LonCol::Add].Ayuda = AyudaDireccion(cfg.maxAddress());
}

QString lonRowKey(const QString& device, const QString& snvt) {
    return numText(lonCellValue(device)) + QLatin1Char('-') + numText(lonCellValue(snvt));
}

QHash<QString, int> CreaFilasInternas(SignalGrid& grid, const LonConfig& cfg) {
    QHash<QString, int> map;
    const int nDevs = qMax(cfg.NDevs, 0);
    const int first = grid.Rows();
    grid.setRows(first + 1 + nDevs);
    const QString error = Texto("ErrorComunicacion");
    const QString dig = Texto("1-Dig"), no = Texto("0-No");
    for (int i = 0; i <= nDevs; ++i) {
        const int r = first + i;
        const QString desc = i == 0 ? error + QStringLiteral(" hard") : error;
        grid.setTextMatrix(r, LonCol::Noo, rowNumberText(r));
        grid.setTextMatrix(r, LonCol::Disp, QString::number(i));
        grid.setTextMatrix(r, LonCol::Snvt, QString::number(i == 0 ? kSnvtGatewayError : kSnvtDeviceError));
        grid.setTextMatrix(r, LonCol::SnvtName, QLatin1Char('[') + desc + QLatin1Char(']'));
        grid.setTextMatrix(r, LonCol::Descripcion, desc);
        grid.setTextMatrix(r, LonCol::Add, QString());
        grid.setTextMatrix(r, LonCol::Direction, QStringLiteral("R"));
        grid.setTextMatrix(r, LonCol::AD, dig);
        grid.setTextMatrix(r, LonCol::Spontaneous, lonSpontaneousCaptions()[1]);
        grid.setTextMatrix(r, LonCol::Activa, no);
        map.insert(
            QString::number(i) + QLatin1Char('-') + QString::number(i == 0 ? kSnvtGatewayError : kSnvtDeviceError), r);
    }
    return map;
}

int LlenaGridLon(SignalGrid& grid, const QHash<QString, int>& builtIn, const TablaSenyales& tabla) {
    RedrawOff off(grid);
    // The cells stay where the file put them: no string per cell until one is shown or edited.
    grid.adoptText(tabla.text());
    QVector<QVector<QString>> appended;
    appended.reserve(tabla.rows());
    int refused = 0;
    for (int r = 1; r <= tabla.rows(); ++r) {
        auto cell = [&](int c) { return tabla.cellShared(c, r); };
        // Built-in rows all have a negative SNVT; only such rows need the lookup.
        const bool mayBeBuiltIn = lonCellValue(cell(LonCol::Snvt)) < 0;
        const auto it =
            mayBeBuiltIn ? builtIn.constFind(lonRowKey(cell(LonCol::Disp), cell(LonCol::Snvt))) : builtIn.constEnd();
        if (it != builtIn.constEnd()) {
            const int row = *it;
            grid.setTextMatrix(row, LonCol::Noo, rowNumberText(r));
            for (int c : {int(LonCol::Descripcion), int(LonCol::Add), int(LonCol::Spontaneous), int(LonCol::Activa)})
                grid.setTextMatrix(row, c, cell(c));
            continue;
        }
        QVector<QString> rowCells(LonCol::Count);
        QString* cells = rowCells.data();  // written cell by cell: one detach check for the row
        cells[LonCol::Noo] = rowNumberText(r);
        bool bad = false;
        for (int c = 1; c < LonCol::Count && !bad; ++c) {
            QString t = cell(c);
            switch (c) {
                case LonCol::Disp:
                case LonCol::Snvt:
                case LonCol::Idx:
                case LonCol::Offset:
                case LonCol::A:
                case LonCol::B:
                case LonCol::C:
                case LonCol::Add:
                    cells[c] = isCanonicalInt(t) ? std::move(t) : numText(lonCellValue(t));
                    break;
                case LonCol::DataType: {
                    bool over = false;
                    const qint16 code = CInt(lonCellValue(t), &over);
                    if (over || code < 0 || code >= lonDataTypeCaptions().size())
                        bad = true;
                    else
                        cells[c] = lonDataTypeCaptions()[code];
                    break;
                }
                case LonCol::Filter: {
                    bool over = false;
                    const qint16 v = CInt(lonCellValue(t), &over);
                    if (over)
                        bad = true;
                    else if (v != 0)
                        cells[c] = isCanonicalInt(t) ? std::move(t) : QString::number(v);
                    break;
                }
                default:
                    cells[c] = std::move(t);
            }
        }
        if (bad) {
            // The row is left out whole rather than half filled.
            ++refused;
            continue;
        }
        appended.append(std::move(rowCells));
    }
    grid.appendRows(std::move(appended));
    off.end();
    // One message for the whole table, however many rows a damaged file spoils.
    if (refused > 0) markLossyLoad(rutaTablaSenyales(kSlotLon));
    if (refused > 0)
        Aviso(Texto("AlgunDatoIncorrecto") + (refused > 1 ? QStringLiteral(" (%1)").arg(refused) : QString()));
    return refused;
}

void UpdateRow(SignalGrid& grid, int row) {
    QString dir = QStringLiteral("R");
    if (lonCellValue(grid.TextMatrix(row, LonCol::Snvt)) > -1) {
        const QString access = grid.TextMatrix(row, LonCol::NvAccess);
        if (access == QLatin1String("W") || access == QLatin1String("RW")) dir = access;
    }
    grid.setTextMatrix(row, LonCol::Direction, dir);
}

void lonInitInsertedRow(SignalGrid& grid, int row) {
    grid.setTextMatrix(row, LonCol::Disp, QStringLiteral("1"));
    grid.setTextMatrix(row, LonCol::NvAccess, QStringLiteral("R"));
    grid.setTextMatrix(row, LonCol::Add, QString());
    grid.setTextMatrix(row, LonCol::Spontaneous, lonSpontaneousCaptions()[1]);
    grid.setTextMatrix(row, LonCol::Activa, Texto("0-No"));
    UpdateRow(grid, row);
}
