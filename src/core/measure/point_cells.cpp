// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/point_cells.h"

#include <algorithm>
#include <cmath>

namespace veliso {

namespace {

// The cell, 0 .. cells - 1, of `value` on an axis; a value off the axis (or not a number)
// goes to the nearest end.
int CellOf(double value, const AxisScale& axis, int cells) {
    const double at = (value - axis.low) / (axis.high - axis.low) * cells;
    if (!(at > 0)) {
        return 0;
    }
    return at >= cells ? cells - 1 : static_cast<int>(at);
}

}  // namespace

std::vector<PlotPoint> OnePointPerCell(const std::vector<PlotPoint>& points, const AxisScale& x,
                                       const AxisScale& y, int columns, int rows) {
    columns = std::max(columns, 1);
    rows = std::max(rows, 1);
    std::vector<bool> taken(static_cast<std::size_t>(columns) * rows, false);
    std::vector<PlotPoint> kept;
    for (const PlotPoint& p : points) {
        const std::size_t cell =
            static_cast<std::size_t>(CellOf(p.y, y, rows)) * columns + CellOf(p.x, x, columns);
        if (!taken[cell]) {
            taken[cell] = true;
            kept.push_back(p);
        }
    }
    return kept;
}

}  // namespace veliso
