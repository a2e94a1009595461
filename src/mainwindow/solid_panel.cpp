// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/solid_panel.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>

#include <utility>

#include "core/common/number_format.h"
#include "core/solid/solid_controls.h"
#include "mainwindow/fitted_text.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/panel_widgets.h"

namespace veliso {

namespace {

// Width of the structure buttons, from their left edge at 8 to the panel's frame.
constexpr int kButtonWidth = 152;

}  // namespace

SolidPanel::SolidPanel(QWidget* parent, SolidState& solid, SphereDetail& detail)
    : QFrame(parent), solid_(solid), detail_(detail) {
    SetUpTabPanel(this, "Pansol");

    BuildTemperatureRow();
    BuildStructureButtons();
    BuildOptionsGroup();

    // Handlers are connected once every control shows its start-up position, so none runs
    // at start-up: the colour stays (0.7, 0.7, 0.8) although the sliders show 127, 127, 153.
    connect(TB_t_S, &QSlider::valueChanged, this, Guard(this, &SolidPanel::TB_t_SChange));
    connect(TB_face_S, &QSlider::valueChanged, this, Guard(this, &SolidPanel::TB_face_SChange));
    // toggled(true) comes only when a button becomes checked: a click on the button that
    // is already checked runs nothing.
    const std::pair<QRadioButton*, void (SolidPanel::*)()> clicks[] = {
        {RBc4S, &SolidPanel::RBc4SClick}, {RBm4S, &SolidPanel::RBm4SClick},
        {RB1, &SolidPanel::RB1Click},     {RB2, &SolidPanel::RB2Click},
        {RB3, &SolidPanel::RB3Click},     {RB4, &SolidPanel::RB4Click},
        {RBc6, &SolidPanel::RBc6Click},   {RBm6, &SolidPanel::RBm6Click},
    };
    for (const auto& [button, handler] : clicks) {
        connect(button, &QRadioButton::toggled, this, Guard([this, handler](bool checked) {
                    if (checked) {
                        (this->*handler)();
                    }
                }));
    }
}

void SolidPanel::BuildTemperatureRow() {
    MakeLabel(this, "Label8", "Température /K : ....................", QRect(8, 8, 143, 14));
    // The figure keeps its right edge and covers the dots beneath it with the panel colour.
    // It starts at its layout bounds; the temperature handler fits it to its text.
    Lab_T_S = MakeValueLabel(this, "Lab_T_S", {}, QRect(145, 8, 8, 13));
    Lab_T_S->setText("0");
    TB_t_S = MakeSlider(this, "TB_t_S", QRect(2, 20, 157, 20), 0, 300, 0);
}

void SolidPanel::BuildStructureButtons() {
    struct Button {
        QRadioButton** field;
        const char* name;
        const char* caption;
        const char* hint;
        QRect bounds;
    };
    const Button buttons[] = {
        {&RBc4S, "RBc4S", "Cristal cubique simple", "Ex. : le sodium",
         QRect(8, 50, kButtonWidth, 17)},
        {&RBm4S, "RBm4S", "Maille cubique simple", "Modèle C.S. éclaté",
         QRect(8, 70, kButtonWidth, 17)},
        {&RB1, "RB1", "Cristal cubique f. centrées", "Ex. : le chlorure de sodium",
         QRect(8, 100, kButtonWidth, 17)},
        {&RB2, "RB2", "Maille cubique f. centrées", "Modèle C.F.C. éclaté",
         QRect(8, 120, kButtonWidth, 17)},
        {&RB3, "RB3", "Cristal  cubique  centré", "Ex. : le fer", QRect(8, 150, kButtonWidth, 17)},
        {&RB4, "RB4", "Maille cubique  centrée", "Modèle C.C. éclaté",
         QRect(8, 170, kButtonWidth, 17)},
        {&RBc6, "RBc6", "Cristal hexagon. compact", "Ex. : le graphite",
         QRect(8, 200, kButtonWidth, 17)},
        {&RBm6, "RBm6", "Maille hexagon. compacte", "Modèle H.C. éclaté",
         QRect(8, 220, kButtonWidth, 17)},
    };
    // All eight share this panel as parent, so exactly one is checked at any time. They
    // reach the panel's inner edge: with this style's wider indicator the longest captions
    // need the room.
    for (const Button& b : buttons) {
        auto* button = new FittedRadioButton(QString::fromUtf8(b.caption), this);
        button->captionFit().setLeastPointSize(PanelFont().pointSizeF());
        button->setObjectName(b.name);
        button->setToolTip(QString::fromUtf8(b.hint));
        button->setGeometry(b.bounds);
        *b.field = button;
    }
    RBc4S->setChecked(true);
}

void SolidPanel::BuildOptionsGroup() {
    GroupBox3 = MakeGroupBox(this, "GroupBox3", " OPTIONS ", QRect(8, 256, 145, 113));

    // TB_R_SChange, TB_V_SChange, TB_B_SChange: the sphere colour. The start positions run no
    // handler: the colour stays (0.7, 0.7, 0.8) although the sliders show 127, 127, 153.
    MakeColourRows(GroupBox3, {"Label5", "Label6", "Label7"}, 21, true,
                   {{{&TB_R_S, "TB_R_S", QRect(24, 20, 117, 15), 127, &solid_.red},
                     {&TB_V_S, "TB_V_S", QRect(24, 35, 117, 15), 127, &solid_.green},
                     {&TB_B_S, "TB_B_S", QRect(24, 50, 117, 15), 153, &solid_.blue}}});

    MakeLabel(GroupBox3, "Label4", "Sphéricité des particules", QRect(8, 67, 119, 14));
    TB_face_S = MakeSmoothnessSlider(GroupBox3, "TB_face_S", QRect(2, 80, 141, 25), 20);
}

void SolidPanel::LinkSmoothness(QSlider* gas, QSlider* liquid) {
    siblingGas_ = gas;
    siblingLiquid_ = liquid;
}

void SolidPanel::TB_t_SChange() {
    const int kelvin = TB_t_S->value();
    solid_.amplitude = SolidAmplitudeAt(kelvin);
    SetValueText(Lab_T_S, FormatInteger(kelvin));
}

void SolidPanel::TB_face_SChange() {
    FollowSmoothness(detail_, TB_face_S->value(), {siblingGas_, siblingLiquid_});
}

void SolidPanel::Select(SolidStructure structure) {
    solid_.structure = structure;
    const ColourPreset preset = ColourPresetOf(structure);
    TB_R_S->setValue(preset.red);
    TB_V_S->setValue(preset.green);
    TB_B_S->setValue(preset.blue);
}

void SolidPanel::RBc4SClick() {
    Select(SolidStructure::SimpleCubicCrystal);
}

void SolidPanel::RBm4SClick() {
    Select(SolidStructure::SimpleCubicCell);
}

void SolidPanel::RB1Click() {
    Select(SolidStructure::FccCrystal);
}

void SolidPanel::RB2Click() {
    Select(SolidStructure::FccCell);
}

void SolidPanel::RB3Click() {
    Select(SolidStructure::BccCrystal);
}

void SolidPanel::RB4Click() {
    Select(SolidStructure::BccCell);
}

void SolidPanel::RBc6Click() {
    Select(SolidStructure::HcpCrystal);
}

void SolidPanel::RBm6Click() {
    Select(SolidStructure::HcpCell);
    FillHcpCellSites(solid_);
}

}  // namespace veliso
