// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <vector>

#include "core/measure/measurement.h"

namespace veliso {

/// The points a dense plot needs: the plot from `x` to `y` cut into `columns` × `rows` cells
/// (about a marker each), and the first point of each cell that has any, in their order.
/// Points outside the axes are kept in the border cells. A plot of 100 000 rows draws a few
/// thousand markers that look the same as all of them.
std::vector<PlotPoint> OnePointPerCell(const std::vector<PlotPoint>& points, const AxisScale& x,
                                       const AxisScale& y, int columns, int rows);

}  // namespace veliso
