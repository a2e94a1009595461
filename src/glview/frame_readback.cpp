// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/frame_readback.h"

#include <GL/gl.h>

namespace veliso {

QImage ReadDrawBuffer(int width, int height) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull()) {
        return {};
    }
    glPushAttrib(GL_PIXEL_MODE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    GLint drawBuffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(static_cast<GLenum>(drawBuffer));
    // QImage rows start on 4-byte boundaries, as GL's default pack alignment does; every
    // other pack parameter back to its default so that rows land exactly in the image.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.bits());
    glPopClientAttrib();
    glPopAttrib();
    // GL's rows run bottom to top.
    return image.mirrored(false, true);
}

}  // namespace veliso
