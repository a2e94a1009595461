// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QFrame>

#include "core/common/random_source.h"
#include "core/common/sphere_detail.h"
#include "core/liquid/liquid_state.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

namespace veliso {

/// `Panliq`: the left-hand control panel of the liquid tab (161 × 472 pixels).
///
/// Its sliders and buttons write the liquid record directly: volume (half-edge of the
/// cube), temperature (new velocities), particle colour, the shared sphere smoothness,
/// "DÉPART" (the layered start again) and "PAUSE" / "CONTINUE". The two check boxes have
/// no handler: the renderer reads them at every paint. No handler repaints the view; the
/// animation tick does. Every control carries its name as object name, so tests and the
/// main window can find it with findChild. The controls start from the record they are
/// given, without running any handler.
class LiquidPanel : public QFrame {
    Q_OBJECT
  public:
    LiquidPanel(QWidget* parent, LiquidState& liquid, SphereDetail& detail, RandomSource& random);

    /// `TB_face_L`, the liquid tab's smoothness slider.
    QSlider* smoothnessSlider() const { return TB_face_L; }
    /// The solid (`TB_face_S`) and gas (`TB_face_G`) smoothness sliders, moved in that order.
    void LinkSmoothness(QSlider* solid, QSlider* gas);

    /// `CB_trans_L` ("Transparence du cube") and `CB_mark` ("2 particules marquées"),
    /// read by the renderer at every paint.
    bool transparentCube() const;
    bool markParticles() const;

  private:
    // Handlers, one per control event.
    void TB_Vol_LChange();
    void TB_t_LChange();
    void TB_face_LChange();
    void butdepClick();
    void butpauseClick();

    void BuildVolumeAndTemperature();
    void BuildOptionsGroup();
    void BuildButtons();
    /// `Lab_T_L`: the temperature in kelvin under its slider.
    void ShowTemperature();

    LiquidState& liquid_;
    SphereDetail& detail_;
    RandomSource& random_;

    QLabel* Lab_V_L = nullptr;
    QSlider* TB_Vol_L = nullptr;
    QSlider* TB_t_L = nullptr;
    QLabel* Lab_T_L = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QCheckBox* CB_trans_L = nullptr;
    QCheckBox* CB_mark = nullptr;
    QSlider* TB_R_L = nullptr;
    QSlider* TB_V_L = nullptr;
    QSlider* TB_B_L = nullptr;
    QSlider* TB_face_L = nullptr;
    QPushButton* butdep = nullptr;
    QPushButton* butpause = nullptr;
    QSlider* siblingSolid_ = nullptr;
    QSlider* siblingGas_ = nullptr;
};

}  // namespace veliso
