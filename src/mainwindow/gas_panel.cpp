// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/gas_panel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

#include "core/common/number_format.h"
#include "core/gas/gas_controls.h"
#include "core/gas/gas_step.h"
#include "mainwindow/focus_style.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/panel_widgets.h"

namespace veliso {

namespace {

// Slider whose thumb is `thickness` pixels across the track.
class ThumbStyle : public AccessibleStyle {
  public:
    explicit ThumbStyle(int thickness) : thickness_(thickness) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_SliderThickness || metric == PM_SliderControlThickness) {
            return thickness_;
        }
        return AccessibleStyle::pixelMetric(metric, option, widget);
    }

  private:
    int thickness_;
};

}  // namespace

GasPanel::GasPanel(QWidget* parent, GasState& gas, SphereDetail& detail, RandomSource& random)
    : QFrame(parent), gas_(gas), detail_(detail), random_(random) {
    SetUpTabPanel(this, "Pangaz");

    BuildPressureRows();
    BuildParticleGroup();
    BuildOptionsGroup();
    BuildButtons();

    // Keyboard order: top to bottom as the controls are laid out.
    ChainTabOrder({TB_v, TB_t, TB_nb, TB_Masse, CB_MB, CB_stat, CB_Vitesse, CB_Transp, TB_R, TB_G,
                   TB_B, TB_face_G, butdepG, butpauseG});

    // Colour sliders have a slimmer thumb (10 pixels) than the others (15). The style is
    // made last so that, as a child of the panel, it outlives the sliders that use it.
    auto* slimThumb = new ThumbStyle(10);
    slimThumb->setParent(this);
    auto* thumb = new ThumbStyle(15);
    thumb->setParent(this);
    for (QSlider* slider : {TB_R, TB_G, TB_B}) {
        slider->setStyle(slimThumb);
    }
    for (QSlider* slider : {TB_v, TB_t, TB_nb, TB_Masse, TB_face_G}) {
        slider->setStyle(thumb);
    }

    // Handlers are connected once every control shows its start-up value: none runs at
    // start-up, and from here on a new position runs its handler at once.
    connect(TB_nb, &QSlider::valueChanged, this, Guard(this, &GasPanel::TB_nbChange));
    connect(TB_t, &QSlider::valueChanged, this, Guard(this, &GasPanel::TB_tChange));
    connect(TB_v, &QSlider::valueChanged, this, Guard(this, &GasPanel::TB_vChange));
    connect(TB_Masse, &QSlider::valueChanged, this, Guard(this, &GasPanel::TB_MasseChange));
    connect(CB_MB, &QCheckBox::toggled, this, Guard(this, &GasPanel::CB_MBClick));
    connect(CB_stat, &QCheckBox::toggled, this, Guard(this, &GasPanel::CB_statClick));
    connect(CB_Vitesse, &QCheckBox::toggled, this, Guard(this, &GasPanel::CB_VitesseClick));
    connect(TB_face_G, &QSlider::valueChanged, this, Guard(this, &GasPanel::TB_face_GChange));
    connect(butdepG, &QPushButton::clicked, this, Guard(this, &GasPanel::butdepGClick));
    connect(butpauseG, &QPushButton::clicked, this, Guard(this, &GasPanel::butpauseGClick));
}

void GasPanel::BuildPressureRows() {
    MakeLabel(this, "Lab_P", "Pression  /Pa : ...............", QRect(8, 8, 117, 14));
    Lab_Pval = MakeValueLabel(this, "Lab_Pval", "101325", QRect(110, 8, 43, 13));

    auto* panel3 = new QFrame(this);
    panel3->setObjectName("Panel3");
    panel3->setFrameShape(QFrame::Panel);
    panel3->setFrameShadow(QFrame::Raised);
    panel3->setLineWidth(2);
    panel3->setGeometry(8, 25, 146, 13);
    PB = new QProgressBar(panel3);
    PB->setObjectName("PB");
    PB->setGeometry(2, 1, 141, 11);
    PB->setRange(0, kGasPressureBarMaximum);
    PB->setValue(101325);
    PB->setTextVisible(false);

    MakeLabel(this, "Lab_Vol", "Volume du récipient : ........", QRect(8, 44, 128, 14));
    Lab_Vval = MakeValueLabel(this, "Lab_Vval", "100", QRect(120, 44, 22, 13));
    MakeLabel(this, "Label3", "%", QRect(143, 44, 10, 13))->setFont(PanelFont(true));
    TB_v = MakeSlider(this, "TB_v", QRect(2, 57, 157, 20), kGasVolumeMin, kGasVolumeMax, 100);

    MakeLabel(this, "Lab_T", "Température /K : ....................", QRect(8, 79, 143, 14));
    Lab_Tval = MakeValueLabel(this, "Lab_Tval", "298", QRect(132, 79, 22, 13));
    TB_t = MakeSlider(this, "TB_t", QRect(2, 92, 157, 20), kGasTemperatureMin, kGasTemperatureMax,
                      298);
}

