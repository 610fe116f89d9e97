// The gateway link over a recording transport, then against the simulated gateway (UDP 127.0.0.1, pty).
#include <unistd.h>

#include <QNetworkDatagram>
#include <QSerialPort>
#include <QUdpSocket>
#include <QtTest>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ConnectionSettings.h"
#include "DownloadHistory.h"
#include "GatewayLink.h"
#include "GatewaySimProcess.h"
#include "LonFixtures.h"
#include "Mbs6Download.h"
#include "Mbs6Project.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "SerialTransport.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "UdpTransport.h"
#include "mIdioma.h"

namespace {
class FakeTransport : public Transport {
public:
    explicit FakeTransport(bool udp) : m_udp(udp) {}
    bool open(QString* error) override { return failOpen ? (*error = "no such port", false) : (m_open = true); }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& b) override {
        sent << b;
        if (!replyOnce.isEmpty()) feed(std::exchange(replyOnce, QByteArray()));  // an answer on its heels
        return true;
    }
    bool isDatagram() const override { return m_udp; }
    QString describe() const override { return name; }
    bool retarget(const QString& host) override { return target = host, m_udp; }
    void feed(const QByteArray& b) { emit received(b); }
    void lose() { m_open = false, emit failed(QStringLiteral("gone"), true); }
    QByteArrayList sent;
    QByteArray replyOnce;
    QString target, name = QStringLiteral("FAKE");
    bool failOpen = false, m_udp, m_open = false;
};

struct Sink : ValueSink {
    bool setValue(const QString& key, const QString& text, QString* note) override {
        // ADx001: a key the list may hold that is no address, taken but never reported as a value
        if (key == "AD0001" || key == "AD0002" || key == "ADx001") return log << key.mid(5) + '=' + text, true;
        return *note = Texto("RecibidaSenyalNoExistente") + key, false;
    }
    void clearAll() override { log << QStringLiteral("clear"); }
    QStringList log;
};

// 'a'..'z' repeating, so a chunk's first byte tells its position (1, 129, 257: a, y, w).
QByteArray fileOf(int size) { return QByteArray("abcdefghijklmnopqrstuvwxyz").repeated(size / 26 + 1).left(size); }

