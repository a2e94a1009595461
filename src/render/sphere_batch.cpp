// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/sphere_batch.h"

#include <algorithm>
#include <cmath>

#include "render/mesh_arrays.h"
#include "render/pass_capabilities.h"
#include "render/sphere_occlusion.h"
#include "render/triangle_culling.h"

namespace veliso {

/// The GL state that decides how the spheres of a pass are drawn, read once for the pass.
struct SpherePassState {
    /// The cached meshes give GLU's pixels (MeshesExact).
    bool meshes = false;
    /// Buffer objects exist (OpenGL 1.5 and later).
    bool buffers = false;
    /// Triangles that cover nothing may be left out (TriangleCullingSafe).
    bool culling = false;
    /// Whole spheres may be proven hidden (OcclusionSafe).
    bool occlusion = false;
    double modelView[16] = {};
    double projectionModelView[16] = {};  ///< column-major
    double scale[2] = {0.0, 0.0};
    double offset[2] = {0.0, 0.0};
    PerspectiveView view;
};

namespace {

SphereDrawing gDrawing = SphereDrawing::Cached;

/// The model-view matrix pushed for a scope, and popped however the scope ends.
struct PushedMatrix {
    PushedMatrix() { glPushMatrix(); }
    ~PushedMatrix() { glPopMatrix(); }
    PushedMatrix(const PushedMatrix&) = delete;
    PushedMatrix& operator=(const PushedMatrix&) = delete;
};

/// Bounds of the model-view's stretch wherever occlusion is worked out: there it only turns
/// and moves, its columns of unit length to single-precision rounding (ReadSpherePassState),
/// and radii carry over to eye space within these factors.
constexpr double kLargestStretch = 1.0 + 3e-5;
constexpr double kSmallestStretch = 1.0 - 3e-5;

/// Fills `pass` from the current state: what the pass may do (PassCapabilities), and where
/// culling is safe the transforms it works with. Spheres cut by the near plane are checked
/// one by one (InFrontOfNear).
void ReadSpherePassState(SpherePassState& pass) {
    pass = SpherePassState();
    PassFacts facts;
    ReadPassFacts(facts);
    const PassCapabilities can = Capabilities(facts);
    pass.meshes = can.meshesExact;
    pass.buffers = CurrentContextFacts().buffers;
    pass.culling = can.triangleCullingSafe;
    pass.occlusion = can.occlusionSafe;
    if (!pass.culling) {
        return;
    }
    std::copy_n(facts.modelView, 16, pass.modelView);
    const double* m = pass.modelView;
    const double* p = facts.projection;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += p[4 * k + row] * m[4 * column + k];
            }
            pass.projectionModelView[4 * column + row] = sum;
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        pass.scale[axis] = 0.5 * facts.viewport[2 + axis];
        pass.offset[axis] = facts.viewport[axis] + pass.scale[axis];
    }
    if (!pass.occlusion) {
        return;
    }
    PerspectiveView& view = pass.view;
    std::copy_n(facts.viewport, 4, view.viewport);
    view.focalX = p[0];
    view.focalY = p[5];
    view.nearPlane = p[14] / (p[10] - 1.0);
    view.farPlane = p[14] / (p[10] + 1.0);
    view.depthRange[0] = facts.depthRange[0];
    view.depthRange[1] = facts.depthRange[1];
    view.depthBits = facts.depthBits;
}

/// The window transform of a sphere about (x, y, z) of the pass's model-view.
WindowTransform TransformAt(const SpherePassState& pass, double x, double y, double z) {
    WindowTransform window;
    const double* c = pass.projectionModelView;
    std::copy_n(c, 12, window.clip);
    for (int row = 0; row < 4; ++row) {
        window.clip[12 + row] = c[row] * x + c[4 + row] * y + c[8 + row] * z + c[12 + row];
    }
    for (int axis = 0; axis < 2; ++axis) {
        window.scale[axis] = pass.scale[axis];
        window.offset[axis] = pass.offset[axis];
    }
    return window;
}

