// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include <QTimer>
#include <exception>
#include <memory>

#include "app/application.h"
#include "app/command_line.h"
#include "app/launch.h"
#include "app/platform_start.h"
#include "app/translations.h"
#include "mainwindow/form_mm.h"

// Without options Veliso reads and writes no files and exits with 0. The command line is read
// before anything starts: --help, --version and a refused option need no display and leave
// nothing behind but their text.
int main(int argc, char** argv) {
    const veliso::CommandLine command = veliso::ParseCommandLine(veliso::ArgumentsOf(argc, argv));
    if (command.action != veliso::CommandLine::Action::Run) {
        return veliso::ReportCommandLine(command);
    }
    veliso::ApplySeed(command.options);
    const QStringList arguments = veliso::ArgumentsOf(argc, argv);
    if (veliso::CaptureWithoutDisplay(command.options, arguments)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    auto start = std::make_unique<veliso::WindowSystemStart>(veliso::RequestedPlatform(arguments));
    veliso::VelisoApplication app(argc, argv);
    start.reset();
    veliso::InstallFrenchQtTexts(app);
    int code = 0;
    try {
        veliso::CreateWindows();
        // The loop shows the main window; its first show brings up the splash screen.
        QTimer::singleShot(0, FormMM,
                           [&command] { veliso::ShowMainWindow(*FormMM, command.options); });
        code = app.exec();
    } catch (const std::exception& e) {
        veliso::ShowException(QString::fromUtf8(e.what()));
    }
    veliso::DestroyWindows();
    return code;
}
