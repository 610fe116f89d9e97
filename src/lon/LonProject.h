// A LON project folder loaded the way its editor loads it, without a window:
// the model from LON.ini, the grid's columns and built-in rows, then the signal
// table merged in. Used by the command-line tool, tests and benchmarks.
#pragma once

#include <QString>
#include <QVector>

#include "LonConfig.h"

class SignalGrid;
struct InfoColumna;

// Makes `folder` the current project (RutaProyecto, NombreIni "LON",
// ProtProyecto "LON") and loads model and grid. Returns false when the signal
// table could not be read (its reader has shown why); the grid then keeps its
// built-in rows.
bool loadLonProject(const QString& folder, LonConfig& cfg, SignalGrid& grid, QVector<InfoColumna>& info);

// Writes LON.ini and LON.dat of the current project, each whole or not at all.
// Every file that fails is told once, with its path and the system's reason, and
// the change flags stay set; they are cleared only when both files were written.
// A file whose loading had lost data is first kept beside it (LON.dat.bak, ...),
// and one message says where.
bool saveLonProject(LonConfig& cfg, const SignalGrid& grid);
