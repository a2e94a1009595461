// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "support/feedback_capture.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace veliso::test {

namespace {

constexpr std::size_t kFloatsPerVertex = 7;  // x, y, z, r, g, b, a

class Reader {
  public:
    Reader(const std::vector<float>& buffer, std::size_t size) : buffer_(buffer), size_(size) {}

    bool done() const { return at_ >= size_; }
    bool has(std::size_t floats) const { return at_ + floats <= size_; }
    float Next() { return buffer_[at_++]; }

    FeedbackVertex Vertex() {
        FeedbackVertex v;
        v.x = Next();
        v.y = Next();
        v.z = Next();
        v.r = Next();
        v.g = Next();
        v.b = Next();
        v.a = Next();
        return v;
    }

    bool Vertices(std::size_t count, FeedbackPrimitive& primitive) {
        if (!has(count * kFloatsPerVertex)) {
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            primitive.vertices.push_back(Vertex());
        }
        return true;
    }

  private:
    const std::vector<float>& buffer_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

FeedbackCapture::FeedbackCapture(std::size_t capacity) : buffer_(capacity) {}

void FeedbackCapture::Begin() {
    overflowed_ = false;
    glFeedbackBuffer(static_cast<GLsizei>(buffer_.size()), GL_3D_COLOR, buffer_.data());
    glRenderMode(GL_FEEDBACK);
}

std::vector<FeedbackPrimitive> FeedbackCapture::End() {
    const GLint size = glRenderMode(GL_RENDER);
    std::vector<FeedbackPrimitive> primitives;
    if (size < 0) {
        overflowed_ = true;
        return primitives;
    }
    Reader reader(buffer_, static_cast<std::size_t>(size));
    while (!reader.done()) {
        const auto token = static_cast<GLenum>(reader.Next());
        FeedbackPrimitive primitive;
        bool complete = true;
        switch (token) {
            case GL_POINT_TOKEN:
                primitive.kind = FeedbackPrimitive::Kind::Point;
                complete = reader.Vertices(1, primitive);
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                primitive.kind = FeedbackPrimitive::Kind::Line;
                primitive.reset = token == GL_LINE_RESET_TOKEN;
                complete = reader.Vertices(2, primitive);
                break;
            case GL_POLYGON_TOKEN:
                primitive.kind = FeedbackPrimitive::Kind::Polygon;
                complete = reader.has(1) &&
                           reader.Vertices(static_cast<std::size_t>(reader.Next()), primitive);
                break;
            case GL_BITMAP_TOKEN:
                primitive.kind = FeedbackPrimitive::Kind::Bitmap;
                complete = reader.Vertices(1, primitive);
                break;
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                primitive.kind = FeedbackPrimitive::Kind::Pixels;
                complete = reader.Vertices(1, primitive);
                break;
            case GL_PASS_THROUGH_TOKEN:
                primitive.kind = FeedbackPrimitive::Kind::PassThrough;
                complete = reader.has(1);
                if (complete) {
                    primitive.passThroughTag = reader.Next();
                }
                break;
            default:
                complete = false;  // not a token: the buffer is not what we think it is
                break;
        }
        if (!complete) {
            overflowed_ = true;
            break;
        }
        primitives.push_back(std::move(primitive));
    }
    return primitives;
}

Unprojector::Unprojector() {
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView_);
    glGetDoublev(GL_PROJECTION_MATRIX, projection_);
    glGetIntegerv(GL_VIEWPORT, viewport_);
}

std::array<double, 3> Unprojector::ToObject(const FeedbackVertex& v) const {
    std::array<double, 3> object{};
    gluUnProject(v.x, v.y, v.z, modelView_, projection_, viewport_, &object[0], &object[1],
                 &object[2]);
    return object;
}

}  // namespace veliso::test
