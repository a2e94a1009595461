// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/text_excerpt.h"

#include <gtest/gtest.h>

namespace veliso {
namespace {

TEST(Excerpt, OneLineOfAtMostTheLimit) {
    struct Case {
        std::string text;
        std::size_t limit;
        std::string expected;
    } cases[] = {
        {"Heure", 60, "Heure"},
        {"a\nb\r\tc\x01\x7f", 60, "a\\nb\\r\\tc\\x01\\x7f"},
        {"\xC2\x85|\xE2\x80\xA8|é", 60, "\\u0085|\\u2028|é"},  // NEL, line separator
        {"\xE9t\xC3", 60, "\\xE9t\\xC3"},                       // Latin-1, a cut sequence
        {"abcdef", 6, "abcdef"},                                 // exactly the limit: whole
        {"abcdefg", 6, "abcde…"},
        {"ééééééé", 6, "ééééé…"},  // characters, not bytes
        {"abcd\nef", 6, "abcd…"},  // an escape is never cut in two
        {std::string(1 << 20, 'x'), 60, std::string(59, 'x') + "…"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Excerpt(c.text, c.limit), c.expected);
    }
    EXPECT_EQ(CharacterCount("N° é"), 4u);
}

}  // namespace
}  // namespace veliso
