// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/sphere_occlusion.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veliso {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

/// How far, in pixels, the rasterizer may move a vertex when it snaps it to its sub-pixel
/// grid (at least 6 bits: 1/64 pixel), with room for the single-precision transform.
constexpr double kSnapPixels = 0.05;
/// The inner ball is shrunk by 1 %: rays through it then meet the front triangles at an
/// angle of at least a few tenths of a degree, and vertices rounded to single precision
/// stay far outside it.
constexpr double kInnerShrink = 0.99;
/// Vertices stored in single precision lie within 1e-4 relative of the radius.
constexpr double kOuterGrowth = 1.0001;
/// A depth margin of this fraction of the hidden sphere's radius covers the interpolation
/// of steep triangles.
constexpr double kDepthAllowance = 0.01;
/// Occluders reaching more than this many pixels beyond the viewport are left out: the
/// rasterizer would clip their triangles, which moves vertices.
constexpr double kGuardPixels = 1024.0;

}  // namespace

void SphereOcclusion::Begin(const PerspectiveView& view) {
    const bool sameGrid = columns_ > 0 && view.viewport[0] == view_.viewport[0] &&
                          view.viewport[1] == view_.viewport[1] &&
                          view.viewport[2] == view_.viewport[2] &&
                          view.viewport[3] == view_.viewport[3] && view.focalX == view_.focalX &&
                          view.focalY == view_.focalY;
    view_ = view;
    const int width = std::max(view.viewport[2], 1);
    const int height = std::max(view.viewport[3], 1);
    if (!sameGrid) {
        // 200 to 400 cells across the shorter side: a sphere of a twentieth of the view spans
        // a dozen or more, fine enough for the gaps between neighbours, few enough to stay
        // cheap (finer cells cost more in marking than they save). A power of two, so that
        // pixels find their cell by a shift.
        cellShift_ = 1;
        while ((2 << cellShift_) * 200 <= std::min(width, height)) {
            ++cellShift_;
        }
        cell_ = 1 << cellShift_;
        columns_ = (width + cell_ - 1) / cell_;
        rows_ = (height + cell_ - 1) / cell_;
        corners_.resize(3 * static_cast<std::size_t>(columns_ + 1) * (rows_ + 1));
        double* out = corners_.data();
        for (int j = 0; j <= rows_; ++j) {
            // Cell corners on pixel boundaries: every pixel centre of a cell lies inside.
            const double ndcY = 2.0 * std::min(j * cell_, height) / height - 1.0;
            for (int i = 0; i <= columns_; ++i) {
                const double ndcX = 2.0 * std::min(i * cell_, width) / width - 1.0;
                const double x = ndcX / view.focalX, y = ndcY / view.focalY;
                const double length = std::sqrt(x * x + y * y + 1.0);
                *out++ = x / length;
                *out++ = y / length;
                *out++ = -1.0 / length;
            }
        }
        cellRays_.resize(5 * static_cast<std::size_t>(columns_) * rows_);
        double* ray = cellRays_.data();
        for (int j = 0; j < rows_; ++j) {
            const double ndcY = (std::min(j * cell_, height) + std::min((j + 1) * cell_, height)) /
                                    static_cast<double>(height) -
                                1.0;
            for (int i = 0; i < columns_; ++i, ray += 5) {
                const double ndcX =
                    (std::min(i * cell_, width) + std::min((i + 1) * cell_, width)) /
                        static_cast<double>(width) -
                    1.0;
                const double x = ndcX / view.focalX, y = ndcY / view.focalY;
                const double length = std::sqrt(x * x + y * y + 1.0);
                ray[0] = x / length;
                ray[1] = y / length;
                ray[2] = -1.0 / length;
                // The widest angle from the centre ray is at a corner (the rays within an
                // angle of it meet the image plane in a convex region).
                double cosine = 1.0;
                for (int corner = 0; corner < 4; ++corner) {
                    const double* d =
                        &corners_[3 * ((static_cast<std::size_t>(j) + corner / 2) * (columns_ + 1) +
                                       i + corner % 2)];
                    cosine = std::min(cosine, ray[0] * d[0] + ray[1] * d[1] + ray[2] * d[2]);
                }
                // A hair wider, for the rounding of the cosine.
                cosine = std::max(-1.0, cosine - 1e-12);
                ray[3] = cosine;
                ray[4] = std::sqrt(1.0 - cosine * cosine);
            }
        }
    }
    widthPixels_ = static_cast<float>(width);
    heightPixels_ = static_cast<float>(height);
    pixelAtUnitDepth_ = std::max(2.0 / (view.focalX * width), 2.0 / (view.focalY * height));
    const double n = view.nearPlane, f = view.farPlane;
    depthSlope_ = (view.depthRange[1] - view.depthRange[0]) * f * n / (f - n);
    // 16 steps of the depth buffer, and never less than 2^-16: fragments that far apart
    // keep their order through interpolation and storage.
    depthStep_ = std::max(std::ldexp(1.0, -16), std::ldexp(16.0, -std::max(view.depthBits, 1)));
    axisCosine_ = 1.0 / std::sqrt(1.0 + 1.0 / (view.focalX * view.focalX) +
                                  1.0 / (view.focalY * view.focalY));
    if (!sameGrid) {
        marks_.assign(static_cast<std::size_t>(columns_) * rows_, kInfinity);
    } else {
        for (int j = marked_.j0; j <= marked_.j1; ++j) {
            double* mark = &marks_[static_cast<std::size_t>(j) * columns_];
            std::fill(mark + marked_.i0, mark + marked_.i1 + 1, kInfinity);
        }
    }
    marked_ = {columns_, rows_, -1, -1};
}

