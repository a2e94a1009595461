// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstddef>
#include <vector>

// The occlusion map works on pixel centres of one viewport; see SphereOcclusion.

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
/// holds a mark nearer, by the margin, than the ball's nearest point along the cell's rays;
/// a triangle, when every cell under it holds a mark nearer than the triangle's nearest
/// point. Distances are measured from the eye along the rays; along one ray the window depth
/// grows with them.
class SphereOcclusion {
  public:
    /// Starts a pass: clears the marks. Cell directions are kept while the view stays.
    void Begin(const PerspectiveView& view);
    /// Marks the cells `sphere` covers; spheres not wholly between the near and far planes,
    /// or far outside the viewport, mark nothing.
    void AddOccluder(const EyeSphere& sphere);
    /// How much of a sphere the occluders added since Begin provably cover.
    enum class Cover {
        kNone,    ///< no occluder lies nearer than the sphere's far side
        kPartly,  ///< some may: its triangles are worth testing one by one
        kWhole,   ///< every pixel it could draw has a nearer fragment
    };
    /// `nearestMark`, when given, receives the nearest mark over the sphere's cells: no part
    /// of it nearer than that can be covered.
    Cover Classify(const EyeSphere& sphere, double* nearestMark = nullptr) const;
    /// Distance, along any ray, by which a fragment of `sphere` must lie behind an occluder's
    /// mark to be surely hidden: the depth step and a share of the radius for rounding,
    /// plus how far snapping may move its vertices.
    double Margin(const EyeSphere& sphere) const;
    /// True when every pixel centre within the window rectangle [x0, x1] x [y0, y1] (pixels
    /// from the viewport's corner) has a mark nearer than `limit`. Called for every triangle
    /// of a partly covered sphere, hence inline.
    bool RegionCovered(float x0, float x1, float y0, float y1, double limit) const {
        // Pixel k holds the centre k + 1/2 and lies in cell k / cell; a rectangle reaching
        // out of the viewport is left to the pixel-centre test.
        x0 -= 0.5f;
        y0 -= 0.5f;
        x1 -= 0.5f;
        y1 -= 0.5f;
        if (!(x0 >= 0.0f && y0 >= 0.0f && x1 < widthPixels_ && y1 < heightPixels_)) {
            return false;
        }
        const int i0 = static_cast<int>(x0) >> cellShift_, i1 = static_cast<int>(x1) >> cellShift_;
        const int j0 = static_cast<int>(y0) >> cellShift_, j1 = static_cast<int>(y1) >> cellShift_;
        for (int j = j0; j <= j1; ++j) {
            const double* mark = &marks_[static_cast<std::size_t>(j) * columns_];
            for (int i = i0; i <= i1; ++i) {
                if (!(mark[i] < limit)) {
                    return false;
                }
            }
        }
        return true;
    }

    /// Pixels per cell side for the current view.
    int cellSize() const { return cell_; }

  private:
    struct Box {
        int i0, j0, i1, j1;  ///< cell range, inclusive
    };
    bool Usable(const EyeSphere& sphere, double outer) const;
    /// Radius of the ball that holds the snapped triangles of `sphere`.
    double Outer(const EyeSphere& sphere) const;
    /// The window rectangle the ball of `radius` projects into, as an inclusive cell range
    /// widened by `marginPixels`; false when it misses the viewport.
    bool Cells(const EyeSphere& sphere, double radius, double marginPixels, Box& box) const;
    /// Eye-space size of one pixel at eye depth w.
    double PixelSize(double w) const { return w * pixelAtUnitDepth_; }

    PerspectiveView view_;
    int cell_ = 4;  ///< a power of two, 1 << cellShift_
    int cellShift_ = 2;
    int columns_ = 0;
    int rows_ = 0;
    float widthPixels_ = 0.0f;
    float heightPixels_ = 0.0f;
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
    /// Per cell: the unit ray through its centre, and the cosine and sine of the widest
    /// angle between that ray and the rays through the cell, x, y, z, cos, sin.
    std::vector<double> cellRays_;
    /// Cells marked since the last Begin, which the next Begin clears: a pass with a few
    /// spheres leaves most of the grid alone.
    Box marked_ = {0, 0, -1, -1};
    /// Per cell: greatest entry distance of the nearest covering occluder, or +infinity.
    std::vector<double> marks_;
    /// Per corner of one occluder's box: entry distance, or NaN when the ray misses.
    std::vector<double> entry_;
};

}  // namespace veliso
