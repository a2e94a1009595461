// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/gas/gas_controls.h"

#include <algorithm>
#include <cmath>

#include "core/gas/gas_model.h"
#include "core/gas/gas_step.h"

namespace veliso {

void SetGasCount(GasState& gas, int position, RandomSource& random) {
    gas.count = std::clamp(position, kGasCountMin, kGasCountMax);
    UpdatePressure(gas);
    AssignSpeedsKeepSigns(gas, random);
    for (int p = gas.count; p < kGasSlots; ++p) {
        ParkParticle(gas, p);
    }
}

void SetGasTemperature(GasState& gas, int position, RandomSource& random) {
    gas.temperature = std::clamp(position, kGasTemperatureMin, kGasTemperatureMax);
    UpdatePressure(gas);
    AssignSpeedsKeepSigns(gas, random);
}

void SetGasVolume(GasState& gas, int position) {
    gas.volumePercent = std::clamp(position, kGasVolumeMin, kGasVolumeMax);
    gas.halfEdge = std::pow(gas.volumePercent * 0.01, 1.0 / 3.0);
    UpdatePressure(gas);
}

void SetGasMass(GasState& gas, int position, RandomSource& random) {
    gas.mass = std::clamp(position, kGasMassMin, kGasMassMax);
    gas.radius = std::pow(static_cast<double>(gas.mass), 1.0 / 3.0) * 0.02;
    gas.contactDistanceSq = 4 * gas.radius * gas.radius;
    AssignSpeedsKeepSigns(gas, random);
}

bool PressGasStart(GasState& gas, RandomSource& random) {
    if (gas.paused) {
        return false;
    }
    RestartGas(gas, random);
    return true;
}

bool ToggleGasPause(GasState& gas) {
    gas.paused = !gas.paused;
    return gas.paused;
}

}  // namespace veliso
