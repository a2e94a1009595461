// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdint>
#include <vector>

#include "render/headless_target.h"

namespace veliso::test {

/// The program's drawing target without a display (`HeadlessTarget`: Mesa's EGL surfaceless
/// platform, a pbuffer of the requested size, colour RGBA8 and depth 24), current for the
/// object's life, with what tests read from it. With `samples` > 0 it is
/// multisampled, as a desktop that forces antialiasing makes it; read-backs resolve it.
class HeadlessGl {
  public:
    HeadlessGl(int width, int height, int samples = 0);
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    /// False when no context could be made (the caller should skip).
    bool ok() const { return target_.ok(); }
    int width() const { return target_.width(); }
    int height() const { return target_.height(); }
    void MakeCurrent();

    /// RGB of every pixel, bottom row first (glReadPixels order), 3 bytes a pixel.
    std::vector<std::uint8_t> ReadRgb() const;
    /// RGB of one pixel, x from the left, y from the bottom.
    void PixelAt(int x, int y, std::uint8_t rgb[3]) const;
    /// Waits until the frame is complete (the headless stand-in for a buffer swap).
    void Finish() const;
    /// Writes the framebuffer as a binary PPM (top row first), for looking at a frame.
    bool SavePpm(const char* path) const;

  private:
    void Read(int x, int y, int width, int height, std::uint8_t* rgb) const;

    HeadlessTarget target_;
};

}  // namespace veliso::test
