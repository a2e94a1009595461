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

}  // namespace veliso
