// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/gas_scene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/common/random_source.h"
#include "core/gas/gas_controls.h"
#include "core/gas/gas_model.h"
#include "render/view_setup.h"
#include "support/feedback_capture.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

using test::FeedbackPrimitive;
using test::FeedbackVertex;
using Point = std::array<double, 3>;

constexpr int kSize = 400;
constexpr float kColourTolerance = 2e-3f;

/// What the scene asked the text output to draw, with the GL state at that moment.
struct Caption {
    std::string text;
    std::array<float, 4> colour{};
    double modelView[16]{};
    bool blend = false;
    bool depthTest = false;
    bool lighting = false;
};

/// Records every caption. Like the real outline font, it leaves the transform advanced
/// past the string: 0.6 text units per character.
class RecordingText : public TextWriter {
  public:
    static constexpr double kAdvance = 0.6;

    void DrawText3D(std::string_view text) override {
        Caption caption;
        caption.text = std::string(text);
        glGetFloatv(GL_CURRENT_COLOR, caption.colour.data());
        glGetDoublev(GL_MODELVIEW_MATRIX, caption.modelView);
        caption.blend = glIsEnabled(GL_BLEND);
        caption.depthTest = glIsEnabled(GL_DEPTH_TEST);
        caption.lighting = glIsEnabled(GL_LIGHTING);
        captions.push_back(caption);
        glTranslated(kAdvance * static_cast<double>(text.size()), 0.0, 0.0);
    }

    std::vector<Caption> captions;
};

bool Near(float a, double b) {
    return std::fabs(a - b) < kColourTolerance;
}

bool HasColour(const FeedbackVertex& v, double r, double g, double b) {
    return Near(v.r, r) && Near(v.g, g) && Near(v.b, b);
}

/// Local origin and x axis of a recorded caption in scene coordinates, for a camera that is a
/// plain shift by -distance along z (angle 0, height 0).
Point CaptionOrigin(const Caption& c, double distance) {
    return {c.modelView[12], c.modelView[13], c.modelView[14] + distance};
}
Point CaptionXAxis(const Caption& c) {
    return {c.modelView[0], c.modelView[1], c.modelView[2]};
}

void ExpectPointNear(const Point& actual, double x, double y, double z, double tolerance) {
    EXPECT_NEAR(actual[0], x, tolerance);
    EXPECT_NEAR(actual[1], y, tolerance);
    EXPECT_NEAR(actual[2], z, tolerance);
}

class GasSceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!gl_.ok()) {
            GTEST_SKIP() << "no headless OpenGL context";
        }
        InitView(kSize, kSize);
        ApplyLightingSet(SceneTab::Gas);
        InitGas(gas_, random_);
        detail_.SetSmoothness(8);
    }

    /// A parallel projection 4 scene units wide, straight along -z with the camera at angle
    /// 0 and height 0: nothing is clipped, and pixel (x, y) shows the scene point
    /// (x / 100 - 2, y / 100 - 2) through all depths.
    void UseFrontOrthoView() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-2.0, 2.0, -2.0, 2.0, -20.0, 20.0);
        glMatrixMode(GL_MODELVIEW);
        gas_.view = ViewPoint{0.0, 0.0, 4.25};
    }

    std::vector<FeedbackPrimitive> Capture(bool transparent) {
        test::FeedbackCapture capture;
        capture.Begin();
        DrawGasScene(gas_, detail_, transparent, text_);
        std::vector<FeedbackPrimitive> primitives = capture.End();
        EXPECT_FALSE(capture.overflowed());
        unproject_ = test::Unprojector();  // the camera the scene left in place
        return primitives;
    }

    /// Scene coordinates of every polygon vertex of the given colour.
    std::vector<Point> PolygonVertices(const std::vector<FeedbackPrimitive>& primitives, double r,
                                       double g, double b) const {
        std::vector<Point> points;
        for (const FeedbackPrimitive& p : primitives) {
            if (p.kind != FeedbackPrimitive::Kind::Polygon) {
                continue;
            }
            for (const FeedbackVertex& v : p.vertices) {
                if (HasColour(v, r, g, b)) {
                    points.push_back(unproject_.ToObject(v));
                }
            }
        }
        return points;
    }

    void Render(bool transparent) {
        DrawGasScene(gas_, detail_, transparent, text_);
        gl_.Finish();
    }

    std::array<int, 3> Pixel(int x, int y) const {
        std::uint8_t rgb[3];
        gl_.PixelAt(x, y, rgb);
        return {rgb[0], rgb[1], rgb[2]};
    }

    test::HeadlessGl gl_{kSize, kSize};
    RandomSource random_{[] { return std::uint64_t{1234}; }};
    GasState gas_;
    SphereDetail detail_;
    RecordingText text_;
    test::Unprojector unproject_;
};

