// "Import XIF files": pick device interface files in a folder, list their network
// variables, select some and append them to the LON editor's grid for a range of
// devices. The reading and the import are the core routines of XifImport.h.
#pragma once

#include <QDialog>
#include <QString>
#include <QVector>

#include "XifImport.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class QTreeWidget;
class fConfLonA;

class fImportXif : public QDialog {
    Q_OBJECT
public:
    explicit fImportXif(fConfLonA* editor);

    // Opening: folder from the project INI ("Import", "Path"), options unticked,
    // device lists 1..number of devices of the editor.
    void Form_Load();
    // Form_Load, then shown modally.
    int Muestra();

    // Current folder; setting it refreshes the folder and file lists.
    QString folder() const { return m_folder; }
    void setFolder(const QString& folder);
    const QVector<XifFila>& list() const { return m_list; }

    QComboBox* Drive1 = nullptr;  // only where the platform has drives
    QLineEdit* txtCarpeta = nullptr;
    QListWidget* Dir1 = nullptr;
    QListWidget* File1 = nullptr;
    QPushButton* cmdCargar = nullptr;
    QTreeWidget* lvwPro = nullptr;
    QToolButton* cmdSelAll[2] = {nullptr, nullptr};
    QCheckBox* chkDevStatus = nullptr;
    QCheckBox* chkNDevice = nullptr;
    QComboBox* cboDini = nullptr;
    QComboBox* cboDfin = nullptr;
    QPushButton* cmdImportar = nullptr;
    QPushButton* cmdSalir = nullptr;

    void cmdCargar_Click();
    void Importar_Puntos();
    void cmdSelAll_Click(int index);

protected:
    void done(int result) override;

private:
    void refreshLists();
    void deviceChosen(bool first);
    // Lists the files with the options as they stand now.
    void listFiles(const QStringList& paths);

    fConfLonA* m_editor;
    QString m_folder;
    QVector<XifFila> m_list;
    QStringList m_listed;  // the files the list shows, read again when an option changes
    bool m_adjusting = false;
};
