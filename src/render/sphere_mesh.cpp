// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/sphere_mesh.h"

#include <algorithm>
#include <cmath>

namespace veliso {

namespace {

constexpr double kPi = 3.14159265358979323846;
/// GLU's trigonometric caches hold 240 entries.
constexpr int kGluMaxSlices = 239;

}  // namespace

bool SphereMeshMatchesGlu(double radius, int slices, int stacks) {
    return std::isfinite(radius) && radius >= 0.0 && stacks >= 2 && stacks <= slices &&
           slices <= kGluMaxSlices;
}

SphereMesh BuildSphereMesh(double radius, int slices, int stacks) {
    SphereMesh mesh;
    mesh.radius = radius;
    mesh.slices = slices;
    mesh.stacks = stacks;
    // GLU's caches, in its arithmetic: float angles, sines and cosines taken in double.
    std::vector<float> sinA(slices + 1), cosA(slices + 1);
    for (int i = 0; i < slices; ++i) {
        const float angle = static_cast<float>(2 * kPi * i / slices);
        sinA[i] = static_cast<float>(std::sin(double{angle}));
        cosA[i] = static_cast<float>(std::cos(double{angle}));
    }
    sinA[slices] = sinA[0];
    cosA[slices] = cosA[0];
    std::vector<float> sinB(stacks + 1), cosB(stacks + 1), ringRadius(stacks + 1),
        ringZ(stacks + 1);
    for (int j = 0; j <= stacks; ++j) {
        const float angle = static_cast<float>(kPi * j / stacks);
        sinB[j] = static_cast<float>(std::sin(double{angle}));
        cosB[j] = static_cast<float>(std::cos(double{angle}));
        ringRadius[j] = static_cast<float>(radius * std::sin(double{angle}));
        ringZ[j] = static_cast<float>(radius * std::cos(double{angle}));
    }
    ringRadius[0] = 0.0f;  // the poles come to a point
    ringRadius[stacks] = 0.0f;

    // Vertex 0: north pole; 1: south pole; then rings j = 1 .. stacks - 1, i = 0 .. slices.
    // The south pole's normal is GLU's, which indexes its slice cache with `stacks`.
    const float r = static_cast<float>(radius);
    mesh.vertices = {
        sinA[0] * sinB[0],           cosA[0] * sinB[0],           cosB[0],      0.0f, 0.0f, r,
        sinA[stacks] * sinB[stacks], cosA[stacks] * sinB[stacks], cosB[stacks], 0.0f, 0.0f, -r};
    mesh.vertices.reserve(6 * (2 + (stacks - 1) * (slices + 1)));
    for (int j = 1; j < stacks; ++j) {
        for (int i = 0; i <= slices; ++i) {
            mesh.vertices.insert(mesh.vertices.end(),
                                 {sinA[i] * sinB[j], cosA[i] * sinB[j], cosB[j],
                                  ringRadius[j] * sinA[i], ringRadius[j] * cosA[i], ringZ[j]});
        }
    }
    const auto ring = [slices](int j, int i) {
        return static_cast<std::uint16_t>(2 + (j - 1) * (slices + 1) + i);
    };
    const auto triangle = [&mesh](std::uint16_t a, std::uint16_t b, std::uint16_t c) {
        mesh.triangles.insert(mesh.triangles.end(), {a, b, c});
    };
    mesh.triangles.reserve(3 * 2 * slices * (stacks - 1));
    // Fans (pole, v[k - 1], v[k]); the north fan runs i = slices .. 0, the south one 0 .. slices.
    for (int i = slices; i > 0; --i) {
        triangle(0, ring(1, i), ring(1, i - 1));
    }
    for (int i = 0; i < slices; ++i) {
        triangle(1, ring(stacks - 1, i), ring(stacks - 1, i + 1));
    }
    // Quad strip between rings j + 1 (first of each pair) and j: the quad of strip vertices
    // v[k - 3] .. v[k] becomes (v[k - 3], v[k - 2], v[k]) and (v[k - 1], v[k - 3], v[k]).
    for (int j = 1; j < stacks - 1; ++j) {
        for (int i = 1; i <= slices; ++i) {
            triangle(ring(j + 1, i - 1), ring(j, i - 1), ring(j, i));
            triangle(ring(j + 1, i), ring(j + 1, i - 1), ring(j, i));
        }
    }
    // The seam vertex i = slices repeats i = 0 of its ring: one point, two vertices.
    mesh.cornerPoints = mesh.triangles;
    for (std::uint16_t& corner : mesh.cornerPoints) {
        if (corner >= 2 && (corner - 2) % (slices + 1) == slices) {
            corner = static_cast<std::uint16_t>(corner - slices);
        }
    }
    // The hull is convex: its triangles' planes bound the ball it encloses.
    mesh.inradius = radius;
    mesh.longestEdge = 0.0;
    for (std::size_t t = 0; t < mesh.triangles.size(); t += 3) {
        const float* p[3];
        for (int k = 0; k < 3; ++k) {
            p[k] = &mesh.vertices[6 * mesh.triangles[t + k] + 3];
        }
        const double u[3] = {double{p[1][0]} - p[0][0], double{p[1][1]} - p[0][1],
                             double{p[1][2]} - p[0][2]};
        const double v[3] = {double{p[2][0]} - p[0][0], double{p[2][1]} - p[0][1],
                             double{p[2][2]} - p[0][2]};
        const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                             u[0] * v[1] - u[1] * v[0]};
        const double w[3] = {u[0] - v[0], u[1] - v[1], u[2] - v[2]};
        mesh.longestEdge =
            std::max({mesh.longestEdge, std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]),
                      std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]),
                      std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2])});
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0.0) {
            const double distance =
                std::abs(n[0] * p[0][0] + n[1] * p[0][1] + n[2] * p[0][2]) / length;
            mesh.inradius = std::min(mesh.inradius, distance);
        }
    }
    const int lastRing = stacks > 2 ? stacks - 2 : stacks - 1;
    const std::size_t last = 6 * ring(lastRing, slices);
    std::copy_n(mesh.vertices.begin() + last, 3, mesh.lastNormal);
    return mesh;
}

const SphereMesh& SphereMeshCache::Get(double radius, int slices, int stacks) {
    ++clock_;
    for (Entry& entry : entries_) {
        if (entry.mesh.radius == radius && entry.mesh.slices == slices &&
            entry.mesh.stacks == stacks) {
            entry.lastUse = clock_;
            return entry.mesh;
        }
    }
    Entry* slot = nullptr;
    if (entries_.size() < capacity_) {
        slot = &entries_.emplace_back();
    } else {
        slot = &*std::min_element(
            entries_.begin(), entries_.end(),
            [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
    }
    slot->mesh = BuildSphereMesh(radius, slices, stacks);
    slot->lastUse = clock_;
    return slot->mesh;
}

SphereMeshCache& SharedSphereMeshCache() {
    static SphereMeshCache cache;
    return cache;
}

}  // namespace veliso
