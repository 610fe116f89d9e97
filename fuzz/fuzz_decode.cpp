// Download file decoder: the input is a download file (LON or MBS6, any bytes).
// Decoding never reads past the end and always says where it stops; a file it
// reads without damage has exactly the length its own counts give, and the
// simulated gateway's check takes it too; the text and JSON forms are built
// (the JSON parses again) and a file compared with itself shows no difference.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

#include "DownloadFileCheck.h"
#include "DownloadInspect.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file = fuzz::bytesOf(data, size);
    const DecodedDownload d = decodeDownload(file);
    const QString verdict = decodeVerdict(d).join(QLatin1Char('\n'));
    FUZZ_CHECK(d.size == file.size(), verdict);
    if (!d.complete) FUZZ_CHECK(d.stopOffset >= 0 && d.stopOffset <= file.size() && !d.stopReason.isEmpty(), verdict);
    for (const DecodedBlock& b : d.blocks)
        for (const DecodedField& f : b.fields) FUZZ_CHECK(f.offset >= 0 && f.offset < file.size(), b.name + f.name);

    if (!d.damaged()) {
        const qint64 devices = d.devices.size(), points = d.points.size();
        qint64 end = 0;
        if (d.protocol == QLatin1String("LON")) {
            end =
                194 + 2 + 8 * devices + 4 + 17 * points + 2 + 7 * points + (d.block(QStringLiteral("tcpip")) ? 121 : 0);
        } else {
            end = 189 + devices + 8 * points;
        }
        FUZZ_CHECK(end == file.size(), QStringLiteral("length %1, counts give %2").arg(file.size()).arg(end));
        const DownloadFileCheck check = DownloadFileCheck::of(file);
        FUZZ_CHECK(check.ok && check.points == points && check.devices == devices, check.reason);
    }

    FUZZ_CHECK(!decodedText(d, QStringLiteral("f")).isEmpty(), verdict);
    // The JSON is written by hand: it parses, and its texts read back as they were.
    const QString name = QStringLiteral("f\"\\\x01\u00e9\U0001F600");
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(decodedJson(d, name), &error).object();
    FUZZ_CHECK(error.error == QJsonParseError::NoError, error.errorString());
    FUZZ_CHECK(json.value(QStringLiteral("file")).toString() == name, verdict);
    FUZZ_CHECK(json.value(QStringLiteral("protocol")).toString() == d.protocol, d.protocol);
    FUZZ_CHECK(json.value(QStringLiteral("stop")).toObject().value(QStringLiteral("reason")).toString() ==
                   (d.complete ? QString() : d.stopReason),
               d.stopReason);
    FUZZ_CHECK(json.value(QStringLiteral("faults")).toVariant().toStringList() == d.faults, verdict);
    FUZZ_CHECK(json.value(QStringLiteral("points")).toArray().size() == d.points.size(), verdict);
    const DownloadDiff self = diffDownloads(d, d);
    FUZZ_CHECK(self.same(), diffText(self));
    fuzz::endInput();
    return 0;
}
