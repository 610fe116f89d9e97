// Prompts for tests: records every text shown and hands back queued answers.
#pragma once

#include <QList>
#include <QQueue>
#include <QStringList>

#include "Prompts.h"

class ScriptedPrompts : public Prompts {
public:
    enum Kind { ToolBox, SystemBox, InputBox };
    struct Shown {
        Kind kind;
        QString text;
        QString caption;
        int style = 0;          // system box style, or tool box icon kind
        int buttons = 0;        // tool box button count
        int defaultButton = 0;  // the tool box button Enter presses
    };

    // Installs itself on construction, restores the console prompts on destruction.
    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Answers in the order they will be asked. When the queue is empty a box
    // answers its first button (OK or Yes) and an input box its default.
    void queueAnswer(int answer) { m_answers.enqueue(answer); }
    void queueText(const QString& text) { m_texts.enqueue(text); }

    int toolBox(const ToolBoxRequest& request) override;
    int systemBox(const QString& text, int style, const QString& caption) override;
    QString inputBox(const QString& title, const QString& prompt, const QString& defaultValue) override;

    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    void clear() { m_shown.clear(); }

private:
    QList<Shown> m_shown;
    QQueue<int> m_answers;
    QQueue<QString> m_texts;
};
