#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace veliso {

/// How DrawSphere draws. The program always uses Cached; NaiveGlu is the plain gluSphere
/// path, kept for benchmarks and tests that compare the two.
enum class SphereDrawing {
    NaiveGlu,  ///< gluSphere on the caller's quadric, vertex by vertex
    Cached,    ///< prebuilt geometry, one indexed draw a sphere
};

void SetSphereDrawing(SphereDrawing drawing);
SphereDrawing CurrentSphereDrawing();

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

/// The cache DrawSphere and SphereBatch use. Plain memory: the meshes hold no GL objects, so
/// they are valid in every context.
SphereMeshCache& SharedSphereMeshCache();

/// Draws the sphere gluSphere(quadric, radius, slices, stacks) draws, about the current
/// origin, for a quadric set to fill without texture coordinates (GLU's default normals and
/// orientation), with the same pixels and the same current normal afterwards: a batch of
/// one sphere (SphereBatch). Where the state makes it safe (TriangleCullingSafe) the
/// triangles that cannot change a pixel are left out: those that cover no pixel centre and
/// the back ones hidden well inside the outline, about 40 % of a sphere. Every 12000
/// triangles or so the drawing calls glFlush, so that a software rasterizer works while the
/// frame is still being set up. gluSphere itself draws in NaiveGlu mode, for keys GLU draws
/// oddly (SphereMeshMatchesGlu), and wherever the meshes could differ from GLU's pixels
/// (MeshesExact).
void DrawSphere(GLUquadric* quadric, double radius, int slices, int stacks);

/// What the cached drawing has done since the last call (for tests and benchmarks).
struct SphereDrawingCounts {
    long hiddenSpheres = 0;  ///< spheres the batches left out as covered by others
    long triangles = 0;      ///< triangles drawn from the meshes
};
SphereDrawingCounts TakeSphereDrawingCounts();

struct SpherePassState;
struct TriangleCover;

/// The spheres of one pass of a scene, all of `slices` and `stacks`, in their drawing order
/// with the colour changes between them. Each sphere is what the plain sequence glPushMatrix,
/// glTranslated(x, y, z), gluSphere(quadric, radius, slices, stacks), glPopMatrix draws, and
/// each colour what glColor3d sets. In NaiveGlu mode every call goes to GL at once. In Cached
/// mode the batch keeps them until Flush, reads the GL state once for all of them, and draws
/// them in the same order as DrawSphere would (each mesh's vertices in a buffer object for
/// the pass where OpenGL 1.5 is there), except that what the other spheres of the batch
/// provably cover at every pixel with nearer fragments is left out: whole spheres, and the
/// triangles of the spheres they cover in part (SphereOcclusion). The depth test then
/// decides every pixel as before. Nothing else may be drawn or changed in GL between the
/// calls of one batch; flush first.
class SphereBatch {
  public:
    SphereBatch(GLUquadric* quadric, int slices, int stacks);
    /// Flushes.
    ~SphereBatch();
    SphereBatch(const SphereBatch&) = delete;
    SphereBatch& operator=(const SphereBatch&) = delete;

    /// The colour of the next spheres (RGB 0 .. 1), as glColor3d.
    void SetColour(double red, double green, double blue);
    /// A sphere of `radius` about (x, y, z) of the current model-view.
    void Add(double x, double y, double z, double radius);
    /// Draws what was added since the last flush.
    void Flush();
    /// Spheres the last Flush left out as hidden.
    int hiddenCount() const { return hiddenCount_; }

  private:
    /// A sphere about (a, b, c) or a colour (red, green, blue in a, b, c).
    struct Item {
        double a, b, c;
        double radius;
        bool colour;
    };
    struct Scratch;
    void DrawAt(const Item& sphere) const;
    /// Sorts the spheres by how much of them the others cover.
    void MarkHidden(const SpherePassState& pass);
    TriangleCover CoverOf(const SpherePassState& pass, std::size_t item) const;

    GLUquadric* quadric_;
    int slices_;
    int stacks_;
    Scratch* scratch_ = nullptr;
    std::unique_ptr<Scratch> own_;
    int hiddenCount_ = 0;
};

}  // namespace veliso
