// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/handler_boundary.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace veliso {

namespace {

/// The exception box of the run: whether one is open, and what arrived meanwhile.
struct ExceptionBoxes {
    bool open = false;
    int missed = 0;
    QString firstMissed;
};

ExceptionBoxes& Boxes() {
    static ExceptionBoxes boxes;
    return boxes;
}

/// Marks a box open for as long as it lives, however its modal loop ends.
class OpenBox {
  public:
    OpenBox() { Boxes().open = true; }
    ~OpenBox() { Boxes().open = false; }
    OpenBox(const OpenBox&) = delete;
    OpenBox& operator=(const OpenBox&) = delete;
};

/// The window an error box belongs to: the modal window in front, else the active window,
/// else the first visible top-level window (the main window), else none.
QWidget* BoxOwner() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() == Qt::Window) {
            return window;
        }
    }
    return nullptr;
}

QString OthersText(int others) {
    return others == 1 ? QString::fromUtf8("… et 1 autre erreur")
                       : QString::fromUtf8("… et %1 autres erreurs").arg(others);
}

}  // namespace

void ShowException(const QString& message) {
    ExceptionBoxes& boxes = Boxes();
    if (boxes.open) {
        if (boxes.missed++ == 0) {
            boxes.firstMissed = message;
        }
        return;
    }
    QString text = message;
    for (;;) {
        {
            OpenBox open;
            // Owned by the window in front, so that a tiling or kiosk desktop keeps that window
            // in view; on the heap, since that window may be closed while the box is open.
            QPointer<QMessageBox> box =
                new QMessageBox(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text,
                                QMessageBox::Ok, BoxOwner());
            box->exec();
            delete box;
        }
        if (boxes.missed == 0) {
            return;
        }
        text = boxes.firstMissed;
        if (boxes.missed > 1) {
            text += QLatin1Char('\n') + OthersText(boxes.missed - 1);
        }
        boxes.missed = 0;
        boxes.firstMissed.clear();
    }
}

}  // namespace veliso
