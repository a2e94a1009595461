// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/solid/solid_structures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/solid/solid_controls.h"

namespace veliso {
namespace {

// Amplitude at 300 K: 300 * 7.326007326007326e-6.
constexpr double kA300 = 0.002197802197802198;

/// Records the command stream of one structure.
class Recorder : public SolidSink {
  public:
    enum class Kind {
        Colour,
        Lighting,
        PolygonLines,
        LineWidth,
        LineSmoothing,
        Quads,
        Segments,
        Loop,
        Sphere
    };
    struct Command {
        Kind kind;
        double value = 0.0;
        std::vector<SolidPoint> points;
    };
    struct Drawn {
        SolidSphere sphere;
        SolidPoint colour;
    };

    void SetColour(double r, double g, double b) override {
        colour_ = {r, g, b};
        commands.push_back({Kind::Colour, 0.0, {colour_}});
    }
    void SetLighting(bool on) override { commands.push_back({Kind::Lighting, on ? 1.0 : 0.0, {}}); }
    void SetPolygonLines(bool on) override {
        commands.push_back({Kind::PolygonLines, on ? 1.0 : 0.0, {}});
    }
    void SetLineWidth(float width) override { commands.push_back({Kind::LineWidth, width, {}}); }
    void SetLineSmoothing(bool on) override {
        commands.push_back({Kind::LineSmoothing, on ? 1.0 : 0.0, {}});
    }
    void Quads(std::span<const SolidPoint> v) override { Lines(Kind::Quads, v); }
    void Segments(std::span<const SolidPoint> v) override { Lines(Kind::Segments, v); }
    void LineLoop(std::span<const SolidPoint> v) override { Lines(Kind::Loop, v); }
    void Sphere(const SolidSphere& sphere) override {
        commands.push_back({Kind::Sphere, 0.0, {}});
        spheres.push_back({sphere, colour_});
    }

    /// The commands before the first sphere (colour, bracket and lines).
    std::vector<Command> Preamble() const {
        std::vector<Command> out;
        for (const Command& c : commands) {
            if (c.kind == Kind::Sphere) {
                break;
            }
            out.push_back(c);
        }
        return out;
    }
    int CountOf(Kind kind) const {
        int n = 0;
        for (const Command& c : commands) {
            n += c.kind == kind ? 1 : 0;
        }
        return n;
    }

    std::vector<Command> commands;
    std::vector<Drawn> spheres;

  private:
    void Lines(Kind kind, std::span<const SolidPoint> v) {
        commands.push_back({kind, 0.0, std::vector<SolidPoint>(v.begin(), v.end())});
    }
    SolidPoint colour_{-1.0, -1.0, -1.0};
};

using Kind = Recorder::Kind;

void ExpectPoint(const SolidPoint& p, double x, double y, double z) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}

class SolidStructures : public ::testing::Test {
  protected:
    SolidStructures() {
        solid.red = 0.1;
        solid.green = 0.2;
        solid.blue = 0.3;
        FillHcpCellSites(solid);
    }

    /// Describes `structure` at `kelvin` with a generator freshly seeded with 1.
    Recorder Describe(SolidStructure structure, int kelvin = 0) {
        solid.structure = structure;
        solid.amplitude = SolidAmplitudeAt(kelvin);
        RandomSource random([] { return std::uint64_t{0}; });
        Recorder recorder;
        DescribeSolidStructure(solid, ComputeSolidExtent(solid.amplitude), random, recorder);
        return recorder;
    }

    SolidState solid;
};

TEST_F(SolidStructures, SphereCountsOfTheEightStructures) {
    const SolidStructure all[] = {
        SolidStructure::SimpleCubicCrystal, SolidStructure::SimpleCubicCell,
        SolidStructure::FccCrystal,         SolidStructure::FccCell,
        SolidStructure::BccCrystal,         SolidStructure::BccCell,
        SolidStructure::HcpCrystal,         SolidStructure::HcpCell};
    const size_t expected[] = {125, 8, 125, 27, 225, 9, 125, 17};
    for (int kelvin : {0, 1, 150, 299, 300}) {
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(Describe(all[i], kelvin).spheres.size(), expected[i])
                << "structure " << i << " at " << kelvin << " K";
        }
    }
}

