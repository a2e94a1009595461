// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/pass_capabilities.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "support/headless_gl.h"

namespace veliso {
namespace {

/// The scene's own state: filled, depth-tested, a camera 5 units back under
/// gluPerspective(45°, 1, 1, 10).
PassFacts SceneFacts() {
    PassFacts f;
    f.viewport[2] = f.viewport[3] = 470;
    for (int k = 0; k < 4; ++k) {
        f.modelView[5 * k] = 1.0;
    }
    f.modelView[14] = -5.0;
    const double focal = 2.414213562373095;
    f.projection[0] = focal;
    f.projection[5] = focal;
    f.projection[10] = -11.0 / 9.0;
    f.projection[11] = -1.0;
    f.projection[14] = -20.0 / 9.0;
    return f;
}

TEST(PassCapabilities, EachCheckListsEveryConditionItNeeds) {
    struct Case {
        const char* name;
        std::function<void(PassFacts&)> change;
        bool meshesExact, cullingSafe, occlusionSafe;
    };
    const Case cases[] = {
        {"the scene", [](PassFacts&) {}, true, true, true},
        {"feedback mode", [](PassFacts& f) { f.renderMode = false; }, false, true, true},
        {"multisampling", [](PassFacts& f) { f.multisampling = true; }, false, true, true},
        {"clip plane", [](PassFacts& f) { f.clipPlane = true; }, false, true, true},
        {"list compiling", [](PassFacts& f) { f.compilingList = true; }, false, true, true},
        {"coarse sub-pixels", [](PassFacts& f) { f.subpixelBits = 4; }, false, true, true},
        {"buffer bound", [](PassFacts& f) { f.bufferBound = true; }, false, true, true},
        {"line or point mode", [](PassFacts& f) { f.polygonsFilled = false; }, false, false, true},
        {"polygon smoothing", [](PassFacts& f) { f.polygonSmooth = true; }, false, true, true},
        {"no depth test", [](PassFacts& f) { f.depthTest = false; }, true, false, true},
        {"no depth writes", [](PassFacts& f) { f.depthWrites = false; }, true, false, true},
        {"depth GREATER", [](PassFacts& f) { f.depthLessOrEqual = false; }, true, false, true},
        {"no depth buffer", [](PassFacts& f) { f.depthBits = 0; }, true, false, true},
        {"reversed depth range",
         [](PassFacts& f) {
             f.depthRange[0] = 1.0;
             f.depthRange[1] = 0.0;
         },
         true, false, true},
        {"face culling", [](PassFacts& f) { f.faceCulling = true; }, true, false, true},
        {"blending", [](PassFacts& f) { f.blending = true; }, true, false, true},
        {"logic op", [](PassFacts& f) { f.logicOp = true; }, true, false, true},
        {"alpha test", [](PassFacts& f) { f.alphaTest = true; }, true, false, true},
        {"stencil test", [](PassFacts& f) { f.stencilTest = true; }, true, false, true},
        {"stipple", [](PassFacts& f) { f.polygonStipple = true; }, true, false, true},
        {"polygon offset", [](PassFacts& f) { f.polygonOffsetFill = true; }, true, false, true},
        {"depth clamp", [](PassFacts& f) { f.depthClamp = true; }, true, false, true},
        {"shader program", [](PassFacts& f) { f.program = true; }, true, false, true},
        {"empty viewport", [](PassFacts& f) { f.viewport[2] = 0; }, true, false, true},
        {"mirror", [](PassFacts& f) { f.modelView[0] = -1.0; }, true, false, true},
        {"orthographic",
         [](PassFacts& f) {
             f.projection[11] = 0.0;
             f.projection[15] = 1.0;
         },
         true, false, false},
        {"stretched model-view",
         [](PassFacts& f) { f.modelView[0] = f.modelView[5] = f.modelView[10] = 2.0; }, true, true,
         false},
        {"off-centre projection", [](PassFacts& f) { f.projection[8] = 0.1; }, true, true, false},
        {"far before near", [](PassFacts& f) { f.projection[14] = 20.0 / 9.0; }, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PassFacts f = SceneFacts();
        c.change(f);
        EXPECT_EQ(MeshesExact(f), c.meshesExact);
        EXPECT_EQ(TriangleCullingSafe(f), c.cullingSafe);
        EXPECT_EQ(OcclusionSafe(f), c.occlusionSafe);
        // Each feature needs the ones before it.
        const PassCapabilities can = Capabilities(f);
        EXPECT_EQ(can.meshesExact, c.meshesExact);
        EXPECT_EQ(can.triangleCullingSafe, c.meshesExact && c.cullingSafe);
        EXPECT_EQ(can.occlusionSafe, c.meshesExact && c.cullingSafe && c.occlusionSafe);
    }
}

// The facts are read from any context without leaving a GL error behind, and a feature the
// context lacks reads as off, not as what an earlier query left in the variable. ctest runs
// this again in a context that says it is OpenGL 1.2 without depth clamping
// (render_gl_1_2), where asking for it would leave GL_INVALID_ENUM.
TEST(PassFacts, AreReadFromAnyContextWithoutAGlError) {
    test::HeadlessGl gl(16, 16);
    ASSERT_TRUE(gl.ok());
    const ContextFacts& context = CurrentContextFacts();
    if (const char* version = std::getenv("MESA_GL_VERSION_OVERRIDE")) {
        EXPECT_EQ(
            std::string(reinterpret_cast<const char*>(glGetString(GL_VERSION))).rfind(version, 0),
            0u);
        EXPECT_FALSE(context.depthClamp);
        EXPECT_FALSE(context.programs);
        EXPECT_FALSE(context.buffers);
    }
    glDepthFunc(GL_LEQUAL);  // a value not 0 read just before the program's
    for (bool clamp : {false, true}) {
        if (clamp && !context.depthClamp) {
            continue;
        }
        if (clamp) {
            glEnable(GL_DEPTH_CLAMP);
        }
        while (glGetError() != GL_NO_ERROR) {
        }
        PassFacts facts;
        ReadPassFacts(facts);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "clamp " << clamp;
        EXPECT_EQ(facts.depthClamp, clamp);
        EXPECT_FALSE(facts.program);
        EXPECT_FALSE(facts.bufferBound);
        EXPECT_TRUE(facts.renderMode);
        glDisable(GL_DEPTH_CLAMP);
        while (glGetError() != GL_NO_ERROR) {
        }
    }
}

}  // namespace
}  // namespace veliso
