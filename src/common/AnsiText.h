// Text in files and on the wire: one Windows-1252 byte per character.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

QString fromAnsi(const QByteArray& bytes);
QByteArray toAnsi(const QString& text);

// Leading and trailing blanks removed; other white space (TAB, line breaks) stays.
QString trimSpaces(const QString& s);
// Text fit to show: control characters (a binary file's bytes quoted in a message)
// become "?", line breaks and TABs stay.
QString visibleText(const QString& s);

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
// files that are rewritten once per key. A device in the file's place (a link to
// one) is written in place, so its own error, a full disk, is what gets reported.
bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr, bool syncToDisk = true);
// writeFileAtomic for what the user asked to be written; on failure *error tells the user
// the file and why ("NoSePuedeGrabar").
bool escribeFichero(const QString& path, const QByteArray& bytes, QString* error);

// Loading this file lost part of what it held (a refused header, dropped rows, a
// cut list): the next writeFileAtomic of it first keeps the old file beside it,
// as "<name>.bak", or ".bak1", ".bak2"... when older copies are there. A clean
// load clears the mark. An import that replaces the whole content marks the file
// the same way, with `why` (the text that tells of the copy) of its own.
void markLossyLoad(const QString& path, bool lossy = true, const QString& why = QString());
// Copies made since the last call, so a save can tell the user where they are;
// in *whys the `why` of each (empty for a lossy load).
QStringList takeBackupsMade(QStringList* whys = nullptr);

// Whole file; false when it cannot be opened (reason in *error).
bool readFileBytes(const QString& path, QByteArray* out, QString* error = nullptr);
