// The LON editor: the ASCII-side connection, the gateway's LON identity and its
// device list on the first tab, the signal grid on the second. The window only
// binds its controls to the LON model (LonConfig) and the grid operations and
// forwards their events; every rule lives in the core.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QHash>
#include <QString>
#include <QVector>
#include <functional>

#include "ModulConfASCII.h"

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

class fConfLonA : public QDialog {
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

    // The model and the grid the window edits.
    LonConfig& model() { return *m_cfg; }
    SignalGrid& gridModel();

    // --- controls, named as the system names them
    QTabBar* TabStrip1 = nullptr;
    QFrame* fraConexion = nullptr;
    QFrame* fraSenyales = nullptr;

    QGroupBox* fraASCII = nullptr;
    QRadioButton* optRS_TCP[2] = {nullptr, nullptr};
    QComboBox* cboBaud = nullptr;
    QComboBox* cmbBits = nullptr;
    QComboBox* cmbParidad = nullptr;
    QLineEdit* txtTimeoutAscii = nullptr;
    QCheckBox* chkACK = nullptr;
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

    SignalGridView* grid = nullptr;
    QToolButton* cmdUp = nullptr;
    QToolButton* cmdDown = nullptr;
    QPushButton* cmdImportXIF = nullptr;
    QPushButton* cmdInsertar = nullptr;
    QPushButton* cmdElimina = nullptr;

    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QPushButton* cmdPilmora = nullptr;
    QLabel* lblHelp = nullptr;

    // Right-click menus of the grid.
    QMenu* popmnuEdit = nullptr;      // &Cut &Copy &Paste
    QMenu* popmnuDir = nullptr;       // R W RW (column 14)
    QMenu* popmnuAD = nullptr;        // 0-Ana 1-Dig
    QMenu* popmnuSpon = nullptr;      // 0-NoSpon 1-Spon
    QMenu* popmnuSiNo = nullptr;      // 0-No 1-Si
    QMenu* popmnuEnum = nullptr;      // AutoEnumerar...
    QMenu* mnuLonDataType = nullptr;  // 0-8bit sig .. 7-bit field
    QMenu* popmnuNVAccess = nullptr;  // R W RW (column 11)
    QMenu* popmnuColumns = nullptr;   // Show/Hide columns
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
    // Right click on a grid cell (row, col; row 0 = captions): returns the menu of
    // that place, or nullptr. `exec` false only prepares it (the clicked cell
    // becomes current; tests then trigger the menu's actions).
    QMenu* gridRightClick(int row, int col, bool exec = true, const QPoint& at = QPoint());
    // Data-type, direction, A/D, ... menu item chosen: caption into the column.
    void fillColumn(int col, const QString& caption);
    void toggleHiddenColumns();

    // Change flags as the window sees them (model's connection flag, grid flag).
    bool connectionChanged() const;
    bool gridChanged() const;

    // Date seam: the generator stamps this date and time when it is valid.
    void setGenerationTime(const QDateTime& when);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void setTexts();
    void setHelp(QWidget* w, const QString& help);
    void wireEvents();

    // Model <-> controls.
    void controlsFromModel();
    void deviceFieldsFromModel();
    void markConnectionChanged();
    void applyFirmware();
    void applyVersionCaption();
    void applyAddressing();

    // Field checks on leaving.
    void fieldLeft(QWidget* w);
    void commitFocusedField();
    QString helpOf(QWidget* w) const;

    // Grid events.
    void wireGrid();
    bool cellTypable(int row, int col) const;
    void gridKeyTyped(int keyAscii);
    void endCellEdit();
    // Runs a grid operation; a change it reports marks the grid as changed.
    void gridOp(const std::function<void(bool&)>& op);
    void showGridFault();

    bool askLeave();

    QLabel* m_lblBaud = nullptr;
    QLabel* m_lblBits = nullptr;
    QLabel* m_lblParidad = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblNombre = nullptr;
    QVBoxLayout* m_gridHost = nullptr;

    LonConfig* m_cfg = nullptr;
    SignalGrid* m_grid = nullptr;
    QVector<InfoColumna> m_info;
    QHash<int, int> m_hiddenWidths;  // normal widths of columns 5..10
    QString m_protocolo;
    QDateTime m_generationTime;
    CellEditorWidget* txtEdit = nullptr;
    fSNVT* m_snvt = nullptr;
    fImportXif* m_import = nullptr;
    QHash<QObject*, QString> m_help;
    QString m_copyBuffer;
    int m_currentTab = 0;
    int m_menuCol = 0;  // column of the last right click
    bool m_inFieldCheck = false;
};
