// Typing into the signal grid: the key filter and the floating cell editor.
#pragma once

#include "Numeric.h"  // Normaliza_Decimal

class CellEditor;
class SignalGrid;

// Key codes of the editor's key-down handling (Teclas_Editor).
namespace KeyCode {
enum : int { Back = 8, Tab = 9, Return = 13, Escape = 27, Up = 38, Down = 40 };
}

// Character codes of typed keys (FiltroTecla, Empieza_Edicion).
namespace KeyAscii {
enum : int { Back = 8, Tab = 9, LineFeed = 10, Return = 13, Escape = 27 };
}

// Keeps, changes or cancels (sets to 0) a key typed in the grid's current column:
// integer columns (2, 3) take digits, Enter and "-"; decimal columns (4) digits,
// Enter, "+", ",", "-" and turn "." into ","; hex columns (17) digits, A-F, a-f and
// Enter; text columns every key. Backspace always passes. A key kept in a
// non-text column (or a Backspace) sets `changed`.
void FiltroTecla(int& keyAscii, const SignalGrid& grid, bool& changed);

// Opens the floating editor over the current cell. A printable first key replaces
// the cell's text (caret after it); any other key (or 0) starts from the cell's
// text, all selected.
void Empieza_Edicion(SignalGrid& grid, CellEditor& editor, int firstKeyAscii);

// Tab, Enter, Esc, Up and Down pressed inside the floating editor. Returns true
// when the key was one of those (the editor must then not handle it itself).
// Tab with `shift` walks back: previous column, from column 1 to the last column
// of the row above, and stays at the first cell.
bool Teclas_Editor(int keyCode, SignalGrid& grid, CellEditor& editor, bool shift = false);

// When the editor is shown: its text goes into the cell it was opened on (TAB, CR
// and LF become blanks) and it is hidden.
void Termina_Edicion(SignalGrid& grid, CellEditor& editor);
