// `pilmora decode` and `pilmora diff`: download files read back as text and
// compared field by field.
#pragma once

#include <QStringList>

// decode FILE [--json]: 0 the whole file was read, 1 damaged, 2 wrong usage.
int runDecode(const QStringList& args);
// diff A B | diff PROJECT: 0 the same apart from date and checksum, 1 they
// differ, 2 wrong usage, 3 a file unreadable or damaged (or nothing to compare with).
int runDiff(const QStringList& args);
QStringList inspectUsage();
