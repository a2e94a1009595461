// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/liquid_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "core/liquid/liquid_motion.h"
#include "render/view_setup.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

using test::HeadlessGl;

/// A headless view set up as the program does on the liquid tab, with the liquid at its
/// start-up layout (velocities from a clock that stands still).
class LiquidSceneTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 240;

    LiquidSceneTest() : gl_(kWidth, kHeight), random_([] { return std::uint64_t{1765100000}; }) {}

    void SetUp() override {
        ASSERT_TRUE(gl_.ok()) << "no headless OpenGL context";
        InitView(kWidth, kHeight);
        ApplyLightingSet(SceneTab::Liquid);
        InitLiquid(liquid_, random_);
    }

    void Frame(bool transparent = false, bool mark = false) {
        DrawLiquidScene(liquid_, detail_, transparent, mark);
        gl_.Finish();
    }

    /// Window position of a scene point under the matrices left by the last frame.
    void Project(double x, double y, double z, int& px, int& py) const {
        GLdouble modelview[16];
        GLdouble projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble wx = 0, wy = 0, wz = 0;
        gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz);
        px = static_cast<int>(std::lround(wx));
        py = static_cast<int>(std::lround(wy));
    }

    void PixelOfPoint(double x, double y, double z, std::uint8_t rgb[3]) const {
        int px = 0, py = 0;
        Project(x, y, z, px, py);
        gl_.PixelAt(px, py, rgb);
    }

    HeadlessGl gl_;
    RandomSource random_;
    LiquidState liquid_;
    SphereDetail detail_;
};

void ExpectSamePositions(const LiquidState& a, const LiquidState& b) {
    for (int p = 0; p < kLiquidSlots; ++p) {
        ASSERT_EQ(a.x[p], b.x[p]) << "particle " << p;
        ASSERT_EQ(a.y[p], b.y[p]) << "particle " << p;
        ASSERT_EQ(a.z[p], b.z[p]) << "particle " << p;
    }
}

TEST_F(LiquidSceneTest, PausedFramesOnlyConfine) {
    liquid_.paused = true;
    liquid_.halfEdge = LiquidHalfEdge(60);
    LiquidState expected = liquid_;
    for (int p = 0; p < kLiquidSlots; ++p) {
        ConfineLiquid(expected, p);
    }
    for (int frame = 0; frame < 5; ++frame) {
        Frame(frame % 2 == 1, true);
        ExpectSamePositions(liquid_, expected);
    }
}

TEST_F(LiquidSceneTest, RunningFrameStepsOnceThenConfinesEachParticle) {
    for (int frame = 0; frame < 3; ++frame) {
        LiquidState expected = liquid_;
        StepLiquid(expected);
        for (int p = 0; p < kLiquidSlots; ++p) {
            ConfineLiquid(expected, p);
        }
        Frame();
        ExpectSamePositions(liquid_, expected);
        EXPECT_EQ(liquid_.vy[42], expected.vy[42]);
    }
}

