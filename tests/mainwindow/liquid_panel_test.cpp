// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/liquid_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWindow>

#include <memory>
#include <vector>

#include "core/liquid/liquid_motion.h"
#include "qt_app.h"

namespace veliso {
namespace {

/// The liquid tab's panel on the record the program starts with, shown on screen.
class LiquidPanelTest : public ::testing::Test {
  protected:
    LiquidPanelTest() {
        testing::TestApplication();
        InitLiquid(liquid, random);
        panel = std::make_unique<LiquidPanel>(nullptr, liquid, detail, random);
        panel->show();
    }

    template <typename T>
    T* Find(const char* name) const {
        T* child = panel->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QSlider* Slider(const char* name) const { return Find<QSlider>(name); }
    QLabel* Label(const char* name) const { return Find<QLabel>(name); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    void Click(const char* name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }

    std::uint64_t now = 1765100000;
    RandomSource random{[this] { return now; }};
    LiquidState liquid;
    SphereDetail detail;
    std::unique_ptr<LiquidPanel> panel;
};

TEST_F(LiquidPanelTest, ControlsSitAtTheirBoundsWithTheirCaptions) {
    EXPECT_EQ(panel->objectName(), "Panliq");
    EXPECT_EQ(panel->size(), QSize(161, 472));
    EXPECT_EQ(panel->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(panel->font().family(), "Arial");
    EXPECT_EQ(panel->font().pointSize(), 8);

    struct Control {
        const char* name;
        QRect bounds;
        const char* caption;
    };
    const Control controls[] = {
        {"Label10", {8, 8, 122, 14}, "Volume du récipient : ......"},
        {"Label16", {143, 8, 10, 13}, "%"},
        {"Label9", {8, 42, 61, 14}, "Température"},
        {"GroupBox4", {8, 81, 145, 152}, " OPTIONS "},
        {"CB_trans_L", {8, 20, 129, 13}, "Transparence du cube"},
        {"CB_mark", {8, 40, 129, 13}, "2 particules marquées"},
        {"Label12", {8, 61, 13, 11}, " R "},
        {"Label13", {8, 76, 13, 11}, " V  "},
        {"Label14", {8, 91, 13, 11}, " B "},
        {"Label11", {8, 108, 119, 14}, "Sphéricité des particules"},
        {"butdep", {9, 242, 57, 24}, "DÉPART"},
        {"butpause", {69, 242, 57, 24}, "PAUSE"},
        {"TB_Vol_L", {2, 21, 157, 20}, nullptr},
        {"TB_t_L", {2, 55, 157, 20}, nullptr},
        {"TB_R_L", {24, 61, 117, 17}, nullptr},
        {"TB_V_L", {24, 76, 117, 17}, nullptr},
        {"TB_B_L", {24, 91, 117, 18}, nullptr},
        {"TB_face_L", {2, 121, 141, 25}, nullptr},
    };
    for (const Control& c : controls) {
        QWidget* widget = Find<QWidget>(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.bounds) << c.name;
        if (c.caption == nullptr) {
            continue;
        }
        const QString expected = QString::fromUtf8(c.caption);
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            shown = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            shown = button->text();
        } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            shown = box->title();
        }
        EXPECT_EQ(shown, expected) << c.name;
    }
    EXPECT_EQ(Find<QWidget>("CB_mark")->parentWidget()->objectName(), "GroupBox4");
    EXPECT_EQ(Find<QWidget>("TB_face_L")->parentWidget()->objectName(), "GroupBox4");
    EXPECT_FALSE(Find<QCheckBox>("CB_trans_L")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("CB_mark")->isChecked());
    EXPECT_EQ(Slider("TB_face_L")->toolTip(), "Optimalisation de l'animation");
}

TEST_F(LiquidPanelTest, SlidersStartAtTheRecordsValues) {
    struct Range {
        const char* name;
        int minimum, maximum, position;
    };
    for (const Range& r : {Range{"TB_Vol_L", 50, 100, 100}, Range{"TB_t_L", 273, 373, 273},
                           Range{"TB_R_L", 0, 255, 0}, Range{"TB_V_L", 0, 255, 153},
                           Range{"TB_B_L", 0, 255, 255}, Range{"TB_face_L", 8, 32, 20}}) {
        QSlider* slider = Slider(r.name);
        EXPECT_EQ(slider->orientation(), Qt::Horizontal) << r.name;
        EXPECT_EQ(slider->minimum(), r.minimum) << r.name;
        EXPECT_EQ(slider->maximum(), r.maximum) << r.name;
        EXPECT_EQ(slider->value(), r.position) << r.name;
        EXPECT_EQ(slider->cursor().shape(), Qt::PointingHandCursor) << r.name;
        const bool ticks = std::string(r.name) == "TB_face_L";
        EXPECT_EQ(slider->tickPosition(), ticks ? QSlider::TicksBelow : QSlider::NoTicks);
    }
    EXPECT_EQ(Slider("TB_face_L")->tickInterval(), 1);
    EXPECT_EQ(Slider("TB_face_L")->pageStep(), 1);
}

TEST_F(LiquidPanelTest, ValueLabelsAreBoldAndRightAligned) {
    for (const char* name : {"Lab_V_L", "Lab_T_L", "Label16"}) {
        EXPECT_TRUE(Label(name)->font().bold()) << name;
        EXPECT_EQ(Label(name)->font().pointSize(), 8) << name;
    }
    for (const char* name : {"Lab_V_L", "Lab_T_L"}) {
        EXPECT_TRUE(Label(name)->alignment() & Qt::AlignRight) << name;
    }
    EXPECT_FALSE(Label("Label9")->font().bold());
    EXPECT_EQ(Label("Lab_V_L")->text(), "100");
    EXPECT_EQ(Label("Lab_T_L")->text(), "273 K");
    // Wider figures grow to the left: the right edges stay where the layout put them.
    EXPECT_EQ(Label("Lab_V_L")->geometry().right(), 141);
    EXPECT_EQ(Label("Lab_T_L")->geometry().right(), 152);
    EXPECT_EQ(Label("Lab_T_L")->geometry().top(), 69);
}

TEST_F(LiquidPanelTest, TheTemperatureLabelLetsTheMouseThroughToTheSlider) {
    QSlider* slider = Slider("TB_t_L");
    slider->setValue(373);  // the widest figure, and the handle at the right end above it
    QLabel* label = Label("Lab_T_L");
    const QRect overlap = slider->geometry().intersected(label->geometry());
    ASSERT_FALSE(overlap.isEmpty());  // the label does cover the slider's lowest rows
    for (int x = overlap.left(); x <= overlap.right(); ++x) {
        EXPECT_EQ(panel->childAt(x, slider->geometry().bottom()), slider) << "x " << x;
    }
    // A drag as the window system delivers it, from the handle's lowest row, which the
    // label covers.
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = slider->value();
    const QRect handle =
        slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .translated(slider->pos());
    const QPoint grip(handle.center().x(), handle.bottom());
    ASSERT_TRUE(label->geometry().contains(grip));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    QWindow* window = panel->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, grip);
    QTest::mouseMove(window, grip - QPoint(60, 0));
    QTest::mouseRelease(window, Qt::LeftButton, {}, grip - QPoint(60, 0));
    EXPECT_LT(slider->value(), 373);
}

TEST_F(LiquidPanelTest, TabKeyFollowsTheLayoutOrder) {
    const std::vector<QString> expected = {"TB_Vol_L", "TB_t_L",  "CB_trans_L", "CB_mark",
                                           "TB_R_L",   "TB_V_L",  "TB_B_L",     "TB_face_L",
                                           "butdep",   "butpause"};
    std::vector<QString> order;
    QWidget* widget = Slider("TB_Vol_L");
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && panel->isAncestorOf(widget)) {
            order.push_back(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != Slider("TB_Vol_L") && order.size() < 20);
    EXPECT_EQ(order, expected);
}

TEST_F(LiquidPanelTest, VolumeSetsTheHalfEdgeOnly) {
    const LiquidState before = liquid;
    Slider("TB_Vol_L")->setValue(75);
    EXPECT_NEAR(liquid.halfEdge, 0.9085602964160698, 1e-15);  // 0.75^(1/3)
    EXPECT_EQ(Label("Lab_V_L")->text(), "75");
    EXPECT_EQ(liquid.x[10], before.x[10]);
    EXPECT_EQ(liquid.vx[10], before.vx[10]);
    Slider("TB_Vol_L")->setValue(20);  // clamped to the range
    EXPECT_NEAR(liquid.halfEdge, 0.7937005259840998, 1e-15);
    EXPECT_EQ(Label("Lab_V_L")->text(), "50");
}

TEST_F(LiquidPanelTest, TemperatureRedrawsTheVelocitiesAndKeepsThePositions) {
    const LiquidState before = liquid;
    now += 1;  // a new second: a new draw
    Slider("TB_t_L")->setValue(373);
    EXPECT_EQ(liquid.temperature, 373.0);
    EXPECT_EQ(Label("Lab_T_L")->text(), "373 K");
    EXPECT_NE(liquid.vx[0], before.vx[0]);
    for (int p = 0; p < kLiquidSlots; ++p) {
        ASSERT_EQ(liquid.y[p], before.y[p]);
        ASSERT_LE(std::abs(liquid.vz[p]), 0.00005 * 373);
    }
    // Same second, same draw: the velocities follow the temperature and nothing else.
    LiquidState expected = liquid;
    expected.temperature = 300.0;
    DrawLiquidVelocities(expected, random);
    Slider("TB_t_L")->setValue(300);
    EXPECT_EQ(liquid.vy[50], expected.vy[50]);
}

TEST_F(LiquidPanelTest, ColourSlidersSetTheParticleColour) {
    Slider("TB_R_L")->setValue(255);
    Slider("TB_V_L")->setValue(0);
    Slider("TB_B_L")->setValue(51);
    EXPECT_DOUBLE_EQ(liquid.red, 1.0);
    EXPECT_EQ(liquid.green, 0.0);
    EXPECT_DOUBLE_EQ(liquid.blue, 0.2);
}

TEST_F(LiquidPanelTest, CheckBoxesAreReadByTheRenderer) {
    QTest::mouseClick(Find<QCheckBox>("CB_trans_L"), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_TRUE(panel->transparentCube());
    EXPECT_FALSE(panel->markParticles());
    Find<QCheckBox>("CB_mark")->setChecked(true);
    EXPECT_TRUE(panel->markParticles());
}

TEST_F(LiquidPanelTest, SmoothnessMovesTheSolidThenTheGasSlider) {
    // Stand-ins for the other two tabs' sliders, linked back as the main window links them.
    QSlider solid(Qt::Horizontal);
    QSlider gas(Qt::Horizontal);
    std::vector<QString> moved;
    for (QSlider* other : {&solid, &gas}) {
        other->setRange(8, 32);
        other->setValue(20);
        QObject::connect(other, &QSlider::valueChanged, [&, other](int position) {
            moved.push_back(other == &solid ? "solid" : "gas");
            detail.slices = position;
            Slider("TB_face_L")->setValue(position);
            detail.stacks = detail.slices / 2;
        });
    }
    panel->LinkSmoothness(&solid, &gas);

    Slider("TB_face_L")->setValue(9);
    EXPECT_EQ(detail.slices, 9);
    EXPECT_EQ(detail.stacks, 4);
    EXPECT_EQ(solid.value(), 9);
    EXPECT_EQ(gas.value(), 9);
    EXPECT_EQ(moved, (std::vector<QString>{"solid", "gas"}));

    gas.setValue(31);  // from another tab
    EXPECT_EQ(Slider("TB_face_L")->value(), 31);
    EXPECT_EQ(solid.value(), 31);
    EXPECT_EQ(detail.slices, 31);
    EXPECT_EQ(detail.stacks, 15);
}

TEST_F(LiquidPanelTest, PauseDisablesVolumeAndStartUntilContinue) {
    Click("butpause");
    EXPECT_TRUE(liquid.paused);
    EXPECT_EQ(Button("butpause")->text(), "CONTINUE");
    EXPECT_FALSE(Slider("TB_Vol_L")->isEnabled());
    EXPECT_FALSE(Button("butdep")->isEnabled());
    for (const char* name : {"TB_t_L", "TB_R_L", "TB_V_L", "TB_B_L", "TB_face_L"}) {
        EXPECT_TRUE(Slider(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(Find<QCheckBox>("CB_mark")->isEnabled());

    // A temperature set while paused is kept for when the liquid runs again.
    Slider("TB_t_L")->setValue(350);
    EXPECT_EQ(liquid.temperature, 350.0);
    EXPECT_TRUE(liquid.paused);

    Click("butpause");
    EXPECT_FALSE(liquid.paused);
    EXPECT_EQ(Button("butpause")->text(), "PAUSE");
    EXPECT_TRUE(Slider("TB_Vol_L")->isEnabled());
    EXPECT_TRUE(Button("butdep")->isEnabled());
}

TEST_F(LiquidPanelTest, StartRebuildsTheLayersInTheCurrentCube) {
    Slider("TB_Vol_L")->setValue(50);
    for (int step = 0; step < 50; ++step) {
        StepLiquid(liquid);
    }
    Click("butdep");
    EXPECT_DOUBLE_EQ(liquid.y[0], -liquid.limit());
    EXPECT_NEAR(liquid.y[16] - liquid.y[0], 0.175, 1e-12);  // four per row in the small cube
    EXPECT_EQ(liquid.count, 100);
    EXPECT_FALSE(liquid.paused);
}

TEST(LiquidPanelStart, ControlsFollowTheRecordTheyAreGiven) {
    testing::TestApplication();
    LiquidState liquid;
    liquid.halfEdge = LiquidHalfEdge(64);
    liquid.temperature = 310.0;
    liquid.paused = true;
    SphereDetail detail;
    detail.SetSmoothness(12);
    RandomSource random;
    const LiquidState before = liquid;
    LiquidPanel panel(nullptr, liquid, detail, random);
    EXPECT_EQ(panel.findChild<QSlider*>("TB_Vol_L")->value(), 64);
    EXPECT_EQ(panel.findChild<QSlider*>("TB_t_L")->value(), 310);
    EXPECT_EQ(panel.findChild<QSlider*>("TB_face_L")->value(), 12);
    EXPECT_EQ(panel.findChild<QLabel*>("Lab_V_L")->text(), "64");
    EXPECT_EQ(panel.findChild<QPushButton*>("butpause")->text(), "CONTINUE");
    EXPECT_FALSE(panel.findChild<QPushButton*>("butdep")->isEnabled());
    // Building the panel runs no handler.
    EXPECT_EQ(liquid.halfEdge, before.halfEdge);
    EXPECT_EQ(liquid.vx[3], before.vx[3]);
}

}  // namespace
}  // namespace veliso
