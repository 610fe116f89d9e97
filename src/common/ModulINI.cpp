// INI store with the behaviour of the Windows private-profile functions, so that
// files written by the earlier Windows tool and by hand read back the same way.
#include "ModulINI.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QMutex>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <utility>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "FileDamage.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {

// The callers read into a 255-character buffer: 254 characters and the NUL.
constexpr int kMaxValue = 254;
// A file modified this recently may change again without its size or time
// changing (coarse file-system clocks), so its cached copy is checked byte by byte.
constexpr qint64 kRacyWindowMs = 2000;
constexpr int kMaxCachedFiles = 64;

bool isBlank(QChar c) {
    const ushort u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f';
}

QStringView trimmed(QStringView s) {
    int b = 0, e = int(s.size());
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.mid(b, e - b);
}

QString foldKey(QStringView name) { return trimmed(name).toString().toCaseFolded(); }

// One line of the file as the profile functions see it.
struct Line {
    enum Kind { Other, Section, Entry };
    Kind kind = Other;
    QString name;   // folded section or key name
    QString value;  // entry value, blanks around it removed, quotes kept
};

Line classify(const QString& text) {
    Line l;
    const QStringView t = trimmed(text);
    if (t.startsWith(QLatin1Char('['))) {
        // The section name runs to the last ']' of the line; text after it is ignored.
        const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            l.kind = Line::Section;
            l.name = foldKey(t.mid(1, close - 1));
            return l;
        }
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq >= 0) {
        l.kind = Line::Entry;
        l.name = foldKey(t.left(eq));
        l.value = trimmed(t.mid(eq + 1)).toString();
    }
    return l;
}

struct Parsed {
    QByteArray raw;
    // A damaged file is read up to its first bad line; the rest is not there.
    FileDamage damage;
    QStringList lines;
    QVector<Line> info;
    // First section of each name -> (folded key -> index of its first entry line).
    QHash<QString, QHash<QString, int>> index;
    QHash<QString, int> sectionLine;
};

std::shared_ptr<Parsed> parse(const QByteArray& raw) {
    auto p = std::make_shared<Parsed>();
    p->raw = raw;
    p->damage = findFileDamage(raw, FileShape::Text);
    const QString text = fromAnsi(p->damage ? raw.left(p->damage.offset) : raw);
    // Lines end in CR LF, LF or a lone CR.
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            p->lines << text.mid(start, i - start);
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            start = i + 1;
        }
    }
    if (start < n) p->lines << text.mid(start);

    p->info.reserve(p->lines.size());
    QHash<QString, int>* keys = nullptr;  // keys of the section being read, or null for a repeated one
    bool inFirst = false;
    for (int i = 0; i < p->lines.size(); ++i) {
        Line l = classify(p->lines[i]);
        if (l.kind == Line::Section) {
            inFirst = !p->sectionLine.contains(l.name);
            if (inFirst) {
                p->sectionLine.insert(l.name, i);
                keys = &p->index[l.name];
            } else {
                keys = nullptr;  // only the first section of a name is ever searched
            }
        } else if (l.kind == Line::Entry && inFirst && keys && !keys->contains(l.name)) {
            keys->insert(l.name, i);
        }
        p->info.append(std::move(l));
    }
    return p;
}

namespace fs = std::filesystem;

// Size and modification time, straight from the file system: no time-zone work,
// which would cost more than the lookup itself.
struct Stamp {
    bool isFile = false;
    std::uintmax_t size = 0;
    fs::file_time_type mtime;
};

Stamp stampOf(const QString& path) {
#ifdef Q_OS_WIN
    const fs::path p(path.toStdWString());
#else
    const fs::path p(QFile::encodeName(path).toStdString());
#endif
    Stamp st;
    std::error_code ec;
    st.size = fs::file_size(p, ec);  // fails for folders and missing files
    if (ec) return st;
    st.mtime = fs::last_write_time(p, ec);
    st.isFile = !ec;
    return st;
}

