// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <optional>

#include "core/common/sphere_detail.h"
#include "core/gas/gas_state.h"
#include "core/liquid/liquid_state.h"
#include "core/solid/solid_state.h"
#include "render/view_setup.h"

namespace veliso {

/// Everything a frame of the view shows: what the paint of the current tab reads, taken
/// from the main window. Two equal values draw the same picture, except where the scene
/// moves by itself inside its paint (see FrameRule). The record of the current tab is kept
/// whole, so that a field added to it counts at once; the other tabs' records stay at their
/// defaults. The only fields left out are those that change while the picture does not:
/// see ShownScene::Of.
struct ShownScene {
    SceneTab tab = SceneTab::Solid;
    /// The view's size in device pixels.
    int width = 0;
    int height = 0;
    SphereDetail detail;
    /// The tab's "Transparence du cube" box (liquid and gas).
    bool transparent = false;
    /// The liquid's "2 particules marquées" box.
    bool marked = false;
    /// The contrast mode's thick wall outlines and graph rims (gas).
    bool thickLines = false;
    SolidState solid;
    LiquidState liquid;
    GasState gas;

    /// The scene of `tab` with the records, the detail and the drawing options given; the
    /// fields that never show are reset: the liquid's velocities (its wall pass reverses
    /// those of particles at a wall at every frame, paused or not) and the gas's wall-hit
    /// count and step flag (read out once a second; a step that counts hits also moves).
    static ShownScene Of(SceneTab tab, int width, int height, const SphereDetail& detail,
                         bool transparent, bool marked, bool thickLines, const SolidState& solid,
                         const LiquidState& liquid, const GasState& gas);

    bool operator==(const ShownScene&) const = default;
};

/// Decides at each animation tick whether the view draws a new frame. It draws
/// - when a picture of the view (copy, save, capture) waits for a frame;
/// - when the frame on screen is not known: none yet, or one the main window forgot (a new
///   context, a surface shown again);
/// - when the scene moves by itself inside its paint: the solid vibrating (above 0 K), the
///   liquid not paused (its step runs in the paint);
/// - when what the view would show now differs from what the frame on screen shows: the
///   tab, the view's size, the sphere detail, the drawing options or any shown field of the
///   tab's record (the gas's step, a slider, a camera drag, a colour...).
/// Otherwise the frame on screen is the one drawing would give, and the tick leaves it.
class FrameRule {
  public:
    bool MustDraw(const ShownScene& now, bool pictureWaiting) const;
    /// The frame just put on screen shows `scene` (taken after the paint, which may have
    /// moved the liquid).
    void Drawn(const ShownScene& scene) { onScreen_ = scene; }
    /// The frame on screen can no longer be trusted: the next tick draws.
    void Forget() { onScreen_.reset(); }

  private:
    std::optional<ShownScene> onScreen_;
};

}  // namespace veliso
