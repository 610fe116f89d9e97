// Shows a SignalGrid in a Qt item view: model rows and columns are the grid's data
// rows and columns (grid row r is model row r - 1, grid column c model column c - 1);
// the caption row and the row-number column are the horizontal and vertical headers.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include "SignalGrid.h"

class SignalGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SignalGridModel(SignalGrid* grid, QObject* parent = nullptr);

    SignalGrid* grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Model index of a grid data cell (row >= 1, col >= 1); invalid otherwise.
    QModelIndex indexOfCell(int row, int col) const;
    static int gridRow(const QModelIndex& index) { return index.row() + 1; }
    static int gridCol(const QModelIndex& index) { return index.column() + 1; }
    static Qt::Alignment alignmentOf(int gridAlign);

private:
    void onCellsChanged(int top, int left, int bottom, int right);
    void onAboutToChange();
    void onChanged();

    QPointer<SignalGrid> m_grid;
    bool m_resetting = false;
};
