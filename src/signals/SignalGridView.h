// The signal grid on screen: a table view over a SignalGrid with the caption row and
// the row-number column as fixed headers, the selection kept equal to the grid's
// Row/Col/RowSel/ColSel both ways, hidden rows (height 0) and widths in twips.
// What a click or a key means is the owning window's decision: the view reports
// right clicks, double clicks, ALT+Up/Down and typed keys by signals.
#pragma once

#include <QPointer>
#include <QTableView>

#include "SignalGrid.h"

class SignalGridModel;

class SignalGridView : public QTableView {
    Q_OBJECT
public:
    explicit SignalGridView(QWidget* parent = nullptr);
    explicit SignalGridView(SignalGrid* grid, QWidget* parent = nullptr);

    // The grid is not owned; the view makes its own model for it.
    void setGrid(SignalGrid* grid);
    SignalGrid* grid() const { return m_grid; }
    SignalGridModel* gridModel() const { return m_model; }

    // Rectangle of a data cell inside the viewport (empty for row 0 / column 0).
    QRect cellRect(int row, int col) const;
    // First data row shown at the top (0 when none), and whether a row is on screen.
    int topRow() const;
    bool isRowOnScreen(int row) const;
    void scrollToCell(int row, int col);

signals:
    // Right mouse button on a data cell, on a caption (row 0), on a row number
    // (col 0) or on the corner (0, 0). The current cell is not changed.
    void cellRightClicked(int row, int col, const QPoint& globalPos);
    void altUpPressed();
    void altDownPressed();
    void cellDoubleClicked(int row, int col);
    // A typed character (its code), Enter (13) or Backspace (8).
    void keyTyped(int keyAscii);
    // The grid's current cell moved (by the user or by code).
    void currentCellChanged(int row, int col);
    void scrolled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColumn(int col);
    void applyRow(int row);
    void applyAllGeometry();
    void applyGridSelection();
    void syncFromView();
    void onGridCurrentChanged();
    void onModelAboutToReset();
    void onModelReset();
    void paintCorner(QWidget* corner);

    QPointer<SignalGrid> m_grid;
    SignalGridModel* m_model = nullptr;
    QWidget* m_corner = nullptr;
    bool m_syncing = false;
    bool m_applying = false;
    int m_lastRow = -1, m_lastCol = -1;
    int m_savedV = 0, m_savedH = 0;
};
