// What every harness shares: a scratch application folder on a RAM disk when
// there is one, the real language file loaded, a recording prompts object (no
// window, no waiting) and the checks that stop the run with a finding.
#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ScriptedPrompts.h"
#include "mIdioma.h"

namespace fuzz {

// One bad input may be worth a few messages, never one per line of the file.
// The catalogue names up to ten repeated entries before counting the rest.
inline constexpr int kMaxMessages = 12;

[[noreturn]] inline void fail(const char* what, QString detail) {
    // Fuzzed names hold NULs and control bytes: shown escaped, the detail is not cut short.
    for (qsizetype i = detail.size() - 1; i >= 0; --i)
        if (detail.at(i).unicode() < 0x20 && detail.at(i) != QLatin1Char('\n'))
            detail.replace(i, 1, QStringLiteral("\\x%1").arg(detail.at(i).unicode(), 2, 16, QLatin1Char('0')));
    std::fprintf(stderr, "==fuzz== check failed: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

#define FUZZ_CHECK(cond, detail)                          \
    do {                                                  \
        if (!(cond)) ::fuzz::fail(#cond, (detail));       \
    } while (0)

struct Env {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    explicit Env(const QString& base) : dir(base + QStringLiteral("/pilmora-fuzz-XXXXXX")) {}
    QString path(const QString& name) const { return dir.filePath(name); }
};

inline Env& env() {
    static Env* e = [] {
        const QString shm = QStringLiteral("/dev/shm");
        const QFileInfo fi(shm);
        return new Env(fi.isDir() && fi.isWritable() ? shm : QDir::tempPath());
    }();
    return *e;
}

// The application folder is the scratch folder, with the real language file in it.
inline void init() {
    Env& e = env();
    if (!e.dir.isValid()) fail("scratch folder", e.dir.errorString());
    app().appFolder = e.dir.path();
    LlenaProtocolos();
    QFile::copy(QStringLiteral(PILMORA_SOURCE_DIR "/data/PilmoraASCII.LNG"), e.path(QStringLiteral("PilmoraASCII.LNG")));
    if (!CargaIdioma()) fail("language file", e.prompts.texts().join(QLatin1Char('\n')));
    e.prompts.clear();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fail("cannot write scratch file", path);
}

// After each input: no more than a handful of messages were shown.
// A table written after a lossy load keeps the old one as .bak, .bak1, ...: left
// in place they would pile up over the run, each write looking past all of them,
// and make one input's outcome depend on those before it.
inline void endInput() {
    ScriptedPrompts& p = env().prompts;
    FUZZ_CHECK(p.shown().size() <= kMaxMessages,
               QString::number(p.shown().size()) + QStringLiteral(" messages, first: ") + p.texts().value(0));
    p.clear();
    QDirIterator it(env().dir.path(), {QStringLiteral("*.bak*")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) QFile::remove(it.next());
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

}  // namespace fuzz
