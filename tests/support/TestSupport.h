// Shared test helpers: a temporary application folder and small file utilities.
#pragma once

#include <QtTest>
#include <tuple>

#include "ScriptedPrompts.h"

// Resets the globals and points appFolder at a fresh folder holding the built language file
// (and, when asked, the templates); loads the texts of the first language.
class TestHome {
public:
    explicit TestHome(bool withTemplates = true, bool loadLanguage = true);
    ~TestHome();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;
    QString projectsRoot(const QString& sub = QStringLiteral("ProjectsASCII"));  // created, made the root

private:
    QTemporaryDir m_dir;
};

QString testData(const QString& name);  // a file of tests/data
QByteArray readAll(const QString& path);
QByteArray crlf(const QStringList& lines);  // as the program writes lines: Windows-1252, CR LF
bool writeAll(const QString& path, const QByteArray& bytes);
QString withTexts(QString s);                    // "@Key" (ended by ";" or "|" when a letter follows): the key's text
QByteArray b(std::initializer_list<int> bytes);  // bytes by value
bool copyFolder(const QString& from, const QString& to);  // plain files only, creates `to`
// Scripted answers that also record the wait pointer: on, off, in order.
struct BusyPrompts : ScriptedPrompts {
    void setBusy(bool on) override { busy << on; }
    QList<bool> busy;
};
// The command-line tool run on a home folder (30 s at most; code -1 when it did not finish, -2 on a crash).
struct CliRun {
    int code = -1;
    QString out, err;
};
CliRun runPilmora(const QString& home, const QStringList& args);
// The gateway address the templates ship with becomes 127.0.0.1: nothing a test makes points off this machine.
bool copyTemplates(const QString& to);

// Test columns by name and type, and the current row's values of them: auto [a, b] = fetch<A, B>("a", "b").
// The columns give back a maker of named rows, each value taken as its column's type: row("name", a, b).
template <class... T>
struct TableRow {
    void operator()(const char* name, const T&... values) const { (QTest::newRow(name) << ... << values); }
};
template <class... T, class... Name>
TableRow<T...> addColumns(const Name&... names) {
    (QTest::addColumn<T>(names), ...);
    return {};
}
template <class T>
T col(const char* name) {
    return *static_cast<T*>(QTest::qData(name, qMetaTypeId<T>()));
}
template <class... T, class... Name>
std::tuple<T...> fetch(const Name&... names) {
    return {col<T>(names)...};
}
