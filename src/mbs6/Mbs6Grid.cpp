#include "Mbs6Grid.h"

#include <cmath>

#include "Mbs6Config.h"
#include "ModPilmoraASCII.h"
#include "ModulConfASCII.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "mIdioma.h"

namespace {
// Columns 0, 6 and 8 are the common ones (captions, help and lists from
// Carga_CabecerasComunes); 4 takes the common address column and is then fixed,
// and so is 6: a point's type follows from its property.
const DefColumna kCols[Mbs6Col::Count] = {
    {500, -1, SignalGrid::Text, nullptr, "Noo", nullptr, nullptr},
    {500, 2, SignalGrid::Int16, nullptr, "Disp", nullptr, "NMaquinaPertenecenSenyales"},
    {500, 2, SignalGrid::Int16, nullptr, "ColProp", nullptr, "AyudaColProp"},
    {4500, 0, SignalGrid::Text, nullptr, "Descripcion", nullptr, "NombreSenyalIntegrar"},
    {600, 2, SignalGrid::Int16, nullptr, "ColDirAscii", nullptr, nullptr},
    {500, 2, SignalGrid::Text, "R/W", nullptr, nullptr, "AyudaColSentido"},
    {600, 2, SignalGrid::Text, nullptr, nullptr, nullptr, nullptr},  // fixed by the property, like the direction
    {1100, 0, SignalGrid::Text, nullptr, "ColEspontaneo", nullptr, "AyudaColEspontaneo"},
    {600, -1, SignalGrid::Text, nullptr, nullptr, nullptr, nullptr},
};

// Key part of a numeric cell: integral values without a point.
QString keyNumber(double v) {
    if (std::fabs(v) < 1e15 && v == std::floor(v)) return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}
}  // namespace

const QVector<Mbs6Property>& mbs6Properties() {
    static const QVector<Mbs6Property> l{
        {0, "Error.Com", "R", true, true},
        {1, "OffOn (0-Off,1-On)", "RW", true, false},
        {2, "CoolHeat (0-Cool,1-Heat)", "RW", true, false},
        {3, "CelFar (0-Celsius,1-Fahrenheit)", "RW", true, false},
        {4, "Fan Mode (0-Auto,1-User room display)", "RW", true, false},
        {5, "Electric heating (0-Off,1-On)", "RW", true, true},
        {6, "User setup permission (0-Enabled,1-Disabled)", "RW", true, false},
        {7, "Fan only mode (0-Off,1-On)", "RW", true, true},
        {8,
         "Room temperature (0..63\xBA"
         "C, 0.5 steps)",
         "R", false, true},
        {9,
         "SetPoint temperature (10..30\xBA"
         "C, 0.5 steps)",
         "RW", false, false},
        {10, "Fan speed in manual mode (1..10)", "RW", false, false},
        {11, "Fan speed active (1..10)", "R", false, true},
        {12, "Faults (bitfield)", "R", false, true},
    };
    return l;
}

void Carga_CabecerasMbs6(SignalGrid& grid, QVector<InfoColumna>& info) {
    grid.setRows(1);
    grid.setCols(Mbs6Col::Count);
    info.clear();
    info.resize(Mbs6Col::Count);
    Carga_CabecerasComunes(grid, info, Mbs6Col::Add, Mbs6Col::AD, Mbs6Col::Activa);
    Aplica_Columnas(grid, info, kCols, Mbs6Col::Count);
    info[Mbs6Col::Add].Ayuda = AyudaDireccion(Mbs6Config::kMaxAddress);
}

QString mbs6RowKey(const QString& unit, const QString& code) {
    return keyNumber(ValCelda(unit)) + QLatin1Char('-') + keyNumber(ValCelda(code));
}

QHash<QString, int> CreaFilasMbs6(SignalGrid& grid) {
    QHash<QString, int> map;
    map.reserve(kMbs6SignalRows);
    RedrawOff off(grid);
    int r = grid.Rows();
    grid.setRows(r + kMbs6SignalRows);
    const QString ana = Texto("0-Ana"), dig = Texto("1-Dig"), yes = Texto("1-Si");
    const QString spon = spontaneousCaptions()[1];
    const QString broadcast = QStringLiteral("Broadcast write. ");
    for (int u = 0; u <= Mbs6Config::kUnits; ++u) {
        for (const Mbs6Property& p : mbs6Properties()) {
            if (u == 0 && p.unitsOnly) continue;
            const QString desc = QString::fromLatin1(p.description);
            grid.setTextMatrix(r, Mbs6Col::Noo, rowNumberText(r));
            grid.setTextMatrix(r, Mbs6Col::Disp, QString::number(u));
            grid.setTextMatrix(r, Mbs6Col::Prop, QString::number(p.code));
            grid.setTextMatrix(r, Mbs6Col::Descripcion, u == 0 ? broadcast + desc : desc);
            grid.setTextMatrix(r, Mbs6Col::Add, QString::number(u * 100 + p.code));
            grid.setTextMatrix(r, Mbs6Col::Direction, u == 0 ? QStringLiteral("W") : QString::fromLatin1(p.direction));
            grid.setTextMatrix(r, Mbs6Col::AD, p.digital ? dig : ana);
            grid.setTextMatrix(r, Mbs6Col::Spontaneous, spon);
            grid.setTextMatrix(r, Mbs6Col::Activa, yes);
            map.insert(QString::number(u) + QLatin1Char('-') + QString::number(p.code), r);
            ++r;
        }
    }
    return map;
}

int LlenaGridMbs6(SignalGrid& grid, const QHash<QString, int>& rows, const TablaSenyales& tabla) {
    RedrawOff off(grid);
    grid.adoptText(tabla.text());  // cells taken as they lie in the file's text
    int refused = 0;
    for (int r = 1; r <= tabla.rows(); ++r) {
        const auto it =
            rows.constFind(mbs6RowKey(tabla.cellShared(Mbs6Col::Disp, r), tabla.cellShared(Mbs6Col::Prop, r)));
        if (it == rows.constEnd()) {
            ++refused;
            continue;
        }
        for (int c : {int(Mbs6Col::Descripcion), int(Mbs6Col::Spontaneous), int(Mbs6Col::Activa)})
            grid.setTextMatrix(*it, c, tabla.cellShared(c, r));
    }
    off.end();
    // One message for the whole table, as the LON editor tells it.
    if (refused > 0)
        Aviso(Texto("AlgunDatoIncorrecto") + (refused > 1 ? QStringLiteral(" (%1)").arg(refused) : QString()));
    return refused;
}

bool Valida_PuntosMbs6(SignalGrid& grid) {
    return Valida_Direcciones(grid, Mbs6Col::Activa, Mbs6Col::Add, Mbs6Config::kMaxAddress);
}
