#include "FolderRights.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <unistd.h>

namespace {
bool canCreateIn(const QString& dir) {
    QFile probe(QDir(dir).filePath(QStringLiteral(".probe")));
    if (!probe.open(QIODevice::WriteOnly)) return false;
    probe.close();
    probe.remove();
    return true;
}

bool chattr(const QString& flag, const QString& path) {
    QProcess p;
    p.start(QStringLiteral("chattr"), {flag, path});
    return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
}  // namespace

NoWriteFolder::NoWriteFolder(const QString& path) : m_path(path) {
    if (geteuid() == 0) {
        m_viaAttribute = chattr(QStringLiteral("+i"), path);
    } else {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
    m_active = !canCreateIn(path);
}

NoWriteFolder::~NoWriteFolder() {
    if (m_viaAttribute)
        chattr(QStringLiteral("-i"), m_path);
    else
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