bool SphereOcclusion::Usable(const EyeSphere& sphere, double outer) const {
    const double w = -sphere.centre[2];
    return std::isfinite(w) && outer > 0.0 && w - outer > 1.01 * view_.nearPlane &&
           w + outer < 0.99 * view_.farPlane;
}

bool SphereOcclusion::Cells(const EyeSphere& sphere, double radius, double marginPixels,
                            Box& box) const {
    // Extreme slopes x / w (and y / w) of the ball's tangent planes through the eye: the
    // roots of m^2 (w^2 - r^2) - 2 a w m + a^2 - r^2 = 0 for the centre's coordinate a.
    const double w = -sphere.centre[2];
    const double r2 = radius * radius;
    const double denominator = w * w - r2;
    const int* viewport = view_.viewport;
    int low[2], high[2];
    const int limits[2] = {columns_ - 1, rows_ - 1};
    for (int axis = 0; axis < 2; ++axis) {
        const double a = sphere.centre[axis];
        const double root = radius * std::sqrt(a * a + denominator);
        const double focal = axis == 0 ? view_.focalX : view_.focalY;
        const double half = 0.5 * viewport[2 + axis];
        // Window coordinates relative to the viewport's corner.
        const double from = half + half * focal * (a * w - root) / denominator - marginPixels;
        const double to = half + half * focal * (a * w + root) / denominator + marginPixels;
        if (!(to >= 0.0 && from <= viewport[2 + axis]) || from < -kGuardPixels ||
            to > viewport[2 + axis] + kGuardPixels) {
            return false;
        }
        low[axis] = std::max(0, static_cast<int>(std::floor(from / cell_)));
        high[axis] = std::min(limits[axis], static_cast<int>(std::floor(to / cell_)));
    }
    box = {low[0], low[1], high[0], high[1]};
    return box.i0 <= box.i1 && box.j0 <= box.j1;
}

