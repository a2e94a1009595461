// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QStringList>
#include <QtGlobal>

#include "app/command_line.h"

namespace veliso {

/// Exit code of a run whose window system cannot start.
inline constexpr int kExitNoWindowSystem = 2;

/// The window system a run asks Qt for: the value of `-platform` among the arguments, else
/// QT_QPA_PLATFORM; empty when neither names one (Qt then picks its own).
QString RequestedPlatform(const QStringList& arguments);

/// Whether a capture should use Qt's offscreen platform: a picture is asked for, no window
/// system is named, and neither an X11 (DISPLAY) nor a Wayland (WAYLAND_DISPLAY) display is
/// there to show windows on. A machine without a desktop can still make the picture.
bool CaptureWithoutDisplay(const CommandLineOptions& options, const QStringList& arguments);

/// Held while the application object starts its window system. Where Qt cannot start one
/// it writes several lines of English on standard error and aborts; instead, the run writes
/// one French line, alone, and ends with `kExitNoWindowSystem`. What Qt and the libraries
/// under it (libwayland, libxcb) say meanwhile is held back and handed on once the start
/// has succeeded, but for Qt's notice that XDG_RUNTIME_DIR is not set, which is dropped: Qt
/// then makes a private runtime folder of its own and works as with the variable. In a
/// sanitizer build a fault's report during the start is handed on before the run ends.
class WindowSystemStart {
  public:
    /// `platform`: the name asked for (RequestedPlatform), for the message.
    explicit WindowSystemStart(const QString& platform);
    ~WindowSystemStart();
    WindowSystemStart(const WindowSystemStart&) = delete;
    WindowSystemStart& operator=(const WindowSystemStart&) = delete;

    /// The line written when the window system cannot start (without its newline).
    static QString FailureLine(const QString& platform);

  private:
    QtMessageHandler previous_;
};

}  // namespace veliso
