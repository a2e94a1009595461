// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace veliso {

namespace {

// Between groups of thousands, and around the × of a power of ten: no line break inside a
// figure, and a speech synthesiser reads "101 325" as one number.
constexpr std::string_view kNbsp = "\u00a0";

// A finite nonzero value as its decimal digits: |value| = d₀,d₁d₂… × 10^power, without
// trailing zeros.
struct Digits {
    bool negative = false;
    std::string digits;
    int power = 0;
};

// The digits std::to_chars writes in scientific form: the shortest that read back to `value`,
// or `decimals` digits after the first, rounded.
Digits DecimalDigits(double value, std::optional<int> decimals) {
    // "-d.<up to 16 digits>e-308" at most.
    char buffer[40];
    const auto [end, error] = decimals ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                                       std::chars_format::scientific, *decimals)
                                       : std::to_chars(buffer, buffer + sizeof buffer, value,
                                                       std::chars_format::scientific);
    Digits d;
    if (error != std::errc()) {
        return {false, "0", 0};
    }
    const std::string_view text(buffer, end);
    const std::size_t e = text.find('e');
    for (char c : text.substr(0, e)) {
        if (c == '-') {
            d.negative = true;
        } else if (c != '.') {
            d.digits += c;
        }
    }
    const std::string_view power = text.substr(e + (text[e + 1] == '+' ? 2 : 1));
    std::from_chars(power.data(), power.data() + power.size(), d.power);
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    return d;
}

std::string Superscript(int power) {
    static constexpr std::string_view kDigits[] = {"⁰", "¹", "²", "³", "⁴",
                                                   "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string text = power < 0 ? "⁻" : "";
    for (char c : std::to_string(std::abs(power))) {
        text += kDigits[c - '0'];
    }
    return text;
}

std::string Laid(const Digits& d) {
    std::string text = d.negative ? "-" : "";
    if (d.power < kLeastPlainPower || d.power >= kFirstPowerTimesTen) {
        text += d.digits[0];
        if (d.digits.size() > 1) {
            text += ",";
            text += d.digits.substr(1);
        }
        return text + std::string(kNbsp) + "×" + std::string(kNbsp) + "10" + Superscript(d.power);
    }
    std::string whole = "0";
    std::string fraction;
    if (d.power >= 0) {
        const std::size_t wholeDigits = static_cast<std::size_t>(d.power) + 1;
        whole = d.digits.substr(0, wholeDigits);
        whole.resize(wholeDigits, '0');
        fraction = d.digits.size() > wholeDigits ? d.digits.substr(wholeDigits) : "";
    } else {
        fraction = std::string(static_cast<std::size_t>(-d.power - 1), '0') + d.digits;
    }
    text += GroupedThousands(whole);
    return fraction.empty() ? text : text + "," + fraction;
}

}  // namespace

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

std::string GroupedThousands(std::string_view number) {
    const std::size_t sign = !number.empty() && (number[0] == '-' || number[0] == '+') ? 1 : 0;
    const std::size_t comma = std::min(number.find(','), number.size());
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const bool plain =
        comma > sign && std::all_of(number.begin() + sign, number.begin() + comma, digit) &&
        std::all_of(number.begin() + std::min(comma + 1, number.size()), number.end(), digit);
    if (!plain) {
        return std::string(number);
    }
    std::string grouped(number.substr(0, sign));
    for (std::size_t i = sign; i < comma; ++i) {
        if (i > sign && (comma - i) % 3 == 0) {
            grouped += kNbsp;
        }
        grouped += number[i];
    }
    grouped += number.substr(comma);
    return grouped;
}

std::string ScreenFigure(double value, int digits) {
    if (!std::isfinite(value)) {
        return "—";
    }
    if (value == 0) {
        return "0";
    }
    digits = std::clamp(digits, 1, 17);
    // A whole part written out keeps its units: as many digits as it has, when that is more.
    const int power = DecimalDigits(value, std::nullopt).power;
    const bool wholeDigits = power >= digits && power < kFirstPowerTimesTen;
    return Laid(DecimalDigits(value, wholeDigits ? power : digits - 1));
}

std::string ExactScreenFigure(double value) {
    if (!std::isfinite(value)) {
        return "—";
    }
    if (value == 0) {
        return "0";
    }
    return Laid(DecimalDigits(value, std::nullopt));
}

}  // namespace veliso
