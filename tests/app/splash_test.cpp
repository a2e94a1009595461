// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/splash.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QTest>
#include <QTimer>

#include "mainwindow/clickable_label.h"
#include "mainwindow/qt_app.h"

namespace {

class SplashTest : public ::testing::Test {
  protected:
    // The application comes first: the splash member is built right after it.
    bool appReady_ = (veliso::testing::TestApplication(), true);
    TFormsplash splash;
};

TEST_F(SplashTest, FramelessKeyedPictureWithItsTimerRunningFromCreation) {
    EXPECT_EQ(splash.size(), QSize(384, 256));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.palette().color(QPalette::Window), QColor(0, 89, 132));
    EXPECT_EQ(splash.Image1->geometry(), QRect(0, 0, 384, 256));
    EXPECT_TRUE(splash.Timer1->isActive());
    EXPECT_EQ(splash.Timer1->interval(), 1000);
    EXPECT_EQ(splash.ticks(), 0);

    // Pixels of the colour key are cut out of the window; the rest stays.
    const QImage picture = splash.Image1->pixmap().toImage();
    const QRegion shape = splash.mask();
    int keyed = 0;
    for (int y = 0; y < 256; y += 3) {
        for (int x = 0; x < 384; x += 3) {
            const bool key = QColor(picture.pixel(x, y)) == TFormsplash::ColourKey();
            keyed += key;
            ASSERT_EQ(shape.contains(QPoint(x, y)), !key) << x << "," << y;
        }
    }
    EXPECT_GT(keyed, 0);
}

TEST_F(SplashTest, ClosesAtTheTenthTickAndCountsOn) {
    splash.Timer1->stop();
    splash.show();
    for (int i = 0; i < 9; ++i) {
        splash.Timer1Timer();
    }
    EXPECT_TRUE(splash.isVisible());
    splash.Timer1Timer();
    EXPECT_EQ(splash.ticks(), 10);
    EXPECT_FALSE(splash.isVisible());
    splash.Timer1Timer();
    EXPECT_EQ(splash.ticks(), 11);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(SplashTest, TenthTickEndsTheModalShow) {
    splash.Timer1->stop();
    for (int i = 0; i < 8; ++i) {
        splash.Timer1Timer();
    }
    QTimer::singleShot(0, &splash, [this] {
        splash.Timer1Timer();
        splash.Timer1Timer();
    });
    splash.exec();
    EXPECT_EQ(splash.ticks(), 10);
}

TEST_F(SplashTest, ShownOnlyAfterItsTenthTickItClosesAtOnce) {
    splash.Timer1->stop();
    for (int i = 0; i < 12; ++i) {
        splash.Timer1Timer();
    }
    EXPECT_EQ(splash.exec(), QDialog::Rejected);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(SplashTest, ClickClosesAtOnceAndTheTenthTickChangesNothingLater) {
    splash.Timer1->stop();
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    QTest::mouseClick(splash.Image1, Qt::LeftButton, {}, QPoint(190, 120));
    EXPECT_FALSE(splash.isVisible());
    for (int i = 0; i < 10; ++i) {
        splash.Timer1Timer();
    }
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(SplashTest, FadesInThroughSeventeenStepsThenTurnsOpaque) {
    splash.Timer1->stop();
    splash.show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !splash.fadeSteps().empty(); }));
    std::vector<int> expected;
    for (int a = 0; a <= 240; a += 15) {
        expected.push_back(a);
    }
    EXPECT_EQ(splash.fadeSteps(), expected);
    EXPECT_EQ(splash.windowOpacity(), 1.0);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// On an X11 desktop with a compositing manager the fade is seen.

#include <xcb/xcb.h>

#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

namespace {

/// Reads one pixel of the X11 screen over and over, on a connection and a thread of its own,
/// so that it sees the screen while the user-interface thread is held by the splash's fade.
class ScreenSampler {
  public:
    explicit ScreenSampler(QPoint where) : where_(where) {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_) != 0) {
            return;
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        thread_ = std::thread([this] {
            while (!stop_) {
                const QRgb colour = Read();
                std::lock_guard lock(mutex_);
                samples_.push_back(colour);
            }
        });
    }
    ~ScreenSampler() {
        Stop();
        xcb_disconnect(connection_);
    }
    bool connected() const { return thread_.joinable(); }
    /// Stops sampling and returns the colours read, in order.
    std::vector<QRgb> Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        std::lock_guard lock(mutex_);
        return samples_;
    }
    QRgb Read() {
        const xcb_get_image_cookie_t cookie = xcb_get_image(
            connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<int16_t>(where_.x()),
            static_cast<int16_t>(where_.y()), 1, 1, ~0u);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, cookie, nullptr);
        if (reply == nullptr) {
            return 0;
        }
        const uint8_t* bgrx = xcb_get_image_data(reply);
        const QRgb colour = qRgb(bgrx[2], bgrx[1], bgrx[0]);
        free(reply);
        return colour;
    }

  private:
    QPoint where_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<QRgb> samples_;
};