// --- the graphs -------------------------------------------------------------------------

TEST_F(GasSceneTest, CurvePeaksAtClassThirteenAtTheDefaults) {
    gas_.showCurve = true;
    const std::vector<Point> red = PolygonVertices(Capture(false), 0.9, 0.0, 0.0);
    ASSERT_FALSE(red.empty());

    const auto top = std::max_element(red.begin(), red.end(),
                                      [](const Point& a, const Point& b) { return a[1] < b[1]; });
    // 4.3 * f(2.8) - 1 with f(2.8) = 0.0614 at m = 5, T = 298; class 13 sits at the centre of
    // its bar, -1 + 13.5 * 0.02.
    EXPECT_NEAR((*top)[1], 4.3 * 0.0614 - 1.0, 5e-4);
    EXPECT_NEAR((*top)[0], -0.73, 1e-4);
    for (const Point& p : red) {
        EXPECT_GE(p[1], -1.0 - 1e-4);                // nothing below the floor
        EXPECT_NEAR(p[2], 0.001 - 1.0, 1e-3);        // just in front of the back wall
        EXPECT_GE(p[0], -1.0 - 1e-4);                // from the left wall ...
        EXPECT_LE(p[0], -1.0 + 99.5 * 0.02 + 1e-4);  // ... to the centre of class 99
    }
}

TEST_F(GasSceneTest, CurveFillsExactlyTheAreaUnderItInConvexPieces) {
    UseFrontOrthoView();  // 100 pixels per scene unit
    gas_.showCurve = true;
    double area = 0.0;
    for (const FeedbackPrimitive& p : Capture(false)) {
        if (p.kind != FeedbackPrimitive::Kind::Polygon || !HasColour(p.vertices[0], 0.9, 0, 0)) {
            continue;
        }
        // GL fills only convex polygons reliably: every turn must go the same way.
        const std::size_t n = p.vertices.size();
        int left = 0;
        int right = 0;
        double twiceArea = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const FeedbackVertex& a = p.vertices[i];
            const FeedbackVertex& b = p.vertices[(i + 1) % n];
            const FeedbackVertex& c = p.vertices[(i + 2) % n];
            const double turn = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
            left += turn > 1e-3;
            right += turn < -1e-3;
            twiceArea += a.x * b.y - b.x * a.y;
        }
        EXPECT_TRUE(left == 0 || right == 0) << "a non-convex polygon of " << n << " vertices";
        area += std::fabs(twiceArea) / 2.0 / (100.0 * 100.0);
    }
    // From the corner (-1, -1) up to the first curve point, then trapezoids between the
    // points of classes 0 .. 99, 0.02 apart.
    double expected = 0.5 * 0.01 * 4.3 * gas_.mbCurve[0];
    for (int k = 0; k < 99; ++k) {
        expected += 0.02 * 4.3 * (gas_.mbCurve[k] + gas_.mbCurve[k + 1]) / 2.0;
    }
    EXPECT_NEAR(area, expected, 1e-4 * expected);
}

TEST_F(GasSceneTest, CurveNearlyReachesTheCeilingWhenHeavyAndCold) {
    gas_.mass = 10;
    gas_.temperature = 10.0;
    BuildSpeedClasses(gas_);
    gas_.showCurve = true;
    const std::vector<Point> red = PolygonVertices(Capture(false), 0.9, 0.0, 0.0);
    double top = -1.0;
    for (const Point& p : red) {
        top = std::max(top, p[1]);
    }
    EXPECT_NEAR(top, 4.3 * 0.4591 - 1.0, 5e-4);  // class 1, just under the ceiling y = 1
}

