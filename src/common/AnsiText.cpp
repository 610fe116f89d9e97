#include "AnsiText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryFile>
#include <filesystem>
#include <utility>

#include "ByteScan.h"
#include "mIdioma.h"

namespace {
// Windows-1252 has five undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D); they map to
// the C1 controls of the same value so that every byte survives a round trip.
const char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeOne(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return char(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return char(0x80 + i);
    return '?';
}
}  // namespace

QString fromAnsi(const QByteArray& bytes) {
    // Windows-1252 is Latin-1 but for 0x80-0x9F, which most files never hold: the
    // fast Latin-1 conversion first, then those bytes mended one by one.
    QString s = QString::fromLatin1(bytes);
    const char* b = bytes.constData();
    const qsizetype n = bytes.size();
    for (qsizetype i = firstAnsiOnlyByte(b, n); i < n; i = firstAnsiOnlyByte(b, n, i + 1))
        s[i] = QChar(kHigh[uchar(b[i]) - 0x80]);
    return s;
}

QByteArray toAnsi(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char* d = out.data();
    const QChar* s = text.constData();
    for (int i = 0; i < text.size(); ++i) d[i] = encodeOne(s[i].unicode());
    return out;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return QDir::toNativeSeparators(f + name);
}

QString findNoCase(const QString& folder, const QString& name) {
    const QString exact = joinPath(folder, name);
    if (QFileInfo::exists(exact)) return exact;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return joinPath(folder, e);
    return exact;
}

namespace {
QHash<QString, QString> g_lossy;  // file -> why
QStringList g_backups, g_whys;

QString lossyKey(const QString& path) {
    const QFileInfo fi(path);
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? fi.absoluteFilePath() : canonical;
}

// The old file, kept under the first free backup name before it is replaced.
bool keepBackupIfLossy(const QString& path, QString* error) {
    const QString key = lossyKey(path);
    if (!g_lossy.contains(key) || !QFileInfo(key).isFile()) return true;
    QString backup = key + QStringLiteral(".bak");
    for (int n = 1; QFileInfo::exists(backup) || QFileInfo(backup).isSymLink(); ++n)
        backup = key + QStringLiteral(".bak") + QString::number(n);
    QFile old(key);
    if (!old.copy(backup)) {
        if (error) *error = old.errorString();
        return false;
    }
    g_whys << g_lossy.take(key);
    g_backups << backup;
    return true;
}

bool writeInPlace(const QString& path, const QByteArray& bytes, QString* error) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush()) return true;
    if (error) *error = f.errorString();
    return false;
}

// Temporary file in the same folder, renamed over the old one. The rename is
// atomic, so a crash leaves the old file or the new one, never a mix.
bool replaceByRename(const QString& path, const QFileInfo& old, const QByteArray& bytes, QString* error) {
    QTemporaryFile tmp(
        QDir(old.absolutePath()).filePath(QStringLiteral(".") + old.fileName() + QStringLiteral(".XXXXXX")));
    if (!tmp.open() || tmp.write(bytes) != bytes.size() || !tmp.flush()) {
        if (error) *error = tmp.errorString();
        return false;
    }
    tmp.setPermissions(old.exists() ? old.permissions()
                                    : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                          QFileDevice::ReadOther);
    tmp.close();
    std::error_code ec;
#ifdef Q_OS_WIN
    std::filesystem::rename(tmp.fileName().toStdWString(), path.toStdWString(), ec);
#else
    std::filesystem::rename(QFile::encodeName(tmp.fileName()).toStdString(), QFile::encodeName(path).toStdString(), ec);
#endif
    if (ec) {
        if (error) *error = QString::fromLocal8Bit(ec.message().c_str());
        return false;
    }
    tmp.setAutoRemove(false);
    return true;
}
}  // namespace

bool writeFileAtomic(const QString& given, const QByteArray& bytes, QString* error, bool syncToDisk) {
    // A symbolic link stays a link: the new file replaces its target, in the
    // target's folder (a dangling link gets its target created).
    QString path = given;
    for (int hops = 0; hops < 40 && QFileInfo(path).isSymLink(); ++hops) path = QFileInfo(path).symLinkTarget();
    const QFileInfo fi(path);
    // A file without its owner's write bit counts as read-only even for an
    // administrator, like the read-only attribute on Windows.
    const bool readOnly = !fi.isWritable() || !fi.permission(QFileDevice::WriteOwner);
    if (fi.exists() && !fi.isFile() && !fi.isDir() && !readOnly) return writeInPlace(path, bytes, error);
    if (fi.exists() && (!fi.isFile() || readOnly)) {
        if (error) *error = fi.isFile() ? QStringLiteral("Permission denied") : QStringLiteral("Path is not a file");
        return false;
    }
    if (!keepBackupIfLossy(path, error)) return false;
    if (!syncToDisk) return replaceByRename(path, fi, bytes, error);
    QSaveFile f(path);
    f.setDirectWriteFallback(false);
    // Unbuffered: a full disk takes part of a buffered write unnoticed and the commit then puts a cut
    // file in place of the old one. Written to the end, the short write meets the disk's own error.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error) *error = f.errorString();
        return false;
    }
    qint64 done = 0;
    for (qint64 n = 0; done < bytes.size() && (n = f.write(bytes.constData() + done, bytes.size() - done)) > 0;)
        done += n;
    if (done != bytes.size()) {
        if (error) *error = f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

bool escribeFichero(const QString& path, const QByteArray& bytes, QString* error) {
    QString why;
    if (writeFileAtomic(path, bytes, &why)) return true;
    *error = Texto(QStringLiteral("NoSePuedeGrabar")) + QLatin1Char('\r') + path + QLatin1Char('\r') + why;
    return false;
}

bool readFileBytes(const QString& path, QByteArray* out, QString* error) {
    QFile f(path);
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly)) {
        if (error) *error = QFileInfo(path).isDir() ? QStringLiteral("Path is a folder") : f.errorString();
        return false;
    }
    *out = f.readAll();
    return true;
}

void markLossyLoad(const QString& path, bool lossy, const QString& why) {
    if (lossy)
        g_lossy.insert(lossyKey(path), why);
    else
        g_lossy.remove(lossyKey(path));
}

QStringList takeBackupsMade(QStringList* whys) {
    if (whys) *whys = g_whys;
    g_whys.clear();
    return std::exchange(g_backups, QStringList());
}

QString trimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' ')) ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' ')) --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

QString visibleText(const QString& s) {
    QString out = s;
    for (QChar& c : out) {
        const ushort u = c.unicode();
        const bool keep = u == '\r' || u == '\n' || u == '\t';
        if (!keep && (u < 0x20 || (u >= 0x7F && u <= 0x9F))) c = QLatin1Char('?');
    }
    return out;
}
