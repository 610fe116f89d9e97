// The MBS6 editor: the serial ASCII side, the bus poll time and the 63 indoor
// units on the first tab, the fixed property grid on the second. Built from the
// same pieces as the LON editor (fSignalEditor); it binds its controls to the
// MBS6 model (Mbs6Config) and the grid; every rule lives in the core.
#pragma once

#include <QHash>
#include <QString>

#include "fSignalEditor.h"

class QFrame;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QToolButton;
class Mbs6Config;

class fConfMbs6A : public fSignalEditor {
    Q_OBJECT
public:
    explicit fConfMbs6A(QWidget* parent = nullptr);
    ~fConfMbs6A() override;

    // Loads the current project (model, grid, controls) the way the window opens.
    void Form_Load();
    // Form_Load, then shown modally (the main window's protocol menu).
    int Muestra();

    Mbs6Config& model() { return *m_cfg; }
    bool connectionChanged() const;
    bool gridChanged() const;

    // --- controls, named as the system names them
    QTabBar* TabStrip1 = nullptr;
    QFrame* fraConexion = nullptr;
    QFrame* fraSenyales = nullptr;
    QLineEdit* txtTimeoutPoll = nullptr;
    QListWidget* lstMaquina = nullptr;
    QLineEdit* txtMaquina = nullptr;
    QPlainTextEdit* txtMsg = nullptr;
    QToolButton* cmdUp = nullptr;
    QToolButton* cmdDown = nullptr;
    QPushButton* cmdInsertar = nullptr;
    QPushButton* cmdElimina = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QPushButton* cmdPilmora = nullptr;

    // Handlers, public so that tests and the main window can drive them.
    void cmdAceptar_Click();
    void cmdPilmora_Click();
    void TabStrip1_Click(int index);
    QMenu* gridRightClick(int row, int col, bool exec = true, const QPoint& at = QPoint()) override;
    // "Show/Hide columns": the unit and property columns, which the address
    // already tells (unit x 100 + code).
    void toggleHiddenColumns();

protected:
    bool connectionChangedFlag() const override;
    bool& gridChangedFlag() override;
    void markGridChanged() override;
    void fieldLeft(QWidget* w) override;
    int protocolSlot() const override;
    bool csvExport(const QString& path, QChar separator, QString* error) override;
    bool csvImport(const CsvRecords& records, QStringList* faults, int* rows) override;

private:
    void buildControls();
    void setTexts();
    void wireEvents();
    void controlsFromModel();
    void markConnectionChanged();

    Mbs6Config* m_cfg = nullptr;
    QHash<int, int> m_hiddenWidths;  // normal widths of the unit and property columns
    QString m_protocolo;
    QVBoxLayout* m_gridHost = nullptr;
    QLabel* m_lblMaquina = nullptr;
    QGroupBox* fraDevices = nullptr;
    int m_currentTab = 0;
};
