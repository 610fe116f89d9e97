// The gateway link without sockets: framing of what is sent, dispatch of what
// arrives, the state checks, the supervision tick and the transfer, over a
// transport that records every write.
#include <QtTest>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "GatewayLink.h"
#include "SerialTransport.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {
class FakeTransport : public Transport {
public:
    explicit FakeTransport(bool udp) : m_udp(udp) {}
    bool open(QString* error) override {
        if (failOpen) *error = QStringLiteral("no such port");
        m_open = !failOpen;
        return m_open;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& b) override {
        sent << b;
        return true;
    }
    bool isDatagram() const override { return m_udp; }
    QString describe() const override { return QStringLiteral("FAKE"); }
    void feed(const QByteArray& b) { emit received(b); }

    QByteArrayList sent;
    bool failOpen = false;

private:
    bool m_udp;
    bool m_open = false;
};

// Knows addresses 1 and 2.
class Sink : public ValueSink {
public:
    bool setValue(const QString& key, double v) override {
        if (key != QLatin1String("AD0001") && key != QLatin1String("AD0002")) return false;
        log << key.mid(5) + QLatin1Char('=') + QString::number(v);
        return true;
    }
    void clearAll() override { log << QStringLiteral("clear"); }
    QStringList log;
};

struct Rig {
    TestHome home{false};
    ScriptedPrompts prompts;
    GatewayLink link;
    FakeTransport* t;
    Sink sink;
    QStringList monitor, spies;
    QList<bool> finished;