// A link on a project whose file has `size` bytes (0: none, -1: the MBS6 demo project's, -2: a LON file with its
// TCP/IP block). With `udp` 0 or 1 it talks to a fake transport of that kind and starts in `state` (0 off line, 1
// waiting for the report, 2 verified).
struct Rig {
    TestHome home{false};
    BusyPrompts prompts;
    QString folder;
    QByteArray file;
    GatewayLink link;
    FakeTransport* t = nullptr;
    Sink sink;
    QStringList monitor, spies, status;
    QString caption;  // the link monitor's
    QString events;   // the gateway heard again "+" or gone silent "-", the viewer asked to reload "r"
    QList<bool> finished;
    QStringList messages;
    QList<int> values;
    PortIdentity port{true, QStringLiteral("A")};  // what the system lists at the port's place
    explicit Rig(int size, int udp = -1, int state = 0) {
        folder = home.projectsRoot() + "/Gw";
        if (size == -1) {
            copyFolder(QStringLiteral(PILMORA_SOURCE_DIR "/data/demo/DemoMBS6"), folder);
            runPilmora(home.path(), {"generate", folder});
            file = readAll(folder + QStringLiteral("/MBS6.Plmx"));
        } else if (size == -2) {
            LonFixture f;
            f.devices.resize(1), f.rows = {lonPointRow(1, 105, 1, "R", 1)}, writeLonFixture(folder, f);
            runPilmora(home.path(), {"generate", folder});
            file = readAll(folder + QStringLiteral("/LON.Plmx"));
        } else {
            writeLonFixture(folder, LonFixture());
            if (size > 0 || size == -3) writeAll(folder + QStringLiteral("/LON.Plmx"), file = fileOf(qMax(size, 0)));
        }
        app().RutaProyecto = folder, app().ProtProyecto = app().NombreIni = size == -1 ? "MBS6" : "LON";
        app().IPConexion = app().IPNueva = QStringLiteral("127.0.0.1");
        QObject::connect(&link, &GatewayLink::monitorText,
                         [this](const QString& s, const QString& p) { monitor << p + s; });
        QObject::connect(&link, &GatewayLink::linkStatus, [this](const QString& s) { status << s; });
        QObject::connect(&link, &GatewayLink::monitorCaption, [this](const QString& s) { caption = s; });
        QObject::connect(&link, &GatewayLink::livenessChanged, [this](bool on) { events += on ? '+' : '-'; });
        QObject::connect(&link, &GatewayLink::viewerReloadRequested, [this] { events += 'r'; });
        QObject::connect(&link, &GatewayLink::spyLineReceived,
                         [this](const QString& bus, const QString& s) { spies << bus + QLatin1Char(':') + s; });
        QObject::connect(&link, &GatewayLink::transferFinished,
                         [this](bool ok, const QString& m) { finished << ok, messages << m; });
        QObject::connect(&link, &GatewayLink::valueReported, [this](int a, double) { values << a; });
        if (udp < 0) return;
        link.setTransport(std::unique_ptr<Transport>(t = new FakeTransport(app().ConsolaUDP = udp)));
        link.setWaiter([](int) {}), link.setValueSink(&sink);
        link.setPortProbe([this](const QString&) { return port; });
        if (state >= 1) link.chkOnline_Click(true);
        if (state >= 2) t->feed("Protocol:LON.\r");
        QCOMPARE(int(app().EstadoConexion), state);
        t->sent.clear(), monitor.clear();
    }
    // Writes that carry file bytes, as position:length.
    QStringList chunks() const {
        QStringList out;
        for (QByteArray b : t->sent) {
            if (t->isDatagram() && !b.startsWith("IS")) return {QStringLiteral("no IS")};
            if (t->isDatagram()) b = b.mid(2);
            if (!b.isEmpty() && std::all_of(b.begin(), b.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
                out << QString::number(b.at(0) - 'a' + 1) + QLatin1Char(':') + QString::number(b.size());
        }
        return out;
    }
    // On line as the window goes: UDP from the project, serial through "ComDevice" of the application INI.
    bool connectTo(GatewaySimProcess& sim, const QString& settings, const QString& device = QString()) {
        const QString guard = nonLoopback(folder, app().IPConexion);
        if (!guard.isEmpty()) qFatal("%s", qPrintable(guard));
        if (!sim.started()) return false;
        app().ConsolaUDP = sim.device().isEmpty(), app().PuertoUDP = sim.port();
        EscribeIniAplicacion(QStringLiteral("Configuracion"), QStringLiteral("ComDevice"),
                             device.isEmpty() ? sim.device() : device);
        EscribeIniAplicacion(QStringLiteral("Configuracion"), QStringLiteral("Settings"), settings);
        link.loadSerialSettings(), link.chkOnline_Click(true), link.onTick();
        return app().EstadoConexion == 1;
    }
    bool waitState(int s) {
        return QTest::qWaitFor([s] { return app().EstadoConexion == s; }, 5000);
    }
    // The link's one-second tick, faster: until `s` is reached.
    bool tickUntil(int s) {
        for (int i = 0; i < 200 && app().EstadoConexion != s; ++i) QTest::qWait(50), link.onTick();
        return app().EstadoConexion == s;
    }
};
}  // namespace

class TstGatewayLink : public QObject {
    Q_OBJECT
private slots:
    // Pieces as they arrive ("off:X": off line, X arriving while it switches off; "on": on line, then verified): what
    // reaches the signal list # the monitor # the spy monitors # what waits for its CR.
    void receive_data() {
        const auto row = addColumns<QString, int, bool, QString>("pieces", "state", "spies", "after");
        row("value, CR LF, start of the next", "AD0001=12.5\r\nAD0002=3", 2, false, "1=12.5 v1#>AD0001=12.5##AD0002=3");
        row("a key that is no address", "ADx001=5\r", 2, false, "1=5#>ADx001=5##");
        row("line completed by the next piece", "AD0001=12.5\r\nAD00|02=3\r|\n", 2, false,
            "1=12.5|2=3 v1,2#>AD0001=12.5|>AD0002=3##");
        row("= not at position 7: echoed only", "AD01=5\r", 2, false, "#>AD01=5##");
        row("address not in the list", "AD0009=1\r", 2, false, "#>AD0009=1|@RecibidaSenyalNoExistente;AD0009##");
        row("value before the link is verified", "AD0001=5\r", 1, false, "#>AD0001=5##");
        row("protocol mismatch: off line, the rest dropped", "Protocol:MBS6.\rAD0001=1", 1, false,
            "#>Protocol:MBS6.|<BUSINTOFF|<BUSEXTOFF|<OFCHANGES|<DEBUG=0##");
        row("a line begun while going off line ends with that session", "off:AD00|on|01=5\r", 2, false,
            "#>Protocol:LON.|<ONCHANGES|>01=5##");
        row("CLEARALL", "CLEARALL now\r", 2, false, "clear#>CLEARALL##");
        row("other CL lines not shown", "CLEAR\r", 2, false, "###");
        row("spy lines hidden while spies are off", "EXT RX 01\rINT TX\r", 2, false, "###");
        row("spy lines to their monitor", "INT TX >D0001?\rEXT RX 02 41\r", 2, true, "##INT:TX >D0001?|EXT:RX 02 41#");
        row("garbage and NUL bytes", QString::fromLatin1("\0\xff\x01zz\r\0AD0001=2\r", 16), 2, false,
            QString::fromLatin1("#>\0\xff\x01zz|>\0AD0001=2##", 20));
        const QString mb = "y" + QString((1 << 20) - 1, 'x'),
                      kept(GatewayLink::kMaxPendiente, 'x');  // a flood: the newest 64 KiB kept, said once
        row("flood", mb + "|" + mb + "|AD0001=1\rAD0002=2\r", 2, false,
            "2=2 v2#>@BufferRxRecortado;|>" + kept + "AD0001=1|>AD0002=2##");
    }
    void receive() {
        Rig r(1, false, col<int>("state"));
        app().EspiaInt = app().EspiaExt = col<bool>("spies");
        for (const QString& c : col<QString>("pieces").split('|')) {
            if (c.startsWith("off:"))
                r.t->replyOnce = c.mid(4).toLatin1(), r.link.chkOnline_Click(false), r.monitor.clear();
            else if (c == "on")
                r.link.chkOnline_Click(true), r.t->feed("Protocol:LON.\r");
            else
                r.t->feed(c.toLatin1());
        }
        QString values;  // the values reported as such
        for (int a : r.values) values += (values.isEmpty() ? " v" : ",") + QString::number(a);
        QCOMPARE(QStringList({r.sink.log.join('|') + values, r.monitor.join('|'), r.spies.join('|'), r.link.BufferRx()})
                     .join('#'),
                 withTexts(col<QString>("after")));
    }

