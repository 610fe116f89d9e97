// The signal table file shared by both gateway editors and the monitor: writing
// it from a grid, reading it into a table of strings, and the columns that the
// editors and the live viewer have in common.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <vector>

class SignalGrid;
struct FileDamage;

// Table version written and required by both editors.
inline constexpr const char* kVersionTabla = "ASCII.1.0";

// Captions of the spontaneous column of both editors: "0-NoSpon", "1-Spon".
const QStringList& spontaneousCaptions();

// Ordered collection of choice texts keyed "K0", "K1", ... (insertion order kept).
class OpcionesColumna {
public:
    void Add(const QString& text, const QString& key);
    // Text stored under key; empty when there is none.
    QString Item(const QString& key) const;
    bool contains(const QString& key) const { return m_keys.contains(key); }
    int Count() const { return int(m_texts.size()); }
    // Items in insertion order, 0-based.
    QString at(int i) const { return m_texts.value(i); }
    QString keyAt(int i) const { return m_keys.value(i); }
    const QStringList& texts() const { return m_texts; }
    void clear() {
        m_keys.clear();
        m_texts.clear();
    }

private:
    QStringList m_keys, m_texts;
};

// Per-column descriptor kept by the editors and the viewer.
struct InfoColumna {
    // 0 = typed in the floating editor; 1 = choice list (right-click menu) and may
    // be typed; 2 = never typed, set only by a command or menu.
    qint16 Tipo = 0;
    OpcionesColumna Opciones;
    QString Ayuda;
};

// In-memory signal table: cells (column, row) with columns 1..columns() and rows
// 1..rows(); the row-number column of the file is dropped. The table keeps the
// file's text once and each cell as a place in it, so a load makes no string
// per cell; rows keep only the fields their line had, so a huge CAMPOS or a
// short line costs nothing.
class TablaSenyales {
public:
    int columns() const { return m_cols; }
    int rows() const { return int(m_rowStart.size()); }
    // Empty for a cell the line had no field for, and outside the table. A text of its own.
    QString cell(int col, int row) const;
    // The same without a copy: a view of the table's text, valid while the table
    // is unchanged; cellShared is that view as a QString (QString::fromRawData),
    // for a grid that has adopted text() (SignalGrid::adoptText).
    QStringView cellView(int col, int row) const {
        if (row < 1 || row > rows() || col < 1 || col > m_cols) return {};
        const size_t i = size_t(first(row)) + size_t(col) - 1;
        return i < end(row) ? QStringView(m_text.constData() + m_spans[i].start, m_spans[i].length) : QStringView();
    }
    QString cellShared(int col, int row) const {
        const QStringView v = cellView(col, row);
        return v.isEmpty() ? QString() : QString::fromRawData(v.data(), v.size());
    }
    const QString& text() const { return m_text; }
    void setCell(int col, int row, const QString& text);
    // Empties the table and sets its column count.
    void reset(int columns);
    // Appends an empty row; returns its number.
    int addRow();
    void clear() { reset(0); }
    // Reading a file: its whole text first, then for each line addRow and the
    // line's fields 1, 2, ... in order, each as its place in text().
    void setText(const QString& text) { m_text = text; }
    void reserveFields(qsizetype n) { m_spans.reserve(size_t(n)); }
    void addField(qsizetype start, qsizetype length) { m_spans.push_back({qint32(start), qint32(length)}); }

private:
    struct Span {
        qint32 start = 0, length = 0;
    };
    // The spans of row r (1-based) are m_spans[first(r) .. end(r)).
    size_t first(int row) const { return size_t(m_rowStart[size_t(row) - 1]); }
    size_t end(int row) const { return row < rows() ? size_t(m_rowStart[size_t(row)]) : m_spans.size(); }
    int m_cols = 0;
    QString m_text;
    std::vector<Span> m_spans;
    std::vector<qint32> m_rowStart;
};

// Writes RutaProyecto\<protocol name>.dat from the grid: the three header lines,
// the caption row, then every row (allRows) or only those whose last cell reads
// non-zero. Failures are shown to the user; returns true when the file was written.
bool Graba_Senyales(int protocolo, const QString& version, const SignalGrid& grid, bool allRows);
// One editor save: the project INI file written in one batch by `grabaIni`, then
// the signal table. Each file that fails is told once and the result is false,
// so the caller keeps its change flags; backups kept after a lossy load are named.
bool GrabaProyecto(const std::function<void()>& grabaIni, int protocolo, const SignalGrid& grid);

// Reads RutaProyecto\<protocol name>.dat into `table`. False after the user has been
// told what failed (the table must not be used then).
// A damaged table (see FileDamage) gives the rows before its first bad line, and
// `damage`, when given, says where that is.
bool Carga_Senyales(int protocolo, const QString& version, TablaSenyales& table, FileDamage* damage = nullptr);

// Caption, width (twips) and descriptor of column 0 and of each column given (0 = the
// grid has no such column). `info` grows to the grid's column count when shorter.
// One column of an editor's grid: width in twips, typing kind (-1: as the common
// headers leave it), cell value type, caption and help, each a literal or a language key.
struct DefColumna {
    int width;
    int kind;
    int valueType;
    const char* caption;
    const char* captionKey;
    const char* help;
    const char* helpKey;
};
// Help line of the ASCII address column.
QString AyudaDireccion(int maxAddress);
// Captions, help, typing kinds, value types and widths of columns 0..count-1.
void Aplica_Columnas(SignalGrid& grid, QVector<InfoColumna>& info, const DefColumna* defs, int count);

// Captions, help and choices of the columns every signal grid has (a column 0 is not there).
void Carga_CabecerasComunes(SignalGrid& grid, QVector<InfoColumna>& info, int colDireccion, int colTipoSenyal,
                            int colActiva);

// Path of the signal table of a protocol in the current project, whatever the letter
// case of the file's extension on disk.
QString rutaTablaSenyales(int protocolo);

// A cell text as it may be stored: TAB, CR and LF (which would break the file's
// lines) become blanks; characters no text file holds are replaced (withoutDamagingChars).
QString textoCeldaSeguro(const QString& text);
