#include "core/common/number_format.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace veliso {

std::string FormatGeneral(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    // The labels write "-0" as "0".
    if (std::string_view(buffer) == "-0") {
        return "0";
    }
    return std::string(buffer);
}

std::string FormatInteger(std::int64_t value) { return std::to_string(value); }

}  // namespace veliso
