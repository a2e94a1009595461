// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "keyed_jpeg.h"

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace veliso::pictures {

namespace {

constexpr int kBlock = 8;

int Clamp255(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

bool SameRgb(QRgb a, QRgb b) {
    return (a & 0xFFFFFFu) == (b & 0xFFFFFFu);
}

/// Baseline JPEG, quality 100, 4:4:4, from rows of YCbCr samples.
QByteArray EncodeYCbCr(const std::vector<unsigned char>& samples, int width, int height) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_YCbCr;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    for (int c = 0; c < 3; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    info.dct_method = JDCT_ISLOW;
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&samples[info.next_scanline * width * 3u]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray out(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return out;
}

}  // namespace

void RgbToYCbCr(int r, int g, int b, int& y, int& cb, int& cr) {
    y = Clamp255(0.299 * r + 0.587 * g + 0.114 * b);
    cb = Clamp255(128.0 - 0.168735892 * r - 0.331264108 * g + 0.5 * b);
    cr = Clamp255(128.0 + 0.5 * r - 0.418687589 * g - 0.081312411 * b);
}

KeyedJpegEncoder::KeyedJpegEncoder(QColor key) : key_(key) {
    // Try the triples around the forward conversion, nearest first, and keep the first one
    // that the decoder maps back onto the key.
    int y0 = 0;
    int cb0 = 0;
    int cr0 = 0;
    RgbToYCbCr(key.red(), key.green(), key.blue(), y0, cb0, cr0);
    std::vector<unsigned char> block(kBlock * kBlock * 3);
    for (int radius = 0; radius <= 4 && !found_; ++radius) {
        for (int dy = -radius; dy <= radius && !found_; ++dy) {
            for (int dcb = -radius; dcb <= radius && !found_; ++dcb) {
                for (int dcr = -radius; dcr <= radius && !found_; ++dcr) {
                    if (std::max({std::abs(dy), std::abs(dcb), std::abs(dcr)}) != radius) {
                        continue;
                    }
                    const int y = y0 + dy;
                    const int cb = cb0 + dcb;
                    const int cr = cr0 + dcr;
                    if (std::min({y, cb, cr}) < 0 || std::max({y, cb, cr}) > 255) {
                        continue;
                    }
                    for (int i = 0; i < kBlock * kBlock; ++i) {
                        block[i * 3] = static_cast<unsigned char>(y);
                        block[i * 3 + 1] = static_cast<unsigned char>(cb);
                        block[i * 3 + 2] = static_cast<unsigned char>(cr);
                    }
                    const QImage decoded =
                        QImage::fromData(EncodeYCbCr(block, kBlock, kBlock), "JPEG");
                    if (!decoded.isNull() && SameRgb(decoded.pixel(3, 3), key.rgb())) {
                        found_ = true;
                        keyY_ = y;
                        keyCb_ = cb;
                        keyCr_ = cr;
                    }
                }
            }
        }
    }
}

QByteArray KeyedJpegEncoder::Encode(const QImage& image) const {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    std::vector<unsigned char> samples(static_cast<size_t>(w) * h * 3);
    for (int row = 0; row < h; ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(row));
        for (int col = 0; col < w; ++col) {
            int y = 0;
            int cb = 0;
            int cr = 0;
            if (SameRgb(line[col], key_.rgb())) {
                y = keyY_;
                cb = keyCb_;
                cr = keyCr_;
            } else {
                RgbToYCbCr(qRed(line[col]), qGreen(line[col]), qBlue(line[col]), y, cb, cr);
            }
            unsigned char* out = &samples[(static_cast<size_t>(row) * w + col) * 3];
            out[0] = static_cast<unsigned char>(y);
            out[1] = static_cast<unsigned char>(cb);
            out[2] = static_cast<unsigned char>(cr);
        }
    }
    return EncodeYCbCr(samples, w, h);
}

bool KeyedJpegEncoder::EncodeChecked(const QImage& image, QByteArray& jpeg,
                                     QString& problem) const {
    if (!found_) {
        problem = QStringLiteral("no YCbCr triple decodes to the colour key");
        return false;
    }
    if (!KeyFollowsBlocks(image, key_)) {
        problem = QStringLiteral("the key regions do not cover whole 8 x 8 blocks");
        return false;
    }
    jpeg = Encode(image);
    const QImage decoded = QImage::fromData(jpeg, "JPEG");
    if (decoded.size() != image.size()) {
        problem = QStringLiteral("the JPEG does not decode to the picture's size");
        return false;
    }
    int missing = 0;
    int stray = 0;
    for (int row = 0; row < image.height(); ++row) {
        for (int col = 0; col < image.width(); ++col) {
            const bool wanted = SameRgb(image.pixel(col, row), key_.rgb());
            const bool got = SameRgb(decoded.pixel(col, row), key_.rgb());
            missing += wanted && !got;
            stray += got && !wanted;
        }
    }
    if (missing != 0 || stray != 0) {
        problem = QStringLiteral("%1 key pixels lost, %2 stray key pixels").arg(missing).arg(stray);
        return false;
    }
    return true;
}

bool KeyFollowsBlocks(const QImage& image, QColor key) {
    for (int by = 0; by < image.height(); by += kBlock) {
        for (int bx = 0; bx < image.width(); bx += kBlock) {
            int keyed = 0;
            int total = 0;
            for (int row = by; row < std::min(by + kBlock, image.height()); ++row) {
                for (int col = bx; col < std::min(bx + kBlock, image.width()); ++col) {
                    keyed += SameRgb(image.pixel(col, row), key.rgb());
                    ++total;
                }
            }
            if (keyed != 0 && keyed != total) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace veliso::pictures
