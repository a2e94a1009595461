// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/frame_rule.h"

#include "core/solid/solid_structures.h"

namespace veliso {

ShownScene ShownScene::Of(SceneTab tab, int width, int height, const SphereDetail& detail,
                          bool transparent, bool marked, bool thickLines, const SolidState& solid,
                          const LiquidState& liquid, const GasState& gas) {
    ShownScene scene;
    scene.tab = tab;
    scene.width = width;
    scene.height = height;
    scene.detail = detail;
    switch (tab) {
        case SceneTab::Solid:
            scene.solid = solid;
            break;
        case SceneTab::Liquid:
            scene.transparent = transparent;
            scene.marked = marked;
            scene.liquid = liquid;
            for (int p = 0; p < kLiquidSlots; ++p) {
                scene.liquid.vx[p] = scene.liquid.vy[p] = scene.liquid.vz[p] = 0.0;
            }
            break;
        case SceneTab::Gas:
            scene.transparent = transparent;
            scene.thickLines = thickLines;
            scene.gas = gas;
            scene.gas.wallHits = 0;
            scene.gas.stepping = false;
            break;
    }
    return scene;
}

bool FrameRule::MustDraw(const ShownScene& now, bool pictureWaiting) const {
    if (pictureWaiting || !onScreen_) {
        return true;
    }
    const bool movesInPaint = (now.tab == SceneTab::Solid && SolidVibrates(now.solid)) ||
                              (now.tab == SceneTab::Liquid && !now.liquid.paused);
    return movesInPaint || !(now == *onScreen_);
}

}  // namespace veliso
