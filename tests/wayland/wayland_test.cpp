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
#include <QMessageBox>
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
#include <sys/stat.h>

#include <cstdint>
#include <map>
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

namespace veliso {
namespace {

/// Seconds since the epoch that both runs see, so that the gas and the liquid draw the same
/// velocities.
constexpr std::uint64_t kFixedClock = 1'700'000'000;
/// Paints of the 25 ms timer that show a view which goes on drawing (about 0.2 s of them).
constexpr int kPaints = 8;

/// A picture of what the display shows, saved as FOLDER/screen_NAME.png: the X11 root window,
/// or weston's screenshooter.
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
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    shooter.waitForFinished(10000);
    const QStringList taken = shots.entryList({"*.png"}, QDir::Files);
    if (!taken.isEmpty()) {
        QFile::rename(shots.filePath(taken.first()), file);
    }
}

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
        // Every tick draws, still scene or not: what is checked here is that the surface
        // goes on taking frames, not which ticks need one.
        form.drawEveryTick = true;
        const auto paint = view.OnPaint;
        view.OnPaint = [this, paint](TOpenGLOrvPanel* sender) {
            paint(sender);
            ++paints_;
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

        // The modal windows: the view goes on animating behind them and after them.
        for (auto [name, button] :
             {std::pair{"about", form.Button2}, std::pair{"instructions", form.Button1}}) {
            // Closed once the view has painted behind it (or after 10 s).
            QTimer closer;
            closer.setInterval(20);
            QElapsedTimer open;
            open.start();
            QObject::connect(&closer, &QTimer::timeout, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal != nullptr && (paints_ >= kPaints || open.elapsed() > 10000)) {
                    modal->close();
                }
            });
            closer.start();
            paints_ = 0;
            form.Timer1->start();
            button->click();
            form.Timer1->stop();
            Report(std::string(name) + "_paints", paints_);
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
    /// Runs the 25 ms timer until the view has painted `kPaints` frames (or for 10 s at
    /// most) and records how many it painted, whether its surface is exposed and whether the
    /// viewport covers it in device pixels.
    void Animate(const QString& name) {
        TOpenGLOrvPanel& view = *FormMM->OpenGLOrvPanel1;
        paints_ = 0;
        FormMM->Timer1->start();
        (void)QTest::qWaitFor([this] { return paints_ >= kPaints; }, 10000);
        FormMM->Timer1->stop();
        const std::string key = name.toStdString();
        Report(key + "_paints", paints_);
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
    int paints_ = 0;
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

/// The top-level windows the program can open, as the request runs name them.
const char* const kTopLevels[] = {"main",         "splash",       "about",
                                  "instructions", "confirmation", "measurements"};

/// Opens one top-level window and asks the window system, through the platform's own
/// requests (xdg_toplevel's set_maximized, set_fullscreen and their unset, on Wayland), to
/// maximise it, put it in full screen, give it its own size back and resize it, as a title
/// bar's buttons or a desktop's keys would. The run must survive each request; the report
/// holds what the window became.
int DriveWindowRequests(int argc, char** argv, const QString& folder, const QString& name) {
    SharedRandom().SetClock([] { return kFixedClock; });
    static auto* application = new VelisoApplication(argc, argv);
    VelisoApplication& app = *application;
    InstallFrenchQtTexts(app);
    CreateWindows();
    FormMM->SetAuxiliaryWindows(nullptr, Forminst, AboutBox);
    std::map<std::string, QString> report;
    auto put = [&report](const std::string& key, bool value) { report[key] = value ? "1" : "0"; };

    // Everything that happens to the window once it is on the screen.
    auto work = [&](QWidget* window) {
        put("opened", window != nullptr);
        if (window == nullptr) {
            return;
        }
        QWindow* handle = window->windowHandle();
        put("exposed", QTest::qWaitFor([&] { return handle->isExposed(); }, 5000));
        put("transient_for_main", handle->transientParent() == FormMM->windowHandle());
        const QRect screen = handle->screen()->availableGeometry();
        put("fits_screen", window->frameGeometry().width() <= screen.width() &&
                               window->frameGeometry().height() <= screen.height() &&
                               window->minimumSizeHint().width() <= screen.width());
        const QSize own = window->size();
        const bool fixed = window->minimumSize() == window->maximumSize();
        put("fixed", fixed);

        // Each request, a moment for the compositor's answer, then a frame drawn in the state
        // answered (as when the pointer leaves the title bar's button, which is drawn again).
        auto ask = [&](const char* key, Qt::WindowState state) {
            handle->setWindowStates(state);
            QTest::qWait(300);
            window->repaint();
            QTest::qWait(200);
            put(std::string(key) + "_state", handle->windowStates() == state);
        };
        ask("maximised", Qt::WindowMaximized);
        ask("normal_after_maximised", Qt::WindowNoState);
        put("own_size_after_maximised", window->size() == own);
        ask("full_screen", Qt::WindowFullScreen);
        ask("normal_after_full_screen", Qt::WindowNoState);
        put("own_size_after_full_screen", window->size() == own);
        put("fixed_again", (window->minimumSize() == window->maximumSize()) == fixed);
        handle->resize(own + QSize(120, 90));
        QTest::qWait(300);
        put("resize_taken", window->size() != own);
        put("alive", true);
    };

    QTimer::singleShot(0, FormMM, [&] {
        FormMM->show();
        put("main_exposed", QTest::qWaitFor([] { return FormMM->windowHandle()->isExposed(); }));
        if (name == QLatin1String("confirmation")) {
            // The question asked when the main window closes, answered "No" once worked.
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    poll.stop();
                    work(box);
                    box->reject();
                }
            });
            poll.start(20);
            FormMM->close();
        } else if (name == QLatin1String("splash")) {
            Formsplash->Timer1->stop();
            Formsplash->show();
            work(Formsplash);
        } else if (name == QLatin1String("about")) {
            AboutBox->show();
            work(AboutBox);
        } else if (name == QLatin1String("instructions")) {
            Forminst->show();
            work(Forminst);
        } else if (name == QLatin1String("measurements")) {
            FormMM->bench().Show();
            work(FormMM->bench().window());
        } else {
            work(FormMM);
        }
        QCoreApplication::exit(0);
    });
    app.exec();
    DestroyWindows();
    QFile file(folder + QStringLiteral("/report.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return 1;
    }
    QTextStream out(&file);
    for (const auto& [key, value] : report) {
        out << QString::fromStdString(key) << '=' << value << '\n';
    }
    return 0;
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
        form.drawEveryTick = true;  // the surface must go on taking frames, as above
        int paints = 0;
        QImage last;
        const auto paint = view.OnPaint;
        view.OnPaint = [&, paint](TOpenGLOrvPanel* sender) {
            paint(sender);
            ++paints;
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
            paints = 0;
            if (!QTest::qWaitFor([&] { return paints >= 3; }, 3000)) {
                failures << what +
                                QStringLiteral(
                                    ": the view stopped painting (surface %1, %2; "
                                    "window %3; error \"%4\")")
                                    .arg(view.glWindow()->isVisible() ? "shown" : "hidden",
                                         view.glWindow()->isExposed() ? "exposed" : "not exposed",
                                         form.windowHandle()->isExposed() ? "exposed"
                                                                          : "not exposed",
                                         view.ErrorText());
                continue;
            }
            // One frame with the timers stopped, then what the display shows.
            form.Timer1->stop();
            view.Repaint();
            // Its top left corner, which stays on the screen whatever the window's place.
            const QImage frame = last.copy(0, 0, 320, 320);
            QTest::qWait(300);
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

/// A folder only its owner may enter, as a Wayland runtime folder must be.
bool MakePrivate(const QString& path) {
    return chmod(QFile::encodeName(path).constData(), 0700) == 0;
}

struct DriverRun {
    int exitCode = -1;
    QString standardError;
    std::map<QString, QString> report;
    QString folder;

    std::string operator[](const char* key) const {
        const auto it = report.find(QString::fromUtf8(key));
        return it == report.end() ? "(missing)" : it->second.toStdString();
    }
    int Number(const QString& key) const {
        const auto it = report.find(key);
        return it == report.end() ? -1 : it->second.toInt();
    }
    QImage Image(const QString& name) const { return QImage(folder + "/" + name + ".png"); }
};

/// Runs the driver in `folder`, through `wrapper` (a program and its arguments) if given;
/// `mode` chooses the driver (the main window's run by default).
DriverRun RunDriver(const QString& folder, const QProcessEnvironment& environment,
                    QStringList wrapper, const QStringList& mode = {}) {
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
    wrapper << QCoreApplication::applicationFilePath();
    wrapper << (mode.isEmpty() ? QStringList{QStringLiteral("--drive"), folder} : mode);
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

class WaylandDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"weston", "weston-screenshooter", "xvfb-run"}) {
            ASSERT_FALSE(QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty())
                << tool << " is missing: scripts/setup-deps installs it";
        }
        ASSERT_TRUE(work_.isValid());
        runtime_ = work_.filePath("runtime");
        ASSERT_TRUE(QDir().mkpath(runtime_));
        ASSERT_TRUE(MakePrivate(runtime_));
        StartCompositor();
    }
    void TearDown() override {
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

    /// weston without any output device: headless, drawing with its CPU renderer so that its
    /// screenshooter has pixels to give (--debug lets it), on a socket of its own in the
    /// private runtime folder; no configuration file, no screen blanking. Its desktop shell
    /// sends frame events to every mapped window.
    void StartCompositor() {
        socket_ = QStringLiteral("veliso-test-%1").arg(QCoreApplication::applicationPid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime_);
        environment.remove("WAYLAND_DISPLAY");
        weston_.setProcessEnvironment(environment);
        weston_.setStandardOutputFile(work_.filePath("weston.log"));
        weston_.setStandardErrorFile(work_.filePath("weston.log"));
        QStringList arguments = {
            "--use-pixman", "--width=1024",  "--height=768", "--socket=" + socket_,
            "--no-config",  "--idle-time=0", "--debug"};
        if (Shell().isEmpty()) {
            arguments.prepend("--backend=headless-backend.so");
            weston_.start(QStringLiteral("weston"), arguments);
        } else {
            // Another shell runs as a window of an X server of its own: on weston's headless
            // output the kiosk shell shows nothing and sends no frame events. -displayfd: the
            // server takes a free display number and writes it once it listens.
            xserver_.start(QStringLiteral("Xvfb"),
                           {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
            ASSERT_TRUE(xserver_.waitForStarted(10000));
            while (!xserver_.canReadLine() && xserver_.waitForReadyRead(10000)) {
            }
            const QString display = QString::fromLatin1(xserver_.readLine()).trimmed();
            ASSERT_FALSE(display.isEmpty()) << "Xvfb did not start";
            environment.insert("DISPLAY", ":" + display);
            weston_.setProcessEnvironment(environment);
            arguments << "--backend=x11-backend.so"
                      << "--shell=" + Shell();
            weston_.start(QStringLiteral("weston"), arguments);
        }
        ASSERT_TRUE(weston_.waitForStarted(10000));
        const QString socketPath = runtime_ + "/" + socket_;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return QFile::exists(socketPath) || weston_.state() == QProcess::NotRunning; },
            15000));
        ASSERT_TRUE(QFile::exists(socketPath)) << WestonLog().toStdString();
        // The desktop shell's own client (background, panel) starts right after the socket.
        QTest::qWait(1000);
    }

    /// weston's shell module; empty for its desktop shell.
    virtual QString Shell() const { return {}; }

    QString WestonLog() const {
        QFile log(work_.filePath("weston.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    /// The window-request driver for one top-level window, on the compositor.
    DriverRun AskWindow(const QString& name) {
        const QString folder = work_.filePath(name);
        QDir().mkpath(folder);
        return Drive("wayland", {"--requests", folder, name}, folder);
    }

    /// The stress driver on `platform`.
    DriverRun Stress(const QString& platform) {
        const QString folder = work_.filePath("stress-" + platform);
        QDir().mkpath(folder);
        return Drive(platform, {"--stress", folder}, folder);
    }

    /// Runs a driver (the main window's run by default) on "wayland" or "xcb".
    DriverRun Drive(const QString& platform, const QStringList& mode = {}, QString folder = {}) {
        if (folder.isEmpty()) {
            folder = work_.filePath(platform);
            QDir().mkpath(folder);
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", platform);
        // Settings of the run's own, not those a user or another test kept.
        environment.insert("XDG_CONFIG_HOME", work_.filePath("config"));
        environment.remove("DISPLAY");
        if (platform == QLatin1String("wayland")) {
            environment.insert("XDG_RUNTIME_DIR", runtime_);
            environment.insert("WAYLAND_DISPLAY", socket_);
            return RunDriver(folder, environment, {}, mode);
        }
        const QString own = work_.filePath("runtime-x11");
        QDir().mkpath(own);
        MakePrivate(own);
        environment.insert("XDG_RUNTIME_DIR", own);
        environment.remove("WAYLAND_DISPLAY");
        // -noreset: the server stays up between its clients (see scripts/test).
        return RunDriver(folder, environment,
                         {"xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -noreset"}, mode);
    }

    QTemporaryDir work_;
    QString runtime_;
    QString socket_;
    QProcess weston_;
    QProcess xserver_;  // the X server a shell other than the desktop's runs in
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

/// Every top-level window survives the window-state requests a desktop can make, and each
/// dialog stays with the main window. A fixed-size window may take the screen's size while
/// maximised or in full screen (that is how it answers the compositor), but returns to its
/// own size and stays fixed against a plain resize.
class WindowRequestsOnWayland : public WaylandDesktop,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(WindowRequestsOnWayland, EveryRequestIsAnsweredAndTheProgramLives) {
    const std::string name = GetParam();
    const DriverRun run = AskWindow(QString::fromStdString(name));
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString() << WestonLog().toStdString();
    EXPECT_EQ(run.standardError.toStdString(), "") << "nothing on standard error";
    EXPECT_EQ(run["alive"], "1");
    for (const char* key :
         {"main_exposed", "opened", "exposed", "maximised_state", "normal_after_maximised_state",
          "full_screen_state", "normal_after_full_screen_state", "own_size_after_maximised",
          "own_size_after_full_screen", "fixed_again", "fits_screen"}) {
        EXPECT_EQ(run[key], "1") << key;
    }
    const bool dialog = name != "main" && name != "splash";
    EXPECT_EQ(run["transient_for_main"], dialog ? "1" : "0");
    const bool fixed = name != "main" && name != "measurements";
    EXPECT_EQ(run["fixed"], fixed ? "1" : "0");
    EXPECT_EQ(run["resize_taken"], fixed ? "0" : "1");
}

INSTANTIATE_TEST_SUITE_P(TopLevels, WindowRequestsOnWayland, ::testing::ValuesIn(kTopLevels),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace veliso

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--stress") {
        return veliso::DriveStress(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    if (argc >= 4 && std::string(argv[1]) == "--requests") {
        return veliso::DriveWindowRequests(argc, argv, QString::fromLocal8Bit(argv[2]),
                                           QString::fromLocal8Bit(argv[3]));
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
