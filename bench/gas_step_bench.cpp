// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include <benchmark/benchmark.h>

#include "core/common/random_source.h"
#include "core/gas/gas_model.h"
#include "core/gas/gas_step.h"

namespace veliso {
namespace {

// One animation tick of the gas at the defaults: 100 particles, 4950 pair tests.
// The tick comes every 25 ms, so the step must stay far below that.
void BM_StepGas100(benchmark::State& state) {
    RandomSource random([] { return std::uint64_t{1765100000}; });
    GasState gas;
    InitGas(gas, random);
    for (auto _ : state) {
        StepGas(gas, true);
        benchmark::DoNotOptimize(gas.x[0]);
    }
    state.counters["wallHits"] = gas.wallHits;
}
BENCHMARK(BM_StepGas100);

// The same gas released from the corner: every pair overlaps at first, the worst case
// for the push (one square root per touching pair).
void BM_StepGas100FromCorner(benchmark::State& state) {
    RandomSource random([] { return std::uint64_t{1765100000}; });
    for (auto _ : state) {
        state.PauseTiming();
        GasState gas;
        RestartGas(gas, random);
        state.ResumeTiming();
        StepGas(gas, true);
        benchmark::DoNotOptimize(gas.x[0]);
    }
}
BENCHMARK(BM_StepGas100FromCorner);

}  // namespace
}  // namespace veliso
