#include "ConnectionSettings.h"

#include <QSerialPortInfo>
#include <algorithm>

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

QList<PuertoOfrecido> ConnectionSettings::Puertos(int storedCom, const QString& storedDevice,
                                                  const QStringList& sistema) {
    QList<int> coms;
    for (int i = 1; i <= 16; ++i) coms << i;
    QStringList devices;
    QList<int> listed;
    for (const QString& name : sistema) {
        bool number = false;
        const int n = name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ? name.mid(3).toInt(&number) : 0;
        if (number && n > 0) {
            listed << n;
            if (!coms.contains(n)) coms << n;
        } else if (!name.isEmpty() && !devices.contains(name)) {
            devices << name;
        }
    }
    const bool storedNumber = storedDevice.trimmed().isEmpty() && storedCom > 0;
    const bool comMissing = storedNumber && !coms.contains(storedCom);
    if (comMissing) coms << storedCom;
    std::sort(coms.begin(), coms.end());
    devices.sort();
    const QString absent = QStringLiteral(" (") + Texto("PuertoNoPresente") + QLatin1Char(')');
    QList<PuertoOfrecido> l;
    for (int n : coms) {
        PuertoOfrecido p;
        p.com = n;
        // 1..16 are always offered; a stored number beyond the list is kept but marked.
        p.presente = n <= 16 || listed.contains(n);
        p.texto = QStringLiteral("COM %1").arg(n) + (p.presente ? QString() : absent);
        l << p;
    }
    for (const QString& d : devices) l << PuertoOfrecido{d, 0, d, true};
    if (!storedDevice.trimmed().isEmpty() && !devices.contains(storedDevice.trimmed()))
        l << PuertoOfrecido{storedDevice.trimmed() + absent, 0, storedDevice.trimmed(), false};
    return l;
}

QStringList ConnectionSettings::PuertosSistema() {
    QStringList l;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        l << (info.portName().startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ? info.portName()
                                                                                    : info.systemLocation());
    return l;
}

QStringList ConnectionSettings::ListaBaudios() {
    return {QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),  QStringLiteral("9600"),
            QStringLiteral("14400"), QStringLiteral("19200"), QStringLiteral("28800"), QStringLiteral("38400"),
            QStringLiteral("56000"), QStringLiteral("57600"), QStringLiteral("115200")};
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
    // While the port is open only the speed may change: it waits in `comPort`
    // for the link, which takes it (and stores it) when the port next opens.
    if (puertoAbierto) comPort.settings = settings;
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
    // The address the gateway is reached at, per project; the "IP" of section
    // "ASCII" is what the download file gives the gateway and is not touched.
    if (e.udp) EscribeIni(QStringLiteral("Console"), QStringLiteral("IP"), e.ip.trimmed());
    return Correcto;
}
