// The link to the gateway's service console: state, framing, dispatch of what
// the gateway sends, console commands and the transfer of the download file.
//
// How a window uses it (the main window owns one GatewayLink for the whole run):
//   - Globals: the link state and settings live in app() (EstadoConexion 0..5,
//     ConsolaUDP, PuertoUDP, IPConexion, IPNueva, ProtEquipo, EspiaInt,
//     EspiaExt); the link writes them, windows read them. Serial settings come
//     from the application INI (section "Configuracion": "Com", "Settings",
//     "ComDevice") through loadSerialSettings(), or are set with setSerial().
//   - On-line button: forward its new check state to chkOnline_Click(checked).
//     It holds the Ocupado guard, goes on or off line and shows the messages.
//     Follow linkOpened() / linkClosed() for the caption "On Line" (green) or
//     "Off Line", the check state (block the button's signals when setting it),
//     mnuAProject, and disabling cmdSendFilePilmora, cmdEnviar, mnuVer and
//     clearing cboFichero. protocolConfirmed(fileName) is the moment to put
//     fileName in cboFichero and enable cmdSendFilePilmora, cmdEnviar, mnuVer.
//   - cmdEnviar / Enter in cboCmd: TransmitPilmora(text, false).
//   - A QTimer of 1000 ms calls onTick(); the link keeps its own "timer
//     enabled" flag, so the window's timer may simply run all the time.
//   - Send button: askAndSend() does the whole button (spies off, question,
//     EnviaFichero); downloadFileInfo() gives date, size, checksum and staleness
//     for the question. During the transfer follow transferStarted(),
//     transferProgress(sent, total) (toggle shpTransfer2 at each) and
//     transferFinished(ok, message): every end of a transfer comes there once,
//     with the message the engineer acknowledges.
//   - linkStatus(text) is the link's line for the status bar (the result of the
//     last download, an automatic wait, a gateway that stopped answering);
//     buttonColour() the on-line button's colour.
//   - monitorText(text, prefix) is what the link monitor (fTestPilmora) shows;
//     monitorCaption(text) its caption. spyLineReceived(bus, text) feeds the
//     spy monitors; valuesCleared()/valueReported() the viewer.
//   - Closing the main window: shutdown() switches the spies off and closes.
// Messages go through Prompts; "wait letting events run" goes through setWaiter().
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "Transport.h"

// Where value reports go (the monitor signal list). Without one they are only echoed.
class ValueSink {
public:
    virtual ~ValueSink() = default;
    // key = "AD" + four characters, text = what follows "=" (a number or not);
    // false when no signal has that address. *note, when set, is told in the
    // link monitor.
    virtual bool setValue(const QString& key, const QString& text, QString* note) = 0;
    // "CLEARALL": every value back to 0.
    virtual void clearAll() = 0;
};

// What the send confirmation shows about the download file.
struct DownloadFileInfo {
    QString path;  // found whatever the letter case of the name
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    quint32 checksum = 0;     // stored in the first 4 bytes
    bool checksumOk = false;  // the stored checksum matches the content
    bool stale = false;       // the file differs from what the saved project generates now
};

// How a file transfer ended; each end goes through one routine.
enum class FinTransfer { Exito, Rechazada, Cancelada, SinRespuesta, PuertoPerdido, FueraDeLinea };

// The on-line button's colour: the face colour off line, waiting for the gateway
// (its protocol report, a restart, an adapter), confirmed, no answer any more.
enum class ColorEnlace { Normal, Esperando, Confirmado, SinRespuesta };

class GatewayLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kTamBloque = 128;
    static constexpr int kMaxPendiente = 64 * 1024;  // text after the last CR kept at most
    // Supervision, in one-second ticks.
    static constexpr int kTicksSinProgreso = 6;    // a transfer step unanswered this long ends it
    static constexpr int kTicksSilencio = 12;      // nothing sent after a transfer was cut off
    static constexpr int kTicksPregunta = 10;      // heard nothing this long: "INFO?"
    static constexpr int kTicksSinRespuesta = 30;  // heard nothing this long: not answering
    static constexpr int kTicksEsperaMax = 300;    // an automatic wait gives up after 5 minutes

    // The one rule for the protocol the gateway reports against the project's:
    // the same name whatever its letter case.
    static bool mismoProtocolo(const QString& reported, const QString& project);

    explicit GatewayLink(QObject* parent = nullptr);
    ~GatewayLink() override;

    // ---- settings
    // Reads "Com", "Settings" (default "57600,n,8,1") and "ComDevice" of section
    // "Configuracion" of the application INI file.
    void loadSerialSettings();
    void setSerial(int portNumber, const QString& settings, const QString& device = QString());
    int serialPort() const { return m_comPort; }
    QString serialSettings() const { return m_settings; }
    QString serialDevice() const { return m_comDevice; }
    // The serial port is open (the connection dialog changes the port only when not).
    bool serialOpen() const;
    // Tests and tools hand in a transport of their own; PasaOnLine then uses it
    // instead of building one from the settings. Owned by the link.
    void setTransport(std::unique_ptr<Transport> t);
    Transport* transport() const { return m_transport.get(); }
    // "Wait `ms` letting events run" (0: let pending events run once).
    void setWaiter(std::function<void(int)> waiter) { m_waiter = std::move(waiter); }
    void setValueSink(ValueSink* sink) { m_sink = sink; }
    // Shows the whole difference of the send confirmation's last button (a
    // message box when not set).
    void setTextViewer(std::function<void(const QString&)> viewer) { m_textViewer = std::move(viewer); }
    // How a serial port is found again after it vanished (tests hand in their own).
    void setPortProbe(std::function<PortIdentity(const QString&)> probe) { m_probe = std::move(probe); }

    // ---- the on-line button and the link
    void chkOnline_Click(bool checked);
    bool PasaOnLine(QString* message);
    void PasaOffLine();
    bool Ocupado() const { return m_ocupado; }
    bool timerEnabled() const { return m_timer; }
    // Unload of the main window: with the link open, spies off and port closed.
    void shutdown();

    // ---- sending and receiving
    void TransmitPilmora(const QString& text, bool raw);
    void ProcesaRecepcion(const QString& chunk);
    void ProcesaRecepcion(const QByteArray& bytes);
    // The one-second supervision tick.
    void onTick();
    QString BufferRx() const { return m_buffer.mid(m_start); }
    qint16 ContTimeout() const { return m_contTimeout; }
    // Ticks left in which the link sends nothing (after a transfer was cut off).
    int ticksSilencio() const { return m_quietTicks; }
    // The gateway answered within kTicksSinRespuesta (always true off line).
    bool respondiendo() const { return !m_noAnswer; }
    ColorEnlace buttonColour() const;
    // State 5: waiting for the gateway to restart, or for a serial adapter to come back.
    bool esperandoAdaptador() const { return m_espera == Espera::Adaptador; }

    // ---- console commands
    // `on` is also what the spy monitor's box wants: a confirmed protocol switches
    // every wanted spy on again (a reconnect, a restart).
    void ControlaBusPilmora(const QString& bus, bool on);
    void ActivaCambios();
    void DesactivaEspias();

    // ---- file transfer
    // cboFichero: set when the protocol report matches.
    QString Fichero() const { return m_fichero; }
    void setFichero(const QString& name) { m_fichero = name; }
    DownloadFileInfo downloadFileInfo() const;
    // The send button: spies off (the spy monitors' own switches first when
    // given), the confirmation, then EnviaFichero. Returns true when sent.
    bool askAndSend(const std::function<bool(const QString& bus)>& switchMonitorOff = {});
    void EnviaFichero();
    void IniciaTransferencia();
    void EnviaBloque();
    int chunkCount() const { return (m_tamFichero + m_tamBloque - 1) / m_tamBloque; }
    void EnviaBytes(qint32 position, qint32 length);
    // The user's end (going off line): as FinTransfer::FueraDeLinea.
    void FinTransferencia();
    void terminaTransferencia(FinTransfer fin);
    void ReinicioTrasDescarga();
    // An automatic wait that lasted kTicksEsperaMax: off line with a message.
    void FinReinicio();
    qint32 TamFichero() const { return m_tamFichero; }
    // How the last transfer ended (the download history reads it when the
    // state leaves 3 or 4); PortLost until the gateway or the time-out ends it.
    enum class TransferEnd { PortLost, Success, Cancel, Refused, Timeout };
    TransferEnd transferEnd() const { return m_end; }
    // The file of the last announcement and where it was read; the gateway's
    // last answer to "INFO?" (the line holding "Protocol:").
    const QByteArray& sentFile() const { return m_sentFile; }
    const QString& sentPath() const { return m_sentPath; }
    const QString& infoAnswer() const { return m_infoAnswer; }
    qint32 PosFichero() const { return m_posFichero; }
    // The gateway address of the TCP/IP block of the file being sent (empty without one).
    QString ipTrasDescarga() const { return m_ipTrasDescarga; }

