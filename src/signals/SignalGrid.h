// The signal grid without a screen: row 0 holds the captions, column 0 the row
// numbers, data from (1, 1). Keeps the addressing the editing operations are
// written in (TextMatrix, Row/Col, RowSel/ColSel, RowHeight, ColWidth, RowData,
// clip text), so editors, generators and the viewer all work on this class and
// the widget only shows it.
#pragma once

#include <QObject>
#include <QString>
#include <QVector>

// The text of row number r ("12"), shared: grids of thousands of rows write
// their column 0 at every load and renumbering.
QString rowNumberText(int r);

class SignalGrid : public QObject {
    Q_OBJECT
public:
    // Column value types: which keys a typed cell accepts.
    enum ValueType { Int16 = 2, Int32 = 3, Single = 4, Text = 8, HexByte = 17 };
    enum Align { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };
    static constexpr int kDefaultRowHeight = 240;  // twips
    static constexpr int kDefaultColWidth = 960;   // twips

    explicit SignalGrid(int rows = 2, int cols = 2, QObject* parent = nullptr);

    // Size. Shrinking drops rows/columns at the end; growing adds empty ones.
    int Rows() const { return int(m_rows.size()); }
    int Cols() const { return m_cols; }
    void setRows(int n);
    void setCols(int n);
    int dataRows() const { return Rows() - 1; }
    int lastRow() const { return Rows() - 1; }
    int lastCol() const { return Cols() - 1; }

    // Cells. TextMatrix gives a text of its own, which may be kept for as long as
    // wanted; cell gives the stored text itself, without a copy, for reading many
    // cells in a row (checks, generators, saving): it is valid only while the
    // grid lives and the cell is not changed, and is never to be kept.
    QString TextMatrix(int row, int col) const;
    const QString& cell(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // Loading: `text` becomes part of the grid, and rows appended by appendRows
    // may hold cells made with QString::fromRawData over it, which cost no copy
    // until one is shown or edited. Kept until the grid is back to its caption row.
    void adoptText(const QString& text);
    // Characters of adopted text the grid holds: one table's worth however often it is loaded again.
    qsizetype heldText() const;
    // Appends rows of cells (each resized to Cols()).
    void appendRows(QVector<QVector<QString>>&& rows);
    // The cells of a row, columns 0..Cols-1.
    QStringList rowCells(int row) const;

    // Current cell and selection (the selection runs from Row/Col to RowSel/ColSel,
    // in either direction). Setting Row or Col collapses the selection onto it.
    int Row() const { return m_row; }
    int Col() const { return m_col; }
    int RowSel() const { return m_rowSel; }
    int ColSel() const { return m_colSel; }
    void setRow(int r);
    void setCol(int c);
    void setRowSel(int r);
    void select(int row, int col, int rowSel, int colSel);
    int selTop() const { return qMin(m_row, m_rowSel); }
    int selBottom() const { return qMax(m_row, m_rowSel); }
    int selLeft() const { return qMin(m_col, m_colSel); }
    int selRight() const { return qMax(m_col, m_colSel); }

    // Geometry in twips; a row of height 0 is hidden.
    int RowHeight(int row) const;
    void setRowHeight(int row, int twips);
    bool isRowHidden(int row) const { return RowHeight(row) == 0; }
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);

    // Per-row and per-column data.
    qint32 RowData(int row) const;
    void setRowData(int row, qint32 value);
    int ColDataType(int col) const;
    void setColDataType(int col, int type);
    int ColAlignment(int col) const;
    void setColAlignment(int col, int align);

    // Rows.
    void insertRows(int at, int count);
    void removeRows(int first, int count);
    // Moves `count` rows starting at `first` so that they start at `to` (the caption row never moves).
    void moveRows(int first, int count, int to);
    // Removes every row r >= 1 with remove[r] set, in one pass (row 0 always stays).
    void removeMarkedRows(const QVector<bool>& remove);
    // Renumbers column 0 of rows first..last as first..last.
    void renumber(int first = 1);

    // Drawing switched off: changes are collected and announced once when it is
    // switched back on (cell edits only as one cellsChanged of their bounding
    // range; a change of rows or columns as structureAboutToChange, sent before
    // the first such change, and structureChanged when drawing is back on).
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool on);

signals:
    // Row or column count, row order: the whole grid must be shown again.
    void structureAboutToChange();
    void structureChanged();
    void cellsChanged(int top, int left, int bottom, int right);
    void rowHeightChanged(int row);
    void colWidthChanged(int col);
    void currentChanged();

private:
    struct RowRec {
        QVector<QString> cells;
        int height = kDefaultRowHeight;
        qint32 data = 0;
    };
    struct ColRec {
        int width = kDefaultColWidth;
        int type = Text;
        int align = AlignLeft;
    };
    bool valid(int r, int c) const { return r >= 0 && r < Rows() && c >= 0 && c < m_cols; }
    // True when the text lies in an adopted text (a cell that was never copied).
    bool adopted(const QString& text) const;
    void beginStructure();
    void endStructure();
    void emitCells(int t, int l, int b, int r);
    void clampCurrent();

    QVector<RowRec> m_rows;
    QVector<ColRec> m_colInfo;
    QVector<QString> m_adopted;
    int m_cols = 0;
    int m_row = 0, m_col = 0, m_rowSel = 0, m_colSel = 0;
    bool m_redraw = true;
    bool m_pendingStructure = false;
    bool m_pendingCells = false;
    int m_pendTop = 0, m_pendLeft = 0, m_pendBottom = 0, m_pendRight = 0;
};

// Drawing off for the lifetime of the object, or until end(): the view hears of
// the changes at once. A caller that had switched drawing off keeps it off, so
// a pause can never leave a grid dark or light it early.
class RedrawOff {
public:
    explicit RedrawOff(SignalGrid& g) : m_grid(g), m_was(g.Redraw()) { g.setRedraw(false); }
    ~RedrawOff() { end(); }
    void end() {
        if (m_was) m_grid.setRedraw(true);
        m_was = false;
    }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    SignalGrid& m_grid;
    bool m_was;
};
