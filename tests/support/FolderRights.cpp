#include "FolderRights.h"

#include <unistd.h>

#include <QtCore>

namespace {
bool chattr(const QString& flag, const QString& path) {
    QProcess p;
    p.start(QStringLiteral("chattr"), {flag, path});
    return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
}  // namespace

NoWriteFolder::NoWriteFolder(const QString& path) : m_path(path) {
    if (geteuid() == 0)
        m_viaAttribute = chattr(QStringLiteral("+i"), path);
    else
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(QDir(path).filePath(QStringLiteral(".probe")));
    m_active = !probe.open(QIODevice::WriteOnly);
    if (!m_active) probe.remove();
}

NoWriteFolder::~NoWriteFolder() {
    if (m_viaAttribute)
        chattr(QStringLiteral("-i"), m_path);
    else
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
