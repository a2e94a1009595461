// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <memory>

#include "core/common/view_point.h"

class GLUquadric;

namespace veliso {

/// Tab indices of the main window's page control.
enum class SceneTab { Solid = 0, Liquid = 1, Gas = 2 };

/// Light 0 and material colours of one tab. Every value is RGBA (0 .. 1); the shininess is
/// the specular exponent (0 .. 128). Colour material is on, so the current drawing colour
/// replaces the material ambient and diffuse values while a scene draws; the specular
/// values and the shininess apply unchanged.
struct LightingSet {
    float lightAmbient[4];
    float lightDiffuse[4];
    float lightSpecular[4];
    float materialAmbient[4];
    float materialDiffuse[4];
    float materialSpecular[4];
    float materialShininess;
    float modelAmbient[4];
};

/// Position of light 0, homogeneous (w = 1: a positional light). It is given once, in eye
/// coordinates, so the light sits to the right of, above and slightly behind the viewer
/// and follows every camera move.
inline constexpr float kLightPosition[4] = {10.0f, 10.0f, 1.0f, 1.0f};

/// The lighting set of a tab. The solid tab's set is also the one of the initialisation.
const LightingSet& LightingSetOf(SceneTab tab);

/// Model-view identity, eye at (0, height, distance) looking at the origin with y up,
/// then the scene turned by `angle` degrees about y (passed to GL in single precision).
void ApplyCamera(const ViewPoint& view);

/// Start of a gas or liquid frame: line width 1, colour (to opaque black) and depth buffers
/// cleared, lighting off for the unlit box and graphs, then ApplyCamera(view).
void BeginBoxFrame(const ViewPoint& view);

/// State for the six walls of a gas or liquid box. Transparent: blended (source alpha, one)
/// without depth test. Opaque: inner (front) sides filled and outer (back) sides drawn as
/// lines, so the walls seen from outside show as outlines; no blending, depth test on.
void ApplyBoxWallState(bool transparent);

/// Deletes a GLU quadric.
struct QuadricDeleter {
    void operator()(GLUquadric* quadric) const;
};
/// A GLU quadric owned for one frame: deleted however the frame ends, an exception included.
using SphereQuadric = std::unique_ptr<GLUquadric, QuadricDeleter>;

/// The frame's GLU quadric for the particle spheres: filled, without texture coordinates.
/// Null when GLU is out of memory.
SphereQuadric NewSphereQuadric();

/// State of the gas and liquid sphere pass: both faces filled, lit, opaque, depth-tested.
void ApplySpherePassState();

/// One-time GL set-up of the view once its context is current: light 0 (solid set and
/// position), material, light model, enables (lighting, light 0, automatic normals,
/// normalisation, colour material), projection, polygon modes, additive blending
/// (source alpha, one), smooth shading, then ResizeView. The depth test and the clear
/// colour are left to each scene.
void InitView(int width, int height);

/// Viewport 0, 0, width x height and a 45-degree vertical perspective, near 0.1, far 50,
/// aspect width / height (width itself when height is 0); perspective hint GL_NICEST;
/// leaves the model-view matrix selected and set to the identity.
void ResizeView(int width, int height);

/// Light 0's ambient, diffuse and specular, the front and back material and the light
/// model ambient of a tab. The light position is not touched.
void ApplyLightingSet(SceneTab tab);

}  // namespace veliso
