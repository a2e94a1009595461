// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

class QMouseEvent;
class QSurfaceFormat;
class QWidget;
class QWindow;

namespace veliso {

class GlSurfaceWindow;

/// The native OpenGL window of the view, the container that embeds it in the panel, and the
/// top-level window whose exposure it watches: one state machine. Each behaviour of a window
/// system that the view must answer is one named transition below.
///
///     None ──MakeSurface, panel hidden──▶ Parked ──PanelShown──▶ Shown
///     None ──MakeSurface, panel shown───────────────────────────▶ Shown
///     Shown ──SurfaceShown, top-level not on screen──▶ WaitingForTopLevel
///     WaitingForTopLevel ──TopLevelExposed──▶ Exposed (X11), or Shown again (Wayland)
///     Shown, Hidden ──surface exposed──▶ Exposed ──unexposed──▶ Hidden
///
/// `changed` says that the drawable under a bound context may have gone (a new native
/// surface, or one taken off the screen); `exposed`, that the surface is on screen.
class GlSurfaceHost : public QObject {
    Q_OBJECT
  public:
    enum class State { None, Parked, Shown, WaitingForTopLevel, Exposed, Hidden };

    /// The window and its container, inside `panel` at `geometry`; no native surface yet.
    GlSurfaceHost(QWidget* panel, const QRect& geometry);
    ~GlSurfaceHost() override;

    /// Makes the native surface with `format` at `size`; false when the window system has no
    /// window for that format.
    bool MakeSurface(const QSurfaceFormat& format, const QSize& size);
    /// The panel came on screen: the surface is shown there (made again if it was parked).
    void PanelShown();
    /// Nothing will ever be drawn (no context): the surface stays off screen, the panel's
    /// own area shows.
    void HideForGood();

    State state() const { return state_; }
    /// Visible and exposed: drawing reaches the screen.
    bool OnScreen() const;
    QWindow* window() const;
    QWidget* container() const { return container_; }

  signals:
    void exposed();
    void changed();
    void aboutToBeDestroyed();
    void mouseEvent(QMouseEvent* event);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class GlSurfaceWindow;
    // Notices from the native window.
    void SurfaceExposed();
    void SurfaceUnexposed();
    void SurfaceShown();
    void TopLevelExposed();

    QWidget* panel_;
    GlSurfaceWindow* window_ = nullptr;  // owned by container_
    QWidget* container_ = nullptr;
    QPointer<QWindow> watchedTopLevel_;
    State state_ = State::None;
};

}  // namespace veliso
