// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/fit.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace veliso {
namespace {

// Three points worked by hand: Σx = 6, Σy = 12, Σx² = 14, Σxy = 29, Σy² = 62.
const std::vector<PlotPoint> kThree = {{1, 2}, {2, 3}, {3, 7}};

TEST(FitTest, ProportionalAndAffineMatchHandWorkedSums) {
    const FitResult p = FitLaw(FitKind::Proportional, kThree);
    ASSERT_TRUE(p.ok) << p.failure;
    EXPECT_DOUBLE_EQ(p.a, 29.0 / 14.0);
    EXPECT_EQ(p.b, 0.0);
    // Residual Σy² − a·Σxy = 62 − 841/14, about the origin.
    ASSERT_TRUE(p.r2.has_value());
    EXPECT_NEAR(*p.r2, 1.0 - (62.0 - 841.0 / 14.0) / 62.0, 1e-12);
    EXPECT_DOUBLE_EQ(p.At(4), 4 * 29.0 / 14.0);

    // x̄ = 2, ȳ = 4, Sxx = 2, Sxy = 5, Syy = 14: a = 2.5, b = −1, R² = 1 − 1.5 / 14.
    const FitResult f = FitLaw(FitKind::Affine, kThree);
    ASSERT_TRUE(f.ok) << f.failure;
    EXPECT_DOUBLE_EQ(f.a, 2.5);
    EXPECT_DOUBLE_EQ(f.b, -1.0);
    EXPECT_NEAR(*f.r2, 1.0 - 1.5 / 14.0, 1e-12);
    EXPECT_DOUBLE_EQ(f.At(0), -1.0);
}

TEST(FitTest, PowerLawIsTheLineOfTheLogarithms) {
    // y = 3 / √x exactly.
    const FitResult exact = FitLaw(FitKind::Power, {{1, 3}, {4, 1.5}, {9, 1}});
    ASSERT_TRUE(exact.ok) << exact.failure;
    EXPECT_NEAR(exact.a, 3.0, 1e-12);
    EXPECT_NEAR(exact.b, -0.5, 1e-12);
    EXPECT_NEAR(*exact.r2, 1.0, 1e-12);
    EXPECT_NEAR(exact.At(16), 0.75, 1e-12);

    // ln x = 0, L, 2L and ln y = 0, L, L with L = ln 2: slope 1/2, intercept L/6 and
    // R² = 1 − (L²/6) / (2L²/3) = 3/4, worked by hand.
    const FitResult rough = FitLaw(FitKind::Power, {{1, 1}, {2, 2}, {4, 2}});
    ASSERT_TRUE(rough.ok);
    EXPECT_NEAR(rough.b, 0.5, 1e-12);
    EXPECT_NEAR(rough.a, std::pow(2.0, 1.0 / 6.0), 1e-12);
    EXPECT_NEAR(*rough.r2, 0.75, 1e-12);
}

TEST(FitTest, DegenerateInputIsRefusedWithAReasonNeverANumber) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        FitKind kind;
        std::vector<PlotPoint> points;
    } cases[] = {
        {FitKind::Proportional, {}},
        {FitKind::Affine, {{2, 5}}},
        {FitKind::Affine, {{2, 5}, {2, 7}, {2, 9}}},
        {FitKind::Proportional, {{3, 5}, {3, 6}}},
        {FitKind::Power, {{0, 5}, {2, 7}}},
        {FitKind::Power, {{1, 5}, {2, -7}}},
        {FitKind::Power, {{1, 0}, {2, 7}}},
        {FitKind::Affine, {{1, nan}, {2, 7}}},
        // Sums beyond the largest double.
        {FitKind::Affine, {{0, 1e308}, {1, -1e308}}},
    };
    for (const Case& c : cases) {
        const FitResult r = FitLaw(c.kind, c.points);
        EXPECT_FALSE(r.ok) << FitName(c.kind) << " " << c.points.size();
        EXPECT_EQ(r.failure.rfind("ajustement impossible : ", 0), 0u) << r.failure;
        EXPECT_GT(r.failure.size(), 30u);
    }
}

TEST(FitTest, HugeOrTinyValuesFitLikeTheSameDataInPlainUnits) {
    // Σy² of the first case overflows unscaled; R² = (Σxy)² / (Σx² Σy²) = 6.5² / (14 · 3.77).
    const std::vector<PlotPoint> plain = {{1, 1}, {2, 1.4}, {3, 0.9}};
    const FitResult reference = FitLaw(FitKind::Proportional, plain);
    EXPECT_NEAR(*reference.r2, 6.5 * 6.5 / (14 * 3.77), 1e-15);
    struct Case {
        double x, y;  // units of the points: x·plain.x, y·plain.y
    } cases[] = {{1, 1e154},
                 {1, 1e160},
                 {1, 1e300},
                 {1e300, 1e300},
                 {1e-300, 1e-300},
                 {1e-300, 1e-10},
                 {std::ldexp(1.0, -1070), 1e-300},
                 {1e150, 1e-150}};
    for (const FitKind kind : {FitKind::Proportional, FitKind::Affine, FitKind::Power}) {
        const FitResult unit = FitLaw(kind, plain);
        for (const Case& c : cases) {
            std::vector<PlotPoint> points;
            for (const PlotPoint& p : plain) {
                points.push_back({p.x * c.x, p.y * c.y});
            }
            const FitResult r = FitLaw(kind, points);
            // The power law's a is unit.a · y / x^b: beyond a double, the fit says so.
            if (kind == FitKind::Power &&
                std::log(unit.a) + std::log(c.y) - unit.b * std::log(c.x) > std::log(DBL_MAX)) {
                EXPECT_NE(r.failure.find("hors de portée"), std::string::npos) << c.x;
                continue;
            }
            ASSERT_TRUE(r.ok && r.r2) << FitName(kind) << " " << c.x << " " << c.y;
            EXPECT_NEAR(*r.r2, *unit.r2, 1e-12) << FitName(kind) << " " << c.x << " " << c.y;
            if (kind == FitKind::Power) {
                EXPECT_NEAR(r.b, unit.b, 1e-12);
            } else {
                EXPECT_NEAR(r.a / (unit.a * (c.y / c.x)), 1, 1e-12);
                EXPECT_NEAR(r.b / c.y, unit.b, 1e-12);
            }
        }
    }
}

