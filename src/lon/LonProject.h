// A LON project folder loaded the way its editor loads it, without a window:
// the model from LON.ini, the grid's columns and built-in rows, then the signal
// table merged in. Used by the command-line tool, tests and benchmarks.
#pragma once

#include <QString>
#include <QVector>

#include "LonConfig.h"

class SignalGrid;
struct InfoColumna;

// "Prot" of section "Project" in the folder's Project.ini ("" when missing).
QString projectProtocol(const QString& folder);

// Makes `folder` the current project (RutaProyecto, NombreIni "LON",
// ProtProyecto "LON") and loads model and grid. Returns false when the signal
// table could not be read (its reader has shown why); the grid then keeps its
// built-in rows.
bool loadLonProject(const QString& folder, LonConfig& cfg, SignalGrid& grid, QVector<InfoColumna>& info);
