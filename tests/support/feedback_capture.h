// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <array>
#include <vector>

namespace veliso::test {

/// One vertex as GL feedback mode reports it with GL_3D_COLOR: window coordinates
/// (x, y in pixels from the bottom left, z the depth 0 .. 1) and the RGBA colour after
/// lighting.
struct FeedbackVertex {
    float x = 0, y = 0, z = 0;
    float r = 0, g = 0, b = 0, a = 0;
};

/// One primitive of the feedback buffer, in the order drawn. Polygons come after clipping
/// (a quad may come as two triangles); a line drawn by polygon mode GL_LINE comes as lines.
struct FeedbackPrimitive {
    enum class Kind { Point, Line, Polygon, Bitmap, Pixels, PassThrough };
    Kind kind = Kind::Point;
    float passThroughTag = 0;  ///< the value given to glPassThrough
    /// A line that starts a new outline (GL_LINE_RESET_TOKEN): the first edge of a polygon
    /// drawn in polygon mode GL_LINE.
    bool reset = false;
    std::vector<FeedbackVertex> vertices;
};

/// Records what a piece of drawing emits, through glRenderMode(GL_FEEDBACK) with
/// GL_3D_COLOR, in the current context. Nothing reaches the framebuffer meanwhile.
///
/// Mesa returns wrong data or crashes for a display list that mixes triangle fans and quad
/// strips (what gluSphere emits) in feedback mode: draw spheres in immediate mode here.
class FeedbackCapture {
  public:
    /// `capacity` floats of feedback buffer; a frame that overflows it is reported.
    explicit FeedbackCapture(std::size_t capacity = std::size_t{1} << 22);

    /// Starts recording.
    void Begin();
    /// Stops recording and returns the primitives; false from overflowed() when the
    /// buffer was too small (the list then is incomplete).
    std::vector<FeedbackPrimitive> End();
    bool overflowed() const { return overflowed_; }

  private:
    std::vector<float> buffer_;
    bool overflowed_ = false;
};

/// Maps window coordinates back to object coordinates through the model-view, projection
/// and viewport current when it is constructed (gluUnProject).
class Unprojector {
  public:
    Unprojector();
    std::array<double, 3> ToObject(const FeedbackVertex& v) const;

  private:
    double modelView_[16];
    double projection_[16];
    int viewport_[4];
};

}  // namespace veliso::test