    // A file (0: none), the gateway's replies ("*": every chunk acknowledged, then "SUCCES"), ticks: the chunks
    // sent, the state after, a monitor line, whether a command typed then stays unsent (the quiet after a cut).
    void transfer_data() {
        const auto row = addColumns<bool, int, QString, int, QString, int, QString, bool>(
            "udp", "size", "replies", "ticks", "chunks", "state", "note", "quiet");
        const QString timeout = "<@TransfFicheroCANCEL (@SinRespuesta)", c2 = "1:128|25:128";
        row("300 bytes, serial", false, 300, "START\r|Bytes:128\r|Bytes:256\r|Bytes:300\r|SUCCES\r", 0, c2 + "|23:44",
            2, ">@TransfEscFicheroOK", false);
        row("256 bytes, udp: waits for the restart on line", true, 256,
            "START\r\n|Bytes:128\r\n|Bytes:256\r\nSUCCES\r\n", 0, c2, 5, ">@X132", false);
        row("LON file with its TCP/IP block, udp: the address moves", true, -2, "START\r\n|*", 0, "*", 5, ">@X132",
            false);
        row("cancelled after a chunk: no quiet", true, 300, "START\r\n|CANCEL\r\n", 0, "1:128", 2,
            ">@TransfFicheroCANCEL", false);
        row("refused", true, 300, "CANCEL\r\n", 0, "", 2, ">@InicioTransfFicheroCANCEL", false);
        row("wrong count: no next chunk", false, 300, "START\r|Bytes:129\r", 0, "1:128", 4, ">Bytes:129", false);
        row("count split across pieces", false, 300, "START\rBy|tes:12|8\r", 0, c2, 4, ">Bytes:128", false);
        row("silent after START, 5 ticks", false, 300, "START\r", 5, "1:128", 4, ">TX: 1 size 128", false);
        row("silent after START, 6 ticks: quiet", false, 300, "START\r", 6, "1:128", 2, timeout, true);
        row("silent after START, 17 ticks: the quiet's last second", false, 300, "START\r", 17, "1:128", 2, timeout,
            true);
        row("silent after START, 18 ticks: may send again", false, 300, "START\r", 18, "1:128", 2,
            ">@EnlaceSilencioFin", false);
        row("silent after SEND~", true, 300, "", 6, "", 2, timeout, true);
        row("replies of another state ignored", false, 300, "Bytes:0\r|SUCCES\r", 0, "", 3, ">SUCCES", false);
        row("no file", false, 0, "", 0, "", 2, "", false);
        row("empty file", false, -3, "", 0, "", 2, "", false);
        row("port lost during the send", false, 300, "START\r|lost", 0, "1:128", 5,
            ">@TransfFicheroCANCEL (@PuertoPerdidoCorto)", false);
        row("off line during the send", true, 300, "START\r\n|off", 0, "1:128", 0,
            ">@TransfFicheroCANCEL (@FueraDeLineaNota)", false);
        row("257 bytes: the last one a chunk of its own", false, 257, "START\r|*", 0, "1:128|25:128|23:1", 2,
            ">@TransfEscFicheroOK", false);
    }
    void transfer() {
        const bool udp = col<bool>("udp");
        const int size = col<int>("size");
        Rig r(size, udp, 2);  // the file written as the generator names it, offered as "LON.PLMX"
        HistoryRecorder history(&r.link);
        if (size == -2) app().IPConexion.clear();
        app().VerDatosAbierto = true;  // reloaded once the gateway took the file
        QList<int> totals;             // the chunk count announced, then with each chunk
        QObject::connect(&r.link, &GatewayLink::transferStarted, [&](int n) { totals << n; });
        QObject::connect(&r.link, &GatewayLink::transferProgress, [&](int, int n) { totals << n; });
        r.link.EnviaFichero();
        if (size == 0 || size == -3) {  // none, or nothing in it
            QCOMPARE(r.prompts.lastText().section('\r', 0, 1) + QString::number(app().EstadoConexion),
                     Texto(size ? "NoSePuedeLeerFichero" : "NoSeEncuentraFichero") + "\r" +
                         findNoCase(r.folder, "LON.PLMX") + "2");
            QCOMPARE(r.prompts.shown().last().style, 3);  // an alert, not a question
            return;
        }
        QCOMPARE(r.t->sent.value(0),
                 (udp ? "ISSEND~" : "SEND~") + QByteArray::number(r.file.size()) + (udp ? "" : "\r"));
        for (const QString& b : col<QString>("replies").split('|', Qt::SkipEmptyParts)) {
            if (b == "lost") r.t->lose();
            if (b == "off") r.link.chkOnline_Click(false);
            if (b != "*" && b != "lost" && b != "off") r.t->feed(b.toLatin1());
            for (int n = 0; b == "*" && app().EstadoConexion == 4 && n < 1000; ++n)
                r.t->feed(r.link.PosFichero() > r.link.TamFichero()
                              ? "SUCCES\r\n"
                              : "Bytes:" + QByteArray::number(r.link.PosFichero() - 1) + "\r\n");
        }
        for (int i = col<int>("ticks"); i > 0; --i) r.link.onTick();
        if (col<QString>("chunks") != "*") QCOMPARE(r.chunks().join('|'), col<QString>("chunks"));
        QCOMPARE(totals, QList<int>(totals.size(), int(r.file.size() + 127) / 128));
        QCOMPARE(r.prompts.busy, totals.isEmpty()            ? QList<bool>()  // the wait pointer while it runs
                                 : app().EstadoConexion == 4 ? QList<bool>{true}
                                                             : QList<bool>({true, false}));
        QCOMPARE(int(app().EstadoConexion), col<int>("state"));
        QVERIFY2(r.monitor.contains(withTexts(col<QString>("note"))), qPrintable(r.monitor.join(QLatin1Char('|'))));
        if (size == -2)  // the gateway's new address, used and remembered for the project
            QCOMPARE(app().IPConexion + "|" + r.t->target + "|" + LeeIni("Console", "IP", "-"),
                     "127.0.0.1|127.0.0.1|127.0.0.1");
        // Every end is told once, with the quiet and when to send again after a cut.
        QCOMPARE(r.messages.size(), int(app().EstadoConexion != 3 && app().EstadoConexion != 4 && !r.file.isEmpty()));
        const bool cut = col<QString>("replies").contains(QRegularExpression("lost|off"));
        // What the history records of the end: the one the note tells.
        const QString note = col<QString>("note");
        const char* end = note.contains("SinRespuesta") || col<int>("ticks") >= 6 ? HistoryResult::kTimeout
                          : cut                                                   ? HistoryResult::kPortLost
                          : note.contains("InicioTransfFicheroCANCEL")            ? HistoryResult::kRefused
                          : note.contains("CANCEL")                               ? HistoryResult::kCancel
                                                                                  : HistoryResult::kSucces;
        QVector<HistoryRow> recorded;
        QVERIFY(readHistory(r.folder, &recorded));
        QCOMPARE(recorded.value(0).result, r.messages.isEmpty() ? QString() : QString(end));
        QCOMPARE(r.events, recorded.value(0).result == HistoryResult::kSucces ? "r" : "");
        QCOMPARE(r.messages.value(0).contains(Texto("TransfSilencio")), col<int>("ticks") >= 6 || cut);
        if (app().EstadoConexion != 2) return;
        r.t->sent.clear();
        if (col<bool>("quiet")) r.link.EnviaFichero(), r.link.EnviaFichero();  // in the quiet: not sent, said once
        QCOMPARE(r.prompts.texts().filter(Texto("EnlaceEnSilencio")).size(), int(col<bool>("quiet")));
        r.link.TransmitPilmora("HELP", false);
        QCOMPARE(r.t->sent.isEmpty(), col<bool>("quiet"));
    }

