#include "InstanceLock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include "AnsiText.h"
#include "AppGlobals.h"

InstanceLock::InstanceLock() = default;
InstanceLock::~InstanceLock() = default;

QString InstanceLock::lockPath(const QString& folder) {
    return joinPath(folder, QString::fromLatin1(kAppTitle) + QStringLiteral(".lock"));
}

bool InstanceLock::acquire(const QString& folder) {
    QDir().mkpath(folder);
    m_lock = std::make_unique<QLockFile>(lockPath(folder));
    // No age limit: a copy that has run for hours still holds its lock. A lock
    // whose process is gone is recognised as stale by its process id.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) return true;
    // A lock file that names no process at all was cut short by a crash while
    // being written. Only an old one is taken over: a copy that is starting
    // right now may be in the middle of writing its own.
    qint64 pid = 0;
    QString host, appName;
    const QFileInfo fi(m_lock->fileName());
    if (m_lock->error() == QLockFile::LockFailedError && !m_lock->getLockInfo(&pid, &host, &appName) &&
        fi.lastModified().secsTo(QDateTime::currentDateTime()) > 2 && m_lock->removeStaleLockFile() &&
        m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}
