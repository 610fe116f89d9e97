#include "fProject.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "AppGlobals.h"
#include "ProjectCatalogue.h"
#include "Prompts.h"
#include "fProjectNew.h"
#include "mIdioma.h"

namespace {
// Rows sort by text without regard to letter case, as the user reads them.
class FilaProyecto : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int col = treeWidget() ? treeWidget()->sortColumn() : 0;
        const int c = QString::localeAwareCompare(text(col).toLower(), other.text(col).toLower());
        return c != 0 ? c < 0 : text(col) < other.text(col);
    }
};

QPushButton* boton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(true);  // Enter on a focused button presses it, not "Select"
    b->setMinimumWidth(100);
    return b;
}
}  // namespace

fProject::fProject(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fProject"));
    setWindowTitle(Texto("Proyecto") + QStringLiteral("s"));
    setModal(true);

    lblPathProjects = new QLabel(this);
    lblPathProjects->setObjectName(QStringLiteral("lblPathProjects"));
    lblPathProjects->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lvwPro = new QTreeWidget(this);
    lvwPro->setObjectName(QStringLiteral("lvwPro"));
    lvwPro->setColumnCount(3);
    lvwPro->setHeaderLabels({Texto("ProyectoCarpeta"), Texto("Fabricante"), Texto("Descripcion")});
    lvwPro->setRootIsDecorated(false);
    lvwPro->setItemsExpandable(false);
    lvwPro->setUniformRowHeights(true);
    lvwPro->setAlternatingRowColors(true);
    lvwPro->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwPro->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwPro->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwPro->header()->setSectionsClickable(true);
    lvwPro->header()->setStretchLastSection(true);
    lvwPro->setColumnWidth(0, 200);
    lvwPro->setColumnWidth(1, 80);
    lvwPro->installEventFilter(this);
    connect(lvwPro->header(), &QHeaderView::sectionClicked, this, &fProject::lvwPro_ColumnClick);
    connect(lvwPro, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (seleccionada()) cmdSelec_Click();
    });

    cmdNuevo = boton(this, "cmdNuevo", Texto("&Nuevo"));
    cmdEdit = boton(this, "cmdEdit", Texto("&Editar"));
    cmdBorrar = boton(this, "cmdBorrar", Texto("&Borrar"));
    cmdSelec = boton(this, "cmdSelec", Texto("&Selecc"));
    cmdSalir = boton(this, "cmdSalir", Texto("&Salir"));
    cmdSelec->setDefault(true);
    connect(cmdNuevo, &QPushButton::clicked, this, &fProject::cmdNuevo_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &fProject::cmdEdit_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &fProject::cmdBorrar_Click);
    connect(cmdSelec, &QPushButton::clicked, this, &fProject::cmdSelec_Click);
    connect(cmdSalir, &QPushButton::clicked, this, &fProject::cmdSalir_Click);

    auto* botones = new QVBoxLayout;
    botones->addWidget(cmdNuevo);
    botones->addWidget(cmdEdit);
    botones->addWidget(cmdBorrar);
    botones->addStretch(1);
    botones->addWidget(cmdSelec);
    botones->addWidget(cmdSalir);
    auto* centro = new QHBoxLayout;
    centro->addWidget(lvwPro, 1);
    centro->addLayout(botones);
    auto* v = new QVBoxLayout(this);
    v->addWidget(lblPathProjects);
    v->addLayout(centro, 1);
    resize(720, 440);

    EscanearProyectos();
}

fProject::~fProject() = default;

int fProject::exec() {
    if (!m_cargado) return QDialog::Rejected;
    return QDialog::exec();
}

QTreeWidgetItem* fProject::anyadeFila(const QString& nombre, const QString& prot, const QString& desc) {
    auto* it = new FilaProyecto(QStringList{nombre, prot, desc});
    lvwPro->addTopLevelItem(it);
    return it;
}

QTreeWidgetItem* fProject::seleccionada() const {
    const auto sel = lvwPro->selectedItems();
    return sel.isEmpty() ? nullptr : sel.first();
}

