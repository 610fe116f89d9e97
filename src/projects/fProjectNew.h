// Creates a project (from a template or as a copy of the selected one) or edits
// one (rename, description). Works on the public fields of the catalogue.
#pragma once

#include <QDialog>

class fProject;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class fProjectNew : public QDialog {
    Q_OBJECT
public:
    explicit fProjectNew(fProject* owner);

    QLabel* lbl[3] = {nullptr, nullptr, nullptr};
    QLineEdit* txtNom = nullptr;
    QLineEdit* txtDesc = nullptr;
    QComboBox* cboProt = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;

    bool copiarProyecto() const { return CopiarProyecto; }

public slots:
    void cmdAceptar_Click();
    void cmdCancelar_Click();

protected:
    void reject() override;

private:
    fProject* m_owner;
    qint16 ProModo;
    bool CopiarProyecto = false;
};
