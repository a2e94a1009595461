// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/solid/solid_structures.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace veliso {

namespace {

/// Cube outline: six faces of four vertices, each coordinate a sign of +-H.
constexpr int kCubeFaceSigns[6][4][3] = {
    {{+1, -1, -1}, {-1, -1, -1}, {-1, -1, +1}, {+1, -1, +1}},  // bottom, y = -H
    {{+1, +1, -1}, {+1, +1, +1}, {-1, +1, +1}, {-1, +1, -1}},  // top, y = +H
    {{-1, -1, -1}, {-1, +1, -1}, {-1, +1, +1}, {-1, -1, +1}},  // x = -H
    {{+1, -1, -1}, {+1, -1, +1}, {+1, +1, +1}, {+1, +1, -1}},  // x = +H
    {{-1, -1, -1}, {+1, -1, -1}, {+1, +1, -1}, {-1, +1, -1}},  // z = -H
    {{-1, -1, +1}, {-1, +1, +1}, {+1, +1, +1}, {+1, -1, +1}},  // z = +H
};

/// The four body diagonals of the body-centred cell, as pairs of corners.
constexpr int kBodyDiagonalSigns[8][3] = {
    {+1, +1, +1}, {-1, -1, -1}, {-1, +1, +1}, {+1, -1, -1},
    {-1, +1, -1}, {+1, -1, +1}, {-1, -1, +1}, {+1, +1, -1},
};

/// Closed loops of the hexagonal cell, as indices into hcpCellSites.
constexpr int kHcpUpperHexagon[] = {0, 1, 4, 6, 5, 2};
constexpr int kHcpLowerHexagon[] = {10, 11, 14, 16, 15, 12};
constexpr int kHcpRectangleA[] = {0, 6, 16, 10};
constexpr int kHcpRectangleB[] = {1, 5, 15, 11};
constexpr int kHcpRectangleC[] = {4, 2, 12, 14};
constexpr int kHcpMiddleTriangle[] = {7, 8, 9};
constexpr std::span<const int> kHcpLoops[] = {kHcpUpperHexagon, kHcpLowerHexagon,
                                              kHcpRectangleA,   kHcpRectangleB,
                                              kHcpRectangleC,   kHcpMiddleTriangle};

double Signed(int sign, double h) {
    return sign > 0 ? h : -h;
}

SolidPoint Corner(const int (&signs)[3], double h) {
    return {Signed(signs[0], h), Signed(signs[1], h), Signed(signs[2], h)};
}

/// Writes the 24 vertices of the cube outline of half edge h.
void AppendCubeOutline(double h, SolidPoint* out) {
    for (const auto& face : kCubeFaceSigns) {
        for (const auto& vertex : face) {
            *out++ = Corner(vertex, h);
        }
    }
}

/// Draws the spheres and lines of one frame into the sink.
class StructureWriter {
  public:
    StructureWriter(const SolidState& solid, const SolidExtent& extent, RandomSource& random,
                    SolidSink& sink)
        : solid_(solid),
          h_(extent.halfExtent),
          k_(extent.latticeStep),
          random_(random),
          sink_(sink) {}

    void Write() {
        switch (solid_.structure) {
            case SolidStructure::SimpleCubicCrystal:
                SimpleCubicCrystal();
                break;
            case SolidStructure::SimpleCubicCell:
                SimpleCubicCell();
                break;
            case SolidStructure::FccCrystal:
                FaceCentred(k_, 0.58);
                break;
            case SolidStructure::FccCell:
                FccCell();
                break;
            case SolidStructure::BccCrystal:
                BccCrystal();
                break;
            case SolidStructure::BccCell:
                BccCell();
                break;
            case SolidStructure::HcpCrystal:
                HcpCrystal();
                break;
            case SolidStructure::HcpCell:
                HcpCell();
                break;
        }
    }

  private:
    void MainColour() { sink_.SetColour(solid_.red, solid_.green, solid_.blue); }

