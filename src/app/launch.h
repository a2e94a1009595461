#pragma once

#include <QObject>
#include <QString>

#include "app/command_line.h"

class TFormMM;
class QImage;

namespace veliso {

/// Paints frames of the view in its normal cycle and writes one as a PNG file, then ends the
/// message loop: with 0 once the file is written, with `kExitCaptureFailed` (and one French
/// line on standard error) when the view has no OpenGL context or the file cannot be
/// written.
///
/// The animation timer waits for the first painted frame, so that frame k always follows
/// exactly k − 1 animation ticks, however long the window took to reach the screen: with a
/// fixed random clock (`--graine`) the same command gives the same picture.
class ViewCapture : public QObject {
    Q_OBJECT
  public:
    /// Takes over the view's paint and error events of `form` (calling what was there
    /// before) and stops its animation timer until the first frame; the form must not be
    /// shown yet. With `fullScreen`, frames count only once the window covers its screen: a
    /// window manager takes a moment to grant full screen, and the first frames would have
    /// the windowed size. Where nothing grants it (an X11 display without a window manager),
    /// the window takes its screen itself after a tenth of `kFullScreenWaitMs`; if it still
    /// does not cover the screen after `kFullScreenWaitMs`, the capture fails.
    ViewCapture(TFormMM& form, const QString& path, int frames, bool fullScreen = false);

    /// How long a capture in full screen waits for the window to cover its screen.
    static constexpr int kFullScreenWaitMs = 10000;

    int framesPainted() const { return painted_; }

  private:
    void Painted();
    bool CoversScreen() const;
    void Write(const QImage& frame);
    void Fail(const QString& message);

    TFormMM& form_;
    QString path_;
    int frames_;
    int painted_ = 0;
    bool fullScreen_ = false;
    bool finished_ = false;
};

/// Shows the main window as the command line asks: on the chosen tab, in full screen, and
/// for a capture without the splash screen and with a `ViewCapture` (owned by the form).
/// Without options this is the plain show of every start. Runs inside the message loop.
void ShowMainWindow(TFormMM& form, const CommandLineOptions& options);

}  // namespace veliso
