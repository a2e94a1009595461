// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QFont>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace veliso {

/// Metrics of one outline glyph in em units (1.0 = the font's em height), y up from the
/// baseline: the black box (ink bounds) size, its upper-left corner, and the advance.
struct TGlyphMetricsFloat {
    float gmfBlackBoxX = 0;
    float gmfBlackBoxY = 0;
    float gmfptGlyphOriginX = 0;
    float gmfptGlyphOriginY = 0;
    float gmfCellIncX = 0;
    float gmfCellIncY = 0;
};
static_assert(sizeof(TGlyphMetricsFloat) == 24);

/// A run of `GlyphCount` consecutive display lists starting at `ListBase`, one per character
/// code from `FirstGlyph`. Destroying the object deletes the lists, so it must be destroyed
/// while the context that built them is current.
class OpenGLOrvFontLists {
  public:
    OpenGLOrvFontLists(std::int32_t firstGlyph, std::int32_t glyphCount, std::uint32_t listBase)
        : FirstGlyph(firstGlyph), GlyphCount(glyphCount), ListBase(listBase) {}
    virtual ~OpenGLOrvFontLists();
    OpenGLOrvFontLists(const OpenGLOrvFontLists&) = delete;
    OpenGLOrvFontLists& operator=(const OpenGLOrvFontLists&) = delete;

    const std::int32_t FirstGlyph;
    const std::int32_t GlyphCount;
    const std::uint32_t ListBase;
};

/// Outline glyphs: each list draws its glyph in the x-y plane at the current origin (one em
/// per unit), extruded towards −z by `Extrusion`, then translates the origin by the advance.
/// Filled glyphs hold plain triangles only (front face normal +z, back face −z, side walls
/// with outward normals), which display lists and feedback mode handle safely.
class OpenGLOrvFont3D : public OpenGLOrvFontLists {
  public:
    using OpenGLOrvFontLists::OpenGLOrvFontLists;
    float Extrusion = 0;
    std::vector<TGlyphMetricsFloat> GlyphMetrics;
};

/// Bitmap glyphs: each list draws its glyph's bitmap at the current raster position and
/// advances the raster position by the glyph's advance in pixels.
class OpenGLOrvFont2D : public OpenGLOrvFontLists {
  public:
    using OpenGLOrvFontLists::OpenGLOrvFontLists;
};

/// The character a code of the ANSI (Windows-1252) set stands for; control codes map to
/// themselves.
char16_t AnsiToUnicode(std::uint8_t code);

/// Builds outline-glyph lists in the current context for the codes `first` .. `first + count
/// − 1` of `font` (its family and style; the size does not matter). Null when no lists can be
/// reserved. `filled` false draws each contour as a line loop in the z = 0 plane.
std::unique_ptr<OpenGLOrvFont3D> BuildOutlineFont(const QFont& font, std::int32_t first,
                                                  std::int32_t count, float maxDeviation,
                                                  float extrusion, bool filled);

/// Builds bitmap-glyph lists in the current context at the font's pixel size. Null when no
/// lists can be reserved.
std::unique_ptr<OpenGLOrvFont2D> BuildBitmapFont(const QFont& font, std::int32_t first,
                                                 std::int32_t count);

/// Calls one list of `font` per character of `text`, in order. Draws nothing when `font` is
/// null, `text` is empty or any character code lies outside the font's range. The list base
/// and the front-face orientation are the same afterwards as before.
void CallFontLists(const OpenGLOrvFontLists* font, std::string_view text);

}  // namespace veliso
