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
