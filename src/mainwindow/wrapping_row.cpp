// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/wrapping_row.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>
#include <QWidgetItem>
#include <algorithm>

namespace veliso {

WrappingRow::~WrappingRow() {
    for (Entry& e : items_) {
        delete e.item;
    }
}

void WrappingRow::addGroup(std::initializer_list<QWidget*> widgets) {
    bool first = true;
    for (QWidget* w : widgets) {
        addChildWidget(w);
        items_.push_back({new QWidgetItemV2(w), first});
        first = false;
    }
    invalidate();
}

void WrappingRow::addItem(QLayoutItem* item) {
    items_.push_back({item, true});
    invalidate();
}

QLayoutItem* WrappingRow::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[index].item : nullptr;
}

QLayoutItem* WrappingRow::takeAt(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    QLayoutItem* item = items_[index].item;
    // The group goes on with its next widget, if it had one.
    if (items_[index].startsGroup && index + 1 < count()) {
        items_[index + 1].startsGroup = true;
    }
    items_.erase(items_.begin() + index);
    invalidate();
    return item;
}

int WrappingRow::Gap(Qt::Orientation orientation) const {
    // A box layout's own rule: the spacing set, else the one of the layout or widget around.
    if (const int set = spacing(); set >= 0) {
        return set;
    }
    const QWidget* widget = parentWidget();
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const int metric =
        style->pixelMetric(orientation == Qt::Horizontal ? QStyle::PM_LayoutHorizontalSpacing
                                                         : QStyle::PM_LayoutVerticalSpacing,
                           nullptr, widget);
    return std::max(metric, 0);
}

std::vector<WrappingRow::Group> WrappingRow::Groups() const {
    const int across = Gap(Qt::Horizontal);
    std::vector<Group> groups;
    for (std::size_t i = 0; i < items_.size();) {
        Group g{i, i + 1, 0, 0};
        while (g.end < items_.size() && !items_[g.end].startsGroup) {
            ++g.end;
        }
        bool any = false;
        for (std::size_t k = g.first; k < g.end; ++k) {
            if (items_[k].item->isEmpty()) {
                continue;
            }
            const QSize hint = items_[k].item->sizeHint();
            g.width += (any ? across : 0) + hint.width();
            g.height = std::max(g.height, hint.height());
            any = true;
        }
        if (any) {
            groups.push_back(g);
        }
        i = g.end;
    }
    return groups;
}

int WrappingRow::Arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int across = Gap(Qt::Horizontal);
    const int down = Gap(Qt::Vertical);
    const std::vector<Group> groups = Groups();
    int y = area.top();
    for (std::size_t line = 0; line < groups.size();) {
        // As many groups as the width takes, and always at least one.
        std::size_t next = line + 1;
        int width = groups[line].width;
        int height = groups[line].height;
        while (next < groups.size() && width + across + groups[next].width <= area.width()) {
            width += across + groups[next].width;
            height = std::max(height, groups[next].height);
            ++next;
        }
        if (place) {
            int x = area.left();
            for (std::size_t g = line; g < next; ++g) {
                for (std::size_t k = groups[g].first; k < groups[g].end; ++k) {
                    QLayoutItem* item = items_[k].item;
                    if (item->isEmpty()) {
                        continue;
                    }
                    // The whole line's height: the item centres itself in it, as in a box.
                    const int w = item->sizeHint().width();
                    item->setGeometry(QRect(x, y, w, height));
                    x += w + across;
                }
            }
        }
        y += height + (next < groups.size() ? down : 0);
        line = next;
    }
    const QMargins m = contentsMargins();
    return y - area.top() + m.top() + m.bottom();
}

int WrappingRow::heightForWidth(int width) const {
    return Arrange(QRect(0, 0, width, 0), false);
}

QSize WrappingRow::minimumSize() const {
    int width = 0;
    int height = 0;
    for (const Group& g : Groups()) {
        width = std::max(width, g.width);
        height = std::max(height, g.height);
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QSize WrappingRow::sizeHint() const {
    const int across = Gap(Qt::Horizontal);
    int width = 0;
    int height = 0;
    for (const Group& g : Groups()) {
        width += (width > 0 ? across : 0) + g.width;
        height = std::max(height, g.height);
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

void WrappingRow::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

}  // namespace veliso
