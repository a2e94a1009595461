// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

// The scene view's outline font for the benchmarks: "Arial" at -13 (em height 13 pixels),
// plain, extruded by 0.01 em, codes 32 .. 127, as the view builds it when its context is
// created. Glyph outlines come from Qt's font engine, which needs a QGuiApplication; it runs
// on Qt's offscreen platform (fonts through fontconfig, no display), so the benchmark
// program runs without an X server.

#include <QFont>
#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <string_view>

#include "glview/opengl_orv_font.h"
#include "glview/opengl_orv_panel.h"
#include "render/text_writer.h"

namespace veliso::bench {

/// Qt's font engine on the offscreen platform, created at first use and kept until the
/// process ends (the platform is forced: the benchmark must not depend on a display).
inline void EnsureFontEngine() {
    static int argc = 1;
    static char name[] = "veliso_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* const app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

/// The scene view's outline font.
inline QFont SceneFont() {
    TFontDescription font;
    font.Name = QStringLiteral("Arial");
    font.Height = -13;
    font.Styles = 0;
    return font.ToQFont();
}

/// The view's 96 outline lists, built in the current context (null when none can be
/// reserved); destroy them while that context is current.
inline std::unique_ptr<OpenGLOrvFont3D> BuildSceneFont() {
    EnsureFontEngine();
    return BuildOutlineFont(SceneFont(), 32, 96, 1.0f, 0.01f, true);
}

/// Text drawn with outline lists, as the view draws its captions.
class OutlineText : public TextWriter {
  public:
    explicit OutlineText(const OpenGLOrvFont3D* lists) : lists_(lists) {}
    void DrawText3D(std::string_view text) override { CallFontLists(lists_, text); }

  private:
    const OpenGLOrvFont3D* lists_;
};

}  // namespace veliso::bench
