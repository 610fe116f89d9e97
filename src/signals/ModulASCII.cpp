#include "ModulASCII.h"

#include "CellEditor.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"

namespace {
bool isDigit(int k) { return k >= '0' && k <= '9'; }
}  // namespace

void FiltroTecla(int& keyAscii, const SignalGrid& grid, bool& changed) {
    if (keyAscii == KeyAscii::Back) {
        changed = true;
        return;
    }
    const int k = keyAscii;
    switch (grid.ColDataType(grid.Col())) {
        case SignalGrid::Int16:
        case SignalGrid::Int32:
            keyAscii = (isDigit(k) || k == KeyAscii::Return || k == '-') ? k : 0;
            break;
        case SignalGrid::Single:
            if (k == '.')
                keyAscii = ',';
            else
                keyAscii = (isDigit(k) || k == KeyAscii::Return || k == '+' || k == ',' || k == '-') ? k : 0;
            break;
        case SignalGrid::HexByte:
            keyAscii =
                (isDigit(k) || (k >= 'A' && k <= 'F') || (k >= 'a' && k <= 'f') || k == KeyAscii::Return) ? k : 0;
            break;
        default:
            return;  // text: every key, and the flag is left to the edit itself
    }
    if (keyAscii != 0) changed = true;
}

void Empieza_Edicion(SignalGrid& grid, CellEditor& editor, int firstKeyAscii) {
    const int row = grid.Row(), col = grid.Col();
    if (row < 1 || col < 1) return;
    editor.editRow = row;
    editor.editCol = col;
    editor.placeOverCell(row, col);
    editor.setEditorAlignment(grid.ColAlignment(col));
    const bool printable = firstKeyAscii >= 32 && firstKeyAscii != 127;
    if (printable) {
        editor.setEditorText(QString(QChar(firstKeyAscii)));
        editor.setEditorCursor(1);
    } else {
        editor.setEditorText(grid.TextMatrix(row, col));
        editor.selectAllEditorText();
    }
    editor.setEditorVisible(true);
}

void Termina_Edicion(SignalGrid& grid, CellEditor& editor) {
    // editRow is cleared first: hiding the box moves the focus, and the focus-out
    // handler calls here again.
    if (!editor.editorVisible() || editor.editRow < 0) return;
    const int row = editor.editRow, col = editor.editCol;
    editor.editRow = editor.editCol = -1;
    if (row >= 1 && row < grid.Rows() && col >= 1 && col < grid.Cols())
        grid.setTextMatrix(row, col, textoCeldaSeguro(editor.editorText()));
    editor.setEditorVisible(false);
}

bool Teclas_Editor(int keyCode, SignalGrid& grid, CellEditor& editor, bool shift) {
    switch (keyCode) {
        case KeyCode::Escape:
            editor.editRow = editor.editCol = -1;
            editor.setEditorVisible(false);
            editor.giveFocusToGrid();
            return true;
        case KeyCode::Return:
            Termina_Edicion(grid, editor);
            editor.giveFocusToGrid();
            return true;
        case KeyCode::Up:
        case KeyCode::Down: {
            Termina_Edicion(grid, editor);
            editor.giveFocusToGrid();
            const int row = grid.Row() + (keyCode == KeyCode::Up ? -1 : 1);
            if (row >= 1 && row <= grid.lastRow()) grid.select(row, grid.Col(), row, grid.Col());
            return true;
        }
        case KeyCode::Tab: {
            Termina_Edicion(grid, editor);
            editor.giveFocusToGrid();
            const int row = grid.Row(), col = grid.Col();
            if (shift) {
                if (col > 1)
                    grid.select(row, col - 1, row, col - 1);
                else if (row > 1)
                    grid.select(row - 1, grid.lastCol(), row - 1, grid.lastCol());
            } else if (col < grid.lastCol())
                grid.select(row, col + 1, row, col + 1);
            else if (row < grid.lastRow())
                grid.select(row + 1, 1, row + 1, 1);
            return true;
        }
        default:
            return false;
    }
}
