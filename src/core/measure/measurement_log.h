// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
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

/// Counts the wall hits of the gas by simulated seconds: one second of the model is
/// kStepsPerSecond steps (one step per 25 ms tick), whatever wall-clock time they took. A slow
/// or stalled computer takes longer over a second of the model, but the second holds the same
/// steps, so the count does not depend on the machine's speed.
///
/// A second counts only when all its steps ran in the same conditions: a step in other
/// conditions drops the steps counted so far and starts a new second with itself.
class SimulatedSeconds {
  public:
    static constexpr int kStepsPerSecond = 40;

    /// One step of the gas, which made `hits` wall hits in the conditions `now`. Returns the
    /// hits of the simulated second this step completes, if it completes one.
    std::optional<int> Step(int hits, const GasConditions& now);
    /// Steps of the current second done so far (0 .. kStepsPerSecond - 1).
    int steps() const { return steps_; }

  private:
    GasConditions conditions_;
    int steps_ = 0;
    int hits_ = 0;
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
    /// A count known to cover one whole second of the conditions `state` (a simulated
    /// second): usable unless the gas was paused. Returns whether it was usable.
    bool AddSecond(int hits, const GasConditions& state);
    /// The series is broken: the next count does not tell the hits of one second.
    void Interrupt();

    /// For automatic rows: once `span` usable counts of the conditions `now` came in since
    /// the last row was taken, their mean; none before. Rows so taken never share a count.
    std::optional<WallHitAverage> TakeFresh(int span, const GasConditions& now);
    /// A row was taken by hand: the next automatic row waits for `span` new counts.
    void RowTaken() { fresh_ = 0; }

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
    int fresh_ = 0;
};

/// One step of the gas as the animation tick runs it (StepGas); returns the wall hits of that
/// step when it ran. Readouts of the hits between steps (TakeWallHits) do not change it.
std::optional<int> StepGasCountingHits(GasState& gas, bool gasTabActive);

/// A row of the state of `gas` now, with the wall hits of `average`, taken at `time`.
/// The row's number is left to the log.
Measurement TakeMeasurement(const GasState& gas, const WallHitAverage& average, std::string time);

/// The rows of the bench, in the order they were taken, and which of them have been saved.
class MeasurementLog {
  public:
    const std::vector<Measurement>& rows() const { return rows_; }
    int size() const { return static_cast<int>(rows_.size()); }

    /// Appends `row` under the next number (one more than any number used since the last
    /// Clear or Replace), in the current series, and returns that number. The row is not
    /// exported yet. Past kMaxMeasurementNumber the rows are numbered again from 1.
    int Add(Measurement row);

    /// The series new rows go to.
    int currentSeries() const { return series_; }
    /// Rows added from now on go to a new series, one above any series in the table; with
    /// `withLastRow`, the last row goes there too (the row that showed a new law begins).
    /// Nothing changes while the current series has no row.
    void NewSeries(bool withLastRow = false);
    /// Removes the rows at the given positions (in any order; out of range or repeated ones
    /// are ignored). The numbers of the other rows stay.
    void Remove(std::vector<int> positions);
    /// Removes every row; numbering and series start again from 1.
    void Clear();
    /// Replaces every row by `rows` (read from a file, so already saved); numbering goes on
    /// after their largest number, and new rows go to their last series.
    void Replace(std::vector<Measurement> rows);

    /// Whether some row has never been written to a file.
    bool HasUnexported() const;
    /// After a successful export: every row is saved.
    void MarkAllExported();

  private:
    std::vector<Measurement> rows_;
    std::vector<bool> exported_;
    int nextNumber_ = 1;
    int series_ = 1;
};

}  // namespace veliso
