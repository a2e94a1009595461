// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QIcon>
#include <QPixmap>

namespace veliso {

/// Every picture and icon of the program comes from here, so that the artwork can be
/// replaced in one place. They are made by tools/pictures and embedded as resources.
namespace pictures {

/// The 24 x 24 information icon of the three tab panels.
QPixmap InfoIcon();
/// The application icon (main window, task bar, About box picture).
QIcon ApplicationIcon();
/// Window icons of the instructions window and of the About box.
QIcon InstructionsIcon();
QIcon AboutIcon();
/// The 384 x 256 splash picture. Pixels of the splash colour key (0, 128, 192) become
/// see-through when the splash window shapes itself.
QPixmap SplashPicture();
/// The 54 x 44 picture of the instructions window (a mouse).
QPixmap InstructionsPicture();

}  // namespace pictures
}  // namespace veliso
