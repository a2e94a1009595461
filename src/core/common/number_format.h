#pragma once

#include <cstdint>
#include <string>

namespace veliso {

/// General floating-point format of the value labels: up to `digits` (1 .. 17, 15 for the
/// labels) significant digits, no trailing zeros, whole numbers without decimals ("101325",
/// "298", "0.5"); exactly the text of printf's "%.15g" in the C locale, with a point for
/// decimals whatever the locale.
std::string FormatGeneral(double value, int digits = 15);

/// Plain decimal integer ("100", "-3").
std::string FormatInteger(std::int64_t value);

}  // namespace veliso
