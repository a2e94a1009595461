// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/measurement_log.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/gas/gas_model.h"
#include "core/gas/gas_step.h"
#include "core/gas/gas_test_support.h"

namespace veliso {
namespace {

const GasConditions kStart{100, 298.0, 100.0, 5, false};

class WallHitReadoutsTest : public ::testing::Test {
  protected:
    WallHitReadouts readouts;
    // The first readout after the bench starts listening cannot tell what it covered.
    void Listen(const GasConditions& c = kStart) {
        EXPECT_FALSE(readouts.lastHits().has_value());
        EXPECT_FALSE(readouts.Add(0, c));
    }
};

TEST_F(WallHitReadoutsTest, MeanAndSampleSpreadOfTheLastCountsOfOneState) {
    Listen();
    for (int hits : {90, 100, 110, 95, 105}) {
        EXPECT_TRUE(readouts.Add(hits, kStart));
    }
    EXPECT_EQ(readouts.lastHits(), 105);
    const WallHitAverage five = readouts.Average(5, kStart);
    EXPECT_EQ(five.mean, 100.0);
    // Σ(h − 100)² = 250 over n − 1 = 4: √62.5 = 7.9057…, kept to hundredths.
    EXPECT_EQ(five.spread, 7.91);
    EXPECT_EQ(five.readouts, 5);

    const WallHitAverage one = readouts.Average(1, kStart);
    EXPECT_EQ(one.mean, 105.0);
    EXPECT_FALSE(one.spread.has_value());
    EXPECT_EQ(one.readouts, 1);

    // More asked than at hand: what there is.
    const WallHitAverage ten = readouts.Average(10, kStart);
    EXPECT_EQ(ten.readouts, 5);
    EXPECT_EQ(ten.mean, 100.0);

    // Three counts whose mean is not a whole number of hundredths.
    EXPECT_TRUE(readouts.Add(101, kStart));
    EXPECT_TRUE(readouts.Add(101, kStart));
    EXPECT_TRUE(readouts.Add(100, kStart));
    EXPECT_EQ(readouts.Average(3, kStart).mean, 100.67);
}

TEST_F(WallHitReadoutsTest, OnlyWholeSecondsOfOneRunningStateCount) {
    Listen();
    EXPECT_TRUE(readouts.Add(95, kStart));

    // A slider moved during the second: that count mixes two states and the mean of the new
    // state waits for a whole second of it.
    GasConditions hot = kStart;
    hot.temperature = 500;
    EXPECT_FALSE(readouts.Add(110, hot));
    EXPECT_FALSE(readouts.Average(5, hot).mean.has_value());
    EXPECT_EQ(readouts.Average(5, kStart).mean, 95.0);
    EXPECT_TRUE(readouts.Add(125, hot));
    EXPECT_EQ(readouts.Average(5, hot).mean, 125.0);
    EXPECT_FALSE(readouts.Average(5, kStart).mean.has_value());

    // Moved since the last readout: no whole second of the state shown now.
    GasConditions heavy = hot;
    heavy.mass = 10;
    EXPECT_FALSE(readouts.Average(1, heavy).mean.has_value());

    // Paused: the gas does not move, its zeros are not a rate.
    GasConditions paused = hot;
    paused.paused = true;
    EXPECT_FALSE(readouts.Add(0, paused));
    EXPECT_FALSE(readouts.Add(0, paused));
    EXPECT_FALSE(readouts.Average(1, paused).mean.has_value());
    EXPECT_FALSE(readouts.Add(60, hot));  // the second in which it started again
    EXPECT_TRUE(readouts.Add(127, hot));
    EXPECT_EQ(readouts.Average(5, hot).readouts, 2);

    // A break (the gas tab was left): the next count may span more than a second.
    readouts.Interrupt();
    EXPECT_FALSE(readouts.Add(190, hot));
    EXPECT_TRUE(readouts.Add(123, hot));
    EXPECT_EQ(readouts.Average(5, hot).mean, 125.0);
}

TEST_F(WallHitReadoutsTest, KeepsTheLastTen) {
    Listen();
    for (int hits = 1; hits <= 25; ++hits) {
        readouts.Add(hits, kStart);
    }
    const WallHitAverage all = readouts.Average(100, kStart);
    EXPECT_EQ(all.readouts, WallHitReadouts::kMaxSpan);
    EXPECT_EQ(all.mean, 20.5);  // 16 .. 25
}

// The bench's counts follow the model's steps, not the clock: whatever wall-clock time the
// ticks took, and however the main window's once-a-second readouts fall between them, the
// simulated seconds hold the same hits, those of 40 steps each.
TEST(SimulatedSecondsTest, TheSameCountsWhateverTheTicksTook) {
    struct Schedule {
        const char* name;
        int (*delayMs)(int tick);  // wall-clock time from one tick to the next
    };
    const Schedule schedules[] = {
        {"quiet", [](int) { return 25; }},
        // Stalled 0.3 s of every second: the tick due in the stall comes late, once.
        {"stalled", [](int tick) { return tick % 28 == 27 ? 325 : 25; }},
        {"loaded", [](int tick) { return 25 + (tick * 7919) % 61; }},
    };
    constexpr int kSteps = 10 * SimulatedSeconds::kStepsPerSecond + 17;
    std::vector<int> reference;
    for (const Schedule& schedule : schedules) {
        RandomSource random{[] { return testing::kFixedSeconds; }};
        GasState gas;
        InitGas(gas, random);
        SimulatedSeconds seconds;
        std::vector<int> counts;
        int nowMs = 0;
        int nextReadoutMs = 1000;
        for (int tick = 0; tick < kSteps; ++tick) {
            const std::optional<int> hits = StepGasCountingHits(gas, true);
            ASSERT_TRUE(hits.has_value());
            if (const auto second = seconds.Step(*hits, ConditionsOf(gas))) {
                counts.push_back(*second);
            }
            nowMs += schedule.delayMs(tick);
            while (nowMs >= nextReadoutMs) {  // the main window's label, by wall seconds
                TakeWallHits(gas);
                nextReadoutMs += 1000;
            }
        }
        EXPECT_EQ(seconds.steps(), 17) << schedule.name;
        if (reference.empty()) {
            reference = counts;
            ASSERT_EQ(reference.size(), 10u);
            EXPECT_GT(reference[0], 50);
        }
        EXPECT_EQ(counts, reference) << schedule.name;
    }
    // A hidden gas tab: no step, no hit, the second waits.
    GasState gas;
    EXPECT_FALSE(StepGasCountingHits(gas, false).has_value());
}

TEST(SimulatedSecondsTest, ASecondCountsOnlyWhenAllItsStepsRanInOneState) {
    SimulatedSeconds seconds;
    GasConditions hot = kStart;
    hot.temperature = 500;
    auto run = [&](int steps, const GasConditions& c) {
        std::optional<int> last;
        for (int i = 0; i < steps; ++i) {
            last = seconds.Step(2, c);
        }
        return last;
    };
    EXPECT_FALSE(run(39, kStart).has_value());
    EXPECT_EQ(seconds.Step(3, kStart), 81);
    EXPECT_FALSE(run(25, kStart).has_value());
    // The slider moved: the 25 steps of the old state are dropped, the new second starts.
    EXPECT_FALSE(run(39, hot).has_value());
    EXPECT_EQ(run(1, hot), 80);

    // Whole seconds feed the readouts at once; a paused one is not a rate.
    WallHitReadouts readouts;
    EXPECT_TRUE(readouts.AddSecond(80, hot));
    EXPECT_EQ(readouts.Average(5, hot).mean, 80.0);
    GasConditions paused = hot;
    paused.paused = true;
    EXPECT_FALSE(readouts.AddSecond(0, paused));
    EXPECT_EQ(readouts.lastHits(), 0);
    EXPECT_EQ(readouts.Average(5, hot).readouts, 1);
}

// "Moyenne sur N s" for automatic rows: one row every N whole seconds, from counts no other
// row used.
TEST(WallHitReadoutsFreshTest, AutomaticRowsUseSeparateSeconds) {
    WallHitReadouts readouts;
    std::vector<WallHitAverage> rows;
    for (int hits = 1; hits <= 12; ++hits) {
        readouts.AddSecond(hits * 10, kStart);
        if (const auto row = readouts.TakeFresh(5, kStart)) {
            rows.push_back(*row);
        }
    }
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].mean, 30.0);  // 10 .. 50
    EXPECT_EQ(rows[1].mean, 80.0);  // 60 .. 100
    EXPECT_EQ(rows[1].readouts, 5);