TEST(SolidExtent, ComputedInExtendedPrecision) {
    const SolidExtent cold = ComputeSolidExtent(0.0);
    EXPECT_EQ(cold.halfExtent, 0.8);
    EXPECT_EQ(cold.latticeStep, 0.4);
    const SolidExtent warm = ComputeSolidExtent(kA300);
    EXPECT_EQ(warm.halfExtent, 0.8065934065934066);
    EXPECT_EQ(warm.latticeStep, 0.4021978021978022);
    // At 7 K plain double arithmetic would give 0.8001538461538462 and 0.4000512820512821.
    const SolidExtent seven = ComputeSolidExtent(7 * kSolidAmplitudePerKelvin);
    EXPECT_EQ(seven.halfExtent, 0.8001538461538461);
    EXPECT_EQ(seven.latticeStep, 0.40005128205128204);
}

TEST(SolidWalks, CountsHoldAtEveryTemperatureOfTheSlider) {
    for (int kelvin = 0; kelvin <= 300; ++kelvin) {
        const SolidExtent e = ComputeSolidExtent(kelvin * kSolidAmplitudePerKelvin);
        const double h = e.halfExtent;
        const double k = e.latticeStep;
        auto count = [h](double step) {
            int n = 0;
            WalkSites(h, step, [&n](double) { ++n; });
            return n;
        };
        ASSERT_EQ(count(k), 5) << kelvin;
        ASSERT_EQ(count(k / 2.0), 9) << kelvin;
        ASSERT_EQ(count(0.815 * k), 5) << kelvin;
        ASSERT_EQ(count(std::sqrt(3.0) * k / 2.0), 5) << kelvin;
        ASSERT_EQ(count(h), 3) << kelvin;
        ASSERT_EQ(count(2.0 * h), 2) << kelvin;
    }
}

TEST(SolidWalks, RunningSumValues) {
    std::vector<double> cold;
    WalkSites(0.8, 0.4, [&](double v) { cold.push_back(v); });
    EXPECT_EQ(cold, (std::vector<double>{-0.8, -0.4, 0.0, 0.4, 0.8}));
    // At 300 K: -0.8 - 3a, -0.4 - 2a, about -a, 0.4, 0.8 + a; the third value carries the
    // rounding of the running sum.
    std::vector<double> warm;
    WalkSites(0.8065934065934066, 0.4021978021978022, [&](double v) { warm.push_back(v); });
    EXPECT_EQ(warm, (std::vector<double>{-0.8065934065934066, -0.4043956043956044,
                                         -0.00219780219780219, 0.4, 0.8021978021978022}));
    // The body-centred layers at 0 K reach +0.8 exactly through the running sum.
    std::vector<double> layers;
    WalkSites(0.8, 0.2, [&](double v) { layers.push_back(v); });
    ASSERT_EQ(layers.size(), 9u);
    EXPECT_EQ(layers[1], -0.6000000000000001);
    EXPECT_EQ(layers[4], -5.551115123125783e-17);
    EXPECT_EQ(layers[8], 0.8);
}

TEST(SolidVibration, OffsetsComeFromTheFifteenBitOutput) {
    RandomSource random;                            // 15-bit draws: 130, 10982, 1090, 11656, ...
    EXPECT_EQ(VibrationOffset(random, 0.5), -2.0);  // 5 - 130 mod 11 = -4
    EXPECT_EQ(VibrationOffset(random, 0.5), 0.5);   // 5 - 10982 mod 11 = 1
    EXPECT_EQ(VibrationOffset(random, 0.5), 2.0);   // 5 - 1090 mod 11 = 4
    EXPECT_EQ(random.high(), 0u);
}