void fProject::EscanearProyectos() {
    m_rutaGuardada = app().RutaProyecto;
    lblPathProjects->setText(app().RutaProyectos);
    lvwPro->clear();
    const Escaneo r = ::EscanearProyectos();
    if (!r.ok) {
        m_cargado = false;
        done(QDialog::Rejected);
        return;
    }
    m_cargado = true;
    QList<QTreeWidgetItem*> filas;
    filas.reserve(r.filas.size());
    for (const ProyectoInfo& p : r.filas) filas << new FilaProyecto(QStringList{p.nombre, p.prot, p.desc});
    lvwPro->addTopLevelItems(filas);
    if (r.seleccion >= 0) {
        QTreeWidgetItem* it = lvwPro->topLevelItem(r.seleccion);
        lvwPro->setCurrentItem(it);
        lvwPro->scrollToItem(it);
    }
    lvwPro->setColumnWidth(1, lvwPro->columnWidth(1) + twipsToPx(200));
}

bool fProject::LeerSeleccion() {
    QTreeWidgetItem* it = seleccionada();
    if (!it) return false;
    ProNombre = it->text(0);
    ProProt = it->text(1);
    ProDesc = it->text(2);
    return true;
}

void fProject::muestraProjectNew() {
    fProjectNew dlg(this);
    dlg.exec();
}

void fProject::cmdNuevo_Click() {
    ProModo = 1;
    if (LeerSeleccion()) {
        const int r = MsgBox(Texto("NuevoProCopia") + QStringLiteral("\r") + ProNombre + QStringLiteral(" - ") + ProProt,
                             Msg::YesNoCancel | Msg::Question);
        if (r == Msg::No)
            ProNombre.clear();
        else if (r != Msg::Yes)
            return;
    } else {
        ProNombre.clear();
    }
    muestraProjectNew();
    if (ProModo == 1) {
        QTreeWidgetItem* it = anyadeFila(ProNombre, ProProt, ProDesc);
        lvwPro->setCurrentItem(it);
        lvwPro->scrollToItem(it);
    }
}

void fProject::cmdEdit_Click() {
    ProModo = 2;
    QTreeWidgetItem* it = seleccionada();
    if (!it || !LeerSeleccion()) return;
    const QString anterior = ProNombre;
    muestraProjectNew();
    if (ProModo != 2) return;
    it->setText(0, ProNombre);
    it->setText(2, ProDesc);
    // The open project stays open under its new name and description; the
    // main window shows them when the catalogue closes.
    if (!m_rutaGuardada.isEmpty() && m_rutaGuardada == rutaDeProyecto(anterior)) {
        m_rutaGuardada = rutaDeProyecto(ProNombre);
        if (app().NombreProyecto == anterior) app().NombreProyecto = ProNombre;
        app().DescProyecto = ProDesc;
    }
}

void fProject::cmdBorrar_Click() {
    QTreeWidgetItem* it = seleccionada();
    if (!it || !LeerSeleccion()) return;
    if (!BorrarProyecto(ProNombre)) return;
    // The current project is gone: nothing is open any more.
    if (!m_rutaGuardada.isEmpty() && m_rutaGuardada == rutaDeProyecto(ProNombre)) {
        m_rutaGuardada.clear();
        auto& a = app();
        a.NombreProyecto.clear();
        a.ProtProyecto.clear();
        a.DescProyecto.clear();
    }
    delete it;
    lvwPro->setFocus();
}

void fProject::cmdSelec_Click() {
    QTreeWidgetItem* it = seleccionada();
    if (!it) {
        MsgBox(Texto("DebeSelPro"), Msg::Exclamation);
        return;
    }
    auto& a = app();
    m_rutaGuardada = rutaDeProyecto(it->text(0));
    a.NombreProyecto = it->text(0);
    a.ProtProyecto = it->text(1);
    a.DescProyecto = it->text(2);
    accept();
}

void fProject::cmdSalir_Click() { reject(); }

void fProject::lvwPro_ColumnClick(int column) {
    // The first click sorts ascending; every later one toggles the order,
    // whichever column it is on.
    if (m_sortColumn >= 0)
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_sortColumn = column;
    lvwPro->header()->setSortIndicatorShown(true);
    lvwPro->sortItems(column, m_sortOrder);
    if (QTreeWidgetItem* it = seleccionada()) lvwPro->scrollToItem(it);
}

void fProject::done(int r) {
    app().RutaProyecto = m_rutaGuardada;
    QDialog::done(r);
}

bool fProject::eventFilter(QObject* obj, QEvent* ev) {
    if (obj == lvwPro && ev->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(ev)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            if (seleccionada()) cmdSelec_Click();
            return true;
        }
    }
    return QDialog::eventFilter(obj, ev);
}
