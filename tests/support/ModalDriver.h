// Drives a modal dialog that the code under test opens with exec(): the action
// runs on the dialog, from inside its own event loop, as soon as it is the
// active modal window.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Schedules `action` for the next modal dialog of type T. When the dialog has
// not shown within `timeoutMs` the wait gives up, and `*ran` stays false.
template <class T>
void whenModal(std::function<void(T*)> action, bool* ran = nullptr, int timeoutMs = 10000) {
    if (ran) *ran = false;
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, ran, timeoutMs] {
        T* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dlg && dlg->isVisible()) {
            timer->stop();
            timer->deleteLater();
            if (ran) *ran = true;
            action(dlg);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
