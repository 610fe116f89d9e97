// An MBS6 project folder loaded the way its editor loads it, without a window:
// the model from MBS6.ini, the fixed grid, then the signal table carried into it.
// Used by the editor, the command-line tool, tests and benchmarks.
#pragma once

#include <QString>
#include <QVector>

#include "Mbs6Config.h"

class SignalGrid;
struct InfoColumna;

// Makes `folder` the current project (RutaProyecto, NombreIni and ProtProyecto
// "MBS6") and loads model and grid. Returns false when the signal table could
// not be read (its reader has shown why); the grid then keeps its fixed rows.
bool loadMbs6Project(const QString& folder, Mbs6Config& cfg, SignalGrid& grid, QVector<InfoColumna>& info);
