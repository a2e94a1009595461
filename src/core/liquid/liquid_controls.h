// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/liquid/liquid_state.h"

namespace veliso {

/// Ranges of the liquid tab's sliders: volume in percent of the full cube, temperature in
/// kelvin, colour components in 1/255 steps.
inline constexpr int kLiquidVolumeMin = 50;
inline constexpr int kLiquidVolumeMax = 100;
inline constexpr int kLiquidTemperatureMin = 273;
inline constexpr int kLiquidTemperatureMax = 373;
inline constexpr int kLiquidColourMax = 255;

/// Slider positions that show a liquid record: the volume whose cube root gives halfEdge,
/// the temperature, and the colour components, each rounded to the nearest position and
/// kept within its slider's range. The start-up record gives 100, 273 and 0, 153, 255.
struct LiquidSliderPositions {
    int volume;
    int temperature;
    int red;
    int green;
    int blue;
};
LiquidSliderPositions LiquidSlidersFor(const LiquidState& liquid);

}  // namespace veliso