bool isRecent(fs::file_time_type mtime) {
    return fs::file_time_type::clock::now() - mtime < std::chrono::milliseconds(kRacyWindowMs);
}

struct CacheEntry {
    Stamp stamp;
    bool racy = true;
    std::shared_ptr<Parsed> parsed;
};

QMutex g_mutex;
QHash<QString, CacheEntry> g_cache;
// Files written while an IniBatch lives: their new content, not yet on disk.
int g_batchDepth = 0;
QHash<QString, std::shared_ptr<Parsed>> g_pending;
// Files a batched write could not even prepare (path and reason), told once when it ends.
QMap<QString, QString> g_batchFaults;
// Why the last iniWrite failed.
QString g_writeError;
// While an IniReadBatch lives: each file as first read (null when missing), and
// each project INI path as first found.
int g_readDepth = 0;
QHash<QString, std::shared_ptr<Parsed>> g_readSeen;
QHash<QString, QString> g_pathSeen;

void remember(const QString& path, const Stamp& st, std::shared_ptr<Parsed> p) {
    if (g_cache.size() >= kMaxCachedFiles && !g_cache.contains(path)) g_cache.clear();
    CacheEntry e;
    e.stamp = st;
    e.racy = isRecent(st.mtime);
    e.parsed = std::move(p);
    g_cache.insert(path, e);
}

std::shared_ptr<Parsed> loadFresh(const QString& path);

// The parsed file, or null when it does not exist or cannot be read. Called with the mutex held.
std::shared_ptr<Parsed> load(const QString& path) {
    if (const auto pending = g_pending.constFind(path); pending != g_pending.constEnd()) return *pending;
    if (g_readDepth > 0) {
        if (const auto seen = g_readSeen.constFind(path); seen != g_readSeen.constEnd()) return *seen;
        auto p = loadFresh(path);
        g_readSeen.insert(path, p);
        return p;
    }
    return loadFresh(path);
}

std::shared_ptr<Parsed> loadFresh(const QString& path) {
    const Stamp st = stampOf(path);
    if (!st.isFile) {
        g_cache.remove(path);
        return nullptr;
    }
    auto it = g_cache.find(path);
    if (it != g_cache.end() && it->stamp.size == st.size && it->stamp.mtime == st.mtime) {
        if (!it->racy) return it->parsed;
        QByteArray raw;
        if (readFileBytes(path, &raw) && raw == it->parsed->raw) {
            it->racy = isRecent(it->stamp.mtime);
            return it->parsed;
        }
    }
    QByteArray raw;
    if (!readFileBytes(path, &raw)) {
        g_cache.remove(path);
        return nullptr;
    }
    auto p = parse(raw);
    // What followed the bad line is lost at the next write: the old file is kept first.
    // A file read whole again (repaired meanwhile) needs no copy.
    markLossyLoad(path, bool(p->damage));
    remember(path, st, p);
    return p;
}

// Keys asked of a damaged file that it did not hold: they took their defaults.
QHash<QString, QStringList> g_defaulted;

// The stored value of the key, or nothing when section or key is missing.
bool lookup(const QString& path, const QString& section, const QString& key, QString* value) {
    const QString s = foldKey(section), k = foldKey(key);
    if (k.isEmpty()) return false;
    QMutexLocker lock(&g_mutex);
    const auto p = load(path);
    if (!p) return false;
    const auto sec = p->index.constFind(s);
    const int at = sec == p->index.constEnd() ? -1 : sec->value(k, -1);
    if (at < 0) {
        if (p->damage) {
            QStringList& taken = g_defaulted[path];
            const QString name = trimmed(section).toString() + QLatin1Char('/') + trimmed(key).toString();
            if (!taken.contains(name)) taken << name;
        }
        return false;
    }
    *value = p->info[at].value;
    return true;
}

QString stripQuotes(const QString& v) {
    if (v.size() >= 2) {
        const QChar q = v.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && v.back() == q) return v.mid(1, v.size() - 2);
    }
    return v;
}

