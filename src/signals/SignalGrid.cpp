#include "SignalGrid.h"

#include <algorithm>

QString rowNumberText(int r) {
    constexpr int kShared = 1 << 16;
    if (r < 0 || r >= kShared) return QString::number(r);
    thread_local QVector<QString> texts;
    while (texts.size() <= r) texts.append(QString::number(texts.size()));
    return texts.at(r);
}

SignalGrid::SignalGrid(int rows, int cols, QObject* parent) : QObject(parent) {
    setCols(qMax(cols, 1));
    setRows(qMax(rows, 1));
    m_row = m_rowSel = qMin(1, Rows() - 1);
    m_col = m_colSel = qMin(1, m_cols - 1);
}

void SignalGrid::beginStructure() {
    // With drawing off the views hear once, before the first change of rows or
    // columns, and again when drawing is switched back on.
    if (m_redraw || !m_pendingStructure) emit structureAboutToChange();
    if (!m_redraw) m_pendingStructure = true;
}

void SignalGrid::endStructure() {
    clampCurrent();
    if (m_redraw)
        emit structureChanged();
    else
        m_pendingStructure = true;
}

void SignalGrid::emitCells(int t, int l, int b, int r) {
    if (m_redraw) {
        emit cellsChanged(t, l, b, r);
    } else if (!m_pendingCells) {
        m_pendingCells = true;
        m_pendTop = t, m_pendLeft = l, m_pendBottom = b, m_pendRight = r;
    } else {
        m_pendTop = qMin(m_pendTop, t), m_pendLeft = qMin(m_pendLeft, l);
        m_pendBottom = qMax(m_pendBottom, b), m_pendRight = qMax(m_pendRight, r);
    }
}

void SignalGrid::clampCurrent() {
    const int maxR = qMax(Rows() - 1, 0), maxC = qMax(m_cols - 1, 0);
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
    // Loaders put adopted cells in data rows only: with those gone, so is the text.
    if (n == 1) m_adopted.clear();
    endStructure();
}

void SignalGrid::adoptText(const QString& text) {
    if (!text.isEmpty()) m_adopted.append(text);
}

qsizetype SignalGrid::heldText() const {
    qsizetype n = 0;
    for (const QString& a : m_adopted) n += a.size();
    return n;
}

bool SignalGrid::adopted(const QString& text) const {
    const auto p = quintptr(text.constData());
    for (const QString& a : m_adopted)
        if (p >= quintptr(a.constData()) && p < quintptr(a.constData() + a.size())) return true;
    return false;
}

void SignalGrid::appendRows(QVector<QVector<QString>>&& rows) {
    if (rows.isEmpty()) return;
    beginStructure();
    m_rows.reserve(m_rows.size() + rows.size());
    for (QVector<QString>& cells : rows) {
        RowRec rec;
        rec.cells = std::move(cells);
        rec.cells.resize(m_cols);
        m_rows.append(std::move(rec));
    }
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

QString SignalGrid::TextMatrix(int row, int col) const {
    if (!valid(row, col)) return QString();
    const QString& t = m_rows[row].cells[col];
    // An adopted cell leaves the grid as a copy: the text it lies in may go first.
    return t.isDetached() || t.isEmpty() || !adopted(t) ? t : QString(t.constData(), t.size());
}

const QString& SignalGrid::cell(int row, int col) const {
    static const QString none;
    return valid(row, col) ? m_rows[row].cells[col] : none;
}

void SignalGrid::setTextMatrix(int row, int col, const QString& text) {
    if (!valid(row, col)) return;
    QString& cell = m_rows[row].cells[col];
    if (cell == text) return;
    cell = text;
    emitCells(row, col, row, col);
}

QStringList SignalGrid::rowCells(int row) const {
    QStringList out;
    for (int c = 0; row >= 0 && row < Rows() && c < m_cols; ++c) out << TextMatrix(row, c);
    return out;
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
    if (first < 1 || count <= 0 || first + count > Rows() || to < 1 || to + count > Rows() || to == first) return;
    beginStructure();
    auto b = m_rows.begin();
    if (to < first)
        std::rotate(b + to, b + first, b + first + count);
    else
        std::rotate(b + first, b + first + count, b + to + count);
    endStructure();
}

void SignalGrid::removeMarkedRows(const QVector<bool>& remove) {
    const int n = qMin(Rows(), int(remove.size()));
    int firstRemoved = -1;
    for (int r = 1; r < n && firstRemoved < 0; ++r)
        if (remove[r]) firstRemoved = r;
    if (firstRemoved < 0) return;
    beginStructure();
    int out = firstRemoved;
    for (int r = firstRemoved + 1; r < Rows(); ++r)
        if (r >= n || !remove[r]) m_rows[out++] = std::move(m_rows[r]);
    m_rows.resize(out);
    endStructure();
}

void SignalGrid::renumber(int first) {
    first = qMax(first, 1);
    for (int r = first; r < Rows(); ++r) m_rows[r].cells[0] = rowNumberText(r);
    if (first < Rows()) emitCells(first, 0, Rows() - 1, 0);
}

void SignalGrid::setRedraw(bool on) {
    if (on == m_redraw) return;
    m_redraw = on;
    if (!on) return;
    const bool structure = m_pendingStructure, cells = m_pendingCells;
    m_pendingStructure = m_pendingCells = false;
    if (structure) {
        clampCurrent();
        emit structureChanged();
    } else if (cells) {
        emit cellsChanged(m_pendTop, m_pendLeft, m_pendBottom, m_pendRight);
    }
    emit currentChanged();
}
