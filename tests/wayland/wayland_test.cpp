// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// The real program on a Wayland compositor: a headless weston on a private socket, compared
// with the same program on an X11 display (an Xvfb of its own, so that no window of another
// test covers it).
//
// The test program runs itself twice as a driver (`--drive FOLDER`): once with Qt's xcb
// platform, once with its wayland platform. The driver starts the program's windows as main()
// does, with the random source's clock fixed so that both runs build the same models, clicks
// the splash away and then works the main window as a user would: the three tabs, a drag on
// the view, the About box and the instructions window, a resize, maximise, hide and show
// again, the two timers. It writes the view's frames (read back from the back buffer before
// each swap), screenshots of what the display shows (weston's screenshooter, or the X11 root
// window) and a report of what it counted. The test then checks each run's figures, finds
// each frame in its screenshot, and compares the Wayland frames with the X11 ones.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QOpenGLContext>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <GL/gl.h>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "app/about_box.h"
#include "app/application.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "app/translations.h"
#include "core/common/random_source.h"
#include "glview/frame_readback.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/measurements_window.h"
#include "support/image_match.h"
#include "wayland/weston_session.h"

namespace veliso {
namespace {

using testing::DriverRun;
using testing::MakePrivate;
using testing::RunDriver;
using testing::TakeScreenshot;

/// Seconds since the epoch that both runs see, so that the gas and the liquid draw the same
/// velocities.
constexpr std::uint64_t kFixedClock = 1'700'000'000;
/// Paints of the 25 ms timer that show a view which goes on drawing (about 0.2 s of them).
constexpr int kPaints = 8;

// ---------------------------------------------------------------------------------------
// The driver (runs in the child process)

class Driver {
  public:
    explicit Driver(const QString& folder) : folder_(folder) {}

    /// Stage one, in the splash's modal loop: once the splash has been up for a moment,
    /// records it and clicks it away. Returns true once done.
    bool HandleSplash() {
        if (Formsplash == nullptr || !Formsplash->isVisible()) {
            return false;
        }
        if (!splashSeen_.isValid()) {
            splashSeen_.start();
            return false;
        }
        if (splashSeen_.elapsed() < 800) {
            return false;
        }
        Report("splash_fade_steps", static_cast<int>(Formsplash->fadeSteps().size()));
        Formsplash->Image1->pixmap().toImage().save(folder_ + "/splash_picture.png");
        Screenshot("splash");
        Formsplash->Image1Click();
        return true;
    }

    /// Stage two, in the main loop once the main window is on the screen: everything else.
    void WorkTheMainWindow() {
        TFormMM& form = *FormMM;
        TOpenGLOrvPanel& view = *form.OpenGLOrvPanel1;
        form.Timer1->stop();
        form.Timer2->stop();
        const auto paint = view.OnPaint;
        view.OnPaint = [this, paint](TOpenGLOrvPanel* sender) {
            paint(sender);
            lastFrame_ = ReadDrawBuffer(sender->ClientWidth(), sender->ClientHeight());
        };
        Report("view_exposed", QTest::qWaitFor([&] { return view.glWindow()->isExposed(); }));
        Report("error_text", view.ErrorText());

        // One frame of each tab from the start state: the liquid paused and the gas not
        // stepping, so that however often the view paints meanwhile, the frame stays.
        for (int tab = 0; tab < 3; ++tab) {
            form.PageControl1->setCurrentIndex(tab);
            form.solid = start_.solid;
            form.liquid = start_.liquid;
            form.liquid.paused = true;
            form.gas = start_.gas;
            if (tab == 2) {
                for (const char* name : {"CB_MB", "CB_stat", "CB_Vitesse"}) {
                    form.Pangaz->findChild<QCheckBox*>(name)->setChecked(true);
                }
            }
            ShowFrame(QStringLiteral("tab%1").arg(tab));
        }

        for (int tab = 0; tab < 3; ++tab) {
            form.PageControl1->setCurrentIndex(tab);
            Animate(QStringLiteral("tab%1").arg(tab));
        }
        form.PageControl1->setCurrentIndex(0);

        // A drag of 100 pixels to the right turns the solid scene by 10 degrees.
        const double angle = form.solid.view.angle;
        QWindow* surface = view.glWindow();
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(surface, QPoint(200, 100));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(200, 100));
        Report("drag_turn", form.solid.view.angle - angle);