TEST_F(GasSceneTest, HistogramBarsCountTheParticlesOfEachClass) {
    gas_.showHistogram = true;
    const std::vector<FeedbackPrimitive> primitives = Capture(false);

    // The left edge of bar k is light green, its right edge (at the left edge of k + 1)
    // darker; both reach the same height.
    std::map<int, double> tops;
    std::map<int, double> rightTops;
    const auto raise = [](std::map<int, double>& m, int k, double y) {
        m[k] = std::max(m.count(k) ? m[k] : -1.0, y);
    };
    for (const Point& p : PolygonVertices(primitives, 0.0, 0.7, 0.0)) {
        EXPECT_NEAR(p[2], 0.005 - 1.0, 1e-3);
        raise(tops, static_cast<int>(std::lround((p[0] + 1.0) / 0.02)), p[1]);
    }
    for (const Point& p : PolygonVertices(primitives, 0.0, 0.5, 0.0)) {
        raise(rightTops, static_cast<int>(std::lround((p[0] + 1.0) / 0.02)) - 1, p[1]);
    }
    for (const auto& [k, top] : rightTops) {
        EXPECT_NEAR(top, tops.count(k) ? tops[k] : -1.0, 1e-4) << "bar " << k << " is slanted";
    }
    // Particles per class at m = 5, T = 298, 100 particles: classes 2 .. 28, then one at 30.
    const int counts[] = {1, 2, 1, 3, 4, 4, 4, 6, 5, 6, 6, 6, 6, 6,
                          6, 5, 5, 4, 3, 4, 2, 3, 2, 1, 2, 1, 1};
    std::map<int, int> expected;
    for (int i = 0; i < 27; ++i) {
        expected[2 + i] = counts[i];
    }
    expected[30] = 1;
    for (int k = 0; k < kGasClasses; ++k) {
        const double top = tops.count(k) ? tops[k] : -1.0;
        const int n = expected.count(k) ? expected[k] : 0;
        EXPECT_NEAR(top, 4.3 * n / 100.0 - 1.0, 1e-4) << "class " << k;
    }
    EXPECT_NEAR(tops[13], -0.742, 1e-4);
}

TEST_F(GasSceneTest, SpeedBarsShowOneBarPerParticleInPlay) {
    SetGasCount(gas_, 7, random_);
    gas_.showSpeeds = true;
    const std::vector<FeedbackPrimitive> primitives = Capture(false);

    // Bright blue marks the back edge z0 of each bar, dark blue its front edge z0 + w.
    const double w = 2.0 / 7.0;
    std::map<int, double> tops;
    for (const Point& p : PolygonVertices(primitives, 0.0, 0.5, 1.0)) {
        EXPECT_NEAR(p[0], 1.0 - 0.001, 1e-3);
        const int bar = static_cast<int>(std::lround((p[2] + 1.0) / w));
        tops[bar] = std::max(tops.count(bar) ? tops[bar] : -1.0, p[1]);
    }
    ASSERT_EQ(tops.size(), 7u);
    for (int p = 0; p < 7; ++p) {
        const double speed =
            std::sqrt(gas_.vx[p] * gas_.vx[p] + gas_.vy[p] * gas_.vy[p] + gas_.vz[p] * gas_.vz[p]);
        EXPECT_NEAR(tops[p], 9.3 * speed - 1.0, 1e-4) << "particle " << p;
    }
    for (const Point& p : PolygonVertices(primitives, 0.0, 0.3, 0.6)) {
        const int bar = static_cast<int>(std::lround((p[2] + 1.0) / w)) - 1;
        EXPECT_GE(bar, 0);
        EXPECT_LT(bar, 7);
    }
}

TEST_F(GasSceneTest, OneParticleGetsABarAsWideAsTheWall) {
    SetGasVolume(gas_, 50);
    SetGasCount(gas_, 1, random_);
    gas_.showSpeeds = true;
    const double l = gas_.halfEdge;
    const std::vector<FeedbackPrimitive> primitives = Capture(false);

    std::set<long> backEdges;
    for (const Point& p : PolygonVertices(primitives, 0.0, 0.5, 1.0)) {
        backEdges.insert(std::lround(p[2] * 1e3));
    }
    std::set<long> frontEdges;
    for (const Point& p : PolygonVertices(primitives, 0.0, 0.3, 0.6)) {
        frontEdges.insert(std::lround(p[2] * 1e3));
    }
    EXPECT_EQ(backEdges, std::set<long>{std::lround(-l * 1e3)});
    EXPECT_EQ(frontEdges, std::set<long>{std::lround(l * 1e3)});
}

// --- captions ---------------------------------------------------------------------------

TEST_F(GasSceneTest, CurveAndHistogramShareTheRedCaption) {
    gas_.showCurve = true;
    gas_.showHistogram = true;
    Capture(false);
    ASSERT_EQ(text_.captions.size(), 1u);
    EXPECT_EQ(text_.captions[0].text, " N en f ( v )");
    EXPECT_FLOAT_EQ(text_.captions[0].colour[0], 0.9f);
    EXPECT_FLOAT_EQ(text_.captions[0].colour[1], 0.0f);
}

