// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

// Which triangles of a sphere mesh can change a pixel, worked out from where their corners
// fall in the window: plain arithmetic, no GL.

#include <cstdint>
#include <vector>

#include "render/sphere_mesh.h"

namespace veliso {

class SphereOcclusion;

/// Object-to-window transform of a sphere about its origin: window x, y of a point (x, y, z)
/// are viewport offset + size * (clip / w + 1) / 2, clip = projection * model-view.
struct WindowTransform {
    double clip[16];   ///< projection * model-view, column-major
    double scale[2];   ///< half the viewport width and height
    double offset[2];  ///< viewport x, y plus the half sizes
};

/// What the other spheres of a pass cover of one sphere's triangles.
struct TriangleCover {
    const SphereOcclusion* occlusion = nullptr;
    /// The vector from the eye to the sphere's centre, turned into the mesh's axes, and its
    /// square length: a vertex v lies at |c + v| from the eye.
    double toCentre[3] = {0.0, 0.0, 0.0};
    double centre2 = 0.0;
    /// The mesh's longest edge in eye space, and the sphere's depth margin.
    double edge = 0.0;
    double slack = 0.0;
    /// The nearest occluder mark over the sphere: a triangle no nearer than it cannot be
    /// covered.
    double nearestMark = 0.0;
    /// The viewport's corner in window coordinates.
    float origin[2] = {0.0f, 0.0f};
};

/// True when the whole ball of `radius` about the transform's origin lies in front of the
/// near plane: a sphere cut open by it shows its inside.
bool InFrontOfNear(const WindowTransform& window, double radius);

/// What VisibleTriangles finds of one triangle before it looks at its neighbours.
struct TriangleTraits {
    /// Back (clockwise) and at least kMinBackHeight high.
    bool solidBack = false;
    /// Can draw a fragment: holds a pixel centre of the viewport, or may do so.
    bool shows = false;
};

/// Per-draw working memory, kept between spheres so that drawing allocates nothing once
/// the largest mesh has been drawn.
struct CullScratch {
    std::vector<float> window;            ///< per vertex: window x, y
    std::vector<TriangleTraits> traits;   ///< per triangle, in blocks of four
    std::vector<std::uint8_t> nearFront;  ///< per point: corner of a front or edge-on one
    std::vector<std::uint16_t> visible;   ///< the triangles drawn
    std::vector<double> distance;         ///< per vertex: distance from the eye
};

/// The triangles of `mesh` that can change a pixel, in drawing order, from where their
/// corners fall in the window. Left out are
/// - triangles whose bounding box, widened by 1/64 pixel for the rasterizer's rounding and
///   snapping, holds no pixel centre of the viewport, and those a few pixels across that
///   hold none of the centres in their box, each edge widened by 1/64 pixel: they produce
///   no fragment;
/// - back (clockwise) triangles at least kMinBackHeight high that share no corner point
///   (the seam's twin vertices count as one) with a front or thinner one. They lie inside
///   the outline behind a band of such back triangles, covered by front triangles with a
///   clear depth margin. The back triangles that border the outline stay: there the depths
///   of front and back triangles meet, and rounding or snapping decides which one shows;
/// - with a `cover`, triangles whose every pixel centre has a nearer fragment of the pass's
///   spheres (SphereOcclusion), farther by the margin than the occluders' marks.
void VisibleTriangles(const SphereMesh& mesh, const WindowTransform& transform,
                      const TriangleCover* cover, CullScratch& scratch);

}  // namespace veliso
