// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/common/random_source.h"
#include "core/liquid/liquid_state.h"

namespace veliso {

/// Half-edge of the liquid cube for a volume of `volumePercent` % of the full cube (edge 2):
/// (volumePercent * 0.01)^(1/3). 100 % gives 1.0, 50 % about 0.794.
double LiquidHalfEdge(int volumePercent);

/// Stacks the 100 particles in layers on the floor of the cube and draws their velocities.
///
/// n = trunc((2 * halfEdge - 0.11) / 0.35) particles per row (5 from 81 % volume up, 4 below).
/// Particle p sits in column i = p mod n, row j = (p div n) mod n, layer l = p div n^2; odd
/// layers (k = 1) are shifted by 0.175 in x and z so that they nest into the layer below:
///   x = 0.175 k + (0.2 - halfEdge) + 0.35 i,  z = 0.175 k + (0.2 - halfEdge) + 0.35 j,
///   y = (0.15 - halfEdge) + 0.175 l   (layer 0 rests on the floor bound, y = -limit).
/// Sets count to 100, then runs DrawLiquidVelocities.
void InitLiquid(LiquidState& liquid, RandomSource& random);

/// Draws new velocities for all 100 slots from the temperature; positions are untouched.
///
/// The source is reseeded from the clock (whole seconds) first, so two draws within the
/// same second give the same velocities. With s = 0.00005 * temperature, each component is
/// s - s * (R mod 1001) * 0.002 for a fresh 31-bit draw R: one of 1001 evenly spaced values
/// from -s to +s, in scene units per step.
void DrawLiquidVelocities(LiquidState& liquid, RandomSource& random);

/// Moves particles 0 .. count-1 by one step, in order. Each particle:
/// 1. advances by its velocity (x and y, then a downward drift of
///    0.012 * sqrt(|L - y| / L) while above the floor bound -L, then z);
/// 2. pushes every other particle that it touches (0 < d <= 0.3 between centres) by
///    f = (0.3 - d) / d times their separation, axis by axis. On an axis where the partner
///    already lies beyond the bound L the particle itself gives way instead: it is pushed
///    back along x or z and lifted by 0.015, or only lifted on the y axis. The two then
///    exchange velocities. Coincident centres are skipped.
/// L = limit(). Particles may end up beyond the walls; ConfineLiquid puts them back.
void StepLiquid(LiquidState& liquid);

/// Wall pass of one particle: on each axis in turn (x, y, z), a coordinate at or beyond
/// -L is set to -L, then one at or beyond +L is set to +L, reversing that velocity component
/// each time. An index outside 0 .. 99 is ignored.
void ConfineLiquid(LiquidState& liquid, int particle);

/// The model's part of one frame of the liquid: one StepLiquid unless paused, then
/// ConfineLiquid of particles 0 .. count-1 in order. Every frame runs it, drawn or not: a
/// paused particle at a wall has its velocity reversed again at each frame.
void AdvanceLiquidFrame(LiquidState& liquid);

}  // namespace veliso
