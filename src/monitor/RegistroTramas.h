// The external-traffic log: RutaProyecto + "/" + ProtProyecto + ".log", opened
// for appending while logging is on; one line per listed spy line, stamped
// "yyyy/MM/dd hh:mm:ss " and ended with CR LF.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

class RegistroTramas {
public:
    // The log of the current project.
    static QString ruta();
    // Opens (creates when missing) for appending; false with the system's
    // reason in `error` when it cannot.
    bool abre(QString* error);
    bool abierto() const { return m_file.isOpen(); }
    // False once the file refuses a write (a full disk): `error()` says why.
    bool escribe(const QString& texto, const QDateTime& cuando = QDateTime::currentDateTime());
    // What was written reaches the disk (called once per listed batch); false as escribe.
    bool vacia();
    void cierra();
    QString error() const { return m_file.errorString(); }

private:
    QFile m_file;
};
