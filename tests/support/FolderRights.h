// No right to change the folder's entries while it lives: permission bits, or for root
// (whom they do not stop) the immutable attribute. active() is false when neither works.
#pragma once

#include <QString>

class NoWriteFolder {
public:
    explicit NoWriteFolder(const QString& path);
    ~NoWriteFolder();
    Q_DISABLE_COPY(NoWriteFolder)
    bool active() const { return m_active; }

private:
    QString m_path;
    bool m_active = false, m_viaAttribute = false;
};
