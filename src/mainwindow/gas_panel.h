// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QFrame>

#include "core/common/random_source.h"
#include "core/common/sphere_detail.h"
#include "core/gas/gas_state.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;

namespace veliso {

/// `Pangaz`: the left-hand control panel of the gas tab (161 × 472 pixels).
///
/// Its sliders, check boxes and buttons write the gas record directly through the gas
/// model's control functions and show the figures they recompute (pressure, count,
/// temperature, volume, mass). None of them repaints the view: the animation tick does.
/// Every control carries the object name used below, so tests and the main window can
/// find it with findChild.
class GasPanel : public QFrame {
    Q_OBJECT
  public:
    GasPanel(QWidget* parent, GasState& gas, SphereDetail& detail, RandomSource& random);

    /// `TB_face_G`, the gas tab's smoothness slider.
    QSlider* smoothnessSlider() const { return TB_face_G; }
    /// The solid (`TB_face_S`) and liquid (`TB_face_L`) smoothness sliders, moved in that
    /// order whenever this tab's slider moves.
    void LinkSmoothness(QSlider* solid, QSlider* liquid);

    /// State of `CB_Transp` ("Transparence du cube"), read by the renderer at every paint.
    bool transparentBox() const;
    /// Writes the wall hits of the last second into `Lab_Chocs`.
    void ShowWallHits(int hits);

  private:
    // Handlers, one per control event.
    void TB_nbChange();
    void TB_tChange();
    void TB_vChange();
    void TB_MasseChange();
    void CB_MBClick();
    void CB_statClick();
    void CB_VitesseClick();
    void TB_face_GChange();
    void butdepGClick();
    void butpauseGClick();

    /// Shows `pressure` in `Lab_Pval` (general format) and in the bar `PB`.
    void ShowPressure();

    void BuildPressureRows();
    void BuildParticleGroup();
    void BuildOptionsGroup();
    void BuildButtons();

    GasState& gas_;
    SphereDetail& detail_;
    RandomSource& random_;

    QLabel* Lab_Pval = nullptr;
    QProgressBar* PB = nullptr;
    QLabel* Lab_Vval = nullptr;
    QSlider* TB_v = nullptr;
    QLabel* Lab_Tval = nullptr;
    QSlider* TB_t = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Lab_Nbval = nullptr;
    QSlider* TB_nb = nullptr;
    QLabel* Lab_Mval = nullptr;
    QSlider* TB_Masse = nullptr;
    QLabel* Lab_Chocs = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* CB_MB = nullptr;
    QCheckBox* CB_stat = nullptr;
    QCheckBox* CB_Vitesse = nullptr;
    QCheckBox* CB_Transp = nullptr;
    QSlider* TB_R = nullptr;
    QSlider* TB_G = nullptr;
    QSlider* TB_B = nullptr;
    QSlider* TB_face_G = nullptr;
    QPushButton* butdepG = nullptr;
    QPushButton* butpauseG = nullptr;
    QSlider* siblingSolid_ = nullptr;
    QSlider* siblingLiquid_ = nullptr;
};

}  // namespace veliso
