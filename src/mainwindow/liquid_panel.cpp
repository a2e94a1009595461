#include "mainwindow/liquid_panel.h"

#include <QSlider>

namespace veliso {

LiquidPanel::LiquidPanel(QWidget* parent, LiquidState& liquid, SphereDetail& detail,
                         RandomSource& random)
    : QFrame(parent), liquid_(liquid), detail_(detail), random_(random) {
    setObjectName("Panliq");
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    TB_face_L = new QSlider(Qt::Horizontal, this);
    TB_face_L->setObjectName("TB_face_L");
    TB_face_L->setRange(8, 32);
    TB_face_L->setValue(20);
    TB_face_L->setGeometry(10, 202, 141, 25);
}

void LiquidPanel::LinkSmoothness(QSlider* solid, QSlider* gas) {
    siblingSolid_ = solid;
    siblingGas_ = gas;
}

bool LiquidPanel::transparentCube() const { return false; }
bool LiquidPanel::markParticles() const { return false; }

}  // namespace veliso
