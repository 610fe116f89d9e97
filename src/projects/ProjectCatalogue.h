// Project catalogue: one folder per project under the projects root, each with
// its description file Project.ini ("Project": "Prot", "Desc") and the files
// of its protocol copied from the templates folder. No widgets here: the
// catalogue windows only bind these routines to their controls.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Base name of the description file and its section.
inline constexpr const char* kIniProyecto = "Project";

struct ProyectoInfo {
    QString nombre;  // folder name
    QString prot;    // "Prot"
    QString desc;    // "Desc"
};

// True when the folder exists; otherwise "Erroralacc" + CR + path (critical) and false.
bool ExisteCarpeta(const QString& path);

// Copies the plain files of `source` matching `pattern` (every file when empty;
// letter case ignored) into `destination`. False, after a message, only when the
// source cannot be listed; a single failed copy shows "Erroralcopy" and goes on.
// Names in `skip` (any letter case) are left out.
bool CopiarFicheros(const QString& source, const QString& destination, const QString& pattern,
                    const QStringList& skip = {});

// A name the catalogue accepts for a new or renamed project: not blank, no "/",
// "\" or ".", and one the INI files can keep (Windows-1252 characters, no line
// break, no blank at either end). What else the file system refuses shows when
// the folder is created or renamed.
bool NombreProyectoValido(const QString& name);

struct Escaneo {
    bool ok = false;            // false: the root could neither be listed nor created
    QList<ProyectoInfo> filas;  // folders with a non-empty "Prot"
    int seleccion = -1;         // row of NombreProyecto, else 0, -1 when empty
};

// Lists the projects of RutaProyectos (created when missing; "ErrDirPro" when
// that fails). Sets NombreIni to "Project" and leaves RutaProyecto on the last
// folder looked at: the caller saves and restores it.
Escaneo EscanearProyectos();

// What fProjectNew hands over on accept.
struct ProyectoEdicion {
    int modo = 1;            // 1 = create, 2 = edit
    bool copiar = false;     // create as a copy of `original`
    QString original;        // ProNombre when the dialog opened
    QString nombre, desc, prot;
};

// The accept of the new/edit dialog: checks the name, renames or creates the
// folder, copies the files and writes "Desc" and "Prot". True when the dialog
// may close; false after the message that keeps it open.
bool AceptarProyecto(const ProyectoEdicion& e);

// Asks "BorrarPro" and, on Yes, deletes the project's files and folder (with
// "ErrBFi" / "ErrBCa" on failure) and forgets it as "LastProject". True when the
// user confirmed: the row goes.
bool BorrarProyecto(const QString& nombre);

// RutaProyectos + separator + name.
QString rutaDeProyecto(const QString& nombre);

// "Prot" of section "Project" in the folder's Project.ini ("" when missing).
QString projectProtocol(const QString& folder);
