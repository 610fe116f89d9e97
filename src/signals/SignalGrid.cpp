#include "SignalGrid.h"

#include <algorithm>

SignalGrid::SignalGrid(int rows, int cols, QObject* parent) : QObject(parent) {
    setCols(qMax(cols, 1));
    setRows(qMax(rows, 1));
    m_row = m_rowSel = qMin(1, Rows() - 1);
    m_col = m_colSel = qMin(1, m_cols - 1);
}

void SignalGrid::beginStructure() {
    if (m_redraw) emit structureAboutToChange();
}

void SignalGrid::endStructure() {
    clampCurrent();
    if (m_redraw)
        emit structureChanged();
    else
        m_pendingStructure = true;
}

void SignalGrid::emitCells(int t, int l, int b, int r) {
    if (m_redraw)
        emit cellsChanged(t, l, b, r);
    else
        m_pendingCells = true;
}

void SignalGrid::clampCurrent() {
    const int maxR = Rows() - 1, maxC = m_cols - 1;
    m_row = qBound(0, m_row, maxR);
    m_rowSel = qBound(0, m_rowSel, maxR);
    m_col = qBound(0, m_col, maxC);
    m_colSel = qBound(0, m_colSel, maxC);
}

void SignalGrid::setRows(int n) {
    n = qMax(n, 1);
    if (n == Rows()) return;
    beginStructure();
    const int old = Rows();
    m_rows.resize(n);
    for (int r = old; r < n; ++r) m_rows[r].cells = QVector<QString>(m_cols);
    endStructure();
}

void SignalGrid::setCols(int n) {
    n = qMax(n, 1);
    if (n == m_cols) return;
    beginStructure();
    m_cols = n;
    m_colInfo.resize(n);
    for (auto& row : m_rows) row.cells.resize(n);
    endStructure();
}

QString SignalGrid::TextMatrix(int row, int col) const { return valid(row, col) ? m_rows[row].cells[col] : QString(); }

void SignalGrid::setTextMatrix(int row, int col, const QString& text) {
    if (!valid(row, col)) return;
    QString& cell = m_rows[row].cells[col];
    if (cell == text) return;
    cell = text;
    emitCells(row, col, row, col);
}

QStringList SignalGrid::rowCells(int row) const {
    if (row < 0 || row >= Rows()) return {};
    return QStringList(m_rows[row].cells.begin(), m_rows[row].cells.end());
}

void SignalGrid::setRow(int r) {
    m_row = m_rowSel = qBound(0, r, Rows() - 1);
    if (m_redraw) emit currentChanged();
}

void SignalGrid::setCol(int c) {
    m_col = m_colSel = qBound(0, c, m_cols - 1);
    if (m_redraw) emit currentChanged();
}

void SignalGrid::setRowSel(int r) {
    m_rowSel = qBound(0, r, Rows() - 1);
    if (m_redraw) emit currentChanged();
}

void SignalGrid::setColSel(int c) {
    m_colSel = qBound(0, c, m_cols - 1);
    if (m_redraw) emit currentChanged();
}

void SignalGrid::select(int row, int col, int rowSel, int colSel) {
    m_row = row;
    m_col = col;
    m_rowSel = rowSel;
    m_colSel = colSel;
    clampCurrent();
    if (m_redraw) emit currentChanged();
}

int SignalGrid::RowHeight(int row) const { return row >= 0 && row < Rows() ? m_rows[row].height : 0; }

void SignalGrid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= Rows() || m_rows[row].height == twips) return;
    m_rows[row].height = qMax(0, twips);
    if (m_redraw) emit rowHeightChanged(row);
}

int SignalGrid::ColWidth(int col) const { return col >= 0 && col < m_cols ? m_colInfo[col].width : 0; }

void SignalGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= m_cols || m_colInfo[col].width == twips) return;
    m_colInfo[col].width = qMax(0, twips);
    if (m_redraw) emit colWidthChanged(col);
}

