#include "UdpTransport.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

UdpTransport::UdpTransport(const QString& host, quint16 port, QObject* parent)
    : Transport(parent), m_socket(new QUdpSocket(this)), m_hostText(host.trimmed()), m_port(port) {
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpTransport::onReadyRead);
    connect(m_socket, &QUdpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        emit failed(m_socket->errorString(), false);
    });
}

UdpTransport::~UdpTransport() { m_socket->disconnect(this); }

bool UdpTransport::open(QString* error) {
    if (!m_host.setAddress(m_hostText) || m_host.protocol() != QAbstractSocket::IPv4Protocol) {
        if (error) *error = QStringLiteral("IP: ") + m_hostText;
        return false;
    }
    if (m_port == 0) {
        if (error) *error = QStringLiteral("Port: 0");
        return false;
    }
    if (m_socket->state() == QAbstractSocket::BoundState) return true;
    if (!m_socket->bind(QHostAddress::AnyIPv4, 0)) {
        if (error) *error = m_socket->errorString();
        return false;
    }
    return true;
}

quint16 UdpTransport::localPort() const { return isOpen() ? m_socket->localPort() : 0; }

void UdpTransport::close() { m_socket->close(); }

bool UdpTransport::isOpen() const { return m_socket->state() == QAbstractSocket::BoundState; }

bool UdpTransport::write(const QByteArray& bytes) {
    if (!isOpen()) return false;
    return m_socket->writeDatagram(bytes, m_host, m_port) == bytes.size();
}

bool UdpTransport::accepts(const QHostAddress& gateway, const QHostAddress& sender) {
    // IPv4-mapped forms compare equal.
    return !gateway.isNull() && sender.isEqual(gateway);
}

bool UdpTransport::retarget(const QString& host) {
    QHostAddress a;
    if (!a.setAddress(host.trimmed()) || a.protocol() != QAbstractSocket::IPv4Protocol) return false;
    m_hostText = host.trimmed();
    m_host = a;
    return true;
}

void UdpTransport::onReadyRead() {
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket->receiveDatagram();
        if (!d.isValid()) break;
        if (!accepts(m_host, d.senderAddress())) {
            ++m_dropped;
            emit strangerDropped(d.senderAddress().toString());
            continue;
        }
        emit received(d.data());
        if (!isOpen()) break;
    }
}
