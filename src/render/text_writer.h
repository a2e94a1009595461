// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <string_view>

namespace veliso {

/// Text drawn in the scene. The string lies in the z = 0 plane of the current model-view
/// transform, starts at its origin, one text unit per font em height, and the transform is
/// left advanced along x past the end of the string. Colour, lighting and depth state are
/// the caller's. The view component implements it with its outline-font display lists.
class TextWriter {
  public:
    virtual ~TextWriter() = default;
    virtual void DrawText3D(std::string_view text) = 0;
};

}  // namespace veliso
