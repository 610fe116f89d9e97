// Runs `action` on the modal dialog the code under test opens with exec(), inside its event
// loop; `*ran` stays false when none shows within `timeoutMs`.
#pragma once

#include <QtWidgets>
#include <functional>

template <class T>
void whenModal(std::function<void(T*)> action, bool* ran = nullptr, int timeoutMs = 10000) {
    if (ran) *ran = false;
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, deadline = QDeadlineTimer(timeoutMs), action, ran] {
        T* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
        const bool up = dlg && dlg->isVisible();
        if (!up && !deadline.hasExpired()) return;
        timer->stop(), timer->deleteLater();
        if (ran) *ran = up;
        if (up) action(dlg);
    });
    timer->start(5);
}

// The fields shown in `area` that leave the help line `help` empty when they take the focus (push buttons and
// read-only texts aside): every field a user can tab to must say what it wants. Then "name changes": a field
// that, left untouched, makes `changed` say there is something to save; "name presses": Enter in a text box
// pressed a button of the window.
inline QStringList fieldsWithoutHelp(QWidget* area, QLabel* help, const std::function<bool()>& changed) {
    QStringList silent;
    bool pressed = false;
    QList<QMetaObject::Connection> watched;
    for (QPushButton* b : area->window()->findChildren<QPushButton*>())
        watched << QObject::connect(b, &QPushButton::clicked, [&pressed] { pressed = true; });
    for (QWidget* f : area->findChildren<QWidget*>()) {
        auto* text = qobject_cast<QAbstractScrollArea*>(f);
        if (!f->isVisible() || !(f->focusPolicy() & Qt::TabFocus) || qobject_cast<QPushButton*>(f) ||
            (text && text->property("readOnly").toBool()))
            continue;
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        help->clear(), QCoreApplication::sendEvent(f, &in);
        if (help->text().isEmpty()) silent << f->objectName();
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(f, &out);
        if (changed()) silent << f->objectName() + " changes";
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        if (qobject_cast<QLineEdit*>(f) && (QCoreApplication::sendEvent(f, &enter), pressed))
            silent << f->objectName() + " presses", pressed = false;
    }
    for (const QMetaObject::Connection& c : watched) QObject::disconnect(c);
    return silent;
}