    // Commands typed or raw, ticks, spy switches, going on or off line: what goes out.
    void commands_data() {
        // action: "N ticks", "INT on", "EXT off", "off line", "fail open", "type:X", "raw:X"
        const auto row = addColumns<bool, int, QString, bool, QString, bool>("udp", "state", "action", "spiesBefore",
                                                                             "sent", "spiesAfter");
        row("serial: trimmed, CR", false, 1, "type:  INFO?  ", false, "INFO?\r", false);
        row("udp: IS in front, no CR", true, 1, "type: INFO? ", false, "ISINFO?", false);
        row("blank: nothing", true, 1, "type:   ", false, "", false);
        row("raw: as is", true, 2, "raw: IS ", false, " IS ", false);
        row("off line: nothing", false, 0, "type:INFO?", false, "", false);
        row("port cannot open", false, 0, "fail open", false, "", false);
        row("numbered port cannot open", false, 0, "fail open COM3", false, "", false);
        row("one byte per character", false, 1, QString::fromUtf8("type:T=\u20ac"), false,
            QString::fromLatin1("T=\x80\r"), false);
        row("waiting: INFO? every tick", false, 1, "2 ticks", false, "INFO?\r|INFO?\r", false);
        row("udp verified, silent: INFO? each 10 ticks", true, 2, "20 ticks", false, "ISINFO?|ISINFO?", false);
        row("udp verified: IS at the 21st", true, 2, "21 ticks", false, "ISINFO?|ISINFO?|IS", false);
        row("serial verified: no keep-alive, not answering at 30", false, 2, "42 ticks", false,
            "INFO?\r|INFO?\r|INFO?\r|INFO?\r", false);
        row("answer to the liveness question: alive, nothing reloaded", false, 2, "31 ticks, answer", true,
            "INFO?\r|INFO?\r|INFO?\r", true);
        row("spy wanted before verified: on at the confirmation", false, 1, "INT on, confirmed", false,
            "ONCHANGES\r|BUSINTALL\r", true);
        row("off line: no tick", true, 0, "3 ticks", false, "", false);
        row("spy before verified: nothing", false, 1, "INT on", false, "", false);
        row("INT on", false, 2, "INT on", false, "BUSINTALL\r", true);
        row("INT already on", false, 2, "INT on", true, "", true);
        row("EXT off", false, 2, "EXT off", true, "BUSEXTOFF\r", false);
        row("off line: spies and reports off", false, 2, "off line", true,
            "BUSINTOFF\r|BUSEXTOFF\r|OFCHANGES\r|DEBUG=0\r", false);
        row("udp off line", true, 2, "off line", true, "ISBUSINTOFF|ISBUSEXTOFF|ISOFCHANGES|ISDEBUG=0", false);
        row("udp off line before verified", true, 1, "off line", true, "ISBUSINTOFF|ISBUSEXTOFF|ISOFCHANGES|ISDEBUG=0",
            false);
        // Send button, cancelled: a bus spy whose window switched it off is not switched off again.
        row("send: no window", false, 2, "send, cancel", false, "BUSINTOFF\r|BUSEXTOFF\r", false);
        row("send: INT's window", false, 2, "send INT, cancel", false, "BUSEXTOFF\r", false);
        row("send: both windows", false, 2, "send INT EXT, cancel", false, "", false);
    }
    void commands() {
        const QString action = col<QString>("action");
        Rig r(1, col<bool>("udp"), col<int>("state"));
        app().EspiaInt = app().EspiaExt = col<bool>("spiesBefore");
        if (action.startsWith("type:") || action.startsWith("raw:"))
            r.link.TransmitPilmora(action.section(':', 1), action.startsWith("raw:"));
        else if (action.contains("ticks"))
            for (int i = action.section(' ', 0, 0).toInt(); i > 0; --i) r.link.onTick();
        else if (action.startsWith("send"))
            r.prompts.queueAnswer(Msg::Cancel),
                r.link.askAndSend([&](const QString& bus) { return action.contains(bus); });
        else if (action == "off line" || action.startsWith("fail open"))
            r.t->failOpen = action != "off line", r.t->name = action.mid(10).isEmpty() ? "FAKE" : action.mid(10),
            r.link.chkOnline_Click(r.t->failOpen);
        else
            r.link.ControlaBusPilmora(action.left(3), action.contains(" on"));
        const bool silent = action.contains("ticks") && action.section(' ', 0, 0).toInt() >= 30;
        QCOMPARE(r.link.respondiendo(), !silent);
        int confirmed = 0;
        QObject::connect(&r.link, &GatewayLink::protocolConfirmed, [&] { ++confirmed; });
        if (action.endsWith("answer") || action.endsWith("confirmed")) r.t->feed("V.43 Protocol:lon.\r");
        QCOMPARE(confirmed, int(action.endsWith("confirmed")));
        if (app().EstadoConexion == 2)
            QCOMPARE(r.link.buttonColour(),
                     r.link.respondiendo() ? ColorEnlace::Confirmado : ColorEnlace::SinRespuesta);
        QCOMPARE(QString::fromLatin1(r.t->sent.join('|')), col<QString>("sent"));
        QCOMPARE(r.events, silent ? action.endsWith("answer") ? "-+" : "-" : "");
        if (action.contains("ticks"))  // the status bar: a gateway gone quiet, then heard again
            QCOMPARE(
                r.status.join('|').remove(QRegularExpression("\\d\\d:\\d\\d:\\d\\d")),
                silent ? Texto("SinRespuestaDesde") + (action.endsWith("answer") ? "|" + Texto("PasarelaResponde") : "")
                       : QString());
        if (action.startsWith("type:") && !r.t->sent.isEmpty())
            QCOMPARE(r.monitor.join('|'), "<" + action.mid(5).trimmed());
        QCOMPARE(action.startsWith("EXT") ? app().EspiaExt : app().EspiaInt, col<bool>("spiesAfter"));
        if (action.startsWith("fail open"))  // a port number after "COM", a device path alone
            QCOMPARE(
                QString::number(app().EstadoConexion) + r.prompts.shown().first().caption + r.prompts.texts().join('|'),
                "0Error" +
                    (r.t->name == "COM3" ? Texto("ErroralabrirCOM") + "3"
                                         : Texto("ErroralabrirCOM").chopped(3) + "FAKE") +
                    ". no such port");
    }

