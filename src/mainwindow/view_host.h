// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QString>

class QTimer;
class QWidget;

namespace veliso {

class MeasurementBench;
class TOpenGLOrvPanel;

/// What the helpers around the 3D view (its menu and keys, a capture of its frames) need of
/// the window that holds it, and nothing more: the window, the view, the current tab, whether
/// the camera is being dragged, a line in the status bar, the animation's ticks and the
/// measurement bench. The main window implements it; the helpers never see the main window's
/// controls or records.
class ViewHost {
  public:
    /// The top-level window the view lies in: it carries the helpers' shortcuts, goes full
    /// screen and is the parent of their boxes.
    virtual QWidget& mainWindow() = 0;
    virtual TOpenGLOrvPanel& view() = 0;
    /// Index of the current tab: 0 solid, 1 liquid, 2 gas.
    virtual int activeTab() const = 0;
    /// A mouse button is dragging the camera.
    virtual bool dragging() const = 0;
    /// Says `text` in the status bar, where it is seen, until the next text.
    virtual void ShowStatus(const QString& text) = 0;
    /// The timer of the animation ticks, and one tick run at once.
    virtual QTimer& animationTimer() = 0;
    virtual void AnimationTick() = 0;
    /// From now on the model moves once per animation tick and at no other time: a paint
    /// between two ticks (an exposure) draws what the model shows without moving it, and a
    /// tick moves it even where the view cannot paint. How many frames the model ran then
    /// no longer depends on how often the window system exposes the view.
    virtual void TieModelToTicks() = 0;
    /// The gas tab's measurement bench, which the view's menu opens.
    virtual MeasurementBench& bench() = 0;

  protected:
    ~ViewHost() = default;
};

}  // namespace veliso
