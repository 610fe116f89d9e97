#include "SignalGridView.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include "AppGlobals.h"
#include "SignalGridModel.h"

namespace {
// The row numbers' header is always exactly as wide as the grid's column 0
// (applyColumn fixes its width), so the size hint the table asks of it after
// every reset is that width: measuring a hundred row numbers' texts is wasted.
class FixedRowHeader : public QHeaderView {
public:
    explicit FixedRowHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) { setSectionsClickable(true); }
    QSize sizeHint() const override { return {minimumWidth(), defaultSectionSize()}; }
};
}  // namespace

SignalGridView::SignalGridView(QWidget* parent) : QTableView(parent) {
    setVerticalHeader(new FixedRowHeader(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(twipsToPx(SignalGrid::kDefaultRowHeight));
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
    // The corner above the row numbers shows the caption of column 0.
    m_corner = findChild<QAbstractButton*>();
    if (m_corner) m_corner->installEventFilter(this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &SignalGridView::scrolled);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &SignalGridView::scrolled);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        // A column dragged wider or narrower by the user keeps its width in the grid.
        if (!m_applying && m_grid) m_grid->setColWidth(section + 1, pxToTwips(size));
    });
}

SignalGridView::SignalGridView(SignalGrid* grid, QWidget* parent) : SignalGridView(parent) { setGrid(grid); }

void SignalGridView::setGrid(SignalGrid* grid) {
    if (m_grid) disconnect(m_grid, nullptr, this, nullptr);
    SignalGridModel* old = m_model;
    m_grid = grid;
    m_model = grid ? new SignalGridModel(grid, this) : nullptr;
    setModel(m_model);
    delete old;
    if (!grid) return;
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, &SignalGridView::onModelAboutToReset);
    connect(m_model, &QAbstractItemModel::modelReset, this, &SignalGridView::onModelReset);
    connect(m_model, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation o, int, int) {
        if (o == Qt::Horizontal && m_corner) m_corner->update();
    });
    connect(grid, &SignalGrid::currentChanged, this, &SignalGridView::onGridCurrentChanged);
    connect(grid, &SignalGrid::rowHeightChanged, this, &SignalGridView::applyRow);
    connect(grid, &SignalGrid::colWidthChanged, this, &SignalGridView::applyColumn);
    connect(grid, &SignalGrid::cellsChanged, this, [this](int top, int left, int, int) {
        if (top == 0 && left == 0 && m_corner) m_corner->update();
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &SignalGridView::syncFromView);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &SignalGridView::syncFromView);
    applyAllGeometry();
    applyGridSelection();
}

// ---- geometry

void SignalGridView::applyColumn(int col) {
    if (!m_grid) return;
    m_applying = true;
    const int px = twipsToPx(m_grid->ColWidth(col));
    if (col == 0) {
        verticalHeader()->setVisible(px > 0);
        verticalHeader()->setFixedWidth(qMax(px, 1));
    } else if (col < m_grid->Cols()) {
        setColumnHidden(col - 1, px == 0);
        if (px > 0) setColumnWidth(col - 1, px);
    }
    m_applying = false;
}

void SignalGridView::applyRow(int row) {
    if (!m_grid) return;
    const int twips = m_grid->RowHeight(row);
    if (row == 0) {
        horizontalHeader()->setVisible(twips > 0);
        if (twips > 0) horizontalHeader()->setFixedHeight(twipsToPx(twips) + 4);
        return;
    }
    if (row >= m_grid->Rows()) return;
    setRowHidden(row - 1, twips == 0);
    if (twips > 0 && twips != SignalGrid::kDefaultRowHeight) setRowHeight(row - 1, twipsToPx(twips));
}

void SignalGridView::applyAllGeometry() {
    if (!m_grid) return;
    for (int c = 0; c < m_grid->Cols(); ++c) applyColumn(c);
    applyRow(0);
    // Only rows that differ from the default need a word with the header, and rows it still
    // hides: a reset keeps the hidden sections of the table filled before.
    for (int r = 1; r < m_grid->Rows(); ++r)
        if (m_grid->RowHeight(r) != SignalGrid::kDefaultRowHeight || isRowHidden(r - 1)) applyRow(r);
}

// ---- selection, both ways

void SignalGridView::applyGridSelection() {
    if (!m_grid || !m_model || m_syncing) return;
    m_syncing = true;
    const int lastRow = m_grid->lastRow(), lastCol = m_grid->lastCol();
    if (lastRow < 1 || lastCol < 1) {
        selectionModel()->clear();
    } else {
        auto cell = [&](int r, int c) { return m_model->indexOfCell(qBound(1, r, lastRow), qBound(1, c, lastCol)); };
        const QModelIndex cur = cell(m_grid->Row(), m_grid->Col());
        selectionModel()->setCurrentIndex(cur, QItemSelectionModel::NoUpdate);
        selectionModel()->select(
            QItemSelection(cell(m_grid->Row(), m_grid->Col()), cell(m_grid->RowSel(), m_grid->ColSel())),
            QItemSelectionModel::ClearAndSelect);
        if (m_grid->Row() >= 1 && m_grid->Col() >= 1) scrollTo(cur);
    }
    m_syncing = false;
}

