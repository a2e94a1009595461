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
