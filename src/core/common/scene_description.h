// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/number_format.h"  // GroupedThousands
#include "core/common/view_point.h"
#include "core/gas/gas_state.h"
#include "core/liquid/liquid_state.h"
#include "core/solid/solid_state.h"

namespace veliso {

/// One sentence of what the 3D view shows, in French. A live sentence follows the running
/// model from second to second (the wall hits, the particles' own speeds): it is read when
/// the user asks for the whole description, never announced as a change.
struct SceneSentence {
    std::string text;
    bool live = false;
    /// The camera's sentence (DescribeCamera), which a camera key says at once.
    bool camera = false;
    bool operator==(const SceneSentence&) const = default;
};
using SceneDescription = std::vector<SceneSentence>;

/// A figure as it is read in French: `decimals` digits after a decimal comma, the thousands
/// grouped by a no-break space ("101 325", "2,8"), "-" for negatives, never "-0".
std::string FrenchNumber(double value, int decimals = 0);

/// A number's text as French typography writes it: the digits before the decimal comma in
/// groups of three joined by no-break spaces ("101325" → "101 325", "-1234,5" → "-1 234,5").
/// A text with an exponent, or that is not a plain decimal number, is given back unchanged.
std::string GroupedThousands(std::string_view number);

/// The camera in words, each with its figure so that every step of a camera key changes the
/// sentence: the side the model is seen from and the angle, how high the eye is and its
/// height, how far it is and its distance (in scene units: the gas box is 2 wide).
std::string DescribeCamera(const ViewPoint& view);

/// What each tab's view shows: the model, its figures, its graphs and the camera.
SceneDescription DescribeSolidScene(const SolidState& solid);
SceneDescription DescribeLiquidScene(const LiquidState& liquid, bool transparentCube,
                                     bool markedParticles);
/// `wallHitsLastSecond`: the last once-a-second readout, when there was one.
SceneDescription DescribeGasScene(const GasState& gas, bool transparentBox,
                                  std::optional<int> wallHitsLastSecond);

/// The sentences one after the other, the live ones only when `withLive`.
std::string JoinSentences(const SceneDescription& description, bool withLive);

/// The sentences of `after` that are not live and were not in `before`, in their order: what
/// a change made to the view, to be said once.
std::vector<std::string> ChangedSentences(const SceneDescription& before,
                                          const SceneDescription& after);

}  // namespace veliso
