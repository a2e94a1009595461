// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/random_source.h"

#include <chrono>
#include <utility>

namespace veliso {

namespace {
constexpr std::uint32_t kLowMultiplier = 22695477u;
// 346 * 2^32 + 20021: the 64-bit multiplier of the full-state step.
constexpr std::uint64_t kStateMultiplier = (std::uint64_t{346} << 32) + 20021u;
}  // namespace

RandomSource::RandomSource() : RandomSource(&RandomSource::SystemSeconds) {}

RandomSource::RandomSource(Clock clock) : clock_(std::move(clock)) { Seed(1); }

void RandomSource::Seed(std::uint32_t seed) {
    low_ = seed;
    high_ = 0;
    low_ = low_ * kLowMultiplier + 1u;
}

void RandomSource::ReseedFromClock() {
    const std::uint64_t seconds = clock_ ? clock_() : SystemSeconds();
    Seed(static_cast<std::uint32_t>(seconds & 0xFFFFFFFFu));
}

std::int32_t RandomSource::Next15() {
    low_ = low_ * kLowMultiplier + 1u;
    return static_cast<std::int32_t>((low_ >> 16) & 0x7FFFu);
}

std::int32_t RandomSource::Next31() {
    std::uint64_t state = (std::uint64_t{high_} << 32) | low_;
    state = state * kStateMultiplier + 1u;
    low_ = static_cast<std::uint32_t>(state);
    high_ = static_cast<std::uint32_t>(state >> 32);
    return static_cast<std::int32_t>(high_ & 0x7FFFFFFFu);
}

void RandomSource::SetClock(Clock clock) { clock_ = std::move(clock); }

std::uint64_t RandomSource::SystemSeconds() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

RandomSource& SharedRandom() {
    static RandomSource source;
    return source;
}

}  // namespace veliso
