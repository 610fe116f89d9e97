// Text in files and on the wire: one Windows-1252 byte per character.
#pragma once

#include <QByteArray>
#include <QString>

QString fromAnsi(const QByteArray& bytes);
QByteArray toAnsi(const QString& text);

// Path of the entry `name` in `folder`, found whatever its letter case; when no
// entry matches, folder + separator + name as given.
QString findNoCase(const QString& folder, const QString& name);

// Joins with the platform separator.
QString joinPath(const QString& folder, const QString& name);

// Writes the whole file under a temporary name in the same folder and renames it
// over the old one, so a crash never leaves half a file. An existing read-only
// file is not replaced. On failure returns false and a reason in *error.
// Without `syncToDisk` the data are not forced to the disk before the rename:
// still all-or-nothing for a crash of the program, and fast enough for settings
// files that are rewritten once per key.
bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr, bool syncToDisk = true);

// Whole file; false when it cannot be opened (reason in *error).
bool readFileBytes(const QString& path, QByteArray* out, QString* error = nullptr);
