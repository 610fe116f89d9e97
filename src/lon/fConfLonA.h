// The LON editor: the ASCII-side connection, the gateway's LON identity and its
// device list on the first tab, the signal grid on the second. The window only
// binds its controls to the LON model (LonConfig) and the grid operations and
// forwards their events; every rule lives in the core.
#pragma once

#include <QHash>
#include <QString>

#include "fSignalEditor.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
class QToolButton;
class QWidget;
class QAction;
class QPoint;
class QVBoxLayout;
class LonConfig;
class SignalGrid;
class SignalGridView;
class CellEditorWidget;
class fSNVT;
class fImportXif;

class fConfLonA : public fSignalEditor {
    Q_OBJECT
public:
    explicit fConfLonA(QWidget* parent = nullptr);
    ~fConfLonA() override;

    // Loads the current project (model, grid, controls) the way the window opens.
    void Form_Load();
    // Form_Load, then shown modally (the main window's protocol menu).
    int Muestra();

    // Sets column 14 of a row from its NV access (public for the XIF import).
    void UpdateRow(int row);
    // The SNVT chooser's answer: catalogue entry `index` into the selected rows.
    Q_INVOKABLE void SNVTLink_Pasa(double index);
    // The chooser and the import window, created on first use.
    fSNVT* snvtChooser();
    fImportXif* importWindow();

    // The model the window edits (the grid: gridModel()).
    LonConfig& model() { return *m_cfg; }

    // --- controls, named as the system names them
    QTabBar* TabStrip1 = nullptr;
    QFrame* fraConexion = nullptr;
    QFrame* fraSenyales = nullptr;

    QRadioButton* optRS_TCP[2] = {nullptr, nullptr};
    QGroupBox* fraTCP = nullptr;
    QLineEdit* txtIp = nullptr;
    QLineEdit* txtNetMask = nullptr;
    QLineEdit* txtGateway = nullptr;
    QLineEdit* txtPortASCII = nullptr;
    QLineEdit* txtTimeoutKeepAlive = nullptr;
    QComboBox* cboFirmVersion = nullptr;
    QComboBox* cboVersion = nullptr;

    QGroupBox* fraLON = nullptr;
    QLineEdit* txtLDomain = nullptr;
    QComboBox* cboLLenDomain = nullptr;
    QLineEdit* txtLSubnet = nullptr;
    QLineEdit* txtLNode = nullptr;
    QRadioButton* optLAddressing[2] = {nullptr, nullptr};
    QLineEdit* txtLTimeoutPollLon = nullptr;

    QGroupBox* fraDevices = nullptr;
    QListWidget* lstMaquina = nullptr;
    QLineEdit* txtMaquina[4] = {nullptr, nullptr, nullptr, nullptr};
    QPushButton* cmdLDevices = nullptr;
    QPlainTextEdit* txtMsg = nullptr;

    QToolButton* cmdUp = nullptr;
    QToolButton* cmdDown = nullptr;
    QPushButton* cmdImportXIF = nullptr;
    QPushButton* cmdInsertar = nullptr;
    QPushButton* cmdElimina = nullptr;

    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QPushButton* cmdPilmora = nullptr;

    // Right-click menus of the grid.
    QMenu* popmnuEdit = nullptr;      // &Cut &Copy &Paste
    QMenu* popmnuDir = nullptr;       // R W RW (column 14)
    QMenu* popmnuAD = nullptr;        // 0-Ana 1-Dig
    QMenu* popmnuEnum = nullptr;      // AutoEnumerar...
    QMenu* mnuLonDataType = nullptr;  // 0-8bit sig .. 7-bit field
    QMenu* popmnuNVAccess = nullptr;  // R W RW (column 11)
    QAction* mnuPaste = nullptr;

    // Handlers, public so that tests and the main window can drive them.
    void cmdAceptar_Click();
    void cmdPilmora_Click();
    void cmdLDevices_Click();
    void cmdInsertar_Click();
    void cmdElimina_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdImportXIF_Click();
    void cboVersion_Click();
    void cboFirmVersion_Click();
    void TabStrip1_Click(int index);
    QMenu* gridRightClick(int row, int col, bool exec = true, const QPoint& at = QPoint()) override;
    void toggleHiddenColumns();

    // Change flags as the window sees them (model's connection flag, grid flag).
    bool connectionChanged() const;
    bool gridChanged() const;

protected:
    bool connectionChangedFlag() const override;
    bool& gridChangedFlag() override;
    void markGridChanged() override;
    bool cellTypable(int row, int col) const override;
    void fieldLeft(QWidget* w) override;
    QString helpOf(QWidget* w) const override;
    int protocolSlot() const override;
    bool csvExport(const QString& path, QChar separator, QString* error) override;
    bool csvImport(const CsvRecords& records, QStringList* faults, int* rows) override;

private:
    void buildControls();
    void buildMenus();
    void setTexts();
    void wireEvents();

    // Model <-> controls.
    void controlsFromModel();
    void deviceFieldsFromModel();
    void markConnectionChanged();
    void applyFirmware();
    void applyVersionCaption();
    void applyAddressing();

    // Grid events.
    void wireGrid();

    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblNombre = nullptr;
    QVBoxLayout* m_gridHost = nullptr;

    LonConfig* m_cfg = nullptr;
    QHash<int, int> m_hiddenWidths;  // normal widths of columns 5..10
    QString m_protocolo;
    fSNVT* m_snvt = nullptr;
    fImportXif* m_import = nullptr;
    QString m_copyBuffer;
    int m_currentTab = 0;
};