    explicit Rig(bool udp) {
        app().ProtProyecto = QStringLiteral("LON");
        app().RutaProyecto = home.path();
        app().IPConexion = app().IPNueva = QStringLiteral("127.0.0.1");
        app().ConsolaUDP = udp;
        auto ft = std::make_unique<FakeTransport>(udp);
        t = ft.get();
        link.setTransport(std::move(ft));
        link.setWaiter([](int) {});
        link.setValueSink(&sink);
        QObject::connect(&link, &GatewayLink::monitorText,
                         [this](const QString& text, const QString& prefix) { monitor << prefix + text; });
        QObject::connect(&link, &GatewayLink::spyLineReceived,
                         [this](const QString& bus, const QString& text) { spies << bus + QLatin1Char(':') + text; });
        QObject::connect(&link, &GatewayLink::transferFinished, [this](bool ok) { finished << ok; });
    }
    // 0 off line, 1 waiting for the report, 2 verified.
    void goTo(int state) {
        if (state >= 1) link.chkOnline_Click(true);
        if (state >= 2) t->feed("Protocol:LON.\r");
        QCOMPARE(int(app().EstadoConexion), state);
        t->sent.clear();
        monitor.clear();
    }
    // Writes that carry file bytes (the test files hold lower-case letters only).
    QStringList chunks() const {
        QStringList out;
        for (QByteArray b : t->sent) {
            if (t->isDatagram()) {
                if (!b.startsWith("IS")) return {QStringLiteral("no IS")};
                b = b.mid(2);
            }
            if (!b.isEmpty() && std::all_of(b.begin(), b.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
                out << QString::number(b.at(0) - 'a' + 1) + QLatin1Char(':') + QString::number(b.size());
        }
        return out;
    }
};

// File bytes 'a'..'z' repeating, so a chunk's first byte tells its position
// (for files up to 26 * 128 bytes... positions 1, 129, 257 give a, y, w).
QByteArray fileOf(int size) {
    QByteArray b(size, 'a');
    for (int i = 0; i < size; ++i) b[i] = char('a' + i % 26);
    return b;
}
QString pos(int p) { return QString::number((p - 1) % 26 + 1); }

// "@Key" (ended by ";" when a letter follows) stands for the key's text: tables are built before a case loads the language.
QString texts(QString s) {
    static const QRegularExpression key(QStringLiteral("@([A-Za-z0-9]+);?"));
    QRegularExpressionMatch m;
    while ((m = key.match(s)).hasMatch()) s.replace(m.capturedStart(), m.capturedLength(), Texto(m.captured(1)));
    return s;
}
QStringList texts(const QStringList& l) {
    QStringList out;
    for (const QString& s : l) out << texts(s);
    return out;
}
}  // namespace

class TstGatewayLink : public QObject {
    Q_OBJECT
private slots:
    void transmit_data();
    void transmit();
    void receive_data();
    void receive();
    void transfer_data();
    void transfer();
    void tick_data();
    void tick();
    void spies_data();
    void spies();
    void boundedBuffer();
    void manyLines();
    void openFails();
    void serialSettings_data();
    void serialSettings();
};

void TstGatewayLink::transmit_data() {
    QTest::addColumn<bool>("udp");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("echo");
    QTest::newRow("serial: trimmed, CR") << false << 1 << "  INFO?  " << false << QByteArray("INFO?\r") << "<INFO?";
    QTest::newRow("udp: IS in front, no CR") << true << 1 << "  INFO?  " << false << QByteArray("ISINFO?") << "<INFO?";
    QTest::newRow("blank: nothing") << true << 1 << "   " << false << QByteArray() << "";
    QTest::newRow("raw: as is, no echo") << true << 2 << " IS " << true << QByteArray(" IS ") << "";
    QTest::newRow("off line: nothing") << false << 0 << "INFO?" << false << QByteArray() << "";
    QTest::newRow("one byte per character") << false << 1 << QString::fromUtf8("T=\u20ac") << false
                                            << QByteArray("T=\x80\r") << QString::fromUtf8("<T=\u20ac");
}

void TstGatewayLink::transmit() {
    QFETCH(bool, udp);
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(bool, raw);
    QFETCH(QByteArray, wire);
    QFETCH(QString, echo);
    Rig r(udp);
    r.goTo(state);
    r.link.TransmitPilmora(text, raw);
    QCOMPARE(r.t->sent, wire.isEmpty() ? QByteArrayList() : QByteArrayList{wire});
    QCOMPARE(r.monitor, echo.isEmpty() ? QStringList() : QStringList{echo});
}

void TstGatewayLink::receive_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("spyInt");
    QTest::addColumn<bool>("spyExt");
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QStringList>("values");   // what reached the signal list
    QTest::addColumn<QStringList>("monitor");  // link monitor lines
    QTest::addColumn<QStringList>("spyLines");
    QTest::addColumn<QString>("rest");  // text waiting for its CR
    const QString unknown = "@RecibidaSenyalNoExistente";
    QTest::newRow("value, CR LF, start of the next") << 2 << false << false << QByteArrayList{"AD0001=12.5\r\nAD0002=3"}
                                                    << QStringList{"1=12.5"} << QStringList{">AD0001=12.5"}
                                                    << QStringList() << "AD0002=3";
    QTest::newRow("line completed by the next chunk")
        << 2 << false << false << QByteArrayList{"AD0001=12.5\r\nAD00", "02=3\r", "\n"} << QStringList{"1=12.5", "2=3"}
        << QStringList{">AD0001=12.5", ">AD0002=3"} << QStringList() << "";
    QTest::newRow("= not at position 7: echoed only") << 2 << false << false << QByteArrayList{"AD01=5\r"}
                                                      << QStringList() << QStringList{">AD01=5"} << QStringList()
                                                      << "";
    QTest::newRow("address not in the list") << 2 << false << false << QByteArrayList{"AD0009=1\r"} << QStringList()
                                             << QStringList{">AD0009=1", unknown} << QStringList() << "";
    QTest::newRow("value before the link is verified") << 1 << false << false << QByteArrayList{"AD0001=5\r"}
                                                       << QStringList() << QStringList{">AD0001=5"} << QStringList()
                                                       << "";
    QTest::newRow("CLEARALL") << 2 << false << false << QByteArrayList{"CLEARALL now\r"} << QStringList{"clear"}
                              << QStringList{">CLEARALL"} << QStringList() << "";
    QTest::newRow("other CL lines not shown") << 2 << false << false << QByteArrayList{"CLEAR\r"} << QStringList()
                                              << QStringList() << QStringList() << "";
    QTest::newRow("EXT hidden while its spy is off") << 2 << true << false << QByteArrayList{"EXT RX 01\r"}
                                                     << QStringList() << QStringList() << QStringList() << "";
    QTest::newRow("spy lines to their monitor") << 2 << true << true
                                                << QByteArrayList{"INT TX >D0001?\rEXT RX 02 41\r"} << QStringList()
                                                << QStringList() << QStringList{"INT:TX >D0001?", "EXT:RX 02 41"}
                                                << "";
    QTest::newRow("garbage and NUL bytes") << 2 << false << false
                                           << QByteArrayList{QByteArray("\0\xff\x01zz\r\0AD0001=2\r", 16)}
                                           << QStringList() << QStringList{QString::fromLatin1(">\0\xff\x01zz", 6),
                                                                          QString::fromLatin1(">\0AD0001=2", 10)}
                                           << QStringList() << "";
}

