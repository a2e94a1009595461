// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/platform_start.h"

#include <QList>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace veliso {

namespace {

/// What Qt said while the window system started, and the name asked for.
struct StartMessages {
    QString platform;
    QList<std::pair<QtMsgType, QString>> held;
};

StartMessages& Messages() {
    static StartMessages messages;
    return messages;
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    StartMessages& messages = Messages();
    if (type != QtFatalMsg) {
        messages.held.push_back({type, text});
        return;
    }
    // Qt would abort right after this message: the run ends here instead, as a start refused
    // for its environment.
    (void)context;
    std::fputs((WindowSystemStart::FailureLine(messages.platform) + QLatin1Char('\n'))
                   .toLocal8Bit()
                   .constData(),
               stderr);
    std::fflush(stderr);
    std::_Exit(kExitNoWindowSystem);
}

bool Set(const char* variable) {
    return !qEnvironmentVariableIsEmpty(variable);
}

}  // namespace

QString RequestedPlatform(const QStringList& arguments) {
    // Qt reads "-platform NAME" (one dash or two) from the command line before its variable.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform")) {
            return i + 1 < arguments.size() ? arguments[i + 1] : QString();
        }
    }
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

bool CaptureWithoutDisplay(const CommandLineOptions& options, const QStringList& arguments) {
    return options.capturing() && RequestedPlatform(arguments).isEmpty() && !Set("DISPLAY") &&
           !Set("WAYLAND_DISPLAY");
}

WindowSystemStart::WindowSystemStart(const QString& platform) {
    Messages().platform = platform;
    Messages().held.clear();
    previous_ = qInstallMessageHandler(HoldMessage);
}

WindowSystemStart::~WindowSystemStart() {
    qInstallMessageHandler(previous_);
    QList<std::pair<QtMsgType, QString>> held;
    held.swap(Messages().held);
    for (const auto& [type, text] : held) {
        qt_message_output(type, QMessageLogContext(), text);
    }
}

QString WindowSystemStart::FailureLine(const QString& platform) {
    const QString which = platform.isEmpty()
                              ? QString::fromUtf8("le système de fenêtres")
                              : QString::fromUtf8("le système de fenêtres « %1 »").arg(platform);
    return QString::fromUtf8(
               "veliso : %1 ne peut pas démarrer : aucun affichage n'est joignable ou son module "
               "Qt manque (vérifier DISPLAY ou WAYLAND_DISPLAY, ou essayer -platform xcb, "
               "wayland ou offscreen)")
        .arg(which);
}

}  // namespace veliso
