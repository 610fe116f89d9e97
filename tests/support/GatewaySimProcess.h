// The simulated gateway as its own program, and the guard that keeps tests off any real network.
#pragma once

#include <QProcess>
#include <QStringList>

class GatewaySimProcess {
public:
    // "udp" (127.0.0.1, a free port) or "pty"; waits for the line saying where it listens.
    GatewaySimProcess(const QString& where, const QStringList& args);
    ~GatewaySimProcess();
    bool started() const { return m_port != 0 || !m_device.isEmpty(); }
    quint16 port() const { return m_port; }
    QString device() const { return m_device; }
    QString log();  // its own log so far (stderr)
    void kill();

private:
    QProcess m_p;
    quint16 m_port = 0;
    QString m_device, m_log;
};

// Empty when the address and the project's gateway IP are loopback; otherwise the reason.
QString nonLoopback(const QString& projectFolder, const QString& connectTo);
