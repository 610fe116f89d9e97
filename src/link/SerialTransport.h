// The serial port under the gateway link. The port is named by its number
// ("Com" 3 gives "COM3" on Windows) or by a device path ("/dev/ttyUSB0", or a
// pseudo-terminal in tests); the settings text is "57600,n,8,1".
#pragma once

#include "Transport.h"

class QSerialPort;

struct SerialSettings {
    qint32 baud = 57600;
    char parity = 'n';  // n, e, o, m, s
    int dataBits = 8;
    int stopBits = 1;
    bool valid = false;
};

class SerialTransport : public Transport {
    Q_OBJECT
public:
    // `device` wins over `portNumber` when it is not empty.
    SerialTransport(int portNumber, const QString& device, const QString& settings, QObject* parent = nullptr);
    ~SerialTransport() override;

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes) override;
    void flush(int ms) override;
    bool isDatagram() const override { return false; }
    QString describe() const override { return m_name; }

    // "57600,n,8,1": baud, parity letter, data bits, stop bits. Any baud the
    // connection dialog offers (1200 .. 115200) and any other positive number.
    static SerialSettings parseSettings(const QString& text);
    // The platform's name of port `n`: "COM<n>" on Windows, else "/dev/ttyS<n-1>".
    static QString portName(int n);
    // Whether port `name` ("COM3", "/dev/ttyUSB0", a link to a device) is there
    // now, and its adapter's USB serial number where the system reports one.
    static PortIdentity identity(const QString& name);
    // What an engineer can do about a port the system refused to open for want of
    // rights: on Linux the command that adds the user to the device's group.
    static QString permissionHint(const QString& name);

private:
    void onReadyRead();
    QSerialPort* m_port;
    QString m_name;
    QString m_settings;
    bool m_opening = false;
};
