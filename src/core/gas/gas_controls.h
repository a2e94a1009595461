// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/common/random_source.h"
#include "core/gas/gas_state.h"

namespace veliso {

/// Ranges of the gas tab's sliders. The setters below keep their argument within them.
inline constexpr int kGasCountMin = 1;
inline constexpr int kGasCountMax = kGasSlots;
inline constexpr int kGasTemperatureMin = 10;  // kelvin
inline constexpr int kGasTemperatureMax = 500;
inline constexpr int kGasVolumeMin = 10;  // percent of the full box
inline constexpr int kGasVolumeMax = 100;
inline constexpr int kGasMassMin = 1;
inline constexpr int kGasMassMax = 10;

/// Particle count slider: count := position; UpdatePressure; AssignSpeedsKeepSigns; then
/// every slot from count to 99 is parked, so slots that come back into play later start
/// from the corner with all velocity components >= 0.
void SetGasCount(GasState& gas, int position, RandomSource& random);

/// Temperature slider (kelvin): temperature := position; UpdatePressure;
/// AssignSpeedsKeepSigns (positions and the octant of every velocity are kept).
void SetGasTemperature(GasState& gas, int position, RandomSource& random);

/// Volume slider (percent): volumePercent := position; halfEdge := (volumePercent * 0.01)^(1/3);
/// UpdatePressure. Speeds and positions are untouched: the next step puts the particles now
/// outside the box on its walls.
void SetGasVolume(GasState& gas, int position);

/// Relative mass slider: mass := position; radius := mass^(1/3) * 0.02;
/// contactDistanceSq := 4 * radius * radius; AssignSpeedsKeepSigns. The pressure is left alone.
void SetGasMass(GasState& gas, int position, RandomSource& random);

/// "DÉPART": RestartGas unless paused. Returns whether the gas was restarted.
bool PressGasStart(GasState& gas, RandomSource& random);

/// "PAUSE" / "CONTINUE": toggles `paused` and returns its new value.
bool ToggleGasPause(GasState& gas);

}  // namespace veliso
