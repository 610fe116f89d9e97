// The floating text box of the signal grid: a line edit laid over the current cell
// inside the view's viewport. Its keys go through the grid's key filter and the
// editor keys (Tab, Enter, Esc, Up, Down); TAB, CR and LF never get into its text,
// typed or pasted, so a cell can never break the signal table's lines.
#pragma once

#include <QLineEdit>
#include <QPointer>

#include "CellEditor.h"
#include "SignalGridView.h"

class CellEditorWidget : public QLineEdit, public CellEditor {
    Q_OBJECT
public:
    explicit CellEditorWidget(SignalGridView* view);

    // The window's grid-changed flag, set by the key filter (not owned; may be null).
    void setChangedFlag(bool* flag) { m_changed = flag; }
    SignalGridView* view() const { return m_view; }

    QString editorText() const override { return text(); }
    void setEditorText(const QString& t) override { setText(t); }
    bool editorVisible() const override { return isVisible(); }
    void setEditorVisible(bool visible) override;
    void placeOverCell(int row, int col) override;
    void setEditorAlignment(int align) override;
    void selectAllEditorText() override { selectAll(); }
    void setEditorCursor(int position) override { setCursorPosition(position); }
    void matchGridLook() override;
    void giveFocusToGrid() override;

signals:
    // The edit ended with its text written into the grid.
    void editWritten(int row, int col);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void endEdit();

    QPointer<SignalGridView> m_view;
    bool* m_changed = nullptr;
    bool m_dummyChanged = false;
};
