// The About window: title, version, description and disclaimer.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class fAbout : public QDialog {
    Q_OBJECT
public:
    explicit fAbout(QWidget* parent = nullptr);

    // Major, minor and revision joined by ".".
    static QString versionText();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
};
