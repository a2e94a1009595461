// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/platform_start.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

#include <QList>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace veliso {

namespace {

/// What Qt said while the window system started, and the name asked for. The libraries
/// under Qt write to standard error themselves (libwayland: "error: XDG_RUNTIME_DIR is
/// invalid or not set in the environment."): meanwhile standard error is a file in memory,
/// `heldOutput`, and the real one is kept in `standardError`.
struct StartMessages {
    QString platform;
    QList<std::pair<QtMsgType, QString>> held;
    int heldOutput = -1;
    int standardError = -1;
};

StartMessages& Messages() {
    static StartMessages messages;
    return messages;
}

/// Qt's notice that it made a runtime folder of its own because XDG_RUNTIME_DIR is not set:
/// Qt goes on as well as with the variable, and the notice would only stand, in English,
/// before whatever the program itself has to say.
bool IsRuntimeFolderNotice(const QString& text) {
    return text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

/// Standard error is taken back from the file in memory; what was written there is handed on
/// (`handOn`) or dropped.
void RestoreStandardError(bool handOn) {
    StartMessages& messages = Messages();
    if (messages.heldOutput < 0) {
        return;
    }
    std::fflush(stderr);
    ::dup2(messages.standardError, STDERR_FILENO);
    ::close(messages.standardError);
    messages.standardError = -1;
    if (handOn && ::lseek(messages.heldOutput, 0, SEEK_SET) == 0) {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(messages.heldOutput, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < got;) {
                const ssize_t put =
                    ::write(STDERR_FILENO, buffer + at, static_cast<size_t>(got - at));
                if (put <= 0) {
                    break;
                }
                at += put;
            }
        }
    }
    ::close(messages.heldOutput);
    messages.heldOutput = -1;
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    StartMessages& messages = Messages();
    if (type != QtFatalMsg) {
        if (!IsRuntimeFolderNotice(text)) {
            messages.held.push_back({type, text});
        }
        return;
    }
    // Qt would abort right after this message: the run ends here instead, as a start refused
    // for its environment, with the French line alone.
    (void)context;
    RestoreStandardError(false);
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
    StartMessages& messages = Messages();
    messages.platform = platform;
    messages.held.clear();
    std::fflush(stderr);
    const int held = ::memfd_create("veliso-start", MFD_CLOEXEC);
    const int saved = held < 0 ? -1 : ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved >= 0 && ::dup2(held, STDERR_FILENO) >= 0) {
        messages.heldOutput = held;
        messages.standardError = saved;
#if defined(__SANITIZE_ADDRESS__)
        // A sanitizer's report of a fault during the start is not lost with the held lines.
        __sanitizer_set_death_callback([] { RestoreStandardError(true); });
#endif
    } else {  // the libraries' lines then go straight through
        for (const int fd : {held, saved}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    previous_ = qInstallMessageHandler(HoldMessage);
}

WindowSystemStart::~WindowSystemStart() {
    qInstallMessageHandler(previous_);
    RestoreStandardError(true);
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
