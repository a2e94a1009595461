// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "support/headless_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace veliso::test {
namespace {

TEST(HeadlessGl, ClearsAndReadsBack) {
    HeadlessGl gl(64, 32);
    ASSERT_TRUE(gl.ok());
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    std::uint8_t rgb[3];
    gl.PixelAt(10, 10, rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_NEAR(rgb[1], 128, 1);
    EXPECT_EQ(rgb[2], 0);
}

}  // namespace
}  // namespace veliso::test
