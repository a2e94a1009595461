// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/triangle_culling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace veliso {
namespace {

/// gluPerspective(45°, 1, 1, 10) times a move to (x, y, -distance), into a 200 × 200
/// viewport.
WindowTransform Camera(double x, double y, double distance) {
    const double f = 2.414213562373095, a = -11.0 / 9.0, b = -20.0 / 9.0;
    WindowTransform t{};
    t.clip[0] = f;
    t.clip[5] = f;
    t.clip[10] = a;
    t.clip[11] = -1.0;
    t.clip[12] = f * x;
    t.clip[13] = f * y;
    t.clip[14] = -a * distance + b;
    t.clip[15] = distance;
    t.scale[0] = t.scale[1] = 100.0;
    t.offset[0] = t.offset[1] = 100.0;
    return t;
}

/// Front (counter-clockwise) triangles with a pixel centre of the viewport strictly inside:
/// each of them draws a fragment, so none may be left out.
std::vector<std::size_t> FrontTrianglesOnPixels(const SphereMesh& mesh, const WindowTransform& t) {
    const auto window = [&](std::uint16_t v, int axis) {
        const float* p = &mesh.vertices[6 * v + 3];
        const double* c = t.clip;
        const double w = c[3] * p[0] + c[7] * p[1] + c[11] * p[2] + c[15];
        const double s = c[axis] * p[0] + c[4 + axis] * p[1] + c[8 + axis] * p[2] + c[12 + axis];
        return t.offset[axis] + t.scale[axis] * s / w;
    };
    std::vector<std::size_t> result;
    for (std::size_t k = 0; k < mesh.triangles.size(); k += 3) {
        double x[3], y[3];
        for (int i = 0; i < 3; ++i) {
            x[i] = window(mesh.triangles[k + i], 0);
            y[i] = window(mesh.triangles[k + i], 1);
        }
        const auto edge = [&](int i, double px, double py) {
            const int j = (i + 1) % 3;
            return (x[j] - x[i]) * (py - y[i]) - (y[j] - y[i]) * (px - x[i]);
        };
        bool hit = false;
        for (int py = std::max(0, int(*std::min_element(y, y + 3)));
             py < std::min(200, int(*std::max_element(y, y + 3)) + 1) && !hit; ++py) {
            for (int px = std::max(0, int(*std::min_element(x, x + 3)));
                 px < std::min(200, int(*std::max_element(x, x + 3)) + 1) && !hit; ++px) {
                hit = edge(0, px + 0.5, py + 0.5) > 0 && edge(1, px + 0.5, py + 0.5) > 0 &&
                      edge(2, px + 0.5, py + 0.5) > 0;
            }
        }
        if (hit) {
            result.push_back(k);
        }
    }
    return result;
}

TEST(TriangleCulling, KeepsEveryFrontTriangleOnAPixelAndLeavesOutTheRest) {
    const SphereMesh mesh = BuildSphereMesh(0.5, 32, 16);
    struct Case {
        const char* name;
        WindowTransform camera;
        double mostKept;  // share of the mesh's triangles
    };
    const Case cases[] = {
        {"in the middle", Camera(0.0, 0.0, 4.0), 0.65},
        {"across the edge", Camera(1.6, 0.3, 4.0), 0.5},
        {"outside the view", Camera(5.0, 0.0, 4.0), 0.0},
        // About 6 pixels across, like a gas particle: most triangles are thinner than a
        // pixel, and those that miss every pixel centre go even where their box holds one.
        {"small", Camera(0.3, 0.2, 40.0), 0.1},
    };
    CullScratch scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(InFrontOfNear(c.camera, mesh.radius));
        VisibleTriangles(mesh, c.camera, nullptr, scratch);
        // Whole triangles of the mesh, in its drawing order.
        std::vector<std::size_t> kept;
        std::size_t next = 0;
        for (std::size_t k = 0; k < scratch.visible.size(); k += 3) {
            while (
                next < mesh.triangles.size() &&
                !std::equal(&scratch.visible[k], &scratch.visible[k] + 3, &mesh.triangles[next])) {
                next += 3;
            }
            ASSERT_LT(next, mesh.triangles.size()) << "triangle " << k / 3 << " out of order";
            kept.push_back(next);
            next += 3;
        }
        for (std::size_t front : FrontTrianglesOnPixels(mesh, c.camera)) {
            EXPECT_TRUE(std::binary_search(kept.begin(), kept.end(), front)) << front / 3;
        }
        EXPECT_LE(kept.size(), c.mostKept * mesh.triangles.size() / 3);
    }
    EXPECT_FALSE(InFrontOfNear(Camera(0.0, 0.0, 1.2), mesh.radius)) << "cut by the near plane";
}

TEST(TriangleCulling, KeepsEveryFrontTriangleOnAPixelOfAMeshNotInFours) {
    // 42 triangles: the last block of four that VisibleTriangles works on is not full.
    const SphereMesh mesh = BuildSphereMesh(0.5, 7, 4);
    ASSERT_NE(mesh.triangles.size() / 3 % 4, 0u);
    CullScratch scratch;
    for (const WindowTransform& camera : {Camera(0.0, 0.0, 4.0), Camera(1.6, 0.3, 4.0)}) {
        VisibleTriangles(mesh, camera, nullptr, scratch);
        for (std::size_t front : FrontTrianglesOnPixels(mesh, camera)) {
            bool kept = false;
            for (std::size_t k = 0; k < scratch.visible.size() && !kept; k += 3) {
                kept = std::equal(&scratch.visible[k], &scratch.visible[k] + 3,
                                  &mesh.triangles[front]);
            }
            EXPECT_TRUE(kept) << front / 3;
        }
    }
}

}  // namespace
}  // namespace veliso