/// How far `c` lies on the way from `from` to `to` (0 .. 1), along the channel in which the
/// two differ most.
double Progress(QRgb from, QRgb to, QRgb c) {
    const int channels[3][3] = {{qRed(from), qRed(to), qRed(c)},
                                {qGreen(from), qGreen(to), qGreen(c)},
                                {qBlue(from), qBlue(to), qBlue(c)}};
    const auto* widest = std::max_element(
        std::begin(channels), std::end(channels),
        [](const int* a, const int* b) { return std::abs(a[1] - a[0]) < std::abs(b[1] - b[0]); });
    return static_cast<double>((*widest)[2] - (*widest)[0]) / ((*widest)[1] - (*widest)[0]);
}

/// The splash on a display of its own (ctest runs it as "splash_compositing", under a
/// private Xvfb with VELISO_PRIVATE_DISPLAY set), with xcompmgr blending the windows.
class SplashOnACompositingDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("VELISO_PRIVATE_DISPLAY")) {
            GTEST_SKIP() << "starts a compositing manager: needs a display of its own "
                            "(ctest test splash_compositing)";
        }
        veliso::testing::TestApplication();
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_FALSE(QStandardPaths::findExecutable("xcompmgr").isEmpty())
            << "xcompmgr is missing: scripts/setup-deps installs it";
        compositor_.start("xcompmgr", {});
        ASSERT_TRUE(compositor_.waitForStarted());
    }
    void TearDown() override {
        if (compositor_.state() != QProcess::NotRunning) {
            compositor_.terminate();
            compositor_.waitForFinished();
        }
    }

    QProcess compositor_;
};

TEST_F(SplashOnACompositingDesktop, FadeShowsIntermediateOpacity) {
    // The compositor is at work once a red window at opacity 0.5 shows half the desktop.
    const QPoint probePoint(100, 100);
    ScreenSampler probeReader(probePoint);
    ASSERT_TRUE(probeReader.connected());
    QWidget probe(nullptr, Qt::FramelessWindowHint);
    probe.setGeometry(50, 50, 100, 100);
    probe.setAutoFillBackground(true);
    probe.setPalette(QPalette(Qt::red));
    probe.setWindowOpacity(0.5);
    QRgb desktop = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            desktop = probeReader.Read();
            probe.show();
            QTest::qWait(100);
            const QRgb seen = probeReader.Read();
            probe.hide();
            QTest::qWait(100);
            return std::abs(qRed(seen) - (255 + qRed(desktop)) / 2) <= 4 &&
                   std::abs(qGreen(seen) - qGreen(desktop) / 2) <= 4;
        },
        10000))
        << "no compositing manager blends the windows";

    TFormsplash splash;
    splash.Timer1->stop();
    // A pixel of the picture far from the desktop's colour, inside the window.
    const QImage picture = splash.Image1->pixmap().toImage();
    const QRect frame(QPoint(0, 0), splash.size());
    QPoint pick;
    int widest = 0;
    for (int y = 20; y < picture.height() - 20; y += 4) {
        for (int x = 20; x < picture.width() - 20; x += 4) {
            const QRgb p = picture.pixel(x, y);
            const int distance =
                std::max({std::abs(qRed(p) - qRed(desktop)), std::abs(qGreen(p) - qGreen(desktop)),
                          std::abs(qBlue(p) - qBlue(desktop))});
            if (QColor(p) != TFormsplash::ColourKey() && distance > widest) {
                widest = distance;
                pick = QPoint(x, y);
            }
        }
    }
    ASSERT_GE(widest, 100);
    QRect placed = frame;
    placed.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
    ScreenSampler sampler(placed.topLeft() + pick);
    ASSERT_TRUE(sampler.connected());
    splash.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !splash.fadeSteps().empty(); }, 5000));
    QTest::qWait(500);
    const std::vector<QRgb> samples = sampler.Stop();
    ASSERT_EQ(splash.pos(), placed.topLeft());

    const QRgb shown = picture.pixel(pick);
    std::vector<double> levels;
    for (QRgb s : samples) {
        levels.push_back(Progress(desktop, shown, s));
    }
    ASSERT_FALSE(levels.empty());
    EXPECT_NEAR(levels.front(), 0.0, 0.05) << "the desktop before the splash";
    EXPECT_NEAR(levels.back(), 1.0, 0.05) << "the splash fully opaque after its fade";
    std::vector<int> between;
    for (double level : levels) {
        if (level > 0.1 && level < 0.9) {
            between.push_back(static_cast<int>(std::lround(level * 20)));
        }
    }
    std::sort(between.begin(), between.end());
    between.erase(std::unique(between.begin(), between.end()), between.end());
    // Sixteen steps lie between; a compositor busy elsewhere may show fewer of them.
    EXPECT_GE(between.size(), 3u) << "the splash fades in through intermediate opacities";
}

}  // namespace
