// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/frame_rule.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "core/common/random_source.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/main_window_fixture.h"
#include "support/image_match.h"

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
    bool thickLines = false;
    SolidState solid;
    LiquidState liquid;
    GasState gas;

    Inputs() {
        liquid.paused = true;
        gas.paused = true;
    }
    ShownScene Shown() const {
        return ShownScene::Of(tab, width, height, detail, transparent, marked, thickLines, solid,
                              liquid, gas);
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
        {"contrast mode", SceneTab::Gas, [](Inputs& i) { i.thickLines = true; }, true},
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

/// The real main window driven by a random sequence of actions, with its timers stopped and
/// its animation ticked by hand: what the display shows after each action and two ticks is
/// grabbed. Run twice from the same start, once with FrameRule and once drawing at every
/// tick, the two runs must show the same frames, and the first must have drawn fewer.
class FrameRuleWindowTest : public testing::MainWindowTest {
  protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        SharedRandom().SetClock(&RandomSource::SystemSeconds);
    }

    struct Run {
        std::vector<QImage> frames;
        int paints = 0;
    };

    Run Drive(unsigned seed, bool everyTick) {
        // The same model start in both runs: the source as at start-up, its clock still.
        delete form;
        SharedRandom().Seed(1);
        SharedRandom().SetClock([] { return std::uint64_t{1765100000}; });
        form = new TFormMM();
        form->terminate = [] {};
        form->drawEveryTick = everyTick;
        Show();
        EXPECT_TRUE(WaitForContext());
        form->Timer1->stop();
        form->Timer2->stop();
        TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
        Run run;
        const auto paint = view->OnPaint;
        view->OnPaint = [&run, paint](TOpenGLOrvPanel* sender) {
            ++run.paints;
            paint(sender);
        };

        std::mt19937 random(seed);
        const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
        const char* const sliders[] = {"TB_t_S", "TB_face_S", "TB_R_S", "TB_Vol_L",
                                       "TB_t_L", "TB_t",      "TB_nb",  "TB_B"};
        const char* const pauses[] = {"butpause", "butpauseG"};
        const char* const boxes[] = {"CB_trans_L", "CB_mark", "CB_MB", "CB_Vitesse", "CB_Transp"};
        for (int step = 0; step < 40; ++step) {
            switch (pick(8)) {
                case 0:
                    form->PageControl1->setCurrentIndex(pick(3));
                    break;
                case 1: {
                    auto* slider = form->findChild<QSlider*>(sliders[pick(8)]);
                    // The solid back at 0 K half the time, so that it is often still.
                    const bool rest = slider->objectName() == "TB_t_S" && pick(2) == 0;
                    slider->setValue(rest ? 0
                                          : slider->minimum() +
                                                pick(slider->maximum() - slider->minimum() + 1));
                    break;
                }
                case 2:
                    form->findChild<QPushButton*>(pauses[pick(2)])->click();
                    break;
                case 3:
                    form->findChild<QCheckBox*>(boxes[pick(5)])->click();
                    break;
                case 4: {
                    QWindow* surface = view->glWindow();
                    const QPoint from(50 + pick(300), 50 + pick(300));
                    const QPoint to = from + QPoint(pick(81) - 40, pick(81) - 40);
                    const Qt::KeyboardModifiers keys =
                        pick(2) == 0 ? Qt::NoModifier : Qt::ControlModifier;
                    QTest::mousePress(surface, Qt::LeftButton, keys, from);
                    QTest::mouseMove(surface, to);
                    QTest::mouseRelease(surface, Qt::LeftButton, keys, to);
                    break;
                }
                case 5:
                    form->resize(600 + pick(200), 500 + pick(150));
                    break;
                default:
                    break;  // time passes
            }
            QCoreApplication::processEvents();
            form->Timer1Timer();
            form->Timer1Timer();
            QCoreApplication::processEvents();
            run.frames.push_back(QGuiApplication::primaryScreen()
                                     ->grabWindow(view->glWindow()->winId())
                                     .toImage()
                                     .convertToFormat(QImage::Format_RGB32));
        }
        view->OnPaint = paint;  // the count above lives in this call only
        return run;
    }
};

TEST_F(FrameRuleWindowTest, FramesOnScreenAreThoseOfDrawingAtEveryTick) {
    for (unsigned seed : {1u, 2u, 3u}) {
        const Run ruled = Drive(seed, false);
        const Run continuous = Drive(seed, true);
        ASSERT_EQ(ruled.frames.size(), continuous.frames.size());
        for (std::size_t i = 0; i < ruled.frames.size(); ++i) {
            // The rasterizer may split a two-coloured quad of the speed bars either way,
            // depending on what it drew before: 1 apart in a colour at most.
            EXPECT_EQ(testing::DifferingShare(continuous.frames[i], ruled.frames[i], {}, 1), 0.0)
                << "seed " << seed << ", after action " << i;
        }
        EXPECT_LT(ruled.paints, continuous.paints) << "seed " << seed;
    }
}

TEST_F(FrameRuleWindowTest, StillViewDrawsNothingButAFrameAskedFor) {
    Drive(4, false);
    form->PageControl1->setCurrentIndex(0);
    form->findChild<QSlider*>("TB_t_S")->setValue(0);
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    form->Timer1Timer();
    int paints = 0;
    const auto paint = view->OnPaint;
    view->OnPaint = [&paints, paint](TOpenGLOrvPanel* sender) {
        ++paints;
        paint(sender);
    };
    form->Timer1Timer();
    EXPECT_EQ(paints, 0);
    FrameOutcome outcome = FrameOutcome::TimedOut;
    view->RequestFrame([&outcome](const FrameAnswer& answer) { outcome = answer.outcome; });
    form->Timer1Timer();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(outcome, FrameOutcome::Painted);
}

}  // namespace
}  // namespace veliso