/// Draws `mesh` about the origin of `window` with the triangles that can change a pixel,
/// or all of them when the pass allows no culling or the near plane cuts the sphere.
void DrawCulled(MeshArrays& arrays, const SpherePassState& pass, const SphereMesh& mesh,
                const WindowTransform& window, const TriangleCover* cover = nullptr) {
    if (pass.culling && InFrontOfNear(window, mesh.radius)) {
        static CullScratch scratch;
        VisibleTriangles(mesh, window, cover, scratch);
        arrays.Draw(mesh, scratch.visible);
    } else {
        arrays.Draw(mesh, mesh.triangles);
    }
}

}  // namespace

void SetSphereDrawing(SphereDrawing drawing) {
    gDrawing = drawing;
}

SphereDrawing CurrentSphereDrawing() {
    return gDrawing;
}

void DrawSphere(GLUquadric* quadric, double radius, int slices, int stacks) {
    SphereBatch batch(quadric, slices, stacks);
    batch.Add(0.0, 0.0, 0.0, radius);
    batch.Flush();
}

SphereDrawingCounts TakeSphereDrawingCounts() {
    const SphereDrawingCounts counts = RunningSphereCounts();
    RunningSphereCounts() = SphereDrawingCounts();
    return counts;
}

/// Working memory of the batches, kept between frames so that a frame allocates nothing
/// once the largest pass has been drawn.
struct SphereBatch::Scratch {
    std::vector<Item> items;
    std::vector<EyeSphere> eye;
    std::vector<const SphereMesh*> meshes;
    /// The radii of the batch: more than the cache holds, and the plain path draws them.
    std::vector<double> radii;
    /// Per item: a SphereOcclusion::Cover.
    std::vector<SphereOcclusion::Cover> cover;
    std::vector<double> nearestMark;
    SphereOcclusion occlusion;
    bool inUse = false;
};

SphereBatch::SphereBatch(GLUquadric* quadric, int slices, int stacks)
    : quadric_(quadric), slices_(slices), stacks_(stacks) {
    static Scratch shared;
    if (shared.inUse) {
        own_ = std::make_unique<Scratch>();
        scratch_ = own_.get();
    } else {
        scratch_ = &shared;
    }
    scratch_->inUse = true;
    scratch_->items.clear();
}

SphereBatch::~SphereBatch() {
    // Nothing is drawn here: a flush can run out of memory, and a destructor must not throw.
    // A pass that an exception ends is left unfinished; the next batch clears what it held.
    scratch_->inUse = false;
}

void SphereBatch::SetColour(double red, double green, double blue) {
    if (gDrawing != SphereDrawing::Cached) {
        glColor3d(red, green, blue);
        return;
    }
    scratch_->items.push_back({red, green, blue, 0.0, true});
}

void SphereBatch::Add(double x, double y, double z, double radius) {
    if (gDrawing != SphereDrawing::Cached) {
        DrawAt({x, y, z, radius, false});
        return;
    }
    scratch_->items.push_back({x, y, z, radius, false});
}

void SphereBatch::DrawAt(const Item& sphere) const {
    glPushMatrix();
    glTranslated(sphere.a, sphere.b, sphere.c);
    gluSphere(quadric_, sphere.radius, slices_, stacks_);
    glPopMatrix();
}