    // A row by hand, or a change of state, starts the count again.
    readouts.RowTaken();
    for (int i = 0; i < 4; ++i) {
        readouts.AddSecond(100, kStart);
    }
    EXPECT_FALSE(readouts.TakeFresh(5, kStart).has_value());
    GasConditions hot = kStart;
    hot.temperature = 400;
    readouts.AddSecond(120, hot);
    EXPECT_FALSE(readouts.TakeFresh(1, kStart).has_value());
    EXPECT_EQ(readouts.TakeFresh(1, hot)->mean, 120.0);
    EXPECT_FALSE(readouts.TakeFresh(1, hot).has_value());
}

TEST(TakeMeasurementTest, ThePressureIsThatOfTheStateEvenBeforeAnySliderMoved) {
    GasState gas;  // as the program starts: the record's pressure is not computed yet
    const Measurement row = TakeMeasurement(gas, {96.4, 8.02, 5}, "14:05:09");
    EXPECT_EQ(row.pressure, 101325.0);
    EXPECT_EQ(row.wallHits, 96.4);
    EXPECT_EQ(gas.pressure, 0.0);
    gas.count = 37;
    gas.temperature = 411;
    gas.volumePercent = 23;
    const Measurement later = TakeMeasurement(gas, {}, "");
    EXPECT_EQ(later.pressure, UpdatePressure(gas));
    EXPECT_FALSE(later.wallHits.has_value());
}

