// The tool's own message box: up to three buttons with captions chosen by the
// caller and one of three icons. The answer is left in RespuestaMsgBox.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTextEdit;

class fMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit fMsgBox(QWidget* parent = nullptr);

    // Prepares the window; the caller then shows it modally (exec) and reads RespuestaMsgBox.
    // Icon kind 2 = exclamation, 3 = alert, anything else = question.
    void Msgbox1(const QString& text, const QString& title, int icon, int defaultButton, int buttons,
                 const QString& caption1 = QString(), const QString& caption2 = QString(),
                 const QString& caption3 = QString());
    // The icons are built into the window; nothing left to load.
    void CargaRecursos() {}

    // 1..3 for the button pressed, 0 when closed any other way.
    int respuesta() const;
    // The message as shown: line feeds removed, each CR followed by LF.
    QString texto() const { return m_text; }
    int iconKind() const { return m_icon; }

    QTextEdit* lblMsg;
    QPushButton* cmd[3];
    QLabel* imgInterrogacion;
    QLabel* imgExclamacion;
    QLabel* imgAlerta;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pressed(int index);
    void fitHeight();

    QString m_text;
    int m_icon = 1;
    QPushButton* m_cancel = nullptr;
};
