// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/navigation.h"

#include <gtest/gtest.h>

namespace veliso {
namespace {

class NavigationTest : public ::testing::Test {
  protected:
    DragState drag;
    ViewPoint solid{20.0, 1.5, 4.25};
    ViewPoint gas{40.0, 0.0, 4.25};

    void LeftDrag(ViewPoint& v, int x0, int y0, int x1, int y1, bool ctrl = false) {
        NavMouseDown(drag, NavButton::Left, ctrl, x0, y0);
        NavMouseMove(drag, v, x1, y1);
        NavMouseUp(drag);
    }
};

TEST_F(NavigationTest, LeftPressStartsTurnModeAndCtrlPressStartsDistanceMode) {
    NavMouseDown(drag, NavButton::Left, false, 12, 34);
    EXPECT_EQ(drag.mode, 1);
    EXPECT_EQ(drag.lastX, 12);
    EXPECT_EQ(drag.lastY, 34);
    NavMouseUp(drag);
    EXPECT_EQ(drag.mode, 0);

    NavMouseDown(drag, NavButton::Left, true, 50, 60);
    EXPECT_EQ(drag.mode, 2);
    EXPECT_EQ(drag.lastCtrlY, 60);
    // The turn anchor is set as well, before the mode is switched.
    EXPECT_EQ(drag.lastX, 50);
    EXPECT_EQ(drag.lastY, 60);
}

TEST_F(NavigationTest, RightAndMiddlePressStartNothingButAnyReleaseEndsTheDrag) {
    NavMouseDown(drag, NavButton::Right, false, 5, 5);
    NavMouseDown(drag, NavButton::Middle, true, 5, 5);
    EXPECT_EQ(drag.mode, 0);
    const ViewPoint before = gas;
    NavMouseMove(drag, gas, 300, 300);
    EXPECT_EQ(gas.angle, before.angle);
    EXPECT_EQ(gas.height, before.height);
    EXPECT_EQ(gas.distance, before.distance);

    NavMouseDown(drag, NavButton::Left, false, 0, 0);
    NavMouseDown(drag, NavButton::Right, false, 0, 0);  // a second button changes nothing
    EXPECT_EQ(drag.mode, 1);
    NavMouseUp(drag);  // whichever button goes up
    EXPECT_EQ(drag.mode, 0);
}

TEST_F(NavigationTest, HundredPixelsRightTurnsTenDegrees) {
    LeftDrag(gas, 100, 100, 200, 100);
    EXPECT_EQ(gas.angle, 50.0);
    EXPECT_EQ(gas.height, 0.0);
    EXPECT_EQ(gas.distance, 4.25);

    // The same drag in single-pixel steps ends at the same angle (up to rounding).
    NavMouseDown(drag, NavButton::Left, false, 0, 0);
    for (int x = 1; x <= 100; ++x) {
        NavMouseMove(drag, gas, x, 0);
    }
    EXPECT_NEAR(gas.angle, 60.0, 1e-9);
}

TEST_F(NavigationTest, AngleSnapsToTheOtherEndWhateverTheOvershoot) {
    gas.angle = 359.0;
    LeftDrag(gas, 0, 0, 20, 0);  // 361
    EXPECT_EQ(gas.angle, 0.0);
    gas.angle = 359.0;
    LeftDrag(gas, 0, 0, 2000, 0);  // 559
    EXPECT_EQ(gas.angle, 0.0);
    gas.angle = 1.0;
    LeftDrag(gas, 20, 0, 0, 0);  // -1
    EXPECT_EQ(gas.angle, 360.0);
    gas.angle = 1.0;
    LeftDrag(gas, 3000, 0, 0, 0);  // -299
    EXPECT_EQ(gas.angle, 360.0);
    gas.angle = 350.0;
    LeftDrag(gas, 0, 0, 100, 0);  // exactly 360 stays
    EXPECT_EQ(gas.angle, 360.0);
}

TEST_F(NavigationTest, DraggingDownRaisesTheEyeFasterWhenFar) {
    LeftDrag(gas, 0, 0, 0, 100);
    EXPECT_EQ(gas.height, 4.25);

    ViewPoint near{40.0, 0.0, 0.5};
    LeftDrag(near, 0, 0, 0, 100);
    EXPECT_EQ(near.height, 0.5);

    // Solid camera at start: 1.5 + 4.25 would pass the top, so it stops at 5.
    LeftDrag(solid, 0, 0, 0, 100);
    EXPECT_EQ(solid.height, 5.0);
    EXPECT_EQ(solid.angle, 20.0);
}

TEST_F(NavigationTest, HeightAndDistanceNeverLeaveTheirRanges) {
    NavMouseDown(drag, NavButton::Left, false, 0, 0);
    NavMouseMove(drag, gas, 0, 100000);
    EXPECT_EQ(gas.height, 5.0);
    NavMouseMove(drag, gas, 0, -100000);
    EXPECT_EQ(gas.height, -5.0);
    NavMouseUp(drag);

    NavMouseDown(drag, NavButton::Left, true, 0, 0);
    NavMouseMove(drag, gas, 0, 100000);
    EXPECT_EQ(gas.distance, 4.25);
    NavMouseMove(drag, gas, 0, -100000);
    EXPECT_EQ(gas.distance, 0.5);
    // Back down by 100 px from the near limit: 0.5 + 1.0.
    NavMouseMove(drag, gas, 0, -99900);
    EXPECT_DOUBLE_EQ(gas.distance, 1.5);
    EXPECT_EQ(gas.angle, 40.0);
    EXPECT_EQ(gas.height, -5.0);
}

TEST_F(NavigationTest, ModeChosenAtPressHoldsForTheWholeDrag) {
    // Ctrl pressed later: the move carries no shift state, so the drag keeps turning.
    NavMouseDown(drag, NavButton::Left, false, 0, 0);
    NavMouseMove(drag, gas, 10, 20);
    EXPECT_EQ(drag.mode, 1);
    EXPECT_DOUBLE_EQ(gas.angle, 41.0);
    EXPECT_DOUBLE_EQ(gas.height, 20 * 4.25 * 0.01);
    EXPECT_EQ(gas.distance, 4.25);
    NavMouseUp(drag);

    // A distance drag ignores horizontal moves and leaves angle and height alone.
    ViewPoint v{40.0, 0.0, 4.25};
    NavMouseDown(drag, NavButton::Left, true, 0, 300);
    NavMouseMove(drag, v, 500, 200);
    EXPECT_DOUBLE_EQ(v.distance, 3.25);
    NavMouseMove(drag, v, -500, 150);
    EXPECT_DOUBLE_EQ(v.distance, 2.75);
    EXPECT_EQ(v.angle, 40.0);
    EXPECT_EQ(v.height, 0.0);
}

TEST_F(NavigationTest, KeysMoveTheCameraLikeShortDragsWithTheSameLimits) {
    const ViewPoint start = gas;
    struct Case {
        const char* what;
        ViewPoint from;
        NavKey key;
        ViewPoint expected;
    };
    const Case cases[] = {
        {"right turns like a 50-pixel drag", start, NavKey::Right, {40.0 + 50 * 0.1, 0.0, 4.25}},
        {"left turns back", start, NavKey::Left, {40.0 + -50 * 0.1, 0.0, 4.25}},
        {"right past 360 snaps to 0", {358.0, 0.0, 4.25}, NavKey::Right, {0.0, 0.0, 4.25}},
        {"left below 0 snaps to 360", {2.0, 0.0, 4.25}, NavKey::Left, {360.0, 0.0, 4.25}},
        {"up raises the eye a little", start, NavKey::Up, {40.0, 0.0 + 10 * 4.25 * 0.01, 4.25}},
        {"down lowers it", start, NavKey::Down, {40.0, 0.0 + -10 * 4.25 * 0.01, 4.25}},
        {"page up raises it more, closer means slower",
         {40.0, 1.0, 2.0},
         NavKey::PageUp,
         {40.0, 1.0 + 50 * 2.0 * 0.01, 2.0}},
        {"page down stops at -5", {40.0, -4.5, 4.25}, NavKey::PageDown, {40.0, -5.0, 4.25}},
        {"page up stops at 5", {40.0, 4.5, 4.25}, NavKey::PageUp, {40.0, 5.0, 4.25}},
        {"plus brings the eye closer", start, NavKey::ZoomIn, {40.0, 0.0, 4.25 + -25 * 0.01}},
        {"plus stops at 0.5", {40.0, 0.0, 0.6}, NavKey::ZoomIn, {40.0, 0.0, 0.5}},
        {"minus stops at 4.25", start, NavKey::ZoomOut, {40.0, 0.0, 4.25}},
        {"minus moves away", {40.0, 0.0, 1.0}, NavKey::ZoomOut, {40.0, 0.0, 1.0 + 25 * 0.01}},
        {"home gives back the start camera", {123.0, -3.0, 0.7}, NavKey::Home, start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ViewPoint v = c.from;
        NavKeyPress(v, c.key, start);
        EXPECT_EQ(v.angle, c.expected.angle);
        EXPECT_EQ(v.height, c.expected.height);
        EXPECT_EQ(v.distance, c.expected.distance);
    }
}

}  // namespace
}  // namespace veliso
