// The catalogue of standard network variable types (SNVTs): read from LON.snvt
// in the templates folder, reachable by name and by number. The LON editor fills
// a point's SNVT columns from an entry; the XIF import looks entries up by number.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class SignalGrid;

// One catalogue entry: one line of LON.snvt, columns 1..11 and 13.
struct SnvtRecord {
    bool flag1 = false;          // column 1
    qint16 numero = 0;           // 2: SNVT number
    qint16 numero2 = 0;          // 3
    QString nombre;              // 4: SNVT name ("SNVT_switch.value" for a field of a structure)
    quint8 tipo = 0;             // 5: LON data-type code (index of the data-type menu)
    quint8 offset = 0;           // 6: byte offset inside the NV
    qint16 a = 0, b = 0, c = 0;  // 7, 8, 9: scaling
    quint8 filtro = 0;           // 10: filter code, 0 = none
    float real = 0;              // 11
    bool preferido = false;      // 13: the entry the number index and the XIF import use
};

// Reads a tab-separated table: the first line is dropped; each further line is
// one row whose first field is not kept and whose next fields are columns
// 1..columns (table[row - 1][col - 1]; missing fields are empty). False after a
// message when the file is missing or cannot be opened.
bool CargaTablaTab(const QString& folder, int columns, const QString& fileName, QVector<QStringList>& table);

class ModSNVT {
public:
    static constexpr int kColumnas = 13;
    // 16-bit count: lines beyond this many loaded entries are left out (with one message).
    static constexpr int kMaxEntradas = 32767;
    // A damaged file must not raise thousands of boxes: after this many duplicate
    // name messages the rest are counted and told once.
    static constexpr int kMaxAvisosDuplicado = 10;

    // (Re)loads RutaPlantillas\LON.snvt. When the file cannot be read the
    // catalogue keeps what it had and false is returned.
    bool CargaSNVT();
    // Builds the catalogue from a table as CargaTablaTab gives it (row 0 = header).
    void cargaDesdeTabla(const QVector<QStringList>& table);

    int count() const { return int(m_entries.size()); }
    // Entry by catalogue index 1..count().
    const SnvtRecord& entry(int index) const { return m_entries.at(index - 1); }
    // Catalogue index, or 0 when absent. Names compare without regard to case.
    int indiceNombre(const QString& name) const;
    int indiceNumero(int number) const;
    void clear();

    // Incremented on every load that changed the catalogue (the chooser uses it).
    int generation() const { return m_generation; }

private:
    QVector<SnvtRecord> m_entries;
    QHash<QString, int> m_byName;  // lower-cased name -> index
    QHash<int, int> m_byNumber;    // number -> index
    int m_generation = 0;
};

// The program's catalogue: lives from the first load to the end of the program.
ModSNVT& catalogoSNVT();

// Writes catalogue entry `index` into every visible row of the grid's selection:
// SNVT number (2), name (3), offset (5), data-type caption (6), a, b, c (7..9),
// and empties the filter (10). An entry whose type code is outside 0..7 is told
// ("SnvtTipoIncorrecto") and changes nothing. Communication-error rows (negative
// SNVT) keep their cells. Returns true when a row was written.
bool SNVTLink_Pasa(SignalGrid& grid, const ModSNVT& catalogue, int index);
