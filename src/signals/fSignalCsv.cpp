#include "fSignalCsv.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>

#include "AppGlobals.h"
#include "Prompts.h"
#include "mIdioma.h"

namespace {
// Files below this size are read before a progress window could even show.
constexpr qint64 kProgressFrom = 512 * 1024;

QString filter() { return Texto("CsvTipoFichero") + QStringLiteral(";;") + Texto("CsvTodosFicheros"); }

QString startFolder() {
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(docs).exists() ? docs : QDir::homePath();
}
}  // namespace

namespace fSignalCsv {

QString askExportFile(QWidget* parent, const QString& suggestedName, QChar* separator) {
    const QString path = QFileDialog::getSaveFileName(parent, Texto("CsvExportar"),
                                                      QDir(startFolder()).filePath(suggestedName), filter());
    if (path.isEmpty()) return path;
    const bool semicolon = csvDefaultSeparator() == QLatin1Char(';');
    const int answer = Msgbox1(Texto("CsvSeparador"), QString::fromLatin1(kAppTitle), 1, semicolon ? 2 : 1, 3,
                               Texto("CsvComa"), Texto("CsvPuntoYComa"), Texto("&Cancelar"));
    if (answer != 1 && answer != 2) return QString();
    *separator = answer == 1 ? QLatin1Char(',') : QLatin1Char(';');
    return path;
}

QString askImportFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, Texto("CsvImportar"), startFolder(), filter());
}

bool readFile(QWidget* parent, const QString& path, CsvRecords* records, QStringList* faults) {
    QString error;
    bool ok = false;
    if (QFileInfo(path).size() < kProgressFrom) {
        BusyPointer busy;
        ok = csvReadFile(path, records, &error);
    } else {
        QProgressDialog progress(Texto("CsvLeyendo"), QString(), 0, 1000, parent);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        ok = csvReadFile(path, records, &error, [&](qint64 done, qint64 total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
        });
    }
    if (!ok) *faults << error;
    return ok;
}

void showFaults(const QStringList& faults) {
    Aviso(Texto("CsvNoImportado") + QLatin1Char('\r') + faults.join(QLatin1Char('\r')));
}

}  // namespace fSignalCsv
