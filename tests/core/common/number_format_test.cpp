#include "core/common/number_format.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace veliso
