// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QImage>

namespace veliso {

/// Reads the lower-left `width` × `height` device pixels of the buffer being drawn (the back
/// buffer of a double-buffered surface, before the swap) with the current context, as an
/// RGB image whose first row is the top row on screen. Alpha is left out: blending with
/// (GL_SRC_ALPHA, GL_ONE) leaves partial alphas behind that mean nothing on screen. The
/// client pixel-store state and the read buffer are left as they were. A null image when
/// either size is zero or less.
QImage ReadDrawBuffer(int width, int height);

}  // namespace veliso
