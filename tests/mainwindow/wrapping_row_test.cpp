// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/wrapping_row.h"

#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>
#include <array>
#include <memory>

#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

// Four groups of a 30 × 20 caption and a field 24 high, 6 px apart: 136, 116, 186 and
// 96 px wide.
constexpr std::array<int, 4> kFieldWidths = {100, 80, 150, 60};
constexpr int kGap = 6;

struct Host {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    std::array<QWidget*, 4> captions{}, fields{};

    /// The groups in `row`, inside a column of no margins as in the measurement window.
    explicit Host(QLayout* row, bool wrapping) {
        auto* column = new QVBoxLayout(window.get());
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(kGap);
        column->addLayout(row);
        column->addStretch();
        for (std::size_t g = 0; g < kFieldWidths.size(); ++g) {
            captions[g] = new QWidget(window.get());
            captions[g]->setFixedSize(30, 20);
            fields[g] = new QWidget(window.get());
            fields[g]->setFixedSize(kFieldWidths[g], 24);
            if (wrapping) {
                static_cast<WrappingRow*>(row)->addGroup({captions[g], fields[g]});
            } else {
                row->addWidget(captions[g]);
                row->addWidget(fields[g]);
            }
        }
        if (!wrapping) {
            static_cast<QHBoxLayout*>(row)->addStretch();
        }
    }
    void LayOut(int width) {
        // Hidden windows get no resize events: the layout is given the new size itself.
        window->resize(width, 400);
        window->layout()->activate();
        window->layout()->setGeometry(window->rect());
    }
};

TEST(WrappingRow, AsAPlainRowWhenItFitsElseWholeGroupsOnMoreLines) {
    testing::TestApplication();
    // Room for all: placed exactly as a left-aligned box row places them.
    Host plain(new QHBoxLayout, false);
    Host wrapped(new WrappingRow, true);
    plain.LayOut(600);
    wrapped.LayOut(600);
    for (std::size_t g = 0; g < kFieldWidths.size(); ++g) {
        EXPECT_EQ(wrapped.captions[g]->geometry(), plain.captions[g]->geometry()) << g;
        EXPECT_EQ(wrapped.fields[g]->geometry(), plain.fields[g]->geometry()) << g;
    }

    const struct {
        int width;
        bool secondHidden;
        std::array<int, 4> lines;  // of each group; -1 hidden
    } cases[] = {
        {600, false, {0, 0, 0, 0}}, {300, false, {0, 0, 1, 1}}, {200, false, {0, 1, 2, 3}},
        {100, false, {0, 1, 2, 3}},  // narrower than a group: alone on its line, never split
        {330, true, {0, -1, 0, 1}},  // a hidden group takes no room
    };
    auto* row = static_cast<WrappingRow*>(wrapped.window->layout()->itemAt(0)->layout());
    EXPECT_EQ(row->minimumSize().width(), 186);
    for (const auto& c : cases) {
        wrapped.captions[1]->setHidden(c.secondHidden);
        wrapped.fields[1]->setHidden(c.secondHidden);
        wrapped.LayOut(c.width);
        int lastLine = 0;
        int x = 0;
        for (std::size_t g = 0; g < kFieldWidths.size(); ++g) {
            if (c.lines[g] < 0) {
                continue;
            }
            if (c.lines[g] != lastLine) {
                x = 0;
            }
            lastLine = c.lines[g];
            const QRect caption = wrapped.captions[g]->geometry();
            const QRect field = wrapped.fields[g]->geometry();
            EXPECT_EQ(field.top(), c.lines[g] * (24 + kGap)) << c.width << " group " << g;
            EXPECT_EQ(caption.center().y(), field.center().y()) << c.width << " group " << g;
            EXPECT_EQ(caption.left(), x) << c.width << " group " << g;
            EXPECT_EQ(field.left(), x + 30 + kGap) << c.width << " group " << g;
            x = field.right() + 1 + kGap;
        }
        const int lines = lastLine + 1;
        EXPECT_EQ(row->heightForWidth(c.width), lines * 24 + (lines - 1) * kGap) << c.width;
    }
}

}  // namespace
}  // namespace veliso
