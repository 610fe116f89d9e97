// Whole-process costs as ratios measured side by side in one run, so a busy
// machine slows both sides of each pair alike:
//   - `pilmora generate` and `pilmora check` on the largest LON project (128
//     devices, 4000 points) against `pilmora --version`, the bare process;
//   - the LON editor opening the largest project against opening an empty one
//     (each in a fresh process that has opened the editor once before, so both
//     sides find fonts and styles ready).
// Each pair runs one after the other, in alternating order; printed are the
// medians of the times, of the pairs' ratios and of the peak memory (maximum
// resident set of the process). BENCH_PAIRS sets the number of pairs (15).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "AppGlobals.h"
#include "LonFixtures.h"
#include "ProcessMemory.h"
#include "SignalGrid.h"
#include "TestSupport.h"
#include "fConfLonA.h"
#include "mIdioma.h"

namespace {

struct Run {
    double ms = 0;    // wall time of the process, or the opening it reported
    double mib = 0;   // peak resident memory of the process
    bool ok = false;  // exit status 0 (and, for the editor, the rows expected)
};

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Runs a program to its end; `reported`, when given, takes the time the child
// printed on its standard output instead of the wall time.
Run runProcess(const std::vector<QByteArray>& argv, bool reported = false) {
    int pipefd[2] = {-1, -1};
    if (reported && pipe(pipefd) != 0) return {};
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(reported ? pipefd[1] : null, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const QByteArray& a : argv) args.push_back(const_cast<char*>(a.constData()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    QByteArray out;
    if (reported) {
        close(pipefd[1]);
        char buf[256];
        ssize_t n;
        while ((n = read(pipefd[0], buf, sizeof buf)) > 0) out.append(buf, n);
        close(pipefd[0]);
    }
    int status = 0;
    rusage ru{};
    if (pid < 0 || wait4(pid, &status, 0, &ru) != pid) return {};
    Run r;
    r.ms = nowMs() - start;
    r.mib = ru.ru_maxrss / 1024.0;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (reported) {
        bool number = false;
        r.ms = out.trimmed().toDouble(&number);
        r.ok = r.ok && number;
    }
    return r;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// One side of a comparison: its runs, paired by index with the base's.
struct Side {
    Side(const char* n, std::vector<QByteArray> a, bool r = false) : name(n), argv(std::move(a)), reported(r) {}
    const char* name;
    std::vector<QByteArray> argv;
    bool reported = false;
    std::vector<Run> runs;
};

void print(const Side& base, const std::vector<Side>& others) {
    std::vector<double> ms, mib;
    for (const Run& r : base.runs) ms.push_back(r.ms), mib.push_back(r.mib);
    std::printf("  %-34s %9.2f ms %8.1f MiB\n", base.name, median(ms), median(mib));
    for (const Side& s : others) {
        std::vector<double> t, m, rt, rm;
        for (size_t i = 0; i < s.runs.size(); ++i) {
            t.push_back(s.runs[i].ms), m.push_back(s.runs[i].mib);
            rt.push_back(s.runs[i].ms / base.runs[i].ms), rm.push_back(s.runs[i].mib / base.runs[i].mib);
        }
        std::printf("  %-34s %9.2f ms %8.1f MiB   time x%.2f   memory x%.2f\n", s.name, median(t), median(m),
                    median(rt), median(rm));
    }
}

// Runs `pairs` rounds of base and others, the order turned round every round.
bool measure(Side& base, std::vector<Side>& others, int pairs) {
    for (int i = 0; i < pairs; ++i) {
        std::vector<Side*> order{&base};
        for (Side& s : others) order.push_back(&s);
        if (i % 2) std::reverse(order.begin(), order.end());
        for (Side* s : order) {
            s->runs.push_back(runProcess(s->argv, s->reported));
            if (!s->runs.back().ok) {
                std::fprintf(stderr, "bench_ratios: %s failed\n", s->name);
                return false;
            }
        }
    }
    return true;
}

// Child: opens the editor once on the empty project, then times opening a new
// editor on `folder` until it is shown; prints the milliseconds. Exit 1 when
// the grid does not hold at least `rows` data rows.
int openEditor(int argc, char** argv, const QString& home, const QString& empty, const QString& folder, int rows) {
    keepFreedMemoryForReuse();  // as the window program does first
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication a(argc, argv);
    ScriptedPrompts prompts;
    resetApp();
    app().appFolder = home;
    LlenaProtocolos();
    app().RutaPlantillas = home + QStringLiteral("/TemplatesASCII");
    app().RutaProyectos = home + QStringLiteral("/ProjectsASCII");
    CargaIdioma();
    app().ProtProyecto = QStringLiteral("LON");
    {
        app().RutaProyecto = empty;
        fConfLonA warm;
        warm.Form_Load();
        warm.show();
        QApplication::processEvents();
    }
    app().RutaProyecto = folder;
    fConfLonA w;
    QElapsedTimer t;
    t.start();
    w.Form_Load();
    w.show();
    QApplication::processEvents();
    const double ms = t.nsecsElapsed() / 1e6;
    // A box the opening showed means it did not open as a user's would: not a figure.
    for (const QString& shown : prompts.texts()) std::fprintf(stderr, "%s\n", qPrintable(shown));
    if (w.gridModel().dataRows() < rows || !prompts.shown().isEmpty()) return 1;
    std::printf("%.3f\n", ms);
    return 0;
}

// The home folder the runs use: language file, templates, the large and the empty project.
bool writeHome(const QString& home, const QString& large, const QString& empty) {
    const QString bin = QStringLiteral(PILMORA_BENCH_BIN);
    const LonFixture none;  // no devices, no signals
    return QDir().mkpath(home) && QFile::copy(bin + "/PilmoraASCII.LNG", home + "/PilmoraASCII.LNG") &&
           copyTemplates(home + "/TemplatesASCII") &&
           writeLonFixture(large,
                           largeLonFixture(128, 4000, QStringLiteral("B-Extended"), QStringLiteral("V.43.1.x"))) &&
           writeLonFixture(empty, none);
}

}  // namespace

int main(int argc, char** argv) {
    // The editor's child: --open-editor HOME EMPTY FOLDER ROWS. Any other command line
    // would run the whole bench again inside the child, and that one's children...
    if (argc == 6 && QByteArray(argv[1]) == "--open-editor")
        return openEditor(1, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                          QString::fromLocal8Bit(argv[4]), QByteArray(argv[5]).toInt());
    // `--home DIR` only writes the home folder, for runs by hand (profilers, comparing two builds).
    const bool homeOnly = argc == 3 && QByteArray(argv[1]) == "--home";
    QTemporaryDir dir;
    const QString home = homeOnly ? QString::fromLocal8Bit(argv[2]) : dir.path();
    const QString large = home + QStringLiteral("/ProjectsASCII/Large");
    const QString empty = home + QStringLiteral("/ProjectsASCII/Empty");
    if (!writeHome(home, large, empty)) {
        std::fprintf(stderr, "bench_ratios: cannot write the projects into %s\n", qPrintable(home));
        return 1;
    }
    if (homeOnly) return 0;
    const int pairs =
        qMax(3, qEnvironmentVariableIntValue("BENCH_PAIRS") ? qEnvironmentVariableIntValue("BENCH_PAIRS") : 15);
    const QString bin = QStringLiteral(PILMORA_BENCH_BIN);
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("Paired runs: %d pairs; load average at start %.2f %.2f %.2f\n", pairs, load[0], load[1], load[2]);

    const QByteArray cli = QFile::encodeName(bin + "/pilmora"), h = QFile::encodeName(home),
                     l = QFile::encodeName(large), e = QFile::encodeName(empty);
    Side version{"pilmora --version", {cli, "--version"}};
    std::vector<Side> cliSides{
        {"pilmora generate (4000 points)", {cli, "--home", h, "generate", l, "--at", "2026/12/06 07:00:00"}},
        {"pilmora check (4000 points)", {cli, "--home", h, "check", l}}};
    const QByteArray self = "/proc/self/exe";  // this program again, whatever the folder it was started from
    Side emptyEditor{"LON editor opening, empty project", {self, "--open-editor", h, e, e, "0"}, true};
    std::vector<Side> editorSides{{"LON editor opening, 4000 points", {self, "--open-editor", h, e, l, "4000"}, true}};
    if (!measure(version, cliSides, pairs) || !measure(emptyEditor, editorSides, pairs)) return 1;
    std::printf("Whole process (median of %d; ratios: median of the pairs' ratios):\n", pairs);
    print(version, cliSides);
    std::printf("Opening the LON editor (time inside the process; memory of the whole process):\n");
    print(emptyEditor, editorSides);
    getloadavg(load, 3);
    std::printf("Load average at end %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    return 0;
}
