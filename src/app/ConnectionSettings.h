// What the connection settings dialog decides, without a screen: the lists it
// offers, the check of the UDP entries and what saving writes where.
#pragma once

#include <QString>
#include <QStringList>

#include "Startup.h"

// The entries of the dialog as the user left them.
struct EntradaConexion {
    bool udp = false;
    QString ip;       // txtIp as typed
    QString port;     // txtPort as typed
    QString baud;     // cboBaud text
    int com = 1;      // chosen COM number; kept as it was when a device is chosen
    QString device;   // chosen device path; empty for a COM number
};

// One entry of the dialog's port list: a COM number or a device path.
struct PuertoOfrecido {
    QString texto;  // as shown: "COM 3", "/dev/ttyUSB0", with a mark when not present
    int com = 0;    // 0 for a device path
    QString device;
    bool presente = true;
};

class ConnectionSettings {
public:
    // Every port to offer: "COM 1" .. "COM 16", each COM port of `sistema` (the
    // system's port names, "COM17", "/dev/ttyUSB0") beyond them, then its device
    // paths; the stored port (number or path) stays offered when the system does
    // not list it, marked as not present, and is never replaced by another.
    static QList<PuertoOfrecido> Puertos(int storedCom, const QString& storedDevice, const QStringList& sistema);
    // The port names the system lists now.
    static QStringList PuertosSistema();
    // The baud rates offered, slowest first.
    static QStringList ListaBaudios();
    // The baud part of a settings string: the text before its first ",".
    static QString BaudiosDe(const QString& settings);
    // The settings string of a baud rate: no parity, 8 data bits, 1 stop bit.
    static QString SettingsDe(const QString& baud);

    // The UDP entries: a dotted IPv4 address and a port 1..65535. A fault is
    // shown in the tool's message box and named by the result.
    enum Fallo { Correcto = 0, IPIncorrecta = 1, PuertoIncorrecto = 2 };
    static Fallo Valida(const QString& ip, const QString& port);

    // Saves the entries. UDP entries are checked first; a fault saves nothing
    // and is returned. The serial settings reach `comPort` and the application
    // INI only while the port is closed (while it is open the new speed waits
    // in `comPort` for the link's next open); address, port and UDP choice always
    // reach the globals, the UDP choice, address and port also the project INI.
    static Fallo Graba(const EntradaConexion& e, bool puertoAbierto, ConfigSerie& comPort);
};
