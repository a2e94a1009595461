// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/window_requests.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace veliso {

namespace {

constexpr Qt::WindowStates kScreenSized = Qt::WindowMaximized | Qt::WindowFullScreen;

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

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
                    nullptr &&
                widget->findChild<WaylandWindowKeeper*>(QString(), Qt::FindDirectChildrenOnly) ==
                    nullptr) {
                if (OnWayland()) {
                    // Top-level windows only: menus and tooltips are the compositor's popups,
                    // which it neither maximises nor gives the keyboard.
                    const Qt::WindowType type = widget->windowType();
                    if (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool) {
                        new WaylandWindowKeeper(*widget);
                    }
                } else {
                    new FixedSizeKeeper(*widget);
                }
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

WaylandWindowKeeper::WaylandWindowKeeper(QWidget& window) : QObject(&window), window_(window) {
    window.installEventFilter(this);
    // The native window's own show comes after the widget's show handler, which may fix the
    // size again (the About box lays itself out there), and before the compositor is asked
    // for the window.
    window.windowHandle()->installEventFilter(this);
    Unfix();
}

void WaylandWindowKeeper::Unfix() {
    if (window_.minimumSize() != window_.maximumSize() ||
        window_.maximumWidth() == QWIDGETSIZE_MAX) {
        return;
    }
    own_ = window_.maximumSize();
    window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

bool WaylandWindowKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_.windowHandle()) {
        if (event->type() == QEvent::Show) {
            Unfix();
        }
        return QObject::eventFilter(watched, event);
    }
    if (watched != &window_) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Show:
            // Each opening starts at the window's own size, in the normal state, as the first.
            if (own_.isValid() && (window_.windowState() & kScreenSized)) {
                window_.setWindowState(window_.windowState() & ~kScreenSized);
                window_.resize(own_);
            }
            break;
        case QEvent::Hide:
            if (!event->spontaneous()) {
                QMetaObject::invokeMethod(this, &WaylandWindowKeeper::GiveKeyboardBack,
                                          Qt::QueuedConnection);
            }
            break;
        case QEvent::Resize: {
            auto* resize = static_cast<QResizeEvent*>(event);
            Unfix();
            Answer(resize->oldSize(), event->spontaneous());
            if (!(window_.windowState() & kScreenSized)) {
                normal_ = window_.size();
            }
            break;
        }
        case QEvent::WindowStateChange:
            // Qt gives a window its size from before a screen-sized state only when that state
            // began while the window was shown: shown again in it, the window would stay at
            // the screen's size once the state ends.
            if (event->spontaneous() && !(window_.windowState() & kScreenSized) &&
                (static_cast<QWindowStateChangeEvent*>(event)->oldState() & kScreenSized) &&
                normal_.isValid() && window_.windowHandle()->size() != normal_) {
                window_.resize(normal_);
            }
            break;
        case QEvent::LayoutRequest:
            if (relaying_) {
                break;
            }
            if (!offset_.isNull()) {
                // A message box fixes its size again at each layout request, counting the
                // margins that centre it: not while the content stands in the middle.
                return true;
            }
            // Delivered now, so that the size a message box fixes there is lifted at once,
            // before any configure of the compositor can be applied.
            relaying_ = true;
            QCoreApplication::sendEvent(&window_, event);
            relaying_ = false;
            Unfix();
            return true;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void WaylandWindowKeeper::Answer(QSize previous, bool fromCompositor) {
    const bool screenSized = window_.windowState() & kScreenSized;
    if (own_.isValid()) {
        if (!screenSized && window_.size() != own_) {
            window_.resize(own_);
            return;
        }
        CentreContent();
        return;
    }
    if (!fromCompositor || screenSized || window_.parentWidget() == nullptr ||
        !previous.isValid() || previous == window_.size()) {
        return;
    }
    const QScreen* screen = window_.screen();
    const QMargins frame = window_.windowHandle()->frameMargins();
    const QSize framed = window_.size().grownBy(frame);
    if (screen != nullptr && framed.width() >= screen->availableGeometry().width() &&
        framed.height() >= screen->availableGeometry().height()) {
        window_.resize(previous);
    }
}

void WaylandWindowKeeper::CentreContent() {
    const QSize room = window_.size() - own_;
    const QPoint offset(std::max(0, room.width() / 2), std::max(0, room.height() / 2));
    if (offset == offset_) {
        return;
    }
    const QPoint by = offset - offset_;
    if (offset_.isNull()) {
        margins_ = window_.contentsMargins();
    }
    // First, as the new margins send the window a resize event of their own.
    offset_ = offset;
    if (window_.layout() != nullptr) {
        window_.setContentsMargins(margins_ + QMargins(offset.x(), offset.y(),
                                                       std::max(0, room.width()) - offset.x(),
                                                       std::max(0, room.height()) - offset.y()));
    } else {
        for (QWidget* child : window_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow()) {
                child->move(child->pos() + by);
            }
        }
        if (!window_.mask().isEmpty()) {
            window_.setMask(window_.mask().translated(by));
        }
    }
}

void WaylandWindowKeeper::GiveKeyboardBack() {
    QWidget* parent = window_.parentWidget();
    if (window_.isVisible() || parent == nullptr) {
        return;
    }
    QWidget* under = parent->window();
    QWidget* main = under;
    while (main->parentWidget() != nullptr) {
        main = main->parentWidget()->window();
    }
    if (!under->isVisible() || !(main->windowState() & Qt::WindowFullScreen)) {
        return;
    }
    // Another window standing over it would lose its parent while it is hidden.
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != under && other->isVisible() && other->parentWidget() != nullptr &&
            other->parentWidget()->window() == under) {
            return;
        }
    }
    under->hide();
    under->show();
}

void KeepWindowsWithinRequests(QApplication& app) {
    app.installEventFilter(new KeeperInstaller(&app));
}

}  // namespace veliso
