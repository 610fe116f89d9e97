// A floating cell editor without a window: remembers what the operations asked of it.
#pragma once

#include "CellEditor.h"

class FakeCellEditor : public CellEditor {
public:
    QString text;
    bool visible = true;
    int placedRow = -1, placedCol = -1;
    int align = -1;
    bool allSelected = false;
    int cursor = -1;
    int lookMatched = 0;
    int gridFocused = 0;

    QString editorText() const override { return text; }
    void setEditorText(const QString& t) override {
        text = t;
        allSelected = false;
        cursor = int(t.size());
    }
    bool editorVisible() const override { return visible; }
    void setEditorVisible(bool v) override { visible = v; }
    void placeOverCell(int row, int col) override {
        placedRow = row;
        placedCol = col;
    }
    void setEditorAlignment(int a) override { align = a; }
    void selectAllEditorText() override { allSelected = true; }
    void setEditorCursor(int p) override {
        cursor = p;
        allSelected = false;
    }
    void matchGridLook() override { ++lookMatched; }
    void giveFocusToGrid() override { ++gridFocused; }
};
