// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace veliso::pictures {

/// The splash window's colour key: pixels of exactly this colour let the desktop show through.
inline const QColor kSplashKey(0, 128, 192);

/// The 384 x 256 splash picture: a title band with "Veliso" over three panels that show a
/// crystal, a liquid and a gas as the program's own scenes draw them (rendered offscreen,
/// three times larger, then scaled down). The gaps between the parts and the margin below
/// the panels are the colour key, in whole 8 x 8 blocks. Returns a null image and sets
/// `problem` when no offscreen OpenGL context is available.
QImage SplashPicture(QString& problem);

}  // namespace veliso::pictures
