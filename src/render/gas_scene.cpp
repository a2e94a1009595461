// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/gas_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "render/sphere_batch.h"
#include "render/view_setup.h"

namespace veliso {

namespace {

/// Width of one speed class on the back wall, per unit of L: 100 classes span 2 L.
constexpr double kClassWidth = 0.02;
/// Height on the back wall, per unit of L, of a distribution value or particle fraction of 1.
constexpr double kFractionScale = 4.3;
/// Height on the right wall, per unit of L, of a speed of 1 scene unit per step.
constexpr double kSpeedScale = 9.3;
/// Scene units per text unit of the captions.
constexpr double kCaptionScale = 0.2;

constexpr double kCurveOffset = 0.001;
constexpr double kHistogramOffset = 0.005;
constexpr double kSpeedBarOffset = 0.001;
/// Width in pixels of the contrast mode's lines, and how far in front of its graph a rim
/// lies, so that it wins the depth test.
constexpr float kThickLine = 3.0f;
constexpr double kRimOffset = 0.002;

/// Slots 0 .. count - 1, kept within the arrays whatever the record holds.
int ParticlesInPlay(const GasState& gas) {
    return std::clamp<int>(gas.count, 0, kGasSlots);
}

/// Caption placement shared by the three graphs: near the top of the back wall, starting at
/// its left edge, in front of it.
void DrawCaption(double l, const char* caption, TextWriter& text) {
    glTranslated(-l, l - 0.2, 0.01 - l);
    glScaled(kCaptionScale, kCaptionScale, kCaptionScale);
    text.DrawText3D(caption);
}

void DrawBackWallCaption(double l, TextWriter& text) {
    glPushMatrix();
    DrawCaption(l, " N en f ( v )", text);
    glPopMatrix();
}

void DrawBox(double l) {
    glBegin(GL_QUADS);
    // Floor and ceiling; the front side of every face is its inner side.
    glColor4d(0.24, 0.3, 0.3, 0.5);
    glVertex3d(l, -l, -l);
    glVertex3d(-l, -l, -l);
    glVertex3d(-l, -l, l);
    glVertex3d(l, -l, l);
    glVertex3d(l, l, -l);
    glVertex3d(l, l, l);
    glVertex3d(-l, l, l);
    glVertex3d(-l, l, -l);
    // Left and right.
    glColor4d(0.16, 0.2, 0.2, 0.5);
    glVertex3d(-l, -l, -l);
    glVertex3d(-l, l, -l);
    glVertex3d(-l, l, l);
    glVertex3d(-l, -l, l);
    glVertex3d(l, -l, -l);
    glVertex3d(l, -l, l);
    glVertex3d(l, l, l);
    glVertex3d(l, l, -l);
    // Back and front.
    glColor4d(0.2, 0.25, 0.25, 0.5);
    glVertex3d(-l, -l, -l);
    glVertex3d(l, -l, -l);
    glVertex3d(l, l, -l);
    glVertex3d(-l, l, -l);
    glVertex3d(-l, -l, l);
    glVertex3d(-l, l, l);
    glVertex3d(l, l, l);
    glVertex3d(l, -l, l);
    glEnd();
}

void DrawParticles(const GasState& gas, const SphereDetail& detail) {
    const SphereQuadric quadric = NewSphereQuadric();
    // Set on every path: each gas frame ends lit, opaque and depth-tested.
    ApplySpherePassState();
    if (quadric == nullptr) {
        return;  // out of memory: this frame shows no particles
    }
    SphereBatch spheres(quadric.get(), detail.slices, detail.stacks);
    spheres.SetColour(gas.red, gas.green, gas.blue);
    const int n = ParticlesInPlay(gas);
    for (int p = 0; p < n; ++p) {
        spheres.Add(gas.x[p], gas.y[p], gas.z[p], gas.radius);
    }
    spheres.Flush();
}

/// The particles in play per speed class, from their speedTable entries.
void CountSpeedClasses(const GasState& gas, int n, int (&counters)[kGasClasses]) {
    std::fill(std::begin(counters), std::end(counters), 0);
    for (int p = 0; p < n; ++p) {
        // Speed 0.01 v of class k (v = 0.2 (k + 1)) gives 5 v - 0.5 = k + 0.5.
        const int k = static_cast<int>(gas.speedTable[p] / 0.002 - 0.5);
        if (k >= 0 && k < kGasClasses) {
            ++counters[k];
        }
    }
}

/// The contrast mode's rims: the top edge of each graph as a thick line.
void RimSpeedCurve(const GasState& gas) {
    const double l = gas.halfEdge;
    glColor3d(1.0, 0.45, 0.45);
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k < kGasClasses; ++k) {
        const double x = -l + (k + 0.5) * kClassWidth * l;
        if (x >= l) {
            break;
        }
        glVertex3d(x, kFractionScale * l * gas.mbCurve[k] - l, kCurveOffset + kRimOffset - l);
    }
    glEnd();
}

void RimSpeedHistogram(const GasState& gas) {
    const double l = gas.halfEdge;
    const int n = ParticlesInPlay(gas);
    if (n == 0) {
        return;
    }
    int counters[kGasClasses];
    CountSpeedClasses(gas, n, counters);
    glColor3d(0.35, 1.0, 0.35);
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k < kGasClasses; ++k) {
        const double h = kFractionScale * l * counters[k] / n - l;
        glVertex3d(k * kClassWidth * l - l, h, kHistogramOffset + kRimOffset - l);
        glVertex3d((k + 1) * kClassWidth * l - l, h, kHistogramOffset + kRimOffset - l);
    }
    glEnd();
}

