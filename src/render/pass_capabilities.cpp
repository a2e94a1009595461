// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/pass_capabilities.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace veliso {

bool MeshesExact(const PassFacts& f) {
    return f.renderMode && !f.multisampling && !f.clipPlane && !f.compilingList &&
           f.subpixelBits >= 6 && !f.bufferBound && f.polygonsFilled && !f.polygonSmooth;
}

bool TriangleCullingSafe(const PassFacts& f) {
    // Without a depth buffer the depth test passes everything: the last triangle wins.
    const bool depthDecides = f.depthTest && f.depthWrites && f.depthLessOrEqual &&
                              f.depthBits >= 16 && f.depthRange[0] < f.depthRange[1];
    const bool fragmentsKept = !f.blending && !f.logicOp && !f.alphaTest && !f.stencilTest &&
                               !f.polygonStipple && !f.polygonOffsetFill && !f.depthClamp &&
                               !f.program && !f.faceCulling && f.polygonsFilled;
    if (!depthDecides || !fragmentsKept || f.viewport[2] <= 0 || f.viewport[3] <= 0) {
        return false;
    }
    // Column-major matrices: the last rows of an affine model-view and of a perspective
    // projection, which keeps x and y the right way round.
    const double* m = f.modelView;
    const double* p = f.projection;
    if (m[3] != 0.0 || m[7] != 0.0 || m[11] != 0.0 || m[15] != 1.0 || p[3] != 0.0 || p[7] != 0.0 ||
        p[11] != -1.0 || p[15] != 0.0 || !(p[0] > 0.0) || !(p[5] > 0.0)) {
        return false;
    }
    // A mirror turns the outward triangles clockwise.
    const double det = m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
                       m[8] * (m[1] * m[6] - m[5] * m[2]);
    return det > 0.0 && std::isfinite(det);
}

bool OcclusionSafe(const PassFacts& f) {
    const double* m = f.modelView;
    for (int a = 0; a < 3; ++a) {
        for (int b = a; b < 3; ++b) {
            const double dot =
                m[4 * a] * m[4 * b] + m[4 * a + 1] * m[4 * b + 1] + m[4 * a + 2] * m[4 * b + 2];
            if (std::abs(dot - (a == b ? 1.0 : 0.0)) > 1e-5) {
                return false;
            }
        }
    }
    const double* p = f.projection;
    const double nearPlane = p[14] / (p[10] - 1.0), farPlane = p[14] / (p[10] + 1.0);
    // gluPerspective's form: x and y scaled only, w = -z, depth between 0 < near < far.
    return p[0] > 0.0 && p[5] > 0.0 && p[1] == 0.0 && p[2] == 0.0 && p[3] == 0.0 && p[4] == 0.0 &&
           p[6] == 0.0 && p[7] == 0.0 && p[8] == 0.0 && p[9] == 0.0 && p[11] == -1.0 &&
           p[12] == 0.0 && p[13] == 0.0 && p[15] == 0.0 && nearPlane > 0.0 &&
           farPlane > nearPlane && std::isfinite(farPlane);
}

PassCapabilities Capabilities(const PassFacts& facts) {
    PassCapabilities c;
    c.meshesExact = MeshesExact(facts);
    c.triangleCullingSafe = c.meshesExact && TriangleCullingSafe(facts);
    c.occlusionSafe = c.triangleCullingSafe && OcclusionSafe(facts);
    return c;
}

namespace {

bool Enabled(GLenum capability) {
    return glIsEnabled(capability) == GL_TRUE;
}

/// Whether the current context, of OpenGL `major`, has the extension `name`. From 3.0 on the
/// names are asked one by one (a core context has no single string of them).
bool HasExtension(int major, std::string_view name) {
    if (major >= 3) {
        GLint count = 0;
        glGetIntegerv(GL_NUM_EXTENSIONS, &count);
        for (GLint k = 0; k < count; ++k) {
            const auto* each = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, k));
            if (each != nullptr && name == each) {
                return true;
            }
        }
        return false;
    }
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr) {
        return false;
    }
    const std::string_view all(extensions);
    for (std::size_t at = all.find(name); at != std::string_view::npos;
         at = all.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if ((at == 0 || all[at - 1] == ' ') && (end == all.size() || all[end] == ' ')) {
            return true;
        }
    }
    return false;
}

}  // namespace

