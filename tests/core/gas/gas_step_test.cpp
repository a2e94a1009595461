// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/gas/gas_step.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/gas/gas_controls.h"
#include "core/gas/gas_model.h"
#include "gas_test_support.h"

namespace veliso {
namespace {

using testing::kFixedSeconds;
using testing::Speed;

// A gas with the default box and particle size whose particles are placed by hand.
class GasStepTest : public ::testing::Test {
  protected:
    GasState gas;
    double limit = gas.limit();

    void Place(int p, double x, double y, double z, double vx = 0, double vy = 0, double vz = 0) {
        gas.x[p] = x;
        gas.y[p] = y;
        gas.z[p] = z;
        gas.vx[p] = vx;
        gas.vy[p] = vy;
        gas.vz[p] = vz;
    }
    double Distance(int i, int j) const {
        const double dx = gas.x[i] - gas.x[j];
        const double dy = gas.y[i] - gas.y[j];
        const double dz = gas.z[i] - gas.z[j];
        return std::sqrt(dx * dx + dy * dy + dz * dz);
    }
};

TEST_F(GasStepTest, AParticleBeyondAWallIsPutOnItAndReflected) {
    gas.count = 1;
    Place(0, -limit + 0.001, 0.2, -0.3, -0.005, 0.0, 0.0);
    EXPECT_TRUE(StepGas(gas, true));
    EXPECT_EQ(gas.x[0], -limit);
    EXPECT_EQ(gas.vx[0], 0.005);
    EXPECT_EQ(gas.wallHits, 1);
    EXPECT_FALSE(gas.stepping);
}

TEST_F(GasStepTest, ACornerCountsThreeHits) {
    gas.count = 1;
    Place(0, limit - 0.001, limit - 0.002, -limit + 0.001, 0.004, 0.003, -0.002);
    StepGas(gas, true);
    EXPECT_EQ(gas.x[0], limit);
    EXPECT_EQ(gas.y[0], limit);
    EXPECT_EQ(gas.z[0], -limit);
    EXPECT_EQ(gas.vx[0], -0.004);
    EXPECT_EQ(gas.vy[0], -0.003);
    EXPECT_EQ(gas.vz[0], 0.002);
    EXPECT_EQ(gas.wallHits, 3);
}

TEST_F(GasStepTest, AParticleAtRestOnTheBoundCountsAHitAtEveryStep) {
    gas.count = 1;
    Place(0, 0.0, limit, 0.0);
    for (int i = 0; i < 5; ++i) {
        StepGas(gas, true);
    }
    EXPECT_EQ(gas.y[0], limit);
    EXPECT_EQ(gas.wallHits, 5);
}

TEST_F(GasStepTest, ShrinkingTheBoxPutsOutsideParticlesOnTheNewWall) {
    gas.count = 1;
    Place(0, 0.9, 0.0, 0.0, 0.001, 0.0, 0.0);
    gas.halfEdge = std::pow(0.1, 1.0 / 3.0);
    StepGas(gas, true);
    EXPECT_NEAR(gas.x[0], 0.429959364428, 1e-12);
    EXPECT_EQ(gas.vx[0], -0.001);
    EXPECT_EQ(gas.wallHits, 1);
}

TEST_F(GasStepTest, TouchingParticlesArePushedToContactAndExchangeVelocities) {
    gas.count = 2;
    const double d = 0.9 * 2 * gas.radius;
    const double u = d / std::sqrt(3.0);  // along the space diagonal
    Place(0, 0.1, 0.1, 0.1, 0.001, 0.0, 0.0);
    Place(1, 0.1 + u, 0.1 - u, 0.1 + u, 0.0, -0.002, 0.003);
    StepGas(gas, true);
    // Particle 0 stayed and moved by particle 1's old velocity, and the other way round.
    EXPECT_EQ(gas.x[0], 0.1);
    EXPECT_EQ(gas.y[0], 0.1 + -0.002);
    EXPECT_EQ(gas.z[0], 0.1 + 0.003);
    EXPECT_EQ(gas.vx[1], 0.001);
    EXPECT_EQ(gas.vy[0], -0.002);
    // Undo the motion to find where the pair pass left particle 1.
    Place(0, 0.1, 0.1, 0.1);
    gas.x[1] -= 0.001;
    EXPECT_NEAR(Distance(0, 1), 2 * gas.radius, 1e-15);
    EXPECT_NEAR((gas.x[1] - 0.1) / (0.1 - gas.y[1]), 1.0, 1e-12);  // same line of centres
}

TEST_F(GasStepTest, OnlyAxesStrictlyInsideTheBoundArePushed) {
    gas.count = 2;
    gas.paused = true;
    Place(0, limit - 0.03, 0.0, 0.0);
    Place(1, limit, 0.02, 0.0);
    StepGas(gas, true);
    EXPECT_EQ(gas.x[1], limit);
    // d = sqrt(0.03² + 0.02²); only y moves: 0.02 + (2r - d) / d * 0.02.
    const double dist = std::sqrt(0.03 * 0.03 + 0.02 * 0.02);
    EXPECT_NEAR(gas.y[1], 0.02 + (2 * gas.radius - dist) / dist * 0.02, 1e-15);
    EXPECT_EQ(gas.x[0], limit - 0.03);
}

TEST_F(GasStepTest, CoincidentCentresExchangeButAreNotPushed) {
    gas.count = 2;
    Place(0, 0.5, 0.5, 0.5, 0.001, 0.002, 0.003);
    Place(1, 0.5, 0.5, 0.5, -0.004, 0.0, 0.0);
    StepGas(gas, true);
    EXPECT_EQ(gas.x[0], 0.5 - 0.004);
    EXPECT_EQ(gas.y[0], 0.5);
    EXPECT_EQ(gas.x[1], 0.5 + 0.001);
    EXPECT_EQ(gas.z[1], 0.5 + 0.003);
}

TEST_F(GasStepTest, PausedGasOnlyPushesOverlappingPairs) {
    gas.count = 3;
    gas.paused = true;
    Place(0, 0.0, 0.0, 0.0, 0.001, 0.0, 0.0);
    Place(1, 0.03, 0.0, 0.0, 0.0, 0.002, 0.0);
    Place(2, 0.0, limit, 0.5, 0.0, 0.0, 0.0);  // at rest on a wall
    for (int i = 0; i < 4; ++i) {
        StepGas(gas, true);
    }
    EXPECT_EQ(gas.x[0], 0.0);
    EXPECT_NEAR(gas.x[1], 2 * gas.radius, 1e-15);
    EXPECT_EQ(gas.vx[0], 0.001);
    EXPECT_EQ(gas.vy[1], 0.002);
    EXPECT_EQ(gas.y[2], limit);
    EXPECT_EQ(gas.wallHits, 0);
}

TEST_F(GasStepTest, NoStepWhileHiddenOrAlreadyStepping) {
    gas.count = 1;
    Place(0, 0.0, 0.0, 0.0, 0.001, 0.0, 0.0);
    EXPECT_FALSE(StepGas(gas, false));
    EXPECT_EQ(gas.x[0], 0.0);
    gas.stepping = true;
    EXPECT_FALSE(StepGas(gas, true));
    EXPECT_EQ(gas.x[0], 0.0);
    EXPECT_TRUE(gas.stepping);
}

TEST_F(GasStepTest, ManyStepsKeepTheMultisetOfSpeeds) {
    RandomSource random([] { return kFixedSeconds; });
    InitGas(gas, random);
    auto sortedSpeeds = [this] {
        std::vector<double> speeds;
        for (int p = 0; p < gas.count; ++p) {
            speeds.push_back(Speed(gas, p));
        }
        std::sort(speeds.begin(), speeds.end());
        return speeds;
    };
    const std::vector<double> before = sortedSpeeds();
    for (int i = 0; i < 2000; ++i) {
        StepGas(gas, true);
    }
    const std::vector<double> after = sortedSpeeds();
    EXPECT_GT(gas.wallHits, 1000);
    for (int p = 0; p < gas.count; ++p) {
        EXPECT_EQ(after[p], before[p]);
        EXPECT_GE(gas.x[p], -limit);
        EXPECT_LE(gas.z[p], limit);
    }
}

// A long run in which the user keeps changing the gas: after every wall pass each centre in
// play lies within the bound, nothing is NaN, and the speeds in play are always the ones the
// last assignment handed out (collisions only exchange and reflect them).
TEST(GasLongRun, ControlsChangedAlongTheWayKeepTheGasSound) {
    GasState gas;
    RandomSource random([] { return kFixedSeconds; });
    InitGas(gas, random);

    struct Change {
        int volume, mass, count, temperature;
    };
    const Change changes[] = {{10, 10, 100, 500}, {55, 1, 37, 10},   {100, 7, 1, 298},
                              {23, 3, 100, 120},  {80, 10, 64, 500}, {10, 1, 100, 10},
                              {100, 5, 100, 298}, {40, 8, 12, 450},  {66, 2, 99, 33},
                              {15, 6, 50, 250}};

    auto expectSpeedsFromTable = [&gas](int step) {
        std::vector<double> live, table;
        for (int p = 0; p < gas.count; ++p) {
            live.push_back(Speed(gas, p));
            table.push_back(gas.speedTable[p]);
        }
        std::sort(live.begin(), live.end());
        std::sort(table.begin(), table.end());
        for (size_t k = 0; k < live.size(); ++k) {
            ASSERT_NEAR(live[k], table[k], 1e-15) << "step " << step;
        }
    };

    int step = 0;
    for (const Change& change : changes) {
        SetGasVolume(gas, change.volume);
        SetGasMass(gas, change.mass, random);
        SetGasCount(gas, change.count, random);
        SetGasTemperature(gas, change.temperature, random);
        expectSpeedsFromTable(step);
        for (int i = 0; i < 10000; ++i, ++step) {
            ASSERT_TRUE(StepGas(gas, true));
            const double bound = gas.limit();
            for (int p = 0; p < gas.count; ++p) {
                for (double c : {gas.x[p], gas.y[p], gas.z[p]}) {
                    ASSERT_FALSE(std::isnan(c)) << "step " << step;
                    ASSERT_GE(c, -bound) << "step " << step;
                    ASSERT_LE(c, bound) << "step " << step;
                }
            }
        }
        expectSpeedsFromTable(step);
    }
    EXPECT_EQ(step, 100000);
}

TEST(GasPressure, IdealGasLawOverTheSlidersRanges) {
    GasState gas;
    EXPECT_EQ(UpdatePressure(gas), 101325.0);
    EXPECT_EQ(gas.pressure, 101325.0);
    gas.count = 1;
    gas.temperature = 10.0;
    EXPECT_EQ(UpdatePressure(gas), 34.0);
    gas.count = 100;
    EXPECT_EQ(UpdatePressure(gas), 3400.0);
    gas.temperature = 500.0;
    gas.volumePercent = 10.0;
    EXPECT_EQ(UpdatePressure(gas), 1700085.0);
    EXPECT_EQ(gas.pressure, kGasPressureBarMaximum);
    gas.temperature = 298.0;
    EXPECT_EQ(UpdatePressure(gas), 1013250.0);
}

TEST(GasWallHits, ReadoutResetsTheCount) {
    GasState gas;
    gas.wallHits = 17;
    EXPECT_EQ(TakeWallHits(gas), 17);
    EXPECT_EQ(gas.wallHits, 0);
}

}  // namespace
}  // namespace veliso
