// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/common/random_source.h"
#include "core/gas/gas_state.h"

namespace veliso {

/// Tabulates the Maxwell–Boltzmann distribution of `mass` m and `temperature` T on the
/// 125 speed classes v = 0.2, 0.4 … (summed by steps of 0.2 while v <= 25):
///
///   f(v) = (4.74 m / T)^1.5 * v² * exp(-8 m v² / T),  stored in mbCurve[k],
///
/// and turns count * f(v) into exactly one speed per particle by error-diffusion rounding:
/// a running sum S += count * f; while S > 0.5 the speed 0.01 * v (scene units per step) is
/// handed out and S -= 1. The n-th speed handed out goes to speedTable[count - 1 - n], so
/// particle 0 gets the fastest; speeds beyond the count-th are discarded.
/// Returns how many speeds were handed out (count or count + 1 over the sliders' ranges).
int BuildSpeedClasses(GasState& gas);

/// Runs BuildSpeedClasses, reseeds `random` from the clock, then gives each particle in play
/// its speed s = speedTable[p] in a random direction:
///   |vx| = (R mod 1000) * (0.001 s),  |vy| = (R mod 1000) * (0.001 sqrt(s² - vx²)),
///   |vz| = sqrt(s² - vx² - vy²).
/// Each component keeps the sign it had before (negative only if it was below 0), so a
/// particle keeps flying into the same octant. Two random integers per particle.
void AssignSpeedsKeepSigns(GasState& gas, RandomSource& random);

/// The same as AssignSpeedsKeepSigns, but each component is negated when a further random
/// integer is odd. Five random integers per particle: |vx|, sign x, |vy|, sign y, sign z.
void AssignSpeedsRandomSigns(GasState& gas, RandomSource& random);

/// Start-up scatter: each coordinate of all 100 slots takes one of 501 evenly spaced values
/// (R mod 501) * (0.004 halfEdge) + (radius - halfEdge), drawn in the order x, y, z per slot,
/// with velocity 0; then AssignSpeedsRandomSigns.
void InitGas(GasState& gas, RandomSource& random);

/// "DÉPART": parks all 100 slots at the corner, then AssignSpeedsKeepSigns, so every particle
/// in play streams out of the corner (-limit, -limit, -limit) into the box.
void RestartGas(GasState& gas, RandomSource& random);

/// Takes slot p out of play: centre at radius - halfEdge on every axis, velocity 0.
/// A slot index outside 0 .. 99 is ignored.
void ParkParticle(GasState& gas, int p);

}  // namespace veliso
