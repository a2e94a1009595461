#include "mainwindow/gas_panel.h"

#include <QSlider>

namespace veliso {

GasPanel::GasPanel(QWidget* parent, GasState& gas, SphereDetail& detail, RandomSource& random)
    : QFrame(parent), gas_(gas), detail_(detail), random_(random) {
    setObjectName("Pangaz");
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    TB_face_G = new QSlider(Qt::Horizontal, this);
    TB_face_G->setObjectName("TB_face_G");
    TB_face_G->setRange(8, 32);
    TB_face_G->setValue(20);
    TB_face_G->setGeometry(2, 401, 141, 25);
}

void GasPanel::LinkSmoothness(QSlider* solid, QSlider* liquid) {
    siblingSolid_ = solid;
    siblingLiquid_ = liquid;
}

bool GasPanel::transparentBox() const { return false; }

void GasPanel::ShowWallHits(int) {}

}  // namespace veliso
