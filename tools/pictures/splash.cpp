// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "splash.h"

#include <GL/gl.h>

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <cstdint>
#include <functional>
#include <string_view>

#include "core/common/colour.h"
#include "core/common/random_source.h"
#include "core/common/sphere_detail.h"
#include "core/gas/gas_controls.h"
#include "core/gas/gas_model.h"
#include "core/gas/gas_state.h"
#include "core/gas/gas_step.h"
#include "core/liquid/liquid_motion.h"
#include "core/liquid/liquid_state.h"
#include "core/solid/solid_controls.h"
#include "core/solid/solid_state.h"
#include "render/gas_scene.h"
#include "render/liquid_scene.h"
#include "render/solid_scene.h"
#include "render/text_writer.h"
#include "render/view_setup.h"
#include "support/headless_gl.h"

namespace veliso::pictures {

namespace {

constexpr int kWidth = 384;
constexpr int kHeight = 256;
// Every edge below lies on the 8-pixel grid, so that the key fills whole JPEG blocks.
constexpr int kBandHeight = 80;
constexpr int kPanelTop = 88;
constexpr int kPanelBottom = 248;
constexpr int kPanelLeft[3] = {0, 128, 264};
constexpr int kPanelWidth[3] = {120, 128, 120};
// Scenes are drawn this many times larger than their panel, then scaled down smoothly:
// the offscreen framebuffer has no multisampling.
constexpr int kOversample = 3;

const QColor kDeepBlue(0, 89, 132);
const QColor kOrange(255, 108, 0);

/// The pictures must not depend on the day they are made: the velocity draws reseed from
/// this clock.
std::uint64_t FixedClock() {
    return 1234567890u;
}

/// Captions on the gas walls are left out of the small picture.
class NoText : public TextWriter {
  public:
    void DrawText3D(std::string_view) override {}
};

QImage ReadFrame(const test::HeadlessGl& gl) {
    const std::vector<std::uint8_t> rgb = gl.ReadRgb();
    QImage image(gl.width(), gl.height(), QImage::Format_RGB32);
    for (int row = 0; row < gl.height(); ++row) {
        const std::uint8_t* src = &rgb[static_cast<size_t>(gl.height() - 1 - row) * gl.width() * 3];
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int col = 0; col < gl.width(); ++col) {
            dst[col] = qRgb(src[col * 3], src[col * 3 + 1], src[col * 3 + 2]);
        }
    }
    return image;
}

/// Renders one scene offscreen at `width` x `height` and returns the frame (top row first).
QImage RenderScene(int width, int height, SceneTab tab, const std::function<void()>& draw,
                   QString& problem) {
    test::HeadlessGl gl(width, height);
    if (!gl.ok()) {
        problem = QStringLiteral("no offscreen OpenGL context (Mesa EGL, surfaceless)");
        return {};
    }
    InitView(width, height);
    ApplyLightingSet(tab);
    draw();
    gl.Finish();
    return ReadFrame(gl);
}

QImage SolidPanel(int width, int height, QString& problem) {
    SolidState solid;
    // The rock-salt crystal in the colours its button gives it, seen a little from above.
    solid.structure = SolidStructure::FccCrystal;
    const ColourPreset preset = ColourPresetOf(solid.structure);
    solid.red = ColourFromSlider(preset.red);
    solid.green = ColourFromSlider(preset.green);
    solid.blue = ColourFromSlider(preset.blue);
    solid.view = ViewPoint{30.0, 2.2, 5.6};
    SphereDetail detail;
    detail.SetSmoothness(32);
    RandomSource random(FixedClock);
    return RenderScene(
        width, height, SceneTab::Solid, [&] { DrawSolidScene(solid, detail, random); }, problem);
}

QImage LiquidPanel(int width, int height, QString& problem) {
    LiquidState liquid;
    RandomSource random(FixedClock);
    InitLiquid(liquid, random);
    liquid.view = ViewPoint{40.0, 1.6, 5.2};
    SphereDetail detail;
    detail.SetSmoothness(32);
    // Let the layers of the start collapse into a liquid: the scene steps once per frame.
    return RenderScene(
        width, height, SceneTab::Liquid,
        [&] {
            for (int frame = 0; frame < 400; ++frame) {
                DrawLiquidScene(liquid, detail, false, false);
            }
        },
        problem);
}

QImage GasPanel(int width, int height, QString& problem) {
    GasState gas;
    RandomSource random(FixedClock);
    InitGas(gas, random);
    // The heaviest particles are the largest: they still read as spheres at a third of the
    // size.
    SetGasMass(gas, 10, random);
    for (int step = 0; step < 60; ++step) {
        StepGas(gas, true);
    }
    gas.view = ViewPoint{28.0, 1.6, 6.3};
    SphereDetail detail;
    detail.SetSmoothness(32);
    NoText text;
    return RenderScene(
        width, height, SceneTab::Gas, [&] { DrawGasScene(gas, detail, false, text); }, problem);
}

QFont Font(int pixels, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void DrawTitleBand(QPainter& p) {
    const QRect band(0, 0, kWidth, kBandHeight);
    QLinearGradient fill(0, 0, 0, kBandHeight);
    fill.setColorAt(0.0, QColor(0, 104, 152));
    fill.setColorAt(1.0, kDeepBlue.darker(150));
    p.fillRect(band, fill);
    p.fillRect(QRect(0, kBandHeight - 4, kWidth, 4), kOrange);

    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(Font(48, true));
    p.setPen(QColor(0, 30, 50));
    p.drawText(QPoint(22, 54), QStringLiteral("Veliso"));
    p.setPen(Qt::white);
    p.drawText(QPoint(20, 52), QStringLiteral("Veliso"));

    p.setFont(Font(14, false));
    p.setPen(QColor(205, 228, 242));
    const QString subtitle = QString::fromUtf8("Les trois états de la matière");
    p.drawText(QRect(180, 24, kWidth - 196, 20), Qt::AlignRight | Qt::AlignVCenter, subtitle);
    p.setFont(Font(11, false));
    p.setPen(QColor(160, 196, 220));
    p.drawText(QRect(180, 46, kWidth - 196, 16), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromUtf8("modèles particulaires animés"));
}

void DrawPanel(QPainter& p, int index, const QImage& scene, const QString& caption) {
    const QRect area(kPanelLeft[index], kPanelTop, kPanelWidth[index], kPanelBottom - kPanelTop);
    p.drawImage(area.topLeft(),
                scene.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    const QRect strip(area.left(), area.bottom() - 21, area.width(), 22);
    p.fillRect(strip, QColor(0, 30, 50, 190));
    p.fillRect(QRect(strip.left(), strip.top(), strip.width(), 1), QColor(255, 255, 255, 60));
    p.setFont(Font(11, true));
    p.setPen(Qt::white);
    p.drawText(strip, Qt::AlignCenter, caption);
}

}  // namespace

QImage SplashPicture(QString& problem) {
    const int sceneHeight = (kPanelBottom - kPanelTop) * kOversample;
    const QImage solid = SolidPanel(kPanelWidth[0] * kOversample, sceneHeight, problem);
    const QImage liquid = LiquidPanel(kPanelWidth[1] * kOversample, sceneHeight, problem);
    const QImage gas = GasPanel(kPanelWidth[2] * kOversample, sceneHeight, problem);
    if (solid.isNull() || liquid.isNull() || gas.isNull()) {
        return {};
    }

    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    picture.fill(kSplashKey);
    QPainter p(&picture);
    DrawTitleBand(p);
    DrawPanel(p, 0, solid, QString::fromUtf8("ÉTAT SOLIDE"));
    DrawPanel(p, 1, liquid, QString::fromUtf8("ÉTAT LIQUIDE"));
    DrawPanel(p, 2, gas, QString::fromUtf8("ÉTAT GAZEUX"));
    p.end();

    // A drawn pixel that happens to have the key colour would become a hole: move it off.
    const QRgb key = kSplashKey.rgb();
    for (int row = 0; row < kHeight; ++row) {
        for (int col = 0; col < kWidth; ++col) {
            const bool inBand = row < kBandHeight;
            const bool inPanel = row >= kPanelTop && row < kPanelBottom &&
                                 ((col >= kPanelLeft[0] && col < kPanelLeft[0] + kPanelWidth[0]) ||
                                  (col >= kPanelLeft[1] && col < kPanelLeft[1] + kPanelWidth[1]) ||
                                  (col >= kPanelLeft[2] && col < kPanelLeft[2] + kPanelWidth[2]));
            if ((inBand || inPanel) && (picture.pixel(col, row) & 0xFFFFFFu) == (key & 0xFFFFFFu)) {
                picture.setPixel(col, row, qRgb(0, 128, 189));
            }
        }
    }
    return picture;
}

}  // namespace veliso::pictures
