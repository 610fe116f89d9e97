// The LON gateway's download file (LON.Plmx in the project folder), built from
// the editor's model and signal grid. Little-endian fields; a 4-byte checksum of
// the rest in front. Readable points come first, device by device, then the
// write-only and communication-error points.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "DownloadFrame.h"

class LonConfig;
class SignalGrid;

// Tuning values read from section "LON" of LON.ini; none is shown in the editor.
struct LonTuning {
    qint32 ltaRqRpTimeout = 8;
    qint32 lnkTimeoutMs = 3000;
    qint32 lnkRetries = 3;
    qint32 ssResetTimeMs = 500;
    qint32 resetTimeMs = 4000;
    qint32 lonRetries = 3;  // written as 11 when above 11
    qint32 targetSubnet = 0;
    // Through LeeIniEntero (the project INI, NombreIni "LON").
    static LonTuning fromIni();
};

struct LonDownload : DownloadFile {
    enum Outcome {
        Ready,           // bytes hold the whole file (with checksum); fault() may still be set
        NoDeviceInputs,  // a: a selected device has no readable row
        NoSignals,       // b: no point at all
        TooManyPoints,   // c: more points than the version allows
    };
    Outcome outcome = Ready;  // message: text of message a, b or c
    int devices = 0;       // D: selected devices
    int total = 0;         // S (= number of ASCII points)
    int readable = 0;      // R: readable slots, first in the table
    int writes = 0;        // W: other slots minus the communication-error rows
    int readWrite = 0;     // active "RW" rows of the selected devices
    int failedDevice = 0;  // device of message a
};

// The whole file in memory; shows nothing, touches no file.
LonDownload composeLonDownload(const LonConfig& cfg, const SignalGrid& grid, const LonTuning& tuning,
                               const QDateTime& at);

// RutaProyecto + separator + "LON.Plmx".
QString lonDownloadPath();

// The generate command's generator: checks, writes LON.Plmx (under a temporary
// name, renamed into place; any old file is removed first), and shows the
// report or the failing message. `at` is the time put in the header (the
// current local time when invalid). Returns true when the report was shown.
bool Genera_FicheroDescarga(const LonConfig& cfg, const SignalGrid& grid, const QDateTime& at = QDateTime());