        // The modal windows: the view goes on drawing the frames asked of it behind them and
        // after them.
        for (auto [name, button] :
             {std::pair{"about", form.Button2}, std::pair{"instructions", form.Button1}}) {
            // Closed once the view has answered with its frames.
            const auto frames = std::make_shared<int>(-1);
            QTimer closer;
            closer.setInterval(20);
            QObject::connect(&closer, &QTimer::timeout, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal != nullptr && *frames == -1) {
                    *frames = -2;
                    AskFrames(kPaints, [frames](int painted) { *frames = painted; });
                } else if (modal != nullptr && *frames >= 0) {
                    modal->close();
                }
            });
            closer.start();
            form.Timer1->start();
            button->click();
            form.Timer1->stop();
            Report(std::string(name) + "_paints", *frames);
            Animate(QString::fromUtf8(name) + QStringLiteral("_after"));
        }

        form.resize(760, 580);
        QTest::qWait(300);
        Animate("resize");
        ShowFrame("resize");

        const QSize normal = form.size();
        form.showMaximized();
        Report("maximised", QTest::qWaitFor([&] { return form.isMaximized(); }, 2000));
        QTest::qWait(300);
        Animate("maximise");
        form.showNormal();
        Report("normal_again", QTest::qWaitFor([&] { return form.size() == normal; }, 2000));
        QTest::qWait(300);
        Animate("normal");

        form.hide();
        QTest::qWait(300);
        form.show();
        Report("shown_again",
               QTest::qWaitFor([&] { return form.windowHandle()->isExposed(); }, 3000));
        QTest::qWait(300);
        Animate("shown_again");
        ShowFrame("shown_again");

        // The one-second clock writes the status bar.
        form.StatusBar1->setPanelText(2, QString());
        form.Timer2->start();
        Report("clock",
               QTest::qWaitFor([&] { return !form.StatusBar1->panelText(2).isEmpty(); }, 2500));
        Report("error_text_at_end", view.ErrorText());
    }

    struct Start {
        SolidState solid;
        LiquidState liquid;
        GasState gas;
    };
    void SetStart(const Start& start) { start_ = start; }

    bool WriteReport() const {
        QFile file(folder_ + QStringLiteral("/report.txt"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            return false;
        }
        QTextStream out(&file);
        for (const auto& [key, value] : report_) {
            out << QString::fromStdString(key) << '=' << value << '\n';
        }
        return true;
    }

  private:
    /// Asks the view for `count` frames, one after another, and hands `done` how many were
    /// painted. With the 25 ms timer running, the frame rule draws a frame whenever a picture
    /// is waited for, still scene or not: this is how a copy or a capture gets its frame.
    void AskFrames(int count, std::function<void(int)> done) {
        const auto painted = std::make_shared<int>(0);
        const auto next = std::make_shared<std::function<void(const FrameAnswer&)>>();
        *next = [count, done, painted, next](const FrameAnswer& answer) {
            if (answer.outcome == FrameOutcome::Painted && ++*painted < count) {
                FormMM->OpenGLOrvPanel1->RequestFrame(*next);
                return;
            }
            done(*painted);
            *next = nullptr;  // the request no longer holds itself
        };
        FormMM->OpenGLOrvPanel1->RequestFrame(*next);
    }

    /// Runs the 25 ms timer until the view has answered `kPaints` requests for a frame and
    /// records how many it painted, whether its surface is exposed and whether the viewport
    /// covers it in device pixels.
    void Animate(const QString& name) {
        TOpenGLOrvPanel& view = *FormMM->OpenGLOrvPanel1;
        const auto painted = std::make_shared<int>(-1);
        FormMM->Timer1->start();
        AskFrames(kPaints, [painted](int n) { *painted = n; });
        (void)QTest::qWaitFor([&] { return *painted >= 0; }, 60000);
        FormMM->Timer1->stop();
        const std::string key = name.toStdString();
        Report(key + "_paints", *painted);
        Report(key + "_exposed", view.glWindow()->isExposed());
        GLint viewport[4] = {0, 0, 0, 0};
        if (view.MakeCurrent()) {
            glGetIntegerv(GL_VIEWPORT, viewport);
        }
        Report(key + "_viewport_fits", viewport[2] == view.ClientWidth() &&
                                           viewport[3] == view.ClientHeight() &&
                                           view.ClientWidth() > 0);
    }

    /// Paints one frame with the timers stopped, gives the compositor time to show it and
    /// saves the frame and a screenshot of the display.
    void ShowFrame(const QString& name) {
        FormMM->OpenGLOrvPanel1->Repaint();
        lastFrame_.save(folder_ + "/frame_" + name + ".png");
        QTest::qWait(400);
        // A paint caused by the window system meanwhile shows the same frame: save the last.
        lastFrame_.save(folder_ + "/shown_" + name + ".png");
        Screenshot(name);
    }

    void Screenshot(const QString& name) { TakeScreenshot(folder_, name); }

    void Report(const std::string& key, double value) { report_[key] = QString::number(value); }
    void Report(const std::string& key, int value) { report_[key] = QString::number(value); }
    void Report(const std::string& key, bool value) { report_[key] = value ? "1" : "0"; }
    void Report(const std::string& key, const QString& value) { report_[key] = value; }

    QString folder_;
    QElapsedTimer splashSeen_;
    QImage lastFrame_;
    Start start_;
    std::map<std::string, QString> report_;
};