TEST_F(GasSceneTest, HistogramAloneHasAGreenCaptionOnTheBackWall) {
    UseFrontOrthoView();
    SetGasVolume(gas_, 50);
    gas_.showHistogram = true;
    Capture(false);
    ASSERT_EQ(text_.captions.size(), 1u);
    const Caption& c = text_.captions[0];
    EXPECT_EQ(c.text, " N en f ( v )");
    EXPECT_FLOAT_EQ(c.colour[1], 0.7f);
    EXPECT_FLOAT_EQ(c.colour[0], 0.0f);
    EXPECT_FALSE(c.lighting);
    const double l = gas_.halfEdge;
    ExpectPointNear(CaptionOrigin(c, 4.25), -l, l - 0.2, 0.01 - l, 1e-6);
    ExpectPointNear(CaptionXAxis(c), 0.2, 0.0, 0.0, 1e-6);
}

TEST_F(GasSceneTest, SpeedCaptionRunsAlongTheRightWallWithItsIndexBelow) {
    UseFrontOrthoView();
    SetGasVolume(gas_, 50);
    gas_.showSpeeds = true;
    Capture(false);
    ASSERT_EQ(text_.captions.size(), 2u);
    const Caption& line = text_.captions[0];
    const Caption& index = text_.captions[1];
    EXPECT_EQ(line.text, " v  en f(i)");
    EXPECT_EQ(index.text, "i");
    for (const Caption& c : text_.captions) {
        EXPECT_FLOAT_EQ(c.colour[0], 0.0f);
        EXPECT_FLOAT_EQ(c.colour[1], 0.5f);
        EXPECT_FLOAT_EQ(c.colour[2], 1.0f);
    }
    // Near the top of the right wall, at its back edge, reading towards the front.
    const double l = gas_.halfEdge;
    ExpectPointNear(CaptionOrigin(line, 4.25), l - 0.01, l - 0.2, -l, 1e-6);
    ExpectPointNear(CaptionXAxis(line), 0.0, 0.0, 0.2, 1e-6);
    // 2.8 text units back from the end of the 11 characters, 0.3 down, scaled by 0.2.
    const double along = 0.2 * (RecordingText::kAdvance * 11 - 2.8);
    ExpectPointNear(CaptionOrigin(index, 4.25), l - 0.01, l - 0.2 - 0.06, -l + along, 1e-6);
}

// --- box and particles ------------------------------------------------------------------

/// Which wall of the box a primitive lies on: the coordinate all its vertices share at +-L.
std::string WallOf(const std::vector<Point>& points, double l) {
    static const char* const kNames[3][2] = {
        {"left", "right"}, {"floor", "ceiling"}, {"back", "front"}};
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const double at = side == 0 ? -l : l;
            if (std::all_of(points.begin(), points.end(),
                            [&](const Point& p) { return std::fabs(p[axis] - at) < 1e-3; })) {
                return kNames[axis][side];
            }
        }
    }
    return "?";
}

struct Walls {
    std::set<std::string> filled;
    std::set<std::string> outlined;
};

class GasBoxTest : public GasSceneTest {
  protected:
    /// Walls drawn filled and walls drawn as outlines. An outline is the run of lines from
    /// one reset line to the next.
    Walls CaptureWalls(bool transparent) {
        const std::vector<FeedbackPrimitive> primitives = Capture(transparent);
        Walls walls;
        std::vector<Point> outline;
        const auto closeOutline = [&] {
            if (!outline.empty()) {
                walls.outlined.insert(WallOf(outline, gas_.halfEdge));
                outline.clear();
            }
        };
        for (const FeedbackPrimitive& p : primitives) {
            const bool wall = !p.vertices.empty() && Near(p.vertices[0].a, 0.5);
            if (!wall || p.kind != FeedbackPrimitive::Kind::Line || p.reset) {
                closeOutline();
            }
            if (!wall) {
                continue;  // the walls are the only primitives with alpha 0.5
            }
            std::vector<Point> points;
            for (const FeedbackVertex& v : p.vertices) {
                points.push_back(unproject_.ToObject(v));
            }
            if (p.kind == FeedbackPrimitive::Kind::Polygon) {
                walls.filled.insert(WallOf(points, gas_.halfEdge));
            } else if (p.kind == FeedbackPrimitive::Kind::Line) {
                outline.insert(outline.end(), points.begin(), points.end());
            }
        }
        closeOutline();
        return walls;
    }
};

TEST_F(GasBoxTest, OpaqueBoxFillsTheFarWallsAndOutlinesTheNearOnes) {
    // At the default camera (40 degrees, height 0) the eye is beyond the left and the front
    // walls.
    const Walls walls = CaptureWalls(false);
    EXPECT_EQ(walls.filled, (std::set<std::string>{"back", "ceiling", "floor", "right"}));
    EXPECT_EQ(walls.outlined, (std::set<std::string>{"front", "left"}));
}

