// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/text_excerpt.h"

#include <cstdint>
#include <cstdio>

namespace veliso {

namespace {

// Length of the UTF-8 sequence at `text[i]` and its code point, or 0 when the bytes there
// are not one (a stray continuation, a cut sequence, an overlong form, a surrogate).
std::size_t Sequence(std::string_view text, std::size_t i, std::uint32_t& code) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (c < 0x80) {
        code = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        length = 2;
        code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    static constexpr std::uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

// The escape that stands for `code` in a message, or nothing when it shows as itself.
std::string EscapeOf(std::uint32_t code) {
    char buffer[16];
    switch (code) {
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            break;
    }
    if (code < 0x20 || code == 0x7F) {
        std::snprintf(buffer, sizeof buffer, "\\x%02x", static_cast<unsigned>(code));
        return buffer;
    }
    // The C1 controls, and the line and paragraph separators a text box would break at.
    if ((code >= 0x80 && code <= 0x9F) || code == 0x2028 || code == 0x2029) {
        std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(code));
        return buffer;
    }
    return {};
}

}  // namespace

std::string Excerpt(std::string_view text, std::size_t limit) {
    // Pieces are taken while `kept` + their length stays within limit - 1, so that "…" fits;
    // if the whole text turns out to fit within `limit`, it is given whole instead.
    std::string out;
    std::size_t shown = 0;  // characters in `out`
    std::string tail;       // what follows the first limit - 1 characters, up to the limit
    std::size_t tailShown = 0;
    bool cut = false;
    std::size_t i = 0;
    while (i < text.size()) {
        std::uint32_t code = 0;
        std::size_t length = Sequence(text, i, code);
        std::string piece;
        std::size_t width = 1;
        if (length == 0) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(text[i])));
            piece = buffer;
            width = piece.size();
            length = 1;
        } else if (std::string escape = EscapeOf(code); !escape.empty()) {
            piece = std::move(escape);
            width = piece.size();
        } else {
            piece = std::string(text.substr(i, length));
        }
        i += length;
        if (tailShown == 0 && shown + width + 1 <= limit) {
            out += piece;
            shown += width;
            continue;
        }
        if (shown + tailShown + width > limit) {
            cut = true;
            break;
        }
        tail += piece;
        tailShown += width;
    }
    if (cut) {
        return out + "…";
    }
    return out + tail;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

}  // namespace veliso
