// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/solid/solid_controls.h"

#include <gtest/gtest.h>

namespace veliso {
namespace {

TEST(SolidControls, AmplitudeFromTheTemperatureSlider) {
    EXPECT_EQ(SolidAmplitudeAt(0), 0.0);
    EXPECT_EQ(SolidAmplitudeAt(273), 0.002);
    EXPECT_EQ(SolidAmplitudeAt(300), 0.002197802197802198);
}

TEST(SolidControls, HcpCellFillIsIdempotent) {
    SolidState solid;
    EXPECT_EQ(solid.hcpCellSites.y[0], 0.0);
    FillHcpCellSites(solid);
    const SolidState once = solid;
    FillHcpCellSites(solid);
    for (int i = 0; i < kSolidSiteCapacity; ++i) {
        EXPECT_EQ(solid.hcpCellSites.x[i], once.hcpCellSites.x[i]);
        EXPECT_EQ(solid.hcpCellSites.y[i], once.hcpCellSites.y[i]);
        EXPECT_EQ(solid.hcpCellSites.z[i], once.hcpCellSites.z[i]);
    }
    // Spot checks against the table: hexagon corners, centres, the middle triangle.
    EXPECT_EQ(solid.hcpCellSites.x[0], -0.5);
    EXPECT_EQ(solid.hcpCellSites.z[0], 0.866);
    EXPECT_EQ(solid.hcpCellSites.y[3], 0.75);
    EXPECT_EQ(solid.hcpCellSites.z[7], 0.577);
    EXPECT_EQ(solid.hcpCellSites.z[8], -0.289);
    EXPECT_EQ(solid.hcpCellSites.x[12], -1.0);
    EXPECT_EQ(solid.hcpCellSites.y[16], -0.75);
    EXPECT_EQ(solid.hcpCellSites.z[16], -0.866);
    // Nothing beyond the 17 sites is written.
    EXPECT_EQ(solid.hcpCellSites.y[17], 0.0);
    // The rest of the record is untouched.
    EXPECT_EQ(solid.red, 0.7);
    EXPECT_EQ(solid.view.angle, 20.0);
}

}  // namespace
}  // namespace veliso
