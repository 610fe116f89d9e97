#include "InstanceLock.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include "AnsiText.h"
#include "AppGlobals.h"

InstanceLock::InstanceLock() = default;
InstanceLock::~InstanceLock() = default;

QString InstanceLock::lockPath(const QString& folder) {
    return joinPath(folder, QString::fromLatin1(kAppTitle) + QStringLiteral(".lock"));
}

QString InstanceLock::fallbackLockPath(const QString& folder) {
    const QByteArray id = QCryptographicHash::hash(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()).toUtf8(),
                                                   QCryptographicHash::Sha1)
                              .toHex()
                              .left(16);
    // A folder of this user's own: another user's copy of an installed program
    // is not refused, and nobody else's stale lock is ever in the way.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return joinPath(dir, QString::fromLatin1(kAppTitle) + QLatin1Char('-') + QString::fromLatin1(id) +
                             QStringLiteral(".lock"));
}

bool InstanceLock::acquire(const QString& folder) {
    QDir().mkpath(folder);
    if (tryPath(lockPath(folder))) return true;
    // An application folder the user may not write to (an installed copy)
    // keeps its lock in the user's runtime folder, still one per application folder.
    if (m_error != QLockFile::LockFailedError) {
        const QString fallback = fallbackLockPath(folder);
        QDir().mkpath(QFileInfo(fallback).absolutePath());
        return tryPath(fallback);
    }
    return false;
}

bool InstanceLock::tryPath(const QString& path) {
    m_lock = std::make_unique<QLockFile>(path);
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
    m_error = m_lock->error();
    m_lock.reset();
    return false;
}
