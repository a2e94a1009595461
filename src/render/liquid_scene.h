#pragma once

#include "core/common/sphere_detail.h"
#include "core/liquid/liquid_state.h"

namespace veliso {

/// One frame of the liquid tab. It also advances the liquid: one motion step per paint
/// unless paused, then the wall pass of every particle before it is drawn.
/// `transparentCube` and `markParticles` are the states of the tab's two check boxes.
void DrawLiquidScene(LiquidState& liquid, const SphereDetail& detail, bool transparentCube,
                     bool markParticles);

}  // namespace veliso
