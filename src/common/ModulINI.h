// INI settings store with the semantics of the Windows private-profile functions.
#pragma once

#include <QString>

// Application INI: application folder + "PilmoraASCII.ini".
QString LeeIniAplicacion(const QString& section, const QString& key, const QString& defaultValue);
qint32 LeeIniAplicacionEntero(const QString& section, const QString& key, qint32 defaultValue);
void EscribeIniAplicacion(const QString& section, const QString& key, const QString& value);

// Project INI: RutaProyecto + (NombreIni, or the section when NombreIni is empty) + ".ini".
QString LeeIni(const QString& section, const QString& key, const QString& defaultValue);
qint32 LeeIniEntero(const QString& section, const QString& key, qint32 defaultValue);
void EscribeIni(const QString& section, const QString& key, const QString& value);

// The same on an explicit file path. iniWrite returns false on failure and shows nothing.
QString iniRead(const QString& path, const QString& section, const QString& key, const QString& defaultValue);
qint32 iniReadInt(const QString& path, const QString& section, const QString& key, qint32 defaultValue);
bool iniWrite(const QString& path, const QString& section, const QString& key, const QString& value);

// The "section/key" names a damaged file was asked for since the last call and
// did not hold (they took their defaults): what a damaged file lost.
QStringList takeIniDefaults(const QString& path);

QString rutaIniAplicacion();
QString rutaIniProyecto(const QString& section);

// While an object of this class lives, INI writes are collected in memory (reads
// see them) and each file is written once, when the outermost batch ends: one
// temporary file and rename instead of one per key. A file that cannot be
// written keeps its old content and is told once, with its path and the system's
// reason, however many keys went to it.
// While an object of this class lives, each INI file is looked for and read
// once: later reads take the same parsed copy without asking the file system
// again (a project load reads hundreds of keys of one file). A write ends it
// for every file.
class IniReadBatch {
public:
    IniReadBatch();
    ~IniReadBatch();
    IniReadBatch(const IniReadBatch&) = delete;
    IniReadBatch& operator=(const IniReadBatch&) = delete;
};

class IniBatch {
public:
    IniBatch();
    ~IniBatch();
    // Ends the batch now when it is the outermost one: writes each file and tells
    // each failure. False when a file could not be written.
    bool finish();
    IniBatch(const IniBatch&) = delete;
    IniBatch& operator=(const IniBatch&) = delete;

private:
    bool m_open = true;
};
