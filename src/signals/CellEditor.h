// The floating text box that is laid over the current grid cell while it is typed
// into. The editing operations talk to this interface; the window implements it with
// a real line edit, tests with a plain object.
#pragma once

#include <QString>

class CellEditor {
public:
    virtual ~CellEditor() = default;

    virtual QString editorText() const = 0;
    virtual void setEditorText(const QString& text) = 0;
    virtual bool editorVisible() const = 0;
    // Showing also gives the editor the keyboard focus.
    virtual void setEditorVisible(bool visible) = 0;
    // Lays the box exactly over the cell (row, col) of the grid it belongs to.
    virtual void placeOverCell(int row, int col) = 0;
    // SignalGrid::Align value.
    virtual void setEditorAlignment(int align) = 0;
    virtual void selectAllEditorText() = 0;
    virtual void setEditorCursor(int position) = 0;
    // Font name, size and weight of the grid, and its cell background colour.
    virtual void matchGridLook() = 0;
    // The grid takes the keyboard focus back.
    virtual void giveFocusToGrid() = 0;

    // Cell the open edit belongs to, so the text goes back where it was typed even
    // when the current cell moved meanwhile. -1 when no edit is open.
    int editRow = -1;
    int editCol = -1;
};