void TstGatewayLink::receive() {
    QFETCH(int, state);
    QFETCH(bool, spyInt);
    QFETCH(bool, spyExt);
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, values);
    QFETCH(QStringList, monitor);
    QFETCH(QStringList, spyLines);
    QFETCH(QString, rest);
    Rig r(false);
    r.goTo(state);
    app().EspiaInt = spyInt;
    app().EspiaExt = spyExt;
    for (const QByteArray& c : chunks) r.t->feed(c);
    QCOMPARE(r.sink.log, values);
    QCOMPARE(r.monitor, texts(monitor));
    QCOMPARE(r.spies, spyLines);
    QCOMPARE(r.link.BufferRx(), rest);
}

void TstGatewayLink::transfer_data() {
    QTest::addColumn<bool>("udp");
    QTest::addColumn<int>("size");  // -1: no file
    QTest::addColumn<QByteArrayList>("replies");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QStringList>("chunks");  // position:length
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("note");  // a line of the link monitor
    const QString ok = ">@TransfEscFicheroOK";
    const QString timeout = "<@TransfFicheroCANCEL (@SinRespuesta)";
    const QStringList c300{pos(1) + ":128", pos(129) + ":128", pos(257) + ":44"};
    QTest::newRow("300 bytes, serial") << false << 300
                                       << QByteArrayList{"START\r", "Bytes:128\r", "Bytes:256\r", "Bytes:300\r",
                                                         "SUCCES\r"}
                                       << 0 << c300 << 2 << ok;
    QTest::newRow("256 bytes, udp: off line to restart")
        << true << 256 << QByteArrayList{"START\r\n", "Bytes:128\r\n", "Bytes:256\r\nSUCCES\r\n"} << 0
        << QStringList{pos(1) + ":128", pos(129) + ":128"} << 0 << ">@X132";
    QTest::newRow("wrong count: no next chunk") << false << 300 << QByteArrayList{"START\r", "Bytes:129\r"} << 0
                                                << c300.mid(0, 1) << 4 << ">Bytes:129";
    QTest::newRow("count split across chunks") << false << 300 << QByteArrayList{"START\rBy", "tes:12", "8\r"} << 0
                                               << c300.mid(0, 2) << 4 << ">Bytes:128";
    QTest::newRow("silent after START, 5 ticks") << false << 300 << QByteArrayList{"START\r"} << 5
                                                 << c300.mid(0, 1) << 4 << ">TX: 1 size 128";
    QTest::newRow("silent after START, 6 ticks") << false << 300 << QByteArrayList{"START\r"} << 6
                                                 << c300.mid(0, 1) << 2 << timeout;
    QTest::newRow("silent after SEND~") << true << 300 << QByteArrayList() << 6 << QStringList() << 2 << timeout;
    QTest::newRow("replies of another state ignored")
        << false << 300 << QByteArrayList{"Bytes:0\r", "SUCCES\r"} << 0 << QStringList() << 3 << ">SUCCES";
    QTest::newRow("no file") << false << -1 << QByteArrayList() << 0 << QStringList() << 2 << "";
}

void TstGatewayLink::transfer() {
    QFETCH(bool, udp);
    QFETCH(int, size);
    QFETCH(QByteArrayList, replies);
    QFETCH(int, ticks);
    QFETCH(QStringList, chunks);
    QFETCH(int, state);
    QFETCH(QString, note);
    Rig r(udp);
    r.goTo(2);
    // Written as the generator names it; offered as "LON.PLMX".
    if (size >= 0) QVERIFY(writeAll(r.home.file("LON.Plmx"), fileOf(size)));
    r.link.EnviaFichero();
    if (size < 0) {
        QCOMPARE(r.prompts.lastText(), Texto("NoSeEncuentraFichero") + "\r" + findNoCase(r.home.path(), "LON.PLMX"));
        QCOMPARE(int(app().EstadoConexion), 2);
        return;
    }
    QCOMPARE(r.t->sent.value(0), (udp ? "IS" : "") + QByteArray("SEND~") + QByteArray::number(size) +
                                     (udp ? "" : "\r"));
    for (const QByteArray& b : replies) r.t->feed(b);
    for (int i = 0; i < ticks; ++i) r.link.onTick();
    QCOMPARE(r.chunks(), chunks);
    QCOMPARE(int(app().EstadoConexion), state);
    QVERIFY2(r.monitor.contains(texts(note)), qPrintable(r.monitor.join(QLatin1Char('|'))));
}

void TstGatewayLink::tick_data() {
    QTest::addColumn<bool>("udp");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::newRow("waiting: INFO? every tick") << false << 1 << 2 << QByteArrayList{"INFO?\r", "INFO?\r"};
    QTest::newRow("udp verified: quiet 20 ticks") << true << 2 << 20 << QByteArrayList();
    QTest::newRow("udp verified: IS at the 21st") << true << 2 << 21 << QByteArrayList{"IS"};
    QTest::newRow("serial verified: no keep-alive") << false << 2 << 42 << QByteArrayList();
    QTest::newRow("off line: nothing") << true << 0 << 3 << QByteArrayList();
}