    /// Three vibration draws, z first, then y, then x.
    void Sphere(double x, double y, double z, double radius) {
        SolidSphere sphere;
        sphere.site = {x, y, z};
        sphere.offset.z = VibrationOffset(random_, solid_.amplitude);
        sphere.offset.y = VibrationOffset(random_, solid_.amplitude);
        sphere.offset.x = VibrationOffset(random_, solid_.amplitude);
        sphere.radius = radius;
        sink_.Sphere(sphere);
    }

    /// Grey lines, unlit, 3 pixels wide and smoothed; polygons as outlines.
    void BeginCubicOutline() {
        sink_.SetLighting(false);
        sink_.SetPolygonLines(true);
        sink_.SetColour(kSolidLineColour.x, kSolidLineColour.y, kSolidLineColour.z);
        sink_.SetLineWidth(3.0f);
        sink_.SetLineSmoothing(true);
    }

    void EndCubicOutline() {
        sink_.SetLighting(true);
        sink_.SetLineWidth(1.0f);
        sink_.SetLineSmoothing(false);
        MainColour();
        sink_.SetPolygonLines(false);
    }

    void CubeOutline() {
        std::array<SolidPoint, 24> vertices;
        AppendCubeOutline(h_, vertices.data());
        sink_.Quads(vertices);
    }

    /// The eight corners (+-H, +-H, +-H): walks of step 2H, x outer, z inner.
    void CellCorners(double radius) {
        const double step = 2.0 * h_;
        WalkSites(h_, step, [&](double x) {
            WalkSites(h_, step, [&](double y) {
                WalkSites(h_, step, [&](double z) { Sphere(x, y, z, radius); });
            });
        });
    }

    void SimpleCubicCrystal() {
        MainColour();
        WalkSites(h_, k_, [&](double x) {
            WalkSites(h_, k_, [&](double y) {
                WalkSites(h_, k_, [&](double z) { Sphere(x, y, z, 0.2); });
            });
        });
    }

    void SimpleCubicCell() {
        BeginCubicOutline();
        CubeOutline();
        EndCubicOutline();
        CellCorners(0.35);
    }

    /// Rock-salt arrangement: the kind sign N flips after every sphere, across rows and
    /// layers; large spheres (N = +1) in the main colour, small ones in the fixed colour,
    /// radius scale / (3.21 - N).
    void FaceCentred(double step, double scale) {
        int kind = 1;
        WalkSites(h_, step, [&](double x) {
            WalkSites(h_, step, [&](double y) {
                WalkSites(h_, step, [&](double z) {
                    if (kind == 1) {
                        MainColour();
                    } else {
                        sink_.SetColour(kSolidSmallColour.x, kSolidSmallColour.y,
                                        kSolidSmallColour.z);
                    }
                    Sphere(x, y, z, scale / (3.21 - kind));
                    kind = -kind;
                });
            });
        });
    }

    void FccCell() {
        BeginCubicOutline();
        std::array<SolidPoint, 36> quads;
        AppendCubeOutline(h_, quads.data());
        const double h = h_;
        const SolidPoint midPlanes[12] = {
            {0.0, -h, +h}, {0.0, +h, +h}, {0.0, +h, -h}, {0.0, -h, -h},  // x = 0
            {-h, 0.0, -h}, {-h, 0.0, +h}, {+h, 0.0, +h}, {+h, 0.0, -h},  // y = 0
            {+h, -h, 0.0}, {+h, +h, 0.0}, {-h, +h, 0.0}, {-h, -h, 0.0},  // z = 0
        };
        std::copy(std::begin(midPlanes), std::end(midPlanes), quads.begin() + 24);
        sink_.Quads(quads);
        // Axis lines along x and z only: the y axis carries none.
        const SolidPoint axes[4] = {{+h, 0.0, 0.0}, {-h, 0.0, 0.0}, {0.0, 0.0, +h}, {0.0, 0.0, -h}};
        sink_.Segments(axes);
        EndCubicOutline();
        FaceCentred(h_, 0.7);
    }

    /// Layers K/2 apart along x, each shifted by P * K/4 in y and z with P alternating:
    /// two interleaved simple cubic lattices.
    void BccCrystal() {
        MainColour();
        int layer = 1;
        WalkSites(h_, k_ / 2.0, [&](double x) {
            const double shift = layer * k_ / 4.0;
            WalkSites(h_, k_, [&](double y) {
                WalkSites(h_, k_, [&](double z) { Sphere(x, y + shift, z + shift, 0.1734); });
            });
            layer = -layer;
        });
    }

