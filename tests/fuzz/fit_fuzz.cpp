// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// Any doubles as plot points: every law fits with finite figures and an R² within 0 … 1, or
// says why not; the scale of any two of them is finite, holds them and has 2 … 8 intervals.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/measure/fit.h"
#include "core/measure/measurement.h"

#include "fuzz_check.h"

using namespace veliso;

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<double> values(size / sizeof(double));
    if (!values.empty()) {
        std::memcpy(values.data(), data, values.size() * sizeof(double));
    }
    std::vector<PlotPoint> points;
    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
        points.push_back({values[i], values[i + 1]});
    }
    for (const FitKind kind : {FitKind::Proportional, FitKind::Affine, FitKind::Power}) {
        const FitResult fit = FitLaw(kind, points);
        if (fit.ok) {
            Check(std::isfinite(fit.a) && std::isfinite(fit.b));
            Check(!fit.r2 || (*fit.r2 >= 0 && *fit.r2 <= 1));
        } else {
            Check(fit.failure.rfind("ajustement impossible : ", 0) == 0);
        }
    }
    if (values.size() >= 2 && std::isfinite(values[0]) && std::isfinite(values[1])) {
        const AxisScale scale = NiceScale(values[0], values[1]);
        Check(std::isfinite(scale.low) && std::isfinite(scale.high) && scale.step > 0);
        Check(scale.low <= std::fmin(values[0], values[1]));
        Check(scale.high >= std::fmax(values[0], values[1]));
        Check(scale.intervals() >= 2 && scale.intervals() <= 8);
    }
    return 0;
}
