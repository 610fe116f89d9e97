// Device interface files (".xif"): the reader that lists a file's network
// variables against the SNVT catalogue, and the import of the listed NVs into
// the LON signal grid for a range of devices. The window fImportXif and the
// command "pilmora import-xif" both use these routines, so they give the same rows.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class ModSNVT;
class SignalGrid;

// Fields of a line separated by single blanks; two blanks in a row give an empty
// field; fields beyond the 20th are dropped.
QStringList SeparaCampos(const QString& line);

// One row of the NV list: sub-items 1 "SNVT", 2 "SNVT Name", 3 "Idx", 4 "RW",
// 5 "Description". Header, version and warning rows have no number in sub-item 1.
struct XifFila {
    QString snvt, nombre, idx, rw, descripcion;
    // Only rows whose SNVT column reads as a non-zero number are imported.
    bool importable() const;
};

// Reports progress while a file is read: bytes done and total. Returning false
// stops the reading (what was listed so far stays).
using XifProgreso = std::function<bool(qint64 done, qint64 total)>;

struct XifLectura {
    bool nodeObject = false;  // "Load Node Object vars": keep NVs of SNVT 92 and 93
    // The list stops growing at this many rows (a file of huge arrays must not
    // exhaust the memory); a last warning row says so.
    int maxFilas = 200000;
    XifProgreso progreso;
};

// Reads one file and appends its rows: a header row "<<name>>\"", then, when the
// first line carries a usable "XIF Version", a version row and one row per NV,
// element and preferred catalogue entry (or a warning row). Returns false when
// the file could not be opened (nothing is added then).
bool leeFicheroXif(const QString& path, const ModSNVT& catalogue, const XifLectura& options, QVector<XifFila>& list);

// The version number of a first line ("... XIF Version 4.402" gives 4.402; 0 without it).
double versionXif(const QString& firstLine);

// Device range rule of the two device lists: a first device above the last moves
// the last to it (firstChanged), a last device below the first moves the first.
void ajustaRangoDispositivos(int& first, int& last, bool firstChanged);

// Appends, for each device first..last and each selected importable row in list
// order, one grid row (device, SNVT, name, index, offset, data type, a, b, c,
// filter, access, description, A/D, spontaneous, inactive) and sets its direction.
// `prefix` puts "D<device>." before the description. Shows "New points:" and
// the count (unless `report` is false: the command line prints it itself);
// returns the count (the caller marks the grid changed when not 0).
int Importar_Puntos(SignalGrid& grid, const ModSNVT& catalogue, const QVector<XifFila>& list,
                    const QVector<bool>& selected, int first, int last, bool prefix, bool report = true);
// "New points:" and the count.
QString textoPuntosNuevos(int count);
