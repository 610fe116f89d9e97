#include "GatewayLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QtNumeric>
#include <utility>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "DownloadFileCheck.h"
#include "DownloadFreshness.h"
#include "DownloadHistory.h"
#include "DownloadWriter.h"
#include "ModulINI.h"
#include "Numeric.h"
#include "Prompts.h"
#include "SerialTransport.h"
#include "StrictNumber.h"
#include "UdpTransport.h"
#include "mIdioma.h"

namespace {
const QLatin1String kNeedles[3] = {QLatin1String("START"), QLatin1String("CANCEL"), QLatin1String("SUCCES")};
enum { kStart = 0, kCancel = 1, kSucces = 2 };

// Blanks only, as the console has always trimmed: tabs are part of a command.
QString trimBlanks(const QString& s) {
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == QLatin1Char(' ')) ++a;
    while (b > a && s[b - 1] == QLatin1Char(' ')) --b;
    return s.mid(a, b - a);
}

void defaultWait(int ms) {
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
}  // namespace

GatewayLink::GatewayLink(QObject* parent)
    : QObject(parent), m_waiter(defaultWait), m_probe(&SerialTransport::identity) {}

bool GatewayLink::mismoProtocolo(const QString& reported, const QString& project) {
    return !project.isEmpty() && reported.trimmed().compare(project.trimmed(), Qt::CaseInsensitive) == 0;
}

ColorEnlace GatewayLink::buttonColour() const {
    const int state = app().EstadoConexion;
    if (state == 0) return ColorEnlace::Normal;
    if (state == 1 || state == 5) return ColorEnlace::Esperando;
    return m_noAnswer ? ColorEnlace::SinRespuesta : ColorEnlace::Confirmado;
}

GatewayLink::~GatewayLink() {
    if (m_transport) m_transport->disconnect(this);
}

// ---- settings

void GatewayLink::loadSerialSettings() {
    const QString conf = QStringLiteral("Configuracion");
    m_settings = LeeIniAplicacion(conf, QStringLiteral("Settings"), QStringLiteral("57600,n,8,1"));
    m_comPort = LeeIniAplicacionEntero(conf, QStringLiteral("Com"), 1);
    m_comDevice = LeeIniAplicacion(conf, QStringLiteral("ComDevice"), QString()).trimmed();
}

void GatewayLink::setSerial(int portNumber, const QString& settings, const QString& device) {
    // Nothing changes while the port is open: a new speed waits for the next open.
    if (serialOpen()) {
        m_pendingSettings = settings == m_settings ? QString() : settings;
        return;
    }
    m_pendingSettings.clear();
    m_comPort = portNumber;
    m_settings = settings;
    m_comDevice = device;
}

bool GatewayLink::serialOpen() const { return m_transport && !m_transport->isDatagram() && m_transport->isOpen(); }

void GatewayLink::setTransport(std::unique_ptr<Transport> t) {
    adopt(std::move(t));
    m_transportGiven = m_transport != nullptr;
}

void GatewayLink::adopt(std::unique_ptr<Transport> t) {
    if (m_transport) {
        m_transport->disconnect(this);
        m_transport->close();
    }
    m_transport = std::move(t);
    if (m_transport) {
        connect(m_transport.get(), &Transport::received, this,
                qOverload<const QByteArray&>(&GatewayLink::ProcesaRecepcion));
        connect(m_transport.get(), &Transport::failed, this, &GatewayLink::onTransportFailed);
        connect(m_transport.get(), &Transport::strangerDropped, this, [this](const QString& sender) {
            // Told once a session, naming the first; the count when the session ends.
            if (m_strangers++ == 0) echo(Texto("DatagramaAjeno") + sender, QStringLiteral(">"));
        });
    }
}

std::unique_ptr<Transport> GatewayLink::buildTransport() const {
    if (app().ConsolaUDP) return std::make_unique<UdpTransport>(app().IPConexion, quint16(app().PuertoUDP));
    return std::make_unique<SerialTransport>(m_comPort, m_comDevice, m_settings);
}

void GatewayLink::wait(int ms) {
    if (m_waiter) m_waiter(ms);
}

void GatewayLink::setEstado(int s) {
    if (app().EstadoConexion == s) return;
    app().EstadoConexion = qint16(s);
    emit stateChanged(s);
}

