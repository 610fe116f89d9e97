#include "fDiferencias.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mIdioma.h"

fDiferencias::fDiferencias(const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fDiferencias"));
    setWindowTitle(Texto("HistDiferencias"));
    auto* layout = new QVBoxLayout(this);
    txtDiferencias = new QPlainTextEdit(text, this);
    txtDiferencias->setObjectName(QStringLiteral("txtDiferencias"));
    txtDiferencias->setReadOnly(true);
    txtDiferencias->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDiferencias->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(txtDiferencias);
    auto* cmdCerrar = new QPushButton(Texto("cmdCerrar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    cmdCerrar->setDefault(true);
    connect(cmdCerrar, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCerrar);
    layout->addLayout(buttons);
    resize(820, 480);
}
