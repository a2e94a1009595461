// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <span>

#include "core/common/random_source.h"
#include "core/solid/solid_state.h"

namespace veliso {

/// A point in scene units.
struct SolidPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

/// One sphere of a structure: its lattice site, the three vibration offsets drawn for it
/// in this frame, and its radius (scene units). It is drawn at site + offset in the
/// current colour.
struct SolidSphere {
    SolidPoint site;
    SolidPoint offset;
    double radius = 0.0;
};

/// Receives the drawing of one structure as an ordered stream of commands. The renderer
/// turns each command into OpenGL calls; a test records them.
class SolidSink {
  public:
    virtual ~SolidSink() = default;
    /// Current colour, RGB 0 .. 1: the colour of the next lines and lit spheres.
    virtual void SetColour(double red, double green, double blue) = 0;
    virtual void SetLighting(bool enabled) = 0;
    /// Polygon mode of front and back faces: outlines when true, filled when false.
    virtual void SetPolygonLines(bool lines) = 0;
    /// Line width in pixels.
    virtual void SetLineWidth(float width) = 0;
    virtual void SetLineSmoothing(bool enabled) = 0;
    /// One batch of quadrilaterals, four vertices each (drawn as outlines in line mode).
    virtual void Quads(std::span<const SolidPoint> vertices) = 0;
    /// One batch of independent segments, two end points each.
    virtual void Segments(std::span<const SolidPoint> ends) = 0;
    /// One closed loop through the vertices.
    virtual void LineLoop(std::span<const SolidPoint> vertices) = 0;
    /// One filled sphere, with its own saved matrix.
    virtual void Sphere(const SolidSphere& sphere) = 0;
};

/// Vibration amplitude per kelvin: a = T * 7.326007326007326e-6 scene units.
inline constexpr double kSolidAmplitudePerKelvin = 7.326007326007326e-6;

/// Colour of the small particles of the face-centred models and of the cell lines.
inline constexpr SolidPoint kSolidSmallColour{0.7, 0.7, 0.8};
inline constexpr SolidPoint kSolidLineColour{0.8, 0.8, 0.8};

/// Sizes derived from the amplitude a once per frame, each computed in extended precision
/// and stored as a double.
struct SolidExtent {
    /// H = 3a + 0.8: half edge of every drawn cell and bound of every walk.
    double halfExtent = 0.8;
    /// K = 0.4 + a: lattice constant of the crystals, which grows with temperature.
    double latticeStep = 0.4;
};

SolidExtent ComputeSolidExtent(double amplitude);

/// Visits -H, -H + s, -H + s + s, ... (a running sum in doubles) while the value is <= H.
template <class Visit>
void WalkSites(double halfExtent, double step, Visit&& visit) {
    for (double value = -halfExtent; value <= halfExtent; value = value + step) {
        visit(value);
    }
}

/// One vibration offset: r from the 15-bit output, offset (5 - r mod 11) * a, one of
/// -5a, -4a, ..., 5a.
double VibrationOffset(RandomSource& random, double amplitude);

/// Describes the selected structure of `solid` into `sink`: lines at their undisplaced
/// positions, then the spheres, each displaced by three fresh vibration offsets drawn in
/// the order z, y, x.
void DescribeSolidStructure(const SolidState& solid, const SolidExtent& extent,
                            RandomSource& random, SolidSink& sink);

/// The random draws of one frame of `solid` without drawing it: the vibration offsets that
/// DescribeSolidStructure draws, in the same order, so that the shared source ends where a
/// drawn frame would leave it.
void DrawSolidVibration(const SolidState& solid, RandomSource& random);

/// True when the spheres of `solid` move from one frame to the next: at any amplitude but
/// zero (at 0 K every offset is a multiple of 0).
bool SolidVibrates(const SolidState& solid);

}  // namespace veliso
