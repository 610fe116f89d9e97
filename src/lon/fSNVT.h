// The SNVT chooser: the catalogue as a list of names and numbers, filled at its
// first use and again whenever the catalogue was loaded since. The caller receives the chosen
// catalogue index through its method SNVTLink_Pasa(double).
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class fSNVT : public QDialog {
    Q_OBJECT
public:
    explicit fSNVT(QWidget* parent = nullptr);

    // Prepares the chooser for `caller` and preselects the row of `name` (trimmed);
    // the caller then shows the window modally.
    void SNVTLink_Muestra(QObject* caller, const QString& name);

    QTreeWidget* lvwPro = nullptr;
    QLineEdit* txtFiltro = nullptr;  // typing part of a name narrows the list
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;

    void cmdAceptar_Click();
    void cmdCancelar_Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void applyFilter(const QString& text);

    QPointer<QObject> m_caller;
    int m_generation = -1;  // of the catalogue the list was filled from
};