void GatewayLink::setBusy(bool on) {
    if (on == m_busy) return;
    m_busy = on;
    prompts().setBusy(on);
}

// ---- on line / off line

void GatewayLink::chkOnline_Click(bool checked) {
    if (m_ocupado) return;
    m_ocupado = true;
    if (checked) {
        QString message;
        if (!PasaOnLine(&message)) {
            PasaOffLine();
            Msgbox1(message, QStringLiteral("Error"), 3, 1, 1, Texto("&Aceptar"));
        }
    } else {
        PasaOffLine();
    }
    m_ocupado = false;
}

bool GatewayLink::PasaOnLine(QString* message) {
    ++m_session;
    clearReceive();
    m_trimmedSaid = false;

    const bool udp = m_transportGiven ? m_transport->isDatagram() : app().ConsolaUDP;
    bool ok = true;
    QString error;
    if (udp) {
        emit monitorCaption(Texto("ComunicacionPilmora") + QStringLiteral(". IP:") + app().IPConexion);
        if (!m_transportGiven) adopt(buildTransport());
        if (!m_transport->isOpen() && !m_transport->open(&error)) {
            ok = false;
            if (message) *message = Texto("X110") + QLatin1Char(' ') + error;
        }
        wait(0);
    } else if (!(m_transport && !m_transport->isDatagram() && m_transport->isOpen())) {
        const bool newSpeed = !m_pendingSettings.isEmpty() && !m_transportGiven;
        if (newSpeed) m_settings = m_pendingSettings;
        m_pendingSettings.clear();
        if (!m_transportGiven) adopt(buildTransport());
        const QString name = m_transport->describe();
        const QString port = m_comDevice.isEmpty() && !m_transportGiven ? QString::number(m_comPort) : name;
        // A device path ("/dev/ttyUSB0") is shown as it is, a port number as "COM" + number.
        const bool numbered = port == QString::number(m_comPort) || name.startsWith(QLatin1String("COM"));
        const QString shown = name.startsWith(QLatin1String("COM")) ? name.mid(3) : port;
        emit monitorCaption(Texto("ComunicacionPilmora") + (numbered ? QStringLiteral(". COM") : QStringLiteral(". ")) +
                            shown);
        if (!m_transport->open(&error)) {
            ok = false;
            // The text ends in "COM" for a port number; a device path stands alone.
            const QString text = Texto("ErroralabrirCOM");
            const QString head = numbered || !text.endsWith(QLatin1String("COM")) ? text : text.chopped(3);
            if (message) *message = head + shown + QStringLiteral(". ") + error;
        } else if (newSpeed) {
            // The speed chosen while the port was open, in use from now on.
            EscribeIniAplicacion(QStringLiteral("Configuracion"), QStringLiteral("Settings"), m_settings);
        }
    }
    if (ok) {
        setEstado(1);
        m_timer = true;
        m_espera = Espera::Ninguna;
        m_noAnswer = false;
        m_silentTicks = 0;
        m_answer.clear();
        m_strangers = 0;
        if (!m_transport->isDatagram()) {
            m_portName = m_transport->describe();
            m_portSerial = m_probe ? m_probe(m_portName).serialNumber : QString();
        }
        emit linkOpened();
    } else {
        setEstado(0);
        m_timer = false;
    }
    return ok;
}

void GatewayLink::PasaOffLine() {
    ++m_session;
    // What came before is never read: the next session starts empty. Dropped now,
    // a line that takes the link off line leaves no text behind it either.
    clearReceive();
    emit monitorCaption(Texto("ComunicacionPilmora"));
    // A transfer cut off first: the gateway still waits for file bytes, so the
    // switch-off commands would only feed it; the quiet after it covers that.
    FinTransferencia();
    if (m_transport && m_transport->isDatagram()) {
        if (app().EstadoConexion != 0) DesactivaEspias();
        // The socket is closed too: nothing the gateway sends while off line is
        // taken, and going on line again opens a fresh one.
        m_transport->close();
    } else if (m_transport && m_transport->isOpen()) {
        DesactivaEspias();
        setEstado(0);
        m_transport->flush(2000);
        m_transport->close();
    }
    if (m_strangers > 1) echo(Texto("DatagramasAjenos") + QString::number(m_strangers), QStringLiteral(">"));
    m_strangers = 0;
    // The gateway's spies are off now (or it is gone): a wanted spy is switched
    // on again when the protocol is next confirmed.
    app().EspiaInt = app().EspiaExt = false;
    m_espera = Espera::Ninguna;
    const bool wasSilent = m_noAnswer;
    m_noAnswer = false;
    setEstado(0);
    m_timer = false;
    setBusy(false);
    m_datos.clear();
    if (wasSilent) emit livenessChanged(true);
    // What the status bar said of the session (waiting, no answer) is past; a reason for going off line follows.
    emit linkStatus(QString());
    emit linkClosed();
}

