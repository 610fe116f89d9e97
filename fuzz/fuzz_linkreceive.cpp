// Gateway link, receive side: a session of bytes from the gateway cut at
// arbitrary chunk boundaries, mixed with timer ticks, a file transfer and the
// user going on and off line. The link state never leaves 0..5, the unprocessed
// text stays bounded, and messages stay few.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

#include "FuzzSupport.h"
#include "GatewayLink.h"
#include "Transport.h"

namespace {
class MemoryTransport : public Transport {
public:
    explicit MemoryTransport(bool datagram) : m_datagram(datagram) {}
    bool open(QString*) override {
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override {
        written += bytes.size();
        return m_open;
    }
    bool isDatagram() const override { return m_datagram; }
    QString describe() const override { return QStringLiteral("memory"); }
    void feed(const QByteArray& bytes) { emit received(bytes); }
    qint64 written = 0;

private:
    bool m_datagram;
    bool m_open = false;
};

class Sink : public ValueSink {
public:
    bool setValue(const QString& key, const QString&, QString*) override { return key.endsWith(QLatin1Char('1')); }
    void clearAll() override {}
};
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    app().RutaProyecto = fuzz::env().path(QString());
    app().ProtProyecto = QStringLiteral("LON");
    QByteArray file(300, 'x');  // three chunks of 128 bytes or less
    fuzz::writeFile(fuzz::env().path(QStringLiteral("LON.PLMX")), file);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    app().EstadoConexion = 0;
    app().EspiaInt = in.ConsumeBool();
    app().EspiaExt = in.ConsumeBool();
    app().IPNueva = in.ConsumeBool() ? QStringLiteral("127.0.0.1") : QString();
    app().VerDatosAbierto = in.ConsumeBool();
    GatewayLink link;
    auto owned = std::make_unique<MemoryTransport>(in.ConsumeBool());
    MemoryTransport* wire = owned.get();
    link.setTransport(std::move(owned));
    link.setWaiter([](int) {});
    Sink sink;
    link.setValueSink(&sink);
    link.chkOnline_Click(true);
    int goesOnLine = 1;
    while (in.remaining_bytes() > 0) {
        const int op = in.ConsumeIntegralInRange(0, 15);
        if (op <= 10) {
            const size_t n = in.ConsumeIntegralInRange<size_t>(0, 200);
            const std::string bytes = in.ConsumeBytesAsString(n);
            // Op 10 sends its chunk again and again, as a peer stuck in a loop would:
            // enough to pass the 64 KiB kept of text without a CR.
            const int times = op == 10 ? in.ConsumeIntegralInRange(1, 600) : 1;
            for (int t = 0; t < times; ++t) wire->feed(QByteArray(bytes.data(), qsizetype(bytes.size())));
        } else if (op == 11) {
            link.onTick();
        } else if (op == 12) {
            link.EnviaFichero();
        } else if (op == 13 && goesOnLine < 4) {
            ++goesOnLine;
            link.chkOnline_Click(true);
        } else if (op == 14) {
            link.ControlaBusPilmora(in.ConsumeBool() ? QStringLiteral("INT") : QStringLiteral("EXT"), in.ConsumeBool());
        } else if (op == 15) {
            link.chkOnline_Click(false);
        }
        const int state = app().EstadoConexion;
        FUZZ_CHECK(state >= 0 && state <= 5, QString::number(state));
        FUZZ_CHECK(link.BufferRx().size() <= GatewayLink::kMaxPendiente, QString::number(link.BufferRx().size()));
        FUZZ_CHECK(link.PosFichero() >= 0 && link.PosFichero() <= link.TamFichero() + GatewayLink::kTamBloque + 1,
                   QString::number(link.PosFichero()));
    }
    link.PasaOffLine();
    FUZZ_CHECK(app().EstadoConexion == 0, QString());
    fuzz::endInput();
    return 0;
}
