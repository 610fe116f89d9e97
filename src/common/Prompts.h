// Every message box, question and input box goes through one seam: the program
// installs the window implementation, tests install ScriptedPrompts, the
// command-line tool prints.
#pragma once

#include <QString>

// System message box styles and answers, with the values of the Windows box.
namespace Msg {
enum Style : int {
    OKOnly = 0,
    OKCancel = 1,
    YesNoCancel = 3,
    YesNo = 4,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
};
enum Answer : int { OK = 1, Cancel = 2, Yes = 6, No = 7 };
inline int buttonsOf(int style) { return style & 0x0F; }
inline int iconOf(int style) { return style & 0x70; }
}  // namespace Msg

// The tool's own message box: up to three buttons with chosen captions.
// Icon kind 2 = exclamation, 3 = alert, other = question.
struct ToolBoxRequest {
    QString text;
    QString title;
    int icon = 3;
    int defaultButton = 1;
    int buttons = 1;
    QString captions[3];
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // Returns 1..3 for the button pressed, 0 when closed otherwise.
    virtual int toolBox(const ToolBoxRequest& request) = 0;
    // Returns a Msg::Answer.
    virtual int systemBox(const QString& text, int style, const QString& caption) = 0;
    // Returns what the user confirmed, or an empty string.
    virtual QString inputBox(const QString& title, const QString& prompt, const QString& defaultValue) = 0;
    // Hourglass pointer on/off.
    virtual void setBusy(bool /*on*/) {}
};

Prompts& prompts();
// nullptr restores the console implementation. Not owned.
void installPrompts(Prompts* p);

// The tool's message box: prepares, shows modally, stores and returns RespuestaMsgBox.
int Msgbox1(const QString& text, const QString& title, int icon, int defaultButton, int buttons,
            const QString& caption1 = QString(), const QString& caption2 = QString(),
            const QString& caption3 = QString());
// The usual call: one button "&Aceptar", the application title as caption.
void Aviso(const QString& text, int icon = 3);
// The system message box; an empty caption means the application title.
int MsgBox(const QString& text, int style = Msg::OKOnly, const QString& caption = QString());
// The tool's input box.
QString PideDato(const QString& title, const QString& prompt, const QString& defaultValue);

// Hourglass for the lifetime of the object.
class BusyPointer {
public:
    BusyPointer() { prompts().setBusy(true); }
    ~BusyPointer() { prompts().setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};
