// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/solid/solid_controls.h"

#include "core/solid/solid_structures.h"

namespace veliso {

namespace {

// A regular hexagon of side 1 with its centre, a triangle between the hexagons, and the
// same hexagon one level lower.
constexpr SolidPoint kHcpCellSites[kHcpCellSiteCount] = {
    {-0.5, 0.75, 0.866},  {0.5, 0.75, 0.866},   {-1.0, 0.75, 0.0},    {0.0, 0.75, 0.0},
    {1.0, 0.75, 0.0},     {-0.5, 0.75, -0.866}, {0.5, 0.75, -0.866},  {0.0, 0.0, 0.577},
    {-0.5, 0.0, -0.289},  {0.5, 0.0, -0.289},   {-0.5, -0.75, 0.866}, {0.5, -0.75, 0.866},
    {-1.0, -0.75, 0.0},   {0.0, -0.75, 0.0},    {1.0, -0.75, 0.0},    {-0.5, -0.75, -0.866},
    {0.5, -0.75, -0.866},
};

}  // namespace

double SolidAmplitudeAt(int kelvin) {
    return kelvin * kSolidAmplitudePerKelvin;
}

ColourPreset ColourPresetOf(SolidStructure structure) {
    switch (structure) {
        case SolidStructure::SimpleCubicCrystal:
        case SolidStructure::SimpleCubicCell:
            return {179, 179, 204};
        case SolidStructure::FccCrystal:
        case SolidStructure::FccCell:
            return {64, 204, 64};
        case SolidStructure::BccCrystal:
        case SolidStructure::BccCell:
            return {180, 180, 180};
        case SolidStructure::HcpCrystal:
        case SolidStructure::HcpCell:
            return {80, 70, 70};
    }
    return {};
}

void FillHcpCellSites(SolidState& solid) {
    for (int i = 0; i < kHcpCellSiteCount; ++i) {
        solid.hcpCellSites.x[i] = kHcpCellSites[i].x;
        solid.hcpCellSites.y[i] = kHcpCellSites[i].y;
        solid.hcpCellSites.z[i] = kHcpCellSites[i].z;
    }
}

}  // namespace veliso
