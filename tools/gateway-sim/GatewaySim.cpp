#include "GatewaySim.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <cmath>

#include "AnsiText.h"
#include "DownloadFileCheck.h"
#include "ModulINI.h"
#include "Numeric.h"

namespace {
constexpr int kChunk = 128;
constexpr int kDatagramMax = 1400;
}  // namespace

GatewaySim::GatewaySim(const SimOptions& o, std::function<void(const QByteArray&)> send, QTextStream& log,
                       QObject* parent)
    : QObject(parent),
      m_o(o),
      m_send(std::move(send)),
      m_log(log),
      m_tick(new QTimer(this)),
      m_stall(new QTimer(this)),
      m_restart(new QTimer(this)) {
    for (int a = 1; a <= 6; ++a) m_points[a] = Point{double(a * 10), a > 4};
    m_tick->setInterval(qMax(10, o.tickMs));
    connect(m_tick, &QTimer::timeout, this, &GatewaySim::step);
    m_tick->start();
    m_stall->setSingleShot(true);
    m_stall->setInterval(qMax(1, o.abandonMs));
    connect(m_stall, &QTimer::timeout, this, &GatewaySim::abandon);
    m_restart->setSingleShot(true);
    connect(m_restart, &QTimer::timeout, this, [this] {
        m_log << "restarted\n";
        m_log.flush();
    });
}

bool GatewaySim::loadProject(const QString& folder, QString* error) {
    const QString prot = iniRead(findNoCase(folder, QStringLiteral("Project.ini")), QStringLiteral("Project"),
                                 QStringLiteral("Prot"), QString());
    if (prot.isEmpty()) {
        *error = QStringLiteral("no protocol in ") + joinPath(folder, QStringLiteral("Project.ini"));
        return false;
    }
    QByteArray bytes;
    const QString path = findNoCase(folder, prot + QStringLiteral(".dat"));
    if (!readFileBytes(path, &bytes, error)) return false;
    // Columns by position, as the gateway's tool writes them: the caption row is in the
    // language of whoever saved the table, so it cannot be searched for.
    const bool lon = prot.compare(QLatin1String("LON"), Qt::CaseInsensitive) == 0;
    if (!lon && prot.compare(QLatin1String("MBS6"), Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("no signal table layout for protocol ") + prot;
        return false;
    }
    const int colAdd = lon ? 13 : 4, colAd = lon ? 15 : 6, colActive = lon ? 17 : 8;
    QMap<int, Point> points;
    bool caption = true;
    for (const QString& line : fromAnsi(bytes).split(QStringLiteral("\r\n"))) {
        if (!line.contains(QLatin1Char('\t'))) continue;  // PROTOCOLO=, VERSION=, CAMPOS=
        if (caption) {
            caption = false;
            continue;
        }
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() <= colActive || Val(f[colActive]) == 0) continue;
        const int address = int(Val(f[colAdd]));
        if (address <= 0 || address > 9999) continue;
        Point p;
        p.digital = Val(f[colAd]) != 0;
        p.value = p.digital ? 0 : address % 50;
        points[address] = p;
    }
    if (m_o.protocol.isEmpty()) m_o.protocol = prot;
    m_points = points;
    m_log << "project " << folder << ": " << prot << ", " << points.size() << " points\n";
    m_log.flush();
    return true;
}

QString GatewaySim::format(const Point& p) {
    if (p.digital) return QString::number(int(p.value));
    return QString::number(p.value, 'f', 1);
}

void GatewaySim::reply(const QString& line) {
    // A restarting gateway has lost what it was about to answer.
    if (m_silent || m_restart->isActive()) return;
    m_send(toAnsi(line) + "\r\n");
}

void GatewaySim::answer(const QString& line) {
    if (m_o.answerDelayMs <= 0) {
        reply(line);
        return;
    }
    // One request at a time: an answer leaves the delay after the previous one.
    if (!m_clock.isValid()) m_clock.start();
    const qint64 now = m_clock.elapsed();
    m_answerFree = qMax(now, m_answerFree) + m_o.answerDelayMs;
    QTimer::singleShot(int(m_answerFree - now), Qt::PreciseTimer, this, [this, line] { reply(line); });
}

