// The LON signal table to and from a spreadsheet file. Export writes every
// column of every grid row (hidden columns too, the built-in rows marked);
// import checks every cell as the grid's typing rules would, then the save's
// point checks, and replaces the grid's rows only when nothing is wrong.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include "SignalCsv.h"

class LonConfig;
class SignalGrid;

// The records of the file: the caption row in the current language, then one
// record per grid row (columns 0..17 and the built-in mark).
QVector<QStringList> lonCsvRecords(const SignalGrid& grid, const LonConfig& cfg);

// Writes the file; false with the reason in *error.
bool lonCsvExport(const QString& path, const SignalGrid& grid, const LonConfig& cfg, QChar separator,
                  QString* error);

// Checks the records and, when every cell and the point checks pass, replaces
// the grid's data rows with them (built into a grid of the configuration's
// columns and built-in rows, exactly as loading the table file would). False
// with every fault found, each with its row and column, and the grid unchanged.
// *rows: the rows the file brought.
bool lonCsvImport(const CsvRecords& in, const LonConfig& cfg, SignalGrid& grid, QStringList* faults,
                  int* rows = nullptr);
