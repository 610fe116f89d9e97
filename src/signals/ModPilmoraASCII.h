// Row, copy, fill and numbering operations shared by both gateway editors. Every
// one works on the grid model in O(rows touched) and sets the editor's
// grid-changed flag where it changes cells.
#pragma once

#include <QString>
#include <QVector>
#include <functional>

class CellEditor;
class SignalGrid;

// Grid's font and cell colour for the editor, text " ", hidden.
void Prepara_Editor(SignalGrid& grid, CellEditor& editor);

// Adds a row below the current row (row 1 numbered 1 when there is no data row),
// numbered one more than the current row, the rows below renumbered; the new row
// becomes current at column 1.
void Inserta_Fila(SignalGrid& grid, bool& changed);

// Deletes the rows of the selection; the grid keeps at least one (emptied) data row.
void Elimina_Filas(SignalGrid& grid, CellEditor& editor, bool& changed);

// Exchanges the selected block (columns 1..last) with the row above (up) or below;
// row numbers and per-row attributes stay in place, the selection follows.
void Mueve_Filas(SignalGrid& grid, bool& changed, bool up);

// One-row copy buffer: columns 1..last of the current row, each followed by TAB.
// Copy and cut return true when something was taken (the window enables "&Paste").
bool Copia_Fila(const SignalGrid& grid, QString& buffer);
bool Corta_Fila(SignalGrid& grid, QString& buffer, bool& changed);
void Pega_Fila(SignalGrid& grid, const QString& buffer, bool& changed);

// Writes `text` into column `col` of every visible selected row.
void Rellena_Columna(SignalGrid& grid, int col, const QString& text, bool& changed);

// Asks a start value and an increment and numbers column `col` of every visible
// selected row; values above `maximum` are written as 0.
void Auto_Enumera(SignalGrid& grid, int col, const QString& prompt, bool& changed, qint32 maximum);

// Removes data rows whose cells 1..last are all blank (all of them when every row
// is) and renumbers column 0. Nothing happens with fewer than two data rows.
void Limpia_FilasVacias(SignalGrid& grid);

// The address check of both editors' save. Every row whose column `colActiva`
// reads above 0, in order: `rowCheck` (when given) runs first and may refuse the
// row by returning the faulty column and its message; then the address in
// `colAdd` must be 1..maxAddress ("AddressDebeSerNumeroEntre") and not taken by an
// earlier such row (caption of `colAdd`, ":", address, "repetida"). On a fault
// the message is shown, the faulty cell becomes the current cell and whole
// selection, and the result is false.
// A choice cell (spontaneous, A/D, active) as a save takes it: empty (code 0), or
// a code 0 or 1 alone or followed by "-" and a caption in any language ("1-Si",
// "1-Oui", "1").
bool esCeldaDeOpcion(const QString& text);
// Every data row's cells in `cols` must be choice cells; the first that is not
// is told ("CeldaNoEsOpcion" and its text), becomes the current cell and whole
// selection, and the result is false. Run by both editors' saves and `check`.
bool Valida_Opciones(SignalGrid& grid, const QVector<int>& cols);
bool Valida_Direcciones(SignalGrid& grid, int colActiva, int colAdd, int maxAddress,
                        const std::function<int(int row, QString& message)>& rowCheck = {});
