// The simulated gateway started as its own program, on loopback UDP or a
// pseudo-terminal; and the guard that keeps tests off any real network.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

class GatewaySimProcess {
public:
    // `where`: "udp" (127.0.0.1, a free port) or "pty"; waits for the line saying where it listens.
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

// Empty when the address to connect to and the gateway IP of the project's
// protocol INI are loopback; otherwise the reason, which the test fails with.
QString nonLoopback(const QString& projectFolder, const QString& connectTo);
