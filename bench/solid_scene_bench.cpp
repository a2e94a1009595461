#include <benchmark/benchmark.h>

#include "core/solid/solid_controls.h"
#include "render/solid_scene.h"
#include "render/view_setup.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

/// One solid frame at the view's start-up size (473 x 471), finished before the clock
/// stops: the body-centred crystal, 225 lit spheres of the given slices (stacks half of
/// them), the heaviest of the eight structures, warm so that every sphere trembles.
void BM_SolidSceneBccCrystal(benchmark::State& state) {
    test::HeadlessGl gl(473, 471);
    if (!gl.ok()) {
        state.SkipWithError("no headless OpenGL context");
        return;
    }
    InitView(gl.width(), gl.height());
    SolidState solid;
    solid.structure = SolidStructure::BccCrystal;
    solid.amplitude = SolidAmplitudeAt(300);
    SphereDetail detail;
    detail.SetSmoothness(static_cast<std::int32_t>(state.range(0)));
    RandomSource random;
    for (auto _ : state) {
        DrawSolidScene(solid, detail, random);
        gl.Finish();
    }
    state.counters["spheres"] = 225;
}
BENCHMARK(BM_SolidSceneBccCrystal)->Arg(20)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veliso
