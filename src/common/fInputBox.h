// The tool's one-line input box.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class fInputBox : public QDialog {
    Q_OBJECT
public:
    explicit fInputBox(QWidget* parent = nullptr);
    ~fInputBox() override;

    // Caption, prompt and the text offered; the caller then shows it modally and reads resultado().
    void prepara(const QString& title, const QString& prompt, const QString& defaultValue);
    // What the user confirmed; empty after cancel or the close box.
    QString resultado() const { return m_result; }

    // Shows the box modally and returns the confirmed text, or an empty string.
    static QString PideDato(const QString& title, const QString& prompt, const QString& defaultValue,
                            QWidget* parent = nullptr);

    QLabel* lblDesc;
    QLineEdit* txtDato;
    QPushButton* cmdAceptar;
    QPushButton* cmdCancelar;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void acepta();
    void cancela();
    QString m_result;
};
