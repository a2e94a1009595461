// Cost of one whole liquid frame as the view paints it: clear, cube, one motion step, the
// wall pass and 100 lit GLU spheres, finished (glFinish) in a headless 473 x 471 view.
#include <benchmark/benchmark.h>

#include "core/common/random_source.h"
#include "core/liquid/liquid_motion.h"
#include "render/liquid_scene.h"
#include "render/view_setup.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

constexpr int kWidth = 473;
constexpr int kHeight = 471;

/// range(0): smoothness (slices; stacks = slices / 2); range(1): transparent cube.
void BM_LiquidFrame(benchmark::State& state) {
    test::HeadlessGl gl(kWidth, kHeight);
    if (!gl.ok()) {
        state.SkipWithError("no headless OpenGL context");
        return;
    }
    InitView(kWidth, kHeight);
    ApplyLightingSet(SceneTab::Liquid);
    RandomSource random([] { return std::uint64_t{1765100000}; });
    LiquidState liquid;
    InitLiquid(liquid, random);
    SphereDetail detail;
    detail.SetSmoothness(static_cast<int>(state.range(0)));
    const bool transparent = state.range(1) != 0;
    for (auto _ : state) {
        DrawLiquidScene(liquid, detail, transparent, true);
        gl.Finish();
    }
}
BENCHMARK(BM_LiquidFrame)
    ->ArgNames({"smoothness", "transparent"})
    ->Args({20, 0})
    ->Args({32, 0})
    ->Args({20, 1})
    ->Args({32, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace veliso
