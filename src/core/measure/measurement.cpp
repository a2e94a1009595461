#include "core/measure/measurement.h"

#include <cmath>

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
            return "√T (K^½)";
        case Quantity::Mass:
            return "Masse relative";
        case Quantity::Pressure:
            return "Pression P (Pa)";
        case Quantity::WallHits:
            return "Chocs sur parois (1/s)";
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

std::vector<PlotPoint> PlotPoints(const std::vector<Measurement>& rows, Quantity x, Quantity y) {
    std::vector<PlotPoint> points;
    points.reserve(rows.size());
    for (const Measurement& row : rows) {
        const std::optional<double> px = ValueOf(row, x);
        const std::optional<double> py = ValueOf(row, y);
        if (px && py) {
            points.push_back({*px, *py});
        }
    }
    return points;
}

int AxisScale::intervals() const {
    return static_cast<int>(std::lround((high - low) / step));
}

AxisScale NiceScale(double low, double high) {
    if (!(high > low)) {
        const double pad = low == 0 ? 1.0 : std::abs(low) * 0.1;
        low -= pad;
        high += pad;
    }
    high += (high - low) * 0.02;
    constexpr int kMostIntervals = 6;
    const double rough = (high - low) / kMostIntervals;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * decade;
    for (double m : {1.0, 2.0, 2.5, 5.0}) {
        if (m * decade >= rough) {
            step = m * decade;
            break;
        }
    }
    AxisScale scale;
    scale.step = step;
    scale.low = std::floor(low / step) * step;
    scale.high = std::ceil(high / step) * step;
    return scale;
}

}  // namespace veliso
