#include "render/solid_scene.h"

#include <GL/gl.h>

namespace veliso {

void DrawSolidScene(const SolidState&, const SphereDetail&, RandomSource&) {
    glClearColor(0.45f, 0.5f, 0.55f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace veliso
