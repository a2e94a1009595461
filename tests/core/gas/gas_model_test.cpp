// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/gas/gas_model.h"

#include <gtest/gtest.h>

#include <map>

#include "gas_test_support.h"

namespace veliso {
namespace {

using testing::kFixedSeconds;
using testing::Speed;

class GasModelTest : public ::testing::Test {
  protected:
    GasState gas;
    RandomSource random{[] { return kFixedSeconds; }};

    // Number of particles in play per speed class, read back from the speed table.
    std::map<int, int> ClassCounts() const {
        std::map<int, int> counts;
        for (int p = 0; p < gas.count; ++p) {
            ++counts[static_cast<int>(gas.speedTable[p] / 0.002 - 0.5)];
        }
        return counts;
    }
};

TEST_F(GasModelTest, StartsWithTheDefaultRecord) {
    EXPECT_NEAR(gas.radius, 0.0341995189335, 1e-12);
    EXPECT_NEAR(gas.contactDistanceSq, 0.00467842838114, 1e-14);
    EXPECT_NEAR(gas.limit(), 0.965800481066, 1e-12);
    EXPECT_EQ(gas.temperature, 298.0);
    EXPECT_EQ(gas.halfEdge, 1.0);
    EXPECT_EQ(gas.mass, 5);
    EXPECT_EQ(gas.count, 100);
    EXPECT_EQ(gas.green, 0.5);
    EXPECT_EQ(gas.view.angle, 40.0);
    EXPECT_EQ(gas.view.distance, 4.25);
}

TEST_F(GasModelTest, SpeedClassesAtTheDefaults) {
    EXPECT_EQ(BuildSpeedClasses(gas), 101);  // the 101st speed is discarded
    EXPECT_NEAR(gas.mbCurve[13], 0.0613882, 1e-7);
    double sum = 0.0;
    for (int k = 0; k < kGasClasses; ++k) {
        EXPECT_LE(gas.mbCurve[k], gas.mbCurve[13]);
        sum += gas.mbCurve[k];
    }
    EXPECT_NEAR(sum, 1.01046, 1e-5);

    const std::map<int, int> expected = {
        {2, 1},  {3, 2},  {4, 1},  {5, 3},  {6, 4},  {7, 4},  {8, 4},  {9, 6},  {10, 5}, {11, 6},
        {12, 6}, {13, 6}, {14, 6}, {15, 6}, {16, 6}, {17, 5}, {18, 5}, {19, 4}, {20, 3}, {21, 4},
        {22, 2}, {23, 3}, {24, 2}, {25, 1}, {26, 2}, {27, 1}, {28, 1}, {30, 1}};
    EXPECT_EQ(ClassCounts(), expected);
    // Class values are summed by steps of 0.2: v = 0.2 + 0.2 + 0.2 for class 2.
    EXPECT_DOUBLE_EQ(gas.speedTable[99], 0.006);
    EXPECT_DOUBLE_EQ(gas.speedTable[0], 0.062);
    for (int p = 1; p < 100; ++p) {
        EXPECT_LE(gas.speedTable[p], gas.speedTable[p - 1]);
    }
}

TEST_F(GasModelTest, ALoneParticleGetsTheClassWhereTheSumFirstPassesOneHalf) {
    gas.count = 1;
    EXPECT_EQ(BuildSpeedClasses(gas), 1);
    EXPECT_DOUBLE_EQ(gas.speedTable[0], 0.03);  // class 14, v = 3.0
}

TEST_F(GasModelTest, ColdHeavyGasCrowdsTheSlowestClasses) {
    gas.mass = 10;
    gas.temperature = 10.0;
    BuildSpeedClasses(gas);
    EXPECT_NEAR(gas.mbCurve[1], 0.459082, 1e-6);
    const std::map<int, int> expected = {{0, 30}, {1, 46}, {2, 21}, {3, 3}};
    EXPECT_EQ(ClassCounts(), expected);
}

TEST_F(GasModelTest, EveryParticleGetsASpeedOverTheSlidersRanges) {
    for (int m = 1; m <= 10; ++m) {
        for (int t = 10; t <= 500; ++t) {
            for (int n = 1; n <= 100; ++n) {
                gas.mass = m;
                gas.temperature = t;
                gas.count = n;
                const int handedOut = BuildSpeedClasses(gas);
                EXPECT_TRUE(handedOut == n || handedOut == n + 1)
                    << "m " << m << " T " << t << " N " << n << ": " << handedOut;
            }
        }
    }
}

TEST_F(GasModelTest, KeepSignsDrawsTwoMagnitudesPerParticleAndKeepsTheOctant) {
    for (int p = 0; p < kGasSlots; ++p) {
        gas.vx[p] = (p % 2 == 0) ? -1.0 : 1.0;
        gas.vy[p] = (p % 3 == 0) ? -1.0 : 0.0;
        gas.vz[p] = (p % 5 == 0) ? -1.0 : 1.0;
    }
    AssignSpeedsKeepSigns(gas, random);

    // Seed 1765100000: the first four 31-bit draws end in 828, 430, 417 and 097.
    const double s0 = gas.speedTable[0];
    EXPECT_EQ(gas.vx[0], -(828 * (0.001 * s0)));
    EXPECT_EQ(gas.vy[0], -(430 * (0.001 * std::sqrt(s0 * s0 - gas.vx[0] * gas.vx[0]))));
    const double s1 = gas.speedTable[1];
    EXPECT_EQ(gas.vx[1], 417 * (0.001 * s1));
    for (int p = 0; p < kGasSlots; ++p) {
        EXPECT_NEAR(Speed(gas, p), gas.speedTable[p], 1e-15);
        EXPECT_EQ(gas.vx[p] < 0, p % 2 == 0);
        EXPECT_EQ(gas.vy[p] < 0, p % 3 == 0);  // a component that was 0 comes out >= 0
        EXPECT_EQ(gas.vz[p] < 0, p % 5 == 0);
    }
}

TEST_F(GasModelTest, RandomSignsDrawFiveIntegersPerParticle) {
    AssignSpeedsRandomSigns(gas, random);
    // Draws 828 (even), 430 (even), 417 (odd), 097 (odd), 444 (even) for particle 0,
    // then 992 for the magnitude of vx of particle 1.
    const double s0 = gas.speedTable[0];
    EXPECT_EQ(gas.vx[0], 828 * (0.001 * s0));
    EXPECT_EQ(gas.vy[0], -(417 * (0.001 * std::sqrt(s0 * s0 - gas.vx[0] * gas.vx[0]))));
    EXPECT_GT(gas.vz[0], 0.0);
    EXPECT_EQ(std::abs(gas.vx[1]), 992 * (0.001 * gas.speedTable[1]));
    int negative = 0;
    for (int p = 0; p < kGasSlots; ++p) {
        EXPECT_NEAR(Speed(gas, p), gas.speedTable[p], 1e-15);
        negative += (gas.vx[p] < 0) + (gas.vy[p] < 0) + (gas.vz[p] < 0);
    }
    EXPECT_GT(negative, 100);
    EXPECT_LT(negative, 200);
}

TEST_F(GasModelTest, AssignmentsWithinOneSecondDrawTheSameMagnitudes) {
    std::uint64_t now = kFixedSeconds;
    random.SetClock([&now] { return now; });
    AssignSpeedsKeepSigns(gas, random);
    const GasState first = gas;
    AssignSpeedsKeepSigns(gas, random);
    for (int p = 0; p < kGasSlots; ++p) {
        EXPECT_EQ(gas.vx[p], first.vx[p]);
        EXPECT_EQ(gas.vy[p], first.vy[p]);
    }
    now += 1;
    AssignSpeedsKeepSigns(gas, random);
    EXPECT_NE(gas.vx[0], first.vx[0]);
}

TEST_F(GasModelTest, InitScattersOnTheGridBeforeTheFirstReseeding) {
    InitGas(gas, random);
    // Seed 1 at start: the first three draws are 310, 120 and 296 modulo 501.
    const double low = gas.radius - gas.halfEdge;
    EXPECT_EQ(gas.x[0], 310 * (0.004 * 1.0) + low);
    EXPECT_EQ(gas.y[0], 120 * (0.004 * 1.0) + low);
    EXPECT_EQ(gas.z[0], 296 * (0.004 * 1.0) + low);
    for (int p = 0; p < kGasSlots; ++p) {
        for (double c : {gas.x[p], gas.y[p], gas.z[p]}) {
            EXPECT_GE(c, low);
            EXPECT_LE(c, gas.radius + gas.halfEdge + 1e-12);
            const double steps = (c - low) / 0.004;
            EXPECT_NEAR(steps, std::round(steps), 1e-9);
        }
        EXPECT_NEAR(Speed(gas, p), gas.speedTable[p], 1e-15);
    }

    // Positions do not depend on the clock, only the velocities do.
    GasState other;
    RandomSource later([] { return kFixedSeconds + 7; });
    InitGas(other, later);
    for (int p = 0; p < kGasSlots; ++p) {
        EXPECT_EQ(other.x[p], gas.x[p]);
        EXPECT_EQ(other.z[p], gas.z[p]);
    }
    EXPECT_NE(other.vx[0], gas.vx[0]);
}

TEST_F(GasModelTest, RestartReleasesEveryParticleFromTheCorner) {
    InitGas(gas, random);
    gas.count = 70;
    RestartGas(gas, random);
    const double corner = -gas.limit();
    for (int p = 0; p < kGasSlots; ++p) {
        EXPECT_EQ(gas.x[p], corner);
        EXPECT_EQ(gas.y[p], corner);
        EXPECT_EQ(gas.z[p], corner);
        EXPECT_GE(gas.vx[p], 0.0);
        EXPECT_GE(gas.vy[p], 0.0);
        EXPECT_GE(gas.vz[p], 0.0);
        if (p < 70) {
            EXPECT_NEAR(Speed(gas, p), gas.speedTable[p], 1e-15);
            EXPECT_GT(Speed(gas, p), 0.0);
        } else {
            EXPECT_EQ(Speed(gas, p), 0.0);
        }
    }
}

TEST_F(GasModelTest, ParkingIgnoresSlotsOutsideTheRecord) {
    InitGas(gas, random);
    const GasState before = gas;
    ParkParticle(gas, -1);
    ParkParticle(gas, kGasSlots);
    for (int p = 0; p < kGasSlots; ++p) {
        EXPECT_EQ(gas.x[p], before.x[p]);
        EXPECT_EQ(gas.vz[p], before.vz[p]);
    }
    EXPECT_EQ(gas.mbCurve[0], before.mbCurve[0]);
    EXPECT_EQ(gas.view.angle, before.view.angle);
}

}  // namespace
}  // namespace veliso
