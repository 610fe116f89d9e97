// Which folder is the application folder, and how an installed copy fills a
// per-user one from the data it ships.
//
// A copy run from its build folder uses the executable's folder, as it always
// did. An installed copy cannot write its program folder: it finds the marker
// file installed beside its data in share/, and uses a per-user folder instead
// (QStandardPaths::AppDataLocation), filled from that data on every start.
#pragma once

#include <QString>
#include <QStringList>

// Name of the marker file installed beside the shipped data.
inline constexpr const char* kInstalledMarker = "PilmoraASCII.installed";
// Folder under <prefix>/share that holds the shipped data.
inline constexpr const char* kShareFolder = "pilmora-ascii";
// Record, in the application folder, of what was copied there and its hash.
inline constexpr const char* kCopyManifest = "PilmoraASCII.manifest";

// The installed data folder (<exeDir>/../share/pilmora-ascii) when the marker
// is there, otherwise empty: the executable runs from a build folder.
QString installedDataFolder(const QString& exeDir);

// The per-user application folder of an installed copy.
QString perUserAppFolder();

// What one run of copyNewData did.
struct DataCopyResult {
    QStringList copied;  // relative paths written (new, or unchanged since the last copy and now updated)
    QStringList kept;    // relative paths the user changed (or removed), left as they are
    QStringList failed;  // relative paths that could not be written, with the reason
    bool ok() const { return failed.isEmpty(); }
};

// Copies `entries` (files or folders, relative to `from`) into `to`, keeping the
// user's work: a file is written when `to` lacks it, or when it is still as the
// last copy left it; a file the user edited stays. A demo project file the user
// deleted stays deleted. The hashes of what was copied are kept in the manifest
// in `to`, so the next run can tell the user's edits from our own copies.
// `adoptUnrecorded`: while `to` has no manifest yet, its files count as earlier
// copies (a build folder whose earlier builds copied without one).
DataCopyResult copyNewData(const QString& from, const QString& to, const QStringList& entries,
                           bool adoptUnrecorded = false);

// The entries an installed copy brings into the per-user folder.
QStringList installedDataEntries();

// The application folder for a run: `homeOption` (--home) wins, then
// `envHome` (PILMORA_HOME), then, for an installed copy, the per-user folder
// (created and brought up to date from the installed data), else `exeDir`.
// Returned absolute and clean. Problems while copying go to `problems`.
QString openAppFolder(const QString& homeOption, const QString& envHome, const QString& exeDir,
                      QStringList* problems = nullptr);

// Without XDG_RUNTIME_DIR, Qt falls back on <temp>/runtime-<user> and says so at
// every start. This gives it that same folder beforehand (made with mode 0700
// when missing), so the per-user lock of an installed copy stays where it
// always was and nothing is printed. A folder Qt would refuse (not a folder of
// this user's with mode 0700) is left to Qt, whose warning then names the fault.
// Returns the runtime folder in force, empty when there is none.
QString provideRuntimeFolder();
