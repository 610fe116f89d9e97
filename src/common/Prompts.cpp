#include "Prompts.h"

#include <cstdio>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "ConsolePrompts.h"
#include "ScriptedPrompts.h"
#include "mIdioma.h"

namespace {
ConsolePrompts g_console;
Prompts* g_prompts = nullptr;
}  // namespace

Prompts& prompts() { return g_prompts ? *g_prompts : g_console; }
void installPrompts(Prompts* p) { g_prompts = p; }

int Msgbox1(const QString& text, const QString& title, int icon, int defaultButton, int buttons,
            const QString& caption1, const QString& caption2, const QString& caption3) {
    ToolBoxRequest r;
    r.text = visibleText(text);
    r.title = title.isEmpty() ? QString::fromLatin1(kAppTitle) : title;
    r.icon = icon;
    r.defaultButton = defaultButton;
    r.buttons = buttons;
    r.captions[0] = caption1;
    r.captions[1] = caption2;
    r.captions[2] = caption3;
    app().RespuestaMsgBox = 0;
    const int answer = prompts().toolBox(r);
    app().RespuestaMsgBox = qint16(answer);
    return answer;
}

void Aviso(const QString& text, int icon) {
    Msgbox1(text, QString::fromLatin1(kAppTitle), icon, 1, 1, Texto("&Aceptar"));
}

int MsgBox(const QString& text, int style, const QString& caption) {
    return prompts().systemBox(visibleText(text), style, caption.isEmpty() ? QString::fromLatin1(kAppTitle) : caption);
}

QString PideDato(const QString& title, const QString& prompt, const QString& defaultValue) {
    app().InputBoxAbierto = true;
    const QString r = prompts().inputBox(title, prompt, defaultValue);
    app().InputBoxAbierto = false;
    return r;
}

// ---- ConsolePrompts

void ConsolePrompts::print(const QString& text) {
    m_shown << text;
    if (m_echo) printTo(stderr, text);
}

void ConsolePrompts::printTo(std::FILE* stream, const QString& text) {
    QString t = visibleText(text);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QByteArray b = t.toLocal8Bit();
    std::fprintf(stream, "%s\n", b.constData());
}

int ConsolePrompts::toolBox(const ToolBoxRequest& request) {
    print(request.text);
    return 1;
}

int ConsolePrompts::systemBox(const QString& text, int style, const QString&) {
    print(text);
    const int b = Msg::buttonsOf(style);
    return (b == Msg::YesNo || b == Msg::YesNoCancel) ? Msg::Yes : Msg::OK;
}

QString ConsolePrompts::inputBox(const QString&, const QString& prompt, const QString& defaultValue) {
    print(prompt);
    return defaultValue;
}

// ---- ScriptedPrompts

ScriptedPrompts::ScriptedPrompts() { installPrompts(this); }
ScriptedPrompts::~ScriptedPrompts() {
    if (&prompts() == this) installPrompts(nullptr);
}

int ScriptedPrompts::toolBox(const ToolBoxRequest& r) {
    // Every box a test sees is one a user could answer with Enter: its default
    // is one of the buttons it shows, and no two of its buttons read the same.
    if (r.defaultButton < 1 || r.defaultButton > r.buttons || r.buttons > 3)
        qFatal("box \"%s\": default button %d of %d", qPrintable(r.text.left(60)), r.defaultButton, r.buttons);
    for (int i = 1; i < r.buttons; ++i)
        for (int j = 0; j < i; ++j)
            if (r.captions[i] == r.captions[j])
                qFatal("box \"%s\": buttons %d and %d both read \"%s\"", qPrintable(r.text.left(60)), j + 1, i + 1,
                       qPrintable(r.captions[i]));
    m_shown.append({ToolBox, r.text, r.title, r.icon, r.buttons, r.defaultButton});
    return m_answers.isEmpty() ? 1 : m_answers.dequeue();
}

int ScriptedPrompts::systemBox(const QString& text, int style, const QString& caption) {
    m_shown.append({SystemBox, text, caption, style, 0});
    if (!m_answers.isEmpty()) return m_answers.dequeue();
    const int b = Msg::buttonsOf(style);
    return (b == Msg::YesNo || b == Msg::YesNoCancel) ? Msg::Yes : Msg::OK;
}

QString ScriptedPrompts::inputBox(const QString& title, const QString& prompt, const QString& defaultValue) {
    m_shown.append({InputBox, prompt, title, 0, 0});
    return m_texts.isEmpty() ? defaultValue : m_texts.dequeue();
}

QStringList ScriptedPrompts::texts() const {
    QStringList l;
    for (const auto& s : m_shown) l << s.text;
    return l;
}
