#include "fDiferencias.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
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
    // Wide enough for the longest line (a whole point), within the screen.
    int wide = 0;
    const QFontMetrics metrics(txtDiferencias->font());
    for (const QString& line : text.split(QLatin1Char('\n'))) wide = qMax(wide, metrics.horizontalAdvance(line));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int most = screen ? screen->availableGeometry().width() * 9 / 10 : 1200;
    resize(qBound(820, wide + 60, qMax(820, most)), 480);
}
