// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdint>

#include "core/common/view_point.h"

namespace veliso {

inline constexpr int kLiquidSlots = 100;
/// Radius of every liquid particle, scene units; two touch at 0.3 between centres.
inline constexpr double kLiquidRadius = 0.15;

/// The liquid of the liquid tab: 100 spheres settling in a cube of half-edge
/// halfEdge. Velocities are displacements per step (scene units per step).
struct LiquidState {
    std::int32_t count = 100;
    double x[kLiquidSlots] = {};
    double y[kLiquidSlots] = {};
    double z[kLiquidSlots] = {};
    double vx[kLiquidSlots] = {};
    double vy[kLiquidSlots] = {};
    double vz[kLiquidSlots] = {};
    double halfEdge = 1.0;  ///< (V * 0.01)^(1/3), V = volume percent 50 .. 100
    ViewPoint view{40.0, 0.0, 4.25};
    double temperature = 273.0;  ///< kelvin, 273 .. 373
    double red = 0.0;
    double green = 0.6;
    double blue = 1.0;
    bool paused = false;

    /// Bound of the particle centres on every axis.
    double limit() const { return halfEdge - kLiquidRadius; }

    bool operator==(const LiquidState&) const = default;
};

}  // namespace veliso