void RimSpeedBars(const GasState& gas) {
    const double l = gas.halfEdge;
    const int n = ParticlesInPlay(gas);
    if (n == 0) {
        return;
    }
    const double x = l - kSpeedBarOffset - kRimOffset;
    const double w = 2.0 * l / n;
    glColor3d(0.45, 0.8, 1.0);
    glBegin(GL_LINE_STRIP);
    double z0 = -l;
    for (int p = 0; p < n; ++p) {
        const double speed =
            std::sqrt(gas.vx[p] * gas.vx[p] + gas.vy[p] * gas.vy[p] + gas.vz[p] * gas.vz[p]);
        const double h = kSpeedScale * l * speed - l;
        glVertex3d(x, h, z0);
        glVertex3d(x, h, z0 + w);
        z0 += w;
    }
    glEnd();
}

}  // namespace

void DrawSpeedCurve(const GasState& gas) {
    const double l = gas.halfEdge;
    const double z = kCurveOffset - l;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor3d(0.9, 0.0, 0.0);
    // The area between the floor line and the curve, from the corner (-L, -L) through every
    // curve point and back along the floor. It is not convex, so it goes out as a strip of
    // triangles, each curve point paired with its foot on the floor.
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3d(-l, -l, z);
    for (int k = 0; k < kGasClasses; ++k) {
        const double x = -l + (k + 0.5) * kClassWidth * l;
        if (x >= l) {
            break;
        }
        glVertex3d(x, -l, z);
        glVertex3d(x, kFractionScale * l * gas.mbCurve[k] - l, z);
    }
    glEnd();
}

void DrawSpeedHistogram(const GasState& gas) {
    const double l = gas.halfEdge;
    const double z = kHistogramOffset - l;
    const int n = ParticlesInPlay(gas);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (n == 0) {
        return;
    }
    int counters[kGasClasses];
    CountSpeedClasses(gas, n, counters);
    for (int k = 0; k < kGasClasses; ++k) {
        const double x0 = k * kClassWidth * l - l;
        const double x1 = (k + 1) * kClassWidth * l - l;
        const double h = kFractionScale * l * counters[k] / n - l;
        glBegin(GL_POLYGON);
        glColor3d(0.0, 0.7, 0.0);
        glVertex3d(x0, -l, z);
        glVertex3d(x0, h, z);
        glColor3d(0.0, 0.5, 0.0);
        glVertex3d(x1, h, z);
        glVertex3d(x1, -l, z);
        glEnd();
    }
}

void DrawSpeedBars(const GasState& gas) {
    const double l = gas.halfEdge;
    const double x = l - kSpeedBarOffset;
    const int n = ParticlesInPlay(gas);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (n == 0) {
        return;
    }
    const double w = 2.0 * l / n;
    glBegin(GL_QUADS);
    double z0 = -l;
    for (int p = 0; p < n; ++p) {
        const double speed =
            std::sqrt(gas.vx[p] * gas.vx[p] + gas.vy[p] * gas.vy[p] + gas.vz[p] * gas.vz[p]);
        const double h = kSpeedScale * l * speed - l;
        glColor3d(0.0, 0.3, 0.6);
        glVertex3d(x, -l, z0 + w);
        glVertex3d(x, h, z0 + w);
        glColor3d(0.0, 0.5, 1.0);
        glVertex3d(x, h, z0);
        glVertex3d(x, -l, z0);
        z0 += w;
    }
    glEnd();
}

void DrawGasScene(const GasState& gas, const SphereDetail& detail, bool transparentBox,
                  TextWriter& text, bool thickLines) {
    const double l = gas.halfEdge;

    BeginBoxFrame(gas.view);

    // Graphs: blended through the walls when the box is transparent, otherwise opaque and
    // depth-tested like the box itself, whatever the previous tab's scene left behind.
    if (transparentBox) {
        glEnable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
    }

    if (thickLines) {
        glLineWidth(kThickLine);
    }
    if (gas.showCurve) {
        DrawSpeedCurve(gas);
        if (thickLines) {
            RimSpeedCurve(gas);
        }
        glColor3d(0.9, 0.0, 0.0);
        DrawBackWallCaption(l, text);
    }
    if (gas.showHistogram) {
        DrawSpeedHistogram(gas);
        if (thickLines) {
            RimSpeedHistogram(gas);
        }
        if (!gas.showCurve) {  // with both graphs on, the red caption serves for both
            glColor3d(0.0, 0.7, 0.0);
            DrawBackWallCaption(l, text);
        }
    }
    if (gas.showSpeeds) {
        DrawSpeedBars(gas);
        if (thickLines) {
            RimSpeedBars(gas);
        }
        // Turned to run along the right wall from its back edge towards the front.
        glColor3d(0.0, 0.5, 1.0);
        glPushMatrix();
        glRotated(-90.0, 0.0, 1.0, 0.0);
        DrawCaption(l, " v  en f(i)", text);
        glTranslated(-2.8, -0.3, 0.0);  // back under the v, as its index
        text.DrawText3D("i");
        glPopMatrix();
    }

    // Opaque, the far walls show their inner side, filled; the near walls are outlines.
    ApplyBoxWallState(transparentBox);
    DrawBox(l);
    if (thickLines) {
        glLineWidth(1.0f);
    }

    DrawParticles(gas, detail);
}

}  // namespace veliso
