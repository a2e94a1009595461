// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QDialog>
#include <QTimer>
#include <vector>

namespace veliso {
class ClickableLabel;
}

/// The splash screen: a frameless 384 x 256 picture, shown once while the main window is
/// about to appear. It fades in when its modal show begins and closes at the tenth tick of
/// its one-second timer (counted from its creation) or at a click on the picture.
class TFormsplash : public QDialog {
    Q_OBJECT
  public:
    explicit TFormsplash(QWidget* parent = nullptr);

    /// Window colour key: pixels of exactly this colour are cut out of the window's shape.
    static QColor ColourKey() { return QColor(0, 128, 192); }

    /// Ticks of `Timer1` since creation; never reset.
    int ticks() const { return ticks_; }
    /// Window alpha values (0 .. 255) set by the last fade-in, in order. Empty where the
    /// window system has no window opacity: there the splash shows at once.
    const std::vector<int>& fadeSteps() const { return fadeSteps_; }
    /// True when the platform sets the opacity of a whole window, so that the splash fades.
    static bool PlatformHasWindowOpacity();

    QTimer* Timer1 = nullptr;
    veliso::ClickableLabel* Image1 = nullptr;

  public slots:
    /// Fade-in: 17 alpha steps 0, 15 .. 240, each after an immediate repaint and a 5 ms
    /// pause, then fully opaque. It holds the user-interface thread for its length.
    void FormActivate();
    /// Counts the tick; the tenth one closes the splash.
    void Timer1Timer();
    void Image1Click();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const bool fades_;
    bool fadePending_ = false;  // shown, fade to start once the window is on the screen
    int ticks_ = 0;
    std::vector<int> fadeSteps_;
};

/// The one splash screen of the run.
extern TFormsplash* Formsplash;
