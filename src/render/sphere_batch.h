// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>
#include <memory>

#include "render/mesh_arrays.h"
#include "render/sphere_mesh.h"

namespace veliso {

/// How DrawSphere draws. The program always uses Cached; NaiveGlu is the plain gluSphere
/// path, kept for benchmarks and tests that compare the two.
enum class SphereDrawing {
    NaiveGlu,  ///< gluSphere on the caller's quadric, vertex by vertex
    Cached,    ///< prebuilt geometry, one indexed draw a sphere
};

void SetSphereDrawing(SphereDrawing drawing);
SphereDrawing CurrentSphereDrawing();

/// Draws the sphere gluSphere(quadric, radius, slices, stacks) draws, about the current
/// origin, for a quadric set to fill without texture coordinates (GLU's default normals and
/// orientation), with the same pixels and the same current normal afterwards: a batch of
/// one sphere (SphereBatch). Where the state makes it safe (TriangleCullingSafe) the
/// triangles that cannot change a pixel are left out: those that cover no pixel centre and
/// the back ones hidden well inside the outline, about 40 % of a sphere. Every 12000
/// triangles or so the drawing calls glFlush, so that a software rasterizer works while the
/// frame is still being set up. gluSphere itself draws in NaiveGlu mode, for keys GLU draws
/// oddly (SphereMeshMatchesGlu), and wherever the meshes could differ from GLU's pixels
/// (MeshesExact).
void DrawSphere(GLUquadric* quadric, double radius, int slices, int stacks);

/// What the cached drawing has done since the last call (for tests and benchmarks).
SphereDrawingCounts TakeSphereDrawingCounts();

struct SpherePassState;
struct TriangleCover;

/// The spheres of one pass of a scene, all of `slices` and `stacks`, in their drawing order
/// with the colour changes between them. Each sphere is what the plain sequence glPushMatrix,
/// glTranslated(x, y, z), gluSphere(quadric, radius, slices, stacks), glPopMatrix draws, and
/// each colour what glColor3d sets. In NaiveGlu mode every call goes to GL at once. In Cached
/// mode the batch keeps them until Flush, reads the GL state once for all of them, and draws
/// them in the same order as DrawSphere would (each mesh's vertices in a buffer object for
/// the pass where OpenGL 1.5 is there), except that what the other spheres of the batch
/// provably cover at every pixel with nearer fragments is left out: whole spheres, and the
/// triangles of the spheres they cover in part (SphereOcclusion). The depth test then
/// decides every pixel as before. Nothing else may be drawn or changed in GL between the
/// calls of one batch; flush first.
class SphereBatch {
  public:
    SphereBatch(GLUquadric* quadric, int slices, int stacks);
    /// Draws nothing: what was added since the last Flush is dropped (a pass that an
    /// exception ended). A pass ends with Flush.
    ~SphereBatch();
    SphereBatch(const SphereBatch&) = delete;
    SphereBatch& operator=(const SphereBatch&) = delete;

    /// The colour of the next spheres (RGB 0 .. 1), as glColor3d.
    void SetColour(double red, double green, double blue);
    /// A sphere of `radius` about (x, y, z) of the current model-view.
    void Add(double x, double y, double z, double radius);
    /// Draws what was added since the last flush.
    void Flush();
    /// Spheres the last Flush left out as hidden.
    int hiddenCount() const { return hiddenCount_; }

  private:
    /// A sphere about (a, b, c) or a colour (red, green, blue in a, b, c).
    struct Item {
        double a, b, c;
        double radius;
        bool colour;
    };
    struct Scratch;
    void DrawAt(const Item& sphere) const;
    /// Sorts the spheres by how much of them the others cover.
    void MarkHidden(const SpherePassState& pass);
    TriangleCover CoverOf(const SpherePassState& pass, std::size_t item) const;

    GLUquadric* quadric_;
    int slices_;
    int stacks_;
    Scratch* scratch_ = nullptr;
    std::unique_ptr<Scratch> own_;
    int hiddenCount_ = 0;
};

}  // namespace veliso
