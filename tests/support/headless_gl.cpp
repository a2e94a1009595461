// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "support/headless_gl.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace veliso::test {

namespace {

EGLDisplay SurfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return EGL_NO_DISPLAY;
    }
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

/// A new renderbuffer of `format`, multisampled when `samples` > 0, attached to the bound
/// framebuffer at `attachment`; left bound.
GLuint AttachRenderbuffer(GLenum attachment, GLenum format, int samples, int width, int height) {
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    if (samples > 0) {
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    } else {
        glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    }
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, name);
    return name;
}

}  // namespace

HeadlessGl::HeadlessGl(int width, int height, int samples) : width_(width), height_(height) {
    EGLDisplay display = SurfacelessDisplay();
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        return;
    }
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) {
        config = nullptr;  // surfaceless contexts need no config
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        4,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        5,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    }
    if (context == EGL_NO_CONTEXT) {
        return;
    }
    context_ = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        return;
    }
    if (samples > 0) {
        glGenFramebuffers(1, &resolveFramebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
        resolveColour_ = AttachRenderbuffer(GL_COLOR_ATTACHMENT0, GL_RGBA8, 0, width, height);
    }
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    colour_ = AttachRenderbuffer(GL_COLOR_ATTACHMENT0, GL_RGBA8, samples, width, height);
    depth_ = AttachRenderbuffer(GL_DEPTH_ATTACHMENT, GL_DEPTH_COMPONENT24, samples, width, height);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        return;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, width, height);
    ok_ = true;
}

HeadlessGl::~HeadlessGl() {
    if (context_ != nullptr) {
        MakeCurrent();
        if (framebuffer_ != 0) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteFramebuffers(1, &framebuffer_);
            glDeleteRenderbuffers(1, &colour_);
            glDeleteRenderbuffers(1, &depth_);
        }
        if (resolveFramebuffer_ != 0) {
            glDeleteFramebuffers(1, &resolveFramebuffer_);
            glDeleteRenderbuffers(1, &resolveColour_);
        }
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    // The display stays initialised for the rest of the process, as a program's would: the
    // next context reuses it instead of loading Mesa's driver again, and the driver stays
    // mapped, so leak reports at exit can name it (tests/support/lsan.supp).
}

void HeadlessGl::MakeCurrent() {
    if (context_ != nullptr) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    }
}

void HeadlessGl::Read(int x, int y, int width, int height, std::uint8_t* rgb) const {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (resolveFramebuffer_ == 0) {
        glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return;
    }
    // A multisampled framebuffer is averaged into the single-sampled one first.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFramebuffer_);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

std::vector<std::uint8_t> HeadlessGl::ReadRgb() const {
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width_) * height_ * 3);
    Read(0, 0, width_, height_, pixels.data());
    return pixels;
}

void HeadlessGl::PixelAt(int x, int y, std::uint8_t rgb[3]) const {
    Read(x, y, 1, 1, rgb);
}

void HeadlessGl::Finish() const {
    glFinish();
}

bool HeadlessGl::SavePpm(const char* path) const {
    const std::vector<std::uint8_t> pixels = ReadRgb();
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", width_, height_);
    const size_t row = static_cast<size_t>(width_) * 3;
    for (int y = height_ - 1; y >= 0; --y) {
        std::fwrite(pixels.data() + row * y, 1, row, file);
    }
    std::fclose(file);
    return true;
}

}  // namespace veliso::test
