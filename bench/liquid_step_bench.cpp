// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// Cost of the liquid's per-paint model work: one StepLiquid over 100 particles
// (100 x 99 distance tests) followed by the wall pass of every particle.
#include <benchmark/benchmark.h>

#include "core/common/random_source.h"
#include "core/liquid/liquid_motion.h"

namespace veliso {
namespace {

void Advance(LiquidState& liquid) {
    StepLiquid(liquid);
    for (int p = 0; p < liquid.count; ++p) {
        ConfineLiquid(liquid, p);
    }
}

/// Starts from the stacked layers, or from a liquid already settled for a few seconds of
/// animation (range(0) steps), where many more pairs are in contact.
void BM_StepLiquid(benchmark::State& state) {
    RandomSource random([] { return std::uint64_t{1765100000}; });
    LiquidState liquid;
    liquid.halfEdge = LiquidHalfEdge(static_cast<int>(state.range(1)));
    InitLiquid(liquid, random);
    for (int64_t s = 0; s < state.range(0); ++s) {
        Advance(liquid);
    }
    for (auto _ : state) {
        Advance(liquid);
        benchmark::DoNotOptimize(liquid.y[0]);
    }
}
BENCHMARK(BM_StepLiquid)
    ->ArgNames({"settled", "volume"})
    ->Args({0, 100})
    ->Args({400, 100})
    ->Args({400, 50})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace veliso
