// One running copy per application folder: a lock file there. The lock of a
// copy that crashed names a process that no longer runs and is taken over.
#pragma once

#include <QString>
#include <memory>

class QLockFile;

class InstanceLock {
public:
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock of `folder`.
    bool acquire(const QString& folder);
    static QString lockPath(const QString& folder);
    // Where the lock goes when the application folder cannot hold one: the
    // user's runtime folder.
    static QString fallbackLockPath(const QString& folder);

private:
    bool tryPath(const QString& path);
    std::unique_ptr<QLockFile> m_lock;
    int m_error = 0;  // QLockFile::LockError of the last attempt
};
