// The frame every gateway download file shares: the 128-byte header area, the
// serial block, the checksum in front, the file's name and folder, the writing
// and the messages around it. Each gateway model adds only its own fields.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class DownloadWriter;
struct AsciiSerialConfig;

// A composed download file, or why there is none.
struct DownloadFile {
    QString message;   // set when the run is refused before writing: shown instead of the report
    QByteArray bytes;  // whole file, checksum first
    QString fault;     // first value that did not fit its field (the error message replaces the report)
    quint32 checksum = 0;
};

// Offsets 4..131: header text ("MEROVANTIX-ASCII-", protocol, marker, date and
// time) padded with blanks to 62, CR LF, 64 blanks.
void writeDownloadHeader(DownloadWriter& w, const QString& protocol, const QString& marker, const QDateTime& at);
// Offsets 132..143: baud rate (the number in the speed's text), data-bit and
// parity indexes, ASCII timeout (negative written as 0), OK flag, 1.
void writeSerialBlock(DownloadWriter& w, const AsciiSerialConfig& serial, const QString& baudText);
// Puts the checksum in front of the written content and moves it into `d`.
void finishDownload(DownloadWriter& w, DownloadFile& d);

// RutaProyecto + separator + protocol + ".Plmx".
QString downloadPath(const QString& protocol);
// "ErrorAlGenerarFichero", path, CR, "Error: ", CR, description.
QString downloadErrorText(const QString& path, const QString& description);
// End of every report: "BytesFichero", file length, ". Checksum:", upper-case
// hexadecimal, CR, "AhoraPuedeEnviaraMerovantixFichero", CR, path.
QString downloadReportTail(const DownloadFile& d, const QString& path);

// Ends a generator run the caller started with the busy pointer: a refused run
// shows its message; otherwise the file at `path` is recreated (under a temporary
// name, renamed into place) and the report (reportHead + tail) or the error
// message is shown; `reportEnd` follows the report. The pointer is normal again
// before any message. True when the report was shown.
bool publishDownload(const DownloadFile& d, const QString& path, const QString& reportHead,
                     const QString& reportEnd = QString());
