// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QString>

#include <functional>
#include <type_traits>
#include <utility>

#include "glview/exception_text.h"

namespace veliso {

/// The program's title: the task-bar caption and the caption of its message boxes.
inline constexpr const char* kApplicationTitle = "Veliso";

/// Shows an exception's message in the standard exception box (the message, the caption
/// "Veliso", the error icon, OK) and returns when the user has dismissed it. Each message is
/// shown once until the user does something (presses a key or a mouse button outside any
/// dialog): a drawing or a timer that fails at every tick gives one box, not a box again
/// after every OK, and the program can still be closed. Exceptions that arrive while a box
/// is open open no box of their own: once the box is closed the first other message among
/// them is shown, with "… et N autres erreurs" for the others.
void ShowException(const QString& message);

/// A handler as connected to a signal or a view event: it runs the wrapped callable, and an
/// exception escaping it is shown by ShowException right there, instead of unwinding through
/// Qt's own code up to the event loop. It takes the leading arguments the callable takes, so
/// a handler without arguments can be connected to a signal that has some.
template <typename F>
class Guarded {
  public:
    explicit Guarded(F f) : f_(std::move(f)) {}

    template <typename... Args>
    auto operator()(Args&&... args) const
        -> decltype(std::invoke(std::declval<const F&>(), std::forward<Args>(args)...), void()) {
        try {
            std::invoke(f_, std::forward<Args>(args)...);
        } catch (...) {
            ShowException(CurrentExceptionMessage());
        }
    }

  private:
    F f_;
};

/// Guards a callable: `connect(box, &QCheckBox::toggled, this, Guard([this](bool on) {...}))`.
template <typename F>
Guarded<F> Guard(F f) {
    return Guarded<F>(std::move(f));
}

/// Guards a member handler: `connect(timer, &QTimer::timeout, this, Guard(this,
/// &TFormMM::Timer1Timer))`.
template <typename T, typename... A>
auto Guard(T* object, void (T::*handler)(A...)) {
    return Guard([object, handler](A... args) { (object->*handler)(args...); });
}

}  // namespace veliso
