// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

namespace veliso::testing {

/// Largest difference of the red, green and blue channels of two pixels (alpha ignored).
inline int ChannelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

/// Share (0 .. 1) of the pixels of `part` that differ by more than `tolerance` in some channel
/// from the pixels of `whole` at `offset`. Pixels of `part` for which `skip` returns true do not
/// count.
template <typename Skip>
double DifferingShare(const QImage& whole, const QImage& part, QPoint offset, int tolerance,
                      Skip skip) {
    long counted = 0;
    long differing = 0;
    for (int y = 0; y < part.height(); ++y) {
        for (int x = 0; x < part.width(); ++x) {
            const QRgb p = part.pixel(x, y);
            if (skip(p)) {
                continue;
            }
            ++counted;
            const QPoint at = offset + QPoint(x, y);
            if (!whole.rect().contains(at) || ChannelDistance(whole.pixel(at), p) > tolerance) {
                ++differing;
            }
        }
    }
    return counted == 0 ? 1.0 : static_cast<double>(differing) / counted;
}

inline double DifferingShare(const QImage& whole, const QImage& part, QPoint offset = {},
                             int tolerance = 0) {
    return DifferingShare(whole, part, offset, tolerance, [](QRgb) { return false; });
}

/// Where `part` appears in `whole`: the first offset at which at most `maxShare` of its
/// counted pixels differ by more than `tolerance` (pixels for which `skip` is true are not
/// compared). A sparse grid of sample pixels rules most offsets out before the full
/// comparison. Empty when it appears nowhere.
template <typename Skip>
std::optional<QPoint> Locate(const QImage& whole, const QImage& part, int tolerance,
                             double maxShare, Skip skip) {
    std::vector<QPoint> samples;
    const int stepX = std::max(1, part.width() / 23);
    const int stepY = std::max(1, part.height() / 19);
    for (int y = stepY / 2; y < part.height(); y += stepY) {
        for (int x = stepX / 2; x < part.width(); x += stepX) {
            if (!skip(part.pixel(x, y))) {
                samples.emplace_back(x, y);
            }
        }
    }
    // Allow as many stray samples as the share allows, plus one.
    const auto allowedMisses = static_cast<std::size_t>(maxShare * samples.size()) + 1;
    for (int oy = 0; oy + part.height() <= whole.height(); ++oy) {
        for (int ox = 0; ox + part.width() <= whole.width(); ++ox) {
            std::size_t misses = 0;
            for (const QPoint& s : samples) {
                if (ChannelDistance(whole.pixel(ox + s.x(), oy + s.y()), part.pixel(s)) >
                        tolerance &&
                    ++misses > allowedMisses) {
                    break;
                }
            }
            if (misses > allowedMisses) {
                continue;
            }
            if (DifferingShare(whole, part, QPoint(ox, oy), tolerance, skip) <= maxShare) {
                return QPoint(ox, oy);
            }
        }
    }
    return std::nullopt;
}

}  // namespace veliso::testing
