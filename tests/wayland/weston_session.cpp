// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "wayland/weston_session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

namespace veliso::testing {

const QString& Screenshooter() {
    static const QString path =
        QStandardPaths::findExecutable(QStringLiteral("weston-screenshooter"));
    return path;
}

void TakeScreenshot(const QString& folder, const QString& name) {
    const QString file = folder + "/screen_" + name + ".png";
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QGuiApplication::primaryScreen()->grabWindow(0).toImage().save(file);
        return;
    }
    // weston writes its picture, named after the time, into the working folder.
    QDir shots(folder + "/shots");
    shots.removeRecursively();
    shots.mkpath(".");
    QProcess shooter;
    shooter.setWorkingDirectory(shots.path());
    shooter.start(Screenshooter(), {});
    shooter.waitForFinished(10000);
    const QStringList taken = shots.entryList({"*.png"}, QDir::Files);
    if (!taken.isEmpty()) {
        QFile::rename(shots.filePath(taken.first()), file);
    }
}

bool MakePrivate(const QString& path) {
    return chmod(QFile::encodeName(path).constData(), 0700) == 0;
}

std::string DriverRun::operator[](const char* key) const {
    const auto it = report.find(QString::fromUtf8(key));
    return it == report.end() ? "(missing)" : it->second.toStdString();
}

int DriverRun::Number(const QString& key) const {
    const auto it = report.find(key);
    return it == report.end() ? -1 : it->second.toInt();
}

DriverRun RunDriver(const QString& folder, const QProcessEnvironment& environment,
                    QStringList wrapper, const QStringList& mode) {
    DriverRun run;
    run.folder = folder;
    QProcess child;
    // In a sanitizer build the leak checker lists the third-party suppressions it used when
    // the driver ends: that is not the program writing on standard error.
    QProcessEnvironment withQuietLeakChecker = environment;
    const QString leakOptions = environment.value("LSAN_OPTIONS");
    withQuietLeakChecker.insert("LSAN_OPTIONS", leakOptions.isEmpty()
                                                    ? QStringLiteral("print_suppressions=0")
                                                    : leakOptions + ":print_suppressions=0");
    child.setProcessEnvironment(withQuietLeakChecker);
    child.setWorkingDirectory(folder);
    wrapper << QCoreApplication::applicationFilePath() << mode;
    child.start(wrapper.takeFirst(), wrapper);
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
    }
    run.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    run.standardError = QString::fromLocal8Bit(child.readAllStandardError());
    QFile file(folder + QStringLiteral("/report.txt"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0) {
                run.report[line.left(eq)] = line.mid(eq + 1);
            }
        }
    }
    return run;
}

void WestonSession::SetUp() {
    for (const char* tool : {"weston", "weston-screenshooter", "xvfb-run", "Xvfb"}) {
        ASSERT_FALSE(QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty())
            << tool << " is missing: scripts/setup-deps installs it";
    }
    ASSERT_TRUE(work_.isValid());
    runtime_ = work_.filePath("runtime");
    ASSERT_TRUE(QDir().mkpath(runtime_));
    ASSERT_TRUE(MakePrivate(runtime_));
    StartCompositor();
}

void WestonSession::TearDown() {
    for (QProcess* server : {&weston_, &xserver_}) {
        if (server->state() != QProcess::NotRunning) {
            server->terminate();
            if (!server->waitForFinished(5000)) {
                server->kill();
                server->waitForFinished();
            }
        }
    }
}

void WestonSession::StartCompositor() {
    socket_ = QStringLiteral("veliso-test-%1").arg(QCoreApplication::applicationPid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime_);
    environment.remove("WAYLAND_DISPLAY");
    weston_.setStandardOutputFile(work_.filePath("weston.log"));
    weston_.setStandardErrorFile(work_.filePath("weston.log"));
    QStringList arguments = {"--use-pixman",
                             QStringLiteral("--width=%1").arg(kOutput.width()),
                             QStringLiteral("--height=%1").arg(kOutput.height()),
                             "--socket=" + socket_,
                             "--no-config",
                             "--idle-time=0",
                             "--debug",
                             "--shell=" + Shell()};
    if (!NestedInX()) {
        arguments.prepend("--backend=headless-backend.so");
    } else {
        // In an X server of its own: on weston's headless output the kiosk shell shows
        // nothing and sends no frame events, and only there can its keys be pressed.
        // -displayfd: the server takes a free display number and writes it once it listens.
        // The screen is larger than weston's window, so that the pointer can leave it.
        xserver_.start(QStringLiteral("Xvfb"),
                       {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        ASSERT_TRUE(xserver_.waitForStarted(10000));
        while (!xserver_.canReadLine() && xserver_.waitForReadyRead(10000)) {
        }
        const QString display = QString::fromLatin1(xserver_.readLine()).trimmed();
        ASSERT_FALSE(display.isEmpty()) << "Xvfb did not start";
        xDisplay_ = ":" + display;
        environment.insert("DISPLAY", xDisplay_);
        arguments << "--backend=x11-backend.so";
    }
    weston_.setProcessEnvironment(environment);
    weston_.start(QStringLiteral("weston"), arguments);
    ASSERT_TRUE(weston_.waitForStarted(10000));
    const QString socketPath = runtime_ + "/" + socket_;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(socketPath) || weston_.state() == QProcess::NotRunning; },
        15000));
    ASSERT_TRUE(QFile::exists(socketPath)) << WestonLog().toStdString();
    // The desktop shell's own client (background, panel) starts right after the socket.
    QTest::qWait(1000);
}

QString WestonSession::WestonLog() const {
    QFile log(work_.filePath("weston.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

QProcessEnvironment WestonSession::WaylandEnvironment(const QString& configHome) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "wayland");
    // Settings of the run's own, not those a user or another test kept.
    environment.insert("XDG_CONFIG_HOME", configHome);
    environment.remove("DISPLAY");
    environment.insert("XDG_RUNTIME_DIR", runtime_);
    environment.insert("WAYLAND_DISPLAY", socket_);
    return environment;
}

}  // namespace veliso::testing