void SphereBatch::Flush() {
    std::vector<Item>& items = scratch_->items;
    if (items.empty()) {
        return;
    }
    hiddenCount_ = 0;  // this flush's count, whichever way it draws
    SpherePassState pass;
    ReadSpherePassState(pass);
    // The meshes of the batch, which must all stay in the cache until the end.
    std::vector<const SphereMesh*>& meshes = scratch_->meshes;
    meshes.assign(items.size(), nullptr);
    std::vector<double>& radii = scratch_->radii;
    radii.clear();
    if (pass.meshes) {
        const SphereMesh* last = nullptr;
        for (std::size_t k = 0; k < items.size(); ++k) {
            const Item& item = items[k];
            if (item.colour || !SphereMeshMatchesGlu(item.radius, slices_, stacks_)) {
                continue;
            }
            if (last == nullptr || last->radius != item.radius) {
                last = &SharedSphereMeshCache().Get(item.radius, slices_, stacks_);
                if (std::find(radii.begin(), radii.end(), item.radius) == radii.end()) {
                    radii.push_back(item.radius);
                }
            }
            meshes[k] = last;
        }
    }
    if (!pass.meshes || radii.size() > SharedSphereMeshCache().capacity()) {
        for (const Item& item : items) {
            if (item.colour) {
                glColor3d(item.a, item.b, item.c);
            } else {
                DrawAt(item);
            }
        }
        items.clear();
        return;
    }
    // Eye-space balls, then the spheres that others provably cover.
    std::vector<SphereOcclusion::Cover>& cover = scratch_->cover;
    cover.assign(items.size(), SphereOcclusion::Cover::kNone);
    scratch_->nearestMark.resize(items.size());
    if (pass.occlusion) {
        MarkHidden(pass);
    }
    const SphereMesh* lastNormal = nullptr;
    {
        MeshArrays arrays(pass.buffers);
        for (std::size_t k = 0; k < items.size(); ++k) {
            const Item& item = items[k];
            if (item.colour) {
                glColor3d(item.a, item.b, item.c);
                continue;
            }
            if (meshes[k] == nullptr) {
                DrawAt(item);  // GLU draws this key its own way
                lastNormal = nullptr;
                continue;
            }
            lastNormal = meshes[k];
            if (cover[k] == SphereOcclusion::Cover::kWhole) {
                ++hiddenCount_;
                continue;
            }
            TriangleCover triangles;
            if (cover[k] == SphereOcclusion::Cover::kPartly) {
                triangles = CoverOf(pass, k);
            }
            // Popped even when the culling runs out of memory, which ends the frame.
            const PushedMatrix pushed;
            glTranslated(item.a, item.b, item.c);
            DrawCulled(arrays, pass, *meshes[k], TransformAt(pass, item.a, item.b, item.c),
                       cover[k] == SphereOcclusion::Cover::kPartly ? &triangles : nullptr);
        }
    }
    if (lastNormal != nullptr) {
        glNormal3fv(lastNormal->lastNormal);  // what the last gluSphere leaves current
    }
    RunningSphereCounts().hiddenSpheres += hiddenCount_;
    items.clear();
}

TriangleCover SphereBatch::CoverOf(const SpherePassState& pass, std::size_t item) const {
    TriangleCover cover;
    cover.occlusion = &scratch_->occlusion;
    const EyeSphere& sphere = scratch_->eye[item];
    const double* c = sphere.centre;
    const double* m = pass.modelView;
    for (int axis = 0; axis < 3; ++axis) {
        cover.toCentre[axis] = m[4 * axis] * c[0] + m[4 * axis + 1] * c[1] + m[4 * axis + 2] * c[2];
    }
    cover.centre2 = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    cover.edge = scratch_->meshes[item]->longestEdge * kLargestStretch;
    cover.slack = scratch_->occlusion.Margin(sphere);
    cover.nearestMark = scratch_->nearestMark[item];
    cover.origin[0] = static_cast<float>(pass.view.viewport[0]);
    cover.origin[1] = static_cast<float>(pass.view.viewport[1]);
    return cover;
}

void SphereBatch::MarkHidden(const SpherePassState& pass) {
    const std::vector<Item>& items = scratch_->items;
    const std::vector<const SphereMesh*>& meshes = scratch_->meshes;
    std::vector<EyeSphere>& eye = scratch_->eye;
    eye.resize(items.size());
    SphereOcclusion& occlusion = scratch_->occlusion;
    occlusion.Begin(pass.view);
    const double* m = pass.modelView;
    std::size_t spheres = 0;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (meshes[k] == nullptr) {
            continue;
        }
        const Item& item = items[k];
        EyeSphere& sphere = eye[k];
        for (int row = 0; row < 3; ++row) {
            sphere.centre[row] =
                m[row] * item.a + m[4 + row] * item.b + m[8 + row] * item.c + m[12 + row];
        }
        sphere.radius = meshes[k]->radius * kLargestStretch;
        sphere.inradius = meshes[k]->inradius * kSmallestStretch;
        occlusion.AddOccluder(sphere);
        ++spheres;
    }
    if (spheres < 2) {
        return;
    }
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (meshes[k] != nullptr) {
            scratch_->cover[k] = occlusion.Classify(eye[k], &scratch_->nearestMark[k]);
        }
    }
}

}  // namespace veliso
