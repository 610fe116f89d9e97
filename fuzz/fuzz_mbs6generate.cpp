// MBS6 project to download file: the input is MBS6.ini followed by MBS6.dat (the
// table starts at the first "PROTOCOLO="). The project is loaded as the editor
// loads it and generated; whatever file comes out carries a correct checksum, a
// length that agrees with its own counts, and the report agrees.
#include <QDateTime>
#include <QVector>

#include "DownloadInspect.h"
#include "FuzzSupport.h"
#include "Mbs6Config.h"
#include "Mbs6Download.h"
#include "Mbs6Project.h"
#include "ModulConfASCII.h"
#include "SignalGrid.h"

namespace {
int le16(const QByteArray& b, qsizetype at) {
    FUZZ_CHECK(at + 2 <= b.size(), QStringLiteral("count at %1 beyond the end (%2)").arg(at).arg(b.size()));
    return qint16(quint16(quint8(b[at])) | quint16(quint8(b[at + 1])) << 8);
}
quint32 le32(const QByteArray& b, qsizetype at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | quint8(b[at + i]);
    return v;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzz::bytesOf(data, size);
    const qsizetype split = input.indexOf("PROTOCOLO=");
    const QString folder = fuzz::env().path(QStringLiteral("DemoMBS6"));
    QDir().mkpath(folder);
    fuzz::writeFile(folder + QStringLiteral("/MBS6.ini"), split < 0 ? input : input.left(split));
    if (split >= 0)
        fuzz::writeFile(folder + QStringLiteral("/MBS6.dat"), input.mid(split));
    else
        QFile::remove(folder + QStringLiteral("/MBS6.dat"));
    const QString out = folder + QStringLiteral("/MBS6.Plmx");
    QFile::remove(out);

    Mbs6Config cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    loadMbs6Project(folder, cfg, grid, info);
    fuzz::endInput();  // loading: a few messages at most

    const bool reported = Genera_FicheroDescarga(cfg, grid, QDateTime(QDate(2026, 12, 6), QTime(7, 0)));
    const QStringList shown = fuzz::env().prompts.texts();
    FUZZ_CHECK(shown.size() == 1, shown.join(QLatin1Char('\n')));
    QByteArray file;
    if (readFileBytes(out, &file)) {
        FUZZ_CHECK(file.size() >= 189, QString::number(file.size()));
        quint32 sum = 0;
        for (qsizetype i = 4; i < file.size(); ++i) sum += quint8(file[i]);
        FUZZ_CHECK(le32(file, 0) == sum, QStringLiteral("checksum"));
        FUZZ_CHECK(file.mid(4, 62).startsWith("MEROVANTIX-ASCII-MBS6-V.1.0 "), fromAnsi(file.mid(4, 62)));
        const int devices = quint8(file[186]);
        const int points = le16(file, 187 + devices);
        FUZZ_CHECK(points >= 0, QString::number(points));
        const qsizetype end = 189 + devices + 8 * qsizetype(points);
        FUZZ_CHECK(file.size() == end, QStringLiteral("length %1, counts give %2").arg(file.size()).arg(end));
        const DecodedDownload back = decodeDownload(file);
        FUZZ_CHECK(!back.damaged() && back.points.size() == points && back.devices.size() == devices,
                   decodeVerdict(back).join(QLatin1Char('\n')));
        for (int p = 0; p < points; ++p) {
            const qsizetype at = 189 + devices + 8 * p;
            FUZZ_CHECK(le16(file, at) == le16(file, at + 2), QStringLiteral("point %1: two addresses differ").arg(p));
            FUZZ_CHECK(quint8(file[at + 4]) <= devices, QStringLiteral("point %1: unit position").arg(p));
        }
        if (reported) {
            const QString& report = shown.first();
            FUZZ_CHECK(report.startsWith(QStringLiteral("Devs:%1  Points:%2").arg(devices).arg(points)) &&
                           report.contains(QString::number(file.size())) &&
                           report.contains(QStringLiteral(". Checksum:") + QString::number(sum, 16).toUpper() +
                                           QLatin1Char('\r')),
                       report);
        }
    } else {
        FUZZ_CHECK(!reported, QStringLiteral("reported without a file"));
    }
    fuzz::endInput();
    return 0;
}
