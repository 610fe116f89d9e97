#include "InstanceLock.h"

#include <QDir>
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
    m_lock.reset();
    return false;
}
