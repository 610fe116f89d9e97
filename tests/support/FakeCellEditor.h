// A floating cell editor without a window: keeps only its text and whether it shows.
#pragma once

#include "CellEditor.h"

class FakeCellEditor : public CellEditor {
public:
    QString text;
    bool visible = true;

    QString editorText() const override { return text; }
    void setEditorText(const QString& t) override { text = t; }
    bool editorVisible() const override { return visible; }
    void setEditorVisible(bool v) override { visible = v; }
    void placeOverCell(int, int) override {}
    void setEditorAlignment(int) override {}
    void selectAllEditorText() override {}
    void setEditorCursor(int) override {}
    void matchGridLook() override {}
    void giveFocusToGrid() override {}
};
