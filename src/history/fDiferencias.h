// The whole difference between the file about to be sent and the last one
// sent, as `pilmora diff` prints it, in a window that scrolls.
#pragma once

#include <QDialog>

class QPlainTextEdit;

class fDiferencias : public QDialog {
    Q_OBJECT
public:
    fDiferencias(const QString& text, QWidget* parent = nullptr);
    QPlainTextEdit* txtDiferencias = nullptr;
};
