// The simulated gateway started as a separate program, the way a user starts
// it, on loopback UDP or a pseudo-terminal; and the guard that keeps tests off
// any real network.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

class GatewaySimProcess {
public:
    // `where`: "udp" (127.0.0.1, a free port) or "pty". Waits for the line
    // that says where it listens; started() is false when it did not come.
    GatewaySimProcess(const QString& where, const QStringList& args);
    ~GatewaySimProcess();
    bool started() const { return m_port != 0 || !m_device.isEmpty(); }
    quint16 port() const { return m_port; }
    QString device() const { return m_device; }
    // Its own log so far (stderr).
    QString log();
    void kill();

private:
    QProcess m_p;
    quint16 m_port = 0;
    QString m_device;
    QString m_log;
};

// Empty when every address the project folder names (its protocol INI's
// gateway IP) and the address to connect to are loopback; otherwise the
// reason, which the test reports as its failure before anything is sent.
QString nonLoopback(const QString& projectFolder, const QString& connectTo);
