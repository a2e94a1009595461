#include "mainwindow/solid_panel.h"

#include <QSlider>

namespace veliso {

SolidPanel::SolidPanel(QWidget* parent, SolidState& solid, SphereDetail& detail)
    : QFrame(parent), solid_(solid), detail_(detail) {
    setObjectName("Pansol");
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    TB_face_S = new QSlider(Qt::Horizontal, this);
    TB_face_S->setObjectName("TB_face_S");
    TB_face_S->setRange(8, 32);
    TB_face_S->setValue(20);
    TB_face_S->setGeometry(10, 336, 141, 25);
}

void SolidPanel::LinkSmoothness(QSlider* gas, QSlider* liquid) {
    siblingGas_ = gas;
    siblingLiquid_ = liquid;
}

}  // namespace veliso
