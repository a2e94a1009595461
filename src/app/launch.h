// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QObject>
#include <QString>

#include "app/command_line.h"
#include "glview/frame_requests.h"

class TFormMM;
class QImage;
class QTimer;
class QWidget;

namespace veliso {

class ViewHost;

/// Lets the animation run a given number of frames and writes the last one as a PNG file,
/// then ends the message loop: with 0 once the file is written, with `kExitCaptureFailed`
/// (and one French line on standard error) when no frame comes (no OpenGL context, a view
/// never on screen, a drawing that fails, nothing within a few seconds) or the file cannot
/// be written.
///
/// Frame k is the picture after exactly k − 1 animation ticks, whatever else paints the view
/// meanwhile: the capture drives the ticks itself, starting once the first frame is on
/// screen, however long the window took to get there, and ties the model to them
/// (`ViewHost::TieModelToTicks`), so that the exposures a window system adds do not move it.
/// With a fixed random clock (`--graine`) the same command gives the same picture, on a
/// desktop or without a display.
class ViewCapture : public QObject {
    Q_OBJECT
  public:
    /// The longest wait for the first frame, in milliseconds.
    static constexpr int kFirstFrameTimeoutMs = 5000;
    /// How long a capture in full screen waits for the window to cover its screen.
    static constexpr int kFullScreenWaitMs = 10000;

    /// Stops the host's own animation timer for the whole run; its window must not be shown
    /// yet. With `fullScreen`, frames count only once the window covers its screen: a
    /// window manager takes a moment to grant full screen, and the first frames would have
    /// the windowed size. Where nothing grants it (an X11 display without a window manager),
    /// the window takes its screen itself after a tenth of `kFullScreenWaitMs`; if it still
    /// does not cover the screen after `kFullScreenWaitMs`, the capture fails.
    ViewCapture(ViewHost& host, const QString& path, int frames, bool fullScreen = false);

    /// Animation ticks run so far.
    int ticks() const { return ticks_; }

  private:
    void FirstFrame(const FrameAnswer& answer);
    bool CoversScreen() const;
    void Tick();
    void LastFrame(const FrameAnswer& answer);
    void Write(const QImage& frame);
    void Fail(const QString& message);

    ViewHost& host_;
    QWidget& window_;  // the host's window, which owns this
    QString path_;
    int frames_;
    int ticks_ = 0;
    bool fullScreen_ = false;
    bool started_ = false;  // the first frame counted is on screen; the ticks run
    bool finished_ = false;
    QTimer* ticker_ = nullptr;
};

/// Why a frame request gave no frame, as one French phrase for standard error.
QString CaptureFrameFailure(const FrameAnswer& answer);

/// Shows the main window as the command line asks: on the chosen tab, in full screen, and
/// for a capture without the splash screen and with a `ViewCapture` (owned by the window).
/// Without options this is the plain show of every start. Runs inside the message loop.
void ShowMainWindow(TFormMM& form, const CommandLineOptions& options);

}  // namespace veliso
