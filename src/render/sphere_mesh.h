// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

// The geometry of gluSphere's spheres and the cache of it: plain memory, no GL objects, so
// that a mesh serves every context.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veliso {

/// The geometry gluSphere emits for a filled, smooth-shaded, outward, untextured quadric,
/// with every vertex stored once. Positions and normals are GLU's own single-precision
/// values (angles 2 pi i / slices and pi j / stacks, radius * sin and radius * cos in double
/// precision rounded to float); the triangles are the ones the rasterizer cuts from GLU's
/// two pole fans and its quad strips, corner order included, in GLU's drawing order.
struct SphereMesh {
    double radius = 0.0;
    int slices = 0;
    int stacks = 0;
    /// Per vertex: normal x, y, z then position x, y, z (scene units).
    std::vector<float> vertices;
    /// Three vertex indices per triangle.
    std::vector<std::uint16_t> triangles;
    /// `triangles` with every vertex replaced by the first vertex at the same point: the
    /// seam's closing vertices (i = slices) by their ring's first one (i = 0).
    std::vector<std::uint16_t> cornerPoints;
    /// The last normal gluSphere sets, which it leaves current.
    float lastNormal[3] = {0.0f, 0.0f, 0.0f};
    /// Smallest distance from the centre to the plane of a triangle (scene units): the
    /// triangles enclose the ball of this radius.
    double inradius = 0.0;
    /// Longest edge of a triangle (scene units).
    double longestEdge = 0.0;
};

/// True when the mesh reproduces gluSphere: 2 <= stacks <= slices <= 239 and a finite
/// radius >= 0. GLU reads cache entries it never filled when stacks exceeds slices.
bool SphereMeshMatchesGlu(double radius, int slices, int stacks);

/// Builds the mesh of gluSphere(radius, slices, stacks); see SphereMeshMatchesGlu.
SphereMesh BuildSphereMesh(double radius, int slices, int stacks);

/// The meshes of the most recently used (radius, slices, stacks) keys, at most `capacity`
/// of them: a miss beyond that replaces the least recently used one. Nothing is allocated
/// on a hit.
class SphereMeshCache {
  public:
    explicit SphereMeshCache(std::size_t capacity = 16) : capacity_(capacity < 1 ? 1 : capacity) {
        entries_.reserve(capacity_);
    }

    /// The mesh of the key, built on a miss. The reference stays valid until that key is
    /// replaced.
    const SphereMesh& Get(double radius, int slices, int stacks);
    std::size_t size() const { return entries_.size(); }
    std::size_t capacity() const { return capacity_; }
    void Clear() { entries_.clear(); }

  private:
    struct Entry {
        SphereMesh mesh;
        std::uint64_t lastUse = 0;
    };
    std::size_t capacity_;
    std::uint64_t clock_ = 0;
    std::vector<Entry> entries_;
};

/// The cache the sphere batches use. Plain memory: the meshes hold no GL objects, so
/// they are valid in every context.
SphereMeshCache& SharedSphereMeshCache();

}  // namespace veliso
