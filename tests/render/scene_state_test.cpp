// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// What a frame leaves behind in the GL state, also when GLU has no memory for the frame's
// sphere quadric.

#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

#include "core/common/random_source.h"
#include "core/gas/gas_model.h"
#include "core/liquid/liquid_motion.h"
#include "core/solid/solid_controls.h"
#include "render/gas_scene.h"
#include "render/liquid_scene.h"
#include "render/solid_scene.h"
#include "render/view_setup.h"
#include "support/headless_gl.h"
#include "support/no_text.h"

namespace {
/// While set, gluNewQuadric fails as GLU does when it is out of memory.
bool failQuadrics = false;
}  // namespace

// This test program's gluNewQuadric, found before GLU's own: it fails on demand and otherwise
// hands over to GLU.
extern "C" GLUquadric* gluNewQuadric() {
    if (failQuadrics) {
        return nullptr;
    }
    using Real = GLUquadric* (*)();
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "gluNewQuadric"));
    return real();
}

namespace veliso {
namespace {

/// The state a scene may change and the next frame, or the tab-change handler, finds.
struct SceneState {
    bool lighting, blend, depthTest, lineSmooth;
    GLint polygonMode[2];
    GLint modelViewDepth;
    bool operator==(const SceneState& o) const {
        return std::tie(lighting, blend, depthTest, lineSmooth, polygonMode[0], polygonMode[1],
                        modelViewDepth) == std::tie(o.lighting, o.blend, o.depthTest, o.lineSmooth,
                                                    o.polygonMode[0], o.polygonMode[1],
                                                    o.modelViewDepth);
    }
};

std::ostream& operator<<(std::ostream& out, const SceneState& s) {
    return out << "lighting " << s.lighting << ", blend " << s.blend << ", depth test "
               << s.depthTest << ", line smoothing " << s.lineSmooth << ", polygon mode 0x"
               << std::hex << s.polygonMode[0] << "/0x" << s.polygonMode[1] << std::dec
               << ", model-view depth " << s.modelViewDepth;
}

class SceneStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        InitView(gl.width(), gl.height());
        InitGas(gas, random);
        InitLiquid(liquid, random);
        FillHcpCellSites(solid);
        gas.showCurve = gas.showHistogram = gas.showSpeeds = true;
    }
    void TearDown() override { failQuadrics = false; }

    /// The state after `draw`, with or without a quadric for it. The frame starts lit, as
    /// every frame ends (the solid scene relies on it), but otherwise in a state no scene
    /// leaves, so that whatever the frame fails to set shows.
    template <typename Draw>
    SceneState After(Draw draw, bool quadric) {
        glEnable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_LINE_SMOOTH);
        glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
        failQuadrics = !quadric;
        draw();
        failQuadrics = false;
        SceneState s{};
        s.lighting = glIsEnabled(GL_LIGHTING);
        s.blend = glIsEnabled(GL_BLEND);
        s.depthTest = glIsEnabled(GL_DEPTH_TEST);
        s.lineSmooth = glIsEnabled(GL_LINE_SMOOTH);
        glGetIntegerv(GL_POLYGON_MODE, s.polygonMode);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelViewDepth);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return s;
    }

    test::HeadlessGl gl{64, 64};
    RandomSource random{[] { return std::uint64_t{1234}; }};
    GasState gas;
    LiquidState liquid;
    SolidState solid;
    SphereDetail detail;
    test::NoText text;
};

TEST_F(SceneStateTest, EveryFrameEndsInTheSameStateWithOrWithoutAQuadric) {
    for (bool transparent : {false, true}) {
        const auto drawGas = [&] { DrawGasScene(gas, detail, transparent, text); };
        EXPECT_TRUE(After(drawGas, true).lighting);
        EXPECT_EQ(After(drawGas, false), After(drawGas, true))
            << "gas, transparent " << transparent;
        const auto drawLiquid = [&] { DrawLiquidScene(liquid, detail, transparent, false); };
        EXPECT_EQ(After(drawLiquid, false), After(drawLiquid, true))
            << "liquid, transparent " << transparent;
    }
    for (SolidStructure structure :
         {SolidStructure::SimpleCubicCrystal, SolidStructure::FccCell, SolidStructure::HcpCell}) {
        solid.structure = structure;
        const auto drawSolid = [&] { DrawSolidScene(solid, detail, random); };
        EXPECT_FALSE(After(drawSolid, true).lineSmooth);
        EXPECT_EQ(After(drawSolid, false), After(drawSolid, true))
            << "solid structure " << static_cast<int>(structure);
    }
}

}  // namespace
}  // namespace veliso
