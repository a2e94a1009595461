// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/liquid/liquid_motion.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace veliso {

namespace {

/// Centre distance at which two particles touch (two radii).
constexpr double kContact = 2.0 * kLiquidRadius;
/// Lift given to a particle that has to give way to a partner stuck beyond a wall.
constexpr double kLift = 0.015;
/// Downward drift per step, scaled by sqrt(|L - y| / L): 0 at the ceiling bound.
constexpr double kDrift = 0.012;

/// Slots that the step, the wall pass and the scene run over: count, kept within the
/// arrays' capacity so that a damaged count can never index past them.
int SlotsInUse(const LiquidState& liquid) {
    return std::clamp(liquid.count, 0, kLiquidSlots);
}

bool WithinBound(double coordinate, double bound) {
    return -bound <= coordinate && coordinate <= bound;
}

/// One velocity component: s - s * (R mod 1001) * 0.002, in [-s, s].
double DrawComponent(double scale, RandomSource& random) {
    const int r = random.Next31() % 1001;
    return scale - scale * r * 0.002;
}

/// Walls of one axis: at or below -L, then at or above +L, reversing the velocity.
void ConfineAxis(double& coordinate, double& velocity, double bound) {
    if (coordinate <= -bound) {
        velocity = -velocity;
        coordinate = -bound;
    }
    if (coordinate >= bound) {
        velocity = -velocity;
        coordinate = bound;
    }
}

}  // namespace

double LiquidHalfEdge(int volumePercent) {
    return std::pow(volumePercent * 0.01, 1.0 / 3.0);
}

void InitLiquid(LiquidState& liquid, RandomSource& random) {
    std::fill(std::begin(liquid.vx), std::end(liquid.vx), 0.0);
    std::fill(std::begin(liquid.vy), std::end(liquid.vy), 0.0);
    std::fill(std::begin(liquid.vz), std::end(liquid.vz), 0.0);

    const double h = liquid.halfEdge;
    // 2.857142857142857 = 1 / 0.35, the spacing of rows and columns. The volume slider keeps
    // n at 4 or 5; at least one per row keeps the layout defined for any half-edge.
    const int perRow = std::max(1, static_cast<int>((2.0 * h - 0.11) * 2.857142857142857));
    liquid.count = kLiquidSlots;

    for (int p = 0; p < kLiquidSlots; ++p) {
        const int column = p % perRow;
        const int row = (p / perRow) % perRow;
        const int layer = p / (perRow * perRow);
        const int shift = layer % 2;
        liquid.x[p] = 0.175 * shift + (0.2 - h) + 0.35 * column;
        liquid.z[p] = 0.175 * shift + (0.2 - h) + 0.35 * row;
        liquid.y[p] = (0.15 - h) + 0.175 * layer;
    }

    DrawLiquidVelocities(liquid, random);
}

void DrawLiquidVelocities(LiquidState& liquid, RandomSource& random) {
    const double scale = 0.00005 * liquid.temperature;
    random.ReseedFromClock();
    for (int p = 0; p < kLiquidSlots; ++p) {
        liquid.vx[p] = DrawComponent(scale, random);
        liquid.vy[p] = DrawComponent(scale, random);
        liquid.vz[p] = DrawComponent(scale, random);
    }
}

void StepLiquid(LiquidState& liquid) {
    const double bound = liquid.limit();
    const int slots = SlotsInUse(liquid);
    double* const x = liquid.x;
    double* const y = liquid.y;
    double* const z = liquid.z;

    for (int i = 0; i < slots; ++i) {
        x[i] += liquid.vx[i];
        y[i] += liquid.vy[i];
        if (y[i] > -bound) {
            y[i] -= kDrift * std::sqrt(std::fabs(bound - y[i]) / bound);
        }
        z[i] += liquid.vz[i];

        for (int j = 0; j < slots; ++j) {
            if (j == i) {
                continue;
            }
            const double dx = x[i] - x[j];
            const double dy = y[i] - y[j];
            const double dz = z[i] - z[j];
            const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
            if (d > kContact || d == 0.0) {
                continue;
            }
            const double f = (kContact - d) / d;

            if (WithinBound(x[j], bound)) {
                x[j] += f * (x[j] - x[i]);
            } else {
                x[i] += f * (x[i] - x[j]);
                y[i] += kLift;
            }
            if (WithinBound(y[j], bound)) {
                y[j] += f * (y[j] - y[i]);
            } else {
                y[i] += kLift;
            }
            if (WithinBound(z[j], bound)) {
                z[j] += f * (z[j] - z[i]);
            } else {
                z[i] += f * (z[i] - z[j]);
                y[i] += kLift;
            }

            std::swap(liquid.vx[i], liquid.vx[j]);
            std::swap(liquid.vy[i], liquid.vy[j]);
            std::swap(liquid.vz[i], liquid.vz[j]);
        }
    }
}

void ConfineLiquid(LiquidState& liquid, int particle) {
    if (particle < 0 || particle >= kLiquidSlots) {
        return;
    }
    const double bound = liquid.limit();
    ConfineAxis(liquid.x[particle], liquid.vx[particle], bound);
    ConfineAxis(liquid.y[particle], liquid.vy[particle], bound);
    ConfineAxis(liquid.z[particle], liquid.vz[particle], bound);
}

void AdvanceLiquidFrame(LiquidState& liquid) {
    if (!liquid.paused) {
        StepLiquid(liquid);
    }
    const int count = SlotsInUse(liquid);
    for (int p = 0; p < count; ++p) {
        ConfineLiquid(liquid, p);
    }
}

}  // namespace veliso
