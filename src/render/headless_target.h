// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

namespace veliso {

/// The buffers of a HeadlessTarget: 8 bits a colour channel, with or without
/// alpha, and a depth buffer of 16, 24 or 32 bits (other counts take the nearest of these
/// that is at least as deep, or 32).
struct HeadlessBuffers {
    bool alpha = true;
    int depthBits = 24;
};

/// A drawing target without any window system: an OpenGL 4.5 compatibility context (or
/// whatever the driver gives for a plain request) from Mesa's EGL surfaceless platform,
/// drawing into a pbuffer of its own (by default colour RGBA8 and depth 24), which is bound
/// whenever the context is made current. Immediate mode, display lists, GLU and feedback mode
/// all work in it, with the same rasteriser as a desktop's software driver, which draws the
/// same pixels into it as into a window with the same buffers. With `samples` > 0 it is
/// multisampled, as a desktop that forces antialiasing makes it; reading it resolves the
/// samples.
///
/// Used where there is no display: the view of a capture on a machine without a desktop,
/// the renderer tests and the frame benchmarks.
class HeadlessTarget {
  public:
    HeadlessTarget(int width, int height, int samples = 0, HeadlessBuffers buffers = {});
    ~HeadlessTarget();
    HeadlessTarget(const HeadlessTarget&) = delete;
    HeadlessTarget& operator=(const HeadlessTarget&) = delete;

    /// False when no context or pbuffer could be made: nothing else then does anything.
    bool ok() const { return ok_; }
    int width() const { return width_; }
    int height() const { return height_; }
    /// The buffers it has: those asked for, the depth bits made one of 16, 24 and 32.
    HeadlessBuffers buffers() const { return buffers_; }
    /// Makes the context current on this thread, drawing into and reading from the target.
    void MakeCurrent();
    /// Gives the target a new size, in pixels (what was drawn is lost; the context keeps its
    /// state and lists); the context is left current. False, and the old size kept, when
    /// the driver refuses it.
    bool Resize(int width, int height);

  private:
    bool Allocate(int width, int height);

    bool ok_ = false;
    int width_ = 0;
    int height_ = 0;
    int samples_ = 0;
    HeadlessBuffers buffers_;
    void* display_ = nullptr;
    void* config_ = nullptr;
    void* context_ = nullptr;
    void* surface_ = nullptr;
};

}  // namespace veliso
