// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/random_source.h"

#include <gtest/gtest.h>

namespace veliso {
namespace {

// Expected values worked out by hand from the two recurrences:
// low' = low * 22695477 + 1 (mod 2^32), state' = state * (346 * 2^32 + 20021) + 1 (mod 2^64).
TEST(RandomSource, StartsSeededWithOne) {
    RandomSource source([] { return std::uint64_t{0}; });
    EXPECT_EQ(source.low(), 22695478u);
    EXPECT_EQ(source.high(), 0u);
}

TEST(RandomSource, FifteenBitOutputAdvancesOnlyTheLowWord) {
    RandomSource source;
    EXPECT_EQ(source.Next15(), 130);
    EXPECT_EQ(source.low(), 2156045615u);
    EXPECT_EQ(source.high(), 0u);
    for (int i = 0; i < 1000; ++i) {
        const int r = source.Next15();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST(RandomSource, ThirtyOneBitOutputAdvancesTheWholeState) {
    RandomSource source;
    EXPECT_EQ(source.Next31(), 1410184549);
    EXPECT_EQ(source.low(), 3414598959u);
    EXPECT_EQ(source.high(), 3557668197u);
    EXPECT_EQ(source.Next31(), 672584604);
}

TEST(RandomSource, ReseedingFromTheClockRepeatsWithinTheSameSecond) {
    std::uint64_t now = 1765100000;
    RandomSource source([&now] { return now; });
    source.ReseedFromClock();
    EXPECT_EQ(source.low(), 3712650081u);
    EXPECT_EQ(source.Next31(), 381723828);
    const int second = source.Next31();

    source.ReseedFromClock();
    EXPECT_EQ(source.Next31(), 381723828);
    EXPECT_EQ(source.Next31(), second);

    now += 1;
    source.ReseedFromClock();
    EXPECT_NE(source.Next31(), 381723828);
}

TEST(RandomSource, ClockSecondsAreTakenModulo2To32) {
    RandomSource wide([] { return (std::uint64_t{1} << 32) + 7; });
    RandomSource narrow([] { return std::uint64_t{7}; });
    wide.ReseedFromClock();
    narrow.ReseedFromClock();
    EXPECT_EQ(wide.low(), narrow.low());
    EXPECT_EQ(wide.Next31(), narrow.Next31());
}

}  // namespace
}  // namespace veliso
