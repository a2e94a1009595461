// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/solid/solid_state.h"

namespace veliso {

/// Vibration amplitude of the temperature slider's position: T * 7.326007326007326e-6
/// scene units, T in kelvin (0 .. 300).
double SolidAmplitudeAt(int kelvin);

/// Colour slider positions (0 .. 255) that selecting a structure applies.
struct ColourPreset {
    int red = 0;
    int green = 0;
    int blue = 0;
};

/// Preset of each lattice: simple cubic 179, 179, 204; face-centred 64, 204, 64;
/// body-centred 180, 180, 180; hexagonal 80, 70, 70 (crystal and cell alike).
ColourPreset ColourPresetOf(SolidStructure structure);

/// Writes the 17 sites of the exploded hexagonal cell into hcpCellSites, always with the
/// same values: the upper hexagon and its centre at y = 0.75 (sites 0 .. 6), the middle
/// triangle at y = 0 (7 .. 9), the lower hexagon and its centre at y = -0.75 (10 .. 16).
void FillHcpCellSites(SolidState& solid);

}  // namespace veliso
