#include "FolderRights.h"

#include <unistd.h>

#include <QtCore>
#include <csignal>

namespace {
bool chattr(const QString& flag, const QString& path) {
    QProcess p;
    p.start(QStringLiteral("chattr"), {flag, path});
    return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
}  // namespace

NoWriteFolder::NoWriteFolder(const QString& path, bool appendOnly) : m_path(path) {
    if (geteuid() == 0) {
        if (chattr(appendOnly ? QStringLiteral("+a") : QStringLiteral("+i"), path))
            m_flag = appendOnly ? QStringLiteral("a") : QStringLiteral("i");
    } else if (!appendOnly) {
        m_flag = QStringLiteral("-w");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
    QFile probe(QDir(path).filePath(QStringLiteral(".probe")));
    const bool made = probe.open(QIODevice::WriteOnly);
    probe.close();
    m_active = appendOnly ? m_flag == QStringLiteral("a") && made && !probe.remove() : !made;
    if (!m_active && made) probe.remove();
}

NoWriteFolder::~NoWriteFolder() {
    if (m_flag == QStringLiteral("-w"))
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    else if (!m_flag.isEmpty())
        chattr(QStringLiteral("-") + m_flag, m_path);
    QFile::remove(QDir(m_path).filePath(QStringLiteral(".probe")));
}

FullDisk::FullDisk(qint64 bytes) {
    std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
    getrlimit(RLIMIT_FSIZE, &m_old);
    const rlimit limit{rlim_t(bytes), m_old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk() { setrlimit(RLIMIT_FSIZE, &m_old); }
