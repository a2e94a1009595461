// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// The program itself, started as a user starts it, with a command line.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "app/command_line.h"
#include "app/platform_start.h"

#ifndef VELISO_PROGRAM
#error "VELISO_PROGRAM names the program under test"
#endif

namespace veliso {
namespace {

/// An X server of the test's own: the program's windows neither cover nor are covered by the
/// windows of tests running beside it (a view fully hidden by another window paints nothing).
class PrivateDisplay {
  public:
    PrivateDisplay() {
        // -displayfd: the server takes a free display number and writes it once it listens.
        // -noreset: it stays up between the program's runs.
        server_.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "2048x1536x24",
                                               "-nolisten", "tcp", "-noreset"});
        if (!server_.waitForStarted(10000)) {
            return;
        }
        while (!server_.canReadLine() && server_.waitForReadyRead(10000)) {
        }
        const QString number = QString::fromLatin1(server_.readLine()).trimmed();
        if (!number.isEmpty()) {
            name_ = ":" + number;
        }
    }
    ~PrivateDisplay() {
        server_.terminate();
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished();
        }
    }
    /// ":N", or empty when no server could be started.
    const QString& name() const { return name_; }

  private:
    QProcess server_;
    QString name_;
};

struct Outcome {
    int code = -1;
    QString out;
    QString err;
};

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(runtime.isValid());
    }

    /// Runs the program in the temporary folder, on `display` (":N"), with `environment`
    /// ("NAME=value") added; without a display, every display is taken away.
    Outcome Start(const QStringList& arguments, const QString& display = {},
                  const QStringList& environment = {}) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("WAYLAND_DISPLAY");
        env.remove("XAUTHORITY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        // A sanitizer build: at the program's exit Mesa's driver is unloaded, and the blocks it
        // keeps for the whole run then look lost, with no library left to suppress them by
        // name. The program's own code is leak-checked in-process (window tests, soak).
        const QString sanitizer = env.value("ASAN_OPTIONS");
        env.insert("ASAN_OPTIONS", sanitizer + (sanitizer.isEmpty() ? "" : ":") + "detect_leaks=0");
        if (display.isEmpty()) {
            env.remove("DISPLAY");
        } else {
            env.insert("DISPLAY", display);
        }
        for (const QString& setting : environment) {
            env.insert(setting.section('=', 0, 0), setting.section('=', 1));
        }
        // A private runtime folder, as a desktop session gives, unless the case takes it away
        // ("XDG_RUNTIME_DIR=").
        if (environment.contains("XDG_RUNTIME_DIR=")) {
            env.remove("XDG_RUNTIME_DIR");
        } else if (env.value("XDG_RUNTIME_DIR").isEmpty()) {
            env.insert("XDG_RUNTIME_DIR", runtime.path());
        }
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder.path());
        program.start(QStringLiteral(VELISO_PROGRAM), arguments);
        Outcome run;
        if (!program.waitForFinished(60000)) {
            program.kill();
            program.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return run;
        }
        run.code = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        run.out = QString::fromUtf8(program.readAllStandardOutput());
        run.err = QString::fromUtf8(program.readAllStandardError());
        return run;
    }
    /// The picture of a capture on `display`, or, with `display` null, on a machine without
    /// any display.
    QImage Capture(const PrivateDisplay* display, const QStringList& arguments, const QString& name,
                   const QStringList& environment = {}) {
        const Outcome run =
            Start(arguments + QStringList{"--capture", name},
                  display != nullptr ? display->name() : QString(),
                  display != nullptr ? environment : environment + QStringList{"QT_QPA_PLATFORM="});
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        return QImage(folder.filePath(name), "PNG");
    }

    QTemporaryDir folder;
    QTemporaryDir runtime;  // made with mode 700
};

TEST_F(ProgramTest, FaultyCommandLinesStopBeforeAnythingStarts) {
    // Without a display: had the application object been created, the program would abort.
    const QStringList faulty[] = {{"--inconnue"},
                                  {"--onglet", "plasma"},
                                  {"--images", "5"},
                                  {"--capture", "absent/vue.png"},
                                  {"--capture", QString(300, QLatin1Char('x')) + ".png"}};
    for (const QStringList& arguments : faulty) {
        const Outcome run = Start(arguments);
        EXPECT_EQ(run.code, kExitBadCommandLine) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("veliso : ")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.endsWith('\n'));
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(ProgramTest, HelpAndVersionNeedNoDisplay) {
    Outcome run = Start({"--help"});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, HelpText());
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    run = Start({"-v"});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.out.startsWith("veliso ")) << run.out.toStdString();
}

TEST_F(ProgramTest, CaptureWithTheSameSeedRepeatsAndAnotherSeedDiffers) {
    const PrivateDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
    const QStringList gas = {"--onglet", "gaz", "--images", "6"};
    const QImage first = Capture(&display, gas + QStringList{"--graine", "1234"}, "a.png");
    const QImage again = Capture(&display, gas + QStringList{"--graine", "1234"}, "b.png");
    const QImage other = Capture(&display, gas + QStringList{"--graine", "99"}, "c.png");
    ASSERT_FALSE(first.isNull());
    // The view at the window's start-up size: 646 × 525 less the panels and the status bar.
    EXPECT_EQ(first.size(), QSize(473, 471));
    EXPECT_EQ(again, first);
    EXPECT_NE(other, first);
}