void GatewaySim::received(const QByteArray& bytes) {
    // A restarting gateway hears nothing.
    if (m_restart->isActive()) return;
    if (m_o.datagrams) {
        if (!bytes.startsWith("IS")) {
            m_log << "datagram without \"IS\" dropped (" << bytes.size() << " bytes)\n";
            m_log.flush();
            return;
        }
        const QByteArray body = bytes.mid(2);
        if (m_receiving) {
            fileBytes(body);
        } else {
            QByteArray t = body;
            while (t.endsWith('\r') || t.endsWith('\n')) t.chop(1);
            if (!t.isEmpty()) command(fromAnsi(t));  // "IS" alone keeps the link alive
        }
        return;
    }
    QByteArray rest = bytes;
    if (m_receiving) {
        const qint64 want = m_expected - m_file.size();
        fileBytes(rest.left(want));
        rest = rest.mid(want);
        if (rest.isEmpty()) return;
    }
    m_line += rest;
    qsizetype cr;
    while ((cr = m_line.indexOf('\r')) >= 0) {
        QByteArray t = m_line.left(cr);
        m_line.remove(0, cr + 1);
        t.replace("\n", "");
        if (!t.isEmpty()) command(fromAnsi(t));
        if (m_receiving && !m_line.isEmpty()) {  // file bytes right behind "SEND~"
            const QByteArray more = m_line;
            m_line.clear();
            received(more);
            return;
        }
    }
}

