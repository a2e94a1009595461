// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
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

std::optional<int> SimulatedSeconds::Step(int hits, const GasConditions& now) {
    if (steps_ == 0 || !(conditions_ == now)) {
        conditions_ = now;
        steps_ = 0;
        hits_ = 0;
    }
    hits_ += hits;
    if (++steps_ < kStepsPerSecond) {
        return std::nullopt;
    }
    steps_ = 0;
    return hits_;
}

bool WallHitReadouts::Add(int hits, const GasConditions& now) {
    const bool whole = previous_ && *previous_ == now;
    previous_ = now;
    if (!whole) {
        lastHits_ = hits;
        // The counts kept so far stay good for their own state; Average asks for it.
        return false;
    }
    return AddSecond(hits, now);
}

bool WallHitReadouts::AddSecond(int hits, const GasConditions& state) {
    lastHits_ = hits;
    if (state.paused) {
        // The gas does not move: its zeros are not a rate.
        return false;
    }
    if (!(usableConditions_ == state) || usable_.empty()) {
        usable_.clear();
        fresh_ = 0;
    }
    usableConditions_ = state;
    usable_.push_back(hits);
    ++fresh_;
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

std::optional<WallHitAverage> WallHitReadouts::TakeFresh(int span, const GasConditions& now) {
    if (span < 1 || fresh_ < span || !(usableConditions_ == now)) {
        return std::nullopt;
    }
    fresh_ = 0;
    return Average(span, now);
}

std::optional<int> StepGasCountingHits(GasState& gas, bool gasTabActive) {
    const std::int32_t before = gas.wallHits;
    if (!StepGas(gas, gasTabActive)) {
        return std::nullopt;
    }
    return gas.wallHits - before;
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
    if (nextNumber_ > kMaxMeasurementNumber) {
        // Numbers only order the rows: rather than run past what a file may hold, number
        // them again from 1 in their order.
        nextNumber_ = 1;
        for (Measurement& kept : rows_) {
            kept.number = nextNumber_++;
        }
        exported_.assign(rows_.size(), false);
    }
    row.number = nextNumber_++;
    row.series = series_;
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

void MeasurementLog::NewSeries(bool withLastRow) {
    const bool moveLast = withLastRow && !rows_.empty() && rows_.back().series == series_;
    const auto left = moveLast ? rows_.end() - 1 : rows_.end();
    if (std::none_of(rows_.begin(), left,
                     [this](const Measurement& row) { return row.series == series_; })) {
        return;  // the new series would leave an empty one behind
    }
    int next = 1;
    for (const Measurement& row : rows_) {
        next = std::max(next, row.series + 1);
    }
    if (moveLast) {
        rows_.back().series = next;
        exported_.back() = false;  // its copy in a file, if any, holds its old series
    }
    series_ = next;
}

void MeasurementLog::Clear() {
    rows_.clear();
    exported_.clear();
    nextNumber_ = 1;
    series_ = 1;
}

void MeasurementLog::Replace(std::vector<Measurement> rows) {
    rows_ = std::move(rows);
    exported_.assign(rows_.size(), true);
    nextNumber_ = 1;
    series_ = 1;
    for (const Measurement& row : rows_) {
        nextNumber_ = std::max(nextNumber_, row.number + 1);
        series_ = std::max(series_, row.series);
    }
}

bool MeasurementLog::HasUnexported() const {
    return std::find(exported_.begin(), exported_.end(), false) != exported_.end();
}

void MeasurementLog::MarkAllExported() {
    exported_.assign(rows_.size(), true);
}

}  // namespace veliso
