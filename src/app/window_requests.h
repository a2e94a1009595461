// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QSize>

class QApplication;
class QWidget;

namespace veliso {

/// On X11: lets a fixed-size window (minimum size = maximum size: the About box, the
/// instructions, the message boxes, the splash) answer a maximise or full-screen request the
/// way the window system requires.
///
/// These windows offer no such action, but a desktop may still ask: code can call
/// showMaximized(), a window manager has its keys. While a maximised or full-screen state is
/// asked for, the window may take any size, and once the window system has put it back to its
/// own size, it is fixed again.
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

/// On Wayland: makes every top-level window answer each configure of the compositor the way
/// the protocol requires, whoever started the state (the compositor's own keys, Qt's title bar,
/// the program).
///
/// A maximised window must draw at exactly the size the compositor gives, and a full-screen
/// one at no more; anything else is a protocol error that ends the connection, and the
/// program with it. Qt applies that size at once, held within the window's minimum and maximum
/// sizes, before the window learns of the new state. So a window that cannot change its size
/// is not held to it here: its fixed size becomes its minimum, its maximum is lifted, and
///  - in a maximised or full-screen state it takes the compositor's size, its content kept at
///    its own size in the middle;
///  - in the normal state, where the compositor's size is only a suggestion, it goes back to
///    its own size;
///  - it opens again at its own size in the normal state, whatever state it was closed in.
/// Any window gets its size from before back when a screen-sized state ends, even one it was
/// shown again in.
/// A resizable dialog keeps its size against a suggestion to cover the whole screen: some
/// compositors (weston's kiosk shell) place a dialog centred at the size it first shows, then
/// ask it to fill the screen, which from where it stands would run it off the screen.
/// And when a dialog closes over a main window in full screen, that window is shown again so
/// that the compositor gives it the keyboard: weston's kiosk shell leaves the keyboard to no
/// window once a dialog closes, and a Wayland client cannot take it back otherwise.
class WaylandWindowKeeper : public QObject {
    Q_OBJECT
  public:
    /// Watches `window` (a top-level widget that has its native window); owned by it.
    explicit WaylandWindowKeeper(QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /// A fixed size becomes the window's own size and its minimum; the maximum is lifted.
    void Unfix();
    /// After a resize from the compositor: the own size back in the normal state, the content
    /// in the middle otherwise.
    void Answer(QSize previous, bool fromCompositor);
    void CentreContent();
    /// After the window was hidden: the keyboard back to the window it stood over.
    void GiveKeyboardBack();

    QWidget& window_;
    /// The size the program fixed; invalid for a window the user may resize.
    QSize own_;
    /// The window's size when last in the normal state.
    QSize normal_;
    /// How far the content stands from the top left corner, to be in the middle.
    QPoint offset_;
    /// A laid-out window's own contents margins, without the centring.
    QMargins margins_;
    /// A layout request is being delivered through the filter.
    bool relaying_ = false;
};

/// Gives every top-level widget of `app` its keeper for the platform (X11 or Wayland) when it
/// is first shown.
void KeepWindowsWithinRequests(QApplication& app);

}  // namespace veliso
