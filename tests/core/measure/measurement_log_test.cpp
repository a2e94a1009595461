#include "core/measure/measurement_log.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/gas/gas_step.h"

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
}

}  // namespace
}  // namespace veliso
