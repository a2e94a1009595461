// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/liquid/liquid_motion.h"

#include <cmath>
#include <cstdint>
#include <set>

#include <gtest/gtest.h>

namespace veliso {
namespace {

constexpr std::uint64_t kFixedSecond = 1765100000;

/// A liquid at its start-up defaults with a random source whose clock stands still.
class LiquidTest : public ::testing::Test {
  protected:
    LiquidTest() : random_([this] { return now_; }) {}

    /// Puts only particles 0 .. count-1 in play, at rest, on a cube of the given half-edge.
    void Place(int count, double halfEdge) {
        liquid_.count = count;
        liquid_.halfEdge = halfEdge;
        for (int p = 0; p < kLiquidSlots; ++p) {
            liquid_.vx[p] = liquid_.vy[p] = liquid_.vz[p] = 0.0;
        }
    }

    void ExpectCentre(int p, double x, double y, double z) const {
        EXPECT_DOUBLE_EQ(liquid_.x[p], x) << "particle " << p;
        EXPECT_DOUBLE_EQ(liquid_.y[p], y) << "particle " << p;
        EXPECT_DOUBLE_EQ(liquid_.z[p], z) << "particle " << p;
    }

    std::uint64_t now_ = kFixedSecond;
    RandomSource random_;
    LiquidState liquid_;
};

TEST_F(LiquidTest, VolumeGivesTheCubeRootHalfEdge) {
    EXPECT_DOUBLE_EQ(LiquidHalfEdge(100), 1.0);
    EXPECT_NEAR(LiquidHalfEdge(50), 0.7937005259840998, 1e-15);
    EXPECT_NEAR(LiquidHalfEdge(75), 0.9085602964160698, 1e-15);
}

TEST_F(LiquidTest, FullCubeStartsAsFourLayersOfTwentyFive) {
    InitLiquid(liquid_, random_);
    EXPECT_EQ(liquid_.count, 100);
    const double layers[] = {-0.85, -0.675, -0.5, -0.325};
    for (int p = 0; p < kLiquidSlots; ++p) {
        EXPECT_NEAR(liquid_.y[p], layers[p / 25], 1e-12) << "particle " << p;
    }
    EXPECT_DOUBLE_EQ(liquid_.x[0], -0.8);
    EXPECT_DOUBLE_EQ(liquid_.z[0], -0.8);
    EXPECT_DOUBLE_EQ(liquid_.y[0], -liquid_.limit());
    // Particle 7: column 2, row 1 of the bottom layer.
    EXPECT_NEAR(liquid_.x[7], -0.1, 1e-12);
    EXPECT_NEAR(liquid_.z[7], -0.45, 1e-12);
    // Particle 25 opens the second layer, shifted by 0.175 in x and z.
    EXPECT_NEAR(liquid_.x[25], -0.625, 1e-12);
    EXPECT_NEAR(liquid_.z[25], -0.625, 1e-12);
    // Particle 99: last column and row of the shifted top layer.
    EXPECT_NEAR(liquid_.x[99], 0.775, 1e-12);
    EXPECT_NEAR(liquid_.z[99], 0.775, 1e-12);
}

TEST_F(LiquidTest, SmallCubesUseFourPerRow) {
    liquid_.halfEdge = LiquidHalfEdge(50);
    InitLiquid(liquid_, random_);
    const double floor = 0.15 - liquid_.halfEdge;
    std::set<double> layerHeights(liquid_.y, liquid_.y + kLiquidSlots);
    EXPECT_EQ(layerHeights.size(), 7u);
    // Six layers of 16, then particles 96 .. 99 open a seventh (even, unshifted) layer.
    EXPECT_NEAR(liquid_.y[95], floor + 0.175 * 5, 1e-12);
    EXPECT_NEAR(liquid_.y[96], floor + 0.175 * 6, 1e-12);
    EXPECT_NEAR(liquid_.x[99], liquid_.x[3], 1e-12);
    EXPECT_NEAR(liquid_.z[99], liquid_.z[0], 1e-12);
    // Column 3 is the last of a row: particle 4 starts the next row.
    EXPECT_NEAR(liquid_.x[4], liquid_.x[0], 1e-12);
    EXPECT_NEAR(liquid_.z[4] - liquid_.z[0], 0.35, 1e-12);
}

TEST_F(LiquidTest, RowLengthChangesBetweenEightyAndEightyOnePercent) {
    liquid_.halfEdge = LiquidHalfEdge(80);
    InitLiquid(liquid_, random_);
    EXPECT_NEAR(liquid_.y[16] - liquid_.y[15], 0.175, 1e-12);  // 16 per layer

    liquid_.halfEdge = LiquidHalfEdge(81);
    InitLiquid(liquid_, random_);
    EXPECT_DOUBLE_EQ(liquid_.y[16], liquid_.y[15]);  // 25 per layer
    EXPECT_NEAR(liquid_.y[25] - liquid_.y[24], 0.175, 1e-12);
}

TEST_F(LiquidTest, VelocitiesComeFromTheClockSeededSource) {
    InitLiquid(liquid_, random_);
    // Seed 1765100000: the first 31-bit draws are 381723828, 997925430, 1748596417, ...
    // With s = 0.00005 * 273 = 0.01365 each component is s - s * (R mod 1001) * 0.002:
    // R mod 1001 = 486, 502, 568, 230, 839, 303.
    EXPECT_NEAR(liquid_.vx[0], 0.0003822, 1e-15);
    EXPECT_NEAR(liquid_.vy[0], -0.0000546, 1e-15);
    EXPECT_NEAR(liquid_.vz[0], -0.0018564, 1e-15);
    EXPECT_NEAR(liquid_.vx[1], 0.007371, 1e-15);
    EXPECT_NEAR(liquid_.vy[1], -0.0092547, 1e-15);
    EXPECT_NEAR(liquid_.vz[1], 0.0053781, 1e-15);
}

TEST_F(LiquidTest, VelocityComponentsAreEvenSteps) {
    for (double kelvin : {273.0, 373.0}) {
        liquid_.temperature = kelvin;
        DrawLiquidVelocities(liquid_, random_);
        const double s = 0.00005 * kelvin;
        for (const double* v : {liquid_.vx, liquid_.vy, liquid_.vz}) {
            for (int p = 0; p < kLiquidSlots; ++p) {
                ASSERT_GE(v[p], -s - 1e-15);
                ASSERT_LE(v[p], s + 1e-15);
                const double steps = (s - v[p]) / (0.002 * s);
                ASSERT_NEAR(steps, std::round(steps), 1e-6);
            }
        }
    }
}

TEST_F(LiquidTest, DrawsWithinOneSecondRepeatAndKeepPositions) {
    InitLiquid(liquid_, random_);
    const LiquidState first = liquid_;
    random_.Next31();  // whatever was drawn in between
    liquid_.x[5] = 0.123;
    DrawLiquidVelocities(liquid_, random_);
    for (int p = 0; p < kLiquidSlots; ++p) {
        ASSERT_EQ(liquid_.vx[p], first.vx[p]);
        ASSERT_EQ(liquid_.vy[p], first.vy[p]);
        ASSERT_EQ(liquid_.vz[p], first.vz[p]);
    }
    EXPECT_EQ(liquid_.x[5], 0.123);

    now_ += 1;
    DrawLiquidVelocities(liquid_, random_);
    EXPECT_NE(liquid_.vx[0], first.vx[0]);
}

TEST_F(LiquidTest, ContactWithAPartnerInsideTheBoundsPushesThePartner) {
    // Particle 0 moves and drifts, then pushes particle 1 away along their separation;
    // the two exchange velocities. Then particle 1 moves with particle 0's old velocity.
    Place(2, 1.0);
    liquid_.x[1] = 0.25;
    liquid_.vx[0] = 0.01;
    liquid_.vx[1] = -0.002;
    liquid_.vy[1] = 0.001;
    liquid_.vz[1] = 0.003;
    StepLiquid(liquid_);
    ExpectCentre(0, 0.01, -0.012, 0.0);  // at y = 0, |L - y| / L = 1: drift 0.012
    ExpectCentre(1, 0.3196257016633534, -0.008997652066386511, 0.0);
    EXPECT_EQ(liquid_.vx[0], -0.002);
    EXPECT_EQ(liquid_.vy[0], 0.001);
    EXPECT_EQ(liquid_.vz[0], 0.003);
    EXPECT_EQ(liquid_.vx[1], 0.01);
    EXPECT_EQ(liquid_.vy[1], 0.0);
}

TEST_F(LiquidTest, PartnerBeyondTheWallMakesTheParticleGiveWay) {
    // Both on the ceiling bound (no drift); particle 1 lies beyond x = L = 0.85.
    // d = 0.2, f = 0.5: x axis moves particle 0 back to 0.6 and lifts it to 0.865;
    // the y axis then pushes particle 1 by 0.5 * (0.85 - 0.865) to 0.8425, which then
    // drifts by 0.012 * sqrt(0.0075 / 0.85) on its own move.
    Place(2, 1.0);
    liquid_.x[0] = 0.7;
    liquid_.x[1] = 0.9;
    liquid_.y[0] = liquid_.y[1] = 0.85;
    StepLiquid(liquid_);
    ExpectCentre(0, 0.6, 0.865, 0.0);
    ExpectCentre(1, 0.9, 0.8413727962760468, 0.0);
}

TEST_F(LiquidTest, CoincidentCentresNeverPushEachOther) {
    Place(2, 1.0);
    for (int p = 0; p < 2; ++p) {
        liquid_.x[p] = 0.2;
        liquid_.y[p] = -liquid_.limit();  // on the floor: no drift
        liquid_.z[p] = -0.1;
    }
    StepLiquid(liquid_);
    ExpectCentre(0, 0.2, -liquid_.limit(), -0.1);
    ExpectCentre(1, 0.2, -liquid_.limit(), -0.1);
}

TEST_F(LiquidTest, DistantParticlesOnlyMoveAndDrift) {
    Place(2, 1.0);
    liquid_.x[0] = -0.5;
    liquid_.x[1] = 0.5;
    liquid_.y[0] = liquid_.y[1] = 0.425;  // |L - y| / L = 0.5
    liquid_.vz[1] = -0.003;
    StepLiquid(liquid_);
    const double drift = 0.012 * std::sqrt(0.5);
    EXPECT_DOUBLE_EQ(liquid_.y[0], 0.425 - drift);
    EXPECT_DOUBLE_EQ(liquid_.y[1], 0.425 - drift);
    EXPECT_DOUBLE_EQ(liquid_.z[1], -0.003);
    EXPECT_EQ(liquid_.vz[1], -0.003);
}

TEST_F(LiquidTest, LoweredVolumePutsParticlesOnTheNewWalls) {
    InitLiquid(liquid_, random_);
    liquid_.halfEdge = LiquidHalfEdge(50);
    const double bound = liquid_.limit();
    const LiquidState before = liquid_;
    for (int p = 0; p < liquid_.count; ++p) {
        ConfineLiquid(liquid_, p);
    }
    int moved = 0;
    for (int p = 0; p < kLiquidSlots; ++p) {
        const double* const positions[] = {before.x, before.y, before.z};
        const double* const velocities[] = {before.vx, before.vy, before.vz};
        const double* const nowPositions[] = {liquid_.x, liquid_.y, liquid_.z};
        const double* const nowVelocities[] = {liquid_.vx, liquid_.vy, liquid_.vz};
        for (int axis = 0; axis < 3; ++axis) {
            const double was = positions[axis][p];
            if (was <= -bound || was >= bound) {
                ++moved;
                EXPECT_EQ(nowPositions[axis][p], was < 0 ? -bound : bound);
                EXPECT_EQ(nowVelocities[axis][p], -velocities[axis][p]);
            } else {
                EXPECT_EQ(nowPositions[axis][p], was);
                EXPECT_EQ(nowVelocities[axis][p], velocities[axis][p]);
            }
        }
    }
    EXPECT_GT(moved, 40);  // the whole floor layer and the outer rows and columns
}

TEST_F(LiquidTest, WallTestsIncludeTheBoundItself) {
    Place(3, 1.0);
    liquid_.x[0] = 0.85;
    liquid_.vx[0] = 0.002;
    liquid_.z[1] = -0.85;
    liquid_.vz[1] = 0.001;
    liquid_.y[2] = 0.3;
    liquid_.vy[2] = 0.005;
    for (int p = 0; p < 3; ++p) {
        ConfineLiquid(liquid_, p);
    }
    EXPECT_EQ(liquid_.x[0], 0.85);
    EXPECT_EQ(liquid_.vx[0], -0.002);
    EXPECT_EQ(liquid_.z[1], -0.85);
    EXPECT_EQ(liquid_.vz[1], -0.001);
    EXPECT_EQ(liquid_.y[2], 0.3);
    EXPECT_EQ(liquid_.vy[2], 0.005);
    ConfineLiquid(liquid_, -1);  // out-of-range indices are ignored
    ConfineLiquid(liquid_, kLiquidSlots);
}

TEST_F(LiquidTest, FrameStepsUnlessPausedThenConfinesInPlay) {
    InitLiquid(liquid_, random_);
    liquid_.count = 60;
    for (bool paused : {false, true}) {
        liquid_.paused = paused;
        LiquidState expected = liquid_;
        if (!paused) {
            StepLiquid(expected);
        }
        for (int p = 0; p < 60; ++p) {
            ConfineLiquid(expected, p);
        }
        AdvanceLiquidFrame(liquid_);
        EXPECT_TRUE(liquid_ == expected) << (paused ? "paused" : "running");
    }
    // Paused, a particle resting on a wall keeps its place but has its velocity reversed
    // again at every frame: frames that are not drawn must still run.
    const double vy = liquid_.vy[0];
    ASSERT_EQ(liquid_.y[0], -liquid_.limit());
    AdvanceLiquidFrame(liquid_);
    EXPECT_EQ(liquid_.vy[0], -vy);
    EXPECT_EQ(liquid_.y[0], -liquid_.limit());
}

TEST_F(LiquidTest, LongRunStaysInsideTheCube) {
    InitLiquid(liquid_, random_);
    for (int step = 0; step < 10000; ++step) {
        if (step == 4000) {
            liquid_.halfEdge = LiquidHalfEdge(50);
        } else if (step == 7000) {
            liquid_.temperature = 373.0;
            DrawLiquidVelocities(liquid_, random_);
        }
        StepLiquid(liquid_);
        for (int p = 0; p < liquid_.count; ++p) {
            ConfineLiquid(liquid_, p);
        }
    }
    const double bound = liquid_.limit();
    for (int p = 0; p < kLiquidSlots; ++p) {
        for (double c : {liquid_.x[p], liquid_.y[p], liquid_.z[p]}) {
            ASSERT_FALSE(std::isnan(c)) << "particle " << p;
            ASSERT_GE(c, -bound) << "particle " << p;
            ASSERT_LE(c, bound) << "particle " << p;
        }
        ASSERT_LE(std::fabs(liquid_.vx[p]), 0.00005 * 373.0);
    }
}

TEST_F(LiquidTest, CountBeyondTheArraysIsKeptWithinThem) {
    InitLiquid(liquid_, random_);
    liquid_.count = 1000;
    StepLiquid(liquid_);  // must not run past slot 99 (checked by the sanitizer build)
    liquid_.count = -5;
    const LiquidState before = liquid_;
    StepLiquid(liquid_);
    EXPECT_EQ(liquid_.x[0], before.x[0]);
}

}  // namespace
}  // namespace veliso
