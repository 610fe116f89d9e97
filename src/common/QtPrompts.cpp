#include "QtPrompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
QWidget* parentWindow() { return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow(); }
}  // namespace

int QtPrompts::toolBox(const ToolBoxRequest& r) {
    QMessageBox box(parentWindow());
    box.setWindowTitle(r.title);
    box.setText(r.text);
    box.setIcon(r.icon == 2 ? QMessageBox::Warning : r.icon == 3 ? QMessageBox::Critical : QMessageBox::Question);
    QList<QPushButton*> buttons;
    for (int i = 0; i < qBound(1, r.buttons, 3); ++i)
        buttons << box.addButton(r.captions[i].isEmpty() ? QStringLiteral("OK") : QString(r.captions[i]).remove('&'),
                                 QMessageBox::AcceptRole);
    if (r.defaultButton >= 1 && r.defaultButton <= buttons.size()) box.setDefaultButton(buttons[r.defaultButton - 1]);
    box.setEscapeButton(buttons.last());
    box.exec();
    return int(buttons.indexOf(static_cast<QPushButton*>(box.clickedButton()))) + 1;
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
    bool ok = false;
    const QString t = QInputDialog::getText(parentWindow(), title, prompt, QLineEdit::Normal, defaultValue, &ok);
    return ok ? t : QString();
}

void QtPrompts::setBusy(bool on) {
    if (on) {
        if (m_busy++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0 && --m_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void QtPrompts::letEventsRun(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, qMax(1, ms));
    } while (t.elapsed() < ms);
}
