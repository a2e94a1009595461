// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/gas/gas_controls.h"

#include <gtest/gtest.h>

#include "core/gas/gas_model.h"
#include "core/gas/gas_step.h"
#include "gas_test_support.h"

namespace veliso {
namespace {

using testing::kFixedSeconds;
using testing::Speed;

// The gas as the program starts it, a few steps into its run.
class GasControlsTest : public ::testing::Test {
  protected:
    GasState gas;
    RandomSource random{[] { return kFixedSeconds; }};

    void SetUp() override {
        InitGas(gas, random);
        for (int i = 0; i < 10; ++i) {
            StepGas(gas, true);
        }
    }
    void ExpectParked(int p) const {
        const double corner = -gas.limit();
        EXPECT_EQ(gas.x[p], corner) << "slot " << p;
        EXPECT_EQ(gas.y[p], corner) << "slot " << p;
        EXPECT_EQ(gas.z[p], corner) << "slot " << p;
    }
};

TEST_F(GasControlsTest, CountParksAndReleasesTheRightSlots) {
    SetGasCount(gas, 40, random);
    EXPECT_EQ(gas.count, 40);
    EXPECT_EQ(gas.pressure, 40530.0);  // floor(40 * 340.017 * 298 / 100)
    const double keptX = gas.x[39];
    for (int p = 40; p < kGasSlots; ++p) {
        ExpectParked(p);
        EXPECT_EQ(Speed(gas, p), 0.0);
    }

    SetGasCount(gas, 60, random);
    EXPECT_EQ(gas.pressure, 60795.0);
    EXPECT_EQ(gas.x[39], keptX);
    for (int p = 40; p < 60; ++p) {
        ExpectParked(p);
        EXPECT_GE(gas.vx[p], 0.0);
        EXPECT_GE(gas.vy[p], 0.0);
        EXPECT_GE(gas.vz[p], 0.0);
        EXPECT_NEAR(Speed(gas, p), gas.speedTable[p], 1e-15);
        EXPECT_GT(Speed(gas, p), 0.0);
    }
    for (int p = 60; p < kGasSlots; ++p) {
        ExpectParked(p);
        EXPECT_EQ(Speed(gas, p), 0.0);
    }
}

TEST_F(GasControlsTest, TemperatureChangesSpeedsButKeepsSignsAndPlaces) {
    const GasState before = gas;
    SetGasTemperature(gas, 10, random);
    EXPECT_EQ(gas.temperature, 10.0);
    EXPECT_EQ(gas.pressure, 3400.0);
    for (int p = 0; p < gas.count; ++p) {
        EXPECT_EQ(gas.x[p], before.x[p]);
        EXPECT_EQ(gas.vx[p] < 0, before.vx[p] < 0);
        EXPECT_EQ(gas.vy[p] < 0, before.vy[p] < 0);
        EXPECT_EQ(gas.vz[p] < 0, before.vz[p] < 0);
        EXPECT_NEAR(Speed(gas, p), gas.speedTable[p], 1e-15);
        EXPECT_LE(gas.speedTable[p], 0.012);  // cold: classes 0 .. 5 at mass 5
    }
}

TEST_F(GasControlsTest, VolumeShrinksTheBoxOnly) {
    const GasState before = gas;
    SetGasVolume(gas, 10);
    EXPECT_EQ(gas.volumePercent, 10.0);
    EXPECT_NEAR(gas.halfEdge, 0.464158883361, 1e-12);
    EXPECT_EQ(gas.pressure, 1013250.0);
    for (int p = 0; p < kGasSlots; ++p) {
        EXPECT_EQ(gas.x[p], before.x[p]);
        EXPECT_EQ(gas.vy[p], before.vy[p]);
    }
    StepGas(gas, true);
    for (int p = 0; p < gas.count; ++p) {
        EXPECT_LE(std::abs(gas.x[p]), gas.limit());
        EXPECT_LE(std::abs(gas.y[p]), gas.limit());
        EXPECT_LE(std::abs(gas.z[p]), gas.limit());
    }
    SetGasVolume(gas, 100);
    EXPECT_EQ(gas.halfEdge, 1.0);
}

TEST_F(GasControlsTest, MassResizesParticlesAndLeavesThePressureAlone) {
    UpdatePressure(gas);
    SetGasMass(gas, 10, random);
    EXPECT_EQ(gas.mass, 10);
    EXPECT_NEAR(gas.radius, 0.0430886938006, 1e-12);
    EXPECT_NEAR(gas.contactDistanceSq, 0.00742654213378, 1e-14);
    EXPECT_EQ(gas.pressure, 101325.0);
    EXPECT_NEAR(Speed(gas, 0), gas.speedTable[0], 1e-15);
    SetGasMass(gas, 5, random);
    EXPECT_EQ(gas.radius, GasState{}.radius);
}

TEST_F(GasControlsTest, SettersKeepWithinTheSlidersRanges) {
    SetGasCount(gas, 0, random);
    EXPECT_EQ(gas.count, 1);
    SetGasCount(gas, 250, random);
    EXPECT_EQ(gas.count, 100);
    SetGasTemperature(gas, 0, random);
    EXPECT_EQ(gas.temperature, 10.0);
    SetGasVolume(gas, 1000);
    EXPECT_EQ(gas.volumePercent, 100.0);
    SetGasMass(gas, -3, random);
    EXPECT_EQ(gas.mass, 1);
}

TEST_F(GasControlsTest, StartIsRefusedWhilePaused) {
    EXPECT_TRUE(ToggleGasPause(gas));
    const double x0 = gas.x[0];
    EXPECT_FALSE(PressGasStart(gas, random));
    EXPECT_EQ(gas.x[0], x0);
    EXPECT_FALSE(ToggleGasPause(gas));
    EXPECT_TRUE(PressGasStart(gas, random));
    ExpectParked(0);
    ExpectParked(99);
}

}  // namespace
}  // namespace veliso
