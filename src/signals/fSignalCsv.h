// What both editors' "Export..." and "Import..." share on the screen: the file
// dialogs, the separator question, progress while a long file is read, and the
// list of faults. The table work itself is in the core (SignalCsv, LonCsv).
#pragma once

#include <QString>
#include <QStringList>

#include "SignalCsv.h"

class QWidget;

namespace fSignalCsv {
// The file to write and its separator; empty when the user cancelled.
QString askExportFile(QWidget* parent, const QString& suggestedName, QChar* separator);
// The file to read; empty when the user cancelled.
QString askImportFile(QWidget* parent);
// Reads the file, with a progress dialog on long files. False with the reason in *faults.
bool readFile(QWidget* parent, const QString& path, CsvRecords* records, QStringList* faults);
// "Not imported, nothing changed" and every fault, one a line.
void showFaults(const QStringList& faults);
}  // namespace fSignalCsv
