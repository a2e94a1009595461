// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdint>
#include <functional>

namespace veliso {

/// The program's one source of random integers: a 64-bit linear congruential state
/// (low and high 32-bit words) with two outputs.
///
/// - Next15: low := low * 22695477 + 1 (mod 2^32); returns bits 16..30 of low (0 .. 32767).
///   Used by the solid vibration.
/// - Next31: state := state * (346 * 2^32 + 20021) + 1 (mod 2^64); returns the high word with
///   its top bit cleared (0 .. 2147483647). Used by the gas and liquid velocity draws.
///
/// Seeding with s sets low := s, high := 0, then advances the low word once. The gas and
/// liquid reseed from the wall clock in whole seconds at every velocity assignment, so two
/// assignments within the same second draw the same numbers.
class RandomSource {
public:
    /// Seconds since the Unix epoch; replaceable so that tests can fix the time.
    using Clock = std::function<std::uint64_t()>;

    /// Starts seeded with 1, as the program does at start-up.
    RandomSource();
    explicit RandomSource(Clock clock);

    void Seed(std::uint32_t seed);
    /// Seeds with the clock's seconds modulo 2^32.
    void ReseedFromClock();

    std::int32_t Next15();
    std::int32_t Next31();

    std::uint32_t low() const { return low_; }
    std::uint32_t high() const { return high_; }

    void SetClock(Clock clock);

    /// Seconds since the Unix epoch from the system clock.
    static std::uint64_t SystemSeconds();

private:
    std::uint32_t low_ = 0;
    std::uint32_t high_ = 0;
    Clock clock_;
};

/// The one generator shared by the three models for the whole run.
RandomSource& SharedRandom();

}  // namespace veliso
