// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/sphere_occlusion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

namespace veliso {
namespace {

/// Distance from the eye along the unit ray `d` at which it enters the ball of `radius`
/// about `c`; none when it misses the ball or the ball lies behind the eye.
std::optional<double> Entry(const double d[3], const double c[3], double radius) {
    const double along = d[0] * c[0] + d[1] * c[1] + d[2] * c[2];
    const double away2 = c[0] * c[0] + c[1] * c[1] + c[2] * c[2] - along * along;
    if (along <= 0.0 || away2 > radius * radius) {
        return std::nullopt;
    }
    return along - std::sqrt(radius * radius - away2);
}

/// The brute-force check of a sphere called hidden: at every pixel centre of the viewport
/// whose ray meets the sphere's outer ball (where its triangles could draw), some other
/// sphere's inner ball (which its triangles enclose) is entered nearer. Returns the pixels
/// where that fails.
int UncoveredPixels(const PerspectiveView& view, const std::vector<EyeSphere>& spheres,
                    std::size_t hidden) {
    int uncovered = 0;
    const int width = view.viewport[2];
    const int height = view.viewport[3];
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            // Window x = width / 2 * (1 + focalX * x / -z): the ray through the centre.
            double d[3] = {(2.0 * (px + 0.5) / width - 1.0) / view.focalX,
                           (2.0 * (py + 0.5) / height - 1.0) / view.focalY, -1.0};
            const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + 1.0);
            for (double& component : d) {
                component /= length;
            }
            const EyeSphere& self = spheres[hidden];
            const std::optional<double> own = Entry(d, self.centre, self.radius);
            if (!own) {
                continue;
            }
            bool covered = false;
            for (std::size_t k = 0; k < spheres.size() && !covered; ++k) {
                const std::optional<double> other =
                    k == hidden ? std::nullopt : Entry(d, spheres[k].centre, spheres[k].inradius);
                covered = other && *other < *own;
            }
            uncovered += covered ? 0 : 1;
        }
    }
    return uncovered;
}

TEST(SphereOcclusionProperty, EveryPixelOfAHiddenSphereIsCoveredNearer) {
    const char* seed = std::getenv("VELISO_RANDOM_SPHERE_SEED");
    std::mt19937 random(seed != nullptr ? std::strtoul(seed, nullptr, 10) : 20261207u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    SphereOcclusion occlusion;
    int hiddenSeen = 0;
    for (int trial = 0; trial < 60; ++trial) {
        PerspectiveView view;
        view.viewport[2] = 40 + static_cast<int>(160 * unit(random));
        view.viewport[3] = 40 + static_cast<int>(160 * unit(random));
        view.focalY = 1.0 / std::tan((10.0 + 25.0 * unit(random)) * M_PI / 180.0);
        view.focalX = view.focalY * view.viewport[3] / view.viewport[2];
        view.nearPlane = 0.1;
        view.farPlane = 20.0;
        // A cluster on the view axis, packed tight enough that spheres hide one another.
        std::vector<EyeSphere> spheres(3 + static_cast<int>(30 * unit(random)));
        const double depth = -2.0 - 4.0 * unit(random);
        const double spread = 0.3 + 0.8 * unit(random);
        for (EyeSphere& s : spheres) {
            s.centre[0] = spread * (unit(random) - 0.5);
            s.centre[1] = spread * (unit(random) - 0.5);
            s.centre[2] = depth + 2.0 * spread * (unit(random) - 0.5);
            s.radius = 0.08 + 0.3 * unit(random);
            s.inradius = s.radius * (0.95 + 0.05 * unit(random));
        }
        occlusion.Begin(view);
        for (const EyeSphere& s : spheres) {
            occlusion.AddOccluder(s);
        }
        for (std::size_t k = 0; k < spheres.size(); ++k) {
            if (occlusion.Classify(spheres[k]) != SphereOcclusion::Cover::kWhole) {
                continue;
            }
            ++hiddenSeen;
            EXPECT_EQ(UncoveredPixels(view, spheres, k), 0)
                << "trial " << trial << ", sphere " << k << " of " << spheres.size();
        }
    }
    EXPECT_GT(hiddenSeen, 20) << "the clusters must put the proof to work";
}

}  // namespace
}  // namespace veliso
