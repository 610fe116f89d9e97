#include "SendCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHostAddress>
#include <QTimer>
#include <cstdio>

#include "AppGlobals.h"
#include "GatewayLink.h"
#include "LonProject.h"
#include "ModulINI.h"
#include "SerialTransport.h"
#include "UdpTransport.h"
#include "mIdioma.h"

namespace {
void line(std::FILE* f, const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QByteArray b = (t + QLatin1Char('\n')).toLocal8Bit();
    std::fputs(b.constData(), f);
    std::fflush(f);
}

struct SendOptions {
    QString project, udp, serial, settings = QStringLiteral("57600,n,8,1");
    int timeout = 60;
    QString wrong;
};

SendOptions parseSend(const QStringList& args) {
    SendOptions o;
    QStringList positional;
    for (int i = 0; i < args.size() && o.wrong.isEmpty(); ++i) {
        const QString& a = args[i];
        auto value = [&](const char* name, QString* out) {
            const QString n = QString::fromLatin1(name);
            if (a.startsWith(n + QLatin1Char('='))) {
                *out = a.mid(n.size() + 1);
                return true;
            }
            if (a != n) return false;
            if (i + 1 < args.size())
                *out = args[++i];
            else
                o.wrong = n;
            return true;
        };
        QString t;
        if (value("--udp", &o.udp) || value("--serial", &o.serial) || value("--settings", &o.settings)) continue;
        if (value("--timeout", &t)) {
            bool ok = false;
            o.timeout = t.toInt(&ok);
            if (!ok || o.timeout <= 0) o.wrong = QStringLiteral("--timeout ") + t;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            o.wrong = a;
        } else {
            positional << a;
        }
    }
    if (!o.wrong.isEmpty()) return o;
    if (positional.size() != 1)
        o.wrong = positional.join(QLatin1Char(' '));
    else if (o.udp.isEmpty() == o.serial.isEmpty())
        o.wrong = QStringLiteral("--udp / --serial");
    else
        o.project = positional[0];
    return o;
}
}  // namespace

QStringList sendUsage() {
    return {QStringLiteral("  pilmora [--home DIR] send PROJECT_DIR (--udp HOST:PORT | --serial DEVICE "
                           "[--settings 57600,n,8,1]) [--timeout S]"),
            QStringLiteral("      ") + Texto("PilmoraAyudaSend")};
}

int runSend(const QStringList& args) {
    const SendOptions o = parseSend(args);
    if (!o.wrong.isEmpty()) {
        line(stderr, Texto("PilmoraErrorUso") + o.wrong);
        for (const QString& u : sendUsage()) line(stderr, u);
        return 2;
    }
    const QFileInfo project(o.project);
    if (!project.isDir()) {
        line(stderr, Texto("ProyectoNoEncontrado") + o.project);
        return 1;
    }
    const QString folder = QDir::toNativeSeparators(project.absoluteFilePath());
    const QString protocol = projectProtocol(folder);
    if (protocol.isEmpty()) {
        line(stderr, Texto("ProtocoloNoSoportado") + QStringLiteral("-"));
        return 1;
    }
    AppGlobals& g = app();
    g.RutaProyecto = folder;
    g.NombreProyecto = project.fileName();
    g.ProtProyecto = protocol;
    g.NombreIni = protocol;

    GatewayLink link;
    if (!o.udp.isEmpty()) {
        const int colon = o.udp.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const uint port = o.udp.mid(colon + 1).toUInt(&ok);
        if (colon <= 0 || !ok || port == 0 || port > 65535 || QHostAddress(o.udp.left(colon)).isNull()) {
            line(stderr, Texto("PilmoraErrorUso") + QStringLiteral("--udp ") + o.udp);
            return 2;
        }
        g.ConsolaUDP = true;
        g.IPConexion = o.udp.left(colon);
        g.PuertoUDP = qint32(port);
        link.setTransport(std::make_unique<UdpTransport>(g.IPConexion, quint16(port)));
    } else {
        g.ConsolaUDP = false;
        g.IPConexion = o.udp;
        link.setSerial(0, o.settings, o.serial);
        link.setTransport(std::make_unique<SerialTransport>(0, o.serial, o.settings));
    }
    // The address stays the one in use: after the download the gateway is
    // reached where it was.
    g.IPNueva = g.IPConexion;

    QObject::connect(&link, &GatewayLink::monitorText, [](const QString& text, const QString& prefix) {
        // Chunk notes are many and say little on a terminal.
        if (!text.startsWith(QLatin1String("TX: "))) line(stdout, prefix + text);
    });
    QObject::connect(&link, &GatewayLink::monitorCaption, [](const QString& c) { line(stdout, c); });

    QEventLoop loop;
    bool sent = false, ok = false, done = false;
    QObject::connect(&link, &GatewayLink::protocolConfirmed, [&] {
        // Leave the confirmation's own handlers first, then send.
        QTimer::singleShot(0, &loop, [&] {
            link.EnviaFichero();
            sent = g.EstadoConexion == 3;
            if (!sent) {
                done = true;
                loop.quit();
            }
        });
    });
    QObject::connect(&link, &GatewayLink::transferFinished, [&](bool good) {
        ok = good;
        done = true;
        loop.quit();
    });
    QObject::connect(&link, &GatewayLink::linkClosed, [&] {
        if (!ok) {
            done = true;
            loop.quit();
        }
    });

    link.chkOnline_Click(true);
    if (g.EstadoConexion == 0) return 1;
    link.onTick();  // the first "INFO?" at once

    QTimer tick;
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, &link, &GatewayLink::onTick);
    tick.start();
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        line(stderr, Texto("PilmoraSinRespuesta") + QString::number(o.timeout) + QStringLiteral(" s"));
        loop.quit();
    });
    limit.start(o.timeout * 1000);
    if (!done) loop.exec();
    tick.stop();
    if (g.EstadoConexion != 0) link.chkOnline_Click(false);
    return ok ? 0 : 1;
}
