// What the two gateway editors (fConfLonA, fConfMbs6A) share: the signal grid
// with its floating cell editor, help line and column menus, the serial panel
// of the ASCII side, the protocol summary, the help shown on entering a field,
// and the close question. Each editor adds its own controls and model and
// answers the few questions below (which cells can be typed, which menu a right
// click opens, where its change flags are).
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "ModulConfASCII.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPoint;
class QPushButton;
class QTabBar;
class QVBoxLayout;
class CellEditorWidget;
class SignalGrid;
class SignalGridView;
struct AsciiSerialConfig;
struct CsvRecords;

class fSignalEditor : public QDialog {
    Q_OBJECT
public:
    SignalGrid& gridModel() { return *m_grid; }

    // --- shared controls, named as the system names them
    QGroupBox* fraASCII = nullptr;
    QComboBox* cboBaud = nullptr;
    QComboBox* cmbBits = nullptr;
    QComboBox* cmbParidad = nullptr;
    QLineEdit* txtTimeoutAscii = nullptr;
    QCheckBox* chkACK = nullptr;
    SignalGridView* grid = nullptr;
    QLabel* lblHelp = nullptr;
    QMenu* popmnuSpon = nullptr;     // 0-NoSpon 1-Spon
    QMenu* popmnuSiNo = nullptr;     // 0-No 1-Si
    QMenu* popmnuColumns = nullptr;  // Show/Hide columns

    // Right click on a grid cell (row, col; row 0 = captions): returns the menu of
    // that place, or nullptr. `exec` false only prepares it (the clicked cell
    // becomes current; tests then trigger the menu's actions).
    virtual QMenu* gridRightClick(int row, int col, bool exec = true, const QPoint& at = QPoint()) = 0;
    // A menu item chosen: its caption into column `col` of the selected rows.
    void fillColumn(int col, const QString& caption);

    // "Export..." and "Import..." of the signal tab: the table to and from a
    // spreadsheet file.
    QPushButton* cmdExportar = nullptr;
    QPushButton* cmdImportar = nullptr;
    void cmdExportar_Click();
    void cmdImportar_Click();
    // The two without their file dialogs: the grid to `path`; the grid from
    // `path` (every fault shown, nothing changed unless all rows are right; the
    // next save keeps the table it replaces beside it).
    bool exportarSenyales(const QString& path, QChar separator);
    bool importarSenyales(const QString& path);

    // Date seam: the generator stamps this date and time when it is valid.
    void setGenerationTime(const QDateTime& when) { m_generationTime = when; }

protected:
    fSignalEditor(QWidget* parent, int gridCols);

    // ---- what each editor answers
    virtual bool connectionChangedFlag() const = 0;
    virtual bool& gridChangedFlag() = 0;
    virtual void markGridChanged() = 0;
    // Kind-2 columns (and anything outside the data) are never typed.
    virtual bool cellTypable(int row, int col) const;
    // The leave check of a field (the focus moved on, or a command reads the model).
    virtual void fieldLeft(QWidget*) {}
    virtual QString helpOf(QWidget* w) const { return m_help.value(w); }
    // The editor's protocol slot, and its table to and from a spreadsheet file.
    virtual int protocolSlot() const = 0;
    virtual bool csvExport(const QString& path, QChar separator, QString* error) = 0;
    virtual bool csvImport(const CsvRecords& records, QStringList* faults, int* rows) = 0;

    // ---- building
    // The ASCII serial panel (speed, data bits, parity, timeout, OK answer) in a
    // grid layout whose rows start at `firstRow`; the caller may put its own
    // controls above.
    QGroupBox* buildSerialPanel(int firstRow = 0);
    // Fills the serial lists and boxes from `serial` with the model's speeds.
    void serialFromModel(const AsciiSerialConfig& serial, const QStringList& baudItems);
    // Binds the serial controls to `serial`; `changed` runs after each edit.
    void wireSerialPanel(AsciiSerialConfig* serial, const std::function<void()>& changed);
    void setSerialTexts();
    QLabel* buildHelpLine();
    // The export and import buttons with their texts and handlers.
    void buildCsvButtons();
    // Enter in a field presses no button: none is the default, and none becomes it by taking the focus. Called once
    // the window's buttons are laid out.
    void noDefaultButton();
    QMenu* makeMenu(const char* name, const QStringList& captions);
    // Spontaneous, yes/no and "Show/Hide columns" menus.
    void buildCommonMenus();
    // The grid view in `host`, its floating editor and its events; the chosen
    // item of `fillMenus` goes into the right-clicked column.
    void wireGridView(QVBoxLayout* host, const QList<QMenu*>& fillMenus);
    // The read-only summary of the line protocol, with the bus's change line.
    static QString protocolSummary(const QString& changeLine);
    void setHelp(QWidget* w, const QString& help);

    // ---- grid events
    void gridKeyTyped(int keyAscii);
    void endCellEdit();
    // Runs a grid operation; a change it reports marks the grid as changed.
    void gridOp(const std::function<void(bool&)>& op);
    // A failed point check has selected the faulty cell: show it at the top of
    // the signals tab.
    void showGridFault(QTabBar* tabs, int signalsTab);
    // Widens column `col` (never narrows it, never beyond `maxPx` pixels) so that
    // its caption and `texts` fit the grid's font: language texts and long
    // descriptions are not cut while there is room.
    void fitColumn(int col, const QStringList& texts, int maxPx = 1000);
    // Every shown column at least as wide as its caption, and each column that has
    // a menu as wide as the menu's texts too: captions differ per language.
    void fitColumnsToTexts(const QHash<int, QMenu*>& columnMenus);
    // The right-clicked cell becomes current unless it lies in the selection.
    void selectClickedCell(int row, int col);

    // The field that has the focus is checked before a command reads the model.
    void commitFocusedField();
    // Any answer but "Si" keeps the window open.
    bool askLeave();

    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    SignalGrid* m_grid = nullptr;
    QVector<InfoColumna> m_info;
    CellEditorWidget* txtEdit = nullptr;
    QDateTime m_generationTime;
    QHash<QObject*, QString> m_help;
    int m_menuCol = 0;  // column of the last right click
    bool m_inFieldCheck = false;
    bool m_fillingControls = false;  // serial controls being filled: no change

private:
    QLabel* m_lblBaud = nullptr;
    QLabel* m_lblBits = nullptr;
    QLabel* m_lblParidad = nullptr;
};