    void BccCell() {
        BeginCubicOutline();
        std::array<SolidPoint, 8> diagonals;
        for (int i = 0; i < 8; ++i) {
            diagonals[i] = Corner(kBodyDiagonalSigns[i], h_);
        }
        sink_.Segments(diagonals);
        CubeOutline();
        EndCubicOutline();
        Sphere(0.0, 0.0, 0.0, 0.35);
        CellCorners(0.35);
    }

    /// Layers 0.815 K apart in y (outer), rows sqrt(3) K / 2 apart in z (middle), spheres
    /// K apart in x (inner). The row sign Q shifts x by Q * K/4 and flips after every row,
    /// across layers; the layer sign R shifts z by R * 0.144 K: A-B close packing.
    void HcpCrystal() {
        MainColour();
        int row = 1;
        int layer = 1;
        WalkSites(h_, 0.815 * k_, [&](double y) {
            WalkSites(h_, std::sqrt(3.0) * k_ / 2.0, [&](double z) {
                const double shiftX = row * k_ / 4.0;
                const double shiftedZ = z + layer * 0.144 * k_;
                WalkSites(h_, k_, [&](double x) { Sphere(x + shiftX, y, shiftedZ, 0.2); });
                row = -row;
            });
            layer = -layer;
        });
    }

    void HcpCell() {
        const SolidState::Sites& sites = solid_.hcpCellSites;
        sink_.SetLighting(false);
        sink_.SetColour(kSolidLineColour.x, kSolidLineColour.y, kSolidLineColour.z);
        sink_.SetLineWidth(3.0f);
        sink_.SetLineSmoothing(true);
        for (std::span<const int> loop : kHcpLoops) {
            std::array<SolidPoint, 6> vertices;
            for (size_t i = 0; i < loop.size(); ++i) {
                const int site = loop[i];
                vertices[i] = {sites.x[site], sites.y[site], sites.z[site]};
            }
            sink_.LineLoop(std::span<const SolidPoint>(vertices.data(), loop.size()));
        }
        sink_.SetLighting(true);
        MainColour();
        for (int site = 0; site < kHcpCellSiteCount; ++site) {
            Sphere(sites.x[site], sites.y[site], sites.z[site], 0.3);
        }
    }

    const SolidState& solid_;
    const double h_;
    const double k_;
    RandomSource& random_;
    SolidSink& sink_;
};

}  // namespace

SolidExtent ComputeSolidExtent(double amplitude) {
    const long double a = amplitude;
    SolidExtent extent;
    extent.halfExtent = static_cast<double>(3.0L * a + 0.8L);
    extent.latticeStep = static_cast<double>(0.4L + a);
    return extent;
}

double VibrationOffset(RandomSource& random, double amplitude) {
    const int r = random.Next15();
    return (5 - r % 11) * amplitude;
}

void DescribeSolidStructure(const SolidState& solid, const SolidExtent& extent,
                            RandomSource& random, SolidSink& sink) {
    StructureWriter(solid, extent, random, sink).Write();
}

namespace {

/// Takes the drawing commands of a frame and drops them.
class DiscardingSink : public SolidSink {
  public:
    void SetColour(double, double, double) override {}
    void SetLighting(bool) override {}
    void SetPolygonLines(bool) override {}
    void SetLineWidth(float) override {}
    void SetLineSmoothing(bool) override {}
    void Quads(std::span<const SolidPoint>) override {}
    void Segments(std::span<const SolidPoint>) override {}
    void LineLoop(std::span<const SolidPoint>) override {}
    void Sphere(const SolidSphere&) override {}
};

}  // namespace

void DrawSolidVibration(const SolidState& solid, RandomSource& random) {
    DiscardingSink sink;
    DescribeSolidStructure(solid, ComputeSolidExtent(solid.amplitude), random, sink);
}

bool SolidVibrates(const SolidState& solid) {
    return solid.amplitude != 0.0;
}

}  // namespace veliso
