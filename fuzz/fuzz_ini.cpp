// INI store: any file reads without harm, and every key and value the format
// can hold reads back as written - at once, in a batch, and from a fresh parse
// of the file that results.
#include <fuzzer/FuzzedDataProvider.h>

#include <QHash>
#include <algorithm>

#include "FileDamage.h"
#include "FuzzSupport.h"
#include "ModulINI.h"

namespace {
bool blank(QChar c) {
    const ushort u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f';
}
QString trim(QString s) {
    while (!s.isEmpty() && blank(s.front())) s.remove(0, 1);
    while (!s.isEmpty() && blank(s.back())) s.chop(1);
    return s;
}
// What a read gives back for a written value.
QString expected(const QString& value) {
    QString t = trim(value);
    if (t.size() >= 2 && (t.front() == QLatin1Char('"') || t.front() == QLatin1Char('\'')) && t.back() == t.front())
        t = t.mid(1, t.size() - 2);
    return t.left(254);
}
// Line ends split a line; a NUL ends a name or value where the profile calls take
// strings (one of "Ab\0c" and "Ab" is all such a caller can ever name); the other
// characters no text file holds are replaced when written, so the file never
// reads as damaged.
bool breaks(const QString& s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')) ||
           std::any_of(s.begin(), s.end(), isDamagingChar);
}
// A name or value that one line of the file can hold and that reads back as itself.
bool holdable(const QString& s, const QString& k, const QString& v) {
    const QString tk = trim(k);
    return !breaks(s) && !breaks(k) && !breaks(v) && !trim(s).isEmpty() && !tk.isEmpty() &&
           !tk.contains(QLatin1Char('=')) && !tk.startsWith(QLatin1Char('['));
}
QString text(FuzzedDataProvider& in, size_t max) {
    const std::string s = in.ConsumeRandomLengthString(max);
    return fromAnsi(QByteArray(s.data(), qsizetype(s.size())));
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QString path = fuzz::env().path(QStringLiteral("f.ini"));
    const QString copy = fuzz::env().path(QStringLiteral("copy.ini"));
    const std::string file = in.ConsumeRandomLengthString(size);
    fuzz::writeFile(path, QByteArray(file.data(), qsizetype(file.size())));

    // Reads of the names the file itself holds, as a caller would ask for them.
    QString section;
    int asked = 0;
    for (const QString& line : fromAnsi(QByteArray(file.data(), qsizetype(file.size()))).split(QLatin1Char('\n'))) {
        if (++asked > 64) break;
        const QString t = trim(line);
        if (t.startsWith(QLatin1Char('['))) {
            section = t.mid(1, t.lastIndexOf(QLatin1Char(']')) - 1);
        } else if (t.contains(QLatin1Char('='))) {
            const QString key = t.left(t.indexOf(QLatin1Char('=')));
            FUZZ_CHECK(iniRead(path, section, key, QStringLiteral("d")).size() <= 254, key);
            iniReadInt(path, section, key, 7);
        }
    }

    // Writes; the expectations are forgotten after a value that breaks lines,
    // since that rightly changes what other keys read.
    QHash<QString, QPair<QString, QString>> want;  // folded section + NUL + folded key -> (section, key)
    QHash<QString, QString> values;
    auto id = [](const QString& s, const QString& k) {
        return trim(s).toCaseFolded() + QChar(0) + trim(k).toCaseFolded();
    };
    auto checkAll = [&](const QString& p, const char* when) {
        for (auto it = want.constBegin(); it != want.constEnd(); ++it) {
            const QString got = iniRead(p, it->first, it->second, QStringLiteral("default"));
            FUZZ_CHECK(got == values.value(it.key()),
                       QString::fromLatin1(when) + QStringLiteral(": [") + it->first + QStringLiteral("] ") +
                           it->second + QStringLiteral(" read '") + got + QStringLiteral("' wanted '") +
                           values.value(it.key()) + QLatin1Char('\''));
        }
    };
    {
        const bool batch = in.ConsumeBool();
        std::unique_ptr<IniBatch> b(batch ? new IniBatch : nullptr);
        for (int n = 0; n < 8 && in.remaining_bytes() > 0; ++n) {
            const QString s = text(in, 40), k = text(in, 40), v = text(in, 300);
            const bool ok = iniWrite(path, s, k, v);
            FUZZ_CHECK(ok == (!trim(s).isEmpty() && !trim(k).isEmpty()), s + QLatin1Char('/') + k);
            if (!ok) continue;
            if (!holdable(s, k, v)) {
                want.clear();
                values.clear();
                continue;
            }
            want.insert(id(s, k), {s, k});
            values.insert(id(s, k), expected(v));
            checkAll(path, batch ? "in batch" : "after write");
        }
    }
    checkAll(path, "after batch");
    // A copy under another name is parsed from its bytes: no patched state differs.
    QFile::remove(copy);
    QFile::copy(path, copy);
    checkAll(copy, "fresh parse");
    fuzz::endInput();
    return 0;
}