TEST_F(LiquidSceneTest, FrameLeavesFilledLitDepthTestedState) {
    for (bool transparent : {false, true}) {
        Frame(transparent);
        GLint modes[2] = {0, 0};
        glGetIntegerv(GL_POLYGON_MODE, modes);
        EXPECT_EQ(modes[0], GL_FILL);
        EXPECT_EQ(modes[1], GL_FILL);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);  // every push popped
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(LiquidSceneTest, MarkedParticlesTakeTheComplementaryColour) {
    // The last sphere drawn leaves its colour current: draw up to slot 86, 87 or 88.
    const struct {
        int count;
        bool mark;
        double r, g, b;
    } cases[] = {{87, true, 1.0, 0.4, 0.0},
                 {88, true, 1.0, 0.4, 0.0},
                 {89, true, 0.0, 0.6, 1.0},
                 {88, false, 0.0, 0.6, 1.0}};
    liquid_.paused = true;
    for (const auto& c : cases) {
        liquid_.count = c.count;
        Frame(false, c.mark);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_NEAR(colour[0], c.r, 1e-6) << "count " << c.count;
        EXPECT_NEAR(colour[1], c.g, 1e-6) << "count " << c.count;
        EXPECT_NEAR(colour[2], c.b, 1e-6) << "count " << c.count;
    }
}

TEST_F(LiquidSceneTest, MarkedParticlesShowOrangeSeenFromAbove) {
    // Eye straight above: the top layer, where 86 and 87 sit side by side, is in full view.
    liquid_.view = ViewPoint{0.0, 5.0, 0.5};
    liquid_.paused = true;
    for (bool mark : {true, false}) {
        Frame(false, mark);
        for (int p = 84; p <= 89; ++p) {
            std::uint8_t rgb[3];
            PixelOfPoint(liquid_.x[p], liquid_.y[p], liquid_.z[p], rgb);
            const bool orange = mark && (p == 86 || p == 87);
            // The white specular highlight lifts every channel a little.
            if (orange) {
                EXPECT_GT(rgb[0], rgb[1] + 50) << "particle " << p;
                EXPECT_GT(rgb[1], rgb[2] + 30) << "particle " << p;
            } else {
                EXPECT_GT(rgb[2], rgb[1] + 30) << "particle " << p;
                EXPECT_GT(rgb[1], rgb[0] + 50) << "particle " << p;
            }
        }
    }
}

/// One primitive captured in feedback mode: a line, or a filled polygon of `triangles`
/// triangles (a quad may come back whole or split in two), and its colour.
struct Captured {
    bool line;
    int triangles;
    float rgba[4];
};

std::vector<Captured> ParseFeedback(const std::vector<GLfloat>& buffer, int size) {
    constexpr int kVertex = 7;  // GL_3D_COLOR in RGBA mode: x, y, z, r, g, b, a
    std::vector<Captured> out;
    for (int i = 0; i < size;) {
        const int token = static_cast<int>(buffer[i++]);
        int vertices = 0;
        if (token == GL_POLYGON_TOKEN) {
            vertices = static_cast<int>(buffer[i++]);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            vertices = 2;
        } else if (token == GL_POINT_TOKEN) {
            vertices = 1;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
            continue;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        Captured c{token != GL_POLYGON_TOKEN,
                   vertices - 2,
                   {buffer[i + 3], buffer[i + 4], buffer[i + 5], buffer[i + 6]}};
        out.push_back(c);
        i += vertices * kVertex;
    }
    return out;
}

/// Primitives of the cube alone (no particle), captured in feedback mode.
std::vector<Captured> CaptureCube(LiquidState& liquid, const SphereDetail& detail,
                                  bool transparent) {
    std::vector<GLfloat> buffer(1 << 14);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    const int saved = liquid.count;
    liquid.count = 0;
    DrawLiquidScene(liquid, detail, transparent, false);
    liquid.count = saved;
    const int size = glRenderMode(GL_RENDER);
    EXPECT_GT(size, 0);
    return ParseFeedback(buffer, size);
}

/// Faces of one colour: floor and top, the x sides, the z sides. A filled face counts as
/// two triangles, an outlined one as four lines.
struct FacePair {
    float r;
    int triangles = 0;
    int lines = 0;
};

void CountByColour(const std::vector<Captured>& primitives, FacePair pairs[3]) {
    for (const Captured& c : primitives) {
        bool known = false;
        for (int k = 0; k < 3; ++k) {
            if (std::fabs(c.rgba[0] - pairs[k].r) < 0.005f) {
                (c.line ? pairs[k].lines : pairs[k].triangles) += c.line ? 1 : c.triangles;
                known = true;
                EXPECT_NEAR(c.rgba[3], 0.5f, 0.005f);
            }
        }
        EXPECT_TRUE(known) << "primitive of red " << c.rgba[0];
    }
}

TEST_F(LiquidSceneTest, SolidCubeOutlinesTheFacesTurnedToTheEye) {
    const ViewPoint cameras[] = {
        {40.0, 0.0, 4.25}, {130.0, 2.0, 4.25}, {250.0, -1.5, 4.0}, {320.0, 0.5, 4.25}};
    for (const ViewPoint& camera : cameras) {
        liquid_.view = camera;
        const double h = liquid_.halfEdge;
        // The eye in scene coordinates: the scene is turned by angle about y.
        const double a = camera.angle * 3.14159265358979323846 / 180.0;
        const double eye[3] = {-camera.distance * std::sin(a), camera.height,
                               camera.distance * std::cos(a)};
        FacePair pairs[3] = {{0.24f}, {0.16f}, {0.2f}};  // y faces, x faces, z faces
        CountByColour(CaptureCube(liquid_, detail_, false), pairs);
        const int axis[3] = {1, 0, 2};
        for (int k = 0; k < 3; ++k) {
            const int outer = std::fabs(eye[axis[k]]) > h ? 1 : 0;
            EXPECT_EQ(pairs[k].triangles, 2 * (2 - outer))
                << "angle " << camera.angle << " pair " << k;
            EXPECT_EQ(pairs[k].lines, 4 * outer) << "angle " << camera.angle << " pair " << k;
        }
    }
}

TEST_F(LiquidSceneTest, TransparentCubeFillsAllSixFaces) {
    FacePair pairs[3] = {{0.24f}, {0.16f}, {0.2f}};
    CountByColour(CaptureCube(liquid_, detail_, true), pairs);
    for (const FacePair& pair : pairs) {
        EXPECT_EQ(pair.triangles, 4);
        EXPECT_EQ(pair.lines, 0);
    }
}

TEST_F(LiquidSceneTest, TransparentFacesAddHalfTheirColourAndWriteNoDepth) {
    // From the default camera the ray to (1, 0, -0.5) on the x = +h side passes in through
    // the front face (z = +h), turned to the eye. Solid: only the inner x side shows,
    // (0.16, 0.2, 0.2). Transparent: half of each face, (0.08 + 0.1, 0.1 + 0.125, ...).
    liquid_.count = 0;
    std::uint8_t rgb[3];
    Frame(false);
    PixelOfPoint(1.0, 0.0, -0.5, rgb);
    EXPECT_NEAR(rgb[0], 41, 2);
    EXPECT_NEAR(rgb[1], 51, 2);
    EXPECT_NEAR(rgb[2], 51, 2);

    Frame(true);
    PixelOfPoint(1.0, 0.0, -0.5, rgb);
    EXPECT_NEAR(rgb[0], 46, 2);
    EXPECT_NEAR(rgb[1], 57, 2);
    EXPECT_NEAR(rgb[2], 57, 2);
    int px = 0, py = 0;
    Project(1.0, 0.0, -0.5, px, py);
    GLfloat depth = 0.0f;
    glReadPixels(px, py, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);  // nothing can hide a particle behind a face
}

}  // namespace
}  // namespace veliso
