// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QFont>
#include <QList>
#include <QPushButton>
#include <QRect>
#include <QString>

#include <array>
#include <initializer_list>
#include <string>

#include "core/common/sphere_detail.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QSlider;
class QWidget;

namespace veliso {

// Builders shared by the three tab panels. Every control gets its object name, so tests and
// the main window find it with findChild, and sits at fixed bounds (left, top, width, height)
// in pixels within its parent.

/// The panels' font: Arial 8 pt, bold for value labels and colour tags.
QFont PanelFont(bool bold = false);

/// A tab panel: object name, lowered panel frame, the panel font, its own background (the
/// window colour, which the value labels share), 161 × 472 pixels with its width fixed.
void SetUpTabPanel(QFrame* panel, const char* name);

/// Keyboard (Tab key) order through `order`, first to last.
void ChainTabOrder(const QList<QWidget*>& order);

/// Gives a control the panel font and the application's text colours, so a control inside
/// a group box does not take the box's small grey title look.
void UsePanelLook(QWidget* widget, bool bold = false);

/// A plain caption, aligned to its top left: a FittedLabel, whose words are never cut.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                  const QString& hint = {});

/// A bold, right-aligned figure with an opaque background, showing `text` (see SetValueText):
/// a FittedLabel that grows to the left when a larger font needs it, and that a caption it
/// overlaps ends its words before.
QLabel* MakeValueLabel(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                       const QString& hint = {});

/// Shows `text` in a value label. The label sizes itself to its text and keeps its right
/// edge, so a longer figure grows to the left over the dotted leader of its caption (the
/// opaque background hides the dots beneath it); it never gets narrower than its minimum
/// width. An empty text leaves the bounds alone.
void SetValueText(QLabel* label, const QString& text);
void SetValueText(QLabel* label, const std::string& text);

/// A horizontal slider without tick marks, range minimum .. maximum, at `position`.
QSlider* MakeSlider(QWidget* parent, const char* name, const QRect& bounds, int minimum,
                    int maximum, int position);

/// A smoothness slider ("Sphéricité des particules"): 8 .. 32 in steps of 1 with a tick at
/// every value below it, and the hint "Optimalisation de l'animation".
QSlider* MakeSmoothnessSlider(QWidget* parent, const char* name, const QRect& bounds, int position);

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                        const QString& hint = {});

/// A group box whose title is small and grey (Arial 7 pt) and sits on the frame's top line,
/// so the controls inside keep their places: a FittedGroupBox, whose title a larger font
/// never draws over them.
QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& title,
                        const QRect& bounds);

/// The " R ", " V  ", " B " tags beside the colour sliders: white text on red, green and blue,
/// 13 × 11 pixels at left 8, the first at `top`, the next two 15 and 30 pixels lower.
void MakeColourTags(QWidget* parent, const std::array<const char*, 3>& names, int top, bool bold);

/// One colour slider: the panel field that receives it, its name, its bounds, its start
/// position and the record component (red, green or blue, 0 .. 1) it sets.
struct ColourSlider {
    QSlider** field;
    const char* name;
    QRect bounds;
    int position;
    double* component;
};

/// The three colour rows of a tab: their tags (MakeColourTags) and their sliders, 0 .. 255
/// without tick marks. Each slider's change handler sets its component to position / 255;
/// none runs for the start positions.
void MakeColourRows(QWidget* parent, const std::array<const char*, 3>& tags, int tagTop,
                    bool boldTags, const std::array<ColourSlider, 3>& sliders);

/// `font` narrowed as little as needed, down to half its width at most, for `text` to take no
/// more than `room` pixels; `font` itself when the text fits already.
QFont NarrowedToFit(const QFont& font, const QString& text, int room);

/// A push button whose caption keeps `margin` pixels clear on each side of its face: a caption
/// too wide for that is drawn narrowed (NarrowedToFit) instead of touching or crossing the
/// frame, and one too tall for the face smaller (FitText). The button keeps its size and its
/// font.
class FittedButton : public QPushButton {
  public:
    FittedButton(const QString& text, QWidget* parent, int margin);
    /// The font the caption is drawn in at the button's current width and text.
    QFont captionFont() const;
    int margin() const { return margin_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int margin_;
};

/// The pause button of a model that moves (liquid, gas): "CONTINUE" while it is paused,
/// "PAUSE" while it runs; the controls that act only on a running model ("DÉPART", the
/// volume) are disabled while it is paused.
void ShowPaused(QPushButton* pause, bool paused, std::initializer_list<QWidget*> runningOnly);

/// A panel button: a FittedButton whose margin is the style's button padding.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text,
                        const QRect& bounds);
/// A FittedButton with the given margin, named and placed.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                        int margin);

/// The smoothness link, run by each tab's smoothness slider when it moves to `position`:
/// slices := position; each linked sibling slider is moved to the same position; then
/// stacks := slices / 2, rounded toward zero. A sibling that moves runs its own handler
/// before setValue returns; one that already shows the position is left alone, which ends
/// the chain. Null siblings (not linked yet) are skipped.
void FollowSmoothness(SphereDetail& detail, int position, std::initializer_list<QSlider*> siblings);

}  // namespace veliso
