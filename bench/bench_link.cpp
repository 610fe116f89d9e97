// The gateway link: dispatch of a flood of value reports, and the transfer of
// the largest LON project's download file to the simulated gateway over
// loopback UDP and a pseudo-terminal.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "AppGlobals.h"
#include "GatewayLink.h"
#include "GatewaySimProcess.h"
#include "LonConfig.h"
#include "LonDownload.h"
#include "LonFixtures.h"
#include "LonProject.h"
#include "ModulConfASCII.h"
#include "SerialTransport.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "UdpTransport.h"

namespace {
// Records writes only: enough to bring the link to its verified state.
class NullTransport : public Transport {
public:
    bool open(QString*) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray&) override { return true; }
    bool isDatagram() const override { return true; }
    QString describe() const override { return QStringLiteral("null"); }
    void feed(const QByteArray& b) { emit received(b); }

private:
    bool m_open = false;
};

// Wraps a real transport and times the tool's own work per chunk: from the
// moment a reply is handed to the link to the moment the next chunk is written.
class TimedTransport : public Transport {
public:
    explicit TimedTransport(std::unique_ptr<Transport> inner) : m_inner(std::move(inner)) {
        connect(m_inner.get(), &Transport::received, this, [this](const QByteArray& b) {
            // Only the acknowledgements: the next write is the next chunk.
            m_clock.start();
            m_armed = b.startsWith("Bytes:");
            emit received(b);
            m_armed = false;
        });
        connect(m_inner.get(), &Transport::failed, this, &Transport::failed);
    }
    bool open(QString* e) override { return m_inner->open(e); }
    void close() override { m_inner->close(); }
    bool isOpen() const override { return m_inner->isOpen(); }
    bool write(const QByteArray& b) override {
        if (m_armed) {
            const qint64 ns = m_clock.nsecsElapsed();
            m_totalNs += ns;
            m_maxNs = qMax(m_maxNs, ns);
            ++m_count;
            m_armed = false;
        }
        return m_inner->write(b);
    }
    qint64 pendingOutput() const override { return m_inner->pendingOutput(); }
    void flush(int ms) override { m_inner->flush(ms); }
    bool isDatagram() const override { return m_inner->isDatagram(); }
    QString describe() const override { return m_inner->describe(); }

    qint64 m_totalNs = 0, m_maxNs = 0, m_count = 0;

private:
    std::unique_ptr<Transport> m_inner;
    QElapsedTimer m_clock;
    bool m_armed = false;
};

QByteArray valueLines(int bytes, int* lines) {
    QByteArray b;
    b.reserve(bytes + 32);
    *lines = 0;
    while (b.size() < bytes) {
        b += "AD" + QByteArray::number(1000 + *lines % 9000) + "=" + QByteArray::number(*lines % 1000) + ".5\r\n";
        ++*lines;
    }
    return b;
}

void BM_ProcesaRecepcionValueReports(benchmark::State& state) {
    TestHome home(false);
    app().ProtProyecto = QStringLiteral("LON");
    GatewayLink link;
    auto t = std::make_unique<NullTransport>();
    NullTransport* raw = t.get();
    link.setTransport(std::move(t));
    link.setWaiter([](int) {});
    link.chkOnline_Click(true);
    raw->feed("Protocol:LON.\r");
    qint64 dispatched = 0;
    QObject::connect(&link, &GatewayLink::valueReported, [&](int, double) { ++dispatched; });
    int lines = 0;
    const QByteArray chunk = valueLines(int(state.range(0)) << 20, &lines);
    for (auto _ : state) {
        raw->feed(chunk);
    }
    if (dispatched != qint64(lines) * state.iterations()) state.SkipWithError("lines lost");
    state.counters["lines"] = lines;
    state.counters["dispatched/iter"] = double(dispatched) / double(state.iterations());
    state.SetBytesProcessed(qint64(state.iterations()) * chunk.size());
}
BENCHMARK(BM_ProcesaRecepcionValueReports)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