void GatewayLink::shutdown() {
    if (app().EstadoConexion == 0 || !m_transport) return;
    if (m_transport->isDatagram()) {
        DesactivaEspias();
        m_transport->close();
    } else if (m_transport->isOpen()) {
        DesactivaEspias();
        m_transport->flush(2000);
        m_transport->close();
    }
    setEstado(0);
    m_timer = false;
}

void GatewayLink::onTransportFailed(const QString& description, bool fatal) {
    if (!fatal) {
        // A passing fault (over UDP an ICMP "port unreachable" while the
        // gateway restarts) is shown and the link carries on: the next poll
        // or the time-out deals with it.
        const bool udp = m_transport && m_transport->isDatagram();
        echo(udp ? description + QStringLiteral(" wsock_Error") : description, QStringLiteral(">"));
        return;
    }
    echo(description, QStringLiteral(">"));
    if (app().EstadoConexion == 0) return;
    const QString name = m_transport ? m_transport->describe() : QString();
    if (m_transport) m_transport->close();
    if (m_transport && !m_transport->isDatagram() && m_probe) {
        esperaAdaptador();
        return;
    }
    PasaOffLine();
    const QString text = Texto("PuertoPerdido") + QLatin1Char('\r') + name + QStringLiteral(": ") + description;
    emit linkStatus(text);
    Aviso(text, 3);
}

void GatewayLink::esperaAdaptador() {
    // The adapter may come back (knocked out, replugged): the same port is
    // reopened when it is there again, and only the same gateway verifies it.
    terminaTransferencia(FinTransfer::PuertoPerdido);
    ++m_session;
    clearReceive();
    app().EspiaInt = app().EspiaExt = false;
    // A port lost again while waiting does not lengthen the wait.
    if (m_espera != Espera::Adaptador) m_waitTicks = 0;
    m_espera = Espera::Adaptador;
    m_otherSaid = false;
    m_noAnswer = false;
    setEstado(5);
    m_timer = true;
    const QString text = Texto("PuertoPerdidoEsperando") + m_portName;
    echo(text, QStringLiteral(">"));
    emit linkStatus(text);
}

bool GatewayLink::enSilencio() {
    if (m_quietTicks <= 0) return false;
    if (!m_quietSaid) {
        m_quietSaid = true;
        echo(Texto("EnlaceEnSilencio") + QString::number(m_quietTicks) + QStringLiteral(" s"), QStringLiteral(">"));
    }
    return true;
}

void GatewayLink::oido() {
    m_silentTicks = 0;
    m_lastHeard = QDateTime::currentDateTime();
    if (!m_noAnswer) return;
    m_noAnswer = false;
    emit livenessChanged(true);
    emit linkStatus(Texto("PasarelaResponde"));
}

// ---- sending

void GatewayLink::TransmitPilmora(const QString& text, bool raw) {
    if (app().EstadoConexion == 0 || !m_transport) return;
    // After a transfer was cut off the gateway may still take anything as file bytes.
    if (enSilencio()) return;
    QString t = text;
    QByteArray bytes;
    if (!raw) {
        t = trimBlanks(t);
        if (t.isEmpty()) return;
        echo(t, QStringLiteral("<"));
        if (m_transport->isDatagram())
            bytes = QByteArrayLiteral("IS") + toAnsi(t);
        else
            bytes = toAnsi(t) + '\r';
    } else {
        bytes = toAnsi(t);
    }
    m_transport->write(bytes);  // a failed send is left to the time-outs
}

// ---- receiving

void GatewayLink::ProcesaRecepcion(const QByteArray& bytes) { ProcesaRecepcion(fromAnsi(bytes)); }

