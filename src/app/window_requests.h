// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QObject>
#include <QSize>

class QApplication;
class QWidget;

namespace veliso {

/// Lets a fixed-size window (minimum size = maximum size: the About box, the instructions,
/// the message boxes, the splash) answer a maximise or full-screen request the way the window
/// system requires, instead of ending the program.
///
/// These windows offer no such action, but a desktop may still ask: Qt's own title bar on
/// Wayland draws a maximise button on every window, and code can call showMaximized(). A
/// Wayland compositor then hands the window the size of the screen and requires the next frame
/// to have exactly that size; a window held to its fixed size would answer with the wrong size,
/// which the compositor treats as a protocol error that closes the connection. So while a
/// maximised or full-screen state is asked for, the window may take any size, and once the
/// window system has put it back to its own size, it is fixed again.
class FixedSizeKeeper : public QObject {
    Q_OBJECT
  public:
    /// Watches `window` (a top-level widget that has its native window); owned by it.
    explicit FixedSizeKeeper(QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void StateAsked(Qt::WindowState state);
    void FixAgainWhenBack();

    QWidget& window_;
    /// The fixed size given up while a screen-sized state lasts; invalid otherwise.
    QSize fixed_;
};

/// Gives every top-level widget of `app` its FixedSizeKeeper when it is first shown.
void KeepFixedSizeWindowsWithinRequests(QApplication& app);

}  // namespace veliso
