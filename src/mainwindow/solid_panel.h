#pragma once

#include <QFrame>

#include "core/common/sphere_detail.h"
#include "core/solid/solid_state.h"

class QSlider;

namespace veliso {

/// `Pansol`: the left-hand control panel of the solid tab (161 pixels wide).
class SolidPanel : public QFrame {
    Q_OBJECT
public:
    SolidPanel(QWidget* parent, SolidState& solid, SphereDetail& detail);

    /// `TB_face_S`, the solid tab's smoothness slider.
    QSlider* smoothnessSlider() const { return TB_face_S; }
    /// The gas (`TB_face_G`) and liquid (`TB_face_L`) smoothness sliders, moved in that order.
    void LinkSmoothness(QSlider* gas, QSlider* liquid);

private:
    SolidState& solid_;
    SphereDetail& detail_;
    QSlider* TB_face_S = nullptr;
    QSlider* siblingGas_ = nullptr;
    QSlider* siblingLiquid_ = nullptr;
};

}  // namespace veliso
