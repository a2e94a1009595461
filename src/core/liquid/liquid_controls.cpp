// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/liquid/liquid_controls.h"

#include <algorithm>
#include <cmath>

namespace veliso {

namespace {

int NearestWithin(double value, int minimum, int maximum) {
    if (std::isnan(value)) {
        return minimum;
    }
    return static_cast<int>(
        std::lround(std::clamp(value, static_cast<double>(minimum), static_cast<double>(maximum))));
}

}  // namespace

LiquidSliderPositions LiquidSlidersFor(const LiquidState& liquid) {
    const double h = liquid.halfEdge;
    return {NearestWithin(h * h * h * 100.0, kLiquidVolumeMin, kLiquidVolumeMax),
            NearestWithin(liquid.temperature, kLiquidTemperatureMin, kLiquidTemperatureMax),
            NearestWithin(liquid.red * kLiquidColourMax, 0, kLiquidColourMax),
            NearestWithin(liquid.green * kLiquidColourMax, 0, kLiquidColourMax),
            NearestWithin(liquid.blue * kLiquidColourMax, 0, kLiquidColourMax)};
}

}  // namespace veliso
