// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/frame_rule.h"

#include <functional>

#include <gtest/gtest.h>

namespace veliso {
namespace {

/// The records, detail and options of a main window at rest: the solid at 0 K, the liquid
/// and the gas paused.
struct Inputs {
    SceneTab tab = SceneTab::Solid;
    int width = 473;
    int height = 471;
    SphereDetail detail;
    bool transparent = false;
    bool marked = false;
    SolidState solid;
    LiquidState liquid;
    GasState gas;

    Inputs() {
        liquid.paused = true;
        gas.paused = true;
    }
    ShownScene Shown() const {
        return ShownScene::Of(tab, width, height, detail, transparent, marked, solid, liquid, gas);
    }
};

class FrameRuleTest : public ::testing::Test {
  protected:
    /// Whether a tick draws after the frame of `before` was put on screen and `change`
    /// was made.
    bool DrawsAfter(const Inputs& before, const std::function<void(Inputs&)>& change) {
        FrameRule rule;
        rule.Drawn(before.Shown());
        Inputs now = before;
        change(now);
        return rule.MustDraw(now.Shown(), false);
    }
};

TEST_F(FrameRuleTest, DrawsOnlyWhatChangesThePicture) {
    struct Case {
        const char* what;
        SceneTab tab;
        std::function<void(Inputs&)> change;
        bool draws;
    };
    const Case cases[] = {
        {"nothing", SceneTab::Solid, [](Inputs&) {}, false},
        {"nothing", SceneTab::Liquid, [](Inputs&) {}, false},
        {"nothing", SceneTab::Gas, [](Inputs&) {}, false},
        {"tab", SceneTab::Solid, [](Inputs& i) { i.tab = SceneTab::Gas; }, true},
        {"view width", SceneTab::Gas, [](Inputs& i) { i.width = 1747; }, true},
        {"view height", SceneTab::Gas, [](Inputs& i) { i.height = 1047; }, true},
        {"smoothness", SceneTab::Solid, [](Inputs& i) { i.detail.SetSmoothness(32); }, true},
        {"camera", SceneTab::Solid, [](Inputs& i) { i.solid.view.angle += 1.0; }, true},
        {"structure", SceneTab::Solid,
         [](Inputs& i) { i.solid.structure = SolidStructure::BccCell; }, true},
        {"colour", SceneTab::Liquid, [](Inputs& i) { i.liquid.green = 0.5; }, true},
        {"transparent cube", SceneTab::Liquid, [](Inputs& i) { i.transparent = true; }, true},
        {"marked particles", SceneTab::Liquid, [](Inputs& i) { i.marked = true; }, true},
        {"volume", SceneTab::Liquid, [](Inputs& i) { i.liquid.halfEdge = 0.9; }, true},
        {"a particle", SceneTab::Gas, [](Inputs& i) { i.gas.x[99] += 0.01; }, true},
        {"a speed bar", SceneTab::Gas, [](Inputs& i) { i.gas.vz[3] = -i.gas.vz[3] + 1; }, true},
        {"a graph", SceneTab::Gas, [](Inputs& i) { i.gas.showHistogram = true; }, true},
        {"transparent box", SceneTab::Gas, [](Inputs& i) { i.transparent = true; }, true},
        // What does not show on the current tab, or at all.
        {"another tab's record", SceneTab::Solid, [](Inputs& i) { i.gas.x[0] = 0.5; }, false},
        {"another tab's option", SceneTab::Solid, [](Inputs& i) { i.transparent = true; }, false},
        {"wall pass on a paused liquid", SceneTab::Liquid,
         [](Inputs& i) { i.liquid.vy[0] = -i.liquid.vy[0] + 0.001; }, false},
        {"wall hits read out", SceneTab::Gas, [](Inputs& i) { i.gas.wallHits = 7; }, false},
        // Moving inside the paint: every frame differs.
        {"solid above 0 K", SceneTab::Solid, [](Inputs& i) { i.solid.amplitude = 1e-5; }, true},
        {"liquid running", SceneTab::Liquid, [](Inputs& i) { i.liquid.paused = false; }, true},
    };
    for (const Case& c : cases) {
        Inputs before;
        before.tab = c.tab;
        EXPECT_EQ(DrawsAfter(before, c.change), c.draws)
            << c.what << " on tab " << static_cast<int>(c.tab);
    }
}

TEST_F(FrameRuleTest, DrawsWhileAScreenIsUnknownOrAPictureWaits) {
    const ShownScene still = Inputs().Shown();
    FrameRule rule;
    EXPECT_TRUE(rule.MustDraw(still, false)) << "nothing on screen yet";
    rule.Drawn(still);
    EXPECT_FALSE(rule.MustDraw(still, false));
    EXPECT_TRUE(rule.MustDraw(still, true)) << "a copy, a save or a capture waits";
    rule.Forget();
    EXPECT_TRUE(rule.MustDraw(still, false)) << "the frame on screen was forgotten";
}

}  // namespace
}  // namespace veliso
