// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/common/random_source.h"
#include "core/common/sphere_detail.h"
#include "core/solid/solid_state.h"

namespace veliso {

/// One frame of the solid tab into the current context: clears to blue-grey, applies the
/// solid camera, draws the selected structure with one GLU quadric created for the frame,
/// every sphere of `detail` slices and stacks and displaced by three fresh vibration
/// offsets drawn from `random` (15-bit output, three draws a sphere). Leaves polygons
/// filled, blending off, the depth test on and line smoothing off. Relies on the view's
/// lighting, colour material and projection being set up.
void DrawSolidScene(const SolidState& solid, const SphereDetail& detail, RandomSource& random);

}  // namespace veliso