void SignalGridView::syncFromView() {
    if (!m_grid || m_syncing) return;
    const QModelIndex cur = currentIndex();
    if (!cur.isValid()) return;
    int row = SignalGridModel::gridRow(cur), col = SignalGridModel::gridCol(cur);
    int rowSel = row, colSel = col;
    const QItemSelection sel = selectionModel()->selection();
    if (!sel.isEmpty()) {
        // The grid's current cell is the focus cell; RowSel/ColSel the opposite
        // corner of the selected block, whichever way it was dragged.
        const QItemSelectionRange& range = sel.first();
        const int top = range.top() + 1, bottom = range.bottom() + 1;
        const int left = range.left() + 1, right = range.right() + 1;
        if (row >= top && row <= bottom && col >= left && col <= right) {
            rowSel = (row == top) ? bottom : top;
            colSel = (col == left) ? right : left;
            if (row != top && row != bottom) row = top, rowSel = bottom;
            if (col != left && col != right) col = left, colSel = right;
        }
    }
    m_syncing = true;
    m_grid->select(row, col, rowSel, colSel);
    m_syncing = false;
    onGridCurrentChanged();
}

void SignalGridView::onGridCurrentChanged() {
    if (!m_grid) return;
    applyGridSelection();
    if (m_grid->Row() != m_lastRow || m_grid->Col() != m_lastCol) {
        m_lastRow = m_grid->Row();
        m_lastCol = m_grid->Col();
        emit currentCellChanged(m_lastRow, m_lastCol);
    }
}

void SignalGridView::onModelAboutToReset() {
    m_savedV = verticalScrollBar()->value();
    m_savedH = horizontalScrollBar()->value();
}

void SignalGridView::onModelReset() {
    applyAllGeometry();
    updateGeometries();
    verticalScrollBar()->setValue(m_savedV);
    horizontalScrollBar()->setValue(m_savedH);
    onGridCurrentChanged();
}

// ---- queries

QRect SignalGridView::cellRect(int row, int col) const {
    return m_model ? visualRect(m_model->indexOfCell(row, col)) : QRect();
}

int SignalGridView::topRow() const {
    const int r = rowAt(0);
    return r < 0 ? 0 : r + 1;
}

bool SignalGridView::isRowOnScreen(int row) const {
    if (!m_grid || row < 1 || row >= m_grid->Rows() || isRowHidden(row - 1)) return false;
    const int y = rowViewportPosition(row - 1);
    return y + rowHeight(row - 1) > 0 && y < viewport()->height();
}

void SignalGridView::scrollToCell(int row, int col) {
    if (m_model) scrollTo(m_model->indexOfCell(row, col));
}

// ---- events reported to the owning window

void SignalGridView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((event->modifiers() & Qt::AltModifier) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        if (key == Qt::Key_Up)
            emit altUpPressed();
        else
            emit altDownPressed();
        event->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit keyTyped(13);
        event->accept();
        return;
    }
    if (key == Qt::Key_Backspace) {
        emit keyTyped(8);
        event->accept();
        return;
    }
    const QString text = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && text.size() == 1 && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127) {
        emit keyTyped(text.at(0).unicode());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void SignalGridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QModelIndex idx = indexAt(event->position().toPoint());
        if (idx.isValid())
            emit cellRightClicked(SignalGridModel::gridRow(idx), SignalGridModel::gridCol(idx),
                                  event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void SignalGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex idx = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && idx.isValid()) {
        emit cellDoubleClicked(SignalGridModel::gridRow(idx), SignalGridModel::gridCol(idx));
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void SignalGridView::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

bool SignalGridView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            const QPoint pos = me->position().toPoint(), global = me->globalPosition().toPoint();
            if (watched == horizontalHeader()->viewport()) {
                const int s = horizontalHeader()->logicalIndexAt(pos);
                if (s >= 0) emit cellRightClicked(0, s + 1, global);
            } else if (watched == verticalHeader()->viewport()) {
                const int s = verticalHeader()->logicalIndexAt(pos);
                if (s >= 0) emit cellRightClicked(s + 1, 0, global);
            } else if (watched == m_corner) {
                emit cellRightClicked(0, 0, global);
            }
            return true;
        }
    } else if (event->type() == QEvent::Paint && watched == m_corner) {
        paintCorner(m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void SignalGridView::paintCorner(QWidget* corner) {
    QPainter painter(corner);
    QStyleOptionHeader opt;
    opt.initFrom(corner);
    opt.rect = corner->rect();
    opt.position = QStyleOptionHeader::OnlyOneSection;
    opt.textAlignment = Qt::AlignCenter;
    opt.text = m_grid ? m_grid->TextMatrix(0, 0) : QString();
    corner->style()->drawControl(QStyle::CE_Header, &opt, &painter, corner);
}
