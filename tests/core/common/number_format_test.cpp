// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace veliso {
namespace {

TEST(NumberFormat, GeneralFormatOfTheValueLabels) {
    EXPECT_EQ(FormatGeneral(101325.0), "101325");
    EXPECT_EQ(FormatGeneral(298.0), "298");
    EXPECT_EQ(FormatGeneral(0.5), "0.5");
    EXPECT_EQ(FormatGeneral(1700085.0), "1700085");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");  // 15 significant digits at most
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatInteger(-42), "-42");
}

TEST(NumberFormat, NonFiniteValuesAndDigitCountsOutsideTheRange) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {{std::nan(""), "nan"},
                 {-std::nan(""), "nan"},
                 {HUGE_VAL, "inf"},
                 {-HUGE_VAL, "-inf"},
                 {-0.0, "0"}};
    for (const Case& c : cases) {
        for (int digits : {1, 15, 17}) {
            EXPECT_EQ(FormatGeneral(c.value, digits), c.text);
        }
    }
    for (int digits : {0, -1, 18, 34}) {
        EXPECT_THROW(FormatGeneral(1.0, digits), std::invalid_argument) << digits;
    }
}

// What the measurement window shows: grouped digits where they fit, a power of ten beyond.
TEST(NumberFormat, ScreenFiguresAsAStudentReadsThem) {
    const std::string nb = "\u00a0";
    const std::string times = nb + "×" + nb + "10";
    struct Case {
        double value;
        int digits;  // 0: ExactScreenFigure
        std::string text;
    } cases[] = {
        {100000, 4, "100" + nb + "000"},                // once "1 × 10⁵"
        {9911234.4, 4, "9" + nb + "911" + nb + "234"},  // a whole part keeps its units
        {12345.6, 4, "12" + nb + "346"},
        {1234.5, 4, "1" + nb + "234"},  // a tie goes to the even digit
        {340.017, 4, "340"},
        {0.99871, 4, "0,9987"},
        {-1234.5678, 6, "-1" + nb + "234,57"},
        {1.2e9, 4, "1" + nb + "200" + nb + "000" + nb + "000"},
        {0.0001, 4, "0,0001"},
        {0.000099996, 4, "0,0001"},  // rounded into the plain range
        {0.000099996, 5, "9,9996" + times + "⁻⁵"},
        {999999999999.7, 4, "1" + times + "¹²"},  // rounded out of it
        {2.5e15, 4, "2,5" + times + "¹⁵"},
        {0.123, -5, "0,1"},  // at least one digit
        {-0.0, 4, "0"},
        {std::nan(""), 4, "—"},
        {-HUGE_VAL, 4, "—"},
        {100000, 0, "100" + nb + "000"},
        {95.2, 0, "95,2"},
        {0.1 + 0.2, 0, "0,30000000000000004"},
        {1.25e-7, 0, "1,25" + times + "⁻⁷"},
        {DBL_TRUE_MIN, 0, "5" + times + "⁻³²⁴"},
        {-DBL_MAX, 0, "-1,7976931348623157" + times + "³⁰⁸"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.digits == 0 ? ExactScreenFigure(c.value) : ScreenFigure(c.value, c.digits),
                  c.text)
            << c.value << " " << c.digits;
    }
}

/// printf's "%.<digits>g" in the current locale; in the C locale, the reference the labels
/// follow.
std::string PrintfG(double value, int digits = 15) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    return buffer;
}

/// Every binary exponent, with random mantissas and signs: `count` random bit patterns, the
/// finite ones appended to `values`.
void AppendRandomDoubles(std::vector<double>& values, std::uint64_t seed, int count) {
    std::mt19937_64 random(seed);
    for (int n = 0; n < count; ++n) {
        double value;
        const std::uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            values.push_back(value);
        }
    }
}

/// Fails the test for each value whose FormatGeneral at `digits` differs from printf's text
/// in the C locale ("-0" written "0"), showing the first ten.
void ExpectPrintfsText(const std::vector<double>& values, int digits) {
    int differing = 0;
    for (double value : values) {
        const std::string expected = PrintfG(value, digits) == "-0" ? "0" : PrintfG(value, digits);
        if (FormatGeneral(value, digits) != expected && ++differing <= 10) {
            ADD_FAILURE() << FormatGeneral(value, digits) << " instead of " << expected << " at "
                          << digits << " digits";
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(NumberFormat, GeneralFormatIsPrintfsInTheCLocaleForEveryKindOfValue) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    // Where the format switches to exponents, rounds at the 15th digit, or meets the ends of
    // the double range; then every integer, half and hundredth of the sliders' ranges.
    std::vector<double> values = {0.0,     -0.0,    1e15,      1e16,      999999999999999.4,
                                  0.0001,  0.00001, 1e-300,    DBL_MAX,   DBL_TRUE_MIN,
                                  DBL_MIN, 2.675,   1.0 / 3.0, 0.1 + 0.2, 99999.99999999999};
    for (int i = -1000; i <= 1000; ++i) {
        values.push_back(i);
        values.push_back(i + 0.5);
        values.push_back(i * 0.01);
    }
    AppendRandomDoubles(values, 20260612, 200000);
    ExpectPrintfsText(values, 15);
    // The default precision is the labels' 15 digits.
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), FormatGeneral(1.0 / 3.0, 15));
}

TEST(NumberFormat, FewerDigitsArePrintfsPrecisionToo) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    std::vector<double> values = {0.0, 340.017, 0.99871, 1.5e-5, 9.5, 0.95, 99.95, 1e21, DBL_MAX};
    AppendRandomDoubles(values, 20261207, 20000);
    for (int digits = 1; digits <= 17; ++digits) {
        ExpectPrintfsText(values, digits);
    }
}

/// A French locale built for the test in a folder of its own (glibc reads LOCPATH at every
/// setlocale), so the test needs no locale installed on the machine; it needs the locale
/// sources of Debian's `locales` package.
class FrenchLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[] = "/tmp/veliso-locale-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        const std::string build =
            "localedef -i fr_FR -f UTF-8 " + folder_ + "/fr_FR.UTF-8 >/dev/null 2>&1";
        // localedef warns about some sources and exits 1 while still writing the locale: its
        // status says nothing, the setlocale below does.
        [[maybe_unused]] const int status = std::system(build.c_str());
        const char* before = std::getenv("LOCPATH");
        hadLocpath_ = before != nullptr;
        oldLocpath_ = before != nullptr ? before : "";
        setenv("LOCPATH", folder_.c_str(), 1);
        ASSERT_NE(std::setlocale(LC_ALL, "fr_FR.UTF-8"), nullptr)
            << "no French locale: localedef and the locales package are needed";
        // The locale is in force: the C library itself writes a decimal comma now.
        ASSERT_EQ(PrintfG(0.5), "0,5");
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        if (hadLocpath_) {
            setenv("LOCPATH", oldLocpath_.c_str(), 1);
        } else {
            unsetenv("LOCPATH");
        }
        [[maybe_unused]] const int status = std::system(("rm -rf " + folder_).c_str());
    }

  private:
    std::string folder_;
    std::string oldLocpath_;
    bool hadLocpath_ = false;
};

TEST_F(FrenchLocale, GeneralFormatKeepsTheDecimalPoint) {
    EXPECT_EQ(FormatGeneral(0.5), "0.5");
    EXPECT_EQ(FormatGeneral(-12.75), "-12.75");
    EXPECT_EQ(FormatGeneral(1.5e-7), "1.5e-07");
    EXPECT_EQ(FormatInteger(1234567), "1234567");  // no thousands separator either
}

}  // namespace
}  // namespace veliso
