// Damage in the files of a project: what a cut copy, a failing disk or a binary
// file saved under the project's name leaves behind. Every loader and command
// decides it through findFileDamage, so the editor, the command line and the
// monitor agree on which file is damaged and from which line on.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include "ByteScan.h"

struct FileDamage {
    enum Kind { None, ControlBytes, CutRow };
    Kind kind = None;
    int line = 0;          // first bad line, 1-based
    qsizetype offset = 0;  // where that line starts in the file
    explicit operator bool() const { return kind != None; }
};

enum class FileShape { Text, SignalTable };

// A character no text file holds: 0x00-0x08, 0x0B, 0x0C, 0x0E-0x1F (TAB, LF and CR
// are text, and so are 0x7F-0xFF). Writers replace them so that what they write
// never reads as damaged.
inline bool isDamagingChar(QChar c) { return isDamagingCode(c.unicode()); }
// The text with each damaging character replaced: the white space ones (0x0B,
// 0x0C) by a blank, the others by "?", as messages show them; so a text that
// was blank stays blank and one that was not stays not.
QString withoutDamagingChars(const QString& text);

// The first damage of a file's bytes, lines ended by CR LF, CR or LF: a damaging
// byte; in a signal table also a last row cut short (no line end, fewer cells than
// the "CAMPOS=" line announces while every other row from the caption row on has
// them all). Hand-written files (comments, blanks, short rows followed by a line
// end) are not damaged.
FileDamage findFileDamage(const QByteArray& bytes, FileShape shape);

// "The file is damaged: <path>", then the first bad line and why, one line each.
QString describeDamage(const QString& path, const FileDamage& damage);

struct DamagedFile {
    QString path;
    FileDamage damage;
};
// The damaged files of a project folder: Project.ini and, when `protocol` is not
// empty, <protocol>.ini and <protocol>.dat (whatever the letter case on disk).
// Files that are missing or unreadable are not damaged here; their loaders tell.
// A loader that reads the signal table next leaves it out (withTable false) and
// takes its damage from the one read it makes.
QVector<DamagedFile> findProjectDamage(const QString& folder, const QString& protocol, bool withTable = true);

// Forgets what earlier reads of these files took from defaults, so that the next
// load's defaults are the ones told.
void beginDamagedLoad(const QVector<DamagedFile>& files);
// One message for a load of a damaged project: each file with its first bad line,
// that the lines before it were read, the settings that took their defaults, and
// that the next save keeps the damaged file beside it. Nothing when none is damaged.
void avisaDanyosProyecto(const QVector<DamagedFile>& files);
