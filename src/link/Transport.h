// The byte pipe under the gateway link: a serial port or a UDP socket. The link
// decides what to send and reads what arrives; a transport only moves bytes.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// A serial port as the system lists it now: there or not, and the USB serial
// number of the adapter where the system reports one.
struct PortIdentity {
    bool present = false;
    QString serialNumber;
};

class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Transport() override = default;

    // Opens the port or socket. On failure returns false with the system's
    // description in *error.
    virtual bool open(QString* error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // One message: over UDP one datagram, over serial bytes on the line.
    // Returns false when nothing could be handed to the system.
    virtual bool write(const QByteArray& bytes) = 0;
    // Waits at most `ms` for the bytes written to be handed to the line.
    virtual void flush(int /*ms*/) {}
    // True for UDP: datagrams start with "IS" and carry no CR.
    virtual bool isDatagram() const = 0;
    // What the link monitor's caption names: "COM3", "/dev/ttyUSB0", "127.0.0.1".
    virtual QString describe() const = 0;
    // UDP: datagrams go to `host` from now on (the gateway moved after a download).
    virtual bool retarget(const QString& /*host*/) { return false; }

signals:
    // Bytes from the gateway, in arrival order.
    void received(const QByteArray& bytes);
    // The port or socket failed after it was opened (adapter pulled out, socket
    // error). `fatal`: the port is gone and the link cannot go on.
    void failed(const QString& description, bool fatal);
    // A datagram from another address was dropped.
    void strangerDropped(const QString& sender);
};
