// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/colour.h"

#include <gtest/gtest.h>

namespace veliso {
namespace {

TEST(ColourFromSlider, EndsOfTheSlider) {
    EXPECT_EQ(ColourFromSlider(0), 0.0);
    EXPECT_EQ(ColourFromSlider(255), 1.0);
    EXPECT_NEAR(ColourFromSlider(255), 1.0, 1e-15);
    EXPECT_DOUBLE_EQ(ColourFromSlider(255), 1.0);
}

TEST(ColourFromSlider, StepsAreOne255th) {
    // The start-up and preset positions of the three tabs.
    EXPECT_DOUBLE_EQ(ColourFromSlider(153), 0.6);
    EXPECT_DOUBLE_EQ(ColourFromSlider(51), 0.2);
    EXPECT_EQ(ColourFromSlider(179), 0.7019607843137254);
    EXPECT_EQ(ColourFromSlider(204), 0.8);
    EXPECT_NEAR(ColourFromSlider(127), 0.498039215686, 1e-12);
}

}  // namespace
}  // namespace veliso
