#include <benchmark/benchmark.h>

#include "core/common/random_source.h"
#include "core/gas/gas_model.h"
#include "render/gas_scene.h"
#include "render/view_setup.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

/// Draws no text: the real captions come from the view's outline-font display lists.
class NoText : public TextWriter {
  public:
    void DrawText3D(std::string_view) override {}
};

/// One gas frame at the view's start-up size (473 x 471), finished before the clock stops:
/// 100 lit spheres of the given slices (stacks half of them), the box, and all three graphs
/// (curve, 125 histogram bars, 100 speed bars). The animation tick is 25 ms.
void BM_GasSceneAllGraphs(benchmark::State& state) {
    test::HeadlessGl gl(473, 471);
    if (!gl.ok()) {
        state.SkipWithError("no headless OpenGL context");
        return;
    }
    InitView(gl.width(), gl.height());
    ApplyLightingSet(SceneTab::Gas);
    RandomSource random([] { return std::uint64_t{1765100000}; });
    GasState gas;
    InitGas(gas, random);
    gas.showCurve = true;
    gas.showHistogram = true;
    gas.showSpeeds = true;
    SphereDetail detail;
    detail.SetSmoothness(static_cast<std::int32_t>(state.range(0)));
    NoText text;
    for (auto _ : state) {
        DrawGasScene(gas, detail, state.range(1) != 0, text);
        gl.Finish();
    }
    state.counters["spheres"] = gas.count;
}
BENCHMARK(BM_GasSceneAllGraphs)
    ->ArgNames({"smoothness", "transparent"})
    ->Args({20, 0})
    ->Args({32, 0})
    ->Args({20, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veliso
