// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/solid_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/solid/solid_controls.h"
#include "core/solid/solid_structures.h"
#include "render/view_setup.h"
#include "support/feedback_capture.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

constexpr int kWidth = 473;
constexpr int kHeight = 471;

/// What feedback mode saw of one frame: the colours of every line vertex and the number
/// of filled polygons.
struct Feedback {
    std::vector<test::FeedbackVertex> lineVertices;
    int lines = 0;
    int polygons = 0;
};

class SolidScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        InitView(kWidth, kHeight);
        solid.red = 1.0;
        solid.green = 0.0;
        solid.blue = 0.0;
        FillHcpCellSites(solid);
    }

    void Draw(SolidStructure structure, int kelvin = 0) {
        solid.structure = structure;
        solid.amplitude = SolidAmplitudeAt(kelvin);
        DrawSolidScene(solid, detail, random);
        gl.Finish();
    }

    /// Draws one frame in feedback mode.
    Feedback Capture(SolidStructure structure) {
        solid.structure = structure;
        test::FeedbackCapture capture;
        capture.Begin();
        DrawSolidScene(solid, detail, random);
        const std::vector<test::FeedbackPrimitive> primitives = capture.End();
        EXPECT_FALSE(capture.overflowed());
        Feedback out;
        for (const test::FeedbackPrimitive& p : primitives) {
            if (p.kind == test::FeedbackPrimitive::Kind::Line) {
                ++out.lines;
                out.lineVertices.insert(out.lineVertices.end(), p.vertices.begin(),
                                        p.vertices.end());
            } else if (p.kind == test::FeedbackPrimitive::Kind::Polygon) {
                ++out.polygons;
            }
        }
        return out;
    }

    test::HeadlessGl gl{kWidth, kHeight};
    SolidState solid;
    SphereDetail detail;
    RandomSource random{[] { return std::uint64_t{0}; }};
};

TEST_F(SolidScene, LeavesTheStatesOfTheFrame) {
    for (SolidStructure s :
         {SolidStructure::SimpleCubicCell, SolidStructure::FccCrystal, SolidStructure::HcpCell}) {
        Draw(s);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        GLint polygonMode[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
        EXPECT_EQ(polygonMode[0], GL_FILL);
        EXPECT_EQ(polygonMode[1], GL_FILL);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        GLfloat clear[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_FLOAT_EQ(clear[0], 0.45f);
        EXPECT_FLOAT_EQ(clear[1], 0.5f);
        EXPECT_FLOAT_EQ(clear[2], 0.55f);
        // The last sphere of each of these is in the main colour.
        GLfloat colour[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(colour[0], 1.0f);
        EXPECT_FLOAT_EQ(colour[1], 0.0f);
    }
}

TEST_F(SolidScene, LeavesTheCameraOnTheModelViewStack) {
    Draw(SolidStructure::BccCell, 300);
    GLdouble afterFrame[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, afterFrame);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    ApplyCamera(solid.view);
    GLdouble camera[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, camera);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(afterFrame[i], camera[i]) << i;
    }
}

TEST_F(SolidScene, LineWidthAfterTheCellOutlines) {
    GLfloat width = 0.0f;
    Draw(SolidStructure::SimpleCubicCell);
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
    // The hexagonal cell's outline pass does not restore the width.
    Draw(SolidStructure::HcpCell);
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 3.0f);
}

TEST_F(SolidScene, CellEdgesAreGreyLines) {
    struct Case {
        SolidStructure structure;
        int lines;
    };
    // Cube: 6 faces of 4 edges; FCC adds 3 mid-planes and 2 axes; BCC 4 diagonals;
    // hexagonal cell: loops of 6, 6, 4, 4, 4 and 3 edges.
    const Case cases[] = {{SolidStructure::SimpleCubicCell, 24},   {SolidStructure::FccCell, 38},
                          {SolidStructure::BccCell, 28},           {SolidStructure::HcpCell, 27},
                          {SolidStructure::SimpleCubicCrystal, 0}, {SolidStructure::HcpCrystal, 0}};
    for (const Case& c : cases) {
        const Feedback f = Capture(c.structure);
        EXPECT_EQ(f.lines, c.lines);
        EXPECT_GT(f.polygons, 0);
        for (const test::FeedbackVertex& v : f.lineVertices) {
            EXPECT_NEAR(v.r, 0.8f, 1e-6);
            EXPECT_NEAR(v.g, 0.8f, 1e-6);
            EXPECT_NEAR(v.b, 0.8f, 1e-6);
        }
    }
}

TEST_F(SolidScene, CubeEdgesLieOnTheCellAndDoNotTremble) {
    solid.amplitude = SolidAmplitudeAt(300);
    const double h = ComputeSolidExtent(solid.amplitude).halfExtent;
    const Feedback f = Capture(SolidStructure::SimpleCubicCell);
    const test::Unprojector unproject;  // the camera the frame left current
    ASSERT_EQ(f.lineVertices.size(), 48u);
    for (const test::FeedbackVertex& v : f.lineVertices) {
        for (double c : unproject.ToObject(v)) {
            EXPECT_NEAR(std::fabs(c), h, 2e-3);
        }
    }
}

TEST_F(SolidScene, BackgroundAndLitSpheres) {
    Draw(SolidStructure::SimpleCubicCrystal);
    std::uint8_t rgb[3];
    gl.PixelAt(2, 2, rgb);
    EXPECT_NEAR(rgb[0], 115, 1);  // 0.45
    EXPECT_NEAR(rgb[1], 128, 1);  // 0.5
    EXPECT_NEAR(rgb[2], 140, 1);  // 0.55
    // The front sphere at (0, 0, 0.8) covers the pixel it projects to, in red.
    GLdouble model[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0;
    GLdouble wy = 0;
    GLdouble wz = 0;
    ASSERT_TRUE(gluProject(0.0, 0.0, 0.8, model, projection, viewport, &wx, &wy, &wz));
    gl.PixelAt(static_cast<int>(wx), static_cast<int>(wy), rgb);
    EXPECT_GT(rgb[0], 40);
    EXPECT_LT(rgb[1], rgb[0]);
    EXPECT_LT(rgb[2], rgb[0]);
}

TEST_F(SolidScene, StillAtZeroKelvinTremblingAbove) {
    auto twoFramesEqual = [this](int kelvin) {
        Draw(SolidStructure::FccCell, kelvin);
        const std::vector<std::uint8_t> first = gl.ReadRgb();
        Draw(SolidStructure::FccCell, kelvin);
        return first == gl.ReadRgb();
    };
    EXPECT_TRUE(twoFramesEqual(0));
    EXPECT_FALSE(twoFramesEqual(300));
    // Three draws a sphere: 27 spheres, two frames, from the 15-bit output only.
    RandomSource expected{[] { return std::uint64_t{0}; }};
    for (int i = 0; i < 4 * 27 * 3; ++i) {
        expected.Next15();
    }
    EXPECT_EQ(random.low(), expected.low());
    EXPECT_EQ(random.high(), 0u);
}

}  // namespace
}  // namespace veliso
