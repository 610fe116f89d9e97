#include "GatewaySimProcess.h"

#include <QDir>
#include <QHostAddress>

#include "LonProject.h"
#include "ModulINI.h"
#include "AnsiText.h"

GatewaySimProcess::GatewaySimProcess(const QString& where, const QStringList& args) {
    QStringList a = where == QLatin1String("pty") ? QStringList{QStringLiteral("--pty")}
                                                  : QStringList{QStringLiteral("--udp"), QStringLiteral("127.0.0.1:0")};
    // Values and spy lines every 50 ms rather than every second: tests wait for them.
    a << QStringLiteral("--tick") << QStringLiteral("50");
    m_p.start(QStringLiteral(PILMORA_BIN_DIR) + QStringLiteral("/pilmora-gateway-sim"), a + args);
    if (!m_p.waitForStarted(5000)) return;
    while (!m_p.canReadLine() && m_p.waitForReadyRead(5000)) {
    }
    const QString line = QString::fromLocal8Bit(m_p.readLine()).trimmed();
    if (line.startsWith(QLatin1String("udp "))) m_port = quint16(line.mid(line.lastIndexOf(QLatin1Char(':')) + 1).toUInt());
    if (line.startsWith(QLatin1String("pty "))) m_device = line.mid(4);
}

GatewaySimProcess::~GatewaySimProcess() { kill(); }

void GatewaySimProcess::kill() {
    if (m_p.state() == QProcess::NotRunning) return;
    m_p.terminate();
    if (!m_p.waitForFinished(3000)) {
        m_p.kill();
        m_p.waitForFinished(3000);
    }
}

QString GatewaySimProcess::log() {
    m_log += QString::fromLocal8Bit(m_p.readAllStandardError());
    return m_log;
}

QString nonLoopback(const QString& folder, const QString& connectTo) {
    QStringList addresses{connectTo};
    const QString prot = projectProtocol(folder);
    if (!prot.isEmpty())
        addresses << iniRead(findNoCase(folder, prot + QStringLiteral(".ini")), QStringLiteral("ASCII"),
                             QStringLiteral("IP"), QString());
    for (const QString& a : addresses) {
        if (a.trimmed().isEmpty()) continue;
        if (!QHostAddress(a.trimmed()).isLoopback())
            return QStringLiteral("REFUSING TO GO ON LINE: %1 names the non-loopback address %2").arg(folder, a);
    }
    return QString();
}
