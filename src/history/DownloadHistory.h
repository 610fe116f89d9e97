// The download history of a project: History.csv in the project folder, one
// row per send (from the window or `pilmora send`), and in history/ a copy of
// every file the gateway took. It answers "what is on this gateway, and what
// will change if I send this file?".
//
// History.csv is UTF-8 with a byte-order mark, quoted as the spreadsheet
// export is, CR LF; its caption row uses the fixed names of HistoryRow's
// columns, so that other tools (and the handover report) can read it.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>

class GatewayLink;

// How a send ended, as History.csv writes it.
namespace HistoryResult {
inline const char* const kSucces = "SUCCES";
inline const char* const kCancel = "CANCEL";       // the gateway aborted during the transfer
inline const char* const kRefused = "REFUSED";     // the gateway answered "CANCEL" to the announcement
inline const char* const kTimeout = "TIMEOUT";     // six ticks without progress
inline const char* const kPortLost = "PORT LOST";  // the link closed during the transfer
}  // namespace HistoryResult

struct HistoryRow {
    QString time;    // local time, ISO 8601 with its offset ("2026-12-06T07:00:00+01:00")
    QString result;  // HistoryResult
    QString way;     // "UDP 127.0.0.1:40123" or "serial /dev/ttyUSB0 57600,n,8,1"
    QString file;    // the download file's name
    qint64 size = 0;
    QString checksum;     // upper-case hexadecimal
    QString gateway;      // the gateway's answer to "INFO?" when the send began
    QString description;  // the project's "Desc"
    QString version;      // the tool's version
    QString copy;         // "history/<protocol>-<yyyyMMdd-HHmmss>-<checksum>.Plmx" after "SUCCES"

    static QStringList columns();
    QStringList cells() const;
    // The cells as the history window and the handover report show them: the
    // time in local time to the second, the result in the user's language.
    QStringList shownCells() const;
    // When the row was written, from `time`.
    QDateTime when() const;
};

QString historyCsvPath(const QString& projectFolder);
// "2026-12-06T07:00:00+01:00".
QString isoLocalTime(const QDateTime& t);
// "<protocol>-<yyyyMMdd-HHmmss>-<checksum>.Plmx".
QString historyCopyName(const QString& protocol, const QDateTime& t, quint32 checksum);

// Appends one row (creating the file with its caption row); after "SUCCES"
// first keeps `file` in history/ and names it in the row. False with the path
// and the system's reason in *error when either could not be written.
bool recordSend(const QString& projectFolder, HistoryRow row, const QByteArray& file, const QString& protocol,
                const QDateTime& at, QString* error);

// Every row of History.csv, oldest first (empty when there is none). Columns
// are found by their caption, so rows of a later version with more columns
// still read. False with a reason when the file exists but cannot be read.
bool readHistory(const QString& projectFolder, QVector<HistoryRow>* rows, QString* error = nullptr);

// The newest "SUCCES" row whose copy is still in history/, and that copy's
// bytes. False when no file has reached a gateway (or none is kept).
bool lastSentFile(const QString& projectFolder, HistoryRow* row, QByteArray* bytes);

// What the project generates now, in memory (nothing is written): LON or MBS6
// by the project's protocol, with the current time in the header. False with
// the generator's message (or why the project cannot be read) in *message.
bool composeProjectDownload(const QString& projectFolder, QByteArray* bytes, QString* message);

// The send confirmation's comparison of `file` with the last file this
// project sent: where and when that one went and what changes (empty when
// nothing was ever sent). *full receives the whole difference.
QString comparisonWithLastSent(const QString& projectFolder, const QByteArray& file, QString* full = nullptr);

// Writes a history row for every transfer of `link`: the file and the
// gateway's answer are taken when the file is announced, the row when the
// transfer ends, however it ends. A project folder that cannot be written is
// told once, in the link monitor, and the send goes on.
class HistoryRecorder : public QObject {
    Q_OBJECT
public:
    explicit HistoryRecorder(GatewayLink* link, QObject* parent = nullptr);
    // The last send's row (tests and the command line).
    const HistoryRow& lastRow() const { return m_row; }

private:
    void onState(int state);
    GatewayLink* m_link;
    bool m_active = false;
    QString m_folder, m_protocol;
    QByteArray m_file;
    HistoryRow m_row;
    QDateTime m_at;
    QSet<QString> m_told;
};
