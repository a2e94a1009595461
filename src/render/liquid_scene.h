// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/common/sphere_detail.h"
#include "core/liquid/liquid_state.h"

namespace veliso {

/// Slots drawn in the complementary colour when marking is on: two neighbours in the same
/// row of an upper layer at the start, so their wandering apart shows the liquid's mixing.
inline constexpr int kMarkedLiquidParticles[2] = {86, 87};

/// One frame of the liquid tab, into the current GL context.
///
/// Clears to black, places the camera from `liquid.view`, draws the cube (half-edge
/// `liquid.halfEdge`) and then the particles as lit GLU spheres of radius 0.15 with the
/// tessellation of `detail`. It also advances the liquid first (AdvanceLiquidFrame: one
/// StepLiquid unless paused, then the wall pass of each particle).
///
/// `transparentCube` (the "Transparence du cube" box): all six faces filled and added to
/// the background at half strength, without depth, so no particle is ever hidden by a
/// face. Otherwise the faces are wound to face inwards and only their inner sides are
/// filled, opaque and depth-tested, while the sides turned outwards to the viewer are
/// outlined: the box stays open towards the eye whatever the camera.
/// `markParticles` (the "2 particules marquées" box): slots 86 and 87 take the
/// complementary colour (1 - red, 1 - green, 1 - blue).
///
/// Leaves both polygon faces filled, lighting on, blending off and the depth test on.
void DrawLiquidScene(LiquidState& liquid, const SphereDetail& detail, bool transparentCube,
                     bool markParticles);

}  // namespace veliso
