// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/panel_flow.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>

#include "mainwindow/fitted_text.h"

namespace veliso {

namespace {

/// A widget within this many pixels below the bottom of a row belongs below it: the panels'
/// rows touch or overlap by a pixel or two (a caption's last blank line over its slider's
/// empty top).
constexpr int kRowTolerance = 2;
/// The widest a panel is made, as a multiple of its width as built.
constexpr double kMostWidening = 4.0;

bool ShowsText(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        return label->pixmap().isNull() && !label->text().trimmed().isEmpty();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return !button->text().isEmpty();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        return !group->title().trimmed().isEmpty();
    }
    return false;
}

/// A picture keeps its size when the panel widens.
bool KeepsWidth(const QWidget* w) {
    const auto* label = qobject_cast<const QLabel*>(w);
    return label != nullptr && !label->pixmap().isNull();
}

/// The font `w` was made for: its own at the panels' size, 8 pt (7 pt for a group box's
/// title). A style sheet's font reaches a widget before the panel is shown, some even as they
/// are built, so what the widget had then says nothing.
QFont DesignFont(const QWidget* w) {
    QFont font = w->font();
    font.setPointSizeF(qobject_cast<const QGroupBox*>(w) != nullptr ? 7 : 8);
    return font;
}

/// How much taller the lines of `w`'s font are than those of the font it was made for.
int LineGrowth(const QWidget* w) {
    return std::max(0, QFontMetrics(w->font()).height() - QFontMetrics(DesignFont(w)).height());
}

bool Larger(const QWidget* w) {
    const QFontMetrics now(w->font());
    const QFontMetrics was(DesignFont(w));
    return now.height() > was.height() || now.averageCharWidth() > was.averageCharWidth();
}

}  // namespace

PanelFlow::PanelFlow(QWidget* panel, QSize designSize) : panel_(panel), designSize_(designSize) {
    // Parents before children, as findChildren goes through the tree.
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        if (!w->isWindow()) {
            items_.push_back({w, w->geometry()});
        }
    }
}

bool PanelFlow::FontsGrew() const {
    for (const Item& item : items_) {
        if (item.widget != nullptr && ShowsText(item.widget) && Larger(item.widget)) {
            return true;
        }
    }
    return false;
}

int PanelFlow::FlowRows(const QWidget* container, int height, std::vector<QRect>& rects) const {
    // Each row that grew adds its growth below its bottom; a group box's title, above
    // everything inside it.
    std::vector<std::pair<int, int>> breaks;  // (design bottom, growth)
    if (const auto* group = qobject_cast<const QGroupBox*>(container); group && ShowsText(group)) {
        breaks.push_back({0, LineGrowth(group)});
    }
    std::vector<std::size_t> children;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const QWidget* w = items_[i].widget;
        if (w == nullptr || w->parentWidget() != container) {
            continue;
        }
        children.push_back(i);
        const QRect& design = items_[i].design;
        int growth = FlowRows(w, design.height(), rects) - design.height();
        if (ShowsText(w) && qobject_cast<const QGroupBox*>(w) == nullptr) {
            growth = std::max(growth, LineGrowth(w));
        }
        if (growth > 0) {
            breaks.push_back({design.bottom(), growth});
        }
    }
    // One row, one growth: the bottoms of a row's widgets lie within a pixel or two.
    std::sort(breaks.begin(), breaks.end());
    std::vector<std::pair<int, int>> rows;
    for (const auto& [at, growth] : breaks) {
        if (!rows.empty() && at <= rows.back().first + kRowTolerance &&
            at - kRowTolerance <= rows.back().first) {
            rows.back().first = std::max(rows.back().first, at);
            rows.back().second = std::max(rows.back().second, growth);
        } else {
            rows.push_back({at, growth});
        }
    }
    const auto grownAbove = [&rows](int y) {
        int sum = 0;
        for (const auto& [at, growth] : rows) {
            if (at <= y) {
                sum += growth;
            }
        }
        return sum;
    };
    for (std::size_t i : children) {
        const QRect& d = items_[i].design;
        const int top = d.top() + grownAbove(d.top() + kRowTolerance);
        const int bottom = d.bottom() + grownAbove(d.bottom() + kRowTolerance);
        rects[i] = QRect(d.left(), top, d.width(), bottom - top + 1);
    }
    return height + grownAbove(height);
}

void PanelFlow::Apply(const std::vector<QRect>& rects, double sx) const {
    const auto scaled = [sx](int x) { return static_cast<int>(std::lround(x * sx)); };
    for (std::size_t i = 0; i < items_.size(); ++i) {
        QWidget* w = items_[i].widget;
        if (w == nullptr) {
            continue;
        }
        const QRect& r = rects[i];
        int left = scaled(r.left());
        int width = scaled(r.left() + r.width()) - left;
        if (KeepsWidth(w)) {
            left =
                static_cast<int>(std::lround((r.left() + r.width() / 2.0) * sx - r.width() / 2.0));
            width = r.width();
        }
        w->setGeometry(left, r.top(), width, r.height());
        if (auto* label = dynamic_cast<FittedLabel*>(w)) {
            label->GrowToText();
        }
    }
    panel_->setFixedWidth(scaled(designSize_.width()));
}

bool PanelFlow::AllShowWhole() const {
    for (const Item& item : items_) {
        QWidget* w = item.widget;
        if (w == nullptr || !w->isVisibleTo(panel_) || !ShowsText(w)) {
            continue;
        }
        bool whole = true;
        if (const auto* label = dynamic_cast<const FittedLabel*>(w)) {
            whole = label->fitted().asIs;
        } else if (const auto* box = dynamic_cast<const FittedCheckBox*>(w)) {
            whole = box->fittedCaption().asIs;
        } else if (const auto* radio = dynamic_cast<const FittedRadioButton*>(w)) {
            whole = radio->fittedCaption().asIs;
        } else if (const auto* group = dynamic_cast<const FittedGroupBox*>(w)) {
            whole = group->fittedTitle().asIs;
        } else if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            whole = button->sizeHint().width() <= button->width();
        }
        if (!whole) {
            return false;
        }
    }
    return true;
}

QSize PanelFlow::Flow() {
    if (panel_ == nullptr) {
        return {};
    }
    std::vector<QRect> rects(items_.size());
    if (!FontsGrew()) {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            rects[i] = items_[i].design;
        }
        if (panel_->minimumWidth() != designSize_.width()) {
            Apply(rects, 1.0);  // back as built, after a larger font
        }
        return designSize_;
    }
    const int height = FlowRows(panel_, designSize_.height(), rects);
    // The least widening that shows every text whole: found by doubling, then halving the
    // interval it lies in.
    double least = 1.0;
    double enough = 1.0;
    Apply(rects, enough);
    while (!AllShowWhole() && enough < kMostWidening) {
        least = enough;
        enough = std::min(kMostWidening, enough * 1.25);
        Apply(rects, enough);
    }
    if (enough > 1.0) {
        for (int step = 0; step < 10; ++step) {
            const double middle = (least + enough) / 2;
            Apply(rects, middle);
            (AllShowWhole() ? enough : least) = middle;
        }
        Apply(rects, enough);
    }
    return {panel_->minimumWidth(), height};
}

}  // namespace veliso
