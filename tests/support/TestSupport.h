// Shared test helpers: a temporary application folder with the built language
// file and templates, and small file utilities.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "ScriptedPrompts.h"

// A fresh application folder for one test: resets the globals, points appFolder at
// a temporary folder, copies the language file (and, when asked, the templates)
// there and loads the language texts (first language).
class TestHome {
public:
    explicit TestHome(bool withTemplates = true, bool loadLanguage = true);
    ~TestHome();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;
    // Makes `sub` (created when missing) the projects root and returns it.
    QString projectsRoot(const QString& sub = QStringLiteral("ProjectsASCII"));

private:
    QTemporaryDir m_dir;
};

// Fixture file from tests/data.
QString testData(const QString& name);
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);
// Copies a folder's plain files (not recursive) into another, creating it.
bool copyFolder(const QString& from, const QString& to);
// The built templates, copied for a test: the gateway address they ship with
// becomes 127.0.0.1, so that nothing a test creates ever points off this machine.
bool copyTemplates(const QString& to);