signals:
    void monitorText(const QString& text, const QString& prefix);
    void monitorCaption(const QString& caption);
    void stateChanged(int state);
    void linkOpened();
    void linkClosed();
    // The gateway runs the project's protocol; `fileName` goes into cboFichero.
    void protocolConfirmed(const QString& fileName);
    void spyLineReceived(const QString& bus, const QString& text);
    // `value` is NaN when the gateway's text is not a number.
    void valueReported(int address, double value);
    void valuesCleared();
    void transferStarted(int totalChunks);
    void transferProgress(int sentChunks, int totalChunks);
    void transferFinished(bool ok, const QString& message);
    void linkStatus(const QString& text);
    void livenessChanged(bool answering);
    // After a good download while the viewer is open: reload it.
    void viewerReloadRequested();

private:
    void setEstado(int s);
    void echo(const QString& text, const QString& prefix) { emit monitorText(text, prefix); }
    void wait(int ms);
    void dispatchLine(const QString& line);
    // Position of `needle` at or after `from` in the buffer, -1 when absent;
    // remembers what it searched so a flood of lines stays linear.
    qsizetype findInBuffer(int which, qsizetype from);
    void clearReceive();
    void onTransportFailed(const QString& description, bool fatal);
    std::unique_ptr<Transport> buildTransport() const;
    void adopt(std::unique_ptr<Transport> t);
    void setBusy(bool on);
    // The "Protocol:" report `line` names `reported`.
    void protocolReport(const QString& line, const QString& reported);
    void confirma(const QString& line);
    void esperaAdaptador();
    void oido();
    bool enSilencio();
    enum class Espera { Ninguna, Reinicio, Adaptador };

    std::unique_ptr<Transport> m_transport;
    bool m_transportGiven = false;
    std::function<void(int)> m_waiter;
    std::function<void(const QString&)> m_textViewer;
    ValueSink* m_sink = nullptr;

    int m_comPort = 1;
    QString m_settings = QStringLiteral("57600,n,8,1");
    QString m_comDevice;
    QString m_pendingSettings;  // chosen while the port was open

    QString m_buffer;  // BufferRx: the unprocessed text starts at m_start
    qsizetype m_start = 0;
    bool m_inReceive = false;
    bool m_trimmedSaid = false;
    quint32 m_session = 0;  // changes at every PasaOnLine / PasaOffLine
    struct Needle {
        qsizetype found = -1;    // position, or -1
        qsizetype searched = 0;  // searched up to here (exclusive)
    } m_needles[3];

    qint16 m_contTimeout = 0;
    bool m_ocupado = false;
    bool m_timer = false;
    bool m_busy = false;
    QString m_fichero;
    QByteArray m_datos;  // DatosFichero
    qint32 m_tamFichero = 0, m_posFichero = 0, m_tamBloque = 0;
    int m_chunksSent = 0;
    TransferEnd m_end = TransferEnd::PortLost;
    QByteArray m_sentFile;
    QString m_sentPath, m_infoAnswer;
    QString m_ipTrasDescarga;

    int m_quietTicks = 0;
    bool m_quietSaid = false;   // in the monitor
    bool m_quietBoxed = false;  // in a box, to a user who asked to send
    int m_silentTicks = 0;      // ticks since the gateway was last heard
    bool m_noAnswer = false;
    QDateTime m_lastHeard;
    Espera m_espera = Espera::Ninguna;
    int m_waitTicks = 0;
    QString m_portName, m_portSerial;  // the serial port in use, found again by these
    bool m_otherSaid = false;
    QString m_answer;  // the last confirmed "Protocol:" report, the reconnect's test
    bool m_spyWanted[2] = {false, false};
    int m_strangers = 0;
    std::function<PortIdentity(const QString&)> m_probe;
};
