// Takes the right to change a folder's entries away for the lifetime of the
// object: permission bits for a normal user, the immutable attribute for root
// (whom permission bits do not stop). active() is false when neither works.
#pragma once

#include <QString>

class NoWriteFolder {
public:
    explicit NoWriteFolder(const QString& path);
    ~NoWriteFolder();
    NoWriteFolder(const NoWriteFolder&) = delete;
    NoWriteFolder& operator=(const NoWriteFolder&) = delete;
    bool active() const { return m_active; }

private:
    QString m_path;
    bool m_active = false;
    bool m_viaAttribute = false;
};
