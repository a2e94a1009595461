#pragma once

#include "core/common/random_source.h"
#include "core/common/sphere_detail.h"
#include "core/solid/solid_state.h"

namespace veliso {

/// One frame of the solid tab: the selected structure, every sphere displaced by fresh
/// vibration offsets drawn from `random` (15-bit output).
void DrawSolidScene(const SolidState& solid, const SphereDetail& detail, RandomSource& random);

}  // namespace veliso
