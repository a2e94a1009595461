// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <cstdint>

#include "core/common/view_point.h"

namespace veliso {

/// Mouse drag on the view, shared by the three tabs. Coordinates are view pixels,
/// x to the right, y downwards.
struct DragState {
    /// 0: no drag; 1: turn and raise (left button); 2: distance (left button with Ctrl).
    std::int32_t mode = 0;
    std::int32_t lastX = 0;      ///< x at the start or last step of a mode-1 drag
    std::int32_t lastY = 0;      ///< y at the start or last step of a mode-1 drag
    std::int32_t lastCtrlY = 0;  ///< y at the start or last step of a mode-2 drag
};

/// Which mouse button an event concerns; only the left one starts a drag.
enum class NavButton { Left, Right, Middle, Other };

/// Button press. The left button starts a turn-and-raise drag; with Ctrl held at that
/// moment it starts a distance drag instead. The mode chosen here holds until a release.
void NavMouseDown(DragState& drag, NavButton button, bool ctrl, int x, int y);

/// Any button release ends the drag.
void NavMouseUp(DragState& drag);

/// Mouse move during a drag, applied to the camera of the active tab.
///
/// Mode 1: angle += dx * 0.1 degrees, snapped to 0 above 360 and to 360 below 0 (not
/// reduced modulo 360); height += dy * distance * 0.01, kept within -5 .. 5, so the eye
/// climbs faster when it is far away.
/// Mode 2: distance += dy * 0.01 scene units, kept within 0.5 .. 4.25.
void NavMouseMove(DragState& drag, ViewPoint& view, int x, int y);

/// A key that moves the camera of the focused view.
enum class NavKey { Left, Right, Up, Down, PageUp, PageDown, ZoomIn, ZoomOut, Home };

/// Length in view pixels of the drag a key stands for: an arrow turns the scene like a short
/// drag of 50 pixels (5 degrees), Up and Down raise or lower the eye like a drag of 10
/// pixels, Page Up and Page Down like one of 50, and + and - move the eye like a Ctrl-drag
/// of 25 pixels (0.25 scene units).
inline constexpr int kNavKeyTurnPixels = 50;
inline constexpr int kNavKeyTiltPixels = 10;
inline constexpr int kNavKeyPagePixels = 50;
inline constexpr int kNavKeyZoomPixels = 25;

/// A key on the focused view, applied to the camera of the active tab through the same
/// arithmetic, snapping and limits as a mouse drag: Right turns like a drag to the right,
/// Up and Page Up raise the eye like a drag downwards, + brings the eye closer like a Ctrl-drag
/// upwards. Home gives the camera back its start values `start`.
void NavKeyPress(ViewPoint& view, NavKey key, const ViewPoint& start);

}  // namespace veliso
