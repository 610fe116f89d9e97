// Prompts for the command-line tool: messages are printed, questions take their
// first button, input boxes their default.
#pragma once

#include <QStringList>
#include <cstdio>

#include "Prompts.h"

class ConsolePrompts : public Prompts {
public:
    // When `echo` is false nothing is printed; every text is still kept in shown().
    explicit ConsolePrompts(bool echo = true) : m_echo(echo) {}
    int toolBox(const ToolBoxRequest& request) override;
    int systemBox(const QString& text, int style, const QString& caption) override;
    QString inputBox(const QString& title, const QString& prompt, const QString& defaultValue) override;
    const QStringList& shown() const { return m_shown; }
    // Messages go to stderr while echo is on; with it off the caller decides
    // afterwards which of them are results (stdout) and prints them with printTo.
    void setEcho(bool echo) { m_echo = echo; }
    static void printTo(std::FILE* stream, const QString& text);

private:
    void print(const QString& text);
    bool m_echo;
    QStringList m_shown;
};
