// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "support/headless_gl.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace veliso::test {

HeadlessGl::HeadlessGl(int width, int height, int samples) : target_(width, height, samples) {}

HeadlessGl::~HeadlessGl() = default;

void HeadlessGl::MakeCurrent() {
    target_.MakeCurrent();
}

void HeadlessGl::Read(int x, int y, int width, int height, std::uint8_t* rgb) const {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

std::vector<std::uint8_t> HeadlessGl::ReadRgb() const {
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width()) * height() * 3);
    Read(0, 0, width(), height(), pixels.data());
    return pixels;
}

void HeadlessGl::PixelAt(int x, int y, std::uint8_t rgb[3]) const {
    Read(x, y, 1, 1, rgb);
}

void HeadlessGl::Finish() const {
    glFinish();
}

bool HeadlessGl::SavePpm(const char* path) const {
    const std::vector<std::uint8_t> pixels = ReadRgb();
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", width(), height());
    const size_t row = static_cast<size_t>(width()) * 3;
    for (int y = height() - 1; y >= 0; --y) {
        std::fwrite(pixels.data() + row * y, 1, row, file);
    }
    std::fclose(file);
    return true;
}

}  // namespace veliso::test
