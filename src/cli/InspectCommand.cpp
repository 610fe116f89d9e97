#include "InspectCommand.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "AnsiText.h"
#include "DownloadHistory.h"
#include "DownloadInspect.h"
#include "mIdioma.h"

namespace {
enum { kSame = 0, kDiffer = 1, kUsage = 2, kUnreadable = 3 };

void line(std::FILE* f, const QString& text) {
    const QByteArray b = (text + QLatin1Char('\n')).toLocal8Bit();
    std::fputs(b.constData(), f);
}

int wrongUsage(const QString& what) {
    line(stderr, Texto("PilmoraErrorUso") + what);
    for (const QString& u : inspectUsage()) line(stderr, u);
    return kUsage;
}

// A download file's bytes; false (and said) when it cannot be read.
bool readDownload(const QString& path, QByteArray* bytes) {
    QString error;
    if (!QFileInfo(path).isFile()) {
        line(stderr, Texto("NoSeEncuentraFichero") + QLatin1Char(' ') + path);
        return false;
    }
    if (!readFileBytes(path, bytes, &error)) {
        line(stderr, Texto("NoSePuedeLeerFichero") + QLatin1Char(' ') + path + QStringLiteral(": ") + error);
        return false;
    }
    return true;
}

// A side of the comparison that reads in full, or the reason it does not (said).
bool usable(const DecodedDownload& d, const QString& name) {
    if (!d.damaged()) return true;
    line(stderr, Texto("DifDanyado") + name);
    for (const QString& v : decodeVerdict(d)) line(stderr, QStringLiteral("  ") + v);
    return false;
}
}  // namespace

QStringList inspectUsage() {
    return {QStringLiteral("  pilmora [--home DIR] decode FILE [--json]"),
            QStringLiteral("      ") + Texto("PilmoraAyudaDecode"),
            QStringLiteral("  pilmora [--home DIR] diff FILE_A FILE_B | diff PROJECT_DIR"),
            QStringLiteral("      ") + Texto("PilmoraAyudaDiff")};
}

int runDecode(const QStringList& args) {
    QStringList files;
    bool json = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--json"))
            json = true;
        else if (a.startsWith(QLatin1Char('-')) && a.size() > 1)
            return wrongUsage(a);
        else
            files << a;
    }
    if (files.size() != 1) return wrongUsage(files.join(QLatin1Char(' ')));
    QByteArray bytes;
    if (!readDownload(files[0], &bytes)) return 1;
    const DecodedDownload d = decodeDownload(bytes);
    const QString name = QFileInfo(files[0]).fileName();
    if (json) {
        const QByteArray doc = decodedJson(d, name);
        std::fwrite(doc.constData(), 1, size_t(doc.size()), stdout);
    } else {
        line(stdout, decodedText(d, name));
    }
    return d.damaged() ? 1 : 0;
}

int runDiff(const QStringList& args) {
    QStringList paths;
    for (const QString& a : args) {
        if (a.startsWith(QLatin1Char('-')) && a.size() > 1) return wrongUsage(a);
        paths << a;
    }
    if (paths.size() != 1 && paths.size() != 2) return wrongUsage(paths.join(QLatin1Char(' ')));
    QByteArray a, b;
    QString nameA, nameB;
    if (paths.size() == 2) {
        if (!readDownload(paths[0], &a) || !readDownload(paths[1], &b)) return kUnreadable;
        nameA = paths[0];
        nameB = paths[1];
    } else {
        // The project: what it generates now against the last file that reached a gateway.
        const QFileInfo project(paths[0]);
        if (!project.isDir()) return wrongUsage(paths[0]);
        const QString folder = QDir::toNativeSeparators(project.absoluteFilePath());
        HistoryRow last;
        if (!lastSentFile(folder, &last, &a)) {
            line(stderr, Texto("HistNingunEnvio") + folder);
            return kUnreadable;
        }
        QString message;
        if (!composeProjectDownload(folder, &b, &message)) {
            line(stderr, message.replace(QLatin1Char('\r'), QLatin1Char('\n')));
            return kUnreadable;
        }
        nameA = last.copy;
        nameB = folder;
        line(stdout, Texto("HistUltimoEnviado") + last.way + QStringLiteral(", ") + last.time);
    }
    const DecodedDownload da = decodeDownload(a), db = decodeDownload(b);
    if (!usable(da, nameA) || !usable(db, nameB)) return kUnreadable;
    const DownloadDiff diff = diffDownloads(da, db);
    line(stdout, diffText(diff));
    return diff.same() ? kSame : kDiffer;
}
