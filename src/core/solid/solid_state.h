// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "core/common/view_point.h"

namespace veliso {

/// The eight models of the solid tab, in the order the radio buttons are tested.
enum class SolidStructure {
    SimpleCubicCrystal,
    SimpleCubicCell,
    FccCrystal,
    FccCell,
    BccCrystal,
    BccCell,
    HcpCrystal,
    HcpCell,
};

inline constexpr int kSolidSiteCapacity = 125;
/// Sites of the exploded hexagonal cell actually used.
inline constexpr int kHcpCellSiteCount = 17;

/// The solid tab's model: nothing moves; every frame is computed from this record
/// and fresh vibration draws.
struct SolidState {
    /// Sites of the exploded hexagonal cell, scene units; only the first 17 are used. All
    /// zero until the cell is first selected.
    struct Sites {
        double x[kSolidSiteCapacity] = {};
        double y[kSolidSiteCapacity] = {};
        double z[kSolidSiteCapacity] = {};

        bool operator==(const Sites&) const = default;
    } hcpCellSites;
    ViewPoint view{20.0, 1.5, 4.25};
    /// Vibration amplitude a, model units: T * 7.326007326007326e-6 with T in kelvin.
    double amplitude = 0.0;
    /// Colour of the main spheres, RGB 0 .. 1.
    double red = 0.7;
    double green = 0.7;
    double blue = 0.8;
    /// The structure shown; always the one whose radio button is checked.
    SolidStructure structure = SolidStructure::SimpleCubicCrystal;

    bool operator==(const SolidState&) const = default;
};

}  // namespace veliso
