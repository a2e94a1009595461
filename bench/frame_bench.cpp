// Milliseconds per frame of every scene as the view paints it, at the view's start-up size
// (473 x 471), the frame finished (glFinish, the headless stand-in for the buffer swap)
// before the clock stops: the eight solid structures at 300 K, the liquid (opaque cube,
// marked particles, one motion step a frame) and the gas with its three graphs, each at
// smoothness 8, 20 and 32. Every case runs twice: with GLU's sphere drawn vertex by vertex
// on a fresh quadric ("naive") and with the cached sphere meshes ("cached"). The animation
// tick is 25 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "core/common/random_source.h"
#include "core/gas/gas_model.h"
#include "core/liquid/liquid_motion.h"
#include "core/solid/solid_controls.h"
#include "render/gas_scene.h"
#include "render/liquid_scene.h"
#include "render/solid_scene.h"
#include "render/sphere_mesh.h"
#include "render/view_setup.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

constexpr int kWidth = 473;
constexpr int kHeight = 471;

/// Draws no text: the real captions come from the view's outline-font display lists.
class NoText : public TextWriter {
  public:
    void DrawText3D(std::string_view) override {}
};

/// One context for every case, made current again after the other benchmarks' contexts;
/// left alive until the process ends.
test::HeadlessGl& Context() {
    static test::HeadlessGl* const gl = new test::HeadlessGl(kWidth, kHeight);
    gl->MakeCurrent();
    return *gl;
}

/// Times `frame` once per iteration; one untimed frame first builds the meshes.
template <class Frame>
void TimeFrames(benchmark::State& state, SceneTab tab, SphereDrawing drawing, Frame&& frame) {
    test::HeadlessGl& gl = Context();
    if (!gl.ok()) {
        state.SkipWithError("no headless OpenGL context");
        return;
    }
    InitView(kWidth, kHeight);
    ApplyLightingSet(tab);
    SetSphereDrawing(drawing);
    frame();
    gl.Finish();
    for (auto _ : state) {
        frame();
        gl.Finish();
    }
    SetSphereDrawing(SphereDrawing::Cached);
}

/// A random source on a clock that stands still: the same start-up layout every run.
RandomSource StillClock() {
    return RandomSource([] { return std::uint64_t{1765100000}; });
}

SphereDetail DetailAt(int smoothness) {
    SphereDetail detail;
    detail.SetSmoothness(smoothness);
    return detail;
}

void SolidFrames(benchmark::State& state, SolidStructure structure, int smoothness,
                 SphereDrawing drawing) {
    SolidState solid;
    FillHcpCellSites(solid);
    solid.structure = structure;
    solid.amplitude = SolidAmplitudeAt(300);
    const SphereDetail detail = DetailAt(smoothness);
    RandomSource random = StillClock();
    TimeFrames(state, SceneTab::Solid, drawing, [&] { DrawSolidScene(solid, detail, random); });
}

void LiquidFrames(benchmark::State& state, int smoothness, SphereDrawing drawing) {
    RandomSource random = StillClock();
    LiquidState liquid;
    InitLiquid(liquid, random);
    const SphereDetail detail = DetailAt(smoothness);
    TimeFrames(state, SceneTab::Liquid, drawing,
               [&] { DrawLiquidScene(liquid, detail, false, true); });
}

void GasFrames(benchmark::State& state, int smoothness, SphereDrawing drawing) {
    RandomSource random = StillClock();
    GasState gas;
    InitGas(gas, random);
    gas.showCurve = gas.showHistogram = gas.showSpeeds = true;
    const SphereDetail detail = DetailAt(smoothness);
    NoText text;
    TimeFrames(state, SceneTab::Gas, drawing, [&] { DrawGasScene(gas, detail, false, text); });
}

constexpr struct {
    const char* name;
    SolidStructure structure;
} kStructures[] = {
    {"SimpleCubicCrystal", SolidStructure::SimpleCubicCrystal},
    {"SimpleCubicCell", SolidStructure::SimpleCubicCell},
    {"FccCrystal", SolidStructure::FccCrystal},
    {"FccCell", SolidStructure::FccCell},
    {"BccCrystal", SolidStructure::BccCrystal},
    {"BccCell", SolidStructure::BccCell},
    {"HcpCrystal", SolidStructure::HcpCrystal},
    {"HcpCell", SolidStructure::HcpCell},
};

/// Registers Frame/<scene>/<smoothness>/<naive|cached>, the two drawings side by side.
template <class Run>
void Register(const std::string& scene, Run run) {
    for (int smoothness : {8, 20, 32}) {
        for (SphereDrawing drawing : {SphereDrawing::NaiveGlu, SphereDrawing::Cached}) {
            const std::string name = "Frame/" + scene + "/" + std::to_string(smoothness) +
                                     (drawing == SphereDrawing::NaiveGlu ? "/naive" : "/cached");
            benchmark::RegisterBenchmark(
                name.c_str(), [=](benchmark::State& state) { run(state, smoothness, drawing); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
}

const bool kRegistered = [] {
    for (const auto& s : kStructures) {
        const SolidStructure structure = s.structure;
        Register(std::string("Solid") + s.name,
                 [structure](benchmark::State& state, int smoothness, SphereDrawing drawing) {
                     SolidFrames(state, structure, smoothness, drawing);
                 });
    }
    Register("Liquid", LiquidFrames);
    Register("GasAllGraphs", GasFrames);
    return true;
}();

}  // namespace
}  // namespace veliso
