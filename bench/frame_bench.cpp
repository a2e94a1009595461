// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// Milliseconds per frame of every scene as the view paints it, the frame finished (glFinish,
// the headless stand-in for the buffer swap) before the clock stops: the eight solid
// structures at 300 K, the liquid (opaque cube, marked particles, one motion step a frame)
// and the gas with its three graphs and their captions (in the view's outline font), each
// at smoothness 8, 20 and 32, at every view size asked for. Every case runs twice: with
// GLU's sphere drawn vertex by vertex on a fresh quadric ("naive") and with the cached
// sphere meshes ("cached"); the counters give the spheres per frame left out as covered by
// others ("hidden") and the mesh triangles drawn per frame ("triangles"). The animation
// tick is 25 ms. The CPU time is the whole process's, the rasterizer's threads included: on
// a busy machine it says more than the wall-clock time.
//
// View sizes: VELISO_FRAME_SIZES, a comma-separated list of WIDTHxHEIGHT, by default
// "473x471,1747x1047": the view at start-up and in a maximised 1920 x 1080 window. Names
// read Frame/<scene>/<smoothness>/<width>x<height>/<naive|cached>.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/common/random_source.h"
#include "core/gas/gas_model.h"
#include "core/liquid/liquid_motion.h"
#include "core/solid/solid_controls.h"
#include "render/gas_scene.h"
#include "render/liquid_scene.h"
#include "render/solid_scene.h"
#include "render/sphere_batch.h"
#include "render/view_setup.h"
#include "scene_font.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

struct ViewSize {
    int width;
    int height;
};

/// The sizes of VELISO_FRAME_SIZES, or the two default ones.
std::vector<ViewSize> ViewSizes() {
    std::vector<ViewSize> sizes;
    const char* list = std::getenv("VELISO_FRAME_SIZES");
    std::string text = list != nullptr && *list != '\0' ? list : "473x471,1747x1047";
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        ViewSize size{0, 0};
        if (std::sscanf(text.substr(from, comma - from).c_str(), "%dx%d", &size.width,
                        &size.height) == 2 &&
            size.width > 0 && size.height > 0) {
            sizes.push_back(size);
        }
        from = comma + 1;
    }
    return sizes;
}

/// One context per view size, made current again after the other benchmarks' contexts;
/// left alive until the process ends.
test::HeadlessGl& Context(ViewSize size) {
    static std::map<std::pair<int, int>, std::unique_ptr<test::HeadlessGl>> contexts;
    std::unique_ptr<test::HeadlessGl>& gl = contexts[{size.width, size.height}];
    if (gl == nullptr) {
        gl = std::make_unique<test::HeadlessGl>(size.width, size.height);
    }
    gl->MakeCurrent();
    return *gl;
}

/// Times `frame` once per iteration; one untimed frame first builds the meshes.
template <class Frame>
void TimeFrames(benchmark::State& state, ViewSize size, SceneTab tab, SphereDrawing drawing,
                Frame&& frame) {
    test::HeadlessGl& gl = Context(size);
    if (!gl.ok()) {
        state.SkipWithError("no headless OpenGL context");
        return;
    }
    InitView(size.width, size.height);
    ApplyLightingSet(tab);
    SetSphereDrawing(drawing);
    frame();
    gl.Finish();
    TakeSphereDrawingCounts();
    for (auto _ : state) {
        frame();
        gl.Finish();
    }
    const SphereDrawingCounts counts = TakeSphereDrawingCounts();
    state.counters["hidden"] = benchmark::Counter(static_cast<double>(counts.hiddenSpheres),
                                                  benchmark::Counter::kAvgIterations);
    state.counters["triangles"] = benchmark::Counter(static_cast<double>(counts.triangles),
                                                     benchmark::Counter::kAvgIterations);
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

void SolidFrames(benchmark::State& state, ViewSize size, SolidStructure structure, int smoothness,
                 SphereDrawing drawing) {
    SolidState solid;
    FillHcpCellSites(solid);
    solid.structure = structure;
    solid.amplitude = SolidAmplitudeAt(300);
    const SphereDetail detail = DetailAt(smoothness);
    RandomSource random = StillClock();
    TimeFrames(state, size, SceneTab::Solid, drawing,
               [&] { DrawSolidScene(solid, detail, random); });
}

void LiquidFrames(benchmark::State& state, ViewSize size, int smoothness, SphereDrawing drawing) {
    RandomSource random = StillClock();
    LiquidState liquid;
    InitLiquid(liquid, random);
    const SphereDetail detail = DetailAt(smoothness);
    TimeFrames(state, size, SceneTab::Liquid, drawing,
               [&] { DrawLiquidScene(liquid, detail, false, true); });
}

void GasFrames(benchmark::State& state, ViewSize size, int smoothness, SphereDrawing drawing) {
    RandomSource random = StillClock();
    GasState gas;
    InitGas(gas, random);
    gas.showCurve = gas.showHistogram = gas.showSpeeds = true;
    const SphereDetail detail = DetailAt(smoothness);
    // The captions in the view's outline font, built in this size's context.
    Context(size);
    const std::unique_ptr<OpenGLOrvFont3D> lists = bench::BuildSceneFont();
    if (lists == nullptr) {
        state.SkipWithError("no display lists for the captions");
        return;
    }
    bench::OutlineText text(lists.get());
    TimeFrames(state, size, SceneTab::Gas, drawing,
               [&] { DrawGasScene(gas, detail, false, text); });
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

/// Registers Frame/<scene>/<smoothness>/<size>/<naive|cached>, the two drawings side by side.
template <class Run>
void Register(const std::string& scene, Run run) {
    for (int smoothness : {8, 20, 32}) {
        for (ViewSize size : ViewSizes()) {
            for (SphereDrawing drawing : {SphereDrawing::NaiveGlu, SphereDrawing::Cached}) {
                const std::string name =
                    "Frame/" + scene + "/" + std::to_string(smoothness) + "/" +
                    std::to_string(size.width) + "x" + std::to_string(size.height) +
                    (drawing == SphereDrawing::NaiveGlu ? "/naive" : "/cached");
                benchmark::RegisterBenchmark(
                    name.c_str(),
                    [=](benchmark::State& state) { run(state, size, smoothness, drawing); })
                    ->Unit(benchmark::kMillisecond)
                    ->MeasureProcessCPUTime()
                    ->UseRealTime();
            }
        }
    }
}

const bool kRegistered = [] {
    for (const auto& s : kStructures) {
        const SolidStructure structure = s.structure;
        Register(std::string("Solid") + s.name, [structure](benchmark::State& state, ViewSize size,
                                                            int smoothness, SphereDrawing drawing) {
            SolidFrames(state, size, structure, smoothness, drawing);
        });
    }
    Register("Liquid", LiquidFrames);
    Register("GasAllGraphs", GasFrames);
    return true;
}();

}  // namespace
}  // namespace veliso
