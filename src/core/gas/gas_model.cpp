// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/gas/gas_model.h"

#include <cmath>

namespace veliso {

int BuildSpeedClasses(GasState& gas) {
    const double m = gas.mass;
    const double t = gas.temperature;
    const int n = gas.inPlay();
    double runningSum = 0.0;
    int handedOut = 0;
    const double c = std::pow(4.74 * m / t, 1.5);
    int k = 0;
    for (double v = 0.2; v <= 25 && k < kGasClasses; v += 0.2, ++k) {
        const double f = c * std::exp(-8 * m * v * v / t) * v * v;
        gas.mbCurve[k] = f;
        runningSum = runningSum + n * f;
        while (runningSum > 0.5) {
            if (handedOut < n) {
                gas.speedTable[n - 1 - handedOut] = 0.01 * v;
            }
            ++handedOut;
            runningSum = runningSum - 1.0;
        }
    }
    return handedOut;
}

namespace {

// Magnitudes of the three components for speed s; the direction is random but not uniform.
struct Components {
    double x, y, z;
};

Components DrawMagnitudes(double s, RandomSource& random, bool withSigns) {
    Components v{};
    v.x = (random.Next31() % 1000) * (0.001 * s);
    if (withSigns && random.Next31() % 2 != 0) {
        v.x = -v.x;
    }
    v.y = (random.Next31() % 1000) * (0.001 * std::sqrt(s * s - v.x * v.x));
    if (withSigns && random.Next31() % 2 != 0) {
        v.y = -v.y;
    }
    v.z = std::sqrt(s * s - v.x * v.x - v.y * v.y);
    if (withSigns && random.Next31() % 2 != 0) {
        v.z = -v.z;
    }
    return v;
}

double WithSignOf(double magnitude, double old) {
    return old < 0 ? -magnitude : magnitude;
}

}  // namespace

void AssignSpeedsKeepSigns(GasState& gas, RandomSource& random) {
    BuildSpeedClasses(gas);
    random.ReseedFromClock();
    for (int p = 0; p < gas.inPlay(); ++p) {
        const Components v = DrawMagnitudes(gas.speedTable[p], random, false);
        gas.vx[p] = WithSignOf(v.x, gas.vx[p]);
        gas.vy[p] = WithSignOf(v.y, gas.vy[p]);
        gas.vz[p] = WithSignOf(v.z, gas.vz[p]);
    }
}

void AssignSpeedsRandomSigns(GasState& gas, RandomSource& random) {
    BuildSpeedClasses(gas);
    random.ReseedFromClock();
    for (int p = 0; p < gas.inPlay(); ++p) {
        const Components v = DrawMagnitudes(gas.speedTable[p], random, true);
        gas.vx[p] = v.x;
        gas.vy[p] = v.y;
        gas.vz[p] = v.z;
    }
}

void InitGas(GasState& gas, RandomSource& random) {
    const double step = 0.004 * gas.halfEdge;
    const double low = gas.radius - gas.halfEdge;
    for (int p = 0; p < kGasSlots; ++p) {
        gas.x[p] = (random.Next31() % 501) * step + low;
        gas.vx[p] = 0.0;
        gas.y[p] = (random.Next31() % 501) * step + low;
        gas.vy[p] = 0.0;
        gas.z[p] = (random.Next31() % 501) * step + low;
        gas.vz[p] = 0.0;
    }
    AssignSpeedsRandomSigns(gas, random);
}

void RestartGas(GasState& gas, RandomSource& random) {
    for (int p = 0; p < kGasSlots; ++p) {
        ParkParticle(gas, p);
    }
    AssignSpeedsKeepSigns(gas, random);
}

void ParkParticle(GasState& gas, int p) {
    if (p < 0 || p >= kGasSlots) {
        return;
    }
    const double corner = gas.radius - gas.halfEdge;
    gas.x[p] = corner;
    gas.y[p] = corner;
    gas.z[p] = corner;
    gas.vx[p] = 0.0;
    gas.vy[p] = 0.0;
    gas.vz[p] = 0.0;
}

}  // namespace veliso
