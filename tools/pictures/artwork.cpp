// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace veliso::pictures {

namespace {

// The program's palette: panel blue, title blue, the bullets' orange, the model colours.
const QColor kDeepBlue(0, 89, 132);
const QColor kNightBlue(0, 44, 72);
const QColor kOrange(255, 108, 0);
const QColor kOrangeEdge(183, 69, 0);
const QColor kLiquidBlue(0, 153, 255);
const QColor kCrystalGrey(179, 179, 204);

QImage Transparent(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

/// A ball lit from the upper left, as the scenes light their spheres.
void Ball(QPainter& p, QPointF centre, double radius, QColor colour) {
    QRadialGradient shade(centre - QPointF(radius * 0.38, radius * 0.42), radius * 1.45);
    shade.setColorAt(0.0, colour.lighter(185));
    shade.setColorAt(0.28, colour);
    shade.setColorAt(1.0, colour.darker(280));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(centre, radius, radius);
}

/// A rounded tile filling the square, darker towards the bottom.
void Tile(QPainter& p, int size) {
    const double inset = size >= 32 ? size / 32.0 : 0.5;
    const QRectF box(inset, inset, size - 2 * inset, size - 2 * inset);
    const double corner = size * (size >= 32 ? 0.19 : 0.16);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0.0, QColor(0, 118, 172));
    fill.setColorAt(1.0, kNightBlue);
    p.setPen(size >= 32 ? QPen(QColor(0, 30, 52), size / 64.0 + 0.5) : Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(box, corner, corner);
}

/// The box outline: an oblique cube seen a little from above.
void BoxOutline(QPainter& p, int size) {
    const double s = size;
    const QPointF front[4] = {
        {0.17 * s, 0.36 * s}, {0.67 * s, 0.36 * s}, {0.67 * s, 0.86 * s}, {0.17 * s, 0.86 * s}};
    const QPointF shift(0.16 * s, -0.16 * s);
    QPen pen(QColor(255, 255, 255, 150), std::max(1.0, s / 40.0));
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        p.drawLine(front[i] + shift, front[(i + 1) % 4] + shift);
        p.drawLine(front[i], front[i] + shift);
    }
}

void BoxFront(QPainter& p, int size) {
    const double s = size;
    QPen pen(QColor(255, 255, 255, 205), std::max(1.0, s / 40.0));
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawRect(QRectF(0.17 * s, 0.36 * s, 0.50 * s, 0.50 * s));
}

}  // namespace

QImage ApplicationIcon(int size) {
    QImage image = Transparent(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Tile(p, size);
    const double s = size;
    if (size >= 32) {
        BoxOutline(p, size);
        // Solid at the back, liquid at the bottom front, gas near the top.
        Ball(p, {0.55 * s, 0.56 * s}, 0.155 * s, kCrystalGrey);
        Ball(p, {0.35 * s, 0.68 * s}, 0.155 * s, kLiquidBlue);
        BoxFront(p, size);
        Ball(p, {0.66 * s, 0.27 * s}, 0.125 * s, kOrange);
    } else {
        // Too small for the box: three balls filling the tile.
        Ball(p, {0.70 * s, 0.67 * s}, 0.22 * s, kCrystalGrey);
        Ball(p, {0.31 * s, 0.67 * s}, 0.22 * s, kLiquidBlue);
        Ball(p, {0.50 * s, 0.31 * s}, 0.21 * s, kOrange);
    }
    return image;
}

QImage InfoIcon() {
    QImage image = Transparent(24, 24);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient disc(QPointF(9.0, 7.5), 17.0);
    disc.setColorAt(0.0, QColor(88, 160, 235));
    disc.setColorAt(1.0, QColor(16, 64, 128));
    p.setPen(QPen(QColor(12, 46, 96), 1.0));
    p.setBrush(disc);
    p.drawEllipse(QRectF(0.5, 0.5, 23.0, 23.0));
    // The letter: a round dot over a stem with a foot, on whole pixels.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(10.0, 3.5, 4.0, 4.0));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawRect(QRect(8, 10, 2, 2));   // the serif at the top left
    p.drawRect(QRect(10, 10, 4, 8));  // the stem, x 10 .. 13, centred on the disc
    p.drawRect(QRect(8, 17, 8, 2));   // the foot
    return image;
}

QImage InstructionsPicture() {
    QImage image(54, 44, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The cable, leaving the mouse at the top.
    p.setPen(QPen(QColor(120, 120, 120), 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable(QPointF(27.0, 5.0));
    cable.cubicTo(QPointF(27.0, 1.0), QPointF(33.0, 2.5), QPointF(34.0, 0.0));
    p.drawPath(cable);

    // The body.
    const QRectF body(16.5, 5.5, 21.0, 35.0);
    QLinearGradient shell(body.left(), 0, body.right(), 0);
    shell.setColorAt(0.0, QColor(250, 250, 250));
    shell.setColorAt(1.0, QColor(205, 205, 212));
    p.setPen(QPen(QColor(70, 70, 78), 1.0));
    p.setBrush(shell);
    p.drawRoundedRect(body, 10.5, 11.5);

    // The left button, marked.
    QPainterPath left;
    left.moveTo(27.0, 6.0);
    left.lineTo(27.0, 19.5);
    left.lineTo(17.0, 19.5);
    left.lineTo(17.0, 16.5);
    left.cubicTo(17.0, 10.0, 21.0, 6.0, 27.0, 6.0);
    QLinearGradient lit(0, 6, 0, 19.5);
    lit.setColorAt(0.0, QColor(255, 160, 70));
    lit.setColorAt(1.0, kOrange);
    p.setPen(QPen(kOrangeEdge, 1.0));
    p.setBrush(lit);
    p.drawPath(left);

    // Button seams.
    p.setPen(QPen(QColor(70, 70, 78), 1.0));
    p.drawLine(QPointF(27.0, 6.0), QPointF(27.0, 19.5));
    p.drawLine(QPointF(17.0, 19.5), QPointF(37.0, 19.5));

    // Drag arrows: left and right of the mouse, and up and down on the right.
    const QColor arrow(16, 64, 128);
    p.setPen(QPen(arrow, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(2.5, 26.0), QPointF(12.5, 26.0));
    p.drawLine(QPointF(41.5, 26.0), QPointF(51.5, 26.0));
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    const QPointF leftHead[3] = {{1.5, 26.0}, {5.5, 23.0}, {5.5, 29.0}};
    const QPointF rightHead[3] = {{52.5, 26.0}, {48.5, 23.0}, {48.5, 29.0}};
    p.drawPolygon(leftHead, 3);
    p.drawPolygon(rightHead, 3);
    p.setPen(QPen(arrow, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(46.5, 7.0), QPointF(46.5, 16.0));
    p.setPen(Qt::NoPen);
    const QPointF upHead[3] = {{46.5, 4.0}, {43.5, 8.0}, {49.5, 8.0}};
    const QPointF downHead[3] = {{46.5, 19.0}, {43.5, 15.0}, {49.5, 15.0}};
    p.drawPolygon(upHead, 3);
    p.drawPolygon(downHead, 3);
    return image;
}

}  // namespace veliso::pictures
