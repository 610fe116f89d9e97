// The MBS6 signal grid: 9 columns and a fixed set of rows, one per property of
// each unit (unit 0, the broadcast unit, has 7; units 1..63 have 13 each), so
// 826 signal rows below the caption row. Unit, property, address, direction and
// type are fixed by the property list (never typed, written to the file as they
// are, never read back from it); the signal table only carries the description,
// the spontaneous and the active cells into it.
#pragma once

#include <QHash>
#include <QString>
#include <QVector>

class SignalGrid;
struct InfoColumna;
class TablaSenyales;

namespace Mbs6Col {
enum : int {
    Noo = 0,
    Disp = 1,  // unit 0..63
    Prop = 2,  // property code 0..12
    Descripcion = 3,
    Add = 4,        // unit x 100 + code
    Direction = 5,  // "R", "W", "RW"
    AD = 6,
    Spontaneous = 7,
    Activa = 8,
    Count = 9
};
}  // namespace Mbs6Col
// The cells a save requires to be choices (esCeldaDeOpcion).
inline const QVector<int> kMbs6ChoiceCols{Mbs6Col::AD, Mbs6Col::Spontaneous, Mbs6Col::Activa};

// One property of an indoor unit.
struct Mbs6Property {
    int code;
    const char* description;
    const char* direction;  // "R" or "RW" (unit 0 writes only: "W")
    bool digital;
    bool unitsOnly;  // not offered by the broadcast unit 0
};

// The 13 properties, in code order.
const QVector<Mbs6Property>& mbs6Properties();

inline constexpr int kMbs6PropertyCount = 13;
inline constexpr int kMbs6BroadcastRows = 7;
inline constexpr int kMbs6SignalRows = kMbs6BroadcastRows + 63 * kMbs6PropertyCount;  // 826

// Sets the grid to 9 columns and the caption row (no data rows), and fills
// captions, widths, value types and the descriptors (resized to 9).
void Carga_CabecerasMbs6(SignalGrid& grid, QVector<InfoColumna>& info);
// Appends the fixed rows (unit 0's broadcast rows, then 13 per unit 1..63), all
// spontaneous and active, and returns the map from key "unit-code" to grid row.
QHash<QString, int> CreaFilasMbs6(SignalGrid& grid);
// Key of a row in that map, from the numeric values of the unit and code cells.
QString mbs6RowKey(const QString& unit, const QString& code);

// Carries a signal table into the fixed rows: a row whose unit and code match
// takes the table's description, spontaneous and active cells. A row whose key
// is not offered is skipped and reading goes on; at the end one
// "AlgunDatoIncorrecto" tells of them all (with their count when more than one).
// Returns the rows skipped.
int LlenaGridMbs6(SignalGrid& grid, const QHash<QString, int>& rows, const TablaSenyales& tabla);

// The save's point check: active rows (column 8 above 0) must have addresses
// 1..6314, each used once.
bool Valida_PuntosMbs6(SignalGrid& grid);
