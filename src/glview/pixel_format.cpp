// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/pixel_format.h"

#include <QSurfaceFormat>

#include <algorithm>
#include <utility>

namespace veliso {

std::uint32_t DescriptorFlags(TPFDFlags flags) {
    // Members with a descriptor bit of their own; f_PFD_DOUBLEBUFFER has none.
    static constexpr std::pair<TPFDFlag, std::uint32_t> kOwnBits[] = {
        {f_PFD_DRAW_TO_WINDOW, pfd::DRAW_TO_WINDOW},
        {f_PFD_DRAW_TO_BITMAP, pfd::DRAW_TO_BITMAP},
        {f_PFD_SUPPORT_OPENGL, pfd::SUPPORT_OPENGL},
        {f_PFD_GENERIC_ACCELERATED, pfd::GENERIC_ACCELERATED},
        {f_PFD_GENERIC_FORMAT, pfd::GENERIC_FORMAT},
        {f_PFD_NEED_PALETTE, pfd::NEED_PALETTE},
        {f_PFD_NEED_SYSTEM_PALETTE, pfd::NEED_SYSTEM_PALETTE},
        {f_PFD_STEREO, pfd::STEREO},
        {f_PFD_SWAP_LAYER_BUFFERS, pfd::SWAP_LAYER_BUFFERS},
    };
    std::uint32_t result = flags.testFlag(f_PFD_SUPPORT_GDI) ? pfd::SUPPORT_GDI : pfd::DOUBLEBUFFER;
    for (const auto& [member, bit] : kOwnBits) {
        if (flags.testFlag(member)) {
            result |= bit;
        }
    }
    return result;
}

TPFDFlags ResolvePFDFlags(TPFDFlags current, TPFDFlags requested) {
    const bool gdi = requested.testFlag(f_PFD_SUPPORT_GDI);
    const bool doubleBuffer = requested.testFlag(f_PFD_DOUBLEBUFFER);
    if (gdi && doubleBuffer) {
        requested &= ~TPFDFlags(current.testFlag(f_PFD_DOUBLEBUFFER) ? f_PFD_DOUBLEBUFFER
                                                                     : f_PFD_SUPPORT_GDI);
    } else if (!gdi && !doubleBuffer) {
        requested |= current.testFlag(f_PFD_DOUBLEBUFFER) ? f_PFD_SUPPORT_GDI : f_PFD_DOUBLEBUFFER;
    }
    return requested;
}

std::vector<TPaletteEntry> BuildPalette(const TPixelFormatDescriptor& format) {
    std::vector<TPaletteEntry> entries;
    if (format.cColorBits == 0 || format.cColorBits > 8) {
        return entries;
    }
    const auto channel = [](unsigned i, unsigned bits, unsigned shift) -> std::uint8_t {
        if (bits == 0) {
            return 0;
        }
        const unsigned mask = (1u << bits) - 1u;
        return static_cast<std::uint8_t>(((i >> shift) & mask) * 255u / mask);
    };
    const unsigned n = 1u << format.cColorBits;
    entries.resize(n);
    for (unsigned i = 0; i < n; ++i) {
        entries[i].peRed = channel(i, format.cRedBits, format.cRedShift);
        entries[i].peGreen = channel(i, format.cGreenBits, format.cGreenShift);
        entries[i].peBlue = channel(i, format.cBlueBits, format.cBlueShift);
        entries[i].peFlags = 0;
    }
    return entries;
}

bool SurfaceFormatFromDescriptor(const TPixelFormatDescriptor& requested, QSurfaceFormat& format,
                                 QString& why) {
    if (requested.iPixelType != pfd::TYPE_RGBA) {
        why = QStringLiteral("colour-index pixel formats are not available on this display.");
        return false;
    }
    format = QSurfaceFormat();
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    // Colour bits count red, green and blue only: 24 and more are 8 bits each, fewer are
    // shared out (16 → 5-6-5). Alpha only when asked for by its own count: an alpha channel
    // in the window's visual would let a compositing desktop show through wherever blending
    // leaves destination alpha below 1.
    const int bits = requested.cColorBits;
    if (bits >= 24) {
        format.setRedBufferSize(8);
        format.setGreenBufferSize(8);
        format.setBlueBufferSize(8);
    } else if (bits > 0) {
        const int each = bits / 3;
        format.setRedBufferSize(each);
        format.setGreenBufferSize(bits - 2 * each);
        format.setBlueBufferSize(each);
    }
    if (requested.cAlphaBits > 0) {
        format.setAlphaBufferSize(requested.cAlphaBits);
    }
    format.setDepthBufferSize(requested.cDepthBits);
    format.setStencilBufferSize(requested.cStencilBits);
    format.setStereo((requested.dwFlags & pfd::STEREO) != 0);
    format.setSwapBehavior((requested.dwFlags & pfd::DOUBLEBUFFER) != 0
                               ? QSurfaceFormat::DoubleBuffer
                               : QSurfaceFormat::SingleBuffer);
    // Accumulation bits have no place in a surface format; the context's actual buffer is
    // read back once it is current.
    return true;
}

TPixelFormatDescriptor DescriptorFromSurfaceFormat(const QSurfaceFormat& format, int accumBits) {
    TPixelFormatDescriptor d;
    d.dwFlags = pfd::DRAW_TO_WINDOW | pfd::SUPPORT_OPENGL;
    if (format.swapBehavior() != QSurfaceFormat::SingleBuffer) {
        d.dwFlags |= pfd::DOUBLEBUFFER;
    }
    if (format.stereo()) {
        d.dwFlags |= pfd::STEREO;
    }
    d.iPixelType = pfd::TYPE_RGBA;
    const auto bits = [](int b) { return static_cast<std::uint8_t>(std::clamp(b, 0, 255)); };
    d.cBlueBits = bits(format.blueBufferSize());
    d.cBlueShift = 0;
    d.cGreenBits = bits(format.greenBufferSize());
    d.cGreenShift = d.cBlueBits;
    d.cRedBits = bits(format.redBufferSize());
    d.cRedShift = bits(d.cGreenShift + d.cGreenBits);
    d.cAlphaBits = bits(format.alphaBufferSize());
    d.cAlphaShift = d.cAlphaBits > 0 ? bits(d.cRedShift + d.cRedBits) : 0;
    d.cColorBits = bits(d.cRedBits + d.cGreenBits + d.cBlueBits);  // alpha not included
    d.cAccumBits = bits(accumBits);
    d.cDepthBits = bits(format.depthBufferSize());
    d.cStencilBits = bits(format.stencilBufferSize());
    if (d.cColorBits > 0 && d.cColorBits <= 8) {
        d.dwFlags |= pfd::NEED_PALETTE;
    }
    return d;
}

}  // namespace veliso
