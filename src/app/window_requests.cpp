// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/window_requests.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace veliso {

namespace {

constexpr Qt::WindowStates kScreenSized = Qt::WindowMaximized | Qt::WindowFullScreen;

/// Gives each top-level widget its keeper at its first show, when its native window exists.
class KeeperInstaller : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && widget->windowHandle() != nullptr &&
                widget->findChild<FixedSizeKeeper*>(QString(), Qt::FindDirectChildrenOnly) ==
                    nullptr) {
                new FixedSizeKeeper(*widget);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

FixedSizeKeeper::FixedSizeKeeper(QWidget& window) : QObject(&window), window_(window) {
    // The signal comes with the request itself, before the window system answers it: the
    // window is free to take the answer's size by the time it arrives.
    connect(window.windowHandle(), &QWindow::windowStateChanged, this,
            &FixedSizeKeeper::StateAsked);
    window.installEventFilter(this);
}

void FixedSizeKeeper::StateAsked(Qt::WindowState state) {
    if (!kScreenSized.testFlag(state) || fixed_.isValid() ||
        window_.minimumSize() != window_.maximumSize()) {
        return;
    }
    fixed_ = window_.maximumSize();
    window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

bool FixedSizeKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange) {
        FixAgainWhenBack();
    } else if (event->type() == QEvent::LayoutRequest && fixed_.isValid()) {
        // A message box fixes its size again at each layout request: not while the window
        // system holds it at another size.
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void FixedSizeKeeper::FixAgainWhenBack() {
    // Not before the window system has given the window its own size back: fixed too early,
    // a Wayland window would send one more frame of the wrong size for the state it is still
    // in.
    if (!fixed_.isValid() || (window_.windowState() & kScreenSized) || window_.size() != fixed_) {
        return;
    }
    window_.setMaximumSize(fixed_);
    fixed_ = QSize();
}

void KeepFixedSizeWindowsWithinRequests(QApplication& app) {
    app.installEventFilter(new KeeperInstaller(&app));
}

}  // namespace veliso
