// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/liquid/liquid_controls.h"

#include <gtest/gtest.h>

#include "core/liquid/liquid_motion.h"

namespace veliso {
namespace {

TEST(LiquidControls, StartUpRecordGivesTheDefaultPositions) {
    const LiquidSliderPositions p = LiquidSlidersFor(LiquidState{});
    EXPECT_EQ(p.volume, 100);
    EXPECT_EQ(p.temperature, 273);
    EXPECT_EQ(p.red, 0);
    EXPECT_EQ(p.green, 153);
    EXPECT_EQ(p.blue, 255);
}

TEST(LiquidControls, PositionsRoundTripAndStayInRange) {
    LiquidState liquid;
    for (int volume = 50; volume <= 100; ++volume) {
        liquid.halfEdge = LiquidHalfEdge(volume);
        EXPECT_EQ(LiquidSlidersFor(liquid).volume, volume);
    }
    liquid.halfEdge = 0.5;  // 12.5 %
    liquid.temperature = 500.0;
    liquid.red = -0.2;
    liquid.green = 1.5;
    liquid.blue = 0.4;
    const LiquidSliderPositions p = LiquidSlidersFor(liquid);
    EXPECT_EQ(p.volume, 50);
    EXPECT_EQ(p.temperature, 373);
    EXPECT_EQ(p.red, 0);
    EXPECT_EQ(p.green, 255);
    EXPECT_EQ(p.blue, 102);
}

}  // namespace
}  // namespace veliso
