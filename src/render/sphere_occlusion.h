#pragma once

#include <cstddef>
#include <vector>

namespace veliso {

/// A perspective view without off-centre shift, as gluPerspective sets it up, and the depth
/// buffer it draws into.
struct PerspectiveView {
    int viewport[4] = {0, 0, 0, 0};  ///< x, y, width, height in pixels
    double focalX = 1.0;             ///< projection[0]: cot(fovy / 2) / aspect
    double focalY = 1.0;             ///< projection[5]: cot(fovy / 2)
    double nearPlane = 0.1;          ///< eye depth of the near clipping plane
    double farPlane = 50.0;          ///< eye depth of the far clipping plane
    double depthRange[2] = {0.0, 1.0};
    int depthBits = 24;
};

/// A sphere mesh placed in eye space: its centre, the radius of its vertices and the
/// smallest distance from the centre to the plane of one of its triangles (scene units).
/// The triangles lie inside the ball of `radius` and, the mesh being convex, they enclose
/// the ball of `inradius`.
struct EyeSphere {
    double centre[3] = {0.0, 0.0, 0.0};
    double radius = 0.0;
    double inradius = 0.0;
};

/// Finds spheres that provably cannot change a pixel because other spheres of the same pass
/// cover them: at every pixel centre where a sphere could produce a fragment, another
/// sphere's fragment lies nearer by a depth margin that no rounding closes. With the depth
/// test LESS or LEQUAL, depth writes and nothing blending, the colour and depth a pixel ends
/// with are those of its nearest fragment (ties going to the first or the last drawn), so
/// leaving out a sphere whose every fragment has a strictly nearer one changes nothing,
/// whatever the order, and whether or not the nearer spheres are left out too.
///
/// The proof works on a grid of cells of a few pixels. Each occluder marks the cells whose
/// every ray meets its inner ball (shrunk for the rasterizer's snapping) with the greatest
/// distance along those rays at which it enters that ball: its own front triangles lie at
/// that distance or nearer. A sphere is hidden when every cell its outer ball may touch
/// holds a mark nearer than the ball's nearest point by the margin. Distances are measured
/// from the eye along the rays; along one ray the window depth grows with them.
class SphereOcclusion {
  public:
    /// Starts a pass: clears the marks. Cell directions are kept while the view stays.
    void Begin(const PerspectiveView& view);
    /// Marks the cells `sphere` covers; spheres not wholly between the near and far planes,
    /// or far outside the viewport, mark nothing.
    void AddOccluder(const EyeSphere& sphere);
    /// True when `sphere` is provably hidden by the occluders added since Begin.
    bool Hidden(const EyeSphere& sphere) const;

    /// Pixels per cell side for the current view.
    int cellSize() const { return cell_; }

  private:
    struct Box {
        int i0, j0, i1, j1;  ///< cell range, inclusive
    };
    bool Usable(const EyeSphere& sphere, double outer) const;
    /// The window rectangle the ball of `radius` projects into, as an inclusive cell range
    /// widened by `marginPixels`; false when it misses the viewport.
    bool Cells(const EyeSphere& sphere, double radius, double marginPixels, Box& box) const;
    /// Eye-space size of one pixel at eye depth w.
    double PixelSize(double w) const { return w * pixelAtUnitDepth_; }

    PerspectiveView view_;
    int cell_ = 4;
    int columns_ = 0;
    int rows_ = 0;
    double pixelAtUnitDepth_ = 0.0;
    /// Slope of the window depth against 1 / w: depth = a - depthSlope_ / w.
    double depthSlope_ = 0.0;
    /// Window-depth difference that keeps two fragments in order after interpolation and
    /// storage.
    double depthStep_ = 0.0;
    /// cos of the widest angle between a ray of the viewport and the view axis.
    double axisCosine_ = 1.0;
    /// Unit ray directions through the cell corners, (columns + 1) x (rows + 1), x, y, z.
    std::vector<double> corners_;
    /// Per cell: greatest entry distance of the nearest covering occluder, or +infinity.
    std::vector<double> marks_;
    /// Per corner of one occluder's box: entry distance, or NaN when the ray misses.
    std::vector<double> entry_;
};

}  // namespace veliso
