// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/headless_target.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstddef>
#include <vector>

namespace veliso {

namespace {

EGLDisplay SurfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return EGL_NO_DISPLAY;
    }
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

/// The pbuffer configuration with exactly `buffers` and `samples`: 8 bits a colour channel,
/// no stencil; null when the driver has none.
EGLConfig ExactConfig(EGLDisplay display, const HeadlessBuffers& buffers, int samples) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_ALPHA_SIZE,
                             buffers.alpha ? 8 : 0,
                             EGL_DEPTH_SIZE,
                             buffers.depthBits,
                             EGL_SAMPLES,
                             samples,
                             EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count < 1) {
        return nullptr;
    }
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    // The sizes asked for are least sizes: the exact one is picked among those given.
    const EGLint exact[][2] = {{EGL_RED_SIZE, 8},
                               {EGL_GREEN_SIZE, 8},
                               {EGL_BLUE_SIZE, 8},
                               {EGL_ALPHA_SIZE, buffers.alpha ? 8 : 0},
                               {EGL_DEPTH_SIZE, buffers.depthBits},
                               {EGL_STENCIL_SIZE, 0},
                               {EGL_SAMPLES, samples}};
    for (EGLint i = 0; i < count; ++i) {
        bool matches = true;
        for (const auto& [attribute, value] : exact) {
            EGLint has = -1;
            matches =
                matches && eglGetConfigAttrib(display, configs[i], attribute, &has) && has == value;
        }
        if (matches) {
            return configs[i];
        }
    }
    return nullptr;
}

}  // namespace

HeadlessTarget::HeadlessTarget(int width, int height, int samples, HeadlessBuffers buffers)
    : samples_(samples),
      buffers_{buffers.alpha, buffers.depthBits <= 16   ? 16
                              : buffers.depthBits <= 24 ? 24
                                                        : 32} {
    EGLDisplay display = SurfacelessDisplay();
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        return;
    }
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return;
    }
    config_ = ExactConfig(display, buffers_, samples_);
    if (config_ == nullptr) {
        return;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        4,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        5,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext context = eglCreateContext(display, config_, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        context = eglCreateContext(display, config_, EGL_NO_CONTEXT, nullptr);
    }
    if (context == EGL_NO_CONTEXT) {
        return;
    }
    context_ = context;
    if (!Allocate(width, height)) {
        return;
    }
    glViewport(0, 0, width, height);
    ok_ = true;
}

HeadlessTarget::~HeadlessTarget() {
    if (context_ == nullptr) {
        return;
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface_ != nullptr) {
        eglDestroySurface(display_, surface_);
    }
    eglDestroyContext(display_, context_);
    // The display stays initialised for the rest of the process: the next target reuses it
    // instead of loading Mesa's driver again, and the driver stays mapped, so that leak
    // reports at exit can name it.
}

bool HeadlessTarget::Allocate(int width, int height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    // A pbuffer, not a framebuffer object: a buffer of the window system, which the driver
    // rasterises into exactly as into a desktop window (Mesa runs the rows of such buffers
    // the other way round). In a framebuffer object a colour that lies half-way between two
    // levels (the walls' 0.3 × 255 = 76.5, the graph's 0.5 × 255) rounds up in places where a
    // window's rounds down and the other way round, from the float noise of interpolation.
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display_, config_, size);
    if (surface == EGL_NO_SURFACE) {
        return false;
    }
    if (!eglMakeCurrent(display_, surface, surface, context_)) {
        eglDestroySurface(display_, surface);
        MakeCurrent();
        return false;
    }
    if (surface_ != nullptr) {
        eglDestroySurface(display_, surface_);
    }
    surface_ = surface;
    width_ = width;
    height_ = height;
    return true;
}

void HeadlessTarget::MakeCurrent() {
    if (context_ != nullptr) {
        eglMakeCurrent(display_, surface_, surface_, context_);
    }
}

bool HeadlessTarget::Resize(int width, int height) {
    if (!ok_) {
        return false;
    }
    MakeCurrent();
    if (width == width_ && height == height_) {
        return true;
    }
    return Allocate(width, height);
}

}  // namespace veliso