class MeasurementLogTest : public ::testing::Test {
  protected:
    MeasurementLog log;
    void AddRows(int n) {
        for (int i = 0; i < n; ++i) {
            Measurement row;
            row.count = 10 + i;
            log.Add(row);
        }
    }
    std::vector<int> Numbers() const {
        std::vector<int> numbers;
        for (const Measurement& row : log.rows()) {
            numbers.push_back(row.number);
        }
        return numbers;
    }
};

TEST_F(MeasurementLogTest, NumbersRunOnAcrossRemovalsAndRestartAfterClear) {
    EXPECT_FALSE(log.HasUnexported());
    AddRows(5);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(log.HasUnexported());

    log.Remove({3, 0, 3, 17, -1});
    EXPECT_EQ(Numbers(), (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(log.rows()[1].count, 12);
    AddRows(1);
    EXPECT_EQ(Numbers(), (std::vector<int>{2, 3, 5, 6}));

    log.Clear();
    EXPECT_EQ(log.size(), 0);
    EXPECT_FALSE(log.HasUnexported());
    AddRows(1);
    EXPECT_EQ(Numbers(), (std::vector<int>{1}));
}

TEST_F(MeasurementLogTest, OnlyRowsNeverWrittenToAFileAreUnexported) {
    AddRows(2);
    log.MarkAllExported();
    EXPECT_FALSE(log.HasUnexported());
    AddRows(1);
    EXPECT_TRUE(log.HasUnexported());
    log.Remove({2});
    EXPECT_FALSE(log.HasUnexported());

    // Rows read from a file are saved already; numbering goes on after the largest.
    Measurement a;
    a.number = 7;
    Measurement b;
    b.number = 3;
    AddRows(1);
    log.Replace({a, b});
    EXPECT_FALSE(log.HasUnexported());
    EXPECT_EQ(Numbers(), (std::vector<int>{7, 3}));
    AddRows(1);
    EXPECT_EQ(Numbers(), (std::vector<int>{7, 3, 8}));
    EXPECT_TRUE(log.HasUnexported());

    // Never beyond the largest number a file may hold: the rows are numbered again.
    Measurement last;
    last.number = kMaxMeasurementNumber;
    log.Replace({a, last});
    AddRows(2);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(MeasurementLogTest, RowsGoToTheCurrentSeriesAndANewOneBeginsOnlyAfterARow) {
    log.NewSeries();  // nothing in series 1 yet: it stays
    AddRows(2);
    log.NewSeries();
    log.NewSeries();
    AddRows(1);
    std::vector<int> series;
    for (const Measurement& row : log.rows()) {
        series.push_back(row.series);
    }
    EXPECT_EQ(series, (std::vector<int>{1, 1, 2}));

    // The row that showed a new law opens the next series with it.
    AddRows(1);
    log.MarkAllExported();
    log.NewSeries(true);
    EXPECT_EQ(log.currentSeries(), 3);
    EXPECT_EQ(log.rows().back().series, 3);
    EXPECT_TRUE(log.HasUnexported());
    log.NewSeries(true);  // it is the whole of series 3: no empty series left behind
    EXPECT_EQ(log.rows().back().series, 3);
    EXPECT_EQ(SeriesNumbers(log.rows()), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(PlotPoints(log.rows(), Quantity::Count, Quantity::Pressure, 1).size(), 2u);
    EXPECT_EQ(PlotPoints(log.rows(), Quantity::Count, Quantity::Pressure).size(), 4u);

    // A file's rows: new ones go on in its last series; Clear starts from series 1.
    Measurement read;
    read.series = 4;
    log.Replace({read});
    EXPECT_EQ(log.currentSeries(), 4);
    log.Clear();
    EXPECT_EQ(log.currentSeries(), 1);
}

TEST(NewlyVariedTest, AQuantityHeldSoFarThatChangesWhileAnotherVaries) {
    auto row = [](int n, double t, double v, int m, int series = 1) {
        Measurement r;
        r.count = n;
        r.temperature = t;
        r.volumePercent = v;
        r.mass = m;
        r.series = series;
        return r;
    };
    const std::vector<Measurement> overT = {row(100, 100, 100, 5), row(100, 200, 100, 5),
                                            row(50, 300, 20, 1, 2)};
    struct Case {
        const char* name;
        std::vector<Measurement> rows;
        Measurement next;
        std::optional<Quantity> expected;
    };
    const Case cases[] = {
        {"T varies, T again", overT, row(100, 300, 100, 5), std::nullopt},
        {"T varies, V now", overT, row(100, 300, 50, 5), Quantity::Volume},
        {"T varies, mass now", overT, row(100, 200, 100, 6), Quantity::Mass},
        {"T varies, N now", overT, row(60, 200, 100, 5), Quantity::Count},
        {"one row: nothing varies yet",
         {row(100, 100, 100, 5)},
         row(100, 100, 50, 5),
         std::nullopt},
        {"repeated readings",
         {row(100, 100, 100, 5), row(100, 100, 100, 5)},
         row(100, 100, 50, 5),
         std::nullopt},
        {"other series only",
         {row(100, 100, 100, 5, 2), row(100, 200, 100, 5, 2)},
         row(100, 100, 50, 5),
         std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NewlyVaried(c.rows, 1, c.next), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace veliso