TEST_F(SolidStructures, SimpleCubicCrystalAtRestOnTheGrid) {
    const Recorder r = Describe(SolidStructure::SimpleCubicCrystal);
    ASSERT_EQ(r.spheres.size(), 125u);
    ExpectPoint(r.spheres[0].sphere.site, -0.8, -0.8, -0.8);
    ExpectPoint(r.spheres[1].sphere.site, -0.8, -0.8, -0.4);   // z inner
    ExpectPoint(r.spheres[5].sphere.site, -0.8, -0.4, -0.8);   // y middle
    ExpectPoint(r.spheres[25].sphere.site, -0.4, -0.8, -0.8);  // x outer
    ExpectPoint(r.spheres[62].sphere.site, 0.0, 0.0, 0.0);
    ExpectPoint(r.spheres[124].sphere.site, 0.8, 0.8, 0.8);
    for (const auto& s : r.spheres) {
        EXPECT_EQ(s.sphere.offset.x, 0.0);
        EXPECT_EQ(s.sphere.offset.y, 0.0);
        EXPECT_EQ(s.sphere.offset.z, 0.0);
        EXPECT_EQ(s.sphere.radius, 0.2);
        ExpectPoint(s.colour, 0.1, 0.2, 0.3);
    }
    // The colour is set once; a crystal draws no lines.
    EXPECT_EQ(r.commands.size(), 126u);
    EXPECT_EQ(r.commands[0].kind, Kind::Colour);
}

TEST_F(SolidStructures, WarmCrystalSitsOffCentreAndTrembles) {
    const Recorder r = Describe(SolidStructure::SimpleCubicCrystal, 300);
    ExpectPoint(r.spheres[0].sphere.site, -0.8065934065934066, -0.8065934065934066,
                -0.8065934065934066);
    ExpectPoint(r.spheres[62].sphere.site, -0.00219780219780219, -0.00219780219780219,
                -0.00219780219780219);
    ExpectPoint(r.spheres[124].sphere.site, 0.8021978021978022, 0.8021978021978022,
                0.8021978021978022);
    // Draws 130, 10982, 1090 go to z, y, x of the first sphere; 11656, 7117, 17595 to the
    // second: (5 - r mod 11) * a.
    ExpectPoint(r.spheres[0].sphere.offset, 4 * kA300, 1 * kA300, -4 * kA300);
    ExpectPoint(r.spheres[1].sphere.offset, -1 * kA300, 5 * kA300, -2 * kA300);
    for (const auto& s : r.spheres) {
        for (double o : {s.sphere.offset.x, s.sphere.offset.y, s.sphere.offset.z}) {
            EXPECT_LE(std::fabs(o), 5 * kA300 + 1e-18);
        }
    }
}

TEST_F(SolidStructures, FramesRepeatOnlyAtAbsoluteZero) {
    auto twoFrames = [this](int kelvin) {
        solid.structure = SolidStructure::BccCell;
        solid.amplitude = SolidAmplitudeAt(kelvin);
        RandomSource random;
        Recorder first;
        Recorder second;
        const SolidExtent extent = ComputeSolidExtent(solid.amplitude);
        DescribeSolidStructure(solid, extent, random, first);
        DescribeSolidStructure(solid, extent, random, second);
        int same = 0;
        for (size_t i = 0; i < first.spheres.size(); ++i) {
            const SolidSphere& a = first.spheres[i].sphere;
            const SolidSphere& b = second.spheres[i].sphere;
            same += (a.site.x + a.offset.x == b.site.x + b.offset.x &&
                     a.site.y + a.offset.y == b.site.y + b.offset.y &&
                     a.site.z + a.offset.z == b.site.z + b.offset.z)
                        ? 1
                        : 0;
        }
        return same;
    };
    EXPECT_EQ(twoFrames(0), 9);
    EXPECT_LT(twoFrames(300), 9);
}

TEST_F(SolidStructures, UndrawnFrameMakesTheDrawnFramesDraws) {
    for (SolidStructure structure : {SolidStructure::SimpleCubicCrystal, SolidStructure::FccCell,
                                     SolidStructure::HcpCrystal}) {
        for (int kelvin : {0, 300}) {
            solid.structure = structure;
            solid.amplitude = SolidAmplitudeAt(kelvin);
            EXPECT_EQ(SolidVibrates(solid), kelvin != 0);
            RandomSource drawn;
            RandomSource undrawn;
            Recorder recorder;
            DescribeSolidStructure(solid, ComputeSolidExtent(solid.amplitude), drawn, recorder);
            DrawSolidVibration(solid, undrawn);
            EXPECT_EQ(undrawn.low(), drawn.low()) << static_cast<int>(structure) << ", " << kelvin;
            EXPECT_EQ(undrawn.high(), drawn.high());
        }
    }
}

