#pragma once

#include "TestSupport.h"

// A project folder; no "Prot" key when prot is null; protIni: lines of its protocol INI.
inline QString makeProject(const QString& root, const QString& name, const QString& prot, const QString& desc,
                           const QStringList& protIni = {}) {
    const QString dir = QDir(root).filePath(name);
    QDir().mkpath(dir);
    QStringList ini{QStringLiteral("[Project]")};
    if (!prot.isNull()) ini << QStringLiteral("Prot=") + prot;
    ini << QStringLiteral("Desc=") + desc;
    writeAll(QDir(dir).filePath(QStringLiteral("Project.ini")), crlf(ini));
    if (!protIni.isEmpty()) writeAll(QDir(dir).filePath(prot + QStringLiteral(".ini")), crlf(protIni));
    return dir;
}

inline QString nat(const QString& p) { return QDir::toNativeSeparators(p); }
