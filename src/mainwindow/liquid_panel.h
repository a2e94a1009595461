#pragma once

#include <QFrame>

#include "core/common/random_source.h"
#include "core/common/sphere_detail.h"
#include "core/liquid/liquid_state.h"

class QSlider;

namespace veliso {

/// `Panliq`: the left-hand control panel of the liquid tab (161 pixels wide).
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
    LiquidState& liquid_;
    SphereDetail& detail_;
    RandomSource& random_;
    QSlider* TB_face_L = nullptr;
    QSlider* siblingSolid_ = nullptr;
    QSlider* siblingGas_ = nullptr;
};

}  // namespace veliso
