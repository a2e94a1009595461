// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// The pictures compiled into the program: sizes, the splash's colour key after JPEG
// decoding, the marked mouse button, the icons' transparency, and the credit line's width.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>

#include "mainwindow/credits.h"
#include "mainwindow/qt_app.h"

// Resources compiled into a static library must be registered by name, at global scope.
static void RegisterPictures() {
    Q_INIT_RESOURCE(resources);
}

namespace {

const QRgb kKey = qRgb(0, 128, 192);

bool IsKey(QRgb pixel) {
    return (pixel & 0xFFFFFFu) == (kKey & 0xFFFFFFu);
}

class ResourcesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        veliso::testing::TestApplication();
        RegisterPictures();
    }

    static QImage Load(const char* name) {
        QImage image(QStringLiteral(":/veliso/") + QLatin1String(name));
        EXPECT_FALSE(image.isNull()) << name;
        return image;
    }
};

TEST_F(ResourcesTest, SplashKeyComesOutExactAndInWholeBlocks) {
    const QImage splash = Load("splash.jpg");
    ASSERT_EQ(splash.size(), QSize(384, 256));
    // After decoding, each 8 x 8 block is either all key (the desktop shows through it)
    // or free of the key: no ragged edge, no stray hole inside the picture.
    int keyBlocks = 0;
    for (int by = 0; by < 256; by += 8) {
        for (int bx = 0; bx < 384; bx += 8) {
            int keyed = 0;
            for (int y = by; y < by + 8; ++y) {
                for (int x = bx; x < bx + 8; ++x) {
                    keyed += IsKey(splash.pixel(x, y));
                }
            }
            EXPECT_TRUE(keyed == 0 || keyed == 64) << "block at " << bx << ", " << by;
            keyBlocks += keyed == 64;
        }
    }
    EXPECT_GT(keyBlocks, 0);
    // The shape: a gap under the title band, and the title band itself is solid.
    EXPECT_TRUE(IsKey(splash.pixel(0, 84)));
    EXPECT_TRUE(IsKey(splash.pixel(383, 84)));
    EXPECT_FALSE(IsKey(splash.pixel(0, 0)));
    EXPECT_FALSE(IsKey(splash.pixel(192, 40)));
}

TEST_F(ResourcesTest, InstructionsPictureMarksTheLeftButton) {
    const QImage mouse = Load("instructions.jpg");
    ASSERT_EQ(mouse.size(), QSize(54, 44));
    // The left button is orange, the right one is not; the corners are the panel's white.
    const QColor left = mouse.pixelColor(22, 14);
    const QColor right = mouse.pixelColor(32, 14);
    EXPECT_GT(left.red(), 200);
    EXPECT_LT(left.blue(), 100);
    EXPECT_GT(right.blue(), 180);
    EXPECT_GE(mouse.pixelColor(0, 0).lightness(), 250);
    EXPECT_GE(mouse.pixelColor(53, 43).lightness(), 250);
}

TEST_F(ResourcesTest, ApplicationIconAtEverySizeIsATileWithClearCorners) {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString name = QStringLiteral("icon-%1.png").arg(size);
        const QImage icon = Load(name.toLatin1().constData());
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        EXPECT_TRUE(icon.hasAlphaChannel()) << size;
        EXPECT_LT(qAlpha(icon.pixel(0, 0)), 128) << size;
        EXPECT_LT(qAlpha(icon.pixel(size - 1, size - 1)), 128) << size;
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << size;
    }
}

TEST_F(ResourcesTest, InfoIconIsAWhiteLetterOnABlueDisc) {
    const QImage info = Load("info.png");
    ASSERT_EQ(info.size(), QSize(24, 24));
    EXPECT_EQ(qAlpha(info.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(info.pixel(23, 23)), 0);
    // The stem is white and sharp: whole pixels from x = 10 to 13.
    for (int x = 10; x <= 13; ++x) {
        EXPECT_EQ(info.pixel(x, 13) | 0xFF000000u, qRgb(255, 255, 255)) << x;
    }
    const QColor disc = info.pixelColor(5, 12);
    EXPECT_GT(disc.blue(), disc.red() + 60);
    EXPECT_EQ(disc.alpha(), 255);
}

TEST_F(ResourcesTest, CreditLineLeavesRoomForTheAddress) {
    // The credit label starts at x = 34 and the address at x = 163, both in Arial 8 pt.
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(8);
    const QFontMetrics metrics(arial);
    EXPECT_LE(metrics.horizontalAdvance(QString::fromUtf8(veliso::credits::kCreditLine)),
              163 - 34 - 4);
    EXPECT_TRUE(QString::fromUtf8(veliso::credits::kContactAddress).contains(QLatin1Char('@')));
}

}  // namespace