    // Automatic waits step by step: a serial port that vanishes ("lost", "gone": not listed, "other": another
    // adapter listed, "back": the same one) or, over "udp", the restart after a download ("restart"); "N ticks",
    // "same"/"another": the gateway's answer, "INT on": what goes out, the state after, the last message.
    void reconnect_data() {
        const auto row = addColumns<QString, QString, int, QString>("steps", "sent", "state", "message");
        row("lost: waits, nothing sent", "lost|gone|3 ticks", "", 5, "");
        row("another adapter at the port: not opened", "lost|other|3 ticks", "", 5, "");
        row("the same adapter: opened, asked", "lost|back|2 ticks", "INFO?\r|INFO?\r", 5, "");
        row("the same gateway answers: on line, spy again", "INT on|lost|back|1 ticks|same",
            "BUSINTALL\r|INFO?\r|ONCHANGES\r|BUSINTALL\r", 2, "");
        row("another gateway answers: off line", "lost|back|1 ticks|another",
            "INFO?\r|BUSINTOFF\r|BUSEXTOFF\r|OFCHANGES\r|DEBUG=0\r", 0, "@OtraPasarela");
        row("gone off line by hand while waiting: the wait no longer shown", "lost|gone|3 ticks|off", "", 0, "");
        row("silent, then off line: the button's colour back to normal", "30 ticks|off",
            "INFO?\r|INFO?\r|INFO?\r|BUSINTOFF\r|BUSEXTOFF\r|OFCHANGES\r|DEBUG=0\r", 0, "");
        row("not back within 5 minutes: off line", "lost|gone|300 ticks", "", 0, "@EsperaAdaptadorAgotada");
        row("udp restart answered: on line by itself", "udp|restart|2 ticks|same", "ISINFO?|ISINFO?|ISONCHANGES", 2,
            "");
        row("udp restart never answered: off line after 5 minutes", "udp|restart|300 ticks",
            QStringList(299, "ISINFO?").join('|') + "|ISBUSINTOFF|ISBUSEXTOFF|ISOFCHANGES|ISDEBUG=0", 0,
            "@EsperaReinicioAgotada");
        row("udp lost: off line at once, said", "udp|lost", "ISBUSINTOFF|ISBUSEXTOFF|ISOFCHANGES|ISDEBUG=0", 0,
            "@PuertoPerdido");
        row("udp passing fault: shown, on line", "udp|hiccup", "", 2, "");
        row("serial passing fault: shown, on line", "hiccup", "", 2, "");
        row("session ends on line, udp: spies off", "udp|INT on|shutdown",
            "ISBUSINTALL|ISBUSINTOFF|ISBUSEXTOFF|ISOFCHANGES|ISDEBUG=0", 0, "");
        row("session ends on line, serial: spies off", "INT on|shutdown",
            "BUSINTALL\r|BUSINTOFF\r|BUSEXTOFF\r|OFCHANGES\r|DEBUG=0\r", 0, "");
    }
    void reconnect() {
        const bool udp = col<QString>("steps").startsWith("udp");
        Rig r(1, udp, 2);
        for (const QString& step : col<QString>("steps").split('|')) {
            if (step == "lost") r.t->lose();
            if (step == "gone" || step == "other" || step == "back")
                r.port = PortIdentity{step != "gone", step == "back" ? "A" : "B"};
            if (step.endsWith("ticks"))
                for (int i = step.section(' ', 0, 0).toInt(); i > 0; --i) r.link.onTick();
            if (step == "same" || step == "another")
                r.t->feed(step == "same" ? "Protocol:LON.\r" : "V.9 Protocol:LON.\r");
            if (step == "INT on") r.link.ControlaBusPilmora("INT", true);
            if (step == "restart") r.link.ReinicioTrasDescarga();
            if (step == "hiccup") emit r.t->failed(QStringLiteral("gone"), false);
            if (step == "shutdown") r.link.shutdown();
            if (step == "off") r.link.chkOnline_Click(false);
        }
        QCOMPARE(QString::fromLatin1(r.t->sent.join('|')), col<QString>("sent"));
        QCOMPARE(int(app().EstadoConexion), col<int>("state"));
        const QString steps = col<QString>("steps");
        // The status bar: why the link went off line, the wait and its seconds, or back on line.
        const QString wait = Texto(udp ? "EsperandoReinicio" : "EsperandoAdaptador") +
                             steps.section(" ticks", 0, 0).section('|', -1) + " s";
        QCOMPARE(r.status.value(r.status.size() - 1).section('\r', 0, 0),
                 app().EstadoConexion == 0   ? withTexts(col<QString>("message"))
                 : app().EstadoConexion == 5 ? wait
                 : steps.contains("same")    ? Texto("PasarelaDeNuevoEnLinea")
                                             : QString());
        QCOMPARE(r.events, steps.startsWith("30 ticks") ? "-+" : "");  // silent, then no longer
        // The link monitor's caption: the wait, the port while on line, nothing more off line or back on line.
        const QString cp = Texto("ComunicacionPilmora");
        QCOMPARE(r.caption, app().EstadoConexion == 5 ? cp + ". " + wait
                            : steps.contains("hiccup") || steps.contains("shutdown")
                                ? cp + (udp ? ". IP:127.0.0.1" : ". FAKE")
                                : cp);
        const bool lost = steps.contains("lost"), passing = steps.contains("hiccup");
        QCOMPARE(app().EspiaInt, steps.contains("INT on"));
        QCOMPARE(r.prompts.lastText().section('\r', 0, 0), withTexts(col<QString>("message")));
        QCOMPARE(r.monitor.contains(">" + Texto("PuertoPerdidoEsperando") + "FAKE"), !udp && lost);
        for (const auto& [said, step] : {std::pair{"PuertoReabierto", "back"},  // each step of the wait, once
                                         {"PuertoOtroAdaptador", "other"},
                                         {"PasarelaDeNuevoEnLinea", "same"}})
            QCOMPARE(r.monitor.filter(QRegularExpression("^>" + Texto(said))).size(),
                     int(steps.split('|').contains(step)));
        // The fault as the port told it; a passing one over UDP marked as the socket's.
        QCOMPARE(r.monitor.contains(">gone"), lost || (passing && !udp));
        QCOMPARE(r.monitor.contains(">gone wsock_Error"), passing && udp);
    }

