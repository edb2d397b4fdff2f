#pragma once

// Answering a modal dialog from a test: the dialog runs its own event loop, so the answer is
// given by a timer that watches for it.
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace fixture {

// Runs handle on the first modal dialog of the type as soon as it is shown; the timer that
// watches for it is returned, so that an answer never given can be withdrawn.
template <class Dialog> QPointer<QTimer> whenShown(const std::function<void(Dialog *)> &handle) {
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, handle] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            handle(dialog);
        }
    });
    timer->start(10);
    return timer;
}

} // namespace fixture
