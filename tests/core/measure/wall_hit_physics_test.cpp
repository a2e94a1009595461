// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// The law the bench lets students find, checked on the real gas model: the wall-hit rate
// grows like √T and falls like 1/√m, because the particle speeds scale with √(T/m).

#include <gtest/gtest.h>

#include "core/gas/gas_controls.h"
#include "core/gas/gas_model.h"
#include "core/gas/gas_step.h"
#include "core/gas/gas_test_support.h"
#include "core/measure/fit.h"
#include "core/measure/measurement_log.h"

namespace veliso {
namespace {

// The animation's 40 steps per second.
constexpr int kStepsPerSecond = 40;

class WallHitPhysicsTest : public ::testing::Test {
  protected:
    RandomSource random{[] { return testing::kFixedSeconds; }};
    GasState gas;
    WallHitReadouts readouts;
    MeasurementLog log;

    void SetUp() override { InitGas(gas, random); }

    // What a student does with the bench: set the state, let the gas settle, then add a
    // row averaged over ten one-second readouts.
    void Measure() {
        for (int second = 0; second <= WallHitReadouts::kMaxSpan + 1; ++second) {
            for (int step = 0; step < kStepsPerSecond; ++step) {
                StepGas(gas, true);
            }
            readouts.Add(TakeWallHits(gas), ConditionsOf(gas));
        }
        const WallHitAverage average = readouts.Average(10, ConditionsOf(gas));
        ASSERT_EQ(average.readouts, 10);
        log.Add(TakeMeasurement(gas, average, ""));
    }

    double Exponent(Quantity x) {
        const FitResult fit = FitLaw(FitKind::Power, PlotPoints(log.rows(), x, Quantity::WallHits));
        EXPECT_TRUE(fit.ok) << fit.failure;
        EXPECT_GT(fit.r2.value_or(0), 0.98);
        return fit.b;
    }
};

TEST_F(WallHitPhysicsTest, HitsGrowAsTheSquareRootOfTheTemperature) {
    for (int t = 50; t <= 500; t += 50) {
        SetGasTemperature(gas, t, random);
        Measure();
    }
    EXPECT_NEAR(Exponent(Quantity::Temperature), 0.5, 0.1);
    // The same rows against √T: a straight line through the origin.
    const FitResult line = FitLaw(
        FitKind::Power, PlotPoints(log.rows(), Quantity::SqrtTemperature, Quantity::WallHits));
    EXPECT_NEAR(line.b, 1.0, 0.2);
}

TEST_F(WallHitPhysicsTest, HitsFallAsOneOverTheSquareRootOfTheMass) {
    for (int m = kGasMassMin; m <= kGasMassMax; ++m) {
        SetGasMass(gas, m, random);
        Measure();
    }
    EXPECT_NEAR(Exponent(Quantity::Mass), -0.5, 0.1);
}

}  // namespace
}  // namespace veliso