    // The socket's own refusals; a new gateway address is taken only when it is an IPv4 one.
    void udpSocket() {
        QUdpSocket gateway;
        QVERIFY(gateway.bind(QHostAddress::LocalHost, 0));
        QStringList got;
        for (const auto& [host, port] :
             {std::pair{"localhost", gateway.localPort()}, {"::1", gateway.localPort()}, {" 127.0.0.1 ", quint16(0)}}) {
            UdpTransport u(host, port);
            QString error;
            got << (u.open(&error) ? "open" : error);
        }
        QCOMPARE(got, QStringList({"IP: localhost", "IP: ::1", "Port: 0"}));
        UdpTransport u(" 127.0.0.1 ", gateway.localPort());
        QString error;
        QVERIFY(u.open(&error) && !u.retarget("x") && !u.retarget("::1") && u.retarget(" 127.0.0.1 ") &&
                u.write("ISINFO?"));
        QCOMPARE(u.describe(), "127.0.0.1");
        QTRY_VERIFY(gateway.hasPendingDatagrams());
        QCOMPARE(gateway.receiveDatagram().data(), QByteArray("ISINFO?"));
        QUdpSocket stranger;  // another loopback address writing to the transport at 127.0.0.1: dropped and named
        QVERIFY(stranger.bind(QHostAddress("127.0.0.9"), 0));
        QSignalSpy dropped(&u, &Transport::strangerDropped), heard(&u, &Transport::received);
        stranger.writeDatagram("AD0001=1\r", QHostAddress::LocalHost, u.localPort());
        gateway.writeDatagram("AD0001=2\r", QHostAddress::LocalHost, u.localPort());
        QTRY_COMPARE(heard.size(), 1);
        QCOMPARE(heard[0][0].toByteArray() + dropped.value(0).value(0).toString().toLatin1(), "AD0001=2\r127.0.0.9");
        QCOMPARE(u.droppedDatagrams() + dropped.size(), 2);
    }

    // Datagrams from another address than the gateway's: dropped, the first named once, the count at the session's end.
    void strangers() {
        const QHostAddress gw("127.0.0.1");
        QCOMPARE(
            QList<bool>({UdpTransport::accepts(gw, gw), UdpTransport::accepts(gw, QHostAddress("::ffff:127.0.0.1")),
                         UdpTransport::accepts(gw, QHostAddress("127.0.0.9")), UdpTransport::accepts({}, {})}),
            QList<bool>({true, true, false, false}));
        for (int n : {1, 3}) {  // one alone is not counted again
            Rig r(1, true, 2);
            for (const char* sender : QList<const char*>{"127.0.0.9", "127.0.0.8", "127.0.0.9"}.mid(0, n))
                emit r.t->strangerDropped(sender);
            r.link.chkOnline_Click(false);
            QCOMPARE(r.monitor.filter(Texto("DatagramasAjenos")),
                     n > 1 ? QStringList(">" + Texto("DatagramasAjenos") + "3") : QStringList());
            QCOMPARE(r.monitor.filter(Texto("DatagramaAjeno")),
                     QStringList(">" + Texto("DatagramaAjeno") + "127.0.0.9"));
        }
    }

    // The send confirmation's staleness: the file against what the saved project generates now.
    void staleness_data() {
        const auto row = addColumns<QString, bool>("change", "stale");
        row("connection settings saved since", "connection", false);
        row("generated again later: another date", "again", false);
        row("a signal's address changed since", "address", true);
        row("a byte of the file changed", "byte", true);
        row("a signal table that no longer reads: stale, and nothing said", "damaged", true);
        row("the file generated with a fault named: stale", "fault", true);
        row("MBS6: a file holding what a generation with a fault composes", "mbs6 fault", true);
    }
    void staleness() {
        auto [change, stale] = fetch<QString, bool>("change", "stale");
        Rig r(change.startsWith("mbs6") ? -1 : -2);
        if (change == "mbs6 fault") {  // never written so by the program: a poll time beyond 16 bits
            iniWrite(r.folder + "/MBS6.ini", "MBS6", "TimeoutPoll", "70000");
            Mbs6Config cfg;
            SignalGrid grid;
            QVector<InfoColumna> info;
            QVERIFY(loadMbs6Project(r.folder, cfg, grid, info));
            const Mbs6Download d =
                composeMbs6Download(cfg, grid, mbs6TimeoutInterFrame(), QDateTime::currentDateTime());
            QVERIFY(!d.fault.isEmpty() && writeAll(r.folder + "/MBS6.Plmx", d.bytes));
        }
        ConfigSerie com;
        if (change == "connection") ConnectionSettings::Graba({true, "127.0.0.1", "5001", "9600", 1, ""}, false, com);
        if (change == "fault") iniWrite(r.folder + "/LON.ini", "LON", "Subnet", "300");  // written, and said
        if (change == "again" || change == "fault")
            runPilmora(r.home.path(), {"generate", r.folder, "--at", "2030/01/02 03:04:05"});
        QByteArray dat = readAll(r.folder + "/LON.dat"), bytes = readAll(r.folder + "/LON.Plmx");
        if (change == "address") writeAll(r.folder + "/LON.dat", dat.replace("Point 1\t1\t", "Point 1\t7\t"));
        if (change == "damaged") writeAll(r.folder + "/LON.dat", "not a signal table\r\n");
        if (change == "byte")
            writeAll(r.folder + "/LON.Plmx", bytes.replace(200, 1, QByteArray(1, char(bytes[200] ^ 1))));
        r.link.setFichero(app().ProtProyecto + ".PLMX");
        QCOMPARE(r.link.downloadFileInfo().stale, stale);
        QCOMPARE(r.prompts.texts(), QStringList());  // a question of the confirmation, asked in the background
    }