int Drive(int argc, char** argv, const QString& folder) {
    SharedRandom().SetClock([] { return kFixedClock; });
    // Never destroyed, like the window tests' application: the GL driver and the platform
    // plugin stay loaded to the end, so that a sanitizer build still tells their own
    // allocations from the program's.
    static auto* application = new VelisoApplication(argc, argv);
    VelisoApplication& app = *application;
    InstallFrenchQtTexts(app);
    CreateWindows();
    Driver driver(folder);
    driver.SetStart({FormMM->solid, FormMM->liquid, FormMM->gas});

    QTimer splash;
    splash.setInterval(20);
    QObject::connect(&splash, &QTimer::timeout, [&] {
        if (driver.HandleSplash()) {
            splash.stop();
        }
    });
    QTimer main;
    main.setInterval(20);
    QObject::connect(&main, &QTimer::timeout, [&] {
        QWindow* handle = FormMM->windowHandle();
        if (splash.isActive() || handle == nullptr || !handle->isExposed()) {
            return;
        }
        main.stop();
        driver.WorkTheMainWindow();
        QCoreApplication::exit(0);  // quit() would ask the main window, which asks the user
    });
    // As main() does: the loop shows the main window, whose first show brings up the splash.
    QTimer::singleShot(0, FormMM, [] { FormMM->show(); });
    splash.start();
    main.start();
    app.exec();
    DestroyWindows();
    return driver.WriteReport() ? 0 : 1;
}

/// Steps of the stress run: tab switches, drags and resizes in a fixed random order.
constexpr int kStressSteps = 24;

