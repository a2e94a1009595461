// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// What a frame leaves behind in the GL state, also when GLU has no memory for the frame's
// sphere quadric, and when memory runs out in the middle of the frame.

#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <new>
#include <ostream>
#include <string_view>
#include <tuple>

#include "core/common/random_source.h"
#include "core/gas/gas_model.h"
#include "core/liquid/liquid_motion.h"
#include "core/solid/solid_controls.h"
#include "render/gas_scene.h"
#include "render/liquid_scene.h"
#include "render/solid_scene.h"
#include "render/sphere_batch.h"
#include "render/sphere_mesh.h"
#include "render/view_setup.h"
#include "support/headless_gl.h"
#include "support/no_text.h"

namespace {
/// While set, gluNewQuadric fails as GLU does when it is out of memory.
bool failQuadrics = false;
/// Quadrics GLU made and deleted so far.
long quadricsMade = 0;
long quadricsDeleted = 0;
/// While not negative, how many allocations succeed before one throws std::bad_alloc.
long allocationsBeforeFailure = -1;
}  // namespace

// This test program's gluNewQuadric and gluDeleteQuadric, found before GLU's own: they count,
// gluNewQuadric fails on demand, and both otherwise hand over to GLU.
extern "C" GLUquadric* gluNewQuadric() {
    if (failQuadrics) {
        return nullptr;
    }
    using Real = GLUquadric* (*)();
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "gluNewQuadric"));
    GLUquadric* quadric = real();
    quadricsMade += quadric != nullptr ? 1 : 0;
    return quadric;
}

extern "C" void gluDeleteQuadric(GLUquadric* quadric) {
    using Real = void (*)(GLUquadric*);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "gluDeleteQuadric"));
    quadricsDeleted += quadric != nullptr ? 1 : 0;
    real(quadric);
}

// This test program's allocation, which hands over to the process's. It can fail on demand
// (allocationsBeforeFailure), but only where nothing but the program and the C and C++
// run-times are on the stack: the OpenGL driver, its compiler and GLU allocate too, called
// from the program's drawing, and are not made to survive a failure.
namespace {
/// The address the program itself is loaded at.
const void* ProgramBase();

bool OnlyTheProgramOnTheStack() {
    void* frames[128];
    const int count = backtrace(frames, 128);
    for (int i = 1; i < count; ++i) {
        Dl_info where{};
        if (dladdr(frames[i], &where) == 0 || where.dli_fname == nullptr ||
            where.dli_fbase == ProgramBase()) {
            continue;
        }
        const std::string_view object(where.dli_fname);
        const std::string_view name = object.substr(object.rfind('/') + 1);
        const std::string_view runtimes[] = {"libc.so", "libstdc++", "libgcc_s",
                                             "libasan", "libubsan",  "ld-linux"};
        if (std::none_of(std::begin(runtimes), std::end(runtimes),
                         [name](std::string_view r) { return name.starts_with(r); })) {
            return false;
        }
    }
    return true;
}

const void* ProgramBase() {
    static const void* base = [] {
        Dl_info where{};
        dladdr(reinterpret_cast<void*>(&OnlyTheProgramOnTheStack), &where);
        return where.dli_fbase;
    }();
    return base;
}
}  // namespace

void* operator new(std::size_t size) {
    if (allocationsBeforeFailure >= 0 && OnlyTheProgramOnTheStack() &&
        allocationsBeforeFailure-- == 0) {
        throw std::bad_alloc();
    }
    using Real = void* (*)(std::size_t);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "_Znwm"));
    return real(size);
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

// Memory running out anywhere in a frame ends the frame with std::bad_alloc, which the view
// shows, instead of ending the program; and it leaves nothing behind: no GL error, the
// frame's quadric deleted, the matrix stack as a whole frame leaves it, and the next frame
// draws the same picture as before. Each allocation of the frame fails in turn, the sphere
// meshes built anew each time.
TEST_F(SceneStateTest, AFrameOutOfMemoryThrowsAndLeavesNothingBehind) {
    SetSphereDrawing(SphereDrawing::Cached);
    const struct {
        const char* scene;
        std::function<void()> draw;
    } scenes[] = {
        {"gas", [&] { DrawGasScene(gas, detail, false, text); }},
        {"liquid",
         [&] {
             LiquidState moving = liquid;
             DrawLiquidScene(moving, detail, false, false);
         }},
        {"solid",
         [&] {
             RandomSource vibration = random;
             DrawSolidScene(solid, detail, vibration);
         }},
    };
    for (const auto& scene : scenes) {
        SCOPED_TRACE(scene.scene);
        scene.draw();
        const std::vector<std::uint8_t> whole = gl.ReadRgb();
        int failures = 0;
        for (long k = 0;; ++k) {
            SCOPED_TRACE(::testing::Message() << "allocation " << k);
            SharedSphereMeshCache().Clear();
            const long made = quadricsMade;
            const long deleted = quadricsDeleted;
            allocationsBeforeFailure = k;
            bool threw = false;
            try {
                scene.draw();
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            allocationsBeforeFailure = -1;
            // Failing before the quadric's creation, the frame made none.
            EXPECT_EQ(quadricsDeleted - deleted, quadricsMade - made);
            GLint depth = 0;
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
            EXPECT_EQ(depth, 1);
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            if (!threw) {
                EXPECT_EQ(quadricsMade - made, 1);
                break;
            }
            ++failures;
            // Every failed frame is followed by a whole one, from which the next starts as
            // frames do.
            scene.draw();
            ASSERT_EQ(gl.ReadRgb(), whole);
        }
        EXPECT_GT(failures, 0) << "the frame allocates";
    }
}

}  // namespace
}  // namespace veliso
