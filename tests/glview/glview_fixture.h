// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QApplication>
#include <QOpenGLContext>
#include <QTest>
#include <QWidget>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "glview/opengl_orv_panel.h"
#include "mainwindow/qt_app.h"

namespace veliso::test {

/// The one QApplication of the test program (shared with the main-window tests' helper).
inline QApplication& GlviewApplication() {
    return veliso::testing::TestApplication();
}

/// A panel whose platform seams are observable: it counts buffer swaps and attempts to bind
/// its context, can run a check just before each swap, and can be told to fail the creation
/// of its rendering context or its binding.
class ProbePanel : public TOpenGLOrvPanel {
  public:
    using TOpenGLOrvPanel::TOpenGLOrvPanel;
    int swaps = 0;
    int bindAttempts = 0;
    bool failContextCreation = false;
    std::function<void()> beforeSwap;
    bool failMakeCurrent = false;

  protected:
    bool CreatePlatformContext(QOpenGLContext& context, QString& why) override {
        if (failContextCreation) {
            why = QStringLiteral("no context today.");
            return false;
        }
        return TOpenGLOrvPanel::CreatePlatformContext(context, why);
    }
    void SwapPlatformBuffers() override {
        if (beforeSwap) {
            beforeSwap();
        }
        ++swaps;
        TOpenGLOrvPanel::SwapPlatformBuffers();
    }
    bool MakePlatformCurrent(QString& why) override {
        ++bindAttempts;
        if (failMakeCurrent) {
            why = QStringLiteral("the surface refused the context.");
            return false;
        }
        return TOpenGLOrvPanel::MakePlatformCurrent(why);
    }
};

/// A top-level window holding one panel, for tests that need a real X display (Xvfb).
class PanelFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        GlviewApplication();
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        }
        host_ = std::make_unique<QWidget>();
        host_->resize(320, 240);
        panel = new ProbePanel(host_.get());
        panel->setGeometry(10, 10, 200, 150);
    }
    void TearDown() override { host_.reset(); }

    /// Shows the window and waits until the GL surface is on screen.
    void ShowAndExpose() {
        ShowHost();
        ASSERT_NE(panel->glWindow(), nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel->glWindow()));
    }
    /// Shows the window and waits until it is on screen, whatever becomes of the GL surface.
    void ShowHost() {
        host_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    }
    QWidget* host() const { return host_.get(); }

    /// `ticks` animation ticks: each asks the panel to repaint, runs `check` if given, and
    /// lets the events of a few milliseconds through.
    void RepaintTicks(int ticks, const std::function<void()>& check = {}) {
        for (int tick = 0; tick < ticks; ++tick) {
            panel->Repaint();
            if (check) {
                check();
            }
            QTest::qWait(5);
        }
    }

    /// Destroys the host and the panel with it.
    void DestroyHost() {
        host_.reset();
        panel = nullptr;
    }

    ProbePanel* panel = nullptr;

  private:
    std::unique_ptr<QWidget> host_;
};

/// Primitives that a piece of drawing sends through GL feedback mode (GL_3D: window x, y, z).
struct Feedback {
    struct Vertex {
        float x, y, z;
    };
    struct Primitive {
        GLenum token;
        std::vector<Vertex> vertices;
    };
    std::vector<Primitive> primitives;
    bool overflowed = false;

    int Count(GLenum token) const {
        int n = 0;
        for (const Primitive& p : primitives) {
            n += p.token == token ? 1 : 0;
        }
        return n;
    }
};

inline Feedback CaptureFeedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(std::size_t{1} << 21);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    Feedback result;
    if (used < 0) {
        result.overflowed = true;
        return result;
    }
    const auto vertex = [&](GLint& i) {
        const Feedback::Vertex v{buffer[i], buffer[i + 1], buffer[i + 2]};
        i += 3;
        return v;
    };
    for (GLint i = 0; i < used;) {
        Feedback::Primitive p{static_cast<GLenum>(buffer[i++]), {}};
        int count = 0;
        switch (p.token) {
            case GL_POLYGON_TOKEN:
                count = static_cast<int>(buffer[i++]);
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                count = 2;
                break;
            case GL_POINT_TOKEN:
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                count = 1;
                break;
            case GL_PASS_THROUGH_TOKEN:
                ++i;
                break;
            default:
                ADD_FAILURE() << "unknown feedback token " << p.token;
                return result;
        }
        for (int k = 0; k < count; ++k) {
            p.vertices.push_back(vertex(i));
        }
        result.primitives.push_back(std::move(p));
    }
    return result;
}

}  // namespace veliso::test