/// Works the main window at random with its timers running, as a pupil would: a click on a
/// tab, a drag in the view (with Ctrl now and then), a resize. After each step the view must
/// go on painting, and the display must show the frame it painted last: a view left showing
/// another tab's scene is a frozen view. The steps that fail are listed in the report.
int DriveStress(int argc, char** argv, const QString& folder) {
    SharedRandom().SetClock([] { return kFixedClock; });
    static auto* application = new VelisoApplication(argc, argv);
    VelisoApplication& app = *application;
    InstallFrenchQtTexts(app);
    CreateWindows();
    FormMM->SetAuxiliaryWindows(nullptr, Forminst, AboutBox);
    QStringList failures;
    QTimer::singleShot(0, FormMM, [&] {
        TFormMM& form = *FormMM;
        TOpenGLOrvPanel& view = *form.OpenGLOrvPanel1;
        QImage last;
        const auto paint = view.OnPaint;
        view.OnPaint = [&, paint](TOpenGLOrvPanel* sender) {
            paint(sender);
            last = ReadDrawBuffer(sender->ClientWidth(), sender->ClientHeight());
        };
        form.show();
        if (!QTest::qWaitFor([&] { return view.glWindow()->isExposed(); }, 10000)) {
            failures << "the view never came on the screen";
        }
        std::mt19937 random(20);
        QTabBar* tabs = form.PageControl1->tabBar();
        for (int step = 0; step < kStressSteps && failures.size() < 5; ++step) {
            QString what;
            switch (random() % 3) {
                case 0: {
                    const int tab = (form.activeTab() + 1 + int(random() % 2)) % 3;
                    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
                    what = QStringLiteral("tab %1").arg(tab);
                    break;
                }
                case 1: {
                    QWindow* surface = view.glWindow();
                    const QPoint from(20 + int(random() % std::max(1, view.width() - 100)),
                                      20 + int(random() % std::max(1, view.height() - 100)));
                    const Qt::KeyboardModifiers keys =
                        random() % 4 == 0 ? Qt::ControlModifier : Qt::NoModifier;
                    QTest::mousePress(surface, Qt::LeftButton, keys, from);
                    for (int i = 1; i <= 4; ++i) {
                        QTest::mouseMove(surface, from + QPoint(15 * i, 10 * i));
                        QTest::qWait(30);
                    }
                    QTest::mouseRelease(surface, Qt::LeftButton, keys, from + QPoint(60, 40));
                    what = QStringLiteral("drag on tab %1").arg(form.activeTab());
                    break;
                }
                default: {
                    // Within what a 1024 × 768 output shows wherever the desktop put the
                    // window.
                    const QSize size(646 + int(random() % 150), 525 + int(random() % 50));
                    form.resize(size);
                    what = QStringLiteral("resize to %1x%2").arg(size.width()).arg(size.height());
                    break;
                }
            }
            what = QStringLiteral("step %1 (%2)").arg(step).arg(what);
            // A frame asked for, as a copy of the view asks: the frame rule draws it at the
            // next tick. The timer stops with it, so that it is the last frame drawn.
            const auto answer = std::make_shared<std::optional<FrameAnswer>>();
            view.RequestFrame([answer, &form](const FrameAnswer& a) {
                *answer = a;
                form.Timer1->stop();
            });
            if (!QTest::qWaitFor([&] { return answer->has_value(); },
                                 2 * TOpenGLOrvPanel::kFrameTimeoutMs) ||
                (*answer)->outcome != FrameOutcome::Painted) {
                failures << what +
                                QStringLiteral(
                                    ": the view stopped painting (surface %1, %2; "
                                    "window %3; error \"%4\")")
                                    .arg(view.glWindow()->isVisible() ? "shown" : "hidden",
                                         view.glWindow()->isExposed() ? "exposed" : "not exposed",
                                         form.windowHandle()->isExposed() ? "exposed"
                                                                          : "not exposed",
                                         view.ErrorText());
                form.Timer1->start();
                continue;
            }
            QTest::qWait(300);
            // The last frame drawn (the window system may have had it drawn again meanwhile):
            // its top left corner, which stays on the screen whatever the window's place.
            const QImage frame = last.copy(0, 0, 320, 320);
            const QString name = QStringLiteral("stress%1").arg(step);
            TakeScreenshot(folder, name);
            form.Timer1->start();
            const QImage screen =
                QImage(folder + "/screen_" + name + ".png").convertToFormat(QImage::Format_RGB32);
            if (screen.isNull() ||
                !testing::Locate(screen, frame, 2, 0.001, [](QRgb) { return false; })) {
                frame.save(folder + "/frame_" + name + ".png");
                failures << what + ": the display does not show the view's last frame";
            }
        }
        QCoreApplication::exit(0);
    });
    app.exec();
    DestroyWindows();
    QFile file(folder + QStringLiteral("/report.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return 1;
    }
    QTextStream(&file) << "stress_failures=" << failures.join(QStringLiteral("; ")) << '\n';
    return 0;
}

// ---------------------------------------------------------------------------------------
// The test (runs in the parent process)

class WaylandDesktop : public testing::WestonSession {
  protected:
    /// The stress driver on `platform`.
    DriverRun Stress(const QString& platform) {
        const QString folder = work_.filePath("stress-" + platform);
        QDir().mkpath(folder);
        return Drive(platform, {"--stress", folder}, folder);
    }

    /// Runs a driver (the main window's run by default) on "wayland" or "xcb".
    DriverRun Drive(const QString& platform, QStringList mode = {}, QString folder = {}) {
        if (folder.isEmpty()) {
            folder = work_.filePath(platform);
            QDir().mkpath(folder);
        }
        if (mode.isEmpty()) {
            mode = QStringList{QStringLiteral("--drive"), folder};
        }
        QProcessEnvironment environment = WaylandEnvironment(work_.filePath("config"));
        if (platform == QLatin1String("wayland")) {
            return RunDriver(folder, environment, {}, mode);
        }
        environment.insert("QT_QPA_PLATFORM", platform);
        const QString own = work_.filePath("runtime-x11");
        QDir().mkpath(own);
        MakePrivate(own);
        environment.insert("XDG_RUNTIME_DIR", own);
        environment.remove("WAYLAND_DISPLAY");
        // -noreset: the server stays up between its clients (see scripts/test).
        return RunDriver(folder, environment,
                         {"xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -noreset"}, mode);
    }
};

/// Checks of one run that hold on every desktop.
void CheckRun(const DriverRun& run, const char* platform) {
    SCOPED_TRACE(platform);
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_EQ(run.standardError.toStdString(), "") << "nothing on standard error";
    EXPECT_EQ(run["view_exposed"], "1");
    EXPECT_EQ(run["error_text"], "");
    EXPECT_EQ(run["error_text_at_end"], "");
    for (const char* step : {"tab0", "tab1", "tab2", "about_after", "instructions_after", "resize",
                             "maximise", "normal", "shown_again"}) {
        const QString key = QString::fromUtf8(step);
        EXPECT_GE(run.Number(key + "_paints"), kPaints) << step;
        EXPECT_EQ(run.Number(key + "_exposed"), 1) << step;
        EXPECT_EQ(run.Number(key + "_viewport_fits"), 1) << step;
    }
    EXPECT_GE(run.Number("about_paints"), kPaints) << "the view animates behind a dialog";
    EXPECT_GE(run.Number("instructions_paints"), kPaints);
    EXPECT_EQ(run["drag_turn"], "10");
    EXPECT_EQ(run["shown_again"], "1");
    EXPECT_EQ(run["clock"], "1");

    // What the display shows is what the view drew: each frame is found whole in the
    // screenshot taken after it.
    for (const char* name : {"tab0", "tab1", "tab2", "resize", "shown_again"}) {
        const QImage frame = run.Image(QStringLiteral("shown_%1").arg(name));
        const QImage screen =
            run.Image(QStringLiteral("screen_%1").arg(name)).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(frame.isNull()) << name;
        ASSERT_FALSE(screen.isNull()) << name;
        const auto at = testing::Locate(screen, frame, 2, 0.001, [](QRgb) { return false; });
        EXPECT_TRUE(at.has_value()) << name << ": the frame is not on the screen";
    }

    // The splash is on the screen with its key-coloured pixels see-through.
    const QImage picture = run.Image("splash_picture").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(picture.isNull());
    const QImage splash = run.Image("screen_splash").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(splash.isNull());
    const QRgb key = TFormsplash::ColourKey().rgb();
    const auto isKey = [key](QRgb p) { return (p & 0xffffff) == (key & 0xffffff); };
    const auto at = testing::Locate(splash, picture, 2, 0.001, isKey);
    ASSERT_TRUE(at.has_value()) << "the splash picture is not on the screen";
    int keyShown = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (isKey(picture.pixel(x, y)) &&
                testing::ChannelDistance(splash.pixel(*at + QPoint(x, y)), key) <= 2) {
                ++keyShown;
            }
        }
    }
    EXPECT_EQ(keyShown, 0) << "pixels of the colour key must let the desktop show through";
}

