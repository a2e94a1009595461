// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/gas_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <memory>

#include "core/gas/gas_model.h"
#include "qt_app.h"

namespace veliso {
namespace {

// The gas tab's panel on the record the program starts with.
class GasPanelTest : public ::testing::Test {
  protected:
    GasPanelTest() {
        testing::TestApplication();
        InitGas(gas, random);
        panel = std::make_unique<GasPanel>(nullptr, gas, detail, random);
        panel->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }

    template <typename T>
    T* Find(const char* name) const {
        return testing::FindControl<T>(panel.get(), name);
    }
    QSlider* Slider(const char* name) const { return Find<QSlider>(name); }
    QString Caption(const char* name) const { return Find<QLabel>(name)->text(); }
    void ExpectParked(int p) const {
        EXPECT_EQ(gas.x[p], -gas.limit()) << "slot " << p;
        EXPECT_EQ(gas.z[p], -gas.limit()) << "slot " << p;
    }

    GasState gas;
    SphereDetail detail;
    RandomSource random{[] { return std::uint64_t{1765100000}; }};
    std::unique_ptr<GasPanel> panel;
};

TEST_F(GasPanelTest, StartsShowingTheDefaultsWithoutRunningHandlers) {
    const double vx0 = gas.vx[0];
    EXPECT_EQ(panel->objectName(), "Pangaz");
    EXPECT_EQ(panel->width(), 161);
    EXPECT_EQ(Caption("Lab_Pval"), "101325");
    EXPECT_EQ(Find<QProgressBar>("PB")->maximum(), 1700085);
    EXPECT_EQ(Find<QProgressBar>("PB")->value(), 101325);
    EXPECT_EQ(Caption("Lab_Vval"), "100");
    EXPECT_EQ(Caption("Lab_Tval"), "298");
    EXPECT_EQ(Caption("Lab_Nbval"), "100");
    EXPECT_EQ(Caption("Lab_Mval"), "5");
    EXPECT_EQ(Caption("Lab_Chocs"), "");
    EXPECT_EQ(Caption("Lab_P"), "Pression  /Pa : ...............");
    EXPECT_EQ(Caption("Lab_T"), "Température /K : ....................");
    EXPECT_EQ(Find<QGroupBox>("GroupBox1")->title(), " PARTICULES ");
    EXPECT_EQ(Find<QCheckBox>("CB_MB")->text(), "Maxwell  -  Boltzmann");
    EXPECT_EQ(Find<QLabel>("Lab_Chocs")->toolTip(), "Fréquence des collisions contre les parois");

    struct Range {
        const char* name;
        int minimum, maximum, position;
    };
    for (const Range& r :
         {Range{"TB_v", 10, 100, 100}, Range{"TB_t", 10, 500, 298}, Range{"TB_nb", 1, 100, 100},
          Range{"TB_Masse", 1, 10, 5}, Range{"TB_R", 0, 255, 255}, Range{"TB_G", 0, 255, 127},
          Range{"TB_B", 0, 255, 0}, Range{"TB_face_G", 8, 32, 20}}) {
        QSlider* slider = Slider(r.name);
        EXPECT_EQ(slider->minimum(), r.minimum) << r.name;
        EXPECT_EQ(slider->maximum(), r.maximum) << r.name;
        EXPECT_EQ(slider->value(), r.position) << r.name;
        EXPECT_EQ(slider->tickPosition(),
                  std::string(r.name) == "TB_face_G" ? QSlider::TicksBelow : QSlider::NoTicks);
    }
    EXPECT_EQ(Slider("TB_face_G")->pageStep(), 1);
    EXPECT_EQ(Slider("TB_Masse")->pageStep(), 1);
    EXPECT_EQ(gas.vx[0], vx0);
    EXPECT_EQ(gas.green, 0.5);
    EXPECT_EQ(gas.pressure, 0.0);
}

TEST_F(GasPanelTest, FontsAndTheGroupTitles) {
    EXPECT_EQ(panel->font().family(), "Arial");
    EXPECT_EQ(panel->font().pointSize(), 8);
    EXPECT_TRUE(Find<QLabel>("Lab_Pval")->font().bold());
    EXPECT_TRUE(Find<QLabel>("Lab_Nbval")->font().bold());
    EXPECT_FALSE(Find<QLabel>("Lab_Nb")->font().bold());
    // The small grey title font stays with the group box; its controls keep the panel's.
    QGroupBox* group = Find<QGroupBox>("GroupBox2");
    EXPECT_LT(group->font().pointSize(), 8);
    EXPECT_EQ(group->palette().color(QPalette::WindowText), QColor(0x66, 0x66, 0x66));
    QCheckBox* box = Find<QCheckBox>("CB_stat");
    EXPECT_EQ(box->font().pointSize(), 8);
    EXPECT_NE(box->palette().color(QPalette::WindowText), QColor(0x66, 0x66, 0x66));
}

TEST_F(GasPanelTest, KeyboardOrderRunsTopToBottom) {
    const char* order[] = {"TB_v",    "TB_t",       "TB_nb",     "TB_Masse", "CB_MB",
                           "CB_stat", "CB_Vitesse", "CB_Transp", "TB_R",     "TB_G",
                           "TB_B",    "TB_face_G",  "butdepG",   "butpauseG"};
    QWidget* widget = panel->findChild<QWidget*>(order[0]);
    for (const char* name : order) {
        ASSERT_EQ(widget->objectName(), name);
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus) {
            widget = widget->nextInFocusChain();
        }
    }
}

TEST_F(GasPanelTest, TemperatureUpdatesPressureLabelAndSpeeds) {
    const double vx0 = gas.vx[0];
    Slider("TB_t")->setValue(10);
    EXPECT_EQ(gas.temperature, 10.0);
    EXPECT_EQ(Caption("Lab_Tval"), "10");
    EXPECT_EQ(Caption("Lab_Pval"), "3400");
    EXPECT_EQ(Find<QProgressBar>("PB")->value(), 3400);
    EXPECT_EQ(gas.vx[0] < 0, vx0 < 0);
    EXPECT_LT(std::abs(gas.vx[0]), std::abs(vx0));  // colder, slower
}

TEST_F(GasPanelTest, VolumeShrinksTheBoxAndRaisesThePressure) {
    QSlider* volume = Slider("TB_v");
    volume->setValue(10);
    EXPECT_EQ(Caption("Lab_Vval"), "10");
    EXPECT_NEAR(gas.halfEdge, 0.4642, 1e-4);
    EXPECT_EQ(Caption("Lab_Pval"), "1013250");
    EXPECT_EQ(Find<QProgressBar>("PB")->value(), 1013250);
    volume->setValue(5);  // clamped to the range: no change, no handler
    EXPECT_EQ(volume->value(), 10);
}

TEST_F(GasPanelTest, ValueLabelsGrowToTheLeft) {
    QLabel* pressure = Find<QLabel>("Lab_Pval");
    const int right = pressure->geometry().right();
    Slider("TB_v")->setValue(10);
    Slider("TB_t")->setValue(500);
    EXPECT_EQ(Caption("Lab_Pval"), "1700085");
    EXPECT_EQ(pressure->geometry().right(), right);
    EXPECT_GE(pressure->width(), pressure->fontMetrics().horizontalAdvance("1700085"));
    panel->ShowWallHits(1234);
    QLabel* hits = Find<QLabel>("Lab_Chocs");
    EXPECT_EQ(hits->text(), "1234");
    EXPECT_EQ(hits->geometry().right(), 137);
    EXPECT_GE(hits->width(), hits->fontMetrics().horizontalAdvance("1234"));
}

TEST_F(GasPanelTest, CountParksAndReleasesTheRightSlots) {
    QSlider* count = Slider("TB_nb");
    count->setValue(40);
    EXPECT_EQ(gas.count, 40);
    EXPECT_EQ(Caption("Lab_Nbval"), "40");
    EXPECT_EQ(Caption("Lab_Pval"), "40530");
    EXPECT_NE(gas.x[39], -gas.limit());
    ExpectParked(40);
    ExpectParked(99);
    EXPECT_EQ(gas.vx[40], 0.0);

    count->setValue(60);
    EXPECT_EQ(Caption("Lab_Nbval"), "60");
    EXPECT_EQ(Caption("Lab_Pval"), "60795");
    ExpectParked(40);
    ExpectParked(59);
    EXPECT_GT(gas.vz[59], 0.0);  // released from the corner into the box
    ExpectParked(60);
    EXPECT_EQ(gas.vz[60], 0.0);
}

TEST_F(GasPanelTest, MassResizesButLeavesThePressureAlone) {
    Slider("TB_Masse")->setValue(10);
    EXPECT_EQ(Caption("Lab_Mval"), "10");
    EXPECT_NEAR(gas.radius, 0.0430887, 1e-7);
    EXPECT_EQ(Caption("Lab_Pval"), "101325");
    EXPECT_EQ(Find<QProgressBar>("PB")->value(), 101325);
    EXPECT_EQ(gas.pressure, 0.0);  // never recomputed by the mass
}

TEST_F(GasPanelTest, PauseFreezesStartAndVolume) {
    auto* start = Find<QPushButton>("butdepG");
    auto* pause = Find<QPushButton>("butpauseG");
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_TRUE(gas.paused);
    EXPECT_EQ(pause->text(), "CONTINUE");
    EXPECT_FALSE(start->isEnabled());
    EXPECT_FALSE(Slider("TB_v")->isEnabled());
    EXPECT_TRUE(Slider("TB_t")->isEnabled());

    const double x0 = gas.x[0];
    start->click();  // a disabled button does nothing
    EXPECT_EQ(gas.x[0], x0);

    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_FALSE(gas.paused);
    EXPECT_EQ(pause->text(), "PAUSE");
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(Slider("TB_v")->isEnabled());

    QTest::mouseClick(start, Qt::LeftButton);
    for (int p = 0; p < kGasSlots; ++p) {
        ExpectParked(p);
        EXPECT_GE(gas.vy[p], 0.0);
    }
}

TEST_F(GasPanelTest, SmoothnessMovesTheLinkedSliders) {
    QSlider solid(Qt::Horizontal);
    QSlider liquid(Qt::Horizontal);
    for (QSlider* s : {&solid, &liquid}) {
        s->setRange(8, 32);
        s->setValue(20);
    }
    // The liquid slider, as its own handler would, writes the shared detail.
    QObject::connect(&liquid, &QSlider::valueChanged, [this](int v) { detail.SetSmoothness(v); });
    panel->LinkSmoothness(&solid, &liquid);
    panel->smoothnessSlider()->setValue(9);
    EXPECT_EQ(detail.slices, 9);
    EXPECT_EQ(detail.stacks, 4);
    EXPECT_EQ(solid.value(), 9);
    EXPECT_EQ(liquid.value(), 9);
}

TEST_F(GasPanelTest, OptionsAndColoursWriteTheRecord) {
    Find<QCheckBox>("CB_MB")->setChecked(true);
    QTest::mouseClick(Find<QCheckBox>("CB_stat"), Qt::LeftButton, {}, QPoint(6, 6));
    Find<QCheckBox>("CB_Vitesse")->setChecked(true);
    EXPECT_TRUE(gas.showCurve);
    EXPECT_TRUE(gas.showHistogram);
    EXPECT_TRUE(gas.showSpeeds);
    Find<QCheckBox>("CB_MB")->setChecked(false);
    EXPECT_FALSE(gas.showCurve);
    EXPECT_FALSE(panel->transparentBox());
    Find<QCheckBox>("CB_Transp")->setChecked(true);
    EXPECT_TRUE(panel->transparentBox());

    Slider("TB_G")->setValue(255);
    Slider("TB_R")->setValue(0);
    Slider("TB_B")->setValue(51);
    EXPECT_NEAR(gas.green, 1.0, 1e-15);
    EXPECT_EQ(gas.red, 0.0);
    EXPECT_NEAR(gas.blue, 0.2, 1e-15);
}

}  // namespace
}  // namespace veliso