qsizetype GatewayLink::findInBuffer(int which, qsizetype from) {
    Needle& n = m_needles[which];
    const QLatin1String needle = kNeedles[which];
    if (n.found >= from) return n.found;
    qsizetype begin = from;
    if (n.found < 0) begin = qMax(from, n.searched - needle.size() + 1);
    n.found = m_buffer.indexOf(needle, begin);
    n.searched = m_buffer.size();
    return n.found;
}

void GatewayLink::clearReceive() {
    m_buffer.clear();
    m_start = 0;
    for (auto& n : m_needles) n = Needle();
}

void GatewayLink::ProcesaRecepcion(const QString& chunk) {
    // Nothing listens while off line.
    if (app().EstadoConexion == 0) return;
    if (!chunk.isEmpty()) oido();
    m_buffer += chunk;
    // A handler below may let events run and so bring more data: the loop
    // running further up takes it.
    if (m_inReceive) return;
    m_inReceive = true;
    const quint32 session = m_session;

    while (m_start < m_buffer.size()) {
        if (m_buffer[m_start] == QLatin1Char('\n')) {
            ++m_start;
            continue;
        }
        const qsizetype cr = m_buffer.indexOf(QLatin1Char('\r'), m_start);
        if (cr < 0) break;
        const QString line = m_buffer.mid(m_start, cr - m_start);
        dispatchLine(line);
        if (session != m_session) break;

        const int state = app().EstadoConexion;
        if (state == 3) {
            if (findInBuffer(kStart, m_start) >= 0) {
                IniciaTransferencia();
            } else if (findInBuffer(kCancel, m_start) >= 0) {
                terminaTransferencia(FinTransfer::Rechazada);
            }
        } else if (state == 4) {
            if (findInBuffer(kSucces, m_start) >= 0) {
                // The gateway now lives at the address of the file's TCP/IP block;
                // a file without one leaves it where it was.
                const QString ip = m_ipTrasDescarga;
                const bool udp = m_transport && m_transport->isDatagram();
                if (!ip.isEmpty() && ip != app().IPConexion && (!udp || m_transport->retarget(ip))) {
                    app().IPConexion = ip;
                    if (!app().NombreIni.isEmpty()) EscribeIni(QStringLiteral("Console"), QStringLiteral("IP"), ip);
                }
                terminaTransferencia(FinTransfer::Exito);
                if (udp) {
                    wait(100);
                    if (session == m_session) ReinicioTrasDescarga();
                }
                if (app().VerDatosAbierto) emit viewerReloadRequested();
            } else if (findInBuffer(kCancel, m_start) >= 0) {
                terminaTransferencia(FinTransfer::Cancelada);
            } else if (line.startsWith(QLatin1String("Bytes:")) && Val(line.mid(6)) == double(m_posFichero - 1)) {
                EnviaBloque();
            }
        } else if (state != 0) {
            const qsizetype q = line.indexOf(QLatin1String("Protocol:"));
            if (q >= 0) {
                const qsizetype from = m_start + q + 9;
                const qsizetype dot = m_buffer.indexOf(QLatin1Char('.'), from);
                if (dot >= 0) {
                    protocolReport(line, m_buffer.mid(from, dot - from));
                    if (session != m_session) {
                        m_inReceive = false;
                        return;
                    }
                }
            }
        }
        if (session != m_session) break;
        m_start = cr + 1;
    }

    if (session == m_session) {
        // Keep the unprocessed text only; a peer that never sends a CR gets its
        // newest 64 KiB kept and is told once.
        m_buffer.remove(0, m_start);
        m_start = 0;
        if (m_buffer.size() > kMaxPendiente) {
            m_buffer.remove(0, m_buffer.size() - kMaxPendiente);
            if (!m_trimmedSaid) {
                m_trimmedSaid = true;
                echo(Texto("BufferRxRecortado"), QStringLiteral(">"));
            }
        }
        for (auto& n : m_needles) n = Needle();
    }
    m_inReceive = false;
}

