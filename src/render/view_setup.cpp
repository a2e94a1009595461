#include "render/view_setup.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace veliso {

void ApplyCamera(const ViewPoint& view) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, view.height, view.distance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(static_cast<float>(view.angle), 0.0f, 1.0f, 0.0f);
}

void InitView(int width, int height) { ResizeView(width, height); }

void ResizeView(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = height == 0 ? static_cast<double>(width)
                                      : static_cast<double>(width) / static_cast<double>(height);
    gluPerspective(45.0, aspect, 0.1, 50.0);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void ApplyLightingSet(SceneTab) {}

}  // namespace veliso
