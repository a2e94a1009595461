// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// Cost of the view's outline font: compiling its 96 display lists (codes 32 .. 127) when the
// view's context is created, and drawing one 20-character graph caption with them, as the
// gas and liquid scenes do every frame. The font is the scene view's: "Arial" at −13 (em
// height 13 pixels), plain, extruded by 0.01 em.
//
// Glyph outlines come from Qt's font engine, which needs a QGuiApplication; it runs on Qt's
// offscreen platform (fonts through fontconfig, no display), and GL runs in the headless EGL
// context, so the whole benchmark program runs without an X server.
#include <benchmark/benchmark.h>

#include <QFontInfo>

#include <GL/gl.h>

#include <memory>
#include <string_view>

#include "render/view_setup.h"
#include "scene_font.h"
#include "support/headless_gl.h"

namespace veliso {
namespace {

constexpr int kWidth = 473;
constexpr int kHeight = 471;
constexpr std::string_view kCaption = " N en f ( v ) abcdef";
static_assert(kCaption.size() == 20);

/// One context for both cases, made current again after the other benchmarks' contexts;
/// left alive until the process ends.
test::HeadlessGl& Context() {
    static test::HeadlessGl* const gl = new test::HeadlessGl(kWidth, kHeight);
    gl->MakeCurrent();
    return *gl;
}

/// Qt's font engine and the context made ready; false (and the case skipped) without GL.
bool Prepare(benchmark::State& state) {
    bench::EnsureFontEngine();
    if (!Context().ok()) {
        state.SkipWithError("no headless OpenGL context");
        return false;
    }
    return true;
}

/// Compiles the 96 outline lists and deletes them again; only the compilation is timed.
void BM_FontBuildOutlineLists(benchmark::State& state) {
    if (!Prepare(state)) {
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<OpenGLOrvFont3D> lists = bench::BuildSceneFont();
        state.PauseTiming();
        if (lists == nullptr) {
            state.SkipWithError("no display lists");
            break;
        }
        lists.reset();
        state.ResumeTiming();
    }
    state.SetLabel(QFontInfo(bench::SceneFont()).family().toStdString());
}
BENCHMARK(BM_FontBuildOutlineLists)->Unit(benchmark::kMillisecond);

/// Draws the caption where the gas scene puts its graph captions (top of the back wall of
/// the unit box, 0.2 scene units per em, unlit, seen from the start-up camera), finished
/// before the clock stops. The frame is cleared once: only the caption is timed.
void BM_FontDrawCaption(benchmark::State& state) {
    if (!Prepare(state)) {
        return;
    }
    test::HeadlessGl& gl = Context();
    const std::unique_ptr<OpenGLOrvFont3D> lists = bench::BuildSceneFont();
    if (lists == nullptr) {
        state.SkipWithError("no display lists");
        return;
    }
    InitView(kWidth, kHeight);
    ApplyLightingSet(SceneTab::Gas);
    const ViewPoint view{40.0, 0.0, 4.25};
    BeginBoxFrame(view);
    glColor3d(1.0, 1.0, 1.0);
    glTranslated(-1.0, 0.8, -0.99);
    glScaled(0.2, 0.2, 0.2);
    gl.Finish();
    for (auto _ : state) {
        glPushMatrix();
        CallFontLists(lists.get(), kCaption);
        glPopMatrix();
        gl.Finish();
    }
    state.SetLabel(QFontInfo(bench::SceneFont()).family().toStdString());
}
BENCHMARK(BM_FontDrawCaption)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace veliso