void GatewayLink::protocolReport(const QString& line, const QString& reported) {
    const int state = app().EstadoConexion;
    const bool same = mismoProtocolo(reported, app().ProtProyecto);
    // After a lost adapter only the gateway that answered before counts: the
    // adapter may now sit on another one.
    const bool adapter = state == 5 && m_espera == Espera::Adaptador && !m_answer.isEmpty();
    const bool ok = adapter ? line.trimmed().compare(m_answer, Qt::CaseInsensitive) == 0 : same;
    if (ok && state == 2) return;  // a liveness answer: alive, nothing reloaded
    if (ok) {
        confirma(line);
        return;
    }
    const QString text = adapter ? Texto("OtraPasarela") + QLatin1Char('\r') + line.trimmed()
                                 : Texto("Incongruencia") + reported.toUpper() + QLatin1Char(' ') + Texto("yeldel") +
                                       app().ProtProyecto.toUpper() + QLatin1Char('\r') + Texto("SelcorrPro");
    app().ProtEquipo = reported;
    PasaOffLine();
    emit linkStatus(text);
    // The box lets events run: what arrives meanwhile finds the link off line.
    m_inReceive = false;
    Msgbox1(text, QString::fromLatin1(kAppTitle), 2, 1, 1, Texto("&Aceptar"));
}

void GatewayLink::confirma(const QString& line) {
    // One spelling from here on: the list load, the file offered and the viewer's
    // columns all follow the project's.
    app().ProtEquipo = app().ProtProyecto;
    m_fichero = app().ProtEquipo + QStringLiteral(".PLMX");
    m_answer = line.trimmed();
    m_infoAnswer = line;
    const bool waited = app().EstadoConexion == 5;
    m_espera = Espera::Ninguna;
    m_silentTicks = 0;
    setEstado(2);
    if (waited) {
        emit monitorCaption(Texto("ComunicacionPilmora"));
        emit linkStatus(Texto("PasarelaDeNuevoEnLinea"));
        echo(Texto("PasarelaDeNuevoEnLinea"), QStringLiteral(">"));
    }
    emit protocolConfirmed(m_fichero);
    if (app().EstadoConexion != 2) return;
    ActivaCambios();
    // The spies the monitors want, told again to a gateway that forgot them.
    if (m_spyWanted[0]) ControlaBusPilmora(QStringLiteral("INT"), true);
    if (m_spyWanted[1]) ControlaBusPilmora(QStringLiteral("EXT"), true);
}

void GatewayLink::dispatchLine(const QString& line) {
    if (line.startsWith(QLatin1String("AD"))) {
        echo(line, QStringLiteral(">"));
        if (app().EstadoConexion == 2 && line.indexOf(QLatin1Char('=')) == 6) {
            const QString key = line.left(6);
            const QString text = line.mid(7);
            bool digits = true;
            for (int i = 2; i < 6; ++i) digits = digits && line[i].isDigit();
            QString note;
            if (m_sink && !m_sink->setValue(key, text, &note)) {
                if (!note.isEmpty()) echo(note, QString());
            } else if (digits) {
                double value = 0;
                emit valueReported(line.mid(2, 4).toInt(), EsNumero(text, &value) ? value : qQNaN());
            }
        }
    } else if (line.startsWith(QLatin1String("CL"))) {
        if (line.startsWith(QLatin1String("CLEARALL"))) {
            echo(QStringLiteral("CLEARALL"), QStringLiteral(">"));
            if (m_sink) m_sink->clearAll();
            emit valuesCleared();
        }
    } else if (line.startsWith(QLatin1String("EXT"))) {
        if (app().EspiaExt) emit spyLineReceived(QStringLiteral("EXT"), line.mid(4));
    } else if (line.startsWith(QLatin1String("INT"))) {
        if (app().EspiaInt) emit spyLineReceived(QStringLiteral("INT"), line.mid(4));
    } else {
        echo(line, QStringLiteral(">"));
    }
}

// ---- tick

