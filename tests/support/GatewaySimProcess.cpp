#include "GatewaySimProcess.h"

#ifdef Q_OS_LINUX
#include <sys/prctl.h>

#include <csignal>
#endif

#include <QHostAddress>

#include "AnsiText.h"
#include "ModulINI.h"
#include "ProjectCatalogue.h"

GatewaySimProcess::GatewaySimProcess(const QString& where, const QStringList& args) {
    // Values and spy lines every 50 ms rather than every second: tests wait for them.
    const QStringList a = where == "pty" ? QStringList{"--pty"} : QStringList{"--udp", "127.0.0.1:0"};
#ifdef Q_OS_LINUX
    // A test killed on its time limit takes its simulator with it, port and all.
    m_p.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
    m_p.start(QStringLiteral(PILMORA_BIN_DIR "/pilmora-gateway-sim"), a + QStringList{"--tick", "50"} + args);
    if (!m_p.waitForStarted(5000)) return;
    while (!m_p.canReadLine() && m_p.waitForReadyRead(5000)) continue;
    const QString line = QString::fromLocal8Bit(m_p.readLine()).trimmed();
    if (line.startsWith("udp ")) m_port = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
    if (line.startsWith("pty ")) m_device = line.mid(4);
}

GatewaySimProcess::~GatewaySimProcess() { kill(); }

void GatewaySimProcess::kill() {
    if (m_p.state() == QProcess::NotRunning) return;
    m_p.terminate();
    if (!m_p.waitForFinished(3000)) m_p.kill(), m_p.waitForFinished(3000);
}

QString GatewaySimProcess::log() { return m_log += QString::fromLocal8Bit(m_p.readAllStandardError()); }

QString nonLoopback(const QString& folder, const QString& connectTo) {
    QStringList addresses{connectTo};
    const QString prot = projectProtocol(folder);
    if (!prot.isEmpty()) addresses << iniRead(findNoCase(folder, prot + ".ini"), "ASCII", "IP", QString());
    for (const QString& a : addresses)
        if (!a.trimmed().isEmpty() && !QHostAddress(a.trimmed()).isLoopback())
            return QStringLiteral("REFUSING TO GO ON LINE: %1 names the non-loopback address %2").arg(folder, a);
    return QString();
}
