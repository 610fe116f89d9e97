#include "SignalGridModel.h"

SignalGridModel::SignalGridModel(SignalGrid* grid, QObject* parent) : QAbstractTableModel(parent), m_grid(grid) {
    connect(grid, &SignalGrid::structureAboutToChange, this, &SignalGridModel::onAboutToChange);
    connect(grid, &SignalGrid::structureChanged, this, &SignalGridModel::onChanged);
    connect(grid, &SignalGrid::cellsChanged, this, &SignalGridModel::onCellsChanged);
}

int SignalGridModel::rowCount(const QModelIndex& parent) const {
    return (parent.isValid() || !m_grid) ? 0 : m_grid->Rows() - 1;
}

int SignalGridModel::columnCount(const QModelIndex& parent) const {
    return (parent.isValid() || !m_grid) ? 0 : m_grid->Cols() - 1;
}

Qt::Alignment SignalGridModel::alignmentOf(int gridAlign) {
    switch (gridAlign) {
        case SignalGrid::AlignCenter:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case SignalGrid::AlignRight:
            return Qt::AlignRight | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QVariant SignalGridModel::data(const QModelIndex& index, int role) const {
    if (!m_grid || !index.isValid()) return QVariant();
    const int r = gridRow(index), c = gridCol(index);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_grid->TextMatrix(r, c);
        case Qt::TextAlignmentRole:
            return int(alignmentOf(m_grid->ColAlignment(c)));
        default:
            return QVariant();
    }
}

QVariant SignalGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!m_grid) return QVariant();
    if (role == Qt::DisplayRole)
        return orientation == Qt::Horizontal ? m_grid->TextMatrix(0, section + 1) : m_grid->TextMatrix(section + 1, 0);
    if (role == Qt::TextAlignmentRole)
        return int(orientation == Qt::Horizontal ? Qt::AlignLeft | Qt::AlignVCenter
                                                 : Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags SignalGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags;
}

QModelIndex SignalGridModel::indexOfCell(int row, int col) const {
    if (!m_grid || row < 1 || col < 1 || row >= m_grid->Rows() || col >= m_grid->Cols()) return QModelIndex();
    return index(row - 1, col - 1);
}

void SignalGridModel::onAboutToChange() {
    if (m_resetting) return;
    m_resetting = true;
    beginResetModel();
}

void SignalGridModel::onChanged() {
    if (!m_resetting) {
        // A change announced only afterwards: views still must start over.
        beginResetModel();
    }
    m_resetting = false;
    endResetModel();
}

void SignalGridModel::onCellsChanged(int top, int left, int bottom, int right) {
    if (!m_grid || m_resetting) return;
    bottom = qMin(bottom, m_grid->Rows() - 1);
    right = qMin(right, m_grid->Cols() - 1);
    if (top == 0 && right >= 1) emit headerDataChanged(Qt::Horizontal, qMax(left, 1) - 1, right - 1);
    if (left == 0 && bottom >= 1) emit headerDataChanged(Qt::Vertical, qMax(top, 1) - 1, bottom - 1);
    const int t = qMax(top, 1), l = qMax(left, 1);
    if (t <= bottom && l <= right) emit dataChanged(index(t - 1, l - 1), index(bottom - 1, right - 1));
}
