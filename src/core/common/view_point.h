// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

namespace veliso {

/// The camera of one tab. The eye sits at (0, height, distance) and looks at the
/// origin with y up; the scene is then turned by `angle` degrees about y.
struct ViewPoint {
    double angle = 0.0;     ///< degrees, kept within 0 .. 360 by the mouse handlers
    double height = 0.0;    ///< scene units, y of the eye, kept within -5 .. 5
    double distance = 0.0;  ///< scene units, z of the eye, kept within 0.5 .. 4.25

    bool operator==(const ViewPoint&) const = default;
};

}  // namespace veliso
