// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdint>

namespace veliso {

/// Tessellation of every particle sphere of the three scenes (GLU slices and stacks).
/// The three smoothness sliders (8 .. 32) all write it through SetSmoothness.
struct SphereDetail {
    std::int32_t slices = 20;
    std::int32_t stacks = 10;

    /// slices := position; stacks := position / 2, rounded toward zero.
    void SetSmoothness(std::int32_t position) {
        slices = position;
        stacks = slices / 2;
    }

    bool operator==(const SphereDetail&) const = default;
};

}  // namespace veliso
