// Buffer objects (OpenGL 1.5) are called directly, as libGL exports them.
#define GL_GLEXT_PROTOTYPES 1
#include "render/sphere_mesh.h"

#include <algorithm>
#include <cmath>

#include "render/pass_capabilities.h"
#include "render/sphere_occlusion.h"

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

namespace {

SphereDrawing gDrawing = SphereDrawing::Cached;

/// Triangles drawn between two glFlush calls (see DrawSphere).
constexpr std::size_t kFlushBatch = 12000;
std::size_t gTrianglesSinceFlush = 0;
SphereDrawingCounts gCounts;

constexpr double kPi = 3.14159265358979323846;
/// GLU's trigonometric caches hold 240 entries.
constexpr int kGluMaxSlices = 239;

/// Bounds of the model-view's stretch wherever occlusion is worked out: there it only turns
/// and moves, its columns of unit length to single-precision rounding (ReadSpherePassState),
/// and radii carry over to eye space within these factors.
constexpr double kLargestStretch = 1.0 + 3e-5;
constexpr double kSmallestStretch = 1.0 - 3e-5;

/// Smallest height, in pixels, of a back triangle that may be left out: thinner ones count
/// as edge-on, since the rasterizer's snapping to 1/256 pixel may turn them over.
constexpr double kMinBackHeight = 0.25;

/// Object-to-window transform of a sphere about its origin: window x, y of a point (x, y, z)
/// are viewport offset + size * (clip / w + 1) / 2, clip = projection * model-view.
struct WindowTransform {
    double clip[16];   ///< projection * model-view, column-major
    double scale[2];   ///< half the viewport width and height
    double offset[2];  ///< viewport x, y plus the half sizes
};

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

/// True when the whole ball of `radius` about the transform's origin lies in front of the
/// near plane: a sphere cut open by it shows its inside.
bool InFrontOfNear(const WindowTransform& window, double radius) {
    // Near clipping plane in object coordinates: clip z + clip w >= 0. The centre (the
    // origin) must lie more than the radius in front of it, 1 % to spare for rounding.
    const double* c = window.clip;
    const double a = c[2] + c[3], b = c[6] + c[7], d = c[10] + c[11], e = c[14] + c[15];
    const double normal = std::sqrt(a * a + b * b + d * d);
    return normal > 0.0 && e > 1.01 * radius * normal;
}

/// Largest integer <= x, for window coordinates within the viewport.
inline int Floor(float x) {
    const int truncated = static_cast<int>(x);
    return truncated - (x < static_cast<float>(truncated) ? 1 : 0);
}

/// Per-draw working memory, kept between spheres so that drawing allocates nothing once
/// the largest mesh has been drawn.
struct DrawScratch {
    std::vector<float> window;            ///< per vertex: window x, y
    std::vector<std::uint8_t> kind;       ///< per triangle: see VisibleTriangles
    std::vector<std::uint8_t> nearFront;  ///< per point: corner of a front or edge-on one
    std::vector<std::uint16_t> visible;   ///< the triangles drawn
    std::vector<double> distance;         ///< per vertex: distance from the eye
};

/// The triangles of `mesh` that can change a pixel, in drawing order, from where their
/// corners fall in the window. Left out are
/// - triangles whose bounding box, widened by 1/64 pixel for the rasterizer's rounding and
///   snapping, holds no pixel centre of the viewport: they produce no fragment;
/// - back (clockwise) triangles at least kMinBackHeight high that share no corner point
///   (the seam's twin vertices count as one) with a front or thinner one. They lie inside
///   the outline behind a band of such back triangles, covered by front triangles with a
///   clear depth margin. The back triangles that border the outline stay: there the depths
///   of front and back triangles meet, and rounding or snapping decides which one shows;
/// - with a `cover`, triangles whose every pixel centre has a nearer fragment of the pass's
///   spheres (SphereOcclusion), farther by the margin than the occluders' marks.
void VisibleTriangles(const SphereMesh& mesh, const WindowTransform& transform,
                      const TriangleCover* cover, DrawScratch& scratch) {
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
        if (pixels(low, high) && (cover == nullptr || !covered(v, low, high))) {
            out[size] = v[0];
            out[size + 1] = v[1];
            out[size + 2] = v[2];
            size += 3;
        }
    }
    out.resize(size);
}

/// Client vertex arrays of the meshes, enabled for a run of draws and restored after it.
class MeshArrays {
  public:
    /// With `buffers`, each mesh's vertices go into a buffer object for the run, so that
    /// the driver copies them once instead of at every draw; the buffers are deleted and
    /// the binding cleared at the end. Without, they are read from the mesh's memory.
    explicit MeshArrays(bool buffers) : buffers_(buffers) {
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
    }
    ~MeshArrays() {
        if (count_ > 0) {
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            glDeleteBuffers(count_, names_);
        }
        glPopClientAttrib();
    }
    MeshArrays(const MeshArrays&) = delete;
    MeshArrays& operator=(const MeshArrays&) = delete;

    void Draw(const SphereMesh& mesh, const std::vector<std::uint16_t>& triangles) {
        if (&mesh != bound_) {
            Bind(mesh);
        }
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(triangles.size()), GL_UNSIGNED_SHORT,
                       triangles.data());
        CountForFlush(triangles.size() / 3);
    }

  private:
    /// A software rasterizer starts on its work at a flush and otherwise waits for the end
    /// of the frame: hand it the spheres in batches so that it rasterizes one while the
    /// next is being set up. Nothing drawn changes.
    static void CountForFlush(std::size_t triangles) {
        gCounts.triangles += static_cast<long>(triangles);
        gTrianglesSinceFlush += triangles;
        if (gTrianglesSinceFlush >= kFlushBatch) {
            glFlush();
            gTrianglesSinceFlush = 0;
        }
    }

    void Bind(const SphereMesh& mesh) {
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

    static constexpr int kBuffers = 4;
    const bool buffers_;
    const SphereMesh* bound_ = nullptr;
    GLuint names_[kBuffers] = {};
    const SphereMesh* meshes_[kBuffers] = {};
    int count_ = 0;
};

/// Draws `mesh` about the origin of `window` with the triangles that can change a pixel,
/// or all of them when the pass allows no culling or the near plane cuts the sphere.
void DrawCulled(MeshArrays& arrays, const SpherePassState& pass, const SphereMesh& mesh,
                const WindowTransform& window, const TriangleCover* cover = nullptr) {
    if (pass.culling && InFrontOfNear(window, mesh.radius)) {
        static DrawScratch scratch;
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

void DrawSphere(GLUquadric* quadric, double radius, int slices, int stacks) {
    SphereBatch batch(quadric, slices, stacks);
    batch.Add(0.0, 0.0, 0.0, radius);
}

SphereDrawingCounts TakeSphereDrawingCounts() {
    const SphereDrawingCounts counts = gCounts;
    gCounts = SphereDrawingCounts();
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
    Flush();
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
            glPushMatrix();
            glTranslated(item.a, item.b, item.c);
            DrawCulled(arrays, pass, *meshes[k], TransformAt(pass, item.a, item.b, item.c),
                       cover[k] == SphereOcclusion::Cover::kPartly ? &triangles : nullptr);
            glPopMatrix();
        }
    }
    if (lastNormal != nullptr) {
        glNormal3fv(lastNormal->lastNormal);  // what the last gluSphere leaves current
    }
    gCounts.hiddenSpheres += hiddenCount_;
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