void GatewayLink::onTick() {
    // The quiet counts down off line too: the gateway's own clock runs on.
    if (m_quietTicks > 0 && --m_quietTicks == 0) {
        if (m_quietSaid) echo(Texto("EnlaceSilencioFin"), QStringLiteral(">"));
        m_quietSaid = m_quietBoxed = false;
    }
    if (!m_timer) return;
    const bool udp = m_transport && m_transport->isDatagram();
    switch (app().EstadoConexion) {
        case 1:
            TransmitPilmora(QStringLiteral("INFO?"), false);
            break;
        case 2:
            if (udp && ++m_contTimeout > 20) {
                m_contTimeout = 0;
                TransmitPilmora(QStringLiteral("IS"), true);
            }
            // A gateway that went quiet is asked; the answer only marks it alive.
            ++m_silentTicks;
            if (m_silentTicks % kTicksPregunta == 0) TransmitPilmora(QStringLiteral("INFO?"), false);
            if (m_silentTicks >= kTicksSinRespuesta && !m_noAnswer) {
                m_noAnswer = true;
                const QDateTime last = m_lastHeard.isValid() ? m_lastHeard : QDateTime::currentDateTime();
                emit livenessChanged(false);
                emit linkStatus(Texto("SinRespuestaDesde") + last.toString(QStringLiteral("HH:mm:ss")));
            }
            break;
        case 3:
        case 4:
            if (++m_contTimeout >= kTicksSinProgreso) terminaTransferencia(FinTransfer::SinRespuesta);
            break;
        case 5: {
            if (++m_waitTicks >= kTicksEsperaMax) {
                FinReinicio();
                break;
            }
            if (m_espera == Espera::Adaptador && m_transport && !m_transport->isOpen()) {
                const PortIdentity id = m_probe ? m_probe(m_portName) : PortIdentity();
                const bool same = id.present && (m_portSerial.isEmpty() || id.serialNumber == m_portSerial);
                QString error;
                if (same && m_transport->open(&error)) {
                    echo(Texto("PuertoReabierto") + m_portName, QStringLiteral(">"));
                } else if (id.present && !same && !m_otherSaid) {
                    m_otherSaid = true;
                    echo(Texto("PuertoOtroAdaptador") + m_portName, QStringLiteral(">"));
                }
            }
            const QString text =
                (m_espera == Espera::Adaptador ? Texto("EsperandoAdaptador") : Texto("EsperandoReinicio")) +
                QString::number(m_waitTicks) + QStringLiteral(" s");
            emit monitorCaption(Texto("ComunicacionPilmora") + QStringLiteral(". ") + text);
            emit linkStatus(text);
            if (m_transport && m_transport->isOpen()) TransmitPilmora(QStringLiteral("INFO?"), false);
            break;
        }
        default:
            break;
    }
}

// ---- console commands

void GatewayLink::ControlaBusPilmora(const QString& bus, bool on) {
    if (bus == QLatin1String("INT") || bus == QLatin1String("EXT")) m_spyWanted[bus == QLatin1String("EXT")] = on;
    if (app().EstadoConexion != 2) return;
    if (bus == QLatin1String("INT")) {
        if (on == app().EspiaInt) return;
        app().EspiaInt = on;
        TransmitPilmora(on ? QStringLiteral("BUSINTALL") : QStringLiteral("BUSINTOFF"), false);
    } else if (bus == QLatin1String("EXT")) {
        if (on == app().EspiaExt) return;
        app().EspiaExt = on;
        TransmitPilmora(on ? QStringLiteral("BUSEXTALL") : QStringLiteral("BUSEXTOFF"), false);
    }
}

void GatewayLink::ActivaCambios() { TransmitPilmora(QStringLiteral("ONCHANGES"), false); }

void GatewayLink::DesactivaEspias() {
    TransmitPilmora(QStringLiteral("BUSINTOFF"), false);
    TransmitPilmora(QStringLiteral("BUSEXTOFF"), false);
    TransmitPilmora(QStringLiteral("OFCHANGES"), false);
    TransmitPilmora(QStringLiteral("DEBUG=0"), false);
}

// ---- transfer

DownloadFileInfo GatewayLink::downloadFileInfo() const {
    DownloadFileInfo info;
    info.path = findNoCase(app().RutaProyecto, m_fichero);
    const QFileInfo fi(info.path);
    info.exists = !m_fichero.isEmpty() && fi.isFile();
    if (!info.exists) return info;
    info.size = fi.size();
    info.modified = fi.lastModified();
    QByteArray bytes;
    if (readFileBytes(info.path, &bytes) && bytes.size() >= 4) {
        info.checksum = checksumGuardado(bytes);
        info.checksumOk = sumaBytes(bytes, 4) == info.checksum;
    }
    // What the saved project generates now, the header's date and the checksum aside.
    info.stale = !downloadMatchesProject(app().RutaProyecto, app().ProtProyecto, bytes);
    return info;
}

