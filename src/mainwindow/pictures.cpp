#include "mainwindow/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace veliso::pictures {

namespace {

QPixmap Transparent(int w, int h) {
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

// A lit ball: the motif shared by the program's icons.
void DrawBall(QPainter& p, QPointF centre, double radius, QColor colour) {
    QRadialGradient g(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.3);
    g.setColorAt(0.0, Qt::white);
    g.setColorAt(0.35, colour);
    g.setColorAt(1.0, colour.darker(260));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

QPixmap BallsIcon(int size) {
    QPixmap pix = Transparent(size, size);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = size * 0.22;
    DrawBall(p, QPointF(size * 0.30, size * 0.68), r, QColor(0, 153, 255));
    DrawBall(p, QPointF(size * 0.70, size * 0.68), r, QColor(180, 180, 205));
    DrawBall(p, QPointF(size * 0.50, size * 0.32), r, QColor(255, 128, 0));
    return pix;
}

}  // namespace

QPixmap InfoIcon() {
    QPixmap pix = Transparent(24, 24);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(9, 8), 16);
    g.setColorAt(0.0, QColor(120, 180, 255));
    g.setColorAt(1.0, QColor(16, 64, 128));
    p.setPen(QPen(QColor(10, 40, 90), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
    QFont f("Times New Roman");
    f.setPixelSize(17);
    f.setBold(true);
    f.setItalic(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 1, 24, 23), Qt::AlignCenter, "i");
    return pix;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(BallsIcon(size));
    }
    return icon;
}

QIcon InstructionsIcon() {
    QPixmap pix = Transparent(32, 32);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(80, 80, 80), 1.5));
    p.setBrush(QColor(245, 245, 245));
    p.drawRoundedRect(QRectF(8, 3, 16, 26), 8, 8);
    p.drawLine(QPointF(16, 3), QPointF(16, 13));
    p.setBrush(QColor(255, 108, 0));
    p.drawRoundedRect(QRectF(8.5, 3.5, 7.5, 9.5), 4, 4);
    return QIcon(pix);
}

QIcon AboutIcon() {
    return QIcon(InfoIcon());
}

QPixmap SplashPicture() {
    QPixmap pix(384, 256);
    // The colour key around the rounded card makes the splash window round-cornered.
    pix.fill(QColor(0, 128, 192));
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath card;
    card.addRoundedRect(QRectF(0, 0, 384, 256), 24, 24);
    QLinearGradient bg(0, 0, 0, 256);
    bg.setColorAt(0.0, QColor(0, 110, 160));
    bg.setColorAt(1.0, QColor(0, 60, 95));
    p.fillPath(card, bg);

    p.setRenderHint(QPainter::Antialiasing);
    // Solid, liquid, gas: a small lattice, a heap of drops, a few scattered particles.
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            DrawBall(p, QPointF(62 + 22 * i, 170 + 20 * j - 10), 10, QColor(180, 180, 205));
        }
    }
    const QPointF drops[] = {{170, 200}, {192, 200}, {214, 200},
                             {181, 181}, {203, 181}, {192, 163}};
    for (const QPointF& c : drops) {
        DrawBall(p, c, 11, QColor(0, 153, 255));
    }
    const QPointF atoms[] = {{280, 150}, {330, 175}, {300, 205}, {345, 130}, {265, 190}};
    for (const QPointF& c : atoms) {
        DrawBall(p, c, 8, QColor(255, 128, 0));
    }

    QFont title("Arial");
    title.setPixelSize(54);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(0, 24, 384, 70), Qt::AlignCenter, "Veliso");
    QFont sub("Arial");
    sub.setPixelSize(15);
    p.setFont(sub);
    p.setPen(QColor(200, 225, 240));
    p.drawText(QRect(0, 90, 384, 24), Qt::AlignCenter,
               QString::fromUtf8("Les états de la matière"));
    return pix;
}

QPixmap InstructionsPicture() {
    QPixmap pix(54, 44);
    pix.fill(Qt::white);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    // A mouse seen from above, its left button lit.
    p.setPen(QPen(QColor(80, 80, 80), 1.2));
    p.setBrush(QColor(235, 235, 235));
    p.drawRoundedRect(QRectF(15, 2, 24, 40), 12, 12);
    p.setBrush(QColor(255, 108, 0));
    QPainterPath left;
    left.moveTo(27, 2.6);
    left.lineTo(27, 16);
    left.lineTo(15.6, 16);
    left.lineTo(15.6, 14);
    left.quadTo(15.6, 2.6, 27, 2.6);
    p.drawPath(left);
    p.drawLine(QPointF(27, 2.6), QPointF(27, 16));
    p.drawLine(QPointF(15.6, 16), QPointF(38.4, 16));
    // Arrows: left-right and up-down.
    p.setPen(QPen(QColor(16, 64, 128), 1.5));
    p.drawLine(QPointF(2, 24), QPointF(12, 24));
    p.drawLine(QPointF(2, 24), QPointF(5, 21));
    p.drawLine(QPointF(2, 24), QPointF(5, 27));
    p.drawLine(QPointF(42, 24), QPointF(52, 24));
    p.drawLine(QPointF(52, 24), QPointF(49, 21));
    p.drawLine(QPointF(52, 24), QPointF(49, 27));
    return pix;
}

}  // namespace veliso::pictures
