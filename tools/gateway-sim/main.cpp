// pilmora-gateway-sim: a simulated gateway console, for demos and tests.
//
//   pilmora-gateway-sim (--udp 127.0.0.1:PORT | --pty) [options]
//
// Listens on loopback UDP (PORT 0 picks a free one) or on a new pseudo-terminal,
// prints one line saying where ("udp 127.0.0.1:40123" or "pty /dev/pts/7"),
// then answers like a gateway's service console. Its own log goes to stderr.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QSocketNotifier>
#include <QUdpSocket>
#include <cstdio>

#include "GatewaySim.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    QCoreApplication a(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pilmora-gateway-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PILMORA_VERSION));
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Simulated gateway console for PilmoraASCII (loopback only).\n"
                       "\n"
                       "Where a gateway's behaviour is not documented, it does what is safest for the tool:\n"
                       "  - While a file is being received every byte (over UDP every datagram) is file data,\n"
                       "    as on a gateway; a transfer that gets no bytes for 10 s (--abandon-after) is\n"
                       "    abandoned with CANCEL, so what comes next is read as commands again.\n"
                       "  - More bytes than SEND~ announced, or a size that is not a positive number: CANCEL.\n"
                       "  - After SUCCES it restarts (--restart-ms, 2000 by default): it hears and says nothing\n"
                       "    meanwhile (answers still delayed are lost) and comes back with change reports and\n"
                       "    spies off.\n"
                       "  - A datagram that does not start with IS is dropped; answers go to the sender of the\n"
                       "    last datagram."));
    p.addHelpOption();
    p.addVersionOption();
    const QCommandLineOption udp(QStringLiteral("udp"), QStringLiteral("Listen on UDP HOST:PORT (loopback)."),
                                 QStringLiteral("host:port"));
    const QCommandLineOption pty(QStringLiteral("pty"), QStringLiteral("Listen on a new pseudo-terminal."));
    const QCommandLineOption protocol(QStringLiteral("protocol"), QStringLiteral("Protocol reported (LON)."),
                                      QStringLiteral("name"));
    const QCommandLineOption project(QStringLiteral("project"),
                                     QStringLiteral("Serve the points of this project folder."), QStringLiteral("dir"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Store the received file here."),
                                 QStringLiteral("file"));
    const QCommandLineOption steady(QStringLiteral("steady"),
                                    QStringLiteral("Values change only when written (spy lines still flow)."));
    const QCommandLineOption noDot(QStringLiteral("no-dot"), QStringLiteral("Report the protocol without the \".\"."));
    const QCommandLineOption noCheck(QStringLiteral("no-check"),
                                     QStringLiteral("Take any file content (no checksum or count check)."));
    const QCommandLineOption refuse(QStringLiteral("refuse"), QStringLiteral("Answer SEND~ with CANCEL."));
    for (const auto& o : {udp, pty, protocol, project, out, steady, noDot, noCheck, refuse}) p.addOption(o);
    // The numbers that play a slow, lossy or faulty gateway; the default is what a healthy one does.
    struct Number {
        const char* name;
        const char* help;
        const char* value;
        int SimOptions::*field;
    };
    static const Number numbers[] = {
        {"ack-delay", "Hold each acknowledgement MS.", "ms", &SimOptions::ackDelayMs},
        {"answer-delay", "Answer each point read or write MS after the previous answer (a slow gateway).", "ms",
         &SimOptions::answerDelayMs},
        {"tick", "Value and spy period in MS (1000).", "ms", &SimOptions::tickMs},
        {"abort-after", "CANCEL after N chunks.", "n", &SimOptions::abortAfter},
        {"silent-after", "Fall silent after N chunks (0: at SEND~).", "n", &SimOptions::silentAfter},
        {"wrong-count", "From chunk N on, acknowledge one byte too many.", "n", &SimOptions::wrongCountFrom},
        {"drop-chunk", "Lose the bytes of chunk N (1 = the first) once.", "n", &SimOptions::dropChunk},
        {"abandon-after", "Abandon a transfer without bytes for MS (10000).", "ms", &SimOptions::abandonMs},
        {"restart-ms", "Restart for MS after SUCCES (2000; 0: no restart).", "ms", &SimOptions::restartMs},
    };
    for (const Number& n : numbers)
        p.addOption(QCommandLineOption(QString::fromLatin1(n.name), QString::fromLatin1(n.help),
                                       QString::fromLatin1(n.value)));
    p.process(a);

    auto fail = [](const QString& text) {
        std::fprintf(stderr, "pilmora-gateway-sim: %s\n", text.toLocal8Bit().constData());
        return 2;
    };
    if (p.isSet(udp) == p.isSet(pty)) return fail(QStringLiteral("give exactly one of --udp HOST:PORT and --pty"));

    SimOptions o;
    o.protocol = p.isSet(protocol) ? p.value(protocol) : (p.isSet(project) ? QString() : QStringLiteral("LON"));
    o.datagrams = p.isSet(udp);
    o.noDot = p.isSet(noDot);
    o.refuse = p.isSet(refuse);
    o.checkFile = !p.isSet(noCheck);
    o.steady = p.isSet(steady);
    for (const Number& n : numbers)
        if (p.isSet(QString::fromLatin1(n.name))) o.*n.field = p.value(QString::fromLatin1(n.name)).toInt();
    o.outFile = p.value(out);

    QTextStream log(stderr);
    std::function<void(const QByteArray&)> send;
    GatewaySim* sim = nullptr;

    QUdpSocket socket;
    QHostAddress peer;
    quint16 peerPort = 0;
    int master = -1;

    if (o.datagrams) {
        const QString hp = p.value(udp);
        const int colon = hp.lastIndexOf(QLatin1Char(':'));
        QHostAddress host(hp.left(colon));
        bool okPort = false;
        const uint port = hp.mid(colon + 1).toUInt(&okPort);
        if (colon < 0 || host.isNull() || !okPort || port > 65535) return fail(QStringLiteral("--udp ") + hp);
        if (!host.isLoopback()) return fail(QStringLiteral("listens on loopback addresses only, not ") + hp);
        if (!socket.bind(host, quint16(port))) return fail(socket.errorString());
        send = [&](const QByteArray& b) {
            if (peerPort) socket.writeDatagram(b, peer, peerPort);
        };
        std::printf("udp %s:%u\n", host.toString().toLatin1().constData(), unsigned(socket.localPort()));
    } else {
#ifdef Q_OS_UNIX
        int slave = -1;
        char name[256] = {0};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return fail(QStringLiteral("openpty failed"));
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        // The slave end stays open here too, so the tool can close and open it
        // again without the master seeing a hang-up.
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        send = [&](const QByteArray& b) {
            qsizetype done = 0;
            while (done < b.size()) {
                const ssize_t n = ::write(master, b.constData() + done, size_t(b.size() - done));
                if (n > 0) {
                    done += n;
                } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                    break;
                } else if (n < 0) {
                    usleep(200);
                }
            }
        };
        std::printf("pty %s\n", name);
#else
        return fail(QStringLiteral("--pty needs a POSIX system"));
#endif
    }
    std::fflush(stdout);

    sim = new GatewaySim(o, send, log, &a);
    if (p.isSet(project)) {
        QString error;
        if (!sim->loadProject(p.value(project), &error)) return fail(error);
    }

    if (o.datagrams) {
        QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                if (!d.isValid()) break;
                peer = d.senderAddress();
                peerPort = quint16(d.senderPort());
                sim->received(d.data());
            }
        });
    }
#ifdef Q_OS_UNIX
    QSocketNotifier* notifier = nullptr;
    if (master >= 0) {
        notifier = new QSocketNotifier(master, QSocketNotifier::Read, &a);
        QObject::connect(notifier, &QSocketNotifier::activated, [&] {
            char buf[4096];
            for (;;) {
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) {
                    sim->received(QByteArray(buf, int(n)));
                    continue;
                }
                if (n < 0 && (errno == EAGAIN || errno == EINTR)) break;
                if (n < 0 && errno == EIO) {  // no one on the other end right now
                    usleep(10000);
                    break;
                }
                break;
            }
        });
    }
#endif
    return a.exec();
}
