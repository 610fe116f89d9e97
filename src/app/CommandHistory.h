// The commands offered in the main window's command box: the fixed console
// list, then the commands the user typed, newest first. The typed ones are kept
// in the application INI (section "Comandos") so they survive a restart.
#pragma once

#include <QStringList>

class CommandHistory {
public:
    static constexpr int kMax = 20;

    // Reads the remembered commands of the application INI.
    void load();
    // A command that went out: trimmed; empty ones and the fixed commands as
    // they stand are not remembered; a repeated one moves to the front. The
    // list is written back at once. Returns true when the list changed.
    bool remember(const QString& command);

    const QStringList& recent() const { return m_recent; }

private:
    void save() const;
    QStringList m_recent;
};
