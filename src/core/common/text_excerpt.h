// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veliso {

/// How many characters of a user's text a one-line message quotes at most.
inline constexpr std::size_t kExcerptCharacters = 60;

/// `text` (UTF-8) made fit to quote inside a one-line message: line breaks, tabs and the
/// other control characters are written as escapes ("\n", "\r", "\t", "\x01", "\x7f",
/// "\u0085", "\u2028"), a byte that is not UTF-8 as "\xE9"; when the result would be longer
/// than `limit` characters, it keeps the first `limit` - 1 and ends with "…". Reads no
/// further into `text` than it needs, so a quote of a huge field costs no more than a short
/// one.
std::string Excerpt(std::string_view text, std::size_t limit = kExcerptCharacters);

/// Number of characters (code points) of UTF-8 `text`: bytes that do not start one are
/// not counted.
std::size_t CharacterCount(std::string_view text);

}  // namespace veliso
