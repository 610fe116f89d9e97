// Start-up decisions of the main window that need no screen: where the
// application folder is, the serial settings, the folders, the console command
// list, the link settings of the chosen project and the last project.
#pragma once

#include <QString>
#include <QStringList>

// Gateway address assumed when a project stores none.
inline constexpr const char* kIPPorDefecto = "192.168.100.246";

// Application folder: "--home DIR" (or "--home=DIR") wins, then the environment
// value PILMORA_HOME, then, for an installed copy, the per-user folder (brought
// up to date from the installed data; see AppFolder.h), else the executable's
// folder. Returned absolute and clean.
QString resolveAppFolder(const QStringList& args, const QString& exeDir, const QString& envHome,
                         QStringList* problems = nullptr);

// Serial control settings of the application INI ("Settings", "Com",
// "ComDevice"). A device path, when set, names the port instead of the number
// (platforms whose serial ports have no COM numbers).
struct ConfigSerie {
    QString settings;  // e.g. "57600,n,8,1"
    int com = 1;
    QString device;  // e.g. "/dev/ttyUSB0"; empty: the port is "COM" + com
};
ConfigSerie LeeConfigSerie();

// The console commands offered in cboCmd, in the order the user sees them.
QStringList ComandosConsola();

// RutaPlantillas / RutaProyectos from "PathTemplates" / "PathProjects", with
// the application folder's TemplatesASCII / ProjectsASCII when empty.
void ResuelveRutas();

// ExisteCarpeta on RutaPlantillas, then "Error path Templates" + CR + path
// (critical) when missing. Start-up goes on either way.
bool CompruebaPlantillas();

// NombreProyecto = "LastProject" (empty by default).
void LeeUltimoProyecto();

// After a project was chosen: NombreIni = ProtProyecto and the link settings
// (ConsolaUDP, PuertoUDP, IPConexion, IPNueva) from that project's INI file.
void LeeEnlaceProyecto();

// On exit: "LastProject" = NombreProyecto when there is one.
void GrabaUltimoProyecto();