TEST_F(SolidStructures, FccCrystalAlternatesKindsLikeRockSalt) {
    const Recorder r = Describe(SolidStructure::FccCrystal);
    ASSERT_EQ(r.spheres.size(), 125u);
    ExpectPoint(r.spheres[0].sphere.site, -0.8, -0.8, -0.8);
    EXPECT_EQ(r.spheres[0].sphere.radius, 0.26244343891402716);  // 0.58 / 2.21
    ExpectPoint(r.spheres[0].colour, 0.1, 0.2, 0.3);
    ExpectPoint(r.spheres[1].sphere.site, -0.8, -0.8, -0.4);
    EXPECT_EQ(r.spheres[1].sphere.radius, 0.1377672209026128);  // 0.58 / 4.21
    ExpectPoint(r.spheres[1].colour, 0.7, 0.7, 0.8);
    // The sign runs on across rows and layers (a restarted sign would make these large):
    // the first spheres of the second row (index 5) and of the second layer (25) are small.
    EXPECT_EQ(r.spheres[5].sphere.radius, 0.1377672209026128);
    EXPECT_EQ(r.spheres[25].sphere.radius, 0.1377672209026128);
    EXPECT_EQ(r.spheres[30].sphere.radius, 0.26244343891402716);
    // The colour is set before every sphere.
    EXPECT_EQ(r.CountOf(Kind::Colour), 125);
}

TEST_F(SolidStructures, FccCellHas14LargeAnd13Small) {
    const Recorder r = Describe(SolidStructure::FccCell);
    ASSERT_EQ(r.spheres.size(), 27u);
    int large = 0;
    int small = 0;
    for (const auto& s : r.spheres) {
        const SolidPoint& p = s.sphere.site;
        const int zeros = (p.x == 0.0) + (p.y == 0.0) + (p.z == 0.0);
        if (s.sphere.radius == 0.3167420814479638) {  // 0.7 / 2.21: corners and face centres
            ++large;
            EXPECT_TRUE(zeros == 0 || zeros == 2);
            ExpectPoint(s.colour, 0.1, 0.2, 0.3);
        } else {
            EXPECT_EQ(s.sphere.radius, 0.166270783847981);  // 0.7 / 4.21
            ++small;
            EXPECT_TRUE(zeros == 1 || zeros == 3);  // edge midpoints and body centre
            ExpectPoint(s.colour, 0.7, 0.7, 0.8);
        }
    }
    EXPECT_EQ(large, 14);
    EXPECT_EQ(small, 13);
    ExpectPoint(r.spheres[13].sphere.site, 0.0, 0.0, 0.0);
}

TEST_F(SolidStructures, BccCrystalLayersShiftAlternately) {
    const Recorder r = Describe(SolidStructure::BccCrystal);
    ASSERT_EQ(r.spheres.size(), 225u);
    // K/4 = 0.1 at 0 K: the first layer is shifted up in y and z, the second down.
    ExpectPoint(r.spheres[0].sphere.site, -0.8, -0.8 + 0.1, -0.8 + 0.1);
    ExpectPoint(r.spheres[25].sphere.site, -0.6000000000000001, -0.8 - 0.1, -0.8 - 0.1);
    ExpectPoint(r.spheres[224].sphere.site, 0.8, 0.8 + 0.1, 0.8 + 0.1);
    EXPECT_EQ(r.spheres[0].sphere.radius, 0.1734);
}

TEST_F(SolidStructures, HcpCrystalRowsAndLayers) {
    const Recorder r = Describe(SolidStructure::HcpCrystal);
    ASSERT_EQ(r.spheres.size(), 125u);
    const double zShift = 0.144 * 0.4;           // 0.0576
    const double rowStep = 0.34641016151377546;  // 0.4 * sqrt(3) / 2
    // First row of the first layer: x shifted by +K/4, z by +0.144 K.
    ExpectPoint(r.spheres[0].sphere.site, -0.8 + 0.1, -0.8, -0.8 + zShift);
    ExpectPoint(r.spheres[4].sphere.site, 0.8 + 0.1, -0.8, -0.8 + zShift);
    // Second row: x shifted the other way.
    ExpectPoint(r.spheres[5].sphere.site, -0.8 - 0.1, -0.8, -0.8 + rowStep + zShift);
    // First row of the second layer: -K/4 (the row sign runs on), z shifted by -0.144 K.
    ExpectPoint(r.spheres[25].sphere.site, -0.8 - 0.1, -0.47400000000000003, -0.8 - zShift);
    // The top layer stops at y = 0.504 and the last row at z = 0.5856...: not centred.
    EXPECT_EQ(r.spheres[124].sphere.site.y, 0.504);
    EXPECT_EQ(r.spheres[124].sphere.site.z, 0.5856406460551018 + zShift);
}

