#include "fImportXif.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AnsiText.h"
#include "AppGlobals.h"
#include "LonConfig.h"
#include "ModSNVT.h"
#include "ModulINI.h"
#include "Prompts.h"
#include "SignalGrid.h"
#include "fConfLonA.h"
#include "mIdioma.h"

namespace {
const QString kSection = QStringLiteral("Import");
const QString kKey = QStringLiteral("Path");
const QString kUp = QStringLiteral("..");
// Files above this size together are read behind a progress window.
constexpr qint64 kProgressFrom = 2 * 1024 * 1024;
}  // namespace

fImportXif::fImportXif(fConfLonA* editor) : QDialog(editor), m_editor(editor) {
    setObjectName(QStringLiteral("fImportXif"));
    setWindowTitle(Texto("XifTitulo"));

    // Files: drive, folder, folders inside it, the "*.xif" files of it.
    auto* fraFiles = new QGroupBox(Texto("XifSeleccioneFichero"));
    Drive1 = new QComboBox;
    Drive1->setObjectName(QStringLiteral("Drive1"));
    for (const QFileInfo& d : QDir::drives()) Drive1->addItem(QDir::toNativeSeparators(d.absolutePath()));
    Drive1->setVisible(Drive1->count() > 1);
    txtCarpeta = new QLineEdit;
    txtCarpeta->setObjectName(QStringLiteral("txtCarpeta"));
    Dir1 = new QListWidget;
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1 = new QListWidget;
    File1->setObjectName(QStringLiteral("File1"));
    File1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdCargar = new QPushButton(Texto("XifCargar"));
    cmdCargar->setObjectName(QStringLiteral("cmdCargar"));
    auto* files = new QGridLayout(fraFiles);
    files->addWidget(Drive1, 0, 0, 1, 2);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(Texto("XifCarpeta")));
    folderRow->addWidget(txtCarpeta, 1);
    files->addLayout(folderRow, 1, 0, 1, 2);
    files->addWidget(Dir1, 2, 0);
    files->addWidget(File1, 2, 1);
    files->addWidget(cmdCargar, 3, 1, Qt::AlignRight);

    // Variables: the list, select all/none, options, device range, import.
    auto* fraVars = new QGroupBox(Texto("XifSeleccioneVariables"));
    lvwPro = new QTreeWidget;
    lvwPro->setObjectName(QStringLiteral("lvwPro"));
    lvwPro->setColumnCount(6);
    lvwPro->setHeaderLabels({QString(), Texto("XifColSnvt"), Texto("XifColNombre"), Texto("XifColIdx"),
                             Texto("XifColRW"), Texto("Descripcion")});
    lvwPro->setRootIsDecorated(false);
    lvwPro->setUniformRowHeights(true);
    lvwPro->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwPro->setColumnHidden(0, true);  // the row text, always empty
    lvwPro->header()->resizeSection(1, 60);
    lvwPro->header()->resizeSection(2, 230);
    lvwPro->header()->resizeSection(3, 50);
    lvwPro->header()->resizeSection(4, 40);
    const QStyle::StandardPixmap icons[2] = {QStyle::SP_DialogApplyButton, QStyle::SP_DialogResetButton};
    const char* tips[2] = {"XifSeleccionaTodo", "XifDeseleccionaTodo"};
    auto* selButtons = new QVBoxLayout;
    for (int i = 0; i < 2; ++i) {
        cmdSelAll[i] = new QToolButton;
        cmdSelAll[i]->setObjectName(QStringLiteral("cmdSelAll%1").arg(i));
        cmdSelAll[i]->setIcon(style()->standardIcon(icons[i]));
        cmdSelAll[i]->setToolTip(Texto(QString::fromLatin1(tips[i])));
        selButtons->addWidget(cmdSelAll[i]);
        connect(cmdSelAll[i], &QToolButton::clicked, this, [this, i] { cmdSelAll_Click(i); });
    }
    selButtons->addStretch(1);
    chkDevStatus = new QCheckBox(Texto("XifNodeObject"));
    chkDevStatus->setObjectName(QStringLiteral("chkDevStatus"));
    chkNDevice = new QCheckBox(Texto("XifPrefijo"));
    chkNDevice->setObjectName(QStringLiteral("chkNDevice"));
    cboDini = new QComboBox;
    cboDini->setObjectName(QStringLiteral("cboDini"));
    cboDfin = new QComboBox;
    cboDfin->setObjectName(QStringLiteral("cboDfin"));
    cmdImportar = new QPushButton(Texto("XifImportar"));
    cmdImportar->setObjectName(QStringLiteral("cmdImportar"));
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(lvwPro, 1);
    listRow->addLayout(selButtons);
    auto* devices = new QHBoxLayout;
    devices->addWidget(new QLabel(Texto("XifPuntosDe")));
    devices->addWidget(cboDini);
    devices->addWidget(new QLabel(Texto("XifHasta")));
    devices->addWidget(cboDfin);
    devices->addStretch(1);
    devices->addWidget(cmdImportar);
    auto* vars = new QVBoxLayout(fraVars);
    vars->addLayout(listRow, 1);
    vars->addWidget(chkDevStatus);
    vars->addWidget(chkNDevice);
    vars->addLayout(devices);

    cmdSalir = new QPushButton(Texto("&Salir"));
    cmdSalir->setObjectName(QStringLiteral("cmdSalir"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdSalir);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraFiles, 2);
    layout->addWidget(fraVars, 3);
    layout->addLayout(bottom);
    resize(720, 640);

    connect(Drive1, &QComboBox::textActivated, this, [this](const QString& drive) {
        if (QDir(drive).isReadable()) {
            setFolder(drive);
        } else {
            MsgBox(Texto("ErrorAlAbrirFichero") + QStringLiteral("\r") + drive);
            Drive1->setCurrentIndex(0);
        }
    });
    connect(txtCarpeta, &QLineEdit::returnPressed, this, [this] {
        if (QFileInfo(txtCarpeta->text()).isDir())
            setFolder(txtCarpeta->text());
        else
            txtCarpeta->setText(QDir::toNativeSeparators(m_folder));
    });
    connect(Dir1, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setFolder(QDir(m_folder).absoluteFilePath(item->text())); });
    connect(File1, &QListWidget::itemDoubleClicked, this, [this] { cmdCargar_Click(); });
    connect(cmdCargar, &QPushButton::clicked, this, [this] { cmdCargar_Click(); });
    // The Node Object NVs are left out while reading: a change lists the same files again.
    connect(chkDevStatus, &QCheckBox::toggled, this, [this] {
        if (!m_listed.isEmpty()) listFiles(m_listed);
    });
    connect(cmdImportar, &QPushButton::clicked, this, [this] { Importar_Puntos(); });
    connect(cmdSalir, &QPushButton::clicked, this, [this] { reject(); });
    connect(cboDini, &QComboBox::currentIndexChanged, this, [this] { deviceChosen(true); });
    connect(cboDfin, &QComboBox::currentIndexChanged, this, [this] { deviceChosen(false); });
}

