// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "render/headless_target.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

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

/// Storage of `format` for the renderbuffer `name`, multisampled when `samples` > 0.
void Store(GLuint name, GLenum format, int samples, int width, int height) {
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    if (samples > 0) {
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    } else {
        glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    }
}

/// A new renderbuffer attached to the bound framebuffer at `attachment`.
GLuint Attach(GLenum attachment) {
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, name);
    return name;
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
    if (samples_ > 0) {
        glGenFramebuffers(1, &resolveFramebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
        resolveColour_ = Attach(GL_COLOR_ATTACHMENT0);
    }
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    colour_ = Attach(GL_COLOR_ATTACHMENT0);
    depth_ = Attach(GL_DEPTH_ATTACHMENT);
    if (!Allocate(width, height)) {
        return;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, width, height);
    ok_ = true;
}

HeadlessTarget::~HeadlessTarget() {
    if (context_ == nullptr) {
        return;
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const GLuint framebuffers[] = {framebuffer_, resolveFramebuffer_};
    const GLuint renderbuffers[] = {colour_, depth_, resolveColour_};
    glDeleteFramebuffers(2, framebuffers);
    glDeleteRenderbuffers(3, renderbuffers);
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
    // The display stays initialised for the rest of the process: the next target reuses it
    // instead of loading Mesa's driver again, and the driver stays mapped, so that leak
    // reports at exit can name it.
}

bool HeadlessTarget::Allocate(int width, int height) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const GLenum colour = buffers_.alpha ? GL_RGBA8 : GL_RGB8;
    const GLenum depth = buffers_.depthBits == 16   ? GL_DEPTH_COMPONENT16
                         : buffers_.depthBits == 24 ? GL_DEPTH_COMPONENT24
                                                    : GL_DEPTH_COMPONENT32;
    if (resolveFramebuffer_ != 0) {
        Store(resolveColour_, colour, 0, width, height);
    }
    Store(colour_, colour, samples_, width, height);
    Store(depth_, depth, samples_, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void HeadlessTarget::MakeCurrent() {
    if (context_ != nullptr) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
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
    if (Allocate(width, height)) {
        return true;
    }
    Allocate(width_, height_);
    return false;
}

void HeadlessTarget::BeginReading() {
    if (resolveFramebuffer_ == 0) {
        return;
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFramebuffer_);
}

void HeadlessTarget::EndReading() {
    if (resolveFramebuffer_ != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    }
}

}  // namespace veliso
