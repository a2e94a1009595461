// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/headless_target.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace veliso {
namespace {

/// RGB of the pixel at (x, y), y from the bottom.
std::uint32_t PixelAt(int x, int y) {
    std::uint8_t rgb[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
}

// The view draws without a display into this target, with the buffers of the desktop's
// window: depth tests and blending depend on them, so it must have exactly those.
TEST(HeadlessTarget, HasTheBuffersAskedFor) {
    const struct {
        HeadlessBuffers asked;
        GLint alphaBits, depthBits;
    } cases[] = {
        {{true, 24}, 8, 24}, {{false, 32}, 0, 32}, {{false, 20}, 0, 24}, {{true, 8}, 8, 16}};
    for (const auto& c : cases) {
        HeadlessTarget target(16, 16, 0, c.asked);
        ASSERT_TRUE(target.ok());
        EXPECT_EQ(target.buffers().alpha, c.alphaBits > 0);
        EXPECT_EQ(target.buffers().depthBits, c.depthBits);
        GLint alpha = -1, depth = -1;
        glGetIntegerv(GL_ALPHA_BITS, &alpha);
        glGetIntegerv(GL_DEPTH_BITS, &depth);
        EXPECT_EQ(alpha, c.alphaBits) << c.asked.depthBits;
        EXPECT_EQ(depth, c.depthBits) << c.asked.depthBits;
    }
}

// A view that grows draws to its new corners; a size the driver refuses keeps the old one.
TEST(HeadlessTarget, AResizedTargetIsDrawnWhole) {
    HeadlessTarget target(64, 32, 0, {false, 32});
    ASSERT_TRUE(target.ok());
    ASSERT_TRUE(target.Resize(200, 100));
    EXPECT_EQ(target.width(), 200);
    EXPECT_EQ(target.height(), 100);
    EXPECT_FALSE(target.Resize(0, 10));
    EXPECT_EQ(target.width(), 200);
    target.MakeCurrent();
    glViewport(0, 0, 200, 100);
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(PixelAt(199, 99), 0xff00ffu);
    EXPECT_EQ(PixelAt(0, 0), 0xff00ffu);
}

}  // namespace
}  // namespace veliso