TEST_F(WaylandDesktop, TheMainWindowWorksAndDrawsAsOnX11) {
    const DriverRun x11 = Drive("xcb");
    const DriverRun wayland = Drive("wayland");
    CheckRun(x11, "X11");
    CheckRun(wayland, "Wayland");
    if (HasFailure()) {
        std::printf("weston's log:\n%s\n", WestonLog().toUtf8().constData());
    }

    // The fade needs window opacity, which X11 has and Wayland has not: there the splash
    // shows at once.
    EXPECT_EQ(x11["splash_fade_steps"], "17");
    EXPECT_EQ(wayland["splash_fade_steps"], "0");

    // The same frames, pixel for pixel up to the rounding of the two GL surfaces' depth
    // buffers.
    for (const char* name : {"tab0", "tab1", "tab2"}) {
        const QImage a = x11.Image(QStringLiteral("frame_%1").arg(name));
        const QImage b = wayland.Image(QStringLiteral("frame_%1").arg(name));
        ASSERT_FALSE(a.isNull()) << name;
        ASSERT_EQ(a.size(), b.size()) << name;
        EXPECT_LE(testing::DifferingShare(a, b, {}, 2), 0.001) << name;
    }
}

/// The view follows every tab switch, drag and resize: on X11 and on weston's desktop shell.
TEST_F(WaylandDesktop, TheViewFollowsTabSwitchesDragsAndResizes) {
    for (const char* platform : {"xcb", "wayland"}) {
        SCOPED_TRACE(platform);
        const DriverRun run = Stress(platform);
        ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
        EXPECT_EQ(run.standardError.toStdString(), "") << "nothing on standard error";
        EXPECT_EQ(run["stress_failures"], "");
    }
}

/// weston's kiosk shell, which gives the main window the whole output.
class WaylandKiosk : public WaylandDesktop {
  protected:
    QString Shell() const override { return QStringLiteral("kiosk-shell.so"); }
};

TEST_F(WaylandKiosk, TheViewFollowsTabSwitchesDragsAndResizes) {
    const DriverRun run = Stress("wayland");
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString() << WestonLog().toStdString();
    EXPECT_EQ(run.standardError.toStdString(), "") << "nothing on standard error";
    EXPECT_EQ(run["stress_failures"], "");
}

}  // namespace
}  // namespace veliso

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--stress") {
        return veliso::DriveStress(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    if (argc >= 3 && std::string(argv[1]) == "--drive") {
        return veliso::Drive(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    // The test itself needs an application object for QProcess, QImage and QTest's waits,
    // but no window: no platform plugin is loaded.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
