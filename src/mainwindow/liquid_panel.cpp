// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/liquid_panel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "core/common/number_format.h"
#include "core/liquid/liquid_controls.h"
#include "core/liquid/liquid_motion.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/panel_widgets.h"

namespace veliso {

namespace {

/// Right edge of `Lab_T_L`, under the right end of the temperature slider.
constexpr int kTemperatureRight = 153;

}  // namespace

LiquidPanel::LiquidPanel(QWidget* parent, LiquidState& liquid, SphereDetail& detail,
                         RandomSource& random)
    : QFrame(parent), liquid_(liquid), detail_(detail), random_(random) {
    SetUpTabPanel(this, "Panliq");

    BuildVolumeAndTemperature();
    BuildOptionsGroup();
    BuildButtons();
    ShowPaused(butpause, liquid_.paused, {TB_Vol_L, butdep});

    // Keyboard order: the two top sliders, the options box from top to bottom, then the two
    // buttons.
    ChainTabOrder({TB_Vol_L, TB_t_L, CB_trans_L, CB_mark, TB_R_L, TB_V_L, TB_B_L, TB_face_L, butdep,
                   butpause});

    // Handlers are connected once every control shows the record: none runs at start-up,
    // and from here on every new position runs its handler before setValue returns.
    connect(TB_Vol_L, &QSlider::valueChanged, this, Guard(this, &LiquidPanel::TB_Vol_LChange));
    connect(TB_t_L, &QSlider::valueChanged, this, Guard(this, &LiquidPanel::TB_t_LChange));
    connect(TB_face_L, &QSlider::valueChanged, this, Guard(this, &LiquidPanel::TB_face_LChange));
    connect(butdep, &QPushButton::clicked, this, Guard(this, &LiquidPanel::butdepClick));
    connect(butpause, &QPushButton::clicked, this, Guard(this, &LiquidPanel::butpauseClick));
}

void LiquidPanel::BuildVolumeAndTemperature() {
    const LiquidSliderPositions start = LiquidSlidersFor(liquid_);
    MakeLabel(this, "Label10", "Volume du récipient : ......", QRect(8, 8, 122, 14));
    Lab_V_L = MakeValueLabel(this, "Lab_V_L", {}, QRect(120, 8, 22, 13));
    // The figure covers the dots up to the "%" sign, however few digits it has.
    Lab_V_L->setMinimumWidth(22);
    SetValueText(Lab_V_L, FormatInteger(start.volume));
    MakeLabel(this, "Label16", "%", QRect(143, 8, 10, 13))->setFont(PanelFont(true));
    TB_Vol_L = MakeSlider(this, "TB_Vol_L", QRect(2, 21, 157, 20), kLiquidVolumeMin,
                          kLiquidVolumeMax, start.volume);

    MakeLabel(this, "Label9", "Température", QRect(8, 42, 61, 14));
    TB_t_L = MakeSlider(this, "TB_t_L", QRect(2, 55, 157, 20), kLiquidTemperatureMin,
                        kLiquidTemperatureMax, start.temperature);
    Lab_T_L = MakeValueLabel(this, "Lab_T_L", {}, QRect(kTemperatureRight - 5, 69, 5, 13));
    Lab_T_L->setAutoFillBackground(false);  // it lies under the slider's track, not on dots
    // "373 K" reaches up over the slider's lowest rows; clicks there belong to the slider.
    Lab_T_L->setAttribute(Qt::WA_TransparentForMouseEvents);
    ShowTemperature();
}

void LiquidPanel::BuildOptionsGroup() {
    const LiquidSliderPositions start = LiquidSlidersFor(liquid_);
    GroupBox4 = MakeGroupBox(this, "GroupBox4", " OPTIONS ", QRect(8, 81, 145, 152));

    CB_trans_L =
        MakeCheckBox(GroupBox4, "CB_trans_L", "Transparence du cube", QRect(8, 20, 129, 13));
    CB_mark = MakeCheckBox(GroupBox4, "CB_mark", "2 particules marquées", QRect(8, 40, 129, 13));

    // TB_R_LChange, TB_V_LChange, TB_B_LChange: the particle colour.
    MakeColourRows(GroupBox4, {"Label12", "Label13", "Label14"}, 61, false,
                   {{{&TB_R_L, "TB_R_L", QRect(24, 61, 117, 17), start.red, &liquid_.red},
                     {&TB_V_L, "TB_V_L", QRect(24, 76, 117, 17), start.green, &liquid_.green},
                     {&TB_B_L, "TB_B_L", QRect(24, 91, 117, 18), start.blue, &liquid_.blue}}});

    MakeLabel(GroupBox4, "Label11", "Sphéricité des particules", QRect(8, 108, 119, 14));
    TB_face_L =
        MakeSmoothnessSlider(GroupBox4, "TB_face_L", QRect(2, 121, 141, 25), detail_.slices);

    // Every slider of this tab shows the hand cursor.
    for (QSlider* slider : {TB_Vol_L, TB_t_L, TB_R_L, TB_V_L, TB_B_L, TB_face_L}) {
        slider->setCursor(Qt::PointingHandCursor);
    }
}

void LiquidPanel::BuildButtons() {
    butdep = MakeButton(this, "butdep", "DÉPART", QRect(9, 242, 57, 24));
    butpause = MakeButton(this, "butpause", "PAUSE", QRect(69, 242, 57, 24));
}

void LiquidPanel::LinkSmoothness(QSlider* solid, QSlider* gas) {
    siblingSolid_ = solid;
    siblingGas_ = gas;
}

bool LiquidPanel::transparentCube() const {
    return CB_trans_L->isChecked();
}

bool LiquidPanel::markParticles() const {
    return CB_mark->isChecked();
}

void LiquidPanel::ShowTemperature() {
    SetValueText(Lab_T_L, FormatGeneral(liquid_.temperature) + " K");
}

void LiquidPanel::TB_Vol_LChange() {
    const int volume = TB_Vol_L->value();
    liquid_.halfEdge = LiquidHalfEdge(volume);
    SetValueText(Lab_V_L, FormatInteger(volume));
}

void LiquidPanel::TB_t_LChange() {
    liquid_.temperature = TB_t_L->value();
    DrawLiquidVelocities(liquid_, random_);
    ShowTemperature();
}

void LiquidPanel::TB_face_LChange() {
    FollowSmoothness(detail_, TB_face_L->value(), {siblingSolid_, siblingGas_});
}

void LiquidPanel::butdepClick() {
    InitLiquid(liquid_, random_);
}

void LiquidPanel::butpauseClick() {
    liquid_.paused = !liquid_.paused;
    ShowPaused(butpause, liquid_.paused, {TB_Vol_L, butdep});
}

}  // namespace veliso
