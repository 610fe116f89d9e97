// pilmora report: the handover report of a project, as PDF, as HTML, and its
// points list as a spreadsheet file, without a window.
#pragma once

#include <QStringList>

// `args`: what follows "report". 0 when every file asked for was written, 1
// when the project cannot be reported or a file cannot be written, 2 wrong usage.
int runReport(const QStringList& args);
QStringList reportUsage();
// Whether the command line asks for a PDF, which needs the fonts of Qt's GUI module.
bool reportWantsPdf(int argc, char** argv);