    void serialSettings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed");  // baud parity bits stop, empty when refused; "*": opened on a pty too
        for (const QString& r : QString("57600,n,8,1=57600 n 8 1*| 56000 ,N, 8 ,1=56000 n 8 1|1200,e,7,2=1200 e 7 2|"
                                        "300,m,5,1.5=300 m 5 3*|9600,o,8,1=9600 o 8 1*|9600,s,8,2=9600 s 8 2*|"
                                        "9600,x,8,1=*|9600,n,9,1=*|9600,n,8,3=*")
                                    .split('|'))
            QTest::newRow(qPrintable(r.section('=', 0, 0))) << r.section('=', 0, 0) << r.section('=', 1);
    }
    void serialSettings() {
        const QString text = col<QString>("text"), parsed = col<QString>("parsed");
        const SerialSettings s = SerialTransport::parseSettings(text);
        QCOMPARE(s.valid ? QString("%1 %2 %3 %4").arg(s.baud).arg(QChar(s.parity)).arg(s.dataBits).arg(s.stopBits)
                         : QString(),
                 QString(parsed).remove('*'));
        if (!parsed.endsWith('*')) return;
        GatewaySimProcess sim("pty", {});  // the port as it took them, or why not
        SerialTransport t(1, sim.device(), text);
        QString error;
        QVERIFY2(t.open(&error) == s.valid, qPrintable(error));
        auto* port = t.findChild<QSerialPort*>();
        QCOMPARE(s.valid ? QString("%1 %2 %3 %4")
                               .arg(port->baudRate())
                               .arg(port->parity())
                               .arg(port->dataBits())
                               .arg(port->stopBits())
                         : error,
                 s.valid ? QString("%1 %2 %3 %4")
                               .arg(s.baud)
                               .arg(QString("n eosm").indexOf(QChar(s.parity)))  // QSerialPort's numbers
                               .arg(s.dataBits)
                               .arg(s.stopBits)
                         : "Settings: " + text);
    }

    // What a port refused for want of rights tells the engineer to do: join the device's group, unless it is root's.
    void permissionHint() {
        TestHome home(false);
        QTemporaryDir dir;
        const QString device = dir.filePath("ttyUSB9");
        QVERIFY(writeAll(device, ""));
        if (::chown(QFile::encodeName(device).constData(), uid_t(-1), 20) != 0) QSKIP("cannot give a file group 20");
        const QString group = QFileInfo(device).group();
        QCOMPARE(QStringList({SerialTransport::permissionHint(device), SerialTransport::permissionHint("null"),
                              SerialTransport::permissionHint(dir.filePath("none"))}),
                 QStringList({Texto("PuertoSinPermiso") + "sudo usermod -a -G " + group + " $USER", "", ""}));
    }

