// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/solid_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/solid/solid_structures.h"
#include "render/sphere_batch.h"
#include "render/view_setup.h"

namespace veliso {

namespace {

/// Turns the structure's drawing commands into immediate-mode OpenGL. The spheres go through
/// one batch, flushed before any other command so that the GL calls keep their order.
class GlSolidSink : public SolidSink {
  public:
    GlSolidSink(GLUquadric* quadric, const SphereDetail& detail)
        : spheres_(quadric, detail.slices, detail.stacks) {}

    void SetColour(double red, double green, double blue) override {
        spheres_.SetColour(red, green, blue);
    }
    void SetLighting(bool enabled) override { Enable(GL_LIGHTING, enabled); }
    void SetPolygonLines(bool lines) override {
        spheres_.Flush();
        glPolygonMode(GL_FRONT_AND_BACK, lines ? GL_LINE : GL_FILL);
    }
    void SetLineWidth(float width) override {
        spheres_.Flush();
        glLineWidth(width);
    }
    void SetLineSmoothing(bool enabled) override { Enable(GL_LINE_SMOOTH, enabled); }
    void Quads(std::span<const SolidPoint> vertices) override { Batch(GL_QUADS, vertices); }
    void Segments(std::span<const SolidPoint> ends) override { Batch(GL_LINES, ends); }
    void LineLoop(std::span<const SolidPoint> vertices) override { Batch(GL_LINE_LOOP, vertices); }
    void Sphere(const SolidSphere& sphere) override {
        spheres_.Add(sphere.site.x + sphere.offset.x, sphere.site.y + sphere.offset.y,
                     sphere.site.z + sphere.offset.z, sphere.radius);
    }
    /// Draws the spheres still held.
    void Finish() { spheres_.Flush(); }

  private:
    void Enable(GLenum capability, bool enabled) {
        spheres_.Flush();
        if (enabled) {
            glEnable(capability);
        } else {
            glDisable(capability);
        }
    }
    void Batch(GLenum mode, std::span<const SolidPoint> points) {
        spheres_.Flush();
        glBegin(mode);
        for (const SolidPoint& p : points) {
            glVertex3d(p.x, p.y, p.z);
        }
        glEnd();
    }

    SphereBatch spheres_;
};

}  // namespace

void DrawSolidScene(const SolidState& solid, const SphereDetail& detail, RandomSource& random) {
    const SolidExtent extent = ComputeSolidExtent(solid.amplitude);

    glClearColor(0.45f, 0.5f, 0.55f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyCamera(solid.view);

    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);

    const SphereQuadric quadric = NewSphereQuadric();
    if (quadric == nullptr) {
        // Out of memory: nothing but the background this frame, which ends without line
        // smoothing like every other.
        glDisable(GL_LINE_SMOOTH);
        return;
    }

    GlSolidSink sink(quadric.get(), detail);
    DescribeSolidStructure(solid, extent, random, sink);
    sink.Finish();
    glDisable(GL_LINE_SMOOTH);
}

}  // namespace veliso
