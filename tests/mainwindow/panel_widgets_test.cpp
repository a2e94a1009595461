// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/panel_widgets.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>

#include <memory>

#include "qt_app.h"

namespace veliso {
namespace {

// A bare tab panel to build controls on.
class PanelWidgetsTest : public ::testing::Test {
  protected:
    // The application must exist before the panel member is constructed.
    static void SetUpTestSuite() { testing::TestApplication(); }

    PanelWidgetsTest() { SetUpTabPanel(panel.get(), "Panel"); }

    std::unique_ptr<QFrame> panel = std::make_unique<QFrame>();
};

TEST_F(PanelWidgetsTest, ValueLabelKeepsItsRightEdge) {
    QLabel* label = MakeValueLabel(panel.get(), "Lab", "100", QRect(120, 44, 22, 13));
    EXPECT_EQ(label->geometry().right(), 141);
    EXPECT_EQ(label->width(), label->fontMetrics().horizontalAdvance("100") + 1);

    SetValueText(label, std::string("1700085"));  // wider: grows to the left
    EXPECT_EQ(label->geometry().right(), 141);
    EXPECT_EQ(label->width(), label->fontMetrics().horizontalAdvance("1700085") + 1);
    EXPECT_EQ(label->y(), 44);

    SetValueText(label, std::string("7"));  // narrower: shrinks towards the right edge
    EXPECT_EQ(label->geometry().right(), 141);
    EXPECT_EQ(label->width(), label->fontMetrics().horizontalAdvance("7") + 1);

    const QRect shown = label->geometry();
    SetValueText(label, QString());  // an empty figure leaves the bounds alone
    EXPECT_EQ(label->geometry(), shown);
    EXPECT_EQ(label->text(), "");
}

TEST_F(PanelWidgetsTest, ValueLabelNeverNarrowerThanItsMinimumWidth) {
    QLabel* label = MakeValueLabel(panel.get(), "Lab", {}, QRect(120, 8, 22, 13));
    EXPECT_EQ(label->geometry(), QRect(120, 8, 22, 13));
    label->setMinimumWidth(22);
    SetValueText(label, std::string("75"));
    EXPECT_EQ(label->geometry(), QRect(120, 8, 22, 13));
    SetValueText(label, std::string("12345678"));
    EXPECT_EQ(label->geometry().right(), 141);
    EXPECT_GT(label->width(), 22);
}

TEST_F(PanelWidgetsTest, ButtonCaptionsKeepTheStylesPaddingInsideTheFrame) {
    auto* button = dynamic_cast<FittedButton*>(
        MakeButton(panel.get(), "butpause", "CONTINUE", {69, 242, 57, 24}));
    ASSERT_NE(button, nullptr);
    const int margin = button->margin();
    EXPECT_EQ(margin, button->style()->pixelMetric(QStyle::PM_ButtonMargin) / 2);
    ASSERT_GT(margin, 0);
    EXPECT_EQ(button->size(), QSize(57, 24));
    EXPECT_EQ(button->captionFont().pointSize(), 8);
    EXPECT_LE(QFontMetrics(button->captionFont()).horizontalAdvance("CONTINUE"), 57 - 2 * margin);
    // As drawn: no caption ink between the one-pixel frame and the caption on either side.
    const QImage shot = button->grab().toImage();
    for (int y = 2; y < shot.height() - 2; ++y) {
        for (int x = 1; x < margin; ++x) {
            for (int column : {x, shot.width() - 1 - x}) {
                EXPECT_GT(qGray(shot.pixel(column, y)), 160) << column << "," << y;
            }
        }
    }
    // A caption that fits is drawn in the button's own font.
    button->setText("PAUSE");
    EXPECT_EQ(button->captionFont(), button->font());
}

TEST_F(PanelWidgetsTest, GroupTitleIsSmallAndGreyButItsControlsAreNot) {
    QGroupBox* box = MakeGroupBox(panel.get(), "GroupBox", " OPTIONS ", QRect(8, 81, 145, 152));
    QLabel* caption =
        MakeLabel(box, "Caption", "Sphéricité des particules", QRect(8, 108, 119, 14));
    QCheckBox* check = MakeCheckBox(box, "Check", "Transparence du cube", QRect(8, 20, 129, 13));
    MakeColourTags(box, {"R", "V", "B"}, 61, false);

    const QColor grey(0x66, 0x66, 0x66);
    EXPECT_EQ(box->font().pointSize(), 7);
    EXPECT_EQ(box->palette().color(QPalette::WindowText), grey);
    for (QWidget* control : {static_cast<QWidget*>(caption), static_cast<QWidget*>(check)}) {
        EXPECT_EQ(control->font().family(), "Arial");
        EXPECT_EQ(control->font().pointSize(), 8);
        EXPECT_NE(control->palette().color(QPalette::WindowText), grey);
    }

    const char* names[] = {"R", "V", "B"};
    const QColor colours[] = {QColor(230, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255)};
    for (int i = 0; i < 3; ++i) {
        auto* tag = testing::FindControl<QLabel>(box, names[i]);
        EXPECT_EQ(tag->geometry(), QRect(8, 61 + 15 * i, 13, 11)) << names[i];
        EXPECT_EQ(tag->palette().color(QPalette::Window), colours[i]) << names[i];
        EXPECT_EQ(tag->palette().color(QPalette::WindowText), QColor(Qt::white)) << names[i];
        EXPECT_FALSE(tag->font().bold()) << names[i];
    }
}

}  // namespace
}  // namespace veliso
