// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QApplication>

#include <functional>

#include "mainwindow/handler_boundary.h"

namespace veliso {

/// Exit code of a run that an error ended: an exception that no handler caught, at start-up
/// or out of the message loop.
inline constexpr int kExitFatalError = 1;

/// Runs `run` (the program's start and its message loop, returning the loop's exit code)
/// and returns the run's exit code. An exception escaping it ends the run with
/// kExitFatalError: its message (in French where the program has one) on one line of
/// standard error, and, when `withBox` and an application object exists, in the exception
/// box as well. A run that makes no windows (a capture) has nobody to answer a box.
int RunShowingFatalErrors(bool withBox, const std::function<int()>& run);

/// Delivers an event through QApplication::notify; an exception escaping the receiver's
/// handler is shown by ShowException and the event counts as not handled. Handlers are
/// guarded where they are connected (handler_boundary.h); this is the last net, for
/// exceptions from event handlers of Qt's own kind.
bool NotifyShowingExceptions(QApplication& app, QObject* receiver, QEvent* event);

/// The application object: titled "Veliso", an exception thrown by any event handler is
/// shown to the user while the program goes on, and every window answers the window system's
/// maximise and full-screen requests, whoever starts them (window_requests.h).
class VelisoApplication : public QApplication {
    Q_OBJECT
  public:
    VelisoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

/// Creates the four windows, hidden, in their start-up order: `FormMM`, `Formsplash`,
/// `AboutBox`, `Forminst` (the last two owned by the main window); the main window's timers
/// run from here on.
void CreateWindows();
/// Destroys the four windows in the reverse order (nothing happens for those not created).
void DestroyWindows();

}  // namespace veliso
