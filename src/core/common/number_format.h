// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdint>
#include <string>

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

}  // namespace veliso