    // On line to the simulated gateway, then a file sent: the state reached, the serial port as set, what the
    // gateway says of the file, the state after it; a vanished port takes the link off line. "cli": `pilmora
    // send` over UDP, its words and exit code.
    void online_data() {
        addColumns<QString, QStringList>("where", "simArgs");
        QTest::addColumn<QString>("port");  // settings stored|as the port took them (cli: timeout)
        QTest::addColumn<int>("size");      // of the file (-1: the MBS6 demo project's)
        QTest::addColumn<int>("state");     // reached
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("simLog");  // cli: what the tool says
        const QStringList any{"--no-check"};
        QTest::newRow("udp, other letter case, content refused")
            << "udp" << QStringList{"--protocol", "lon"} << "" << 300 << 2 << false << "CANCEL: checksum";
        QTest::newRow("pty, 300 bytes") << "pty" << QStringList{"--no-check", "--protocol", "LON"}
                                        << "57600,n,8,1|57600 0 8 1" << 300 << 2 << true << "unchecked file, 300 bytes";
        QTest::newRow("pty, odd speed, 2 stops, refused")
            << "pty" << QStringList{"--refuse"} << "56000,n,8,2|56000 0 8 2" << 300 << 2 << false << "SEND~300";
        QTest::newRow("udp, other protocol")
            << "udp" << QStringList{"--protocol", "MBS6"} << "" << 1 << 0 << false << "";
        QTest::newRow("udp, no dot: still polling") << "udp" << QStringList{"--no-dot"} << "" << 1 << 1 << false << "";
        QTest::newRow("udp, MBS6 demo project: back on line after the restart, same address")
            << "udp" << QStringList{"--protocol", "MBS6", "--restart-ms", "300"} << "" << -1 << 2 << true
            << "received MBS6 file, 271 bytes, 2 devices";
        QTest::newRow("udp, a chunk lost, then a second send")
            << "udp" << QStringList{"--no-check", "--drop-chunk", "2", "--abandon-after", "300"} << "" << 1000 << 2
            << true << "transfer abandoned";
        QTest::newRow("pty, closed and reopened while on line: spies again")
            << "pty" << QStringList{"--no-check", "--restart-ms", "0"} << "57600,n,8,1|57600 0 8 1" << 300 << 2 << true
            << "unchecked file, 300 bytes";
        QTest::newRow("cli, sent") << "cli" << any << "60" << 1 << 2 << true << "SUCCES";
        QTest::newRow("cli, refused") << "cli" << QStringList{"--refuse"} << "60" << 1 << 2 << false << "CANCEL";
        QTest::newRow("cli, no answer") << "cli" << QStringList{"--silent-after", "0"} << "1" << 1 << 2 << false
                                        << "SEND~";
        QTest::newRow("cli, slow acknowledgements beyond --timeout")
            << "cli" << QStringList{"--no-check", "--ack-delay", "300"} << "1" << 1000 << 2 << true << "SUCCES";
        QTest::newRow("udp, the gateway's address from another port mid-transfer")
            << "udp" << QStringList{"--no-check", "--ack-delay", "20"} << "" << 1000 << 2 << true
            << "unchecked file, 1000 bytes";
    }
    void online() {
        const QString where = col<QString>("where"), port = col<QString>("port");
        const QStringList args = col<QStringList>("simArgs");
        const int state = col<int>("state");
        const bool ok = col<bool>("ok");
        Rig s(col<int>("size"));
        const QString out = s.home.file("received.bin");
        GatewaySimProcess sim(where == "cli" ? "udp" : where, args + QStringList{"--out", out});
        QVERIFY(!s.file.isEmpty());
        if (where == "cli") {
            const QString guard = nonLoopback(s.folder, QStringLiteral("127.0.0.1"));
            QVERIFY2(sim.started() && guard.isEmpty(), qPrintable(guard));
            const CliRun r = runPilmora(s.home.path(), {"send", s.folder, "--udp",
                                                        "127.0.0.1:" + QString::number(sim.port()), "--timeout", port});
            QVERIFY2((r.out + r.err).contains(col<QString>("simLog")), qPrintable(r.out + r.err));
            QCOMPARE(r.code, ok ? 0 : 1);
            return;
        }
        // A link at the device's place stands for an adapter that can be pulled and plugged back.
        const QString device = QByteArray(QTest::currentDataTag()).contains("reopened") ? s.home.file("ttyGW") : "";
        if (!device.isEmpty()) QVERIFY(QFile::link(sim.device(), device));
        QVERIFY2(s.connectTo(sim, port.section('|', 0, 0), device), qPrintable(s.prompts.lastText()));
        if (state == 1) QTRY_VERIFY(s.monitor.filter("Protocol:LON").size() == 1);
        QVERIFY(s.waitState(state));
        if (state == 0)
            QCOMPARE(s.prompts.lastText(),
                     Texto("Incongruencia") + "MBS6 " + Texto("yeldel") + "LON\r" + Texto("SelcorrPro"));
        if (state != 2) return;
        auto* serial = s.link.transport()->findChild<QSerialPort*>();
        if (serial)
            QCOMPARE(QString("%1 %2 %3 %4")
                         .arg(serial->baudRate())
                         .arg(serial->parity())
                         .arg(serial->dataBits())
                         .arg(serial->stopBits()),
                     port.section('|', 1));
        const int p = args.indexOf("--protocol");  // one spelling, the project's, whatever the gateway's case
        QCOMPARE(s.link.Fichero() + app().ProtEquipo,
                 (p < 0 ? QString("LON") : args[p + 1].toUpper()) + ".PLMX" + app().ProtProyecto);
        QTRY_VERIFY(!s.values.isEmpty());  // change reports are on: the moving values arrive
        auto* udp = dynamic_cast<UdpTransport*>(s.link.transport());
        const quint16 local = udp ? udp->localPort() : 0;
        QString error;
        QVERIFY(!udp || (udp->open(&error) && udp->localPort() == local));  // opening it again keeps its socket
        s.link.EnviaFichero();
        QCOMPARE(int(app().EstadoConexion), 3);
        const bool otherPort = args.contains("--ack-delay");
        QUdpSocket other;  // the gateway's address from another source port is the gateway, even mid-transfer
        if (otherPort) {
            QTRY_COMPARE(int(app().EstadoConexion), 4);
            other.writeDatagram("AD0001=5\r\n", QHostAddress::LocalHost, local);
            QTRY_VERIFY(s.monitor.contains(">AD0001=5"));
        }
        const bool drop = args.contains("--drop-chunk");
        if (drop) {  // six ticks without progress end it, the gateway gives up, the quiet passes, the file goes again
            QTRY_VERIFY(sim.log().contains("lost as asked"));
            for (int i = 0; i < 6; ++i) s.link.onTick();
            QTRY_VERIFY(sim.log().contains("transfer abandoned"));
            for (int i = 0; i < GatewayLink::kTicksSilencio; ++i) s.link.onTick();
            s.link.EnviaFichero();
        }
        QList<bool> ends{ok};
        if (drop) ends.prepend(false);
        QTRY_COMPARE_WITH_TIMEOUT(s.finished, ends, 10000);
        if (otherPort) QCOMPARE(udp->droppedDatagrams(), 0);
        QTRY_VERIFY2(sim.log().contains(col<QString>("simLog")), qPrintable(sim.log()));
        if (ok) QCOMPARE(readAll(out), s.file);
        QCOMPARE(int(app().EstadoConexion), ok && udp ? 5 : 2);  // waiting on line while the gateway restarts
        if (ok && udp) {
            QVERIFY2(s.tickUntil(2), qPrintable(s.monitor.join("|")));  // back on line by itself
            QCOMPARE(app().IPConexion + s.link.ipTrasDescarga(), QStringLiteral("127.0.0.1"));
        }
        if (!serial) return;
        // A speed chosen on line waits for the next opening; choosing the one in use again drops it.
        const QString was = port.section('|', 0, 0);
        for (const QString& chosen : {QString("9600,n,8,1|") + was, QString("9600,n,8,1")}) {
            for (const QString& c : chosen.split('|')) s.link.setSerial(1, c, QString());
            QCOMPARE(serial->baudRate(), was.section(',', 0, 0).toInt());
            s.link.chkOnline_Click(false), s.link.chkOnline_Click(true);
            QVERIFY(s.tickUntil(2));
            serial = s.link.transport()->findChild<QSerialPort*>();
            QCOMPARE(QString::number(serial->baudRate()) + " " + LeeIniAplicacion("Configuracion", "Settings", ""),
                     chosen.contains('|') ? was.section(',', 0, 0) + " " + was : "9600 9600,n,8,1");
        }
        const bool reopen = QByteArray(QTest::currentDataTag()).contains("reopened");
        if (reopen) {
            s.link.ControlaBusPilmora("INT", true);
            QTRY_VERIFY(sim.log().contains("BUSINTALL"));
        }
        sim.kill();
        QVERIFY2(s.waitState(5), qPrintable(s.monitor.join("|")));  // waits for the adapter, on line
        QCOMPARE(s.monitor.count(">" + Texto("PuertoPerdidoEsperando") + s.link.transport()->describe()), 1);
        if (!reopen) return;
        GatewaySimProcess again("pty", args);  // the adapter back at the same place
        QFile::remove(s.home.file("ttyGW"));
        QVERIFY(QFile::link(again.device(), s.home.file("ttyGW")));
        QVERIFY2(s.tickUntil(2), qPrintable(s.monitor.join("|")));
        QTRY_VERIFY2(again.log().contains("BUSINTALL"), qPrintable(again.log()));
        QVERIFY(app().EspiaInt);
    }
};

QTEST_MAIN(TstGatewayLink)
#include "tst_gatewaylink.moc"
