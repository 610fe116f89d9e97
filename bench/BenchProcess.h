// Whole processes timed for the benchmarks: wall time and CPU time (user +
// system, as the kernel counts it for the child) of one run, and a command
// set beside a reference run pair by pair, in alternating order, so that a
// change in the machine's load reaches both halves of a pair alike. The
// median of the pairs' ratios is the figure that compares across machines.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern char** environ;

struct ProcessTime {
    double wallMs = 0, cpuMs = 0;
    int code = -1;  // exit status; -1 when it did not start or did not exit
};

// Runs `program args` with its output thrown away; `env` replaces the
// environment when given (an empty list: nothing set at all).
inline ProcessTime timeProcess(const QString& program, const QStringList& args, const QStringList* env = nullptr) {
    std::vector<QByteArray> store{program.toLocal8Bit()}, envStore;
    for (const QString& a : args) store.push_back(a.toLocal8Bit());
    std::vector<char*> argv, envp;
    for (QByteArray& b : store) argv.push_back(b.data());
    argv.push_back(nullptr);
    if (env) {
        for (const QString& e : *env) envStore.push_back(e.toLocal8Bit());
        for (QByteArray& b : envStore) envp.push_back(b.data());
        envp.push_back(nullptr);
    }
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    ProcessTime t;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int started = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), env ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&files);
    if (started != 0) return t;
    int status = 0;
    rusage use{};
    if (wait4(pid, &status, 0, &use) != pid) return t;
    t.wallMs = clock.nsecsElapsed() / 1e6;
    t.cpuMs = (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1e3 + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e3;
    if (WIFEXITED(status)) t.code = WEXITSTATUS(status);
    return t;
}

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline void printLoad(const char* when) {
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) > 0) std::printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
}

// `pairs` runs of `args` each beside one of `reference`; prints the medians
// and the median ratios and whether they stay within `target` times the
// reference. False when a run did not end with `code`.
inline bool printPaired(const char* name, const QString& program, const QStringList& reference, const QStringList& args,
                        int code, int pairs, double target) {
    std::vector<double> wall, cpu, refWall, refCpu, wallRatio, cpuRatio;
    for (int i = 0; i < pairs; ++i) {
        ProcessTime ref, run;
        if (i % 2) {
            run = timeProcess(program, args);
            ref = timeProcess(program, reference);
        } else {
            ref = timeProcess(program, reference);
            run = timeProcess(program, args);
        }
        if (ref.code != 0 || run.code != code) {
            std::printf("%-24s run %d ended with %d (reference %d), expected %d\n", name, i + 1, run.code, ref.code,
                        code);
            return false;
        }
        wall.push_back(run.wallMs), cpu.push_back(run.cpuMs), refWall.push_back(ref.wallMs);
        refCpu.push_back(ref.cpuMs), wallRatio.push_back(run.wallMs / ref.wallMs);
        cpuRatio.push_back(run.cpuMs / std::max(ref.cpuMs, 1.0));
    }
    const double rw = median(wallRatio), rc = median(cpuRatio);
    std::printf("%-24s wall %7.1f ms (ref %6.1f)  cpu %6.1f ms (ref %5.1f)  x%.2f wall  x%.2f cpu  %s x%.1f\n", name,
                median(wall), median(refWall), median(cpu), median(refCpu), rw, rc,
                rc <= target ? "within" : "NOT within", target);
    return true;
}
