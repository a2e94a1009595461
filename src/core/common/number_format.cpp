#include "core/common/number_format.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace veliso {

std::string FormatGeneral(double value, int digits) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    // std::to_chars writes what printf's "%.15g" writes in the C locale, whatever locale the
    // process runs in: a French desktop would otherwise turn 0.5 into "0,5". 40 characters
    // hold the longest text of 17 digits ("-1.2345678901234567e-308").
    char buffer[40];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    const std::string_view text(buffer, error == std::errc() ? end - buffer : 0);
    // The labels write "-0" as "0".
    if (text == "-0") {
        return "0";
    }
    return std::string(text);
}

std::string FormatInteger(std::int64_t value) {
    return std::to_string(value);
}

}  // namespace veliso
