// Placeholder until the INI store lands.
#include "ModulINI.h"

#include "AppGlobals.h"
#include "AnsiText.h"

QString rutaIniAplicacion() { return rutaAplicacion(QString::fromLatin1(kAppTitle) + ".ini"); }
QString rutaIniProyecto(const QString& section) {
    const QString base = app().NombreIni.isEmpty() ? section : app().NombreIni;
    return joinPath(app().RutaProyecto, base + ".ini");
}
QString iniRead(const QString&, const QString&, const QString&, const QString& d) { return d; }
qint32 iniReadInt(const QString&, const QString&, const QString&, qint32 d) { return d; }
bool iniWrite(const QString&, const QString&, const QString&, const QString&) { return false; }
QString LeeIniAplicacion(const QString& s, const QString& k, const QString& d) { return iniRead(rutaIniAplicacion(), s, k, d); }
qint32 LeeIniAplicacionEntero(const QString& s, const QString& k, qint32 d) { return iniReadInt(rutaIniAplicacion(), s, k, d); }
void EscribeIniAplicacion(const QString& s, const QString& k, const QString& v) { iniWrite(rutaIniAplicacion(), s, k, v); }
QString LeeIni(const QString& s, const QString& k, const QString& d) { return iniRead(rutaIniProyecto(s), s, k, d); }
qint32 LeeIniEntero(const QString& s, const QString& k, qint32 d) { return iniReadInt(rutaIniProyecto(s), s, k, d); }
void EscribeIni(const QString& s, const QString& k, const QString& v) { iniWrite(rutaIniProyecto(s), s, k, v); }
