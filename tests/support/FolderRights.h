// Writes that fail even for root: a folder whose entries cannot change (permission bits, or for root,
// whom they do not stop, the immutable attribute), one whose entries can be added but never replaced
// (the append-only attribute), and a full disk (a file size limit on this process).
#pragma once

#include <sys/resource.h>

#include <QString>

class NoWriteFolder {
public:
    explicit NoWriteFolder(const QString& path, bool appendOnly = false);
    ~NoWriteFolder();
    Q_DISABLE_COPY(NoWriteFolder)
    bool active() const { return m_active; }  // false when neither way works here

private:
    QString m_path, m_flag;  // what was set: "i", "a" or "-w" (the owner's write bit)
    bool m_active = false;
};

// Files this process writes stop growing at `bytes`: a write past it fails as on a full disk.
class FullDisk {
public:
    explicit FullDisk(qint64 bytes);
    ~FullDisk();
    Q_DISABLE_COPY(FullDisk)

private:
    rlimit m_old{};
};
