#include "ConnectionSettings.h"

#include <QSerialPortInfo>

#include "AppGlobals.h"
#include "LonChecks.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {
const QString kConfiguracion = QStringLiteral("Configuracion");

void avisoEntrada(const QString& text) {
    Msgbox1(text, QString::fromLatin1(kAppTitle), 2, 1, 1, Texto("&Aceptar"));
}
}  // namespace

QStringList ConnectionSettings::ListaCom() {
    QStringList l;
    for (int i = 1; i <= 16; ++i) l << QStringLiteral("COM %1").arg(i);
    return l;
}

QStringList ConnectionSettings::ListaBaudios() {
    return {QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),  QStringLiteral("9600"),
            QStringLiteral("14400"), QStringLiteral("19200"), QStringLiteral("28800"), QStringLiteral("38400"),
            QStringLiteral("56000"), QStringLiteral("57600"), QStringLiteral("115200")};
}

QStringList ConnectionSettings::Dispositivos(const QString& stored) {
    QStringList l;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        // Ports that have a COM number are already offered by number.
        if (info.portName().startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) continue;
        if (!l.contains(info.systemLocation())) l << info.systemLocation();
    }
    l.sort();
    if (!stored.isEmpty() && !l.contains(stored)) l << stored;
    return l;
}

QString ConnectionSettings::BaudiosDe(const QString& settings) { return settings.section(QLatin1Char(','), 0, 0); }

QString ConnectionSettings::SettingsDe(const QString& baud) { return baud + QStringLiteral(",n,8,1"); }

ConnectionSettings::Fallo ConnectionSettings::Valida(const QString& ip, const QString& port) {
    if (!EsIPValida(ip)) {
        avisoEntrada(Texto("EtqIP") + ip + Texto("incorrecta"));
        return IPIncorrecta;
    }
    const double p = Val(port);
    if (p >= 1 && p <= 65535) return Correcto;
    avisoEntrada(Texto("EtqPuerto") + port + Texto("incorrecto"));
    return PuertoIncorrecto;
}

ConnectionSettings::Fallo ConnectionSettings::Graba(const EntradaConexion& e, bool puertoAbierto,
                                                    ConfigSerie& comPort) {
    if (e.udp) {
        const Fallo f = Valida(e.ip, e.port);
        if (f != Correcto) return f;
    }
    const QString settings = SettingsDe(e.baud);
    if (!puertoAbierto) {
        comPort.settings = settings;
        comPort.com = e.com;
        comPort.device = e.device;
        IniBatch batch;
        EscribeIniAplicacion(kConfiguracion, QStringLiteral("Com"), QString::number(comPort.com));
        EscribeIniAplicacion(kConfiguracion, QStringLiteral("ComDevice"), comPort.device);
        EscribeIniAplicacion(kConfiguracion, QStringLiteral("Settings"), comPort.settings);
    }
    auto& a = app();
    a.IPConexion = e.ip;
    a.PuertoUDP = CLng(Val(e.port));
    a.ConsolaUDP = e.udp;
    IniBatch batch;
    EscribeIni(QStringLiteral("Console"), QStringLiteral("UDPConsole"), e.udp ? QStringLiteral("1") : QStringLiteral("0"));
    EscribeIni(QStringLiteral("Console"), QStringLiteral("Port"), QString::number(a.PuertoUDP));
    return Correcto;
}