TEST_F(GasBoxTest, TransparentBoxFillsAllSixWalls) {
    const Walls walls = CaptureWalls(true);
    EXPECT_EQ(walls.filled.size(), 6u);
    EXPECT_TRUE(walls.outlined.empty());
}

TEST_F(GasBoxTest, OnlyParticlesInPlayAreDrawn) {
    SetGasCount(gas_, 3, random_);  // parks slots 3 .. 99 in the corner
    const Point centres[3] = {{0.5, 0.0, 0.0}, {0.0, 0.5, 0.0}, {-0.5, -0.5, 0.5}};
    for (int p = 0; p < 3; ++p) {
        gas_.x[p] = centres[p][0];
        gas_.y[p] = centres[p][1];
        gas_.z[p] = centres[p][2];
    }
    const std::vector<FeedbackPrimitive> primitives = Capture(false);

    int hits[3] = {};
    for (const FeedbackPrimitive& primitive : primitives) {
        for (const FeedbackVertex& v : primitive.vertices) {
            if (!Near(v.a, 1.0)) {
                continue;  // a wall
            }
            const Point q = unproject_.ToObject(v);
            bool onASphere = false;
            for (int p = 0; p < 3; ++p) {
                const double d =
                    std::hypot(q[0] - centres[p][0], q[1] - centres[p][1], q[2] - centres[p][2]);
                if (std::fabs(d - gas_.radius) < 1e-3) {
                    ++hits[p];
                    onASphere = true;
                }
            }
            EXPECT_TRUE(onASphere) << "vertex at " << q[0] << ", " << q[1] << ", " << q[2];
        }
    }
    for (int p = 0; p < 3; ++p) {
        EXPECT_GT(hits[p], 0) << "particle " << p << " is missing";
    }
}

// --- blending and depth -------------------------------------------------------------------

TEST_F(GasSceneTest, TransparentBoxBlendsGraphsAndWallsWithoutDepthTest) {
    gas_.showCurve = true;
    Render(true);
    ASSERT_EQ(text_.captions.size(), 1u);
    EXPECT_TRUE(text_.captions[0].blend);
    EXPECT_FALSE(text_.captions[0].depthTest);
    // The spheres are drawn last, always opaque and depth-tested.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(GasSceneTest, OpaqueBoxDrawsGraphsUnblendedWhateverCameBefore) {
    gas_.showCurve = true;
    ASSERT_TRUE(glIsEnabled(GL_BLEND));  // as the view's set-up leaves it
    Render(false);
    ASSERT_EQ(text_.captions.size(), 1u);
    EXPECT_FALSE(text_.captions[0].blend);
    EXPECT_TRUE(text_.captions[0].depthTest);
}

TEST_F(GasSceneTest, TransparentWallsAddUpOverTheCurve) {
    UseFrontOrthoView();
    gas_.showCurve = true;
    SetGasCount(gas_, 1, random_);
    gas_.x[0] = gas_.y[0] = gas_.z[0] = 0.0;
    // Scene point (-0.73, -0.9): under the curve's peak, seen through the front and back
    // walls only.
    Render(false);
    const std::array<int, 3> opaque = Pixel(127, 110);
    Render(true);
    const std::array<int, 3> transparent = Pixel(127, 110);
    // Opaque: the curve hides the back wall and the front wall is only an outline.
    EXPECT_NEAR(opaque[0], 230, 1);
    EXPECT_NEAR(opaque[1], 0, 1);
    // Transparent: red 0.9 plus two walls at half of (0.2, 0.25, 0.25).
    EXPECT_EQ(transparent[0], 255);
    EXPECT_NEAR(transparent[1], 64, 1);
    EXPECT_NEAR(transparent[2], 64, 1);
}

TEST_F(GasSceneTest, SpheresStayOpaqueInTheTransparentBox) {
    UseFrontOrthoView();
    SetGasCount(gas_, 1, random_);
    gas_.x[0] = gas_.y[0] = gas_.z[0] = 0.0;
    Render(false);
    const std::array<int, 3> opaque = Pixel(200, 200);
    Render(true);
    const std::array<int, 3> transparent = Pixel(200, 200);
    EXPECT_GT(opaque[0], 100);  // the orange sphere, not the dark wall
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(transparent[c], opaque[c], 1) << "channel " << c;
    }
}

}  // namespace
}  // namespace veliso
