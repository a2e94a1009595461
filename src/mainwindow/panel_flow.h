// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

namespace veliso {

/// A tab panel laid out at fixed pixel bounds for the fonts it was built with (Arial 8 pt),
/// made to grow when the fonts in force are larger (an application style sheet's), so that
/// every text shows whole at its own size instead of smaller or cut:
/// - a row of the panel, or of a group box in it, whose texts need taller lines gets them,
///   and everything below moves down by as much; a group box grows by what its rows and its
///   title grew;
/// - the panel and everything in it widen by one factor, the least that lets every caption,
///   figure, group title and button caption show whole (a figure still grows to the left
///   over the dots of its caption); pictures keep their size.
/// With the fonts it was built with, nothing moves: every bound stays as built.
class PanelFlow {
  public:
    /// Records the bounds of everything inside `panel` as built, for a panel of `designSize`:
    /// call it once the panel is built, before it is shown.
    PanelFlow(QWidget* panel, QSize designSize);

    /// Lays the panel out for the fonts in force, and returns the size its contents need:
    /// the bounds it was built with when its fonts are no larger than those it was built
    /// with.
    QSize Flow();

    QWidget* panel() const { return panel_; }

  private:
    struct Item {
        QPointer<QWidget> widget;
        QRect design;
    };

    /// Whether any text of the panel is drawn in a font taller or wider than it was built with.
    bool FontsGrew() const;
    /// The tops and heights of the items inside `container` (design height `height`), with
    /// their rows grown; returns the container's new height.
    int FlowRows(const QWidget* container, int height, std::vector<QRect>& rects) const;
    /// Applies `rects` (tops and heights) with the widths of the factor `sx`.
    void Apply(const std::vector<QRect>& rects, double sx) const;
    /// Whether every text of the panel shows whole at its own size in the bounds it has now.
    bool AllShowWhole() const;

    QPointer<QWidget> panel_;
    QSize designSize_;
    std::vector<Item> items_;  // every widget inside the panel, parents before children
};

}  // namespace veliso
