#include "fProjectNew.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "AppGlobals.h"
#include "ProjectCatalogue.h"
#include "fProject.h"
#include "mIdioma.h"

fProjectNew::fProjectNew(fProject* owner) : QDialog(owner), m_owner(owner), ProModo(owner->ProModo) {
    setObjectName(QStringLiteral("fProjectNew"));
    setWindowTitle(Texto("Proyecto"));
    setModal(true);

    const QString captions[3] = {Texto("Proyecto"), Texto("Descripcion"), Texto("Fabricante")};
    for (int i = 0; i < 3; ++i) {
        lbl[i] = new QLabel(captions[i], this);
        lbl[i]->setObjectName(QStringLiteral("lbl(%1)").arg(i));
    }
    txtNom = new QLineEdit(this);
    txtNom->setObjectName(QStringLiteral("txtNom"));
    txtDesc = new QLineEdit(this);
    txtDesc->setObjectName(QStringLiteral("txtDesc"));
    cboProt = new QComboBox(this);
    cboProt->setObjectName(QStringLiteral("cboProt"));
    cboProt->addItem(app().Protocolos[kSlotLon]);
    cboProt->addItem(app().Protocolos[kSlotMbs6]);
    cboProt->setCurrentIndex(0);
    lbl[0]->setBuddy(txtNom);
    lbl[1]->setBuddy(txtDesc);
    lbl[2]->setBuddy(cboProt);

    cmdAceptar = new QPushButton(Texto("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    cmdCancelar = new QPushButton(Texto("&Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    connect(cmdAceptar, &QPushButton::clicked, this, &fProjectNew::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &fProjectNew::cmdCancelar_Click);

    auto* g = new QGridLayout(this);
    g->addWidget(lbl[0], 0, 0);
    g->addWidget(txtNom, 0, 1);
    g->addWidget(lbl[1], 1, 0);
    g->addWidget(txtDesc, 1, 1);
    g->addWidget(lbl[2], 2, 0);
    g->addWidget(cboProt, 2, 1, Qt::AlignLeft);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCancelar);
    g->addLayout(botones, 3, 0, 1, 2);
    g->setColumnStretch(1, 1);
    resize(480, sizeHint().height());

    if (!owner->ProNombre.isEmpty()) {
        txtNom->setText(owner->ProNombre);
        txtDesc->setText(owner->ProDesc);
        if (cboProt->findText(owner->ProProt) < 0) cboProt->addItem(owner->ProProt);
        cboProt->setCurrentIndex(cboProt->findText(owner->ProProt));
        cboProt->setEnabled(false);
        if (ProModo == 1) CopiarProyecto = true;
    }
    txtNom->selectAll();
    txtNom->setFocus();
}

void fProjectNew::cmdAceptar_Click() {
    ProyectoEdicion e;
    e.modo = ProModo;
    e.copiar = CopiarProyecto;
    e.original = m_owner->ProNombre;
    e.nombre = txtNom->text();
    e.desc = txtDesc->text();
    e.prot = cboProt->currentText();
    if (!AceptarProyecto(e)) return;
    m_owner->ProNombre = e.nombre;
    m_owner->ProDesc = e.desc;
    m_owner->ProProt = e.prot;
    accept();
}

void fProjectNew::cmdCancelar_Click() { reject(); }

void fProjectNew::reject() {
    m_owner->ProModo = 0;
    QDialog::reject();
}