TEST(FitTest, RSquaredIsUndefinedWhenYDoesNotVary) {
    // The pressure against the mass: the same at every mass, a flat line fits exactly.
    const FitResult flat = FitLaw(FitKind::Affine, {{1, 101325}, {5, 101325}, {10, 101325}});
    ASSERT_TRUE(flat.ok);
    EXPECT_DOUBLE_EQ(flat.a, 0.0);
    EXPECT_DOUBLE_EQ(flat.b, 101325.0);
    EXPECT_FALSE(flat.r2.has_value());
    const FitResult zeros = FitLaw(FitKind::Proportional, {{1, 0}, {2, 0}});
    ASSERT_TRUE(zeros.ok);
    EXPECT_EQ(zeros.a, 0.0);
    EXPECT_FALSE(zeros.r2.has_value());
    const FitResult flatPower = FitLaw(FitKind::Power, {{1, 4}, {2, 4}});
    ASSERT_TRUE(flatPower.ok);
    EXPECT_NEAR(flatPower.b, 0.0, 1e-15);
    EXPECT_FALSE(flatPower.r2.has_value());
}

TEST(NiceScaleTest, RoundStepsWithRoomAtTheTop) {
    struct Case {
        double low, high;
        AxisScale expected;
    } cases[] = {
        {0, 500, {0, 600, 100}},  // 510 / 6 = 85: steps of 100
        {0, 124, {0, 150, 25}},   // wall hits
        {0, 1700085, {0, 2000000, 500000}},
        {0, 0.1, {0, 0.12, 0.02}},  // 1/V in 1/%
        {10, 10, {9, 11.5, 0.5}},   // one value: widened around it
        {0, 0, {-1, 1.5, 0.5}},
    };
    for (const Case& c : cases) {
        const AxisScale s = NiceScale(c.low, c.high);
        EXPECT_NEAR(s.low, c.expected.low, 1e-9) << c.high;
        EXPECT_NEAR(s.high, c.expected.high, 1e-9) << c.high;
        EXPECT_NEAR(s.step, c.expected.step, 1e-12) << c.high;
        EXPECT_LE(s.intervals(), 6);
        EXPECT_GE(s.high, c.high);
    }
}

TEST(NiceScaleTest, FiniteEndsAroundTheValuesWithTwoToEightIntervalsForAnyFiniteInput) {
    auto expectGood = [](double low, double high) {
        const AxisScale s = NiceScale(low, high);
        const std::string at = std::to_string(low) + " … " + std::to_string(high);
        EXPECT_TRUE(std::isfinite(s.low) && std::isfinite(s.high)) << at;
        EXPECT_GT(s.step, 0) << at;
        EXPECT_LE(s.low, std::min(low, high)) << at;
        EXPECT_GE(s.high, std::max(low, high)) << at;
        EXPECT_GE(s.intervals(), 2) << at;
        EXPECT_LE(s.intervals(), 8) << at;
        return s;
    };
    const double cases[][2] = {
        {0, DBL_TRUE_MIN},
        {0, 1.47e308},
        {0, DBL_MAX},
        {-DBL_MAX, DBL_MAX},
        {-1e308, 1e308},
        {DBL_MAX, DBL_MAX},
        {-DBL_MAX, -DBL_MAX},
        {DBL_MAX, -DBL_MAX},
        {1, 1 + DBL_EPSILON},
        {1e300, 1e300 + 1e285},
        {-DBL_TRUE_MIN, 0},
        {DBL_MIN, DBL_MIN},
        {5, 3},
        {1.7, 2.2},  // 1.7 / 0.1 rounds to 17, and 17 · 0.1 > 1.7
    };
    for (const auto& c : cases) {
        expectGood(c[0], c[1]);
    }
    EXPECT_EQ(expectGood(1.7, 2.2).low, 1.6000000000000001);
    // Every kind of double, by random bit patterns.
    std::mt19937_64 random(20261207);
    auto anyDouble = [&random] {
        double value;
        do {
            const std::uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
        } while (!std::isfinite(value));
        return value;
    };
    for (int n = 0; n < 20000; ++n) {
        expectGood(anyDouble(), anyDouble());
        const double v = anyDouble();
        expectGood(v, std::nextafter(v, DBL_MAX));
    }
}

}  // namespace
}  // namespace veliso
