// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// The JPEG writer of the picture generator: the colour key must come back exactly.
#include "keyed_jpeg.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

using veliso::pictures::KeyedJpegEncoder;
using veliso::pictures::KeyFollowsBlocks;

namespace {

const QColor kKey(0, 128, 192);

class KeyedJpegTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "tools_tests";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        (void)app;
    }

    /// 32 x 24: key everywhere but a busy 16 x 8 patch on the block grid, whose edges touch
    /// the key on all four sides.
    static QImage Picture() {
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(kKey);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(QRect(8, 8, 16, 8), QColor(255, 108, 0));
        p.setPen(QPen(QColor(0, 150, 230), 1.5));
        p.drawLine(QPointF(9.5, 14), QPointF(22.5, 9.5));
        return image;
    }
};

TEST_F(KeyedJpegTest, UniformKeyDecodesExactly) {
    const KeyedJpegEncoder encoder(kKey);
    ASSERT_TRUE(encoder.ok());
    QImage flat(16, 16, QImage::Format_RGB32);
    flat.fill(kKey);
    const QImage decoded = QImage::fromData(encoder.Encode(flat), "JPEG");
    ASSERT_EQ(decoded.size(), flat.size());
    EXPECT_EQ(decoded.pixelColor(7, 7), kKey);
    // The plain forward conversion of the key itself lands one step off in blue.
    QImage plain(16, 16, QImage::Format_RGB32);
    plain.fill(QColor(0, 128, 193));
    EXPECT_NE(QImage::fromData(encoder.Encode(plain), "JPEG").pixelColor(7, 7), kKey);
}

TEST_F(KeyedJpegTest, KeyNextToBusyBlocksSurvivesTheRoundTrip) {
    const KeyedJpegEncoder encoder(kKey);
    QByteArray jpeg;
    QString problem;
    ASSERT_TRUE(encoder.EncodeChecked(Picture(), jpeg, problem)) << problem.toStdString();
    const QImage decoded = QImage::fromData(jpeg, "JPEG");
    for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(decoded.pixelColor(x, 7), kKey) << x;   // just above the patch
        EXPECT_EQ(decoded.pixelColor(x, 16), kKey) << x;  // just below it
    }
    EXPECT_EQ(decoded.pixelColor(7, 12), kKey);
    EXPECT_EQ(decoded.pixelColor(24, 12), kKey);
    EXPECT_NE(decoded.pixelColor(8, 12), kKey);
}

TEST_F(KeyedJpegTest, KeyOffTheBlockGridIsRefused) {
    QImage image = Picture();
    image.setPixelColor(20, 12, kKey);  // a key pixel inside a busy block
    EXPECT_FALSE(KeyFollowsBlocks(image, kKey));
    const KeyedJpegEncoder encoder(kKey);
    QByteArray jpeg;
    QString problem;
    EXPECT_FALSE(encoder.EncodeChecked(image, jpeg, problem));
    EXPECT_FALSE(problem.isEmpty());
}

}  // namespace