// The same command draws the same picture on a desktop and on a machine without any display:
// the model runs as many frames whatever the window system exposes, and the view's own
// target there is rasterised as a window is.
TEST_F(ProgramTest, TheSameCommandGivesTheSamePictureWithOrWithoutADisplay) {
    const PrivateDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
    for (const char* tab : {"solide", "liquide", "gaz"}) {
        SCOPED_TRACE(tab);
        const QStringList command = {"--onglet", tab, "--graine", "7", "--images", "40"};
        const QImage desktop = Capture(&display, command, "bureau.png");
        const QImage headless = Capture(nullptr, command, "sans-affichage.png");
        ASSERT_FALSE(desktop.isNull());
        EXPECT_EQ(headless, desktop);
    }
}

TEST_F(ProgramTest, FirstFrameFillsTheViewAndQtOptionsStillWork) {
    const PrivateDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
    // One frame of the solid tab: the scene's grey background reaches every corner.
    const QImage solid = Capture(&display, {}, "solide.png");
    ASSERT_FALSE(solid.isNull());
    const QColor background(115, 128, 140);
    for (QPoint corner : {QPoint(0, 0), QPoint(472, 0), QPoint(0, 470), QPoint(472, 470)}) {
        EXPECT_EQ(solid.pixelColor(corner), background) << corner.x() << "," << corner.y();
    }
    // At twice the scale the picture has the view's full size in device pixels, filled.
    const QImage doubled = Capture(&display, {}, "s2.png", {"QT_SCALE_FACTOR=2"});
    EXPECT_EQ(doubled.size(), QSize(946, 942));
    EXPECT_EQ(doubled.pixelColor(945, 0), background);
    const QImage liquid =
        Capture(&display, {"-style", "Fusion", "-reverse", "--plein-ecran", "--onglet", "liquide"},
                "l.png");
    EXPECT_FALSE(liquid.isNull());
}

TEST_F(ProgramTest, CaptureFindsItsWindowSystemOrSaysWhyInOneFrenchLine) {
    const PrivateDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start";
    // The picture of every start on a desktop, as the X11 platform draws it.
    const QImage desktop = Capture(&display, {}, "bureau.png");
    ASSERT_FALSE(desktop.isNull());
    const QString noPlatform = QStringLiteral("QT_QPA_PLATFORM=");
    struct Case {
        const char* what;
        QStringList arguments;
        QStringList environment;
        bool onDisplay;
        int code;
    };
    const Case cases[] = {
        // No display and no platform named: Qt's offscreen platform, the view drawing into
        // a target of its own, the same picture as on a desktop.
        {"headless", {}, {noPlatform}, false, 0},
        {"offscreen on a display", {"-platform", "offscreen"}, {noPlatform}, true, 0},
        {"unknown platform", {"-platform", "foo"}, {}, false, kExitNoWindowSystem},
        {"X11 without a display", {}, {"QT_QPA_PLATFORM=xcb"}, false, kExitNoWindowSystem},
        {"Wayland without a compositor",
         {},
         {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=veliso-aucun"},
         false,
         kExitNoWindowSystem},
        {"full screen", {"--plein-ecran"}, {}, true, 0},
        // Without a runtime folder Qt makes one of its own and says so in English, and
        // libwayland complains on standard error: neither comes before, or beside, the
        // program's own French line.
        {"headless without a runtime folder", {}, {noPlatform, "XDG_RUNTIME_DIR="}, false, 0},
        {"Wayland without a runtime folder",
         {},
         {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=veliso-aucun", "XDG_RUNTIME_DIR="},
         false,
         kExitNoWindowSystem},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("vue.png");
        QFile::remove(folder.filePath(name));
        const Outcome run = Start(c.arguments + QStringList{"--capture", name},
                                  c.onDisplay ? display.name() : QString(), c.environment);
        const QImage picture(folder.filePath(name), "PNG");
        EXPECT_EQ(run.code, c.code) << run.err.toStdString();
        if (c.code == 0) {
            EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
            if (c.arguments.contains("--plein-ecran")) {
                // The view over the whole 2048 × 1536 screen but the panels and status bar.
                EXPECT_EQ(picture.size(), QSize(2048 - 173, 1536 - 21 - 33));
            } else {
                EXPECT_EQ(picture, desktop) << "the same picture as on the desktop";
            }
            continue;
        }
        EXPECT_TRUE(picture.isNull());
        EXPECT_TRUE(run.err.startsWith("veliso : ")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        if (run.code == kExitNoWindowSystem) {
            const QString asked =
                c.arguments.isEmpty() ? c.environment.first().section('=', 1) : c.arguments.last();
            EXPECT_EQ(run.err.trimmed(), WindowSystemStart::FailureLine(asked));
        }
    }
}

}  // namespace
}  // namespace veliso
