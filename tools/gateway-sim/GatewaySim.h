// The simulated gateway's console: what it answers to each command, the
// acknowledged reception of a download file, moving point values and spy lines,
// and the failures it can play. The byte pipe (UDP or pseudo-terminal) is the
// caller's: GatewaySim gets what arrived and hands back what to send.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTextStream>
#include <functional>

class QTimer;

struct SimOptions {
    QString protocol = QStringLiteral("LON");
    bool datagrams = true;    // UDP: every message starts with "IS", no CR
    bool noDot = false;       // "Protocol:LON" without the "."
    bool refuse = false;      // "CANCEL" instead of "START"
    int abortAfter = -1;      // "CANCEL" after this many chunks
    int silentAfter = -1;     // no answer at all after this many chunks
    int wrongCountFrom = -1;  // from this chunk on, "Bytes:" carries one more
    int ackDelayMs = 0;       // hold each acknowledgement
    int answerDelayMs = 0;    // each answer to a point read or write, one after another
    int dropChunk = -1;       // the bytes of this chunk (1 = the first) are lost, once
    int abandonMs = 10000;    // a transfer without bytes this long is abandoned with "CANCEL"
    int restartMs = 2000;     // deaf this long after "SUCCES", as a gateway restarting (0: no restart)
    bool checkFile = true;    // checksum and record counts before "SUCCES"
    int tickMs = 1000;        // value changes and spy lines
    bool steady = false;      // values change only when written, so a test can tell an echo from a change
    QString outFile;          // where the received file is stored
    QString project;          // folder whose points are served
};

class GatewaySim : public QObject {
    Q_OBJECT
public:
    struct Point {
        double value = 0;
        bool digital = false;
    };

    GatewaySim(const SimOptions& o, std::function<void(const QByteArray&)> send, QTextStream& log,
               QObject* parent = nullptr);

    // Bytes from the tool: one datagram, or a piece of the serial stream.
    void received(const QByteArray& bytes);
    // Reads the points of the project folder's signal table (address, A/D, active).
    bool loadProject(const QString& folder, QString* error);
    // One step of the moving values: a slow ramp, a toggle every 5 steps.
    void step();

    const QMap<int, Point>& points() const { return m_points; }
    int transfers() const { return m_transfers; }

private:
    void command(const QString& text);
    void reply(const QString& line);
    // The answer to a point request, held answerDelayMs after the previous answer left.
    void answer(const QString& line);
    void fileBytes(const QByteArray& bytes);
    void finishFile();
    void abandon();
    void restart();
    static QString format(const Point& p);

    SimOptions m_o;
    std::function<void(const QByteArray&)> m_send;
    QTextStream& m_log;
    QTimer* m_tick;
    QTimer* m_stall;    // restarted by every piece of a file
    QTimer* m_restart;  // running while the gateway restarts
    QByteArray m_line;  // serial: command text waiting for its CR
    QMap<int, Point> m_points;
    bool m_changes = false, m_spyInt = false, m_spyExt = false;
    bool m_silent = false;
    int m_steps = 0;
    QElapsedTimer m_clock;
    qint64 m_answerFree = 0;  // when the previous held answer leaves
    // Reception of a file.
    bool m_receiving = false;
    qint64 m_expected = 0;
    qint64 m_acked = 0;
    int m_chunks = 0;
    bool m_dropped = false;  // the chunk of dropChunk is gone already
    qint64 m_lost = 0;       // serial: bytes of the dropped chunk still to swallow
    QByteArray m_file;
    int m_transfers = 0;
};
