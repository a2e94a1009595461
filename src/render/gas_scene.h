// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/common/sphere_detail.h"
#include "core/gas/gas_state.h"
#include "render/text_writer.h"

namespace veliso {

/// One frame of the gas tab: clear to black, the gas camera, the checked graphs with their
/// captions, the six walls of the box (edge 2 L, L = halfEdge) and one lit sphere per
/// particle in play. `transparentBox` is the state of the "Transparence du cube" check box:
/// checked, the walls and graphs are blended without depth test; otherwise the walls that
/// face the camera from the far side are filled, the near ones drawn as outlines, without
/// blending and with the depth test. The spheres are always opaque and depth-tested.
/// Needs the lighting, colour material and blend function of InitView.
///
/// `thickLines` (the contrast mode) draws the wall outlines three pixels wide and rims the
/// curve, the histogram and the speed bars with lines of their own colour, lightened, three
/// pixels wide; off, the frame is drawn exactly as always.
void DrawGasScene(const GasState& gas, const SphereDetail& detail, bool transparentBox,
                  TextWriter& text, bool thickLines = false);

/// Maxwell–Boltzmann curve on the back wall (z = 0.001 - L), a filled red (0.9, 0, 0) area:
/// class k = 0 .. 99 at x = -L + (k + 0.5) 0.02 L (the centre of its histogram bar) and
/// y = 4.3 L mbCurve[k] - L, closed along the floor back to the corner (-L, -L).
void DrawSpeedCurve(const GasState& gas);

/// Speed-frequency histogram just in front of the curve (z = 0.005 - L): one green bar per
/// speed class k, from x = (k) 0.02 L - L to (k + 1) 0.02 L - L, as high as
/// 4.3 L n_k / count, where n_k counts the particles in play whose speedTable entry s has
/// class index trunc(s / 0.002 - 0.5). Bars darken from (0, 0.7, 0) to (0, 0.5, 0) rightwards.
void DrawSpeedHistogram(const GasState& gas);

/// One blue bar per particle in play on the right wall (x = L - 0.001), particle 0 at the
/// back; each bar is 2 L / count wide and 9.3 L |v| high for the live speed |v|
/// (scene units per step).
void DrawSpeedBars(const GasState& gas);

}  // namespace veliso
