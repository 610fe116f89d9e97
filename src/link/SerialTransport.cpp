#include "SerialTransport.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QStringList>

#include "mIdioma.h"

SerialTransport::SerialTransport(int portNumber, const QString& device, const QString& settings, QObject* parent)
    : Transport(parent), m_port(new QSerialPort(this)), m_settings(settings) {
    m_name = device.isEmpty() ? portName(portNumber) : device;
    connect(m_port, &QSerialPort::readyRead, this, &SerialTransport::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A port that vanishes (adapter pulled out, the other end of a
        // pseudo-terminal gone) reports a resource or read error, and goes on
        // reporting it at every read: the port is closed at the first. Write
        // faults pass; the link's time-outs deal with them.
        // Faults of the set-up itself (a pseudo-terminal refuses some ioctls)
        // are open()'s to report.
        if (e == QSerialPort::NoError || !m_port->isOpen() || m_opening) return;
        const bool fatal = e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
                           e == QSerialPort::PermissionError ||
                           e == QSerialPort::DeviceNotFoundError;
        const QString text = m_port->errorString();
        m_port->clearError();
        if (fatal) m_port->close();
        emit failed(text, fatal);
    });
}

SerialTransport::~SerialTransport() {
    m_port->disconnect(this);
    if (m_port->isOpen()) m_port->close();
}

QString SerialTransport::portName(int n) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM") + QString::number(n);
#else
    return QStringLiteral("/dev/ttyS") + QString::number(qMax(0, n - 1));
#endif
}

PortIdentity SerialTransport::identity(const QString& name) {
    PortIdentity id;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.portName() != name && info.systemLocation() != name) continue;
        id.present = true;
        id.serialNumber = info.serialNumber();
        return id;
    }
    // Devices the system does not list (pseudo-terminals, links to a device).
    id.present = name.startsWith(QLatin1Char('/')) && QFileInfo::exists(name);
    return id;
}

QString SerialTransport::permissionHint(const QString& name) {
#ifdef Q_OS_LINUX
    const QFileInfo device(name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name);
    const QString group = device.exists() ? device.group() : QString();
    if (group.isEmpty() || group == QLatin1String("root")) return QString();
    return Texto("PuertoSinPermiso") + QStringLiteral("sudo usermod -a -G ") + group + QStringLiteral(" $USER");
#else
    Q_UNUSED(name);
    return QString();
#endif
}

SerialSettings SerialTransport::parseSettings(const QString& text) {
    SerialSettings s;
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() != 4) return s;
    bool ok1 = false, ok2 = false, ok3 = false;
    s.baud = f[0].trimmed().toInt(&ok1);
    const QString p = f[1].trimmed().toLower();
    s.dataBits = f[2].trimmed().toInt(&ok2);
    const QString stop = f[3].trimmed();
    // 3 is how 1.5 stop bits are held: only the text "1.5" may give it.
    const bool half = stop == QLatin1String("1.5");
    s.stopBits = half ? 3 : stop.toInt(&ok3);
    ok3 = half || (ok3 && s.stopBits != 3);
    s.parity = p.size() == 1 ? p[0].toLatin1() : '?';
    s.valid = ok1 && ok2 && ok3 && s.baud > 0 && QByteArray("neoms").contains(s.parity) && s.dataBits >= 5 &&
              s.dataBits <= 8 && (s.stopBits == 1 || s.stopBits == 2 || s.stopBits == 3);
    return s;
}

bool SerialTransport::open(QString* error) {
    const SerialSettings s = parseSettings(m_settings);
    if (!s.valid) {
        if (error) *error = QStringLiteral("Settings: ") + m_settings;
        return false;
    }
    m_port->setPortName(m_name);
    m_opening = true;
    const struct Done {
        bool& f;
        ~Done() { f = false; }
    } done{m_opening};
    if (!m_port->open(QIODevice::ReadWrite)) {
        if (error) *error = m_port->errorString();
        if (error && m_port->error() == QSerialPort::PermissionError) {
            const QString hint = permissionHint(m_name);
            if (!hint.isEmpty()) *error += QLatin1Char('\r') + hint;
        }
        m_port->clearError();
        return false;
    }
    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (s.parity) {
        case 'e': parity = QSerialPort::EvenParity; break;
        case 'o': parity = QSerialPort::OddParity; break;
        case 'm': parity = QSerialPort::MarkParity; break;
        case 's': parity = QSerialPort::SpaceParity; break;
        default: break;
    }
    const bool ok = m_port->setBaudRate(s.baud) && m_port->setParity(parity) &&
                    m_port->setDataBits(QSerialPort::DataBits(s.dataBits)) &&
                    m_port->setStopBits(s.stopBits == 3   ? QSerialPort::OneAndHalfStop
                                        : s.stopBits == 2 ? QSerialPort::TwoStop
                                                          : QSerialPort::OneStop) &&
                    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        if (error) *error = m_port->errorString();
        m_port->clearError();
        m_port->close();
        return false;
    }
    return true;
}

void SerialTransport::close() {
    if (m_port->isOpen()) m_port->close();
}

bool SerialTransport::isOpen() const { return m_port->isOpen(); }

bool SerialTransport::write(const QByteArray& bytes) {
    if (!m_port->isOpen()) return false;
    return m_port->write(bytes) == bytes.size();
}

void SerialTransport::flush(int ms) {
    QDeadlineTimer deadline(ms);
    while (m_port->isOpen() && m_port->bytesToWrite() > 0 && !deadline.hasExpired())
        if (!m_port->waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())))) break;
}

void SerialTransport::onReadyRead() {
    // Everything waiting, until the input is empty.
    while (m_port->bytesAvailable() > 0) {
        const QByteArray b = m_port->readAll();
        if (b.isEmpty()) break;
        emit received(b);
        if (!m_port->isOpen()) break;
    }
}
