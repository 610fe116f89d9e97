#include "DownloadHistory.h"

#include <QDir>
#include <QFileInfo>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "DownloadInspect.h"
#include "DownloadWriter.h"
#include "GatewayLink.h"
#include "LonConfig.h"
#include "LonDownload.h"
#include "LonProject.h"
#include "Mbs6Download.h"
#include "Mbs6Project.h"
#include "ModPilmoraASCII.h"
#include "ModulConfASCII.h"
#include "ModulINI.h"
#include "ProjectCatalogue.h"
#include "SignalCsv.h"
#include "SignalGrid.h"
#include "Transport.h"
#include "mIdioma.h"

QStringList HistoryRow::columns() {
    return {QStringLiteral("Time"),    QStringLiteral("Result"),      QStringLiteral("Way"),
            QStringLiteral("File"),    QStringLiteral("Size"),        QStringLiteral("Checksum"),
            QStringLiteral("Gateway"), QStringLiteral("Description"), QStringLiteral("Version"),
            QStringLiteral("Copy")};
}

QStringList HistoryRow::cells() const {
    return {time, result, way, file, QString::number(size), checksum, gateway, description, version, copy};
}

QStringList HistoryRow::shownCells() const {
    QStringList c = cells();
    const QDateTime t = when();
    if (t.isValid()) c[0] = t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    static const char* const kResults[] = {HistoryResult::kSucces, HistoryResult::kCancel, HistoryResult::kRefused,
                                           HistoryResult::kTimeout, HistoryResult::kPortLost};
    const QStringList shown = Texto("HistResultados").split(QLatin1Char('|'));
    for (int i = 0; i < 5; ++i)
        if (result == QLatin1String(kResults[i]) && i < shown.size()) c[1] = shown[i];
    return c;
}

QDateTime HistoryRow::when() const { return QDateTime::fromString(time, Qt::ISODate); }

QString historyCsvPath(const QString& projectFolder) {
    const QString found = findNoCase(projectFolder, QStringLiteral("History.csv"));
    return found.isEmpty() ? joinPath(projectFolder, QStringLiteral("History.csv")) : found;
}

QString isoLocalTime(const QDateTime& t) {
    const int offset = t.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString historyCopyName(const QString& protocol, const QDateTime& t, quint32 checksum) {
    return protocol + QLatin1Char('-') + t.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QLatin1Char('-') +
           QString::number(checksum, 16).toUpper() + QStringLiteral(".Plmx");
}

bool recordSend(const QString& projectFolder, HistoryRow row, const QByteArray& file, const QString& protocol,
                const QDateTime& at, QString* error) {
    QString why;
    bool ok = true;
    if (row.result == QLatin1String(HistoryResult::kSucces) && file.size() >= 4) {
        const QString name = historyCopyName(protocol, at, checksumGuardado(file));
        const QString folder = joinPath(projectFolder, QStringLiteral("history"));
        const QString path = joinPath(folder, name);
        if (!QDir().mkpath(folder)) {
            ok = false;
            why = folder;
        } else if (!writeFileAtomic(path, file, &why)) {
            ok = false;
            why = path + QStringLiteral(": ") + why;
        } else {
            row.copy = QStringLiteral("history/") + name;
        }
    }
    const QString csv = historyCsvPath(projectFolder);
    QByteArray bytes;
    if (QFileInfo(csv).isFile() && !readFileBytes(csv, &bytes, &why)) {
        if (error) *error = csv + QStringLiteral(": ") + why;
        return false;
    }
    QByteArray line = csvEncode({row.cells()}, QLatin1Char(','));
    line.remove(0, 3);  // the byte-order mark opens the file only
    if (bytes.isEmpty()) bytes = csvEncode({HistoryRow::columns()}, QLatin1Char(','));
    if (!bytes.endsWith('\n')) bytes += "\r\n";
    QString writeWhy;
    if (!writeFileAtomic(csv, bytes + line, &writeWhy)) {
        if (error) *error = csv + QStringLiteral(": ") + writeWhy;
        return false;
    }
    if (!ok && error) *error = why;
    return ok;
}

bool readHistory(const QString& projectFolder, QVector<HistoryRow>* rows, QString* error) {
    rows->clear();
    const QString csv = historyCsvPath(projectFolder);
    if (!QFileInfo(csv).isFile()) return true;
    CsvRecords records;
    QString why;
    if (!csvReadFile(csv, &records, &why)) {
        if (error) *error = csv + QStringLiteral(": ") + why;
        return false;
    }
    if (records.records.isEmpty()) return true;
    const QStringList names = HistoryRow::columns();
    QVector<int> at(names.size(), -1);
    const QStringList& head = records.records.first();
    for (int i = 0; i < head.size(); ++i) {
        const int c = int(names.indexOf(head[i].trimmed()));
        if (c >= 0) at[c] = i;
    }
    for (qsizetype r = 1; r < records.records.size(); ++r) {
        const QStringList& rec = records.records[r];
        if (csvBlankRecord(rec)) continue;
        auto cell = [&](int c) { return at[c] < 0 ? QString() : rec.value(at[c]); };
        HistoryRow h;
        h.time = cell(0);
        h.result = cell(1);
        h.way = cell(2);
        h.file = cell(3);
        h.size = cell(4).toLongLong();
        h.checksum = cell(5);
        h.gateway = cell(6);
        h.description = cell(7);
        h.version = cell(8);
        h.copy = cell(9);
        rows->append(h);
    }
    return true;
}

bool lastSentFile(const QString& projectFolder, HistoryRow* row, QByteArray* bytes) {
    QVector<HistoryRow> rows;
    if (!readHistory(projectFolder, &rows)) return false;
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const HistoryRow& h = rows[i];
        if (h.result != QLatin1String(HistoryResult::kSucces) || h.copy.isEmpty()) continue;
        // Only a copy inside history/ is taken: the row is text anyone may edit.
        const QString name = QFileInfo(h.copy).fileName();
        const QString path = findNoCase(joinPath(projectFolder, QStringLiteral("history")), name);
        if (path.isEmpty() || !readFileBytes(path, bytes)) continue;
        *row = h;
        return true;
    }
    return false;
}

