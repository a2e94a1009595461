// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/gas/gas_step.h"

#include <cmath>
#include <utility>

namespace veliso {

namespace {

// Pushes j away from i along the line of centres so that they end 2 * radius apart.
// An axis on which j lies on or beyond the bound keeps its coordinate.
void PushApart(GasState& gas, int i, int j, double d2, double limit) {
    const double d = std::sqrt(d2);
    const double f = (2 * gas.radius - d) / d;
    if (gas.x[j] > -limit && gas.x[j] < limit) {
        gas.x[j] = gas.x[j] + f * (gas.x[j] - gas.x[i]);
    }
    if (gas.y[j] > -limit && gas.y[j] < limit) {
        gas.y[j] = gas.y[j] + f * (gas.y[j] - gas.y[i]);
    }
    if (gas.z[j] > -limit && gas.z[j] < limit) {
        gas.z[j] = gas.z[j] + f * (gas.z[j] - gas.z[i]);
    }
}

// Puts a coordinate beyond either bound back on it and reverses the normal velocity
// component; every reflection counts one wall hit.
void Reflect(double& position, double& velocity, double limit, std::int32_t& wallHits) {
    if (position <= -limit) {
        velocity = -velocity;
        ++wallHits;
        position = -limit;
    }
    if (position >= limit) {
        velocity = -velocity;
        ++wallHits;
        position = limit;
    }
}

}  // namespace

bool StepGas(GasState& gas, bool gasTabActive) {
    if (gas.stepping || !gasTabActive) {
        return false;
    }
    gas.stepping = true;
    const double limit = gas.halfEdge - gas.radius;
    const int n = gas.inPlay();

    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const double dx = gas.x[i] - gas.x[j];
            const double dy = gas.y[i] - gas.y[j];
            const double dz = gas.z[i] - gas.z[j];
            const double d2 = dx * dx + dy * dy + dz * dz;
            if (d2 > gas.contactDistanceSq) {
                continue;
            }
            if (d2 != 0) {
                PushApart(gas, i, j, d2, limit);
            }
            if (!gas.paused) {
                std::swap(gas.vx[i], gas.vx[j]);
                std::swap(gas.vy[i], gas.vy[j]);
                std::swap(gas.vz[i], gas.vz[j]);
            }
        }
    }

    if (!gas.paused) {
        for (int p = 0; p < n; ++p) {
            gas.x[p] += gas.vx[p];
            gas.y[p] += gas.vy[p];
            gas.z[p] += gas.vz[p];
            Reflect(gas.x[p], gas.vx[p], limit, gas.wallHits);
            Reflect(gas.y[p], gas.vy[p], limit, gas.wallHits);
            Reflect(gas.z[p], gas.vz[p], limit, gas.wallHits);
        }
    }

    gas.stepping = false;
    return true;
}

double IdealGasPressure(int count, double temperature, double volumePercent) {
    return std::floor(count * 340.017 * temperature / volumePercent);
}

double UpdatePressure(GasState& gas) {
    gas.pressure = IdealGasPressure(gas.count, gas.temperature, gas.volumePercent);
    return gas.pressure;
}

int TakeWallHits(GasState& gas) {
    const int hits = gas.wallHits;
    gas.wallHits = 0;
    return hits;
}

}  // namespace veliso
