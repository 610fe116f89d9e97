#include "QtPrompts.h"

#include <QApplication>
#include <QMessageBox>

#include "fInputBox.h"
#include "fMsgBox.h"

namespace {
QWidget* parentWindow() { return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow(); }
}  // namespace

int QtPrompts::toolBox(const ToolBoxRequest& r) {
    fMsgBox box(parentWindow());
    box.Msgbox1(r.text, r.title, r.icon, r.defaultButton, r.buttons, r.captions[0], r.captions[1], r.captions[2]);
    box.exec();
    return box.respuesta();
}

int QtPrompts::systemBox(const QString& text, int style, const QString& caption) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (Msg::iconOf(style)) {
        case Msg::Critical: icon = QMessageBox::Critical; break;
        case Msg::Question: icon = QMessageBox::Question; break;
        case Msg::Exclamation: icon = QMessageBox::Warning; break;
        case Msg::Information: icon = QMessageBox::Information; break;
        default: break;
    }
    QMessageBox::StandardButtons b = QMessageBox::Ok;
    switch (Msg::buttonsOf(style)) {
        case Msg::OKCancel: b = QMessageBox::Ok | QMessageBox::Cancel; break;
        case Msg::YesNoCancel: b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
        case Msg::YesNo: b = QMessageBox::Yes | QMessageBox::No; break;
        default: break;
    }
    QMessageBox box(icon, caption, text, b, parentWindow());
    switch (box.exec()) {
        case QMessageBox::Yes: return Msg::Yes;
        case QMessageBox::No: return Msg::No;
        case QMessageBox::Cancel: return Msg::Cancel;
        default: return Msg::buttonsOf(style) == Msg::YesNo ? Msg::No : Msg::OK;
    }
}

QString QtPrompts::inputBox(const QString& title, const QString& prompt, const QString& defaultValue) {
    return fInputBox::PideDato(title, prompt, defaultValue, parentWindow());
}

void QtPrompts::setBusy(bool on) {
    if (on) {
        if (m_busy++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0 && --m_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
}

