// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include <QTimer>
#include <memory>

#include "app/application.h"
#include "app/command_line.h"
#include "app/launch.h"
#include "app/platform_start.h"
#include "app/translations.h"
#include "mainwindow/display_settings.h"
#include "mainwindow/focus_style.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/view_actions.h"

// Without options Veliso writes no files (it reads only the display choices its menu keeps)
// and exits with 0. The command line is read
// before anything starts: --help, --version and a refused option need no display and leave
// nothing behind but their text.
int main(int argc, char** argv) {
    const veliso::CommandLine command = veliso::ParseCommandLine(veliso::ArgumentsOf(argc, argv));
    if (command.action != veliso::CommandLine::Action::Run) {
        return veliso::ReportCommandLine(command);
    }
    veliso::ApplySeed(command.options);
    // Qt reads its scale factor once, when the application object is made.
    const veliso::DisplaySettings display = veliso::LoadUserDisplaySettings();
    const int percent = command.options.interfacePercent.value_or(display.interfacePercent);
    veliso::ApplyInterfaceScale(percent);
    const QStringList arguments = veliso::ArgumentsOf(argc, argv);
    if (veliso::CaptureWithoutDisplay(command.options, arguments)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    auto start = std::make_unique<veliso::WindowSystemStart>(veliso::RequestedPlatform(arguments));
    veliso::VelisoApplication app(argc, argv);
    start.reset();
    veliso::InstallFrenchQtTexts(app);
    veliso::InstallAccessibleStyle(app);
    // An exception no handler caught ends the run with an error code, whether it came at
    // start-up or out of the loop.
    const int code = veliso::RunShowingFatalErrors(!command.options.capturing(), [&] {
        veliso::CreateWindows();
        if (display.highContrast || command.options.highContrast) {
            veliso::ApplyContrastMode(true);
        }
        FormMM->viewActions()->SetDisplaySettings(display, percent);
        // The loop shows the main window; its first show brings up the splash screen.
        QTimer::singleShot(0, FormMM,
                           [&command] { veliso::ShowMainWindow(*FormMM, command.options); });
        return app.exec();
    });
    veliso::DestroyWindows();
    return code;
}
