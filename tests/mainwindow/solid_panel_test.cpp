// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/solid_panel.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "qt_app.h"

namespace veliso {
namespace {

constexpr double kStep = 0.00392156862745098;  // 1 / 255 as the colour handlers write it

// The solid tab's panel, shown, on the record the program starts with.
class SolidPanelTest : public ::testing::Test {
  protected:
    SolidPanelTest() {
        testing::TestApplication();
        panel = std::make_unique<SolidPanel>(nullptr, solid, detail);
        panel->resize(161, 472);
        panel->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }

    template <typename T>
    T* Find(const char* name) const {
        T* child = panel->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QSlider* Slider(const char* name) const { return Find<QSlider>(name); }
    QRadioButton* Radio(const char* name) const { return Find<QRadioButton>(name); }

    /// A user click on the button's indicator.
    void Click(const char* name) const {
        QRadioButton* button = Radio(name);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
    }

    void ExpectSliders(int red, int green, int blue) const {
        EXPECT_EQ(Slider("TB_R_S")->value(), red);
        EXPECT_EQ(Slider("TB_V_S")->value(), green);
        EXPECT_EQ(Slider("TB_B_S")->value(), blue);
    }
    void ExpectColour(double red, double green, double blue) const {
        EXPECT_EQ(solid.red, red);
        EXPECT_EQ(solid.green, green);
        EXPECT_EQ(solid.blue, blue);
    }

    SolidState solid;
    SphereDetail detail;
    std::unique_ptr<SolidPanel> panel;
};

TEST_F(SolidPanelTest, StartsWithTheLayoutDefaultsAndNoHandlerRun) {
    EXPECT_EQ(panel->objectName(), "Pansol");
    EXPECT_EQ(panel->width(), 161);
    EXPECT_EQ(Find<QLabel>("Label8")->text(), "Température /K : ....................");
    EXPECT_EQ(Find<QLabel>("Lab_T_S")->text(), "0");
    EXPECT_EQ(Slider("TB_t_S")->minimum(), 0);
    EXPECT_EQ(Slider("TB_t_S")->maximum(), 300);
    EXPECT_EQ(Slider("TB_t_S")->value(), 0);
    EXPECT_EQ(solid.amplitude, 0.0);
    EXPECT_EQ(Find<QGroupBox>("GroupBox3")->title(), " OPTIONS ");
    EXPECT_EQ(Find<QLabel>("Label4")->text(), "Sphéricité des particules");
    // The sliders show 127, 127, 153 but the colour stays (0.7, 0.7, 0.8).
    ExpectSliders(127, 127, 153);
    ExpectColour(0.7, 0.7, 0.8);
    QSlider* face = Slider("TB_face_S");
    EXPECT_EQ(face, panel->smoothnessSlider());
    EXPECT_EQ(face->minimum(), 8);
    EXPECT_EQ(face->maximum(), 32);
    EXPECT_EQ(face->value(), 20);
    EXPECT_EQ(face->pageStep(), 1);
    EXPECT_EQ(face->toolTip(), "Optimalisation de l'animation");
    EXPECT_EQ(detail.slices, 20);
    EXPECT_EQ(detail.stacks, 10);
}

TEST_F(SolidPanelTest, EightButtonsWithCaptionsAndHints) {
    struct Expected {
        const char* name;
        const char* caption;
        const char* hint;
    };
    const Expected buttons[] = {
        {"RBc4S", "Cristal cubique simple", "Ex. : le sodium"},
        {"RBm4S", "Maille cubique simple", "Modèle C.S. éclaté"},
        {"RB1", "Cristal cubique f. centrées", "Ex. : le chlorure de sodium"},
        {"RB2", "Maille cubique f. centrées", "Modèle C.F.C. éclaté"},
        {"RB3", "Cristal  cubique  centré", "Ex. : le fer"},
        {"RB4", "Maille cubique  centrée", "Modèle C.C. éclaté"},
        {"RBc6", "Cristal hexagon. compact", "Ex. : le graphite"},
        {"RBm6", "Maille hexagon. compacte", "Modèle H.C. éclaté"},
    };
    for (const Expected& b : buttons) {
        EXPECT_EQ(Radio(b.name)->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(Radio(b.name)->toolTip(), QString::fromUtf8(b.hint));
        EXPECT_EQ(Radio(b.name)->isChecked(), std::string(b.name) == "RBc4S");
    }
}

TEST_F(SolidPanelTest, ClickingTheCheckedButtonDoesNothing) {
    Click("RBc4S");
    EXPECT_TRUE(Radio("RBc4S")->isChecked());
    ExpectSliders(127, 127, 153);
    ExpectColour(0.7, 0.7, 0.8);
    EXPECT_EQ(solid.structure, SolidStructure::SimpleCubicCrystal);
}

TEST_F(SolidPanelTest, SimpleCubicCellAppliesItsPreset) {
    Click("RBm4S");
    EXPECT_TRUE(Radio("RBm4S")->isChecked());
    EXPECT_FALSE(Radio("RBc4S")->isChecked());
    EXPECT_EQ(solid.structure, SolidStructure::SimpleCubicCell);
    ExpectSliders(179, 179, 204);
    ExpectColour(179 * kStep, 179 * kStep, 0.8);
}

TEST_F(SolidPanelTest, ASliderThatDoesNotMoveRunsNoHandler) {
    Click("RB3");
    ExpectColour(180 * kStep, 180 * kStep, 180 * kStep);
    // Mark the record: only a colour handler could overwrite these.
    solid.red = 0.25;
    solid.green = 0.5;
    solid.blue = 0.75;
    Click("RB4");
    EXPECT_EQ(solid.structure, SolidStructure::BccCell);
    ExpectSliders(180, 180, 180);
    ExpectColour(0.25, 0.5, 0.75);
}

TEST_F(SolidPanelTest, PresetRunsEveryMovedSliderAgain) {
    Click("RBm4S");
    QSlider* red = Slider("TB_R_S");
    red->setValue(10);
    ExpectColour(10 * kStep, 179 * kStep, 0.8);  // only red changed
    solid.green = 0.5;                           // green's slider has not moved
    Click("RBc4S");
    EXPECT_EQ(solid.structure, SolidStructure::SimpleCubicCrystal);
    ExpectSliders(179, 179, 204);
    ExpectColour(179 * kStep, 0.5, 0.8);
}

TEST_F(SolidPanelTest, MovingOnlyTheRedSliderChangesOnlyRed) {
    Slider("TB_R_S")->setValue(255);
    ExpectColour(1.0, 0.7, 0.8);
    // Clamped to the range, then equal to the position: nothing runs.
    solid.red = 0.0;
    Slider("TB_R_S")->setValue(999);
    EXPECT_EQ(solid.red, 0.0);
}

TEST_F(SolidPanelTest, TemperatureSetsTheAmplitudeAndItsLabel) {
    QLabel* label = Find<QLabel>("Lab_T_S");
    Slider("TB_t_S")->setValue(273);
    EXPECT_EQ(label->text(), "273");
    EXPECT_EQ(solid.amplitude, 0.002);
    // The figure is fully visible and ends where the dotted leader ends.
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance("273"));
    EXPECT_EQ(label->geometry().right(), 152);
    Slider("TB_t_S")->setValue(0);
    EXPECT_EQ(label->text(), "0");
    EXPECT_EQ(solid.amplitude, 0.0);
}

TEST_F(SolidPanelTest, EveryButtonKeepsTheStructureInStep) {
    struct Expected {
        const char* name;
        SolidStructure structure;
        int red, green, blue;
    };
    const Expected order[] = {
        {"RB1", SolidStructure::FccCrystal, 64, 204, 64},
        {"RB2", SolidStructure::FccCell, 64, 204, 64},
        {"RB3", SolidStructure::BccCrystal, 180, 180, 180},
        {"RB4", SolidStructure::BccCell, 180, 180, 180},
        {"RBc6", SolidStructure::HcpCrystal, 80, 70, 70},
        {"RBm6", SolidStructure::HcpCell, 80, 70, 70},
        {"RBm4S", SolidStructure::SimpleCubicCell, 179, 179, 204},
        {"RBc4S", SolidStructure::SimpleCubicCrystal, 179, 179, 204},
    };
    for (const Expected& e : order) {
        Click(e.name);
        EXPECT_TRUE(Radio(e.name)->isChecked()) << e.name;
        EXPECT_EQ(solid.structure, e.structure) << e.name;
        ExpectSliders(e.red, e.green, e.blue);
        ExpectColour(e.red * kStep, e.green * kStep, e.blue * kStep);
    }
}

TEST_F(SolidPanelTest, HexagonalCellFillsItsSitesAtEveryClick) {
    EXPECT_EQ(solid.hcpCellSites.x[0], 0.0);
    Click("RBc6");
    EXPECT_EQ(solid.hcpCellSites.x[0], 0.0);  // the crystal does not fill the table
    Click("RBm6");
    EXPECT_EQ(solid.structure, SolidStructure::HcpCell);
    EXPECT_EQ(solid.hcpCellSites.x[0], -0.5);
    EXPECT_EQ(solid.hcpCellSites.z[16], -0.866);
    solid.hcpCellSites.x[0] = 42.0;
    Click("RBc6");
    Click("RBm6");
    EXPECT_EQ(solid.hcpCellSites.x[0], -0.5);
}

// Stand-ins for the gas and liquid tabs' smoothness sliders, with the same handler from
// their own side; each run is logged.
class SmoothnessTest : public SolidPanelTest {
  protected:
    SmoothnessTest() {
        for (QSlider* s : {&gas, &liquid}) {
            s->setRange(8, 32);
            s->setValue(20);
        }
        QSlider* solidSlider = panel->smoothnessSlider();
        Link(&gas, "G", solidSlider, &liquid);
        Link(&liquid, "L", solidSlider, &gas);
        panel->LinkSmoothness(&gas, &liquid);
    }
    void Link(QSlider* own, const char* tag, QSlider* first, QSlider* second) {
        QObject::connect(own, &QSlider::valueChanged, [=, this](int position) {
            runs.push_back(tag);
            detail.slices = position;
            first->setValue(position);
            second->setValue(position);
            detail.stacks = detail.slices / 2;
        });
    }

