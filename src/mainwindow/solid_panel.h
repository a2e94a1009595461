// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QFrame>

#include "core/common/sphere_detail.h"
#include "core/solid/solid_state.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace veliso {

/// `Pansol`: the left-hand control panel of the solid tab (161 pixels wide): the
/// temperature, the eight structures, the colour of the spheres and their smoothness.
///
/// Handlers write `SolidState` and `SphereDetail` directly and never repaint; the next
/// frame shows the change. A slider's handler runs whenever its position changes, also
/// when the program moves it (colour presets, smoothness of the other tabs); a radio
/// button's handler runs when the button becomes checked, not when the checked one is
/// clicked again.
class SolidPanel : public QFrame {
    Q_OBJECT
  public:
    SolidPanel(QWidget* parent, SolidState& solid, SphereDetail& detail);

    /// `TB_face_S`, the solid tab's smoothness slider.
    QSlider* smoothnessSlider() const { return TB_face_S; }
    /// The gas (`TB_face_G`) and liquid (`TB_face_L`) smoothness sliders, moved in that order.
    void LinkSmoothness(QSlider* gas, QSlider* liquid);

  private:
    /// amplitude := T * 7.326007326007326e-6; `Lab_T_S` shows T in kelvin.
    void TB_t_SChange();
    /// slices := position; the gas then the liquid slider follow; stacks := slices / 2.
    void TB_face_SChange();
    /// Structure selection with the lattice's colour preset.
    void RBc4SClick();
    void RBm4SClick();
    void RB1Click();
    void RB2Click();
    void RB3Click();
    void RB4Click();
    void RBc6Click();
    /// Also fills the site table of the hexagonal cell.
    void RBm6Click();

    void BuildTemperatureRow();
    void BuildStructureButtons();
    void BuildOptionsGroup();
    /// Selects `structure` and moves the colour sliders to its preset; each slider that
    /// actually moves runs its own handler.
    void Select(SolidStructure structure);

    SolidState& solid_;
    SphereDetail& detail_;
    QLabel* Lab_T_S = nullptr;
    QSlider* TB_t_S = nullptr;
    QRadioButton* RBc4S = nullptr;
    QRadioButton* RBm4S = nullptr;
    QRadioButton* RB1 = nullptr;
    QRadioButton* RB2 = nullptr;
    QRadioButton* RB3 = nullptr;
    QRadioButton* RB4 = nullptr;
    QRadioButton* RBc6 = nullptr;
    QRadioButton* RBm6 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QSlider* TB_R_S = nullptr;
    QSlider* TB_V_S = nullptr;
    QSlider* TB_B_S = nullptr;
    QSlider* TB_face_S = nullptr;
    QSlider* siblingGas_ = nullptr;
    QSlider* siblingLiquid_ = nullptr;
};

}  // namespace veliso
