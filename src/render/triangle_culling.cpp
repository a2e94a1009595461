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
constexpr double kMinDoubleArea = 1.0 / 256.0;

/// Largest integer <= x, for window coordinates within the viewport.
inline int Floor(float x) {
    const int truncated = static_cast<int>(x);
    return truncated - (x < static_cast<float>(truncated) ? 1 : 0);
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
    enum : std::uint8_t { kSolidBack, kShows };
    constexpr float kMargin = 1.0f / 64.0f;
    constexpr float kMinHeightSq = static_cast<float>(kMinBackHeight * kMinBackHeight);
    const float viewLow[2] = {static_cast<float>(transform.offset[0] - transform.scale[0]),
                              static_cast<float>(transform.offset[1] - transform.scale[1])};
    const float viewHigh[2] = {static_cast<float>(transform.offset[0] + transform.scale[0]),
                               static_cast<float>(transform.offset[1] + transform.scale[1])};
    const std::size_t triangles = mesh.triangles.size() / 3;
    std::vector<std::uint8_t>& kind = scratch.kind;
    kind.resize(triangles);
    std::vector<std::uint8_t>& nearFront = scratch.nearFront;
    nearFront.assign(vertexCount, 0);
    // The window rectangle of a triangle's corners, widened by kMargin and cut to the
    // viewport.
    const auto bounds = [&](const std::uint16_t* v, float low[2], float high[2])
        __attribute__((always_inline)) {
        const float* p0 = &window[2 * v[0]];
        const float* p1 = &window[2 * v[1]];
        const float* p2 = &window[2 * v[2]];
        for (int axis = 0; axis < 2; ++axis) {
            low[axis] = std::max(std::min({p0[axis], p1[axis], p2[axis]}) - kMargin, viewLow[axis]);
            high[axis] =
                std::min(std::max({p0[axis], p1[axis], p2[axis]}) + kMargin, viewHigh[axis]);
        }
    };
    for (std::size_t t = 0; t < triangles; ++t) {
        const std::uint16_t* v = &mesh.triangles[3 * t];
        const float* p0 = &window[2 * v[0]];
        const float* p1 = &window[2 * v[1]];
        const float* p2 = &window[2 * v[2]];
        const float ux = p1[0] - p0[0], uy = p1[1] - p0[1];
        const float vx = p2[0] - p0[0], vy = p2[1] - p0[1];
        const float wx = p2[0] - p1[0], wy = p2[1] - p1[1];
        const float doubleArea = ux * vy - uy * vx;
        // Back and at least kMinBackHeight high: (2 area)^2 >= height^2 * longest edge^2.
        const bool solidBack =
            doubleArea < 0.0f &&
            doubleArea * doubleArea >=
                kMinHeightSq * std::max({ux * ux + uy * uy, vx * vx + vy * vy, wx * wx + wy * wy});
        if (!solidBack) {
            const std::uint16_t* p = &mesh.cornerPoints[3 * t];
            nearFront[p[0]] = nearFront[p[1]] = nearFront[p[2]] = 1;
        }
        kind[t] = solidBack ? kSolidBack : kShows;
    }
    // Of the triangles that may show, those that hold a pixel centre: one k + 1/2 within
    // [low, high] on both axes, and within the viewport; a span of a pixel or more always
    // holds one.
    const auto pixels = [&](const float low[2], const float high[2])
        __attribute__((always_inline)) {
        for (int axis = 0; axis < 2; ++axis) {
            // floor(high - 1/2) >= ceil(low - 1/2); both bounds lie within the viewport
            // when the range is not empty.
            if (!(low[axis] <= high[axis] &&
                  (high[axis] - low[axis] >= 1.0f ||
                   Floor(high[axis] - 0.5f) >= -Floor(0.5f - low[axis])))) {
                return false;
            }
        }
        return true;
    };
    // Of the triangles whose rectangle holds a few pixel centres, those that hold one: a
    // centre within kMargin of the inner side of each edge. The rasterizer's snapping moves
    // an edge by less than that, so a centre farther out never gets a fragment. Small
    // spheres (the gas at any view size) are made mostly of such triangles, thin ones whose
    // rectangle holds a centre that the triangle misses.
    const auto holdsCentre = [&](const std::uint16_t* v, const float low[2], const float high[2]) {
        const int x0 = -Floor(0.5f - low[0]), x1 = Floor(high[0] - 0.5f);
        const int y0 = -Floor(0.5f - low[1]), y1 = Floor(high[1] - 0.5f);
        if (x1 - x0 >= kMostCentres || y1 - y0 >= kMostCentres) {
            return true;
        }
        const double x[3] = {window[2 * v[0]], window[2 * v[1]], window[2 * v[2]]};
        const double y[3] = {window[2 * v[0] + 1], window[2 * v[1] + 1], window[2 * v[2] + 1]};
        const double doubleArea = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
        if (!(std::fabs(doubleArea) >= kMinDoubleArea)) {
            return true;  // next to edge-on: snapping may open it either way
        }
        // Each edge as a x + b y + c >= 0 inside, scaled so that the value is a distance.
        double a[3], b[3], c[3];
        for (int i = 0; i < 3; ++i) {
            const int j = i == 2 ? 0 : i + 1;
            const double dx = x[j] - x[i], dy = y[j] - y[i];
            const double length = std::sqrt(dx * dx + dy * dy);
            const double unit = (doubleArea > 0.0 ? 1.0 : -1.0) / std::max(length, 1e-30);
            a[i] = -dy * unit;
            b[i] = dx * unit;
            c[i] = -(a[i] * x[i] + b[i] * y[i]) + kMargin;
        }
        for (int py = y0; py <= y1; ++py) {
            for (int px = x0; px <= x1; ++px) {
                const double cx = px + 0.5, cy = py + 0.5;
                if (a[0] * cx + b[0] * cy + c[0] >= 0.0 && a[1] * cx + b[1] * cy + c[1] >= 0.0 &&
                    a[2] * cx + b[2] * cy + c[2] >= 0.0) {
                    return true;
                }
            }
        }
        return false;
    };
    // Of the triangles left, those the other spheres cover.
    const auto covered = [&](const std::uint16_t* v, const float low[2], const float high[2]) {
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
        const std::uint16_t* p = &mesh.cornerPoints[3 * t];
        const std::uint16_t* v = &mesh.triangles[3 * t];
        if (kind[t] != kShows && !(nearFront[p[0]] | nearFront[p[1]] | nearFront[p[2]])) {
            continue;  // a solid back triangle away from the outline
        }
        float low[2], high[2];
        bounds(v, low, high);
        if (pixels(low, high) && holdsCentre(v, low, high) &&
            (cover == nullptr || !covered(v, low, high))) {
            out[size] = v[0];
            out[size + 1] = v[1];
            out[size + 2] = v[2];
            size += 3;
        }
    }
    out.resize(size);
}

}  // namespace veliso
