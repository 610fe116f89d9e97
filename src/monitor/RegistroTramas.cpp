#include "RegistroTramas.h"

#include "AnsiText.h"
#include "AppGlobals.h"

QString RegistroTramas::ruta() {
    return app().RutaProyecto + QLatin1Char('/') + app().ProtProyecto + QStringLiteral(".log");
}

bool RegistroTramas::abre(QString* error) {
    cierra();
    m_file.setFileName(ruta());
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append)) return true;
    if (error) *error = m_file.errorString();
    return false;
}

bool RegistroTramas::escribe(const QString& texto, const QDateTime& cuando) {
    if (!m_file.isOpen()) return true;
    const QByteArray line =
        toAnsi(cuando.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss ")) + texto + QStringLiteral("\r\n"));
    return m_file.write(line) == line.size();
}

bool RegistroTramas::vacia() { return !m_file.isOpen() || m_file.flush(); }

void RegistroTramas::cierra() {
    if (m_file.isOpen()) m_file.close();
}
