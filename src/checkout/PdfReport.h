// The handover report laid out into A4 pages and written as PDF, with the
// project, the date, the tool's version and the page number at the foot of
// every page. Needs Qt's GUI module (fonts), never a screen: the command line
// runs it on the offscreen platform.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

class QCoreApplication;
struct HandoverReport;

// The widths of a table's columns, `ancho` in all, in proportion to `pesos`; a column whose caption holds a word
// wider than its share (`medida`: a word's width with the cell's padding) gets it from the columns with room to
// spare, in proportion to that room, when they have enough of it.
QVector<qreal> anchosColumnas(const QStringList& cabecera, const QVector<int>& pesos, qreal ancho,
                              const std::function<qreal(const QString&)>& medida);

// Writes the report to `path` whole or not at all; false with the reason.
bool escribePdf(const HandoverReport& r, const QString& path, QString* error);

// The report of the project in `folder` written to `path`: HTML when its name
// ends in .html or .htm, else PDF. False with the reason.
bool escribeInforme(const QString& folder, const QString& path, QString* error);

// The application object a command that writes PDF needs, on the offscreen
// platform: it works with no display and nothing set in the environment.
std::unique_ptr<QCoreApplication> aplicacionSinPantalla(int& argc, char** argv);
