// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// Any double and digit count: FormatGeneral writes printf's text or refuses the count, the
// screen's figure is short, and the CSV writer's text has no exponent and reads back to the
// same double.

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "core/common/number_format.h"
#include "core/measure/measurement_csv.h"

#include "fuzz_check.h"

using namespace veliso;

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double) + 1) {
        return 0;
    }
    double value;
    std::memcpy(&value, data, sizeof value);
    const int digits = static_cast<std::int8_t>(data[sizeof value]);

    if (digits < 1 || digits > 17) {
        bool refused = false;
        try {
            FormatGeneral(value, digits);
        } catch (const std::invalid_argument&) {
            refused = true;
        }
        Check(refused);
    } else if (std::isfinite(value) && value != 0) {
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.*g", digits, value);
        Check(FormatGeneral(value, digits) == printed);
    }

    // The screen's figures: digits, a comma, no-break spaces, a power of ten in superscripts,
    // never a word; 23 digits, 6 group spaces and "× 10⁻³²⁴" at most.
    const std::string figure = ScreenFigure(value, digits);
    Check(!figure.empty() && figure.size() <= 64);
    Check(figure.find_first_of("eEinf") == std::string::npos);

    if (std::isfinite(value)) {
        // Plain digits, the longest a subnormal's.
        std::string text = DecimalComma(value);
        Check(text.size() <= 327 && text.find('e') == std::string::npos);
        for (char& c : text) {
            c = c == ',' ? '.' : c;
        }
        double back = 1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), back);
        Check(error == std::errc() && end == text.data() + text.size());
        Check(back == value && (value != 0 || !std::signbit(back)));
    }
    return 0;
}
