// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/gas/gas_state.h"

namespace veliso {

/// One step of the gas, run by the animation tick. Does nothing and returns false when a step
/// is already running (`stepping`) or when the gas tab is not the active page, so the gas
/// stands still while hidden. Otherwise, with L = halfEdge - radius:
///
/// 1. Pair pass over i < j in play: if the squared centre distance d² <= contactDistanceSq,
///    the higher index j is pushed along the line of centres to exactly 2 * radius from i
///    (only on the axes where j lies strictly inside -L .. L; coincident centres are not
///    pushed), and, unless paused, i and j swap their velocity vectors.
/// 2. Unless paused, every particle moves by its velocity; a coordinate on or beyond -L or +L
///    is put on the bound, its velocity component reversed and one wall hit counted.
///
/// Speeds are only exchanged or reflected, so the multiset of particle speeds is conserved.
bool StepGas(GasState& gas, bool gasTabActive);

/// Ideal gas pressure in Pa of `count` particles at `temperature` (K) in `volumePercent` of the
/// full box: floor(count * 340.017 * temperature / volumePercent). Reads no record, so the
/// measurement bench can tell the pressure of a state without touching the gas.
double IdealGasPressure(int count, double temperature, double volumePercent);

/// Ideal gas pressure in Pa: floor(count * 340.017 * temperature / volumePercent), stored in
/// `pressure` and returned. 101325 at 100 particles, 298 K, 100 %; 34 .. 1700085 over the
/// sliders' ranges. Neither the mass nor the motion enters it.
double UpdatePressure(GasState& gas);

/// Upper end of the pressure bar: 100 particles at 500 K in 10 % of the box.
inline constexpr int kGasPressureBarMaximum = 1700085;

/// Once-per-second readout: returns the wall hits counted since the last readout and
/// resets the count to 0.
int TakeWallHits(GasState& gas);

}  // namespace veliso