bool composeProjectDownload(const QString& projectFolder, QByteArray* bytes, QString* message) {
    const QString protocol = projectProtocol(projectFolder);
    const int slot = slotDeProtocolo(protocol);
    const QDateTime now = QDateTime::currentDateTime();
    SignalGrid grid;
    QVector<InfoColumna> info;
    DownloadFile d;
    if (slot == kSlotLon) {
        LonConfig cfg;
        if (!loadLonProject(projectFolder, cfg, grid, info)) {
            *message = Texto("ProyectoNoEncontrado") + projectFolder;
            return false;
        }
        d = composeLonDownload(cfg, grid, LonTuning::fromIni(), now);
    } else if (slot == kSlotMbs6) {
        Mbs6Config cfg;
        if (!loadMbs6Project(projectFolder, cfg, grid, info)) {
            *message = Texto("ProyectoNoEncontrado") + projectFolder;
            return false;
        }
        d = composeMbs6Download(cfg, grid, mbs6TimeoutInterFrame(), now);
    } else {
        *message = Texto("ProtocoloNoSoportado") + (protocol.isEmpty() ? QStringLiteral("-") : protocol);
        return false;
    }
    if (!d.message.isEmpty() || !d.fault.isEmpty()) {
        *message = d.message.isEmpty() ? downloadErrorText(QString(), d.fault) : d.message;
        return false;
    }
    *bytes = d.bytes;
    return true;
}

QString comparisonWithLastSent(const QString& projectFolder, const QByteArray& file, QString* full) {
    HistoryRow last;
    QByteArray sent;
    if (!lastSentFile(projectFolder, &last, &sent)) return QString();
    const DownloadDiff diff = diffDownloads(decodeDownload(sent), decodeDownload(file));
    const QDateTime when = last.when();
    const QString against = Texto("HistUltimoEnviado") + last.way + QStringLiteral(", ") +
                            (when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : last.time);
    // The whole difference says what it is compared with, as the confirmation does.
    if (full) *full = against + QStringLiteral("\n\n") + diffText(diff);
    return against + QLatin1Char('\r') + diffSummary(diff);
}

// ---- the recorder

HistoryRecorder::HistoryRecorder(GatewayLink* link, QObject* parent) : QObject(parent), m_link(link) {
    connect(link, &GatewayLink::stateChanged, this, &HistoryRecorder::onState);
}

void HistoryRecorder::onState(int state) {
    if (state == 3 && !m_active) {
        // The file has just been announced: what goes out and to whom.
        const AppGlobals& g = app();
        m_active = true;
        m_folder = g.RutaProyecto;
        m_protocol = g.ProtProyecto.toUpper();
        m_file = m_link->sentFile();
        m_at = QDateTime::currentDateTime();
        m_row = HistoryRow();
        const Transport* t = m_link->transport();
        if (t && t->isDatagram())
            m_row.way = QStringLiteral("UDP ") + g.IPConexion + QLatin1Char(':') + QString::number(g.PuertoUDP);
        else
            m_row.way = QStringLiteral("serial ") + (t ? t->describe() : QString()) + QLatin1Char(' ') +
                        m_link->serialSettings();
        m_row.file = QFileInfo(m_link->sentPath()).fileName();
        m_row.size = m_file.size();
        if (m_file.size() >= 4) m_row.checksum = QString::number(checksumGuardado(m_file), 16).toUpper();
        m_row.gateway = m_link->infoAnswer();
        m_row.description = iniRead(findNoCase(m_folder, QStringLiteral("Project.ini")), QStringLiteral("Project"),
                                    QStringLiteral("Desc"), QString());
        m_row.version = QStringLiteral(PILMORA_VERSION);
        return;
    }
    if (!m_active || state == 3 || state == 4) return;
    m_active = false;
    switch (m_link->transferEnd()) {
        case GatewayLink::TransferEnd::Success:
            m_row.result = QLatin1String(HistoryResult::kSucces);
            break;
        case GatewayLink::TransferEnd::Cancel:
            m_row.result = QLatin1String(HistoryResult::kCancel);
            break;
        case GatewayLink::TransferEnd::Refused:
            m_row.result = QLatin1String(HistoryResult::kRefused);
            break;
        case GatewayLink::TransferEnd::Timeout:
            m_row.result = QLatin1String(HistoryResult::kTimeout);
            break;
        default:
            m_row.result = QLatin1String(HistoryResult::kPortLost);
            break;
    }
    m_row.time = isoLocalTime(m_at);
    QString error;
    if (!recordSend(m_folder, m_row, m_file, m_protocol, m_at, &error) && !m_told.contains(m_folder)) {
        m_told.insert(m_folder);
        emit m_link->monitorText(Texto("HistNoGuardado") + error, QStringLiteral(">"));
    }
    m_file.clear();
}
