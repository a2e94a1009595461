// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QString>

class QSettings;
class QWidget;

namespace veliso {

/// The sizes "Taille de l'interface" offers, in percent of the normal size.
inline constexpr int kInterfacePercents[] = {100, 125, 150, 200};

bool IsInterfacePercent(int percent);

/// How the user wants the program shown: the size of the whole interface and the contrast
/// mode. Kept between runs; the defaults are the program as it always looked.
struct DisplaySettings {
    int interfacePercent = 100;
    bool highContrast = false;
    bool operator==(const DisplaySettings&) const = default;
};

/// Reads them from `settings` (keys "interface/taille" and "interface/contraste-eleve"); a
/// missing or unknown size reads as 100.
DisplaySettings LoadDisplaySettings(QSettings& settings);
void SaveDisplaySettings(QSettings& settings, const DisplaySettings& display);

/// The user's own settings file of the program (works before the application object exists).
DisplaySettings LoadUserDisplaySettings();
void SaveUserDisplaySettings(const DisplaySettings& display);

/// Scales the whole interface by `percent` for this run, through Qt's global scale factor
/// (QT_SCALE_FACTOR, multiplied into a factor the environment sets already). Only before the
/// application object is created; 100 changes nothing.
void ApplyInterfaceScale(int percent);

/// What a change of size made from the menu tells the user: Qt fixes the scale when the
/// program starts.
QString InterfaceSizeNotice(int percent);

/// Shrinks `window` to the available area of its screen where it is larger, and moves it
/// wholly onto that screen; a window that fits already keeps its size and place.
void KeepOnScreen(QWidget& window);

/// KeepOnScreen now, and again each time the window is shown, once the window manager's
/// frame is known: a title bar can push a window that fitted without it off the screen's
/// bottom.
void KeepOnScreenWithItsFrame(QWidget& window);

}  // namespace veliso