void GatewaySim::command(const QString& text) {
    if (m_silent) return;
    m_log << "< " << text << "\n";
    m_log.flush();
    if (m_spyInt) reply(QStringLiteral("INT RX ") + text);
    const QString t = text.trimmed();
    const QString up = t.toUpper();
    if (up == QLatin1String("INFO?")) {
        reply(QStringLiteral("Merovantix ASCII gateway V.43.1.3 Points:") + QString::number(m_points.size()) +
              QStringLiteral(" Protocol:") + m_o.protocol + (m_o.noDot ? QString() : QStringLiteral(".")));
    } else if (up.startsWith(QLatin1String("SEND~"))) {
        m_expected = t.mid(5).toLongLong();
        if (m_o.silentAfter == 0) {
            m_log << "silent from now on\n";
            m_silent = true;
        } else if (m_o.refuse || m_expected <= 0) {
            reply(QStringLiteral("CANCEL"));
        } else {
            m_receiving = true;
            m_acked = 0;
            m_chunks = 0;
            m_lost = 0;
            m_file.clear();
            m_stall->start();
            reply(QStringLiteral("START"));
        }
    } else if (up.size() == 7 && up.startsWith(QLatin1String("AD")) && up.endsWith(QLatin1Char('?'))) {
        const int a = up.mid(2, 4).toInt();
        if (m_points.contains(a))
            answer(up.left(6) + QLatin1Char('=') + format(m_points[a]));
        else
            answer(QStringLiteral("ERROR ") + up);
    } else if (up.startsWith(QLatin1String("AD")) && up.indexOf(QLatin1Char('=')) == 6) {
        const int a = up.mid(2, 4).toInt();
        if (m_points.contains(a)) {
            m_points[a].value = Val(t.mid(7));
            answer(up.left(6) + QLatin1Char('=') + format(m_points[a]));
        } else {
            answer(QStringLiteral("ERROR ") + up);
        }
    } else if (up == QLatin1String("ONCHANGES") || up == QLatin1String("OFCHANGES")) {
        m_changes = up == QLatin1String("ONCHANGES");
        reply(QStringLiteral("OK"));
    } else if (up.startsWith(QLatin1String("BUSINT")) || up.startsWith(QLatin1String("BUSEXT"))) {
        const bool on = !up.endsWith(QLatin1String("OFF"));
        (up.startsWith(QLatin1String("BUSINT")) ? m_spyInt : m_spyExt) = on;
        reply(QStringLiteral("OK"));
    } else if (up == QLatin1String("HELP")) {
        reply(QStringLiteral("INFO? TIME? TIME= SEND~ RESET~ ONCHANGES OFCHANGES DEBUG= BUSINT* BUSEXT* ADnnnn? "
                             "ADnnnn="));
    } else if (up == QLatin1String("TIME?")) {
        reply(QStringLiteral("TIME=") + QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    } else if (up.startsWith(QLatin1String("TIME=")) || up.startsWith(QLatin1String("DEBUG="))) {
        reply(QStringLiteral("OK"));
    } else if (up == QLatin1String("RESET~")) {
        reply(QStringLiteral("RESET"));
    } else {
        reply(QStringLiteral("ERROR ") + t);
    }
}

void GatewaySim::fileBytes(const QByteArray& in) {
    if (m_silent || !m_receiving) return;
    m_stall->start();
    QByteArray bytes = in;
    if (m_o.dropChunk == m_chunks + 1 && !m_dropped) {
        // Lost on the way: a datagram whole, on a serial line the chunk's bytes.
        m_dropped = true;
        m_lost = m_o.datagrams ? 0 : qMin<qint64>(kChunk, m_expected - m_acked);
        m_log << "chunk " << m_o.dropChunk << " lost as asked\n";
        m_log.flush();
        if (m_o.datagrams) return;
    }
    if (m_lost > 0) {
        const qint64 n = qMin<qint64>(m_lost, bytes.size());
        m_lost -= n;
        bytes.remove(0, n);
        if (bytes.isEmpty()) return;
    }
    m_file += bytes;
    if (m_file.size() > m_expected) {
        m_log << "CANCEL: " << m_file.size() << " bytes received, " << m_expected << " announced\n";
        m_log.flush();
        m_receiving = false;
        reply(QStringLiteral("CANCEL"));
        return;
    }
    while (m_receiving && m_acked < m_expected && m_file.size() >= qMin(m_acked + kChunk, m_expected)) {
        m_acked = qMin(m_acked + kChunk, m_expected);
        ++m_chunks;
        if (m_o.silentAfter >= 0 && m_chunks > m_o.silentAfter) {
            m_log << "silent after chunk " << m_o.silentAfter << "\n";
            m_log.flush();
            m_silent = true;
            return;
        }
        if (m_o.abortAfter >= 0 && m_chunks >= m_o.abortAfter) {
            m_log << "CANCEL: abort after chunk " << m_chunks << " as asked\n";
            m_log.flush();
            m_receiving = false;
            reply(QStringLiteral("CANCEL"));
            return;
        }
        qint64 count = m_acked;
        if (m_o.wrongCountFrom >= 0 && m_chunks >= m_o.wrongCountFrom) ++count;
        const bool last = m_acked == m_expected;
        auto ack = [this, count, last] {
            reply(QStringLiteral("Bytes:") + QString::number(count));
            if (last) finishFile();
        };
        if (last) {
            m_receiving = false;
            m_stall->stop();
        }
        if (m_o.ackDelayMs > 0)
            QTimer::singleShot(m_o.ackDelayMs, Qt::PreciseTimer, this, ack);
        else
            ack();
    }
}

void GatewaySim::finishFile() {
    const DownloadFileCheck c = DownloadFileCheck::of(m_file);
    if (!m_o.outFile.isEmpty()) {
        QString error;
        if (!writeFileAtomic(m_o.outFile, m_file, &error, false))
            m_log << "cannot store " << m_o.outFile << ": " << error << "\n";
    }
    ++m_transfers;
    if (!c.ok && m_o.checkFile) {
        m_log << "CANCEL: " << c.reason << "\n";
        reply(QStringLiteral("CANCEL"));
    } else {
        m_log << "received " << (c.ok ? c.protocol : QStringLiteral("unchecked")) << " file, " << m_file.size() << " bytes, " << c.devices << " devices, "
              << c.points << " points, checksum " << QString::number(c.checksum, 16).toUpper() << "\n";
        reply(QStringLiteral("SUCCES"));
        restart();
    }
    m_log.flush();
}

void GatewaySim::abandon() {
    if (!m_receiving) return;
    // A gateway gives up a transfer that stalls, so what comes next is read as
    // commands again and not as file bytes.
    m_log << "CANCEL: no file bytes for " << m_o.abandonMs << " ms, transfer abandoned\n";
    m_log.flush();
    m_receiving = false;
    m_line.clear();
    reply(QStringLiteral("CANCEL"));
}

void GatewaySim::restart() {
    if (m_o.restartMs <= 0) return;
    // The new configuration takes over: change reports and spies start off.
    m_log << "restarting for " << m_o.restartMs << " ms\n";
    m_changes = m_spyInt = m_spyExt = false;
    m_line.clear();
    m_restart->start(m_o.restartMs);
}

void GatewaySim::step() {
    if (m_receiving || m_silent || m_restart->isActive()) return;
    ++m_steps;
    QByteArray out;
    auto add = [&](const QString& line) {
        const QByteArray b = toAnsi(line) + "\r\n";
        if (m_o.datagrams && out.size() + b.size() > kDatagramMax) {
            m_send(out);
            out.clear();
        }
        out += b;
    };
    for (auto it = m_points.begin(); it != m_points.end() && !m_o.steady; ++it) {
        Point& p = it.value();
        if (p.digital) {
            if (m_steps % 5) continue;
            p.value = p.value != 0 ? 0 : 1;
        } else {
            p.value = std::fmod(p.value + 0.5, 100.0);
        }
        if (m_changes) add(QStringLiteral("AD%1=").arg(it.key(), 4, 10, QLatin1Char('0')) + format(p));
    }
    if (m_spyInt) add(QStringLiteral("INT TX >D0001=") + (m_points.isEmpty() ? QStringLiteral("0") : format(m_points.first())));
    if (m_spyExt) add(QStringLiteral("EXT RX 02 41 %1 03").arg(m_steps % 256, 2, 16, QLatin1Char('0')).toUpper());
    if (!out.isEmpty()) m_send(out);
}
