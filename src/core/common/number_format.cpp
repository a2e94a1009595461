// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/number_format.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string_view>

namespace veliso {

std::string FormatGeneral(double value, int digits) {
    if (digits < 1 || digits > 17) {
        throw std::invalid_argument("FormatGeneral: " + std::to_string(digits) +
                                    " significant digits, outside 1 .. 17");
    }
    // printf's words, without the sign it gives some NaNs.
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    // The labels write "-0" as "0".
    if (value == 0) {
        return "0";
    }
    // std::to_chars writes what printf's "%.15g" writes in the C locale, whatever locale the
    // process runs in: a French desktop would otherwise turn 0.5 into "0,5". 40 characters
    // hold the longest text of 17 digits ("-1.2345678901234567e-308").
    char buffer[40];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, error == std::errc() ? end : buffer);
}

std::string FormatInteger(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace veliso