void TstGatewayLink::tick() {
    QFETCH(bool, udp);
    QFETCH(int, state);
    QFETCH(int, ticks);
    QFETCH(QByteArrayList, sent);
    Rig r(udp);
    r.goTo(state);
    for (int i = 0; i < ticks; ++i) r.link.onTick();
    QCOMPARE(r.t->sent, sent);
}

void TstGatewayLink::spies_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("before");
    QTest::addColumn<QString>("bus");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<bool>("after");
    QTest::newRow("not verified: nothing") << 1 << false << "INT" << true << QByteArrayList() << false;
    QTest::newRow("INT on") << 2 << false << "INT" << true << QByteArrayList{"BUSINTALL\r"} << true;
    QTest::newRow("INT already on") << 2 << true << "INT" << true << QByteArrayList() << true;
    QTest::newRow("EXT off") << 2 << true << "EXT" << false << QByteArrayList{"BUSEXTOFF\r"} << false;
}

void TstGatewayLink::spies() {
    QFETCH(int, state);
    QFETCH(bool, before);
    QFETCH(QString, bus);
    QFETCH(bool, on);
    QFETCH(QByteArrayList, sent);
    QFETCH(bool, after);
    Rig r(false);
    r.goTo(state);
    app().EspiaInt = app().EspiaExt = before;
    r.link.ControlaBusPilmora(bus, on);
    QCOMPARE(r.t->sent, sent);
    QCOMPARE(bus == "EXT" ? app().EspiaExt : app().EspiaInt, after);
}

void TstGatewayLink::boundedBuffer() {
    Rig r(true);
    r.goTo(2);
    const QByteArray mb(1 << 20, 'x');
    r.t->feed(mb);
    r.t->feed(mb);
    QCOMPARE(r.link.BufferRx().size(), GatewayLink::kMaxPendiente);
    QCOMPARE(r.monitor, QStringList{">" + Texto("BufferRxRecortado")});
    // The newest text is what was kept: the line it ends is still dispatched.
    r.t->feed("AD0001=1\rAD0002=2\r");
    QCOMPARE(r.sink.log, QStringList{"2=2"});
    QCOMPARE(r.link.BufferRx(), QString());
}

void TstGatewayLink::manyLines() {
    Rig r(true);
    r.goTo(2);
    int reported = 0;
    QObject::connect(&r.link, &GatewayLink::valueReported, [&](int, double) { ++reported; });
    r.link.setValueSink(nullptr);
    QByteArray lines;
    for (int i = 0; i < 100000; ++i) lines += "AD" + QByteArray::number(1000 + i % 9000) + "=1\r";
    r.t->feed(lines);
    QCOMPARE(reported, 100000);
}

void TstGatewayLink::openFails() {
    Rig r(false);
    r.t->failOpen = true;
    r.link.setSerial(3, "9600,n,8,1", QString());
    r.link.chkOnline_Click(true);
    QCOMPARE(int(app().EstadoConexion), 0);
    QCOMPARE(r.prompts.shown().size(), 1);
    QCOMPARE(r.prompts.shown().first().caption, QStringLiteral("Error"));
    QCOMPARE(r.prompts.lastText(), Texto("ErroralabrirCOM") + "FAKE. no such port");
}

void TstGatewayLink::serialSettings_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("default") << "57600,n,8,1" << true << 57600 << int('n') << 8 << 1;
    QTest::newRow("non-standard speed, capitals, blanks") << " 56000 ,N, 8 ,1" << true << 56000 << int('n') << 8 << 1;
    QTest::newRow("even, 7 bits, 2 stops") << "1200,e,7,2" << true << 1200 << int('e') << 7 << 2;
    QTest::newRow("speed not a number") << "fast,n,8,1" << false << 0 << 0 << 0 << 0;
    QTest::newRow("field missing") << "9600,n,8" << false << 0 << 0 << 0 << 0;
    QTest::newRow("unknown parity") << "9600,x,8,1" << false << 0 << 0 << 0 << 0;
}

void TstGatewayLink::serialSettings() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const SerialSettings s = SerialTransport::parseSettings(text);
    QCOMPARE(s.valid, valid);
    if (!valid) return;
    QTEST(s.baud, "baud");
    QTEST(int(s.parity), "parity");
    QTEST(s.dataBits, "dataBits");
    QTEST(s.stopBits, "stopBits");
}

QTEST_GUILESS_MAIN(TstGatewayLink)
#include "tst_gatewaylink.moc"