bool GatewayLink::askAndSend(const std::function<bool(const QString& bus)>& switchMonitorOff) {
    if (!(switchMonitorOff && switchMonitorOff(QStringLiteral("INT"))))
        TransmitPilmora(QStringLiteral("BUSINTOFF"), false);
    if (!(switchMonitorOff && switchMonitorOff(QStringLiteral("EXT"))))
        TransmitPilmora(QStringLiteral("BUSEXTOFF"), false);
    const DownloadFileInfo info = downloadFileInfo();
    QString text = Texto("SeguroEnviarFichero");
    if (info.exists) {
        text += QStringLiteral("\r\r") + info.path + QLatin1Char('\r') +
                info.modified.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + QStringLiteral(", ") +
                Texto("Tamanyo") + QString::number(info.size) + QStringLiteral(", Checksum: ") +
                QString::number(info.checksum, 16).toUpper();
        if (!info.checksumOk) text += QLatin1Char('\r') + Texto("ChecksumIncorrecto");
        if (info.stale) text += QLatin1Char('\r') + Texto("FicheroAnteriorAlProyecto");
    }
    // What changes against the last file this project sent, and a last button for the whole difference.
    QString full, comparison;
    QByteArray bytes;
    if (info.exists && readFileBytes(info.path, &bytes))
        comparison = comparisonWithLastSent(app().RutaProyecto, bytes, &full);
    if (!comparison.isEmpty()) text += QStringLiteral("\r\r") + comparison;
    for (;;) {
        if (comparison.isEmpty())
            Msgbox1(text, QString::fromLatin1(kAppTitle), 1, 2, 2, Texto("&Aceptar"), Texto("&Cancelar"));
        else
            Msgbox1(text, QString::fromLatin1(kAppTitle), 1, 2, 3, Texto("&Aceptar"), Texto("&Cancelar"),
                    Texto("HistVerDiferencias"));
        if (comparison.isEmpty() || app().RespuestaMsgBox != 3) break;
        if (m_textViewer)
            m_textViewer(full);
        else
            Aviso(full, 1);
    }
    if (app().RespuestaMsgBox != 1) return false;
    wait(0);
    EnviaFichero();
    return app().EstadoConexion == 3;
}

void GatewayLink::EnviaFichero() {
    if (app().EstadoConexion != 2) return;
    if (m_quietTicks > 0) {
        // Told in a box once, though a keep-alive held back has told the monitor already.
        enSilencio();
        if (!std::exchange(m_quietBoxed, true))
            Aviso(Texto("EnlaceEnSilencio") + QString::number(m_quietTicks) + QStringLiteral(" s"), 3);
        return;
    }
    const QString path = findNoCase(app().RutaProyecto, m_fichero);
    const QFileInfo fi(path);
    if (m_fichero.isEmpty() || !fi.isFile()) {
        setBusy(false);
        Aviso(Texto("NoSeEncuentraFichero") + QLatin1Char('\r') + path, 3);
        return;
    }
    QByteArray bytes;
    QString error;
    if (!readFileBytes(path, &bytes, &error) || bytes.isEmpty()) {
        if (error.isEmpty()) error = Texto("FicheroVacio");
        setBusy(false);
        Aviso(Texto("NoSePuedeLeerFichero") + QLatin1Char('\r') + path + QLatin1Char('\r') + QStringLiteral("Error: ") +
                  QLatin1Char('\r') + error,
              3);
        return;
    }
    echo(Texto("Fichero") + path, QStringLiteral(">"));
    echo(Texto("Tamanyo") + QString::number(bytes.size()), QStringLiteral(">"));
    m_datos = bytes;
    m_sentFile = bytes;
    m_sentPath = path;
    m_end = TransferEnd::PortLost;
    m_tamFichero = qint32(bytes.size());
    m_ipTrasDescarga = DownloadFileCheck::of(bytes).tcpIp;
    echo(Texto("PeticionTransferFichero"), QStringLiteral("<"));
    setEstado(3);
    TransmitPilmora(QStringLiteral("SEND~") + QString::number(m_tamFichero), false);
    m_contTimeout = 0;
}

void GatewayLink::IniciaTransferencia() {
    echo(Texto("InicioTransfFichero"), QStringLiteral(">"));
    setEstado(4);
    m_posFichero = 1;
    m_tamBloque = kTamBloque;
    m_chunksSent = 0;
    setBusy(true);
    emit transferStarted(chunkCount());
    emit linkStatus(Texto("InicioTransfFichero"));
    EnviaBloque();
}

