#include "Startup.h"

#include <QDir>
#include <QFileInfo>

#include "AppFolder.h"
#include "AppGlobals.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "ProjectCatalogue.h"

namespace {
const QString kConfiguracion = QStringLiteral("Configuracion");
}

QString resolveAppFolder(const QStringList& args, const QString& exeDir, const QString& envHome,
                         QStringList* problems) {
    QString folder;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--home") && i + 1 < args.size()) {
            folder = args[i + 1];
            break;
        }
        if (a.startsWith(QLatin1String("--home="))) {
            folder = a.mid(7);
            break;
        }
    }
    return openAppFolder(folder, envHome, exeDir, problems);
}

ConfigSerie LeeConfigSerie() {
    ConfigSerie c;
    c.settings = LeeIniAplicacion(kConfiguracion, QStringLiteral("Settings"), QStringLiteral("57600,n,8,1"));
    c.com = LeeIniAplicacionEntero(kConfiguracion, QStringLiteral("Com"), 1);
    c.device = LeeIniAplicacion(kConfiguracion, QStringLiteral("ComDevice"), QString());
    return c;
}

QStringList ComandosConsola() {
    return {QStringLiteral("BUSINTALL"), QStringLiteral("BUSINTTX"),  QStringLiteral("BUSINTRX"),
            QStringLiteral("BUSINTOFF"), QStringLiteral("BUSEXTALL"), QStringLiteral("BUSEXTTX"),
            QStringLiteral("BUSEXTRX"),  QStringLiteral("BUSEXTOFF"), QStringLiteral("RESET~"),
            QStringLiteral("HELP"),      QStringLiteral("INFO?"),     QStringLiteral("TIME?"),
            QStringLiteral("TIME=YYYY/MM/DD HH:NN:SS"), QStringLiteral("OFCHANGES"), QStringLiteral("ONCHANGES"),
            QStringLiteral("DEBUG=0"),   QStringLiteral("DEBUG=1"),   QStringLiteral("DEBUG=2"),
            QStringLiteral("AD0001?"),   QStringLiteral("AD0001=0")};
}

void ResuelveRutas() {
    auto& a = app();
    a.RutaPlantillas = LeeIniAplicacion(kConfiguracion, QStringLiteral("PathTemplates"), QString());
    a.RutaProyectos = LeeIniAplicacion(kConfiguracion, QStringLiteral("PathProjects"), QString());
    if (a.RutaPlantillas.isEmpty()) a.RutaPlantillas = rutaAplicacion(QStringLiteral("TemplatesASCII"));
    if (a.RutaProyectos.isEmpty()) a.RutaProyectos = rutaAplicacion(QStringLiteral("ProjectsASCII"));
}

bool CompruebaPlantillas() {
    if (ExisteCarpeta(app().RutaPlantillas)) return true;
    MsgBox(QStringLiteral("Error path Templates\r") + app().RutaPlantillas, Msg::Critical);
    return false;
}

void LeeUltimoProyecto() {
    app().NombreProyecto = LeeIniAplicacion(kConfiguracion, QStringLiteral("LastProject"), QString());
}

void LeeEnlaceProyecto() {
    auto& a = app();
    a.NombreIni = a.ProtProyecto;
    const QString consola = QStringLiteral("Console");
    a.ConsolaUDP = LeeIniEntero(consola, QStringLiteral("UDPConsole"), 0) != 0;
    a.PuertoUDP = CLng(Val(LeeIni(consola, QStringLiteral("Port"), QStringLiteral("23"))));
    // The address last typed in the connection dialog, else the one the
    // download file gives the gateway.
    a.IPConexion = LeeIni(consola, QStringLiteral("IP"), QString()).trimmed();
    if (a.IPConexion.isEmpty())
        a.IPConexion = LeeIni(a.Protocolos[0], QStringLiteral("IP"), QString::fromLatin1(kIPPorDefecto));
    a.IPNueva = a.IPConexion;
}

void GrabaUltimoProyecto() {
    if (!app().NombreProyecto.isEmpty())
        EscribeIniAplicacion(kConfiguracion, QStringLiteral("LastProject"), app().NombreProyecto);
}
