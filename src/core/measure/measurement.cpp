// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/measurement.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <utility>

namespace veliso {

GasConditions ConditionsOf(const GasState& gas) {
    return GasConditions{gas.count, gas.temperature, gas.volumePercent, gas.mass, gas.paused};
}

std::string_view QuantityTitle(Quantity quantity) {
    switch (quantity) {
        case Quantity::Count:
            return "Quantité N";
        case Quantity::Temperature:
            return "Température T (K)";
        case Quantity::Volume:
            return "Volume V (%)";
        case Quantity::InverseVolume:
            return "1/V (1/%)";
        case Quantity::SqrtTemperature:
            return "√T (√K)";
        case Quantity::Mass:
            return "Masse relative";
        case Quantity::Pressure:
            return "Pression P (Pa)";
        case Quantity::WallHits:
            return "Chocs sur parois /s";
    }
    return {};
}

std::optional<double> ValueOf(const Measurement& row, Quantity quantity) {
    switch (quantity) {
        case Quantity::Count:
            return row.count;
        case Quantity::Temperature:
            return row.temperature;
        case Quantity::Volume:
            return row.volumePercent;
        case Quantity::InverseVolume:
            return 1.0 / row.volumePercent;
        case Quantity::SqrtTemperature:
            return std::sqrt(row.temperature);
        case Quantity::Mass:
            return row.mass;
        case Quantity::Pressure:
            return row.pressure;
        case Quantity::WallHits:
            return row.wallHits;
    }
    return std::nullopt;
}

std::vector<PlotPoint> PlotPoints(const std::vector<Measurement>& rows, Quantity x, Quantity y,
                                  int series) {
    std::vector<PlotPoint> points;
    points.reserve(rows.size());
    for (const Measurement& row : rows) {
        if (series > 0 && row.series != series) {
            continue;
        }
        const std::optional<double> px = ValueOf(row, x);
        const std::optional<double> py = ValueOf(row, y);
        if (px && py) {
            points.push_back({*px, *py});
        }
    }
    return points;
}

std::vector<int> SeriesNumbers(const std::vector<Measurement>& rows) {
    std::vector<int> numbers;
    for (const Measurement& row : rows) {
        if (std::find(numbers.begin(), numbers.end(), row.series) == numbers.end()) {
            numbers.push_back(row.series);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::optional<Quantity> NewlyVaried(const std::vector<Measurement>& rows, int series,
                                    const Measurement& row) {
    constexpr Quantity kControlled[] = {Quantity::Count, Quantity::Temperature, Quantity::Volume,
                                        Quantity::Mass};
    const Measurement* first = nullptr;
    bool varies[std::size(kControlled)] = {};
    bool anyVaries = false;
    for (const Measurement& kept : rows) {
        if (kept.series != series) {
            continue;
        }
        if (first == nullptr) {
            first = &kept;
            continue;
        }
        for (std::size_t q = 0; q < std::size(kControlled); ++q) {
            if (ValueOf(kept, kControlled[q]) != ValueOf(*first, kControlled[q])) {
                varies[q] = true;
                anyVaries = true;
            }
        }
    }
    if (!anyVaries) {
        return std::nullopt;
    }
    for (std::size_t q = 0; q < std::size(kControlled); ++q) {
        if (!varies[q] && ValueOf(row, kControlled[q]) != ValueOf(*first, kControlled[q])) {
            return kControlled[q];
        }
    }
    return std::nullopt;
}

int AxisScale::intervals() const {
    // Each end divided first: high − low overflows for ends near ±DBL_MAX.
    return static_cast<int>(std::lround(high / step - low / step));
}

namespace {

// The smallest span an axis shows, relative to the size of its values and at all: below
// it, ticks could not be told apart in a double (their multiples of the step would pass
// 2^53) or the step would be a denormal.
constexpr double kLeastRelativeSpan = 1e-12;
constexpr double kLeastSpan = 1e-300;

// b − a for a ≤ b, as large as a double holds when it would overflow.
double Span(double a, double b) {
    const double span = b - a;
    return std::isfinite(span) ? span : DBL_MAX;
}

// `k` steps, at most ±DBL_MAX: an end one step beyond the largest double would be infinite.
double StepsOf(double k, double step) {
    return std::clamp(k * step, -DBL_MAX, DBL_MAX);
}

}  // namespace

AxisScale NiceScale(double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return AxisScale{};
    }
    if (low > high) {
        std::swap(low, high);
    }
    if (!(high > low)) {
        const double pad = low == 0 ? 1.0 : std::abs(low) * 0.1;
        low = std::max(low - pad, -DBL_MAX);
        high = std::min(high + pad, DBL_MAX);
    }
    // A span too narrow to tick is widened evenly around its middle.
    const double size = std::max(std::abs(low), std::abs(high));
    const double least = std::max(size * kLeastRelativeSpan, kLeastSpan);
    if (Span(low, high) < least) {
        const double middle = low / 2 + high / 2;
        low = std::max(middle - least / 2, -DBL_MAX);
        high = std::min(middle + least / 2, DBL_MAX);
    }
    const double top = std::min(high + Span(low, high) * 0.02, DBL_MAX);
    constexpr int kMostIntervals = 6;
    const double rough = std::isfinite(top - low) ? (top - low) / kMostIntervals
                                                  : top / kMostIntervals - low / kMostIntervals;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * decade;
    for (double m : {1.0, 2.0, 2.5, 5.0}) {
        if (m * decade >= rough) {
            step = m * decade;
            break;
        }
    }
    // The ends on the steps around the values; a quotient rounded onto a whole number can put
    // an end one step inside a value, so each is checked against the values themselves.
    double first = std::floor(low / step);
    double last = std::ceil(top / step);
    if (first * step > low) {
        first -= 1;
    }
    if (last * step < high) {
        last += 1;
    }
    AxisScale scale;
    scale.step = step;
    scale.low = StepsOf(first, step);
    scale.high = StepsOf(last, step);
    return scale;
}

}  // namespace veliso