TEST_F(SolidStructures, CrystalsDrawNoLines) {
    for (SolidStructure s : {SolidStructure::SimpleCubicCrystal, SolidStructure::FccCrystal,
                             SolidStructure::BccCrystal, SolidStructure::HcpCrystal}) {
        const Recorder r = Describe(s, 300);
        EXPECT_EQ(r.CountOf(Kind::Quads) + r.CountOf(Kind::Segments) + r.CountOf(Kind::Loop) +
                      r.CountOf(Kind::Lighting) + r.CountOf(Kind::LineWidth),
                  0);
    }
}

/// Checks the outline bracket around the given line commands.
void ExpectCubicBracket(const std::vector<Recorder::Command>& pre, std::vector<Kind> lines) {
    const std::vector<Kind> opening = {Kind::Lighting, Kind::PolygonLines, Kind::Colour,
                                       Kind::LineWidth, Kind::LineSmoothing};
    const std::vector<Kind> closing = {Kind::Lighting, Kind::LineWidth, Kind::LineSmoothing,
                                       Kind::Colour, Kind::PolygonLines};
    std::vector<Kind> expected = opening;
    expected.insert(expected.end(), lines.begin(), lines.end());
    expected.insert(expected.end(), closing.begin(), closing.end());
    ASSERT_EQ(pre.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(pre[i].kind, expected[i]) << i;
    }
    EXPECT_EQ(pre[0].value, 0.0);  // lighting off
    EXPECT_EQ(pre[1].value, 1.0);  // polygons as lines
    ExpectPoint(pre[2].points[0], 0.8, 0.8, 0.8);
    EXPECT_EQ(pre[3].value, 3.0);
    EXPECT_EQ(pre[4].value, 1.0);
    const size_t c = opening.size() + lines.size();
    EXPECT_EQ(pre[c].value, 1.0);      // lighting on
    EXPECT_EQ(pre[c + 1].value, 1.0);  // width 1
    EXPECT_EQ(pre[c + 2].value, 0.0);  // smoothing off
    ExpectPoint(pre[c + 3].points[0], 0.1, 0.2, 0.3);
    EXPECT_EQ(pre[c + 4].value, 0.0);  // polygons filled
}

/// The 24 vertices of the cube outline at half edge h.
void ExpectCube(const std::vector<SolidPoint>& v, double h) {
    ASSERT_GE(v.size(), 24u);
    ExpectPoint(v[0], h, -h, -h);   // bottom face starts at (+,-,-)
    ExpectPoint(v[5], h, h, h);     // top face, second vertex (+,+,+)
    ExpectPoint(v[11], -h, -h, h);  // x = -H, last vertex (-,-,+)
    ExpectPoint(v[14], h, h, h);    // x = +H, third vertex (+,+,+)
    ExpectPoint(v[19], -h, h, -h);  // z = -H, last vertex (-,+,-)
    ExpectPoint(v[23], h, -h, h);   // z = +H, last vertex (+,-,+)
    for (size_t i = 0; i < 24; ++i) {
        EXPECT_EQ(std::fabs(v[i].x), h);
        EXPECT_EQ(std::fabs(v[i].y), h);
        EXPECT_EQ(std::fabs(v[i].z), h);
    }
}

TEST_F(SolidStructures, SimpleCubicCellLinesFollowTheHalfExtent) {
    const Recorder r = Describe(SolidStructure::SimpleCubicCell, 300);
    const auto pre = r.Preamble();
    ExpectCubicBracket(pre, {Kind::Quads});
    ExpectCube(pre[5].points, 0.8065934065934066);
    ASSERT_EQ(r.spheres.size(), 8u);
    ExpectPoint(r.spheres[0].sphere.site, -0.8065934065934066, -0.8065934065934066,
                -0.8065934065934066);
    ExpectPoint(r.spheres[1].sphere.site, -0.8065934065934066, -0.8065934065934066,
                0.8065934065934066);
    EXPECT_EQ(r.spheres[0].sphere.radius, 0.35);
    ExpectPoint(r.spheres[0].colour, 0.1, 0.2, 0.3);
}

