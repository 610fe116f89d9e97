// LON project to download file: the input is LON.ini followed by LON.dat (the
// table starts at the first "PROTOCOLO="). The project is loaded as the editor
// loads it, checked, and generated; whatever file comes out carries a correct
// checksum, a length that agrees with its own counts, and the report agrees.
#include <QDateTime>
#include <QVector>

#include "DownloadInspect.h"
#include "FuzzSupport.h"
#include "LonChecks.h"
#include "LonConfig.h"
#include "LonDownload.h"
#include "LonProject.h"
#include "ModPilmoraASCII.h"
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
    const QString folder = fuzz::env().path(QStringLiteral("DemoLON"));
    QDir().mkpath(folder);
    fuzz::writeFile(folder + QStringLiteral("/LON.ini"), split < 0 ? input : input.left(split));
    if (split >= 0)
        fuzz::writeFile(folder + QStringLiteral("/LON.dat"), input.mid(split));
    else
        QFile::remove(folder + QStringLiteral("/LON.dat"));
    const QString out = folder + QStringLiteral("/LON.Plmx");
    QFile::remove(out);

    LonConfig cfg;
    SignalGrid grid;
    QVector<InfoColumna> info;
    loadLonProject(folder, cfg, grid, info);
    {
        // The command line's check, on a copy: the generator sees the grid as loaded.
        SignalGrid checked;
        checked.setCols(grid.Cols());
        checked.setRows(grid.Rows());
        for (int r = 0; r < grid.Rows(); ++r)
            for (int c = 0; c < grid.Cols(); ++c) checked.setTextMatrix(r, c, grid.TextMatrix(r, c));
        Limpia_FilasVacias(checked);
        if (Valida_Puntos(cfg, checked)) Valida_Dispositivos(cfg);
    }
    fuzz::endInput();  // loading and checking: a few messages at most

    const bool reported = Genera_FicheroDescarga(cfg, grid, QDateTime(QDate(2026, 12, 6), QTime(7, 0)));
    const QStringList shown = fuzz::env().prompts.texts();
    FUZZ_CHECK(shown.size() == 1, shown.join(QLatin1Char('\n')));
    QByteArray file;
    if (readFileBytes(out, &file)) {
        FUZZ_CHECK(file.size() >= 200, QString::number(file.size()));
        quint32 sum = 0;
        for (qsizetype i = 4; i < file.size(); ++i) sum += quint8(file[i]);
        FUZZ_CHECK(le32(file, 0) == sum, QStringLiteral("checksum"));
        const bool tcp = file.mid(4, 62).startsWith("MEROVANTIX-ASCII-LON-V.2.0 ");
        FUZZ_CHECK(tcp || file.mid(4, 62).startsWith("MEROVANTIX-ASCII-LON-V.1.0 "), fromAnsi(file.mid(4, 62)));
        const int devices = le16(file, 194);
        const qsizetype slotTable = 196 + 8 * qsizetype(devices);
        const int readable = le16(file, slotTable), total = le16(file, slotTable + 2);
        FUZZ_CHECK(devices >= 0 && readable >= 0 && readable <= total,
                   QStringLiteral("D %1 R %2 S %3").arg(devices).arg(readable).arg(total));
        const qsizetype points = slotTable + 4 + 17 * qsizetype(total);
        FUZZ_CHECK(le16(file, points) == total, QStringLiteral("P differs from S"));
        const qsizetype end = points + 2 + 7 * qsizetype(total) + (tcp ? 121 : 0);
        FUZZ_CHECK(file.size() == end, QStringLiteral("length %1, counts give %2").arg(file.size()).arg(end));
        // The decoder is the generator's inverse: it reads the whole file back.
        const DecodedDownload back = decodeDownload(file);
        FUZZ_CHECK(!back.damaged() && back.points.size() == total && back.devices.size() == devices &&
                       back.readable == readable,
                   decodeVerdict(back).join(QLatin1Char('\n')));
        if (reported) {
            const QString& report = shown.first();
            FUZZ_CHECK(report.startsWith(QStringLiteral("Devs:%1  LON-> Tot:%2 R:%3 ").arg(devices).arg(total).arg(readable)) &&
                           report.contains(QString::number(file.size())) &&
                           report.contains(QStringLiteral(". Checksum:") + QString::number(sum, 16).toUpper() + QLatin1Char('\r')),
                       report);
        }
    } else {
        FUZZ_CHECK(!reported, QStringLiteral("reported without a file"));
    }
    fuzz::endInput();
    return 0;
}
