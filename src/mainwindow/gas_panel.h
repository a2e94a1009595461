#pragma once

#include <QFrame>

#include "core/common/random_source.h"
#include "core/common/sphere_detail.h"
#include "core/gas/gas_state.h"

class QSlider;

namespace veliso {

/// `Pangaz`: the left-hand control panel of the gas tab (161 pixels wide).
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
    GasState& gas_;
    SphereDetail& detail_;
    RandomSource& random_;
    QSlider* TB_face_G = nullptr;
    QSlider* siblingSolid_ = nullptr;
    QSlider* siblingLiquid_ = nullptr;
};

}  // namespace veliso