void ReadPassFacts(PassFacts& f) {
    // A name the context does not know leaves GL_INVALID_ENUM set and `value` as it was, so
    // each is asked only where the context has it.
    const ContextFacts& context = CurrentContextFacts();
    GLint value = 0;
    glGetIntegerv(GL_RENDER_MODE, &value);
    f.renderMode = value == GL_RENDER;
    value = 0;
    if (context.multisample) {
        glGetIntegerv(GL_SAMPLE_BUFFERS, &value);
    }
    f.multisampling = value > 0 && Enabled(GL_MULTISAMPLE);
    GLint clipPlanes = 0;
    glGetIntegerv(GL_MAX_CLIP_PLANES, &clipPlanes);
    f.clipPlane = false;
    for (GLint plane = 0; plane < clipPlanes && !f.clipPlane; ++plane) {
        f.clipPlane = Enabled(static_cast<GLenum>(GL_CLIP_PLANE0 + plane));
    }
    glGetIntegerv(GL_LIST_INDEX, &value);
    f.compilingList = value != 0;
    glGetIntegerv(GL_SUBPIXEL_BITS, &f.subpixelBits);
    f.bufferBound = false;
    for (GLenum binding : {GL_ARRAY_BUFFER_BINDING, GL_ELEMENT_ARRAY_BUFFER_BINDING}) {
        value = 0;
        if (context.bufferBindings) {
            glGetIntegerv(binding, &value);
        }
        f.bufferBound = f.bufferBound || value != 0;
    }
    GLint polygonModes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, polygonModes);
    f.polygonsFilled = polygonModes[0] == GL_FILL && polygonModes[1] == GL_FILL;
    f.polygonSmooth = Enabled(GL_POLYGON_SMOOTH);

    f.depthTest = Enabled(GL_DEPTH_TEST);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    f.depthWrites = depthWrites == GL_TRUE;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    f.depthLessOrEqual = value == GL_LESS || value == GL_LEQUAL;
    glGetIntegerv(GL_DEPTH_BITS, &f.depthBits);
    glGetDoublev(GL_DEPTH_RANGE, f.depthRange);
    f.faceCulling = Enabled(GL_CULL_FACE);
    f.blending = Enabled(GL_BLEND);
    f.logicOp = Enabled(GL_COLOR_LOGIC_OP);
    f.alphaTest = Enabled(GL_ALPHA_TEST);
    f.stencilTest = Enabled(GL_STENCIL_TEST);
    f.polygonStipple = Enabled(GL_POLYGON_STIPPLE);
    f.polygonOffsetFill = Enabled(GL_POLYGON_OFFSET_FILL);
    f.depthClamp = context.depthClamp && Enabled(GL_DEPTH_CLAMP);
    value = 0;
    if (context.programs) {
        glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    }
    f.program = value != 0;

    glGetIntegerv(GL_VIEWPORT, f.viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, f.modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, f.projection);
}

const ContextFacts& CurrentContextFacts() {
    // The version string belongs to the context; a context with the same string has the
    // same facts, so it is parsed only when the string changes.
    static std::string version;
    static ContextFacts facts;
    const char* now = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (now == nullptr) {
        static const ContextFacts none;
        return none;
    }
    if (version != now) {
        version = now;
        int major = 0, minor = 0;
        if (std::sscanf(now, "%d.%d", &major, &minor) != 2) {
            major = minor = 0;
        }
        const auto atLeast = [&](int a, int b) { return major > a || (major == a && minor >= b); };
        const auto has = [&](std::string_view name) { return HasExtension(major, name); };
        facts.multisample = atLeast(1, 3) || has("GL_ARB_multisample");
        facts.buffers = atLeast(1, 5);
        facts.bufferBindings = facts.buffers || has("GL_ARB_vertex_buffer_object");
        facts.programs = atLeast(2, 0);
        facts.depthClamp = atLeast(3, 2) || has("GL_ARB_depth_clamp") || has("GL_NV_depth_clamp");
    }
    return facts;
}

}  // namespace veliso
