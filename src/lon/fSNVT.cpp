#include "fSNVT.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "ModSNVT.h"
#include "mIdioma.h"

fSNVT::fSNVT(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fSNVT"));
    setWindowTitle(Texto("TituloSNVT"));
    auto* filterRow = new QHBoxLayout;
    auto* lblFiltro = new QLabel(Texto("SnvtFiltro"));
    txtFiltro = new QLineEdit;
    txtFiltro->setObjectName(QStringLiteral("txtFiltro"));
    txtFiltro->setClearButtonEnabled(true);
    lblFiltro->setBuddy(txtFiltro);
    filterRow->addWidget(lblFiltro);
    filterRow->addWidget(txtFiltro, 1);

    lvwPro = new QTreeWidget;
    lvwPro->setObjectName(QStringLiteral("lvwPro"));
    lvwPro->setColumnCount(2);
    lvwPro->setHeaderLabels({Texto("ColSnvtNombre"), Texto("SnvtIndice")});
    lvwPro->setRootIsDecorated(false);
    lvwPro->setUniformRowHeights(true);
    lvwPro->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwPro->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvwPro->header()->setStretchLastSection(false);
    lvwPro->header()->resizeSection(1, 60);

    cmdAceptar = new QPushButton(Texto("&Aceptar"));
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    cmdCancelar = new QPushButton(Texto("&Cancelar"));
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(lvwPro, 1);
    layout->addLayout(buttons);
    resize(360, 480);

    connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] { cmdCancelar_Click(); });
    connect(lvwPro, &QTreeWidget::itemDoubleClicked, this, [this] { cmdAceptar_Click(); });
    connect(txtFiltro, &QLineEdit::textChanged, this, [this](const QString& t) { applyFilter(t); });
    txtFiltro->installEventFilter(this);
}

void fSNVT::fill() {
    const ModSNVT& cat = catalogoSNVT();
    lvwPro->clear();
    m_generation = cat.generation();
    QList<QTreeWidgetItem*> items;
    QSet<QString> keys;
    for (int i = 1; i <= cat.count(); ++i) {
        const SnvtRecord& e = cat.entry(i);
        // The list keys rows by name: a second row of the same name is left out.
        const QString key = e.nombre.toLower();
        if (keys.contains(key)) continue;
        keys.insert(key);
        auto* item = new QTreeWidgetItem({e.nombre, QString::number(e.numero)});
        item->setData(0, Qt::UserRole, i);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    lvwPro->addTopLevelItems(items);
}

void fSNVT::SNVTLink_Muestra(QObject* caller, const QString& name) {
    m_caller = caller;
    // LON.snvt is read at every opening of the editor and may have been edited since.
    if (lvwPro->topLevelItemCount() == 0 || m_generation != catalogoSNVT().generation()) fill();
    txtFiltro->clear();
    lvwPro->clearSelection();
    lvwPro->setCurrentItem(nullptr);
    const QString wanted = name.trimmed();
    for (int i = 0; i < lvwPro->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwPro->topLevelItem(i);
        if (item->text(0).compare(wanted, Qt::CaseInsensitive) == 0) {
            lvwPro->setCurrentItem(item);
            item->setSelected(true);
            lvwPro->scrollToItem(item, QAbstractItemView::PositionAtCenter);
            break;
        }
    }
}

void fSNVT::applyFilter(const QString& text) {
    const QString part = text.trimmed();
    QTreeWidgetItem* firstShown = nullptr;
    for (int i = 0; i < lvwPro->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvwPro->topLevelItem(i);
        const bool show = part.isEmpty() || item->text(0).contains(part, Qt::CaseInsensitive);
        item->setHidden(!show);
        if (show && !firstShown) firstShown = item;
    }
    // Keep a visible row selected so that Enter takes it.
    QTreeWidgetItem* current = lvwPro->currentItem();
    if ((!current || current->isHidden()) && firstShown && !part.isEmpty()) {
        lvwPro->setCurrentItem(firstShown);  // and selected: the list takes one row
    }
    if (lvwPro->currentItem() && !lvwPro->currentItem()->isHidden()) lvwPro->scrollToItem(lvwPro->currentItem());
}

void fSNVT::cmdAceptar_Click() {
    QTreeWidgetItem* item = lvwPro->currentItem();
    if (item && item->isSelected() && !item->isHidden() && m_caller)
        QMetaObject::invokeMethod(m_caller, "SNVTLink_Pasa", Qt::DirectConnection,
                                  Q_ARG(double, item->data(0, Qt::UserRole).toDouble()));
    accept();
}

void fSNVT::cmdCancelar_Click() { reject(); }

void fSNVT::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    lvwPro->setFocus();
}

// Up and Down in the filter box move through the list, so a name can be typed
// and picked without the mouse.
bool fSNVT::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFiltro && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QApplication::sendEvent(lvwPro, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
