// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/gl_surface_host.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPlatformSurfaceEvent>
#include <QSurfaceFormat>
#include <QWidget>
#include <QWindow>

namespace veliso {

/// The native OpenGL window filling the panel's client area. It forwards exposure, mouse
/// input and the creation and destruction of its native surface to its host.
class GlSurfaceWindow : public QWindow {
  public:
    explicit GlSurfaceWindow(GlSurfaceHost* host) : host_(host) {
        setSurfaceType(QSurface::OpenGLSurface);
        // A click on the view steers the camera; it must not take the keyboard focus away
        // from the window's controls.
        setFlag(Qt::WindowDoesNotAcceptFocus);
    }
    void Detach() { host_ = nullptr; }

  protected:
    void exposeEvent(QExposeEvent*) override {
        if (host_ == nullptr) {
            return;
        }
        if (isExposed()) {
            host_->SurfaceExposed();
        } else {
            host_->SurfaceUnexposed();
        }
    }
    void showEvent(QShowEvent*) override {
        if (host_ != nullptr) {
            host_->SurfaceShown();
        }
    }
    void mousePressEvent(QMouseEvent* e) override { Forward(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Forward(e); }
    void mouseMoveEvent(QMouseEvent* e) override { Forward(e); }
    bool event(QEvent* e) override {
        if (host_ != nullptr && e->type() == QEvent::PlatformSurface) {
            const auto type = static_cast<QPlatformSurfaceEvent*>(e)->surfaceEventType();
            if (type == QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
                emit host_->aboutToBeDestroyed();
            } else {
                emit host_->changed();
            }
        }
        return QWindow::event(e);
    }

  private:
    void Forward(QMouseEvent* e) {
        if (host_ != nullptr) {
            emit host_->mouseEvent(e);
        }
    }
    GlSurfaceHost* host_;
};

GlSurfaceHost::GlSurfaceHost(QWidget* panel, const QRect& geometry)
    : QObject(panel), panel_(panel) {
    window_ = new GlSurfaceWindow(this);
    container_ = QWidget::createWindowContainer(window_, panel);
    container_->setMouseTracking(true);
    container_->setFocusPolicy(Qt::NoFocus);
    container_->setGeometry(geometry);
}

GlSurfaceHost::~GlSurfaceHost() {
    window_->Detach();
    delete container_;  // deletes the window it holds
}

QWindow* GlSurfaceHost::window() const {
    return window_;
}

bool GlSurfaceHost::MakeSurface(const QSurfaceFormat& format, const QSize& size) {
    if (window_->handle() != nullptr) {
        return true;
    }
    window_->setFormat(format);
    // Made at the platform's default size and resized afterwards, the window's first frame
    // would be drawn at the old size: Mesa's software rasteriser keeps the drawable size it
    // found at the first binding until the next swap.
    window_->resize(size);
    // The native surface is made where it will live. The container moves its window into
    // the panel's top-level window when it is first shown; a surface made before that would
    // hang under the container's placeholder parent, which some window systems (Wayland)
    // never let it leave. So a visible panel shows the container first, which makes the
    // surface in its place (None → Shown). A hidden panel (the owner asked for the context
    // early) parks it there for now (None → Parked), and PanelShown makes it again.
    if (panel_->isVisible()) {
        state_ = State::Shown;  // before the show, which may already find the top-level away
        container_->show();
    }
    if (window_->handle() == nullptr) {
        window_->create();
        if (window_->handle() != nullptr) {
            state_ = State::Parked;
        }
    }
    return window_->handle() != nullptr;
}

void GlSurfaceHost::PanelShown() {
    if (container_->isVisible()) {
        return;
    }
    if (state_ == State::Parked) {
        // Parked → Shown. Some window systems (Wayland) cannot move a surface to another
        // parent once it exists, so it is made again in its window; a context stays and binds
        // to the new surface at the next paint.
        window_->destroy();
    }
    state_ = State::Shown;
    container_->show();
}

void GlSurfaceHost::HideForGood() {
    container_->hide();
}

bool GlSurfaceHost::OnScreen() const {
    // An expose queued before the surface was hidden may still arrive: visible and exposed.
    return window_->isVisible() && window_->isExposed();
}

void GlSurfaceHost::SurfaceExposed() {
    // While waiting for the top-level, the wait goes on: Wayland may expose the surface for a
    // moment and take it back before its parent is configured, and only showing it again then
    // brings it back for good.
    if (state_ != State::WaitingForTopLevel) {
        state_ = State::Exposed;
    }
    emit exposed();
}

void GlSurfaceHost::SurfaceUnexposed() {
    // Hidden: the drawable may go away underneath the context (a Wayland surface loses its
    // buffers when unmapped).
    if (state_ != State::WaitingForTopLevel) {
        state_ = State::Hidden;
    }
    emit changed();
}

void GlSurfaceHost::SurfaceShown() {
    // Shown → WaitingForTopLevel when its top-level window is not on the screen yet (the
    // first show, the window shown again after being hidden). Wayland exposes such an
    // embedded surface only when its parent is configured anew, which a compositor that does
    // not activate the window never does: the view would stay blank. So the top-level's
    // exposure is watched, and the surface shown once more then (TopLevelExposed).
    QWindow* top = panel_->window()->windowHandle();
    if (top != watchedTopLevel_) {
        if (watchedTopLevel_ != nullptr) {
            watchedTopLevel_->removeEventFilter(this);
        }
        watchedTopLevel_ = top;
        if (top != nullptr) {
            top->installEventFilter(this);
        }
    }
    if (top == nullptr || !top->isExposed()) {
        state_ = State::WaitingForTopLevel;
    } else if (state_ != State::Exposed) {
        state_ = State::Shown;
    }
}

bool GlSurfaceHost::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedTopLevel_ && event->type() == QEvent::Expose &&
        state_ == State::WaitingForTopLevel) {
        QMetaObject::invokeMethod(this, &GlSurfaceHost::TopLevelExposed, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void GlSurfaceHost::TopLevelExposed() {
    if (state_ != State::WaitingForTopLevel || watchedTopLevel_ == nullptr ||
        !watchedTopLevel_->isExposed() || !container_->isVisible()) {
        return;
    }
    // X11 maps the surface with its window, exposed at once: nothing to do, and showing it
    // again would only take it off the screen for a moment.
    if (window_->isExposed()) {
        state_ = State::Exposed;
        return;
    }
    state_ = State::Shown;
    // Wayland: shown again on an exposed parent, the surface is exposed at once.
    container_->hide();
    container_->show();
}

}  // namespace veliso