void fImportXif::Form_Load() {
    setFolder(LeeIni(kSection, kKey, app().appFolder));
    m_listed.clear();
    chkDevStatus->setChecked(false);
    chkNDevice->setChecked(false);
    m_adjusting = true;
    cboDini->clear();
    cboDfin->clear();
    for (int d = 1; d <= m_editor->model().NDevs; ++d) {
        cboDini->addItem(QString::number(d));
        cboDfin->addItem(QString::number(d));
    }
    m_adjusting = false;
}

int fImportXif::Muestra() {
    Form_Load();
    return exec();
}

void fImportXif::setFolder(const QString& folder) {
    QString f = QDir::cleanPath(QDir(folder).absolutePath());
    if (!QFileInfo(f).isDir()) f = QDir::cleanPath(app().appFolder);
    m_folder = QDir::toNativeSeparators(f);
    refreshLists();
}

void fImportXif::refreshLists() {
    const QDir dir(m_folder);
    txtCarpeta->setText(m_folder);
    Dir1->clear();
    if (!dir.isRoot()) Dir1->addItem(kUp);
    Dir1->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    File1->clear();
    // The pattern matches "*.XIF" too: names from other systems keep their case.
    File1->addItems(dir.entryList({QStringLiteral("*.xif")}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void fImportXif::deviceChosen(bool first) {
    if (m_adjusting) return;
    int a = cboDini->currentText().toInt(), b = cboDfin->currentText().toInt();
    ajustaRangoDispositivos(a, b, first);
    m_adjusting = true;
    cboDini->setCurrentIndex(cboDini->findText(QString::number(a)));
    cboDfin->setCurrentIndex(cboDfin->findText(QString::number(b)));
    m_adjusting = false;
}

void fImportXif::cmdCargar_Click() {
    QStringList paths;
    for (int i = 0; i < File1->count(); ++i)
        if (File1->item(i)->isSelected()) paths << joinPath(m_folder, File1->item(i)->text());
    listFiles(paths);
}

void fImportXif::listFiles(const QStringList& paths) {
    BusyPointer busy;
    lvwPro->clear();
    m_list.clear();
    m_listed = paths;
    qint64 total = 0;
    for (const QString& path : paths) total += QFileInfo(path).size();
    XifLectura options;
    options.nodeObject = chkDevStatus->isChecked();
    QProgressDialog* progress = nullptr;
    qint64 before = 0;
    if (total > kProgressFrom) {
        progress = new QProgressDialog(Texto("XifLeyendo"), Texto("&Cancelar"), 0, 1000, this);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(300);
        options.progreso = [&](qint64 done, qint64) {
            progress->setValue(int((before + done) * 1000 / total));
            QApplication::processEvents();
            return !progress->wasCanceled();
        };
    }
    for (const QString& path : paths) {
        leeFicheroXif(path, catalogoSNVT(), options, m_list);
        before += QFileInfo(path).size();
        if (progress && progress->wasCanceled()) break;
    }
    delete progress;
    QList<QTreeWidgetItem*> items;
    items.reserve(m_list.size());
    for (const XifFila& f : m_list)
        items << new QTreeWidgetItem({QString(), f.snvt, f.nombre, f.idx, f.rw, f.descripcion});
    lvwPro->addTopLevelItems(items);
}

void fImportXif::cmdSelAll_Click(int index) {
    if (index == 0)
        lvwPro->selectAll();
    else
        lvwPro->clearSelection();
    lvwPro->setFocus();
}

void fImportXif::Importar_Puntos() {
    QVector<bool> selected(m_list.size(), false);
    bool any = false;
    for (int i = 0; i < lvwPro->topLevelItemCount() && i < m_list.size(); ++i)
        any |= selected[i] = lvwPro->topLevelItem(i)->isSelected();
    if (!any) return;
    const int count =
        ::Importar_Puntos(m_editor->gridModel(), catalogoSNVT(), m_list, selected, cboDini->currentText().toInt(),
                          cboDfin->currentText().toInt(), chkNDevice->isChecked());
    if (count != 0) m_editor->model().markGridChanged();
}

void fImportXif::done(int result) {
    EscribeIni(kSection, kKey, m_folder);
    QDialog::done(result);
}
