// Runs `action` on the modal dialog the code under test opens with exec(), inside its event
// loop; `*ran` stays false when none shows within `timeoutMs`.
#pragma once

#include <QtWidgets>
#include <functional>
#include <memory>

template <class T>
void whenModal(std::function<void(T*)> action, bool* ran = nullptr, int timeoutMs = 10000) {
    if (ran) *ran = false;
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, ran, timeoutMs] {
        T* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
        const bool up = dlg && dlg->isVisible();
        if (!up && clock->elapsed() <= timeoutMs) return;
        timer->stop(), timer->deleteLater();
        if (ran) *ran = up;
        if (up) action(dlg);
    });
    timer->start();
}
