#include "fDiferencias.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "fHistorial.h"
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
    filaCerrar(this, layout);
    // Wide enough for the longest line (a whole point), within the screen.
    int wide = 0;
    const QFontMetrics metrics(txtDiferencias->font());
    for (const QString& line : text.split(QLatin1Char('\n'))) wide = qMax(wide, metrics.horizontalAdvance(line));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int most = screen ? screen->availableGeometry().width() * 9 / 10 : 1200;
    resize(qBound(820, wide + 60, qMax(820, most)), 480);
}
