// The UDP socket under the gateway link. Datagrams go to the gateway's address
// and port; datagrams from any other address are dropped, so a stranger on the
// network cannot feed the tool value reports or a "SUCCES". The gateway's own
// address is taken from any source port: a gateway may answer from another one.
#pragma once

#include <QHostAddress>

#include "Transport.h"

class QUdpSocket;

class UdpTransport : public Transport {
    Q_OBJECT
public:
    UdpTransport(const QString& host, quint16 port, QObject* parent = nullptr);
    ~UdpTransport() override;

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes) override;
    bool isDatagram() const override { return true; }
    QString describe() const override { return m_hostText; }
    bool retarget(const QString& host) override;

    // Whether a datagram from `sender` is the gateway's (`gateway`).
    static bool accepts(const QHostAddress& gateway, const QHostAddress& sender);

    // The local port the socket is bound to (0 while closed).
    quint16 localPort() const;
    // Datagrams dropped because they came from another address.
    int droppedDatagrams() const { return m_dropped; }

private:
    void onReadyRead();
    QUdpSocket* m_socket;
    QString m_hostText;
    QHostAddress m_host;
    quint16 m_port;
    int m_dropped = 0;
};
