// The project catalogue: lists the project folders and creates, edits, deletes
// and selects projects. Selecting hands the project to the main window through
// the current-project globals.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class fProject : public QDialog {
    Q_OBJECT
public:
    explicit fProject(QWidget* parent = nullptr);
    ~fProject() override;

    // Handed to and from fProjectNew.
    QString ProNombre, ProProt, ProDesc;
    qint16 ProModo = 0;  // 1 = create, 2 = edit, 0 = cancelled

    // False when the projects root could not be listed nor created: the window
    // has closed at once.
    bool cargado() const { return m_cargado; }
    int exec() override;

    // Copies the selected row into ProNombre / ProProt / ProDesc.
    bool LeerSeleccion();

    QLabel* lblPathProjects = nullptr;
    QTreeWidget* lvwPro = nullptr;
    QPushButton *cmdNuevo = nullptr, *cmdEdit = nullptr, *cmdBorrar = nullptr, *cmdSelec = nullptr,
                *cmdSalir = nullptr;

public slots:
    void cmdNuevo_Click();
    void cmdEdit_Click();
    void cmdBorrar_Click();
    void cmdSelec_Click();
    void cmdSalir_Click();
    // Header click: sort by that column, toggling the order.
    void lvwPro_ColumnClick(int column);

protected:
    void done(int r) override;
    bool eventFilter(QObject* obj, QEvent* ev) override;
    // The new/edit dialog, shown modally; a seam for tests.
    virtual void muestraProjectNew();

private:
    void EscanearProyectos();
    QTreeWidgetItem* anyadeFila(const QString& nombre, const QString& prot, const QString& desc);
    QTreeWidgetItem* seleccionada() const;

    QString m_rutaGuardada;  // RutaProyecto when the window opened, or the selected one
    bool m_cargado = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