// The largest LON project (4000 points on 128 devices) and its download file.
struct LargestProject {
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("Gw"));
    QByteArray file;
    LargestProject() {
        writeLonFixture(folder, largeLonFixture(128, 4000, QStringLiteral("B-Extended"), QStringLiteral("V.43.1.x")));
        LonConfig cfg;
        SignalGrid grid;
        QVector<InfoColumna> info;
        loadLonProject(folder, cfg, grid, info);
        file = composeLonDownload(cfg, grid, LonTuning::fromIni(), QDateTime(QDate(2026, 12, 6), QTime(7, 0))).bytes;
        writeAll(folder + QStringLiteral("/LON.Plmx"), file);
    }
};

// One transfer per iteration, over "udp" or "pty", the simulator holding each
// acknowledgement `state.range(0)` ms.
void transfer(benchmark::State& state, const QString& where) {
    TestHome home(false);
    ScriptedPrompts quiet;
    LargestProject p;
    const int delay = int(state.range(0));
    GatewaySimProcess sim(where, {QStringLiteral("--ack-delay"), QString::number(delay), QStringLiteral("--tick"),
                                  QStringLiteral("100000")});
    const QString guard = nonLoopback(p.folder, QStringLiteral("127.0.0.1"));
    if (!guard.isEmpty() || !sim.started()) {
        state.SkipWithError(guard.isEmpty() ? "simulator did not start" : qPrintable(guard));
        return;
    }
    const int chunks = int((p.file.size() + 127) / 128);
    qint64 ownNs = 0, ownMax = 0, ownCount = 0;
    double worst = 0;
    for (auto _ : state) {
        AppGlobals& g = app();
        g.RutaProyecto = p.folder;
        g.ProtProyecto = g.NombreIni = QStringLiteral("LON");
        g.IPConexion = g.IPNueva = QStringLiteral("127.0.0.1");
        GatewayLink link;
        std::unique_ptr<Transport> inner;
        if (where == QLatin1String("udp"))
            inner = std::make_unique<UdpTransport>(QStringLiteral("127.0.0.1"), sim.port());
        else
            inner = std::make_unique<SerialTransport>(0, sim.device(), QStringLiteral("57600,n,8,1"));
        auto timed = std::make_unique<TimedTransport>(std::move(inner));
        TimedTransport* t = timed.get();
        link.setTransport(std::move(timed));
        QEventLoop loop;
        bool ok = false;
        QObject::connect(&link, &GatewayLink::protocolConfirmed, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        // The transfer ends at the gateway's answer (the link's restart
        // over UDP after it is not part of it).
        qint64 endNs = 0;
        QElapsedTimer clock;
        QObject::connect(&link, &GatewayLink::transferFinished, &loop, [&](bool good) {
            endNs = clock.nsecsElapsed();
            ok = good;
            loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        link.chkOnline_Click(true);
        link.onTick();
        loop.exec();
        if (g.EstadoConexion != 2) {
            state.SkipWithError("not on line");
            return;
        }
        t->m_totalNs = t->m_maxNs = t->m_count = 0;
        clock.start();
        link.EnviaFichero();
        loop.exec();
        const double seconds = double(endNs) / 1e9;
        state.SetIterationTime(seconds);
        worst = qMax(worst, seconds);
        if (!ok) {
            state.SkipWithError("transfer failed");
            return;
        }
        ownNs += t->m_totalNs;
        ownCount += t->m_count;
        ownMax = qMax(ownMax, t->m_maxNs);
        link.chkOnline_Click(false);
    }
    state.counters["chunks"] = chunks;
    state.counters["own_us_per_chunk"] = ownCount ? double(ownNs) / double(ownCount) / 1000.0 : 0;
    state.counters["own_us_max"] = double(ownMax) / 1000.0;
    if (delay > 0) state.counters["worst/(chunks*delay)"] = worst / (chunks * delay / 1000.0);
}

void BM_TransferLargestLonUdp(benchmark::State& state) { transfer(state, QStringLiteral("udp")); }
void BM_TransferLargestLonPty(benchmark::State& state) { transfer(state, QStringLiteral("pty")); }
BENCHMARK(BM_TransferLargestLonUdp)->Arg(0)->Arg(2)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransferLargestLonPty)->Arg(0)->Arg(2)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
