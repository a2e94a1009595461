// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

namespace veliso {

/// Colour component of a colour slider: slider position 0 .. 255 to a component 0 .. 1.
/// The factor is 1 / 255 written out, position * 0.00392156862745098, so every tab's colour
/// handlers give the same doubles bit for bit.
inline double ColourFromSlider(int position) {
    return position * 0.00392156862745098;
}

}  // namespace veliso
