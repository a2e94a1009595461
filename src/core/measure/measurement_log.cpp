#include "core/measure/measurement_log.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/gas/gas_step.h"

namespace veliso {

namespace {

// Counts of about a hundred with a spread of about ten: hundredths say all there is, and keep
// the figures short in the table and in the files.
double Hundredths(double value) {
    return std::round(value * 100.0) / 100.0;
}

}  // namespace

bool WallHitReadouts::Add(int hits, const GasConditions& now) {
    lastHits_ = hits;
    const bool usable = previous_ && *previous_ == now && !now.paused;
    previous_ = now;
    if (!usable) {
        // The counts kept so far stay good for their own state; Average asks for it.
        return false;
    }
    if (!(usableConditions_ == now)) {
        usable_.clear();
    }
    usableConditions_ = now;
    usable_.push_back(hits);
    if (static_cast<int>(usable_.size()) > kMaxSpan) {
        usable_.pop_front();
    }
    return true;
}

void WallHitReadouts::Interrupt() {
    previous_.reset();
}

WallHitAverage WallHitReadouts::Average(int span, const GasConditions& now) const {
    WallHitAverage result;
    if (usable_.empty() || !(usableConditions_ == now) || span < 1) {
        return result;
    }
    const int n = std::min(span, static_cast<int>(usable_.size()));
    double sum = 0;
    for (auto it = usable_.end() - n; it != usable_.end(); ++it) {
        sum += *it;
    }
    const double mean = sum / n;
    result.mean = Hundredths(mean);
    result.readouts = n;
    if (n >= 2) {
        double squares = 0;
        for (auto it = usable_.end() - n; it != usable_.end(); ++it) {
            squares += (*it - mean) * (*it - mean);
        }
        result.spread = Hundredths(std::sqrt(squares / (n - 1)));
    }
    return result;
}

Measurement TakeMeasurement(const GasState& gas, const WallHitAverage& average, std::string time) {
    Measurement row;
    row.time = std::move(time);
    row.count = gas.count;
    row.temperature = gas.temperature;
    row.volumePercent = gas.volumePercent;
    row.mass = gas.mass;
    // Computed here rather than read from the record: the record's pressure is only written
    // when a slider moves, and is still 0 at start-up.
    row.pressure = IdealGasPressure(gas.count, gas.temperature, gas.volumePercent);
    row.wallHits = average.mean;
    row.wallHitsSpread = average.spread;
    row.readouts = average.readouts;
    return row;
}

int MeasurementLog::Add(Measurement row) {
    row.number = nextNumber_++;
    rows_.push_back(std::move(row));
    exported_.push_back(false);
    return rows_.back().number;
}

void MeasurementLog::Remove(std::vector<int> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    // From the last position back, so the earlier ones keep their places.
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        if (*it >= 0 && *it < size()) {
            rows_.erase(rows_.begin() + *it);
            exported_.erase(exported_.begin() + *it);
        }
    }
}

void MeasurementLog::Clear() {
    rows_.clear();
    exported_.clear();
    nextNumber_ = 1;
}

void MeasurementLog::Replace(std::vector<Measurement> rows) {
    rows_ = std::move(rows);
    exported_.assign(rows_.size(), true);
    nextNumber_ = 1;
    for (const Measurement& row : rows_) {
        nextNumber_ = std::max(nextNumber_, row.number + 1);
    }
}

bool MeasurementLog::HasUnexported() const {
    return std::find(exported_.begin(), exported_.end(), false) != exported_.end();
}

void MeasurementLog::MarkAllExported() {
    exported_.assign(rows_.size(), true);
}

}  // namespace veliso
