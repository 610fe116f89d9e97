#include "AppFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "AnsiText.h"

namespace {

using Manifest = QHash<QString, QByteArray>;  // relative path -> hex hash of what was copied

QByteArray hashOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex();
}

Manifest readManifest(const QString& path) {
    Manifest m;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return m;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        const int tab = line.indexOf('\t');
        if (tab > 0) m.insert(QString::fromUtf8(line.mid(tab + 1)), line.left(tab));
    }
    return m;
}

bool writeManifest(const QString& path, const Manifest& m) {
    QStringList keys = m.keys();
    keys.sort();
    QByteArray out;
    for (const QString& k : keys) out += m.value(k) + '\t' + k.toUtf8() + '\n';
    return writeFileAtomic(path, out);
}

// Written through a temporary file, so an interrupted start never leaves half a template.
QString copyOne(const QString& from, const QString& to) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) return in.errorString();
    if (!QDir().mkpath(QFileInfo(to).absolutePath())) return QStringLiteral("cannot create folder");
    QString why;
    return writeFileAtomic(to, in.readAll(), &why) ? QString() : why;
}

// Files of one entry (a file, or every file below a folder), relative to `from`.
QStringList filesOf(const QString& from, const QString& entry) {
    const QString root = from + QLatin1Char('/') + entry;
    const QFileInfo fi(root);
    if (fi.isFile()) return {entry};
    QStringList files;
    if (!fi.isDir()) return files;
    const QDir base(from);
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) files << base.relativeFilePath(it.next());
    files.sort();
    return files;
}

}  // namespace

QString installedDataFolder(const QString& exeDir) {
    const QString share = QDir::cleanPath(exeDir + QStringLiteral("/../share/") + QLatin1String(kShareFolder));
    return QFileInfo(share + QLatin1Char('/') + QLatin1String(kInstalledMarker)).isFile() ? share : QString();
}

QString perUserAppFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QStringList installedDataEntries() {
    return {QStringLiteral("PilmoraASCII.LNG"), QStringLiteral("TemplatesASCII"), QStringLiteral("ProjectsASCII")};
}

DataCopyResult copyNewData(const QString& from, const QString& to, const QStringList& entries,
                           bool adoptUnrecorded) {
    DataCopyResult r;
    const QString manifestPath = to + QLatin1Char('/') + QLatin1String(kCopyManifest);
    const bool adopt = adoptUnrecorded && !QFileInfo::exists(manifestPath);
    Manifest manifest = readManifest(manifestPath);
    const Manifest before = manifest;
    for (const QString& entry : entries) {
        for (const QString& rel : filesOf(from, entry)) {
            const QString src = from + QLatin1Char('/') + rel;
            const QString dst = to + QLatin1Char('/') + rel;
            const QByteArray srcHash = hashOf(src);
            const auto last = manifest.constFind(rel);
            if (!QFileInfo::exists(dst)) {
                // A demo project the user removed is not brought back.
                if (last != manifest.constEnd() && rel.startsWith(QLatin1String("ProjectsASCII/"))) {
                    r.kept << rel;
                    continue;
                }
            } else {
                const QByteArray dstHash = hashOf(dst);
                if (dstHash == srcHash) {  // already what we ship
                    manifest.insert(rel, srcHash);
                    continue;
                }
                const bool ours = last != manifest.constEnd() ? *last == dstHash : adopt;
                if (!ours) {  // the user's work
                    r.kept << rel;
                    continue;
                }
            }
            const QString error = copyOne(src, dst);
            if (!error.isEmpty()) {
                r.failed << rel + QStringLiteral(": ") + error;
                continue;
            }
            manifest.insert(rel, srcHash);
            r.copied << rel;
        }
    }
    if (manifest != before && !writeManifest(manifestPath, manifest))
        r.failed << QLatin1String(kCopyManifest) + QStringLiteral(": cannot write");
    return r;
}

QString openAppFolder(const QString& homeOption, const QString& envHome, const QString& exeDir, QStringList* problems) {
    QString folder = homeOption.isEmpty() ? envHome : homeOption;
    if (folder.isEmpty()) {
        const QString data = installedDataFolder(exeDir);
        if (data.isEmpty()) {
            folder = exeDir;
        } else {
            folder = perUserAppFolder();
            QStringList failed;
            if (!QDir().mkpath(folder))
                failed << folder;
            else
                failed = copyNewData(data, folder, installedDataEntries()).failed;
            if (problems) *problems << failed;
        }
    }
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QString provideRuntimeFolder() {
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
#ifdef Q_OS_UNIX
    if (!dir.isEmpty()) return dir;
    // The name Qt would use: the account's name, empty when it has none.
    QByteArray name;
    struct passwd pw, *found = nullptr;
    char buf[4096];
    if (getpwuid_r(geteuid(), &pw, buf, sizeof buf, &found) == 0 && found) name = found->pw_name;
    dir = QDir::tempPath() + QStringLiteral("/runtime-") + QFile::decodeName(name);
    const QByteArray path = QFile::encodeName(dir);
    if (mkdir(path.constData(), 0700) == 0) {
        chmod(path.constData(), 0700);  // whatever the umask took away
    } else {
        struct stat st;
        if (errno != EEXIST || lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
            (st.st_mode & 07777) != 0700)
            return QString();
    }
    qputenv("XDG_RUNTIME_DIR", path);
#endif
    return dir;
}