TEST_F(SolidStructures, FccCellOutlinesMidPlanesAndTwoAxes) {
    const Recorder r = Describe(SolidStructure::FccCell);
    auto pre = r.Preamble();
    ASSERT_EQ(pre.back().kind, Kind::Colour);  // the first sphere's own colour
    pre.pop_back();
    ExpectCubicBracket(pre, {Kind::Quads, Kind::Segments});
    const auto& quads = pre[5].points;
    ASSERT_EQ(quads.size(), 36u);
    ExpectCube(quads, 0.8);
    ExpectPoint(quads[24], 0.0, -0.8, 0.8);   // plane x = 0
    ExpectPoint(quads[28], -0.8, 0.0, -0.8);  // plane y = 0
    ExpectPoint(quads[35], -0.8, -0.8, 0.0);  // plane z = 0
    const auto& axes = pre[6].points;
    ASSERT_EQ(axes.size(), 4u);
    ExpectPoint(axes[0], 0.8, 0.0, 0.0);
    ExpectPoint(axes[1], -0.8, 0.0, 0.0);
    ExpectPoint(axes[2], 0.0, 0.0, 0.8);
    ExpectPoint(axes[3], 0.0, 0.0, -0.8);
}

TEST_F(SolidStructures, BccCellDiagonalsThenCubeThenCentreSphere) {
    const Recorder r = Describe(SolidStructure::BccCell, 300);
    const auto pre = r.Preamble();
    ExpectCubicBracket(pre, {Kind::Segments, Kind::Quads});
    const double h = 0.8065934065934066;
    const auto& d = pre[5].points;
    ASSERT_EQ(d.size(), 8u);
    ExpectPoint(d[0], h, h, h);
    ExpectPoint(d[1], -h, -h, -h);
    ExpectPoint(d[6], -h, -h, h);
    ExpectPoint(d[7], h, h, -h);
    ExpectCube(pre[6].points, h);
    // The centre sphere comes first and takes the first three draws like any other.
    ExpectPoint(r.spheres[0].sphere.site, 0.0, 0.0, 0.0);
    ExpectPoint(r.spheres[0].sphere.offset, 4 * kA300, 1 * kA300, -4 * kA300);
    ExpectPoint(r.spheres[1].sphere.site, -h, -h, -h);
}

TEST_F(SolidStructures, HcpCellLoopsThroughTheSiteTable) {
    const Recorder r = Describe(SolidStructure::HcpCell, 300);
    const auto pre = r.Preamble();
    const std::vector<Kind> expected = {Kind::Lighting,      Kind::Colour,   Kind::LineWidth,
                                        Kind::LineSmoothing, Kind::Loop,     Kind::Loop,
                                        Kind::Loop,          Kind::Loop,     Kind::Loop,
                                        Kind::Loop,          Kind::Lighting, Kind::Colour};
    ASSERT_EQ(pre.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(pre[i].kind, expected[i]) << i;
    }
    EXPECT_EQ(r.CountOf(Kind::PolygonLines), 0);  // this variant leaves the polygon mode
    const size_t sizes[] = {6, 6, 4, 4, 4, 3};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pre[4 + i].points.size(), sizes[i]);
    }
    // Upper hexagon 0, 1, 4, 6, ...; rectangle 0, 6, 16, 10; triangle 7, 8, 9.
    ExpectPoint(pre[4].points[2], 1.0, 0.75, 0.0);
    ExpectPoint(pre[6].points[2], 0.5, -0.75, -0.866);
    ExpectPoint(pre[9].points[0], 0.0, 0.0, 0.577);
    ExpectPoint(pre[9].points[2], 0.5, 0.0, -0.289);
    ASSERT_EQ(r.spheres.size(), 17u);
    ExpectPoint(r.spheres[3].sphere.site, 0.0, 0.75, 0.0);
    ExpectPoint(r.spheres[13].sphere.site, 0.0, -0.75, 0.0);
    EXPECT_EQ(r.spheres[16].sphere.radius, 0.3);
    ExpectPoint(r.spheres[16].colour, 0.1, 0.2, 0.3);
}

}  // namespace
}  // namespace veliso
