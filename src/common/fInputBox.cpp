#include "fInputBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "AppGlobals.h"
#include "mIdioma.h"

namespace {
constexpr int kWidth = 5400, kHeight = 2100;
constexpr int kMargin = 180, kButtonWidth = 1215, kButtonHeight = 375, kGap = 120;
}  // namespace

fInputBox::fInputBox(QWidget* parent) : QDialog(parent) {
    setObjectName("fInputBox");
    setModal(true);
    setFixedSize(twipsToPx(kWidth), twipsToPx(kHeight));

    lblDesc = new QLabel(this);
    lblDesc->setObjectName("lblDesc");
    lblDesc->setWordWrap(true);
    lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDesc->setGeometry(twipsToPx(kMargin), twipsToPx(kMargin),
                         twipsToPx(kWidth - 3 * kMargin - kButtonWidth), twipsToPx(1200));

    txtDato = new QLineEdit(this);
    txtDato->setObjectName("txtDato");
    txtDato->setGeometry(twipsToPx(kMargin), twipsToPx(kHeight - kMargin - 330), twipsToPx(kWidth - 2 * kMargin),
                         twipsToPx(330));
    txtDato->installEventFilter(this);

    const int buttonLeft = kWidth - kMargin - kButtonWidth;
    cmdAceptar = new QPushButton(Texto("&Aceptar"), this);
    cmdAceptar->setObjectName("cmdAceptar");
    cmdAceptar->setGeometry(twipsToPx(buttonLeft), twipsToPx(kMargin), twipsToPx(kButtonWidth), twipsToPx(kButtonHeight));
    cmdCancelar = new QPushButton(Texto("&Cancelar"), this);
    cmdCancelar->setObjectName("cmdCancelar");
    cmdCancelar->setGeometry(twipsToPx(buttonLeft), twipsToPx(kMargin + kButtonHeight + kGap), twipsToPx(kButtonWidth),
                             twipsToPx(kButtonHeight));
    // Enter on a focused button presses that button (Cancel cancels).
    cmdAceptar->setAutoDefault(true);
    cmdCancelar->setAutoDefault(true);
    connect(cmdAceptar, &QPushButton::clicked, this, &fInputBox::acepta);
    connect(cmdCancelar, &QPushButton::clicked, this, &fInputBox::cancela);

    app().InputBoxAbierto = true;
}

fInputBox::~fInputBox() { app().InputBoxAbierto = false; }

void fInputBox::prepara(const QString& title, const QString& prompt, const QString& defaultValue) {
    setWindowTitle(title);
    lblDesc->setText(prompt);
    txtDato->setText(defaultValue);
    txtDato->selectAll();
    txtDato->setFocus();
    m_result.clear();
}

QString fInputBox::PideDato(const QString& title, const QString& prompt, const QString& defaultValue, QWidget* parent) {
    fInputBox box(parent);
    box.prepara(title, prompt, defaultValue);
    box.exec();
    return box.resultado();
}

bool fInputBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtDato) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Enter in the text box confirms; the key itself goes no further.
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                acepta();
                return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            // Entering the box selects its whole text, whichever way the focus came.
            QTimer::singleShot(0, txtDato, [t = txtDato] { t->selectAll(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void fInputBox::acepta() {
    m_result = txtDato->text();
    accept();
}

void fInputBox::cancela() {
    m_result.clear();
    reject();
}
