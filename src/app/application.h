#pragma once

#include <QApplication>

namespace veliso {

/// The program's title: the task-bar caption and the caption of its message boxes.
inline constexpr const char* kApplicationTitle = "Veliso";

/// Shows an exception's message in a critical message box captioned with the application
/// title and returns when the user has dismissed it. While one such box is open, further
/// exceptions (a timer that fails at every tick, say) are dropped instead of piling up
/// nested boxes.
void ShowException(const QString& message);

/// Delivers an event through QApplication::notify; an exception escaping the receiver's
/// handler is shown by ShowException and the event counts as not handled.
bool NotifyShowingExceptions(QApplication& app, QObject* receiver, QEvent* event);

/// The application object: titled "Veliso", and an exception thrown by any event handler
/// is shown to the user while the program goes on.
class VelisoApplication : public QApplication {
    Q_OBJECT
  public:
    VelisoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

/// Creates the four windows, hidden, in their start-up order: `FormMM`, `Formsplash`,
/// `AboutBox`, `Forminst`; the main window's timers run from here on.
void CreateWindows();
/// Destroys the four windows in the reverse order (nothing happens for those not created).
void DestroyWindows();

}  // namespace veliso
