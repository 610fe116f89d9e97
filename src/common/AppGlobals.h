// Application-wide state shared by every window and module, named as the system
// names it. One instance, reached through app(); tests reset it between cases.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

inline constexpr const char* kAppTitle = "PilmoraASCII";
inline constexpr int kNumProtocolos = 78;
inline constexpr int kSlotLon = 60;
inline constexpr int kSlotMbs6 = 77;

struct AppGlobals {
    // Application folder: the executable's folder, or --home / PILMORA_HOME.
    QString appFolder;

    // Protocol-name table (slots 0..77) and its reverse index (name -> slot).
    QVector<QString> Protocolos = QVector<QString>(kNumProtocolos);
    QHash<QString, qint16> ColProtocolos;  // keys upper-cased: lookups ignore case

    // Folders and current project.
    QString RutaPlantillas, RutaProyectos, RutaProyecto;
    QString NombreProyecto, ProtProyecto, DescProyecto;
    QString NombreIni;

    // Link.
    bool ConsolaUDP = false;
    qint32 PuertoUDP = 23;
    QString IPConexion, IPNueva;
    qint16 EstadoConexion = 0;
    QString ProtEquipo;
    bool EspiaInt = false, EspiaExt = false;
    bool VerDatosAbierto = false;

    // Language.
    qint16 Idioma = 0;
    QStringList Idiomas;
    QHash<QString, QString> Textos;  // keys lower-cased: lookups ignore case

    // Tool dialogs.
    qint16 RespuestaMsgBox = 0;
    bool InputBoxAbierto = false;
};

AppGlobals& app();
// Back to a freshly started program (keeps appFolder).
void resetApp();

// Fills Protocolos and ColProtocolos, then sets slot 0 to "ASCII".
void LlenaProtocolos();
// Slot of a protocol name, or -1 when the name is not in the table.
int slotDeProtocolo(const QString& name);

// appFolder + separator + name.
QString rutaAplicacion(const QString& name);

// Window positions, sizes and column widths are kept in twips (15 per pixel).
inline constexpr int kTwipsPerPixel = 15;
inline int twipsToPx(int twips) { return twips / kTwipsPerPixel; }
inline int pxToTwips(int px) { return px * kTwipsPerPixel; }