void GasPanel::BuildParticleGroup() {
    GroupBox1 = MakeGroupBox(this, "GroupBox1", " PARTICULES ", QRect(8, 118, 145, 111));
    MakeLabel(GroupBox1, "Lab_Nb", "Quantité : .........................", QRect(8, 17, 124, 14));
    Lab_Nbval = MakeValueLabel(GroupBox1, "Lab_Nbval", "100", QRect(116, 17, 22, 13));
    TB_nb = MakeSlider(GroupBox1, "TB_nb", QRect(2, 30, 141, 20), kGasCountMin, kGasCountMax, 100);

    MakeLabel(GroupBox1, "Label1", "Masse relative : ...............", QRect(8, 52, 124, 14));
    Lab_Mval = MakeValueLabel(GroupBox1, "Lab_Mval", "5", QRect(129, 52, 8, 13));
    TB_Masse =
        MakeSlider(GroupBox1, "TB_Masse", QRect(2, 65, 141, 20), kGasMassMin, kGasMassMax, 5);
    TB_Masse->setPageStep(1);

    MakeLabel(GroupBox1, "Label2", "Chocs sur parois /s : .........", QRect(8, 90, 131, 14),
              "Fréquence des collisions");
    Lab_Chocs = MakeValueLabel(GroupBox1, "Lab_Chocs", "", QRect(133, 90, 5, 13),
                               "Fréquence des collisions contre les parois");
}

void GasPanel::BuildOptionsGroup() {
    GroupBox2 = MakeGroupBox(this, "GroupBox2", " OPTIONS ", QRect(8, 240, 145, 189));
    CB_MB = MakeCheckBox(GroupBox2, "CB_MB", "Maxwell  -  Boltzmann", QRect(8, 20, 135, 13),
                         "Distribution de Maxwell-Boltzmann");
    CB_stat = MakeCheckBox(GroupBox2, "CB_stat", "Fréquence des vitesses", QRect(8, 40, 135, 13),
                           "Statistique concernant les particules présentes");
    CB_Vitesse = MakeCheckBox(GroupBox2, "CB_Vitesse", "Vitesse des particules",
                              QRect(8, 60, 129, 13), "Graphique des vitesses actualisé en continu");
    CB_Transp = MakeCheckBox(GroupBox2, "CB_Transp", "Transparence du cube", QRect(8, 80, 135, 13));

    // TB_RChange, TB_GChange, TB_BChange: the particle colour.
    MakeColourRows(GroupBox2, {"LabR", "LabV", "LabB"}, 102, true,
                   {{{&TB_R, "TB_R", QRect(24, 101, 117, 17), 255, &gas_.red},
                     {&TB_G, "TB_G", QRect(24, 116, 117, 17), 127, &gas_.green},
                     {&TB_B, "TB_B", QRect(24, 131, 117, 18), 0, &gas_.blue}}});

    MakeLabel(GroupBox2, "Labface", "Sphéricité des particules", QRect(8, 148, 119, 14));
    TB_face_G = MakeSmoothnessSlider(GroupBox2, "TB_face_G", QRect(2, 161, 141, 25), 20);
}

void GasPanel::BuildButtons() {
    butdepG = MakeButton(this, "butdepG", "DÉPART", QRect(9, 440, 57, 24));
    butpauseG = MakeButton(this, "butpauseG", "PAUSE", QRect(69, 440, 57, 24));
}

void GasPanel::LinkSmoothness(QSlider* solid, QSlider* liquid) {
    siblingSolid_ = solid;
    siblingLiquid_ = liquid;
}

bool GasPanel::transparentBox() const {
    return CB_Transp->isChecked();
}

void GasPanel::ShowWallHits(int hits) {
    SetValueText(Lab_Chocs, FormatInteger(hits));
}

void GasPanel::ShowPressure() {
    PB->setValue(std::clamp(static_cast<int>(gas_.pressure), 0, kGasPressureBarMaximum));
    SetValueText(Lab_Pval, FormatGeneral(gas_.pressure));
}

void GasPanel::TB_nbChange() {
    SetGasCount(gas_, TB_nb->value(), random_);
    SetValueText(Lab_Nbval, FormatInteger(gas_.count));
    ShowPressure();
}

void GasPanel::TB_tChange() {
    SetGasTemperature(gas_, TB_t->value(), random_);
    ShowPressure();
    SetValueText(Lab_Tval, FormatGeneral(gas_.temperature));
}

void GasPanel::TB_vChange() {
    SetGasVolume(gas_, TB_v->value());
    SetValueText(Lab_Vval, FormatGeneral(gas_.volumePercent));
    ShowPressure();
}

void GasPanel::TB_MasseChange() {
    SetGasMass(gas_, TB_Masse->value(), random_);
    SetValueText(Lab_Mval, FormatInteger(gas_.mass));
}

void GasPanel::CB_MBClick() {
    gas_.showCurve = CB_MB->isChecked();
}
void GasPanel::CB_statClick() {
    gas_.showHistogram = CB_stat->isChecked();
}
void GasPanel::CB_VitesseClick() {
    gas_.showSpeeds = CB_Vitesse->isChecked();
}

void GasPanel::TB_face_GChange() {
    FollowSmoothness(detail_, TB_face_G->value(), {siblingSolid_, siblingLiquid_});
}

void GasPanel::butdepGClick() {
    PressGasStart(gas_, random_);
}

void GasPanel::butpauseGClick() {
    ShowPaused(butpauseG, ToggleGasPause(gas_), {butdepG, TB_v});
}

}  // namespace veliso
