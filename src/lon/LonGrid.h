// The LON signal grid as the editor builds it: 18 columns, the built-in
// communication-error rows, the merge of the signal table into them, and the
// rule that keeps a row's ASCII direction in line with its NV access.
//
// Columns: 0 "Noo", 1 device, 2 SNVT number, 3 SNVT name, 4 NV index, 5 offset,
// 6 data type, 7 a, 8 b, 9 c, 10 filter, 11 NV access, 12 description,
// 13 ASCII address, 14 ASCII direction, 15 A/D, 16 spontaneous, 17 active.
// Built-in rows: row 1 = the gateway's own communication error (device 0,
// SNVT -2); rows 2..NDevs+1 = one per device (device d, SNVT -1).
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class SignalGrid;
class LonConfig;
struct InfoColumna;
class TablaSenyales;

namespace LonCol {
enum : int {
    Noo = 0,
    Disp = 1,
    Snvt = 2,
    SnvtName = 3,
    Idx = 4,
    Offset = 5,
    DataType = 6,
    A = 7,
    B = 8,
    C = 9,
    Filter = 10,
    NvAccess = 11,
    Descripcion = 12,
    Add = 13,
    Direction = 14,
    AD = 15,
    Spontaneous = 16,
    Activa = 17,
    Count = 18
};
// Columns 5..10 start hidden (width 0); "Show/Hide columns" toggles them.
inline constexpr int kFirstHidden = Offset;
inline constexpr int kLastHidden = Filter;
}  // namespace LonCol
// The cells a save requires to be choices (esCeldaDeOpcion).
inline const QVector<int> kLonChoiceCols{LonCol::AD, LonCol::Spontaneous, LonCol::Activa};

// SNVT numbers of the built-in rows.
inline constexpr int kSnvtGatewayError = -2;
inline constexpr int kSnvtDeviceError = -1;

// "0-8bit sig" .. "7-bit field": the data-type menu; the leading digit is the code.
const QStringList& lonDataTypeCaptions();
// "R", "W", "RW": NV access menu (column 11) and direction menu (column 14).
const QStringList& lonAccessCaptions();
// "0-NoSpon", "1-Spon".
const QStringList& lonSpontaneousCaptions();
// Numeric value of a cell, exactly as Val reads it; plain integers and codes
// such as "1-Spon" are read without the general parser (the generator and the
// checks read tens of thousands of cells).
double lonCellValue(const QString& text);

// Normal width (twips) of a column, also of the hidden ones.
int lonColumnWidth(int col);

// Sets the grid to 18 columns and one caption row (no data rows), and fills
// captions, widths (5..10 at 0), value types and the descriptors (resized to 18).
// Column 13's help names the maximum address of the configuration's version.
void Carga_CabecerasLon(SignalGrid& grid, QVector<InfoColumna>& info, const LonConfig& cfg);

// Appends the built-in rows (gateway error row, then one per device 1..NDevs)
// and returns the map from key "device-SNVT" ("0--2", "d--1") to grid row.
QHash<QString, int> CreaFilasInternas(SignalGrid& grid, const LonConfig& cfg);
// Key of a row in that map: the two numbers as read from the cells.
QString lonRowKey(const QString& device, const QString& snvt);

// Merges a signal table as read by Carga_Senyales into the grid. Rows whose device and
// SNVT match a built-in row update only its description, address, spontaneous
// and active cells; the others are appended. A row that cannot be placed (data
// type outside 0..7, filter out of range) is left out and reading goes on with
// the next row; at the end one "AlgunDatoIncorrecto" tells of them all (with
// their count when more than one). Returns the rows left out.
int LlenaGridLon(SignalGrid& grid, const QHash<QString, int>& builtIn, const TablaSenyales& tabla);

// Column 14 from column 11 for one row: "W" for "W", "RW" for "RW", "R"
// otherwise; rows with a negative SNVT always "R".
void UpdateRow(SignalGrid& grid, int row);

// Cells of a new row after "&Insertar": device "1", NV access "R", empty address,
// "1-Spon", inactive; then UpdateRow.
void lonInitInsertedRow(SignalGrid& grid, int row);
