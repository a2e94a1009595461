// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/dialog_parts.h"

#include <qdrawutil.h>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "mainwindow/fitted_text.h"
#include "mainwindow/panel_widgets.h"

namespace veliso {

QFont ArialFont(int pointSize, bool bold) {
    QFont f("Arial", pointSize);
    f.setBold(bold);
    return f;
}

BevelPanel::BevelPanel(QWidget* parent, QColor fill) : QWidget(parent), fill_(fill) {}

void BevelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), fill_);
    QPalette pal = palette();
    pal.setColor(QPalette::Light, Qt::white);
    pal.setColor(QPalette::Dark, QColor(128, 128, 128));
    qDrawShadeRect(&p, rect(), pal, false, 1);                        // raised outer bevel
    qDrawShadeRect(&p, rect().adjusted(1, 1, -1, -1), pal, true, 1);  // lowered inner bevel
}

ShapeWidget::ShapeWidget(QWidget* parent, Kind kind, QColor fill, QColor outline)
    : QWidget(parent), kind_(kind), fill_(fill), outline_(outline) {}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (kind_ == Kind::Rectangle) {
        p.fillRect(rect(), fill_);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline_);
    p.setBrush(fill_);
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                   const QFont& font, QColor colour) {
    // Drawn smaller, not cut, should a larger font than the dialogs were made for need it.
    auto* label = new FittedLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void FitLabelWithin(QLabel* label, int right) {
    label->setFont(NarrowedToFit(label->font(), label->text(), right - label->x() + 1));
    label->adjustSize();
}

QWidget* SetUpInfoWindow(QDialog* window, const char* name, const QString& caption,
                         const QIcon& icon, QSize size, QRect panel) {
    window->setObjectName(name);
    window->setWindowTitle(caption);
    window->setWindowIcon(icon);
    window->setFixedSize(size);
    window->setFont(ArialFont(8));
    window->setAutoFillBackground(true);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, kDialogBackground);
    window->setPalette(pal);
    auto* content = new BevelPanel(window, Qt::white);
    content->setObjectName("Panel1");
    content->setGeometry(panel);
    return content;
}

void CentreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

}  // namespace veliso