// Optional sign and the leading decimal digits; 32-bit wrap-around like the system's reader.
qint32 leadingInteger(const QString& v) {
    int i = 0;
    while (i < v.size() && isBlank(v[i])) ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == QLatin1Char('-') || v[i] == QLatin1Char('+'))) negative = v[i++] == QLatin1Char('-');
    quint32 n = 0;
    for (; i < v.size() && v[i] >= QLatin1Char('0') && v[i] <= QLatin1Char('9'); ++i)
        n = n * 10u + quint32(v[i].unicode() - '0');
    if (negative) n = 0u - n;
    return qint32(n);
}

// A file or a folder in its place; a device (a link to one) has no old text and
// is written in place.
bool holdsText(const QString& path) {
    const QFileInfo fi(path);
    return fi.isFile() || fi.isDir();
}

bool failedToRead(const QString& path) {
    QByteArray ignored;
    if (readFileBytes(path, &ignored, &g_writeError)) g_writeError = QStringLiteral("Path is not a file");
    return false;
}

void reportWriteFailure(const QString& path) {
    MsgBox(Texto(QStringLiteral("ErrorAlEscribirEn")) + QFileInfo(path).fileName(), Msg::OKOnly);
}

// A write whose text makes more lines, or whose key reads back as a shorter name
// or as a section, changes how other lines read: the file is parsed again after it.
bool reshapes(const QString& section, const QString& key, const QString& entry) {
    const auto isBreak = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    const QStringView k = trimmed(key);
    return std::any_of(entry.begin(), entry.end(), isBreak) || std::any_of(section.begin(), section.end(), isBreak) ||
           k.contains(QLatin1Char('=')) || k.startsWith(QLatin1Char('['));
}

