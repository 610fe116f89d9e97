#include "DownloadFrame.h"

#include <QFile>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "AsciiSerialConfig.h"
#include "DownloadWriter.h"
#include "Numeric.h"
#include "Prompts.h"
#include "mIdioma.h"

void writeDownloadHeader(DownloadWriter& w, const QString& protocol, const QString& marker, const QDateTime& at) {
    w.paddedText(downloadHeaderText(protocol, marker, at), 62);
    w.raw(QByteArrayLiteral("\r\n"));
    w.spaces(64);
}

void writeSerialBlock(DownloadWriter& w, const AsciiSerialConfig& serial, const QString& baudText) {
    w.longValue(Val(baudText));
    w.byte(qint64(serial.Bits));
    w.byte(qint64(serial.Paridad));
    w.longValue(qMax<qint64>(0, RedondeaPar(Val(serial.Tmout_ms))));
    w.byte(qint64(serial.SendACK ? 1 : 0));
    w.byte(qint64(1));
}

void finishDownload(DownloadWriter& w, DownloadFile& d) {
    d.fault = w.fault();
    d.bytes = std::move(w.bytes());
    d.checksum = Calcula_Checksum(d.bytes);
}

QString downloadPath(const QString& protocol) {
    return joinPath(app().RutaProyecto, protocol + QStringLiteral(".Plmx"));
}

QString downloadErrorText(const QString& path, const QString& description) {
    return Texto("ErrorAlGenerarFichero") + path + QLatin1Char('\r') + QStringLiteral("Error: ") + QLatin1Char('\r') +
           description;
}

QString downloadReportTail(const DownloadFile& d, const QString& path) {
    return Texto("BytesFichero") + QString::number(d.bytes.size()) + QStringLiteral(". Checksum:") +
           QString::number(d.checksum, 16).toUpper() + QLatin1Char('\r') + Texto("AhoraPuedeEnviaraMerovantixFichero") +
           QLatin1Char('\r') + path;
}

bool publishDownload(const DownloadFile& d, const QString& path, const QString& reportHead,
                     const QString& reportEnd) {
    if (!d.message.isEmpty()) {
        prompts().setBusy(false);
        Aviso(d.message);
        return false;
    }
    QFile::remove(path);  // the file is recreated from scratch; a failure shows below
    QString error;
    const bool written = writeFileAtomic(path, d.bytes, &error);
    prompts().setBusy(false);
    if (!written) {
        Aviso(downloadErrorText(path, error));
        return false;
    }
    if (!d.fault.isEmpty()) {
        Aviso(downloadErrorText(path, d.fault));
        return false;
    }
    Aviso(reportHead + downloadReportTail(d, path) + reportEnd, 2);  // a success: the information icon
    return true;
}
