// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QAccessible>
#include <QObject>
#include <QString>

#include <vector>

class QLabel;
class QMenu;
class QWidget;

namespace veliso {

// What a screen reader learns about the windows. Qt builds an accessible interface for a
// widget only when an assistive technology asks for it, so nothing here changes what the
// windows show or how they answer the mouse and the keys.

/// Installs the program's accessible interfaces, before Qt's own: the tab bars expose only
/// their visible tabs and say which one is selected; a slider is a spin button whose text is
/// its value with its unit, and a gauge is read with its unit;
/// a plain frame is a group, not a window; a widget given a role (SetAccessibleRole) takes
/// it. Safe to call again.
void InstallAccessibility();

/// The role a widget is exposed with. A link or a button made of a clickable label is
/// pressed through its "clicked" signal.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

/// Exposes `menu`, which opens at `owner` (a widget given a role by SetAccessibleRole), and
/// its submenus: while open, the menu is a child of `owner`, so that a screen reader says its
/// name when it opens, and every item that can be checked says its state, on or off (a
/// toggle is a check box, one choice of an exclusive group a radio button). Items added
/// later are exposed too.
void ExposeMenu(QMenu* menu, QWidget* owner);

/// A slider's value as the user reads it: its position, then `unit` ("298 K" for " K"); a
/// gauge's likewise, read in its name instead of as a share of its range.
void SetValueUnit(QWidget* slider, const QString& unit);

/// The labels of `control`, either may be null: its caption labels it (and is read with the
/// control's name), and the control controls the figure that shows its value.
void TieLabels(QWidget* control, QLabel* caption, QLabel* figure);

/// A label whose figure is read with its meaning: `format` with %1 for the label's text
/// ("Pression : %1 Pa").
void SetSpokenFormat(QLabel* label, const QString& format);

/// Says a sentence once, politely, through a notification object that only screen readers
/// see: nothing shows on the screen. Each Say is one announcement, even of the same words.
///
/// A screen reader reads a notification's text when it gets to the event, and this Qt's bridge
/// does not pass the text with it: a second sentence given to the same object before then
/// would be read twice and the first lost. The sentences therefore take turns among a few
/// notification objects, children of `parent`.
class Announcer : public QObject {
    Q_OBJECT
  public:
    explicit Announcer(QObject* parent);

    void Say(const QString& text);
    /// The last sentence said; empty before the first.
    QString lastText() const { return text_; }
    /// How many sentences were said.
    int count() const { return count_; }

  private:
    std::vector<QObject*> voices_;
    QString text_;
    int count_ = 0;
};

}  // namespace veliso
