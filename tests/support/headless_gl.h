// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdint>
#include <vector>

namespace veliso::test {

/// An OpenGL 4.5 compatibility context without any X server: Mesa's EGL surfaceless
/// platform with a framebuffer object of the requested size (colour RGBA8, depth 24),
/// bound and current for the object's life. Immediate mode, display lists, GLU and
/// feedback mode all work in it. Renderer tests and frame benchmarks use it. With
/// `samples` > 0 the framebuffer is multisampled, as a desktop that forces antialiasing
/// makes it; read-backs then resolve it first.
class HeadlessGl {
  public:
    HeadlessGl(int width, int height, int samples = 0);
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    /// False when no context could be made (the caller should skip).
    bool ok() const { return ok_; }
    int width() const { return width_; }
    int height() const { return height_; }
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

    bool ok_ = false;
    int width_ = 0;
    int height_ = 0;
    void* display_ = nullptr;
    void* context_ = nullptr;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depth_ = 0;
    unsigned resolveFramebuffer_ = 0;
    unsigned resolveColour_ = 0;
};

}  // namespace veliso::test
