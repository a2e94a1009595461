// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QImage>

namespace veliso::pictures {

/// The application icon at `size` x `size` pixels, with alpha: a rounded blue tile holding
/// the three states as lit balls (a grey crystal ball, a blue drop, an orange gas particle),
/// with the outline of the box behind them from 32 pixels up.
QImage ApplicationIcon(int size);

/// The 24 x 24 information icon, with alpha: a white "i" in a blue disc, its strokes on
/// whole pixels so that it stays sharp at its only size.
QImage InfoIcon();

/// The 54 x 44 picture of the instructions window, on white: a mouse seen from above with
/// its left button marked in the orange of the window's bullets, and arrows for the drags.
QImage InstructionsPicture();

}  // namespace veliso::pictures
