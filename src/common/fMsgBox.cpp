#include "fMsgBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>

#include "AppGlobals.h"
#include "mIdioma.h"

namespace {
// Layout in twips, the unit the window's geometry is described in.
constexpr int kWidth = 6600;
constexpr int kHeight = 2700;
constexpr int kIconLeft = 240, kIconTop = 300, kIconSize = 480;
constexpr int kTextLeft = 960, kTextTop = 180, kTextRight = 240, kTextHeight = 1500;
constexpr int kShortTextTop = 450;  // short messages sit lower, centred
constexpr int kButtonWidth = 1455, kButtonHeight = 405, kButtonGap = 250, kButtonBottom = 180;
constexpr int kMaxTextHeight = 6000;

QLabel* iconLabel(QWidget* parent, QStyle::StandardPixmap which) {
    auto* l = new QLabel(parent);
    l->setPixmap(parent->style()->standardIcon(which, nullptr, parent).pixmap(twipsToPx(kIconSize)));
    l->setGeometry(twipsToPx(kIconLeft), twipsToPx(kIconTop), twipsToPx(kIconSize), twipsToPx(kIconSize));
    return l;
}
}  // namespace

fMsgBox::fMsgBox(QWidget* parent) : QDialog(parent) {
    setObjectName("fMsgBox");
    setModal(true);
    setFixedSize(twipsToPx(kWidth), twipsToPx(kHeight));

    imgInterrogacion = iconLabel(this, QStyle::SP_MessageBoxQuestion);
    imgInterrogacion->setObjectName("imgInterrogacion");
    imgExclamacion = iconLabel(this, QStyle::SP_MessageBoxWarning);
    imgExclamacion->setObjectName("imgExclamacion");
    imgExclamacion->hide();
    imgAlerta = iconLabel(this, QStyle::SP_MessageBoxWarning);  // attention: reports and failures alike
    imgAlerta->setObjectName("imgAlerta");
    imgAlerta->hide();

    lblMsg = new QTextEdit(this);
    lblMsg->setObjectName("lblMsg");
    lblMsg->setReadOnly(true);
    lblMsg->setFrameShape(QFrame::NoFrame);
    lblMsg->setFocusPolicy(Qt::NoFocus);
    lblMsg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblMsg->viewport()->setAutoFillBackground(false);
    lblMsg->setGeometry(twipsToPx(kTextLeft), twipsToPx(kTextTop), twipsToPx(kWidth - kTextLeft - kTextRight),
                        twipsToPx(kTextHeight));

    // The box also reports missing keys, so its own captions must not ask for another box.
    const QString ok = HayTexto("&Aceptar") ? Texto("&Aceptar") : QStringLiteral("&OK");
    const QString exit = HayTexto("&Salir") ? Texto("&Salir") : QStringLiteral("E&xit");
    const QString captions[3] = {ok, exit, exit};
    for (int i = 0; i < 3; ++i) {
        cmd[i] = new QPushButton(captions[i], this);
        cmd[i]->setObjectName(QStringLiteral("cmd%1").arg(i));
        // A button that has the focus takes Enter; the default button only when none has it.
        cmd[i]->setAutoDefault(true);
        const int left = kTextLeft + i * (kButtonWidth + kButtonGap);
        cmd[i]->setGeometry(twipsToPx(left), twipsToPx(kHeight - kButtonBottom - kButtonHeight), twipsToPx(kButtonWidth),
                            twipsToPx(kButtonHeight));
        connect(cmd[i], &QPushButton::clicked, this, [this, i] { pressed(i); });
    }
    app().RespuestaMsgBox = 0;
    CargaRecursos();
}

void fMsgBox::Msgbox1(const QString& text, const QString& title, int icon, int defaultButton, int buttons,
                      const QString& caption1, const QString& caption2, const QString& caption3) {
    // Short messages are centred lower in the window.
    const bool shortText = text.size() < 55;

    // A lone line feed does not break the line; a carriage return does.
    m_text = text;
    m_text.remove(QLatin1Char('\n'));
    m_text.replace(QLatin1Char('\r'), QLatin1String("\r\n"));
    QString shown = m_text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lblMsg->setPlainText(shown);
    if (shortText) {
        lblMsg->move(lblMsg->x(), twipsToPx(kShortTextTop));
        QTextCursor c(lblMsg->document());
        c.select(QTextCursor::Document);
        QTextBlockFormat f;
        f.setAlignment(Qt::AlignHCenter);
        c.mergeBlockFormat(f);
    } else {
        fitHeight();
    }

    setWindowTitle(title.isEmpty() ? QString::fromLatin1(kAppTitle) : title);

    m_icon = icon;
    QLabel* source = icon == 2 ? imgExclamacion : icon == 3 ? imgAlerta : nullptr;
    QStyle::StandardPixmap which = icon == 2   ? QStyle::SP_MessageBoxWarning
                                   : icon == 3 ? QStyle::SP_MessageBoxWarning
                                               : QStyle::SP_MessageBoxQuestion;
    imgInterrogacion->setPixmap(source ? source->pixmap(Qt::ReturnByValue)
                                       : style()->standardIcon(which, nullptr, this).pixmap(twipsToPx(kIconSize)));

    const QString captions[3] = {caption1, caption2, caption3};
    for (int i = 0; i < 3; ++i)
        if (!captions[i].isEmpty()) cmd[i]->setText(captions[i]);

    const int w = pxToTwips(width());
    const int bw = pxToTwips(cmd[0]->width());
    // Any other count leaves the buttons as they are.
    if (buttons >= 1 && buttons <= 3) {
        const int first = (w - buttons * bw - (buttons - 1) * kButtonGap) / 2;
        for (int i = 0; i < 3; ++i) {
            cmd[i]->setVisible(i < buttons);
            cmd[i]->move(twipsToPx(first + i * (bw + kButtonGap)), cmd[i]->y());
        }
        m_cancel = cmd[buttons - 1];
    }

    if (defaultButton >= 1 && defaultButton <= 3) {
        for (int i = 0; i < 3; ++i) cmd[i]->setDefault(i == defaultButton - 1);
        cmd[defaultButton - 1]->setFocus();
    }
}

void fMsgBox::fitHeight() {
    // Long messages get a taller window instead of a scroll bar, within reason.
    lblMsg->document()->setTextWidth(lblMsg->viewport()->width());
    const int needed = int(lblMsg->document()->size().height()) + 4;
    const int extra = qBound(0, needed - lblMsg->height(), twipsToPx(kMaxTextHeight - kTextHeight));
    if (extra == 0) return;
    setFixedSize(width(), height() + extra);
    lblMsg->resize(lblMsg->width(), lblMsg->height() + extra);
    for (QPushButton* b : cmd) b->move(b->x(), b->y() + extra);
}

int fMsgBox::respuesta() const { return app().RespuestaMsgBox; }

void fMsgBox::pressed(int index) {
    app().RespuestaMsgBox = qint16(index + 1);
    done(index + 1);
}

void fMsgBox::keyPressEvent(QKeyEvent* event) {
    // Escape presses the cancel button; the close box (reject) leaves the answer at 0.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_cancel && m_cancel->isVisible()) m_cancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