// iniWrite inside a batch: the same edit of the lines, made on the file's
// pending copy in memory without parsing it again. Called with the mutex held.
bool batchWrite(const QString& path, const QString& s, const QString& k, const QString& section, const QString& key,
                const QString& value) {
    auto it = g_pending.find(path);
    if (it == g_pending.end()) {
        std::shared_ptr<Parsed> old;
        if (holdsText(path)) {
            old = load(path);
            if (!old) return failedToRead(path);
        }
        // A copy of its own: the cache's parsed file must not change.
        it = g_pending.insert(path, old ? std::make_shared<Parsed>(*old) : std::make_shared<Parsed>());
        (*it)->damage = FileDamage();  // it is written whole when the batch ends
    }
    Parsed& p = **it;
    const QString entry = trimmed(key).toString() + QLatin1Char('=') + value;
    const int found = p.index.value(s).value(k, -1);
    if (found >= 0) {
        const QString& text = p.lines[found];
        const QString name = trimmed(QStringView(text).left(text.indexOf(QLatin1Char('=')))).toString();
        p.lines[found] = name + QLatin1Char('=') + value;
        p.info[found] = classify(p.lines[found]);
    } else if (p.sectionLine.contains(s)) {
        const int head = p.sectionLine.value(s);
        int last = head;
        for (int i = head + 1; i < p.lines.size() && p.info[i].kind != Line::Section; ++i)
            if (!trimmed(p.lines[i]).isEmpty()) last = i;
        const int at = last + 1;
        p.lines.insert(at, entry);
        p.info.insert(at, classify(entry));
        for (auto sec = p.index.begin(); sec != p.index.end(); ++sec)
            for (auto line = sec->begin(); line != sec->end(); ++line)
                if (*line >= at) ++*line;
        for (auto line = p.sectionLine.begin(); line != p.sectionLine.end(); ++line)
            if (*line >= at) ++*line;
        p.index[s].insert(k, at);
    } else {
        p.lines << QLatin1Char('[') + trimmed(section).toString() + QLatin1Char(']') << entry;
        p.info.append(classify(p.lines[p.lines.size() - 2]));
        p.info.append(classify(entry));
        p.sectionLine.insert(s, int(p.lines.size()) - 2);
        p.index[s].insert(k, int(p.lines.size()) - 1);
    }
    if (reshapes(section, key, entry)) *it = parse(toAnsi(p.lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")));
    return true;
}

}  // namespace

// Files copied from another system may spell the name in another letter case.
QString rutaIniAplicacion() { return findNoCase(app().appFolder, QString::fromLatin1(kAppTitle) + ".ini"); }

QString rutaIniProyecto(const QString& section) {
    const QString base = app().NombreIni.isEmpty() ? section : app().NombreIni;
    if (g_readDepth == 0) return findNoCase(app().RutaProyecto, base + ".ini");
    const QString key = app().RutaProyecto + QLatin1Char('\n') + base;
    QMutexLocker lock(&g_mutex);
    auto it = g_pathSeen.find(key);
    if (it == g_pathSeen.end()) it = g_pathSeen.insert(key, findNoCase(app().RutaProyecto, base + ".ini"));
    return *it;
}

QString iniRead(const QString& path, const QString& section, const QString& key, const QString& defaultValue) {
    QString v;
    if (!lookup(path, section, key, &v)) {
        // The system drops trailing blanks of the default.
        v = defaultValue;
        while (!v.isEmpty() && isBlank(v.back())) v.chop(1);
    } else {
        v = stripQuotes(v);
    }
    return v.left(kMaxValue);
}

qint32 iniReadInt(const QString& path, const QString& section, const QString& key, qint32 defaultValue) {
    QString v;
    if (!lookup(path, section, key, &v)) return defaultValue;
    v = stripQuotes(v);
    if (v.isEmpty()) return defaultValue;
    return leadingInteger(v);
}

bool iniWrite(const QString& path, const QString& sectionGiven, const QString& keyGiven, const QString& valueGiven) {
    // What is written never reads as damage.
    const QString section = withoutDamagingChars(sectionGiven), key = withoutDamagingChars(keyGiven),
                  value = withoutDamagingChars(valueGiven);
    const QString s = foldKey(section), k = foldKey(key);
    if (s.isEmpty() || k.isEmpty()) return false;
    QMutexLocker lock(&g_mutex);
    g_readSeen.clear(), g_pathSeen.clear();

    if (g_batchDepth > 0) return batchWrite(path, s, k, section, key, value);

    std::shared_ptr<Parsed> old;
    if (holdsText(path)) {
        old = load(path);
        if (!old) return failedToRead(path);  // there but unreadable: never overwrite what we could not read
    }
    QStringList lines = old ? old->lines : QStringList();
    const QString entry = trimmed(key).toString() + QLatin1Char('=') + value;

    enum { Replace, Insert, NewSection } edit = NewSection;
    int at = int(lines.size());
    const int found = old ? old->index.value(s).value(k, -1) : -1;
    if (found >= 0) {
        // Replace the line, keeping the key's spelling as it stands in the file.
        edit = Replace;
        at = found;
        const QString& text = lines[at];
        const QString name = trimmed(QStringView(text).left(text.indexOf(QLatin1Char('=')))).toString();
        lines[at] = name + QLatin1Char('=') + value;
    } else if (old && old->sectionLine.contains(s)) {
        // Append after the last non-blank line of the section.
        edit = Insert;
        const int head = old->sectionLine.value(s);
        int last = head;
        for (int i = head + 1; i < lines.size() && old->info[i].kind != Line::Section; ++i)
            if (!trimmed(lines[i]).isEmpty()) last = i;
        at = last + 1;
        lines.insert(at, entry);
    } else {
        lines << QLatin1Char('[') + trimmed(section).toString() + QLatin1Char(']') << entry;
    }

    const QByteArray raw = toAnsi(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
    if (!writeFileAtomic(path, raw, &g_writeError, false)) return false;

    // Saving a gateway writes hundreds of keys one by one: patch the parsed copy
    // instead of parsing the whole file again, unless the new text could change
    // how other lines read.
    if (!old || reshapes(section, key, entry)) {
        remember(path, stampOf(path), parse(raw));
        return true;
    }
    auto p = std::make_shared<Parsed>(*old);
    p->raw = raw;
    p->damage = FileDamage();  // what was written is whole
    p->lines = lines;
    if (edit == Replace) {
        p->info[at].value = trimmed(value).toString();
    } else {
        if (edit == Insert) {
            for (auto& keys : p->index)
                for (auto& line : keys)
                    if (line >= at) ++line;
            for (auto& line : p->sectionLine)
                if (line >= at) ++line;
        } else {
            p->info.append(Line{Line::Section, s, QString()});
            p->sectionLine.insert(s, at);
            ++at;
        }
        p->info.insert(at, Line{Line::Entry, k, trimmed(value).toString()});
        p->index[s].insert(k, at);
    }
    remember(path, stampOf(path), std::move(p));
    return true;
}

QStringList takeIniDefaults(const QString& path) {
    QMutexLocker lock(&g_mutex);
    return g_defaulted.take(path);
}

QString LeeIniAplicacion(const QString& s, const QString& k, const QString& d) {
    return iniRead(rutaIniAplicacion(), s, k, d);
}
qint32 LeeIniAplicacionEntero(const QString& s, const QString& k, qint32 d) {
    return iniReadInt(rutaIniAplicacion(), s, k, d);
}
void EscribeIniAplicacion(const QString& s, const QString& k, const QString& v) {
    const QString path = rutaIniAplicacion();
    if (!iniWrite(path, s, k, v)) reportWriteFailure(path);
}
QString LeeIni(const QString& s, const QString& k, const QString& d) { return iniRead(rutaIniProyecto(s), s, k, d); }
qint32 LeeIniEntero(const QString& s, const QString& k, qint32 d) { return iniReadInt(rutaIniProyecto(s), s, k, d); }
void EscribeIni(const QString& s, const QString& k, const QString& v) {
    const QString path = rutaIniProyecto(s);
    if (iniWrite(path, s, k, v)) return;
    QMutexLocker lock(&g_mutex);
    if (g_batchDepth > 0) {
        if (!g_batchFaults.contains(path)) g_batchFaults.insert(path, g_writeError);
        return;
    }
    lock.unlock();
    reportWriteFailure(path);
}

IniReadBatch::IniReadBatch() {
    QMutexLocker lock(&g_mutex);
    ++g_readDepth;
}

IniReadBatch::~IniReadBatch() {
    QMutexLocker lock(&g_mutex);
    if (--g_readDepth == 0) g_readSeen.clear(), g_pathSeen.clear();
}

IniBatch::IniBatch() {
    QMutexLocker lock(&g_mutex);
    ++g_batchDepth;
}

IniBatch::~IniBatch() { finish(); }

bool IniBatch::finish() {
    if (!m_open) return true;
    m_open = false;
    QMap<QString, QString> failed;
    {
        QMutexLocker lock(&g_mutex);
        if (--g_batchDepth > 0) return true;
        failed = std::exchange(g_batchFaults, {});
        for (auto it = g_pending.constBegin(); it != g_pending.constEnd(); ++it) {
            if (failed.contains(it.key())) continue;
            const Parsed& p = *it.value();
            const QByteArray raw = toAnsi(p.lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
            // Parsed again from the bytes: a value holding a line break reads as
            // two lines from now on, as it would after a key-by-key write.
            QString reason;
            if (writeFileAtomic(it.key(), raw, &reason))
                remember(it.key(), stampOf(it.key()), parse(raw));
            else
                failed.insert(it.key(), reason);
        }
        g_pending.clear();
    }
    // One message per file, as the signal table's save tells its own.
    for (auto it = failed.constBegin(); it != failed.constEnd(); ++it)
        Aviso(Texto(QStringLiteral("NoSePuedeGrabar")) + QLatin1Char('\r') + it.key() + QStringLiteral("\rError: \r") +
              it.value());
    return failed.isEmpty();
}
