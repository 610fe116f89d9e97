// INI reads from a large project file, and loading the language file at start-up.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "AppGlobals.h"
#include "ModulINI.h"
#include "TestSupport.h"
#include "mIdioma.h"

namespace {

constexpr int kSections = 20, kKeysPerSection = 100, kReads = 1000;

QString makeIni(const QTemporaryDir& dir, bool settled) {
    const QString path = dir.filePath("LON.ini");
    QByteArray text = "; gateway settings\r\n";
    for (int s = 0; s < kSections; ++s) {
        text += "[Section" + QByteArray::number(s) + "]\r\n";
        for (int k = 0; k < kKeysPerSection; ++k)
            text += "D" + QByteArray::number(k) + "-NId=0000000012AB" + QByteArray::number(s * 1000 + k) + "\r\n";
    }
    writeAll(path, text);
    if (settled) {
        // A file last changed a minute ago, as project files usually are.
        QFile f(path);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    }
    return path;
}

// 1,000 reads of different keys from a 2,000-key file.
void readKeys(benchmark::State& state, bool settled) {
    QTemporaryDir dir;
    const QString path = makeIni(dir, settled);
    QStringList sections, keys;
    for (int i = 0; i < kReads; ++i) {
        sections << QStringLiteral("section%1").arg((i * 7) % kSections);
        keys << QStringLiteral("d%1-nid").arg((i * 13) % kKeysPerSection);
    }
    for (auto _ : state) {
        int found = 0;
        for (int i = 0; i < kReads; ++i) found += !iniRead(path, sections[i], keys[i], QString()).isEmpty();
        if (found != kReads) state.SkipWithError("key not found");
    }
    state.SetItemsProcessed(state.iterations() * kReads);
}

void BM_Ini1000ReadsSettledFile(benchmark::State& state) { readKeys(state, true); }
void BM_Ini1000ReadsJustWrittenFile(benchmark::State& state) { readKeys(state, false); }

void BM_IniWriteOneKey(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = makeIni(dir, true);
    int n = 0;
    for (auto _ : state) iniWrite(path, "Section10", "D50-NId", QString::number(n++));
}

// What saving a LON gateway with 128 devices costs: five keys a device plus the rest.
void BM_IniSaveLonGateway(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("LON.ini");
    for (auto _ : state) {
        for (int d = 1; d <= 128; ++d)
            for (const char* k : {"-On", "-NId", "-Sub", "-Nod", "-Nom"})
                iniWrite(path, "LON", "D" + QString::number(d) + k, QString::number(d * 7));
        for (int k = 0; k < 20; ++k) iniWrite(path, "ASCII", "K" + QString::number(k), "1");
    }
}

void BM_CargaIdioma(benchmark::State& state) {
    ScriptedPrompts prompts;
    TestHome home(false, false);
    for (auto _ : state)
        if (!CargaIdioma() || !prompts.shown().isEmpty()) state.SkipWithError("language file did not load cleanly");
    state.counters["keys"] = double(app().Textos.size());
}

}  // namespace

BENCHMARK(BM_Ini1000ReadsSettledFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ini1000ReadsJustWrittenFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniWriteOneKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniSaveLonGateway)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CargaIdioma)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
