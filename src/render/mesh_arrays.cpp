// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// Buffer objects (OpenGL 1.5) are called directly, as libGL exports them.
#define GL_GLEXT_PROTOTYPES 1
#include "render/mesh_arrays.h"

#include <GL/glext.h>

namespace veliso {

namespace {

/// Triangles drawn between two glFlush calls.
constexpr std::size_t kFlushBatch = 12000;
std::size_t gTrianglesSinceFlush = 0;

}  // namespace

SphereDrawingCounts& RunningSphereCounts() {
    static SphereDrawingCounts counts;
    return counts;
}

MeshArrays::MeshArrays(bool buffers) : buffers_(buffers) {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
}

MeshArrays::~MeshArrays() {
    if (count_ > 0) {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glDeleteBuffers(count_, names_);
    }
    glPopClientAttrib();
}

void MeshArrays::Draw(const SphereMesh& mesh, const std::vector<std::uint16_t>& triangles) {
    if (&mesh != bound_) {
        Bind(mesh);
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(triangles.size()), GL_UNSIGNED_SHORT,
                   triangles.data());
    CountForFlush(triangles.size() / 3);
}

void MeshArrays::CountForFlush(std::size_t triangles) {
    RunningSphereCounts().triangles += static_cast<long>(triangles);
    gTrianglesSinceFlush += triangles;
    if (gTrianglesSinceFlush >= kFlushBatch) {
        glFlush();
        gTrianglesSinceFlush = 0;
    }
}

void MeshArrays::Bind(const SphereMesh& mesh) {
    constexpr GLsizei kStride = 6 * sizeof(float);
    const char* normals = reinterpret_cast<const char*>(mesh.vertices.data());
    if (buffers_) {
        int slot = 0;
        while (slot < count_ && meshes_[slot] != &mesh) {
            ++slot;
        }
        if (slot == count_ && count_ == kBuffers) {
            slot = 0;  // more meshes than buffers in one run: reuse the first
            meshes_[0] = nullptr;
        } else if (slot == count_) {
            glGenBuffers(1, &names_[count_++]);
        }
        glBindBuffer(GL_ARRAY_BUFFER, names_[slot]);
        if (meshes_[slot] != &mesh) {
            glBufferData(GL_ARRAY_BUFFER,
                         static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(float)),
                         mesh.vertices.data(), GL_STREAM_DRAW);
            meshes_[slot] = &mesh;
        }
        normals = nullptr;  // offsets into the bound buffer from here on
    }
    // Per vertex: the normal, then the position 3 floats further.
    glNormalPointer(GL_FLOAT, kStride, normals);
    glVertexPointer(3, GL_FLOAT, kStride,
                    normals == nullptr ? reinterpret_cast<const void*>(3 * sizeof(float))
                                       : normals + 3 * sizeof(float));
    bound_ = &mesh;
}

}  // namespace veliso
