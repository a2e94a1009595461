// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

// The pixel-format descriptor the view is configured with, and its arithmetic: what it asks
// of the platform as a surface format, and the obtained format described back.

#include <QFlags>
#include <QString>

#include <cstdint>
#include <vector>

class QSurfaceFormat;

namespace veliso {

/// Requested pixel type: the descriptor gets 0 for RGBA, 1 for colour index.
enum class TPFDPixelTypes { f_PFD_TYPE_RGBA = 0, f_PFD_TYPE_COLORINDEX = 1 };

/// Members of the requested pixel-format flag set, one bit per member position (0 .. 10).
enum TPFDFlag : unsigned {
    f_PFD_DRAW_TO_WINDOW = 1u << 0,
    f_PFD_DRAW_TO_BITMAP = 1u << 1,
    f_PFD_SUPPORT_GDI = 1u << 2,
    f_PFD_SUPPORT_OPENGL = 1u << 3,
    f_PFD_GENERIC_ACCELERATED = 1u << 4,
    f_PFD_GENERIC_FORMAT = 1u << 5,
    f_PFD_NEED_PALETTE = 1u << 6,
    f_PFD_NEED_SYSTEM_PALETTE = 1u << 7,
    f_PFD_DOUBLEBUFFER = 1u << 8,
    f_PFD_STEREO = 1u << 9,
    f_PFD_SWAP_LAYER_BUFFERS = 1u << 10,
};
Q_DECLARE_FLAGS(TPFDFlags, TPFDFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPFDFlags)

/// Descriptor flag values (the classic 32-bit pixel-format descriptor bits).
namespace pfd {
inline constexpr std::uint32_t DOUBLEBUFFER = 0x00000001;
inline constexpr std::uint32_t STEREO = 0x00000002;
inline constexpr std::uint32_t DRAW_TO_WINDOW = 0x00000004;
inline constexpr std::uint32_t DRAW_TO_BITMAP = 0x00000008;
inline constexpr std::uint32_t SUPPORT_GDI = 0x00000010;
inline constexpr std::uint32_t SUPPORT_OPENGL = 0x00000020;
inline constexpr std::uint32_t GENERIC_FORMAT = 0x00000040;
inline constexpr std::uint32_t NEED_PALETTE = 0x00000080;
inline constexpr std::uint32_t NEED_SYSTEM_PALETTE = 0x00000100;
inline constexpr std::uint32_t SWAP_LAYER_BUFFERS = 0x00000800;
inline constexpr std::uint32_t GENERIC_ACCELERATED = 0x00001000;
inline constexpr std::uint8_t TYPE_RGBA = 0;
inline constexpr std::uint8_t TYPE_COLORINDEX = 1;
}  // namespace pfd

/// The 40-byte pixel-format descriptor: what the panel asks for, and (in `PixelFormat`) what
/// the created context actually has. Bit counts are per pixel; shifts are bit positions of
/// each channel within a packed pixel.
struct TPixelFormatDescriptor {
    std::uint16_t nSize = 40;
    std::uint16_t nVersion = 1;
    std::uint32_t dwFlags = 0;
    std::uint8_t iPixelType = 0;
    std::uint8_t cColorBits = 0;
    std::uint8_t cRedBits = 0;
    std::uint8_t cRedShift = 0;
    std::uint8_t cGreenBits = 0;
    std::uint8_t cGreenShift = 0;
    std::uint8_t cBlueBits = 0;
    std::uint8_t cBlueShift = 0;
    std::uint8_t cAlphaBits = 0;
    std::uint8_t cAlphaShift = 0;
    std::uint8_t cAccumBits = 0;
    std::uint8_t cAccumRedBits = 0;
    std::uint8_t cAccumGreenBits = 0;
    std::uint8_t cAccumBlueBits = 0;
    std::uint8_t cAccumAlphaBits = 0;
    std::uint8_t cDepthBits = 0;
    std::uint8_t cStencilBits = 0;
    std::uint8_t cAuxBuffers = 0;
    std::uint8_t iLayerType = 0;
    std::uint8_t bReserved = 0;
    std::uint32_t dwLayerMask = 0;
    std::uint32_t dwVisibleMask = 0;
    std::uint32_t dwDamageMask = 0;
};
static_assert(sizeof(TPixelFormatDescriptor) == 40);

/// One logical-palette entry (8-bit channels, flags 0).
struct TPaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

/// Entries of the palette for a palette-based pixel format: 2^cColorBits entries, entry i has
/// red = ((i >> cRedShift) & (2^cRedBits - 1)) * 255 / (2^cRedBits - 1) in integer arithmetic,
/// green and blue likewise. A channel with 0 bits is 0. Empty when the format has more than
/// 8 colour bits (no palette device has more than 256 entries) or no colour bits at all.
std::vector<TPaletteEntry> BuildPalette(const TPixelFormatDescriptor& format);

/// The descriptor flags requested by a flag set: each member's own bit, except that double
/// buffering is requested exactly when `f_PFD_SUPPORT_GDI` is absent.
std::uint32_t DescriptorFlags(TPFDFlags flags);

/// The exclusivity rule of `f_PFD_SUPPORT_GDI` and `f_PFD_DOUBLEBUFFER`, given the set held
/// now and the set being assigned: with both, the one already held is dropped; with neither,
/// the one not held is added. The result always holds exactly one of the two.
TPFDFlags ResolvePFDFlags(TPFDFlags current, TPFDFlags requested);

/// The surface format asked of the platform for a requested descriptor: red, green and blue
/// from the colour bits (24 or more → 8 each), alpha only from the alpha bits, depth and
/// stencil bits, stereo, and double buffering exactly when the descriptor asks for it. False
/// (and `why` filled) when the platform cannot honour the descriptor: colour-index pixels.
/// Accumulation bits have no place in a surface format; the obtained buffer is read back.
bool SurfaceFormatFromDescriptor(const TPixelFormatDescriptor& requested, QSurfaceFormat& format,
                                 QString& why);

/// Describes an obtained surface format as a descriptor (blue in the low bits, then green,
/// red, alpha; colour bits without alpha). `accumBits` is what the created context reports for its
/// accumulation buffer.
TPixelFormatDescriptor DescriptorFromSurfaceFormat(const QSurfaceFormat& format, int accumBits);

}  // namespace veliso
