// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "render/sphere_mesh.h"

namespace veliso {

/// What the cached drawing has done since the last call (for tests and benchmarks).
struct SphereDrawingCounts {
    long hiddenSpheres = 0;  ///< spheres the batches left out as covered by others
    long triangles = 0;      ///< triangles drawn from the meshes
};
/// The counts kept since the last TakeSphereDrawingCounts.
SphereDrawingCounts& RunningSphereCounts();

/// Client vertex arrays of the meshes, enabled for a run of draws and restored after it.
class MeshArrays {
  public:
    /// With `buffers`, each mesh's vertices go into a buffer object for the run, so that
    /// the driver copies them once instead of at every draw; the buffers are deleted and
    /// the binding cleared at the end. Without, they are read from the mesh's memory.
    explicit MeshArrays(bool buffers);
    ~MeshArrays();
    MeshArrays(const MeshArrays&) = delete;
    MeshArrays& operator=(const MeshArrays&) = delete;

    /// Draws `triangles` (indices into the mesh's vertices) of `mesh` about the current
    /// origin.
    void Draw(const SphereMesh& mesh, const std::vector<std::uint16_t>& triangles);

  private:
    /// A software rasterizer starts on its work at a flush and otherwise waits for the end
    /// of the frame: hand it the spheres in batches so that it rasterizes one while the
    /// next is being set up. Nothing drawn changes.
    static void CountForFlush(std::size_t triangles);
    void Bind(const SphereMesh& mesh);

    static constexpr int kBuffers = 4;
    const bool buffers_;
    const SphereMesh* bound_ = nullptr;
    GLuint names_[kBuffers] = {};
    const SphereMesh* meshes_[kBuffers] = {};
    int count_ = 0;
};

}  // namespace veliso
