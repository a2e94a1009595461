// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QLayout>
#include <initializer_list>
#include <vector>

namespace veliso {

/// A row of controls that goes on to a second line, and more, when its width is too small
/// for all of them, so that a window beside another on a small screen still shows every
/// control whole. Controls are added in groups (a caption and its choice) that always stay
/// on one line together. When everything fits, each control has its preferred width and the
/// row reads as a plain left-aligned row with the style's spacing.
class WrappingRow : public QLayout {
  public:
    WrappingRow() = default;
    ~WrappingRow() override;
    WrappingRow(const WrappingRow&) = delete;
    WrappingRow& operator=(const WrappingRow&) = delete;

    /// Widgets that stay on one line together, after the groups added before.
    void addGroup(std::initializer_list<QWidget*> widgets);

    void addItem(QLayoutItem* item) override;  // a group of its own
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    /// As wide as the widest group and as tall as one line: a window's least size follows
    /// its layouts' least sizes, so a window with this row keeps room for the lines it takes
    /// at the window's least width itself.
    QSize minimumSize() const override;
    /// Every group on one line.
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

  private:
    struct Entry {
        QLayoutItem* item;
        bool startsGroup;
    };
    struct Group {
        std::size_t first, end;  // entries [first, end)
        int width, height;       // of the shown widgets, with the gaps between them
    };
    std::vector<Group> Groups() const;
    /// Lays the groups out in `rect` (placing them when `place`) and gives the height taken.
    int Arrange(const QRect& rect, bool place) const;
    int Gap(Qt::Orientation orientation) const;

    std::vector<Entry> items_;
};

}  // namespace veliso