void GatewayLink::EnviaBloque() {
    if (m_posFichero > m_tamFichero) return;
    emit transferProgress(++m_chunksSent, chunkCount());
    const qint32 length = m_tamFichero - m_posFichero >= m_tamBloque ? m_tamBloque : m_tamFichero - m_posFichero + 1;
    echo(QStringLiteral("TX: ") + QString::number(m_posFichero) + QStringLiteral(" size ") + QString::number(length),
         QStringLiteral(">"));
    EnviaBytes(m_posFichero, length);
    m_posFichero += m_tamBloque;
    if (m_posFichero > m_tamFichero) m_datos.clear();
    m_contTimeout = 0;
}

void GatewayLink::EnviaBytes(qint32 position, qint32 length) {
    if (app().EstadoConexion == 0 || !m_transport) return;
    if (position < 1 || length < 0 || position - 1 + length > m_datos.size()) return;
    const QByteArray part = m_datos.mid(position - 1, length);
    m_transport->write(m_transport->isDatagram() ? QByteArrayLiteral("IS") + part : part);
}

void GatewayLink::FinTransferencia() { terminaTransferencia(FinTransfer::FueraDeLinea); }

void GatewayLink::terminaTransferencia(FinTransfer fin) {
    const int state = app().EstadoConexion;
    m_contTimeout = 0;
    setBusy(false);
    if (state != 3 && state != 4) return;
    // What the download history records of this end.
    m_end = fin == FinTransfer::Exito          ? TransferEnd::Success
            : fin == FinTransfer::Rechazada    ? TransferEnd::Refused
            : fin == FinTransfer::Cancelada    ? TransferEnd::Cancel
            : fin == FinTransfer::SinRespuesta ? TransferEnd::Timeout
                                               : TransferEnd::PortLost;
    setEstado(2);
    m_datos.clear();
    m_silentTicks = 0;
    QString note, prefix = QStringLiteral(">");
    switch (fin) {
        case FinTransfer::Exito:
            note = Texto("TransfEscFicheroOK");
            break;
        case FinTransfer::Rechazada:
            note = Texto("InicioTransfFicheroCANCEL");
            break;
        case FinTransfer::Cancelada:
            note = Texto("TransfFicheroCANCEL");
            break;
        case FinTransfer::SinRespuesta:
            note = Texto("TransfFicheroCANCEL") + QStringLiteral(" (") + Texto("SinRespuesta") + QStringLiteral(")");
            prefix = QStringLiteral("<");
            break;
        case FinTransfer::PuertoPerdido:
            note =
                Texto("TransfFicheroCANCEL") + QStringLiteral(" (") + Texto("PuertoPerdidoCorto") + QStringLiteral(")");
            break;
        case FinTransfer::FueraDeLinea:
            note =
                Texto("TransfFicheroCANCEL") + QStringLiteral(" (") + Texto("FueraDeLineaNota") + QStringLiteral(")");
            break;
    }
    QString message = note;
    // A gateway left in the middle of a transfer takes whatever comes next as
    // file bytes until it gives up (10 s): the link keeps quiet longer than that.
    if (fin == FinTransfer::SinRespuesta || fin == FinTransfer::PuertoPerdido || fin == FinTransfer::FueraDeLinea) {
        m_quietTicks = kTicksSilencio;
        m_quietSaid = m_quietBoxed = false;
        message += QLatin1Char('\r') + Texto("TransfSilencio") +
                   QDateTime::currentDateTime().addSecs(kTicksSilencio).toString(QStringLiteral("HH:mm:ss"));
    }
    echo(note, prefix);
    emit linkStatus(note);
    emit transferFinished(fin == FinTransfer::Exito, message);
}

void GatewayLink::ReinicioTrasDescarga() {
    // The gateway restarts with its new configuration: the link waits for it on
    // line (state 5) and confirms it again by itself, asking "INFO?" each second.
    setEstado(5);
    m_espera = Espera::Reinicio;
    m_waitTicks = 0;
    m_contTimeout = 0;
    app().EspiaInt = app().EspiaExt = false;
    for (const QString& t : {QString(), QString(), Texto("X132"), QString(), QString()}) echo(t, QStringLiteral(">"));
    m_timer = true;
}

void GatewayLink::FinReinicio() {
    const QString text = Texto(m_espera == Espera::Adaptador ? "EsperaAdaptadorAgotada" : "EsperaReinicioAgotada");
    PasaOffLine();
    emit linkStatus(text);
    Aviso(text, 3);
}
