// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/triangle_culling.h"

#include <algorithm>
#include <cmath>

#include "render/sphere_occlusion.h"

namespace veliso {

namespace {

/// Smallest height, in pixels, of a back triangle that may be left out: thinner ones count
/// as edge-on, since the rasterizer's snapping to 1/256 pixel may turn them over.
constexpr double kMinBackHeight = 0.25;

/// Triangles whose window rectangle spans this many pixel centres or more along an axis
/// are kept without testing each centre.
constexpr int kMostCentres = 4;

/// Twice the smallest window area, in square pixels, of a triangle whose pixel centres are
/// tested: thinner ones count as edge-on.
constexpr float kMinDoubleArea = 1.0f / 256.0f;

/// How far the window rectangle of a triangle is widened for the rasterizer's rounding
/// and snapping, in pixels.
constexpr float kMargin = 1.0f / 64.0f;
constexpr float kMinHeightSq = static_cast<float>(kMinBackHeight * kMinBackHeight);

/// Four single-precision values and four integers, for working on four triangles at once.
using Float4 = float __attribute__((vector_size(16)));
using Int4 = std::int32_t __attribute__((vector_size(16)));

inline Float4 Splat(double value) {
    const float v = static_cast<float>(value);
    return Float4{v, v, v, v};
}

/// std::min and std::max, lane by lane.
inline Float4 Min(Float4 a, Float4 b) {
    return b < a ? b : a;
}
inline Float4 Max(Float4 a, Float4 b) {
    return a < b ? b : a;
}

inline Float4 Sqrt(Float4 x) {
    return Float4{std::sqrt(x[0]), std::sqrt(x[1]), std::sqrt(x[2]), std::sqrt(x[3])};
}

/// Largest integers <= x, for window coordinates within the viewport.
inline Int4 Floor(Float4 x) {
    const Int4 truncated = __builtin_convertvector(x, Int4);
    // The comparison gives -1 where truncating went up (below zero).
    return truncated + (x < __builtin_convertvector(truncated, Float4));
}

}  // namespace

bool InFrontOfNear(const WindowTransform& window, double radius) {
    // Near clipping plane in object coordinates: clip z + clip w >= 0. The centre (the
    // origin) must lie more than the radius in front of it, 1 % to spare for rounding.
    const double* c = window.clip;
    const double a = c[2] + c[3], b = c[6] + c[7], d = c[10] + c[11], e = c[14] + c[15];
    const double normal = std::sqrt(a * a + b * b + d * d);
    return normal > 0.0 && e > 1.01 * radius * normal;
}

void VisibleTriangles(const SphereMesh& mesh, const WindowTransform& transform,
                      const TriangleCover* cover, CullScratch& scratch) {
    const std::size_t vertexCount = mesh.vertices.size() / 6;
    // Window coordinates in single precision: a few 1/10000 pixel off at most, far below
    // the margins used here.
    std::vector<float>& window = scratch.window;
    window.resize(2 * vertexCount);
    const double* c = transform.clip;
    for (std::size_t v = 0; v < vertexCount; ++v) {
        const double x = mesh.vertices[6 * v + 3];
        const double y = mesh.vertices[6 * v + 4];
        const double z = mesh.vertices[6 * v + 5];
        const double inverseW = 1.0 / (c[3] * x + c[7] * y + c[11] * z + c[15]);
        window[2 * v] = static_cast<float>(transform.offset[0] +
                                           transform.scale[0] *
                                               (c[0] * x + c[4] * y + c[8] * z + c[12]) * inverseW);
        window[2 * v + 1] = static_cast<float>(
            transform.offset[1] +
            transform.scale[1] * (c[1] * x + c[5] * y + c[9] * z + c[13]) * inverseW);
    }
    if (cover != nullptr) {
        scratch.distance.resize(vertexCount);
        const double* e = cover->toCentre;
        for (std::size_t v = 0; v < vertexCount; ++v) {
            const double x = mesh.vertices[6 * v + 3];
            const double y = mesh.vertices[6 * v + 4];
            const double z = mesh.vertices[6 * v + 5];
            scratch.distance[v] =
                std::sqrt(std::max(0.0, cover->centre2 + 2.0 * (e[0] * x + e[1] * y + e[2] * z) +
                                            x * x + y * y + z * z));
        }
    }
    // The window rectangle of a triangle's corners, widened by kMargin and cut to the
    // viewport.
    const float viewLow[2] = {static_cast<float>(transform.offset[0] - transform.scale[0]),
                              static_cast<float>(transform.offset[1] - transform.scale[1])};
    const float viewHigh[2] = {static_cast<float>(transform.offset[0] + transform.scale[0]),
                               static_cast<float>(transform.offset[1] + transform.scale[1])};
    const auto bounds = [&](const std::uint16_t* v, float low[2], float high[2]) {
        const float* p0 = &window[2 * v[0]];
        const float* p1 = &window[2 * v[1]];
        const float* p2 = &window[2 * v[2]];
        for (int axis = 0; axis < 2; ++axis) {
            low[axis] = std::max(std::min({p0[axis], p1[axis], p2[axis]}) - kMargin, viewLow[axis]);
            high[axis] =
                std::min(std::max({p0[axis], p1[axis], p2[axis]}) + kMargin, viewHigh[axis]);
        }
    };
    // Per triangle, four at a time: whether it is a solid back one (see below), and the
    // pixel centres its window rectangle holds, widened by kMargin and cut to the viewport.
    const std::size_t triangles = mesh.triangles.size() / 3;
    const std::size_t blocks = (triangles + 3) / 4;
    std::vector<TriangleTraits>& traits = scratch.traits;
    traits.resize(4 * blocks);
    {
        const Float4 viewLowX = Splat(viewLow[0]), viewLowY = Splat(viewLow[1]);
        const Float4 viewHighX = Splat(viewHigh[0]), viewHighY = Splat(viewHigh[1]);
        const std::uint16_t* corners = mesh.triangles.data();
        for (std::size_t block = 0; block < blocks; ++block) {
            Float4 x[3], y[3];
            for (int lane = 0; lane < 4; ++lane) {
                // The last block repeats the last triangle where the mesh has no more.
                const std::size_t t = std::min(4 * block + lane, triangles - 1);
                for (int corner = 0; corner < 3; ++corner) {
                    const float* p = &window[2 * corners[3 * t + corner]];
                    x[corner][lane] = p[0];
                    y[corner][lane] = p[1];
                }
            }
            // Corners relative to the first one, so that the single-precision products
            // stay a few pixels in size: their rounding is far below kMargin.
            const Float4 ux = x[1] - x[0], uy = y[1] - y[0];
            const Float4 vx = x[2] - x[0], vy = y[2] - y[0];
            const Float4 wx = vx - ux, wy = vy - uy;
            const Float4 doubleArea = ux * vy - uy * vx;
            // Back and at least kMinBackHeight high: (2 area)^2 >= height^2 * longest edge^2.
            const Float4 uu = ux * ux + uy * uy, vv = vx * vx + vy * vy, ww = wx * wx + wy * wy;
            const Int4 solidBack = (doubleArea < 0.0f) &
                                   (doubleArea * doubleArea >= kMinHeightSq * Max(Max(uu, vv), ww));
            // The pixel centres k + 1/2 of the window rectangle: k from ceil(low - 1/2) to
            // floor(high - 1/2), none when low > high.
            const Float4 lowX = Max(Min(Min(x[0], x[1]), x[2]) - kMargin, viewLowX);
            const Float4 lowY = Max(Min(Min(y[0], y[1]), y[2]) - kMargin, viewLowY);
            const Float4 highX = Min(Max(Max(x[0], x[1]), x[2]) + kMargin, viewHighX);
            const Float4 highY = Min(Max(Max(y[0], y[1]), y[2]) + kMargin, viewHighY);
            const Int4 x0 = -Floor(0.5f - lowX), columns = Floor(highX - 0.5f) - x0;
            const Int4 y0 = -Floor(0.5f - lowY), rows = Floor(highY - 0.5f) - y0;
            // A rectangle that spans kMostCentres or more along an axis is kept, and so is a
            // triangle next to edge-on, which snapping may open either way. Of the others,
            // those that hold a centre: one within kMargin of the inner side of each edge.
            // The rasterizer's snapping moves an edge by less than that, so a centre farther
            // out never gets a fragment. Small spheres (the gas at any view size) are made
            // mostly of such triangles, thin ones whose rectangle holds a centre that the
            // triangle misses.
            const Int4 wide = (columns >= kMostCentres) | (rows >= kMostCentres) |
                              ~((doubleArea >= kMinDoubleArea) | (doubleArea <= -kMinDoubleArea));
            const Int4 some = (columns >= 0) & (rows >= 0);
            Int4 holds = wide;
            const Int4 open = some & ~wide;
            if ((open[0] | open[1] | open[2] | open[3]) != 0) {
                // Each edge as a x + b y + c >= 0 inside, the value being the distance inside
                // the edge times the edge's length.
                const Float4 sign = doubleArea > 0.0f ? Splat(1.0) : Splat(-1.0);
                const Float4 a0 = -uy * sign, b0 = ux * sign, c0 = kMargin * Sqrt(uu);
                const Float4 a1 = -wy * sign, b1 = wx * sign;
                const Float4 c1 = -(a1 * ux + b1 * uy) + kMargin * Sqrt(ww);
                const Float4 a2 = vy * sign, b2 = -vx * sign;
                const Float4 c2 = -(a2 * vx + b2 * vy) + kMargin * Sqrt(vv);
                const Float4 cx0 = __builtin_convertvector(x0, Float4) + 0.5f - x[0];
                const Float4 cy0 = __builtin_convertvector(y0, Float4) + 0.5f - y[0];
                // As far as the largest rectangle still open reaches: fewer than
                // kMostCentres along each axis.
                int mostColumns = 0, mostRows = 0;
                for (int lane = 0; lane < 4; ++lane) {
                    if (open[lane] != 0) {
                        mostColumns = std::max<int>(mostColumns, columns[lane]);
                        mostRows = std::max<int>(mostRows, rows[lane]);
                    }
                }
                for (int row = 0; row <= mostRows; ++row) {
                    const Float4 cy = cy0 + static_cast<float>(row);
                    const Float4 d0 = b0 * cy + c0, d1 = b1 * cy + c1, d2 = b2 * cy + c2;
                    for (int column = 0; column <= mostColumns; ++column) {
                        const Float4 cx = cx0 + static_cast<float>(column);
                        holds |= (row <= rows) & (column <= columns) & (a0 * cx + d0 >= 0.0f) &
                                 (a1 * cx + d1 >= 0.0f) & (a2 * cx + d2 >= 0.0f);
                    }
                }
            }
            const Int4 shows = some & holds;
            for (int lane = 0; lane < 4; ++lane) {
                traits[4 * block + lane] = {solidBack[lane] != 0, shows[lane] != 0};
            }
        }
    }
    std::vector<std::uint8_t>& nearFront = scratch.nearFront;
    nearFront.assign(vertexCount, 0);
    for (std::size_t t = 0; t < triangles; ++t) {
        const std::uint16_t* p = &mesh.cornerPoints[3 * t];
        const std::uint8_t front = !traits[t].solidBack;
        nearFront[p[0]] |= front;
        nearFront[p[1]] |= front;
        nearFront[p[2]] |= front;
    }
    // Of the triangles left, those the other spheres cover.
    const auto covered = [&](const std::uint16_t* v) {
        float low[2], high[2];
        bounds(v, low, high);
        const double* d = scratch.distance.data();
        // Every point of the triangle lies within its longest edge of a corner.
        const double nearest = std::min({d[v[0]], d[v[1]], d[v[2]]}) - cover->edge - cover->slack;
        if (nearest <= cover->nearestMark) {
            return false;
        }
        return cover->occlusion->RegionCovered(
            low[0] - cover->origin[0], high[0] - cover->origin[0], low[1] - cover->origin[1],
            high[1] - cover->origin[1], nearest);
    };
    std::vector<std::uint16_t>& out = scratch.visible;
    out.resize(mesh.triangles.size());
    std::size_t size = 0;
    for (std::size_t t = 0; t < triangles; ++t) {
        const TriangleTraits& triangle = traits[t];
        const std::uint16_t* p = &mesh.cornerPoints[3 * t];
        const std::uint16_t* v = &mesh.triangles[3 * t];
        // Left out: no pixel centre, or a solid back triangle away from the outline.
        const bool nearOutline = (nearFront[p[0]] | nearFront[p[1]] | nearFront[p[2]]) != 0;
        bool keep = triangle.shows & (nearOutline | !triangle.solidBack);
        if (keep && cover != nullptr) {
            keep = !covered(v);
        }
        // Written in any case, and counted only when kept: no branch to mispredict.
        out[size] = v[0];
        out[size + 1] = v[1];
        out[size + 2] = v[2];
        size += keep ? 3 : 0;
    }
    out.resize(size);
}

}  // namespace veliso
