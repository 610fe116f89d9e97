#include "SendCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHostAddress>
#include <QSet>
#include <QTime>
#include <QTimer>
#include <cstdio>

#include "AppGlobals.h"
#include "Checkout.h"
#include "DownloadHistory.h"
#include "GatewayLink.h"
#include "ModulINI.h"
#include "PollPass.h"
#include "ProjectCatalogue.h"
#include "SenyalesMonitor.h"
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
    int watch = 0;  // poll: seconds of value reports after the table
    bool record = false;  // poll: the answers into Checkout.csv
    QString wrong;
};

SendOptions parseSend(const QStringList& args, bool poll = false) {
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
        } else if (poll && value("--watch", &t)) {
            bool ok = false;
            o.watch = t.toInt(&ok);
            if (!ok || o.watch < 0) o.wrong = QStringLiteral("--watch ") + t;
        } else if (poll && a == QLatin1String("--record")) {
            o.record = true;
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

namespace {
// The project made current and the link's transport built from the options;
// 0 when ready, else the exit status.
int prepareLink(const SendOptions& o, GatewayLink& link) {
    const QFileInfo project(o.project);
    if (!project.isDir()) {
        line(stderr, Texto("ProyectoNoEncontrado") + o.project);
        return 1;
    }
    const QString folder = QDir::toNativeSeparators(project.absoluteFilePath());
    const QString protocol = projectProtocol(folder);
    // Only a LON or MBS6 project has a download file to send and points to ask for.
    const int slot = slotDeProtocolo(protocol);
    if (slot != kSlotLon && slot != kSlotMbs6) {
        line(stderr, Texto("ProtocoloNoSoportado") + (protocol.isEmpty() ? QStringLiteral("-") : protocol));
        return 1;
    }
    AppGlobals& g = app();
    g.RutaProyecto = folder;
    g.NombreProyecto = project.fileName();
    g.ProtProyecto = protocol;
    g.NombreIni = protocol;

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

    return 0;
}
// Goes on line and keeps the link's one-second tick running; false when the port did not open.
bool goOnline(GatewayLink& link, QTimer& tick) {
    link.chkOnline_Click(true);
    if (app().EstadoConexion == 0) return false;
    link.onTick();  // the first "INFO?" at once
    tick.setInterval(1000);
    QObject::connect(&tick, &QTimer::timeout, &link, &GatewayLink::onTick);
    tick.start();
    return true;
}
}  // namespace

int runSend(const QStringList& args) {
    const SendOptions o = parseSend(args);
    if (!o.wrong.isEmpty()) {
        line(stderr, Texto("PilmoraErrorUso") + o.wrong);
        for (const QString& u : sendUsage()) line(stderr, u);
        return 2;
    }
    AppGlobals& g = app();
    GatewayLink link;
    if (const int status = prepareLink(o, link)) return status;
    HistoryRecorder history(&link);

    QObject::connect(&link, &GatewayLink::monitorText, [](const QString& text, const QString& prefix) {
        // Chunk notes are many and say little on a terminal.
        if (!text.startsWith(QLatin1String("TX: "))) line(stdout, prefix + text);
    });
    QObject::connect(&link, &GatewayLink::monitorCaption, [](const QString& c) { line(stdout, c); });

    QEventLoop loop;
    bool sent = false, ok = false, done = false;
    QTimer limit;
    QObject::connect(&link, &GatewayLink::protocolConfirmed, [&] {
        // --timeout bounds the wait for the protocol report only: once the file
        // goes out, the link's own rule (six ticks without progress) ends it.
        limit.stop();
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
    QObject::connect(&link, &GatewayLink::transferFinished, [&](bool good, const QString& message) {
        line(good ? stdout : stderr, message);
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

    QTimer tick;
    if (!goOnline(link, tick)) return 1;
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

QStringList pollUsage() {
    return {QStringLiteral("  pilmora [--home DIR] poll PROJECT_DIR (--udp HOST:PORT | --serial DEVICE "
                           "[--settings 57600,n,8,1]) [--watch S] [--timeout S] [--record]"),
            QStringLiteral("      ") + Texto("PilmoraAyudaPoll"), QStringLiteral("      ") + Texto("PilmoraAyudaRecord")};
}

namespace {
// One signal as printed: address, description, value (or that there is none).
QString signalLine(const Senyal& s) {
    const QString v = s.HayValor ? textoMostrado(s) : Texto("MonitorSinValor");
    return QStringLiteral("%1  %2  %3").arg(claveSenyal(s.Direccion), -7).arg(s.Descripcion, -40).arg(v);
}
}  // namespace

int runPoll(const QStringList& args) {
    const SendOptions o = parseSend(args, true);
    if (!o.wrong.isEmpty()) {
        line(stderr, Texto("PilmoraErrorUso") + o.wrong);
        for (const QString& u : pollUsage()) line(stderr, u);
        return 2;
    }
    AppGlobals& g = app();
    GatewayLink link;
    SenyalesSink sink;
    link.setValueSink(&sink);
    if (const int status = prepareLink(o, link)) return status;

    // What the gateway says, as it arrives; the requests themselves (one per
    // signal) are left out. During the pass only the answers to its requests
    // (a flood of change reports would bury them); while watching, reports print
    // as table lines instead.
    bool watching = false, passing = false, started = false;
    QSet<QString> pending;  // "AD0001" asked, not answered yet
    QObject::connect(&link, &GatewayLink::monitorText, [&](const QString& text, const QString& prefix) {
        if (prefix == QLatin1String("<")) return;
        const bool report = text.startsWith(QLatin1String("AD"));
        if (passing) {
            const qsizetype at = text.indexOf(QLatin1String("AD"));
            if (at < 0 || !pending.remove(text.mid(at, 6))) return;
        } else if (watching && report) {
            return;
        }
        line(stdout, prefix + text);
    });
    QObject::connect(&link, &GatewayLink::monitorCaption, [](const QString& c) { line(stdout, c); });

    QEventLoop loop;
    bool tablePrinted = false, recorded = true;
    QTimer watch, limit;
    watch.setSingleShot(true);
    limit.setSingleShot(true);
    const ListaSenyales& l = listaSenyales();
    // Every signal once, each request as soon as the previous one is answered.
    PollPass pass;
    pass.transmite = [&](const QString& request) {
        pending.insert(request.left(6));
        link.TransmitPilmora(request, false);
    };
    pass.enLinea = [&] { return g.EstadoConexion == 2; };
    listaSenyales().alRecibir = [&](const QString& key) { pass.respuesta(key); };

    auto printTable = [&] {
        passing = false;
        for (int i = 1; i <= l.NumSenyales; ++i) line(stdout, signalLine(l.Senyales[i]));
        const int missing = pass.total() - pass.contestadas();
        if (missing > 0) line(stdout, Texto("MonitorSinContestar") + QString::number(missing));
        const QString unknown = textoDesconocidas();
        if (!unknown.isEmpty()) line(stdout, unknown);
        tablePrinted = true;
        if (o.record) {
            // Pre-checked, not checked: a person still gives each point its verdict.
            Checkout checkout;
            QString error;
            int marked = 0;
            recorded = checkout.carga(slotDeProtocolo(g.ProtEquipo), &error) &&
                       checkout.marcaContestados(l, &marked, &error);
            line(recorded ? stdout : stderr, recorded ? Texto("CheckoutContestadas") + QString::number(marked) : error);
        }
        if (o.watch > 0) {
            watching = true;
            watch.start(o.watch * 1000);
        } else {
            loop.quit();
        }
    };
    QObject::connect(&link, &GatewayLink::protocolConfirmed, [&] {
        limit.stop();
        // A reconnect while watching confirms again: the pass runs once.
        if (started) return;
        started = true;
        // Leave the confirmation's own handlers first, then load as the main window does.
        QTimer::singleShot(0, &loop, [&] {
            Carga_DatosMFAPilmora(g.ProtEquipo);
            line(stdout, Texto("MonitorSenyalesCargadas") + QString::number(l.NumSenyales));
            if (l.NumSenyales == 0) {
                printTable();
                return;
            }
            QStringList keys;
            for (int i = 1; i <= l.NumSenyales; ++i) keys << claveSenyal(l.Senyales[i].Direccion);
            passing = true;
            pass.start(keys);
        });
    });
    QObject::connect(&pass, &PollPass::terminada, [&](bool complete) {
        if (complete)
            printTable();
        else
            loop.quit();
    });
    QObject::connect(&link, &GatewayLink::valueReported, [&](int address, double) {
        if (!watching) return;
        const qint32 i = l.IndiceSenyales.value(claveSenyal(address));
        if (i > 0) line(stdout, QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz  ")) + signalLine(l.Senyales[i]));
    });
    QObject::connect(&watch, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&link, &GatewayLink::linkClosed, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        line(stderr, Texto("PilmoraSinRespuesta") + QString::number(o.timeout) + QStringLiteral(" s"));
        loop.quit();
    });

    QTimer tick;
    if (!goOnline(link, tick)) return 1;
    limit.start(o.timeout * 1000);
    loop.exec();
    tick.stop();
    pass.stop();
    listaSenyales().alRecibir = nullptr;
    // Watching rides through a reconnect; a link still lost at its end is a failure.
    const bool lost = watching && (g.EstadoConexion != 2 || !link.respondiendo());
    if (lost) line(stderr, Texto("PilmoraEnlacePerdido"));
    if (g.EstadoConexion != 0) link.chkOnline_Click(false);
    return tablePrinted && recorded && !lost ? 0 : 1;
}
