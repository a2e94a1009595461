// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veliso {

/// General floating-point format of the value labels: up to `digits` (1 .. 17, 15 for the
/// labels) significant digits, no trailing zeros, whole numbers without decimals ("101325",
/// "298", "0.5"); exactly the text of printf's "%.<digits>g" in the C locale, with a point
/// for decimals whatever the locale, except for three values: −0 is "0", every NaN is "nan"
/// (printf may write "-nan"), and the infinities are "inf" and "-inf" as printf writes
/// them. Throws std::invalid_argument for `digits` outside 1 .. 17: 17 already tell every
/// double apart, and more would need printf's exact binary expansions.
std::string FormatGeneral(double value, int digits = 15);

/// Plain decimal integer ("100", "-3").
std::string FormatInteger(std::int64_t value);

/// A number's text as French typography writes it: the digits before the decimal comma in
/// groups of three joined by no-break spaces ("101325" → "101 325", "-1234,5" → "-1 234,5").
/// A text with an exponent, or that is not a plain decimal number, is given back unchanged.
std::string GroupedThousands(std::string_view number);

/// Figures written without an exponent on screen: from 0,0001 up to, not including,
/// 1 000 000 000 000. Beyond, so many digits would no longer fit a cell or a line.
inline constexpr int kLeastPlainPower = -4;
inline constexpr int kFirstPowerTimesTen = 12;

/// A figure as a student reads it on screen: decimal comma, the digits before it grouped by
/// no-break spaces, no exponent from 0,0001 up to 1 000 000 000 000 ("101 325", "0,0001",
/// "9 911 234"); outside, the digits times a power of ten, "1,5 × 10⁻⁶", "2 × 10¹⁵" (no-break
/// spaces around the ×). `digits` (clamped to 1 .. 17) significant digits, but a whole part
/// written out keeps every digit: with 4, 340.017 is "340", 0.99871 "0,9987" and 9911234.4
/// "9 911 234". No trailing zeros; zero, −0 included, is "0", a negative figure starts with
/// "-"; NaN and the infinities are "—".
std::string ScreenFigure(double value, int digits);

/// The same layout with the shortest digits that read back to `value`: a figure the table
/// holds exactly ("95,2", "100 000", "0,0001", "1,25 × 10⁻⁷").
std::string ExactScreenFigure(double value);

}  // namespace veliso
