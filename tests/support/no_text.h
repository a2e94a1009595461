// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <string_view>

#include "render/text_writer.h"

namespace veliso::test {

/// Draws no text, for frames whose captions do not matter (the program's come from the
/// view's outline-font display lists).
class NoText : public TextWriter {
  public:
    void DrawText3D(std::string_view) override {}
};

}  // namespace veliso::test
