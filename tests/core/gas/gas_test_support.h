// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cmath>
#include <cstdint>

#include "core/common/random_source.h"
#include "core/gas/gas_state.h"

namespace veliso::testing {

/// A fixed wall clock, so that every reseeding of the gas draws the same numbers.
inline constexpr std::uint64_t kFixedSeconds = 1765100000;

inline double Speed(const GasState& gas, int p) {
    return std::sqrt(gas.vx[p] * gas.vx[p] + gas.vy[p] * gas.vy[p] + gas.vz[p] * gas.vz[p]);
}

}  // namespace veliso::testing
