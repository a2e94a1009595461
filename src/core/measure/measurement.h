// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gas/gas_state.h"

namespace veliso {

/// What the bench compares one-second readouts by: the settings of the gas that change its
/// wall-hit rate, and whether it moves at all.
struct GasConditions {
    int count = 0;
    double temperature = 0;    ///< K
    double volumePercent = 0;  ///< % of the full box
    int mass = 0;
    bool paused = false;
    bool operator==(const GasConditions&) const = default;
};

GasConditions ConditionsOf(const GasState& gas);

/// Largest row number: a table never numbers beyond it, and a file never holds more.
inline constexpr int kMaxMeasurementNumber = 999'999'999;

/// One row of the measurement table: the state of the gas and the wall hits measured in it.
struct Measurement {
    int number = 0;            ///< "N°": 1, 2, … in the order the rows were taken
    std::string time;          ///< "Heure": HH:MM:SS when the row was taken
    int count = 0;             ///< "Quantité N"
    double temperature = 0;    ///< "Température T (K)"
    double volumePercent = 0;  ///< "Volume V (%)", of the full box (edge 2)
    int mass = 0;              ///< "Masse relative"
    double pressure = 0;       ///< "Pression P (Pa)", ideal-gas value of count, T and V
    /// "Chocs sur parois /s": mean of `readouts` one-second counts taken in this state, rounded
    /// to 0.01. Absent when no complete second had been counted in this state.
    std::optional<double> wallHits;
    /// Sample standard deviation (divisor n - 1) of those counts, rounded to 0.01; present
    /// only when two or more were averaged.
    std::optional<double> wallHitsSpread;
    int readouts = 0;  ///< how many one-second counts the mean covers (0 .. 10)
    /// "Série": the series the row belongs to, 1, 2, … Rows of one series vary one quantity
    /// and keep the others; each series gets its own points and its own fit on the plot.
    int series = 1;

    bool operator==(const Measurement&) const = default;
};

/// Positions of the columns in the table, in the CSV files and in the copied text.
enum MeasurementColumn : int {
    kNumberColumn,
    kTimeColumn,
    kCountColumn,
    kTemperatureColumn,
    kVolumeColumn,
    kMassColumn,
    kPressureColumn,
    kWallHitsColumn,
    kSpreadColumn,
    kReadoutsColumn,
    kSeriesColumn
};

/// Column titles of the table, of the CSV header and of the copied text, in this order.
inline constexpr int kMeasurementColumns = kSeriesColumn + 1;
inline constexpr std::array<std::string_view, kMeasurementColumns> kMeasurementColumnTitles = {
    "N°",
    "Heure",
    "Quantité N",
    "Température T (K)",
    "Volume V (%)",
    "Masse relative",
    "Pression P (Pa)",
    "Chocs sur parois /s",
    "Écart type chocs /s",
    "Moyenne sur (s)",
    "Série"};

/// The quantities a plot can put on its axes. InverseVolume is 1 / V in 1/%, SqrtTemperature
/// is √T in √K. Wall hits are per simulated second, written "/s" as in the table.
enum class Quantity {
    Count,
    Temperature,
    Volume,
    InverseVolume,
    SqrtTemperature,
    Mass,
    Pressure,
    WallHits
};

/// Axis title with its unit, in French ("Température T (K)", "1/V (1/%)" …).
std::string_view QuantityTitle(Quantity quantity);

/// Value of `quantity` in a row; absent for WallHits when the row has none.
std::optional<double> ValueOf(const Measurement& row, Quantity quantity);

struct PlotPoint {
    double x = 0;
    double y = 0;
};

/// The points (x, y) of the rows that have both quantities, in row order; only those of
/// series `series` when it is above 0.
std::vector<PlotPoint> PlotPoints(const std::vector<Measurement>& rows, Quantity x, Quantity y,
                                  int series = 0);

/// The series numbers the rows use, in increasing order.
std::vector<int> SeriesNumbers(const std::vector<Measurement>& rows);

/// The controlled quantity (Count, Temperature, Volume or Mass) that `row` changes although it
/// was the same in every row of series `series`, where another quantity already varies: the
/// sign that the student has gone over to another law, and that a new series is due. None
/// while the series has fewer than two rows or varies nothing yet.
std::optional<Quantity> NewlyVaried(const std::vector<Measurement>& rows, int series,
                                    const Measurement& row);

/// An axis from `low` to `high` with a tick every `step`: round figures a reader can
/// interpolate between.
struct AxisScale {
    double low = 0;
    double high = 1;
    double step = 0.2;
    /// (high − low) / step, rounded: the number of intervals between ticks.
    int intervals() const;
};

/// The scale that holds every value from `low` to `high` with 2 % room at the top: a step of
/// 1, 2, 2.5 or 5 times a power of ten, the smallest that needs at most six intervals over
/// the values and their room, and both ends on a step: 4 … 8 intervals once the ends are on
/// steps (never fewer than 2 where an end is held at ±DBL_MAX), for any finite `low` and
/// `high`:
/// - a reversed span is taken the right way round; an empty one is widened by 10 % of its
///   value on each side (by 1 around 0);
/// - a span narrower than 1e-12 of the values' size, or than 1e-300, is widened evenly
///   around its middle to that, so that ticks stay distinct doubles and the step normal;
/// - an end that would lie beyond ±DBL_MAX is DBL_MAX: the ends are always finite, but that
///   end is then not on a step.
/// An infinite or NaN input gives the default scale, 0 … 1 by 0.2.
AxisScale NiceScale(double low, double high);

}  // namespace veliso
