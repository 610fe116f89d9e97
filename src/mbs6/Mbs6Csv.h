// The MBS6 signal table to and from a spreadsheet file. The rows are fixed
// (one per unit and property): export writes all of them, every column;
// import finds each row of the file among them by unit and property and takes
// only the cells the grid lets the user change (description, A/D, spontaneous,
// active). A unit and property the grid does not offer is a fault.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include "SignalCsv.h"

class SignalGrid;

// The caption row in the current language, then one record per grid row.
QVector<QStringList> mbs6CsvRecords(const SignalGrid& grid);

// Writes the file; false with the reason in *error.
bool mbs6CsvExport(const QString& path, const SignalGrid& grid, QChar separator, QString* error);

// Checks every cell and key, then the save's point check; when nothing is
// wrong the rows of the file change their editable cells in `grid` (rows the
// file leaves out stay as they are). False with every fault, grid unchanged.
// *rows: the rows the file brought.
bool mbs6CsvImport(const CsvRecords& in, SignalGrid& grid, QStringList* faults, int* rows = nullptr);
