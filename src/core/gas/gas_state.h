// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cmath>
#include <cstdint>

#include "core/common/view_point.h"

namespace veliso {

/// Capacity of the gas: particle slots and speed classes.
inline constexpr int kGasSlots = 100;
inline constexpr int kGasClasses = 125;

/// The kinetic gas of the gas tab. Positions are in scene units inside the cube
/// -halfEdge .. +halfEdge; a velocity is the displacement added at each step
/// (scene units per step). Slots count .. 99 hold parked particles.
///
/// The default member values are the start-up state of the program; InitGas then
/// scatters the particles and gives them their speeds.
struct GasState {
    double x[kGasSlots] = {};
    double y[kGasSlots] = {};
    double z[kGasSlots] = {};
    /// mbCurve[k] = f(v) of speed class k, v = 0.2 * (k + 1): the fraction of the
    /// particles expected in that class.
    double mbCurve[kGasClasses] = {};
    /// speedTable[p]: speed handed to particle p, scene units per step.
    double speedTable[kGasClasses] = {};
    double temperature = 298.0;    ///< kelvin, 10 .. 500
    double volumePercent = 100.0;  ///< percent of the full box (edge 2), 10 .. 100
    double pressure = 0.0;         ///< Pa, last value computed by UpdatePressure
    double halfEdge = 1.0;         ///< (volumePercent * 0.01)^(1/3)
    double red = 1.0;
    double green = 0.5;
    double blue = 0.0;
    double vx[kGasSlots] = {};
    double vy[kGasSlots] = {};
    double vz[kGasSlots] = {};
    /// 0.02 * mass^(1/3), scene units (about 0.0342 at mass 5).
    double radius = 0.02 * std::pow(5.0, 1.0 / 3.0);
    /// 4 * radius * radius: squared distance of two centres that touch.
    double contactDistanceSq = 4.0 * radius * radius;
    ViewPoint view{40.0, 0.0, 4.25};
    std::int32_t mass = 5;      ///< relative mass, 1 .. 10
    std::int32_t count = 100;   ///< particles in play, 1 .. 100
    std::int32_t wallHits = 0;  ///< wall contacts since the last readout

    bool paused = false;
    bool stepping = false;
    bool showSpeeds = false;
    bool showCurve = false;
    bool showHistogram = false;

    /// Bound of the particle centres on every axis: the box shrunk by one radius.
    double limit() const { return halfEdge - radius; }

    /// Number of slots the model loops over: `count`, kept within the 100 slots.
    int inPlay() const { return count < 0 ? 0 : (count > kGasSlots ? kGasSlots : count); }

    bool operator==(const GasState&) const = default;
};

}  // namespace veliso