qint32 SignalGrid::RowData(int row) const { return row >= 0 && row < Rows() ? m_rows[row].data : 0; }
void SignalGrid::setRowData(int row, qint32 value) {
    if (row >= 0 && row < Rows()) m_rows[row].data = value;
}
int SignalGrid::ColDataType(int col) const { return col >= 0 && col < m_cols ? m_colInfo[col].type : Text; }
void SignalGrid::setColDataType(int col, int type) {
    if (col >= 0 && col < m_cols) m_colInfo[col].type = type;
}
int SignalGrid::ColAlignment(int col) const { return col >= 0 && col < m_cols ? m_colInfo[col].align : AlignLeft; }
void SignalGrid::setColAlignment(int col, int align) {
    if (col >= 0 && col < m_cols) m_colInfo[col].align = align;
}

QString SignalGrid::Clip() const {
    QString out;
    for (int r = selTop(); r <= selBottom(); ++r) {
        if (r > selTop()) out += QLatin1Char('\r');
        for (int c = selLeft(); c <= selRight(); ++c) {
            if (c > selLeft()) out += QLatin1Char('\t');
            out += m_rows[r].cells[c];
        }
    }
    return out;
}

void SignalGrid::setClip(const QString& text) {
    const QStringList lines = text.split(QLatin1Char('\r'));
    const int top = selTop(), left = selLeft(), bottom = selBottom(), right = selRight();
    for (int i = 0; i < lines.size() && top + i <= bottom; ++i) {
        const QStringList cells = lines[i].split(QLatin1Char('\t'));
        for (int j = 0; j < cells.size() && left + j <= right; ++j) m_rows[top + i].cells[left + j] = cells[j];
    }
    emitCells(top, left, bottom, right);
}

void SignalGrid::AddItem(const QString& tabText, int index) {
    if (index < 0 || index > Rows()) index = Rows();
    beginStructure();
    RowRec rec;
    rec.cells = QVector<QString>(m_cols);
    const QStringList parts = tabText.split(QLatin1Char('\t'));
    for (int c = 0; c < parts.size() && c < m_cols; ++c) rec.cells[c] = parts[c];
    m_rows.insert(index, rec);
    endStructure();
}

void SignalGrid::RemoveItem(int index) { removeRows(index, 1); }

void SignalGrid::insertRows(int at, int count) {
    if (count <= 0) return;
    at = qBound(0, at, Rows());
    beginStructure();
    RowRec rec;
    rec.cells = QVector<QString>(m_cols);
    m_rows.insert(at, count, rec);
    endStructure();
}

void SignalGrid::removeRows(int first, int count) {
    if (first < 0 || first >= Rows() || count <= 0) return;
    count = qMin(count, Rows() - first);
    if (Rows() - count < 1) count = Rows() - 1;  // the caption row always stays
    if (count <= 0) return;
    beginStructure();
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + first + count);
    endStructure();
}

void SignalGrid::moveRows(int first, int count, int to) {
    if (first < 0 || count <= 0 || first + count > Rows() || to < 0 || to + count > Rows() || to == first) return;
    beginStructure();
    auto b = m_rows.begin();
    if (to < first)
        std::rotate(b + to, b + first, b + first + count);
    else
        std::rotate(b + first, b + first + count, b + to + count);
    endStructure();
}

void SignalGrid::renumber(int first) {
    for (int r = qMax(first, 1); r < Rows(); ++r) m_rows[r].cells[0] = QString::number(r);
    if (Rows() > 1) emitCells(qMax(first, 1), 0, Rows() - 1, 0);
}

void SignalGrid::setRedraw(bool on) {
    if (on == m_redraw) return;
    if (!on) {
        // Views must drop what they hold before the grid changes beneath them.
        emit structureAboutToChange();
        m_pendingStructure = true;
        m_redraw = false;
        return;
    }
    m_redraw = true;
    if (m_pendingStructure || m_pendingCells) emit structureChanged();
    m_pendingStructure = m_pendingCells = false;
    emit currentChanged();
}
