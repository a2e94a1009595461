#pragma once

#include "core/common/sphere_detail.h"
#include "core/gas/gas_state.h"
#include "render/text_writer.h"

namespace veliso {

/// One frame of the gas tab: the box, the particles in play and the checked graphs.
/// `transparentBox` is the state of the "Transparence du cube" check box.
void DrawGasScene(const GasState& gas, const SphereDetail& detail, bool transparentBox,
                  TextWriter& text);

}  // namespace veliso
