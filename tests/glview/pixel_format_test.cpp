// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/pixel_format.h"

#include <gtest/gtest.h>

#include <QSurfaceFormat>

#include <cstring>

namespace veliso::test {
namespace {

TEST(PanelDescriptor, EveryFlagMapsToItsDescriptorBit) {
    EXPECT_EQ(DescriptorFlags(f_PFD_DRAW_TO_WINDOW | f_PFD_DRAW_TO_BITMAP | f_PFD_SUPPORT_GDI |
                              f_PFD_SUPPORT_OPENGL | f_PFD_GENERIC_ACCELERATED |
                              f_PFD_GENERIC_FORMAT | f_PFD_NEED_PALETTE |
                              f_PFD_NEED_SYSTEM_PALETTE | f_PFD_STEREO | f_PFD_SWAP_LAYER_BUFFERS),
              4u + 8u + 16u + 32u + 4096u + 64u + 128u + 256u + 2u + 2048u);
    // Double buffering comes from the absence of GDI support, not from its own member.
    EXPECT_EQ(DescriptorFlags(TPFDFlags()), 1u);
    EXPECT_EQ(DescriptorFlags(f_PFD_DOUBLEBUFFER | f_PFD_SUPPORT_GDI), 16u);
}

TEST(PanelDescriptor, RequestBecomesSurfaceFormat) {
    TPixelFormatDescriptor d;
    d.dwFlags = pfd::DRAW_TO_WINDOW | pfd::SUPPORT_OPENGL | pfd::DOUBLEBUFFER;
    d.cColorBits = 32;
    d.cDepthBits = 32;
    QSurfaceFormat f;
    QString why;
    ASSERT_TRUE(SurfaceFormatFromDescriptor(d, f, why));
    EXPECT_EQ(f.redBufferSize(), 8);
    EXPECT_EQ(f.greenBufferSize(), 8);
    EXPECT_EQ(f.blueBufferSize(), 8);
    EXPECT_EQ(f.alphaBufferSize(), -1) << "no alpha unless asked for";
    EXPECT_EQ(f.depthBufferSize(), 32);
    EXPECT_EQ(f.swapBehavior(), QSurfaceFormat::DoubleBuffer);
    EXPECT_FALSE(f.stereo());

    d.dwFlags = pfd::DRAW_TO_WINDOW | pfd::SUPPORT_GDI | pfd::STEREO;
    d.cColorBits = 16;
    d.cDepthBits = 16;
    ASSERT_TRUE(SurfaceFormatFromDescriptor(d, f, why));
    EXPECT_EQ(f.redBufferSize(), 5);
    EXPECT_EQ(f.greenBufferSize(), 6);
    EXPECT_EQ(f.blueBufferSize(), 5);
    EXPECT_EQ(f.alphaBufferSize(), -1);
    EXPECT_EQ(f.depthBufferSize(), 16);
    EXPECT_EQ(f.swapBehavior(), QSurfaceFormat::SingleBuffer);
    EXPECT_TRUE(f.stereo());

    d.cAlphaBits = 8;
    ASSERT_TRUE(SurfaceFormatFromDescriptor(d, f, why));
    EXPECT_EQ(f.alphaBufferSize(), 8);
    d.iPixelType = pfd::TYPE_COLORINDEX;
    EXPECT_FALSE(SurfaceFormatFromDescriptor(d, f, why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(PanelDescriptor, ObtainedFormatIsDescribedWithPackedShifts) {
    QSurfaceFormat f;
    f.setRedBufferSize(8);
    f.setGreenBufferSize(8);
    f.setBlueBufferSize(8);
    f.setAlphaBufferSize(8);
    f.setDepthBufferSize(24);
    f.setStencilBufferSize(8);
    f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    const TPixelFormatDescriptor d = DescriptorFromSurfaceFormat(f, 64);
    EXPECT_EQ(d.dwFlags, pfd::DRAW_TO_WINDOW | pfd::SUPPORT_OPENGL | pfd::DOUBLEBUFFER);
    EXPECT_EQ(d.cColorBits, 24);
    EXPECT_EQ(d.cAlphaBits, 8);
    EXPECT_EQ(d.cBlueShift, 0);
    EXPECT_EQ(d.cGreenShift, 8);
    EXPECT_EQ(d.cRedShift, 16);
    EXPECT_EQ(d.cAlphaShift, 24);
    EXPECT_EQ(d.cAccumBits, 64);
    EXPECT_EQ(d.cDepthBits, 24);
    EXPECT_EQ(d.cStencilBits, 8);

    QSurfaceFormat small;  // 3-3-2, single buffered: a palette device
    small.setRedBufferSize(3);
    small.setGreenBufferSize(3);
    small.setBlueBufferSize(2);
    small.setSwapBehavior(QSurfaceFormat::SingleBuffer);
    const TPixelFormatDescriptor p = DescriptorFromSurfaceFormat(small, 0);
    EXPECT_EQ(p.cColorBits, 8);
    EXPECT_EQ(p.dwFlags, pfd::DRAW_TO_WINDOW | pfd::SUPPORT_OPENGL | pfd::NEED_PALETTE);
}

TEST(PanelPalette, EntriesSpreadEachChannelOverTheFullRange) {
    TPixelFormatDescriptor d;  // 3-3-2: red in bits 0-2, green 3-5, blue 6-7
    d.cColorBits = 8;
    d.cRedBits = 3;
    d.cRedShift = 0;
    d.cGreenBits = 3;
    d.cGreenShift = 3;
    d.cBlueBits = 2;
    d.cBlueShift = 6;
    const std::vector<TPaletteEntry> p = BuildPalette(d);
    ASSERT_EQ(p.size(), 256u);
    EXPECT_EQ(p[0], (TPaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(p[255], (TPaletteEntry{255, 255, 255, 0}));
    // i = 0b10'011'101: red 5 → 5·255/7 = 182, green 3 → 109, blue 2 → 2·255/3 = 170.
    EXPECT_EQ(p[0b10011101], (TPaletteEntry{182, 109, 170, 0}));
    EXPECT_EQ(p[1], (TPaletteEntry{36, 0, 0, 0}));
    EXPECT_EQ(p[64], (TPaletteEntry{0, 0, 85, 0}));
}

TEST(PanelPalette, ChannelWithoutBitsIsBlackAndLargeFormatsHaveNone) {
    TPixelFormatDescriptor d;
    d.cColorBits = 4;
    d.cRedBits = 4;  // grey ramp on red only; green and blue have no bits
    const std::vector<TPaletteEntry> p = BuildPalette(d);
    ASSERT_EQ(p.size(), 16u);
    EXPECT_EQ(p[15], (TPaletteEntry{255, 0, 0, 0}));
    EXPECT_EQ(p[1], (TPaletteEntry{17, 0, 0, 0}));
    d.cColorBits = 24;
    EXPECT_TRUE(BuildPalette(d).empty());
    d.cColorBits = 0;
    EXPECT_TRUE(BuildPalette(d).empty());
}

}  // namespace
}  // namespace veliso::test
