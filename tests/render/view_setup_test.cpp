// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/view_setup.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "support/headless_gl.h"

namespace veliso {
namespace {

using Rgba = std::array<float, 4>;

constexpr int kWidth = 473;
constexpr int kHeight = 471;

Rgba Light(GLenum parameter) {
    Rgba v{};
    glGetLightfv(GL_LIGHT0, parameter, v.data());
    return v;
}

Rgba Material(GLenum face, GLenum parameter) {
    Rgba v{};
    glGetMaterialfv(face, parameter, v.data());
    return v;
}

Rgba Floats(GLenum parameter) {
    Rgba v{};
    glGetFloatv(parameter, v.data());
    return v;
}

void ExpectRgba(const Rgba& actual, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(actual[0], r);
    EXPECT_FLOAT_EQ(actual[1], g);
    EXPECT_FLOAT_EQ(actual[2], b);
    EXPECT_FLOAT_EQ(actual[3], a);
}

void ExpectGrey(const Rgba& actual, float v) {
    ExpectRgba(actual, v, v, v, 1.0f);
}

/// Applies the current model-view matrix to a point.
std::array<double, 3> ModelView(double x, double y, double z) {
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

class ViewSetupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!gl_.ok()) {
            GTEST_SKIP() << "no headless OpenGL context";
        }
    }

    test::HeadlessGl gl_{kWidth, kHeight};
};

TEST_F(ViewSetupTest, InitialisationGivesTheSolidLightAndMaterial) {
    // A stray transform before the set-up must not move the light away from the eye.
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3.0f, -2.0f, 5.0f);
    InitView(kWidth, kHeight);

    ExpectGrey(Light(GL_AMBIENT), 0.1f);
    ExpectGrey(Light(GL_DIFFUSE), 0.4f);
    ExpectGrey(Light(GL_SPECULAR), 1.0f);
    ExpectRgba(Light(GL_POSITION), 10.0f, 10.0f, 1.0f, 1.0f);
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        ExpectGrey(Material(face, GL_AMBIENT), 1.0f);
        ExpectGrey(Material(face, GL_DIFFUSE), 1.0f);
        ExpectGrey(Material(face, GL_SPECULAR), 1.0f);
        EXPECT_FLOAT_EQ(Material(face, GL_SHININESS)[0], 15.0f);
    }
    ExpectGrey(Floats(GL_LIGHT_MODEL_AMBIENT), 0.2f);
}

TEST_F(ViewSetupTest, InitialisationEnablesLightingAndAdditiveBlendingButNoDepthTest) {
    InitView(kWidth, kHeight);

    for (GLenum cap :
         {GL_LIGHTING, GL_LIGHT0, GL_AUTO_NORMAL, GL_NORMALIZE, GL_COLOR_MATERIAL, GL_BLEND}) {
        EXPECT_TRUE(glIsEnabled(cap)) << "capability 0x" << std::hex << cap;
    }
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint value = 0;
    glGetIntegerv(GL_COLOR_MATERIAL_FACE, &value);
    EXPECT_EQ(value, GL_FRONT_AND_BACK);
    glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &value);
    EXPECT_EQ(value, GL_AMBIENT_AND_DIFFUSE);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
}

TEST_F(ViewSetupTest, ResizeSetsThe45DegreePerspective) {
    InitView(kWidth, kHeight);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glMatrixMode(GL_PROJECTION);  // the resize must leave the model-view selected
    ResizeView(200, 100);

    // cot(22.5 degrees) = 1 + sqrt(2); near 0.1, far 50.
    const double f = 1.0 + std::sqrt(2.0);
    double p[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    EXPECT_NEAR(p[0], f / 2.0, 1e-6);
    EXPECT_NEAR(p[5], f, 1e-6);
    EXPECT_NEAR(p[10], -50.1 / 49.9, 1e-6);
    EXPECT_NEAR(p[14], -2.0 * 50.0 * 0.1 / 49.9, 1e-6);
    EXPECT_DOUBLE_EQ(p[11], -1.0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 100);
    GLint value = 0;
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
}

TEST_F(ViewSetupTest, ZeroHeightTakesTheWidthAsAspectRatio) {
    InitView(kWidth, kHeight);
    ResizeView(300, 0);

    const double f = 1.0 + std::sqrt(2.0);
    double p[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    EXPECT_TRUE(std::isfinite(p[0]));
    EXPECT_NEAR(p[0], f / 300.0, 1e-9);
    EXPECT_NEAR(p[5], f, 1e-6);
}

TEST_F(ViewSetupTest, EachTabGetsItsOwnLightingSet) {
    InitView(kWidth, kHeight);
    struct Expected {
        SceneTab tab;
        float ambient, diffuse;
        Rgba specular;
        float shininess;
    };
    const Expected expected[] = {
        {SceneTab::Gas, 0.3f, 1.0f, {0.7f, 1.0f, 1.0f, 1.0f}, 10.0f},
        {SceneTab::Liquid, 0.1f, 0.7f, {0.5f, 0.5f, 0.5f, 1.0f}, 10.0f},
        {SceneTab::Solid, 0.1f, 0.4f, {1.0f, 1.0f, 1.0f, 1.0f}, 15.0f},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(static_cast<int>(e.tab));
        ApplyLightingSet(e.tab);
        ExpectGrey(Light(GL_AMBIENT), e.ambient);
        ExpectGrey(Light(GL_DIFFUSE), e.diffuse);
        ExpectGrey(Light(GL_SPECULAR), 1.0f);
        for (GLenum face : {GL_FRONT, GL_BACK}) {
            const Rgba specular = Material(face, GL_SPECULAR);
            ExpectRgba(specular, e.specular[0], e.specular[1], e.specular[2], e.specular[3]);
            EXPECT_FLOAT_EQ(Material(face, GL_SHININESS)[0], e.shininess);
        }
        ExpectGrey(Floats(GL_LIGHT_MODEL_AMBIENT), 0.2f);
    }
}

TEST_F(ViewSetupTest, TabChangeKeepsTheLightWhereTheEyeIs) {
    InitView(kWidth, kHeight);
    ApplyCamera(ViewPoint{40.0, 2.0, 3.0});
    ApplyLightingSet(SceneTab::Gas);
    ExpectRgba(Light(GL_POSITION), 10.0f, 10.0f, 1.0f, 1.0f);
}

TEST_F(ViewSetupTest, CameraLooksAtTheOriginAndTurnsTheSceneAboutY) {
    InitView(kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    ApplyCamera(ViewPoint{90.0, 0.0, 4.0});

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // Turned by +90 degrees about y, the scene's +x axis points away from the eye.
    const auto x = ModelView(1.0, 0.0, 0.0);
    EXPECT_NEAR(x[0], 0.0, 1e-6);
    EXPECT_NEAR(x[1], 0.0, 1e-6);
    EXPECT_NEAR(x[2], -5.0, 1e-6);

    // An eye at height 3 and distance 4 is 5 units from the origin it looks at.
    ApplyCamera(ViewPoint{0.0, 3.0, 4.0});
    const auto origin = ModelView(0.0, 0.0, 0.0);
    EXPECT_NEAR(origin[0], 0.0, 1e-6);
    EXPECT_NEAR(origin[1], 0.0, 1e-6);
    EXPECT_NEAR(origin[2], -5.0, 1e-6);
    const auto eye = ModelView(0.0, 3.0, 4.0);
    EXPECT_NEAR(eye[0], 0.0, 1e-6);
    EXPECT_NEAR(eye[1], 0.0, 1e-6);
    EXPECT_NEAR(eye[2], 0.0, 1e-6);
}

}  // namespace
}  // namespace veliso
