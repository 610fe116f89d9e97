// The MBS6 gateway's download file (MBS6.Plmx in the project folder): the
// frame shared with the LON file (header, serial block, checksum in front),
// then the MBS6 bus settings, the selected units as one byte each and one
// 8-byte record per active point, in grid order.
#pragma once

#include <QDateTime>
#include <QString>

#include "DownloadFrame.h"

class Mbs6Config;
class SignalGrid;

struct Mbs6Download : DownloadFile {
    int devices = 0;  // D: selected units
    int points = 0;   // P
    int unitsOff = 0;  // active points of units not in use: not in the file
};

// "TimeoutInterFrame" of section "MBS6" of the project INI, default 10.
int mbs6TimeoutInterFrame();

// The whole file in memory; shows nothing, touches no file. With no point or no
// selected unit, `message` holds "NoEncontradoSenyales" and there are no bytes.
Mbs6Download composeMbs6Download(const Mbs6Config& cfg, const SignalGrid& grid, int timeoutInterFrame,
                                 const QDateTime& at);
// Active points of units not in use, which the file leaves out.
int mbs6PuntosSinUnidad(const Mbs6Config& cfg, const SignalGrid& grid);
// The warning that tells of them ("PuntosUnidadesSinUso" and the count), or empty.
QString mbs6AvisoSinUnidad(int count);
// Report shown after a good run.
QString mbs6DownloadReport(const Mbs6Download& d, const QString& path);
// RutaProyecto + separator + "MBS6.Plmx".
QString mbs6DownloadPath();

// The MBS6 editor's generator: composes the file, writes it, shows the report or
// the failing message; a value that does not fit its field writes no file. `at` is the header's time (now when invalid). True when
// the report was shown.
bool Genera_FicheroDescarga(const Mbs6Config& cfg, const SignalGrid& grid, const QDateTime& at = QDateTime());
