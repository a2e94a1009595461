// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/common/navigation.h"

namespace veliso {

void NavMouseDown(DragState& drag, NavButton button, bool ctrl, int x, int y) {
    if (button != NavButton::Left) {
        return;
    }
    drag.mode = 1;
    drag.lastX = x;
    drag.lastY = y;
    if (ctrl) {
        drag.mode = 2;
        drag.lastCtrlY = y;
    }
}

void NavMouseUp(DragState& drag) {
    drag.mode = 0;
}

void NavMouseMove(DragState& drag, ViewPoint& view, int x, int y) {
    if (drag.mode == 1) {
        view.angle += (x - drag.lastX) * 0.1;
        if (view.angle > 360) {
            view.angle = 0;
        }
        if (view.angle < 0) {
            view.angle = 360;
        }
        view.height += (y - drag.lastY) * view.distance * 0.01;
        if (view.height > 5) {
            view.height = 5;
        }
        if (view.height < -5) {
            view.height = -5;
        }
        drag.lastX = x;
        drag.lastY = y;
    } else if (drag.mode == 2) {
        view.distance += (y - drag.lastCtrlY) * 0.01;
        if (view.distance > 4.25) {
            view.distance = 4.25;
        }
        if (view.distance < 0.5) {
            view.distance = 0.5;
        }
        drag.lastCtrlY = y;
    }
}

void NavKeyPress(ViewPoint& view, NavKey key, const ViewPoint& start) {
    // Each key is a one-step drag from (0, 0), so the camera keeps the mouse's snapping and
    // limits exactly.
    struct Step {
        NavKey key;
        bool ctrl;
        int dx;
        int dy;
    };
    static constexpr Step kSteps[] = {
        {NavKey::Left, false, -kNavKeyTurnPixels, 0},
        {NavKey::Right, false, kNavKeyTurnPixels, 0},
        {NavKey::Up, false, 0, kNavKeyTiltPixels},
        {NavKey::Down, false, 0, -kNavKeyTiltPixels},
        {NavKey::PageUp, false, 0, kNavKeyPagePixels},
        {NavKey::PageDown, false, 0, -kNavKeyPagePixels},
        {NavKey::ZoomIn, true, 0, -kNavKeyZoomPixels},
        {NavKey::ZoomOut, true, 0, kNavKeyZoomPixels},
    };
    if (key == NavKey::Home) {
        view = start;
        return;
    }
    for (const Step& step : kSteps) {
        if (step.key == key) {
            DragState drag;
            NavMouseDown(drag, NavButton::Left, step.ctrl, 0, 0);
            NavMouseMove(drag, view, step.dx, step.dy);
            return;
        }
    }
}

}  // namespace veliso
