// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/view_setup.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace veliso {

namespace {

// Greys (v, v, v, 1) unless three components differ.
constexpr LightingSet kLightingSets[3] = {
    // Solid: dim light so the crystal colours stay saturated.
    {{0.1f, 0.1f, 0.1f, 1.0f},
     {0.4f, 0.4f, 0.4f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     15.0f,
     {0.2f, 0.2f, 0.2f, 1.0f}},
    // Liquid.
    {{0.1f, 0.1f, 0.1f, 1.0f},
     {0.7f, 0.7f, 0.7f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {0.5f, 0.5f, 0.5f, 1.0f},
     10.0f,
     {0.2f, 0.2f, 0.2f, 1.0f}},
    // Gas: the brightest, the small spheres must stand out against the dark box.
    {{0.3f, 0.3f, 0.3f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {1.0f, 1.0f, 1.0f, 1.0f},
     {0.7f, 1.0f, 1.0f, 1.0f},
     10.0f,
     {0.2f, 0.2f, 0.2f, 1.0f}},
};

void SetLightColours(const LightingSet& set) {
    glLightfv(GL_LIGHT0, GL_AMBIENT, set.lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, set.lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, set.lightSpecular);
}

void SetMaterial(const LightingSet& set) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, set.materialAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, set.materialDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, set.materialSpecular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, set.materialShininess);
}

void SetProjection(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = height == 0 ? static_cast<double>(width)
                                      : static_cast<double>(width) / static_cast<double>(height);
    gluPerspective(45.0, aspect, 0.1, 50.0);
}

}  // namespace

const LightingSet& LightingSetOf(SceneTab tab) {
    switch (tab) {
        case SceneTab::Liquid:
            return kLightingSets[1];
        case SceneTab::Gas:
            return kLightingSets[2];
        case SceneTab::Solid:
        default:
            return kLightingSets[0];
    }
}

void ApplyCamera(const ViewPoint& view) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, view.height, view.distance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(static_cast<float>(view.angle), 0.0f, 1.0f, 0.0f);
}

void BeginBoxFrame(const ViewPoint& view) {
    glLineWidth(1.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    ApplyCamera(view);
}

void ApplyBoxWallState(bool transparent) {
    if (transparent) {
        glEnable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
    } else {
        glPolygonMode(GL_FRONT, GL_FILL);
        glPolygonMode(GL_BACK, GL_LINE);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
    }
}

void InitView(int width, int height) {
    const LightingSet& initial = LightingSetOf(SceneTab::Solid);
    SetLightColours(initial);
    // The position is transformed by the current model-view matrix: with the identity it
    // stays fixed relative to the eye for the whole run.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    SetMaterial(initial);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, initial.modelAmbient);

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
    // The default tracking, spelled out: the current colour sets the ambient and diffuse
    // material of both faces.
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);

    SetProjection(width, height);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glShadeModel(GL_SMOOTH);

    ResizeView(width, height);
}

void ResizeView(int width, int height) {
    SetProjection(width, height);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void ApplyLightingSet(SceneTab tab) {
    const LightingSet& set = LightingSetOf(tab);
    SetLightColours(set);
    SetMaterial(set);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, set.modelAmbient);
}

void QuadricDeleter::operator()(GLUquadric* quadric) const {
    gluDeleteQuadric(quadric);
}

SphereQuadric NewSphereQuadric() {
    SphereQuadric quadric(gluNewQuadric());
    if (quadric != nullptr) {
        gluQuadricDrawStyle(quadric.get(), GLU_FILL);
        gluQuadricTexture(quadric.get(), GL_FALSE);
    }
    return quadric;
}

void ApplySpherePassState() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace veliso
