// The project's download history: every row of History.csv, newest first.
#pragma once

#include <QDialog>

class QTreeWidget;
class QPushButton;
class QVBoxLayout;

// The row both history windows end with: a default "Close" button at the right.
QPushButton* filaCerrar(QDialog* dialog, QVBoxLayout* layout);

class fHistorial : public QDialog {
    Q_OBJECT
public:
    // Reads the history of `projectFolder`; a file that cannot be read is said in the list's place.
    explicit fHistorial(const QString& projectFolder, QWidget* parent = nullptr);
    QTreeWidget* lvwHistorial = nullptr;
    QPushButton* cmdCerrar = nullptr;
};
