#pragma once

#include "platform/ErrorDisplay.h"

#include <QObject>
#include <QWidget>

namespace marlix {

// Connects a signal to a handler of a window that runs guarded: an error of the handler ends
// that action and reaches the error display, never the event loop. The handler takes the
// signal's first arguments or none.
template <class Sender, class Signal, class Window, class... Args>
QMetaObject::Connection connectGuarded(Sender *sender, Signal signal, Window *window,
                                       void (Window::*handler)(Args...)) {
    static_assert(std::is_base_of_v<QWidget, Window>, "the error display needs a window");
    return QObject::connect(sender, signal, window, [window, handler](Args... args) {
        guarded(window, [&] { (window->*handler)(args...); });
    });
}

} // namespace marlix