    QSlider gas{Qt::Horizontal};
    QSlider liquid{Qt::Horizontal};
    std::vector<std::string> runs;
};

TEST_F(SmoothnessTest, SolidSliderMovesTheGasThenTheLiquidSlider) {
    panel->smoothnessSlider()->setValue(21);
    EXPECT_EQ(detail.slices, 21);
    EXPECT_EQ(detail.stacks, 10);
    EXPECT_EQ(gas.value(), 21);
    EXPECT_EQ(liquid.value(), 21);
    // The solid handler moves the gas slider, whose handler moves the liquid one; the
    // chain ends there.
    EXPECT_EQ(runs, (std::vector<std::string>{"G", "L"}));
    runs.clear();
    panel->smoothnessSlider()->setValue(8);
    EXPECT_EQ(detail.slices, 8);
    EXPECT_EQ(detail.stacks, 4);
    EXPECT_EQ(liquid.value(), 8);
}

TEST_F(SmoothnessTest, AnotherTabsSliderMovesTheSolidOne) {
    liquid.setValue(32);
    EXPECT_EQ(panel->smoothnessSlider()->value(), 32);
    EXPECT_EQ(gas.value(), 32);
    EXPECT_EQ(detail.slices, 32);
    EXPECT_EQ(detail.stacks, 16);
    EXPECT_EQ(runs, (std::vector<std::string>{"L", "G"}));
}

}  // namespace
}  // namespace veliso
