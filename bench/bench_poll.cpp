// Refreshing every signal of the largest LON project (4,000 points) against the
// simulated gateway on loopback UDP: the viewer's Refresh (the pass, the link
// and the signal list, without a screen) and `pilmora poll` as a whole process.
// Arg: the simulator's --answer-delay in ms. Targets: under 10 s answering at
// once (it took 200 s at one request every 50 ms); at most 4,000 x 35 ms = 140 s
// with --answer-delay 30.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "AppGlobals.h"
#include "GatewayLink.h"
#include "GatewaySimProcess.h"
#include "LonFixtures.h"
#include "SenyalesMonitor.h"
#include "TestSupport.h"
#include "UdpTransport.h"
#include "VisorSenyales.h"

namespace {
struct Largest {
    TestHome home{false};
    QString folder = home.projectsRoot() + QStringLiteral("/Big");
    bool ok =
        writeLonFixture(folder, largeLonFixture(128, 4000, QStringLiteral("B-Extended"), QStringLiteral("V.43.1.x")));
};

// The simulator serving the project, answering each point request `delay` ms after the previous answer,
// with no value changes of its own during the run.
QStringList simArgs(const QString& folder, int delay) {
    return {QStringLiteral("--project"),      folder,
            QStringLiteral("--answer-delay"), QString::number(delay),
            QStringLiteral("--tick"),         QStringLiteral("600000")};
}
}  // namespace

static void BM_RefreshViewer4000(benchmark::State& state) {
    Largest p;
    GatewaySimProcess sim(QStringLiteral("udp"), simArgs(p.folder, int(state.range(0))));
    if (!p.ok || !sim.started() || !nonLoopback(p.folder, QStringLiteral("127.0.0.1")).isEmpty()) {
        state.SkipWithError("fixture or simulator");
        return;
    }
    ScriptedPrompts quiet;
    AppGlobals& g = app();
    g.RutaProyecto = p.folder;
    g.ProtProyecto = g.NombreIni = QStringLiteral("LON");
    g.IPConexion = g.IPNueva = QStringLiteral("127.0.0.1");
    GatewayLink link;
    SenyalesSink sink;
    link.setValueSink(&sink);
    link.setTransport(std::make_unique<UdpTransport>(QStringLiteral("127.0.0.1"), sim.port()));
    QEventLoop loop;
    QObject::connect(&link, &GatewayLink::protocolConfirmed, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer onlineWait;  // stopped once on line, so it cannot end the pass's loop later
    onlineWait.setSingleShot(true);
    QObject::connect(&onlineWait, &QTimer::timeout, &loop, &QEventLoop::quit);
    onlineWait.start(20000);
    link.chkOnline_Click(true);
    link.onTick();
    loop.exec();
    onlineWait.stop();
    if (g.EstadoConexion != 2) {
        state.SkipWithError("not on line");
        return;
    }
    Carga_DatosMFAPilmora(QStringLiteral("LON"));
    VisorSenyales visor;
    visor.transmite = [&](const QString& t) { link.TransmitPilmora(t, false); };
    visor.Datos_Carga();
    QObject::connect(&visor.sondeo, &PollPass::terminada, &loop, &QEventLoop::quit);
    int unanswered = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        visor.cmdRefrescar();
        loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        unanswered = visor.sondeo.total() - visor.sondeo.contestadas();
    }
    state.counters["signals"] = visor.sondeo.total();
    state.counters["unanswered"] = unanswered;
    link.chkOnline_Click(false);
}
BENCHMARK(BM_RefreshViewer4000)->Arg(0)->Arg(30)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

static void BM_PollCommand4000(benchmark::State& state) {
    Largest p;
    GatewaySimProcess sim(QStringLiteral("udp"), simArgs(p.folder, int(state.range(0))));
    if (!p.ok || !sim.started() || !nonLoopback(p.folder, QStringLiteral("127.0.0.1")).isEmpty()) {
        state.SkipWithError("fixture or simulator");
        return;
    }
    int code = -1;
    for (auto _ : state) {
        QProcess poll;
        poll.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        poll.start(QStringLiteral(PILMORA_BENCH_BIN "/pilmora"),
                   {QStringLiteral("--home"), p.home.path(), QStringLiteral("poll"), p.folder, QStringLiteral("--udp"),
                    QStringLiteral("127.0.0.1:") + QString::number(sim.port())});
        poll.waitForFinished(600000);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        code = poll.exitCode();
    }
    if (code != 0) state.SkipWithError("pilmora poll failed");
}
BENCHMARK(BM_PollCommand4000)->Arg(0)->Arg(30)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
