// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/liquid_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "core/liquid/liquid_motion.h"
#include "render/sphere_batch.h"
#include "render/view_setup.h"

namespace veliso {

namespace {

/// Face alpha: with the additive blend (source alpha, one) each transparent face adds half
/// its colour to what lies behind it.
constexpr float kFaceAlpha = 0.5f;

/// The six faces, each wound counter-clockwise as seen from inside the cube so that its
/// front side faces inwards. Floor and top are the lightest, the x sides the darkest.
void DrawCube(double h) {
    glBegin(GL_QUADS);
    glColor4f(0.24f, 0.3f, 0.3f, kFaceAlpha);
    glVertex3d(h, -h, -h);  // floor, y = -h
    glVertex3d(-h, -h, -h);
    glVertex3d(-h, -h, h);
    glVertex3d(h, -h, h);
    glVertex3d(h, h, -h);  // top, y = +h
    glVertex3d(h, h, h);
    glVertex3d(-h, h, h);
    glVertex3d(-h, h, -h);
    glColor4f(0.16f, 0.2f, 0.2f, kFaceAlpha);
    glVertex3d(-h, -h, -h);  // side, x = -h
    glVertex3d(-h, h, -h);
    glVertex3d(-h, h, h);
    glVertex3d(-h, -h, h);
    glVertex3d(h, -h, -h);  // side, x = +h
    glVertex3d(h, -h, h);
    glVertex3d(h, h, h);
    glVertex3d(h, h, -h);
    glColor4f(0.2f, 0.25f, 0.25f, kFaceAlpha);
    glVertex3d(-h, -h, -h);  // back, z = -h
    glVertex3d(h, -h, -h);
    glVertex3d(h, h, -h);
    glVertex3d(-h, h, -h);
    glVertex3d(-h, -h, h);  // front, z = +h
    glVertex3d(-h, h, h);
    glVertex3d(h, h, h);
    glVertex3d(h, -h, h);
    glEnd();
}

bool IsMarked(int particle) {
    return std::find(std::begin(kMarkedLiquidParticles), std::end(kMarkedLiquidParticles),
                     particle) != std::end(kMarkedLiquidParticles);
}

}  // namespace

void DrawLiquidScene(LiquidState& liquid, const SphereDetail& detail, bool transparentCube,
                     bool markParticles) {
    BeginBoxFrame(liquid.view);
    // Both sides filled first, then the walls' own state: opaque walls outline their
    // outer sides, transparent ones blend without the depth test.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    ApplyBoxWallState(transparentCube);
    DrawCube(liquid.halfEdge);

    // One quadric per frame: filled, no texture coordinates (the default).
    const SphereQuadric quadric = NewSphereQuadric();
    ApplySpherePassState();

    // The particles are drawn where the frame's step and wall pass leave them. Out of
    // memory, the liquid still moves; only its spheres are missing.
    AdvanceLiquidFrame(liquid);
    if (quadric == nullptr) {
        return;
    }
    const int count = std::clamp(liquid.count, 0, kLiquidSlots);
    SphereBatch spheres(quadric.get(), detail.slices, detail.stacks);
    for (int p = 0; p < count; ++p) {
        if (markParticles && IsMarked(p)) {
            spheres.SetColour(1.0 - liquid.red, 1.0 - liquid.green, 1.0 - liquid.blue);
        } else {
            spheres.SetColour(liquid.red, liquid.green, liquid.blue);
        }
        spheres.Add(liquid.x[p], liquid.y[p], liquid.z[p], kLiquidRadius);
    }
    spheres.Flush();
}

}  // namespace veliso