void SphereOcclusion::AddOccluder(const EyeSphere& sphere) {
    const double w = -sphere.centre[2];
    const double snap = kSnapPixels * PixelSize(w + sphere.radius);
    const double inner = kInnerShrink * sphere.inradius - snap;
    Box box;
    if (!(inner > 0.0) || !Usable(sphere, kOuterGrowth * sphere.radius + snap) ||
        !Cells(sphere, inner, 0.0, box)) {
        return;
    }
    const double* c = sphere.centre;
    const double centre2 = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    const double inner2 = inner * inner;
    const int boxColumns = box.i1 - box.i0 + 2;
    entry_.resize(static_cast<std::size_t>(boxColumns) * (box.j1 - box.j0 + 2));
    // Entry distance along each corner ray: t - sqrt(r^2 - d^2), t the distance to the
    // point nearest the centre, d the ray's distance from it.
    double* e = entry_.data();
    for (int j = box.j0; j <= box.j1 + 1; ++j) {
        const double* d = &corners_[3 * (static_cast<std::size_t>(j) * (columns_ + 1) + box.i0)];
        for (int i = 0; i < boxColumns; ++i, d += 3) {
            const double t = c[0] * d[0] + c[1] * d[1] + c[2] * d[2];
            const double miss2 = centre2 - t * t;
            *e++ = t > 0.0 && miss2 < inner2 ? t - std::sqrt(inner2 - miss2) : kInfinity;
        }
    }
    marked_ = {std::min(marked_.i0, box.i0), std::min(marked_.j0, box.j0),
               std::max(marked_.i1, box.i1), std::max(marked_.j1, box.j1)};
    // A cell is covered when its four corner rays meet the ball: the rays within an angle
    // of the centre's direction form a convex cone. The entry distance grows with that
    // angle, so its greatest value over the cell is at a corner.
    for (int j = box.j0; j <= box.j1; ++j) {
        const double* below = &entry_[static_cast<std::size_t>(j - box.j0) * boxColumns];
        const double* above = below + boxColumns;
        double* mark = &marks_[static_cast<std::size_t>(j) * columns_ + box.i0];
        for (int i = 0; i <= box.i1 - box.i0; ++i) {
            const double farthest = std::max({below[i], below[i + 1], above[i], above[i + 1]});
            mark[i] = std::min(mark[i], farthest);
        }
    }
}

double SphereOcclusion::Outer(const EyeSphere& sphere) const {
    return kOuterGrowth * sphere.radius +
           kSnapPixels * PixelSize(-sphere.centre[2] + sphere.radius);
}

double SphereOcclusion::Margin(const EyeSphere& sphere) const {
    // Along a ray the window depth grows with w at least as fast as depthSlope / w^2, and w
    // grows with the distance at least by the ray's cosine with the view axis.
    const double outer = Outer(sphere);
    const double farthestW = -sphere.centre[2] + outer;
    return depthStep_ * farthestW * farthestW / (depthSlope_ * axisCosine_) +
           kDepthAllowance * sphere.radius + (outer - sphere.radius);
}

SphereOcclusion::Cover SphereOcclusion::Classify(const EyeSphere& sphere,
                                                 double* nearestMark) const {
    const double outer = Outer(sphere);
    Box box;
    if (!Usable(sphere, outer) || !Cells(sphere, outer, 1.0, box)) {
        return Cover::kNone;
    }
    const double* c = sphere.centre;
    const double distance = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    const double margin = Margin(sphere);
    const double farLimit = distance + outer - margin;
    const double outer2 = outer * outer;
    const double nearLimit = distance - outer - margin;
    bool whole = true;
    double nearest = kInfinity;
    for (int j = box.j0; j <= box.j1; ++j) {
        const std::size_t row = static_cast<std::size_t>(j) * columns_;
        const double* mark = &marks_[row];
        for (int i = box.i0; i <= box.i1; ++i) {
            nearest = std::min(nearest, mark[i]);
            if (!whole || mark[i] < nearLimit) {
                continue;  // settled, or nearer than the whole sphere
            }
            // The rays of the cell lie at least the angle between its centre ray and the
            // sphere's centre, less the cell's own angular radius, from the centre; the
            // entry distance D cos a - sqrt(r^2 - D^2 sin^2 a) grows with that angle.
            const double* ray = &cellRays_[5 * (row + i)];
            const double cosine =
                std::clamp((c[0] * ray[0] + c[1] * ray[1] + c[2] * ray[2]) / distance, -1.0, 1.0);
            const double sine = std::sqrt(1.0 - cosine * cosine);
            const double nearestCosine = cosine >= ray[3] ? 1.0 : cosine * ray[3] + sine * ray[4];
            const double miss2 = distance * distance * (1.0 - nearestCosine * nearestCosine);
            if (miss2 >= outer2) {
                continue;  // no ray of the cell meets the ball
            }
            const double entry = distance * nearestCosine - std::sqrt(outer2 - miss2);
            whole = mark[i] < entry - margin;
        }
    }
    if (nearestMark != nullptr) {
        *nearestMark = nearest;
    }
    return whole ? Cover::kWhole : nearest < farLimit ? Cover::kPartly : Cover::kNone;
}

}  // namespace veliso
