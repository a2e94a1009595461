#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/gas/gas_state.h"
#include "core/measure/measurement.h"

namespace veliso {

/// Mean and spread of the last one-second wall-hit counts of one state of the gas.
struct WallHitAverage {
    std::optional<double> mean;    ///< absent when no count of this state is at hand
    std::optional<double> spread;  ///< sample standard deviation, from two counts on
    int readouts = 0;              ///< how many counts were averaged
};

/// The once-a-second wall-hit counts of the gas, kept so that rows can average them.
///
/// A count is usable only when it measured one second of one and the same state: the
/// conditions at the previous readout and at this one must be equal, and the gas must be
/// running. A slider moved, a pause, or a readout that follows a break (the gas tab was left,
/// so the count may span more than one second of gas time) makes a count unusable. The
/// counts kept all belong to one state: the first usable count of another state drops them.
/// At most kMaxSpan counts are kept.
class WallHitReadouts {
  public:
    static constexpr int kMaxSpan = 10;

    /// A readout: `hits` counted since the previous one, `now` the conditions at its end.
    /// Returns whether the count was usable.
    bool Add(int hits, const GasConditions& now);
    /// The series is broken: the next count does not tell the hits of one second.
    void Interrupt();

    /// Mean of the last `span` usable counts (fewer if fewer are at hand) when they were
    /// taken in the conditions `now`; otherwise no mean. Mean and spread rounded to 0.01.
    WallHitAverage Average(int span, const GasConditions& now) const;

    /// The last count read, usable or not; none before the first readout.
    std::optional<int> lastHits() const { return lastHits_; }

  private:
    std::optional<GasConditions> previous_;
    GasConditions usableConditions_;
    std::deque<int> usable_;
    std::optional<int> lastHits_;
};

/// A row of the state of `gas` now, with the wall hits of `average`, taken at `time`.
/// The row's number is left to the log.
Measurement TakeMeasurement(const GasState& gas, const WallHitAverage& average, std::string time);

/// The rows of the bench, in the order they were taken, and which of them have been saved.
class MeasurementLog {
  public:
    const std::vector<Measurement>& rows() const { return rows_; }
    int size() const { return static_cast<int>(rows_.size()); }

    /// Appends `row` under the next number (one more than any number used since the last
    /// Clear or Replace) and returns that number. The row is not exported yet.
    int Add(Measurement row);
    /// Removes the rows at the given positions (in any order; out of range or repeated ones
    /// are ignored). The numbers of the other rows stay.
    void Remove(std::vector<int> positions);
    /// Removes every row; numbering starts again from 1.
    void Clear();
    /// Replaces every row by `rows` (read from a file, so already saved); numbering goes on
    /// after their largest number.
    void Replace(std::vector<Measurement> rows);

    /// Whether some row has never been written to a file.
    bool HasUnexported() const;
    /// After a successful export: every row is saved.
    void MarkAllExported();

  private:
    std::vector<Measurement> rows_;
    std::vector<bool> exported_;
    int nextNumber_ = 1;
};

}  // namespace veliso
