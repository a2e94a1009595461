#include "render/gas_scene.h"

#include <GL/gl.h>

namespace veliso {

void DrawGasScene(const GasState&, const SphereDetail&, bool, TextWriter&) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace veliso
