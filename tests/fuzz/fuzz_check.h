// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdlib>

namespace veliso::fuzz {

/// A broken invariant: abort, so that libFuzzer keeps the input as a finding.
inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace veliso::fuzz
