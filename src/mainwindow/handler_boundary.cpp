// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/handler_boundary.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>

namespace veliso {

namespace {

/// The exception boxes of the run: whether one is open, the messages that arrived while it
/// was (each once), and the messages shown since the user last did something.
struct ExceptionBoxes {
    bool open = false;
    QStringList waiting;
    QStringList shown;
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

/// Forgets the messages shown once the user presses a key or a mouse button in a window that
/// no dialog blocks: what fails after that is news again. Presses in a dialog (the error box
/// itself, the question asked before closing) do not count, so that dismissing a box or
/// answering a question never calls up the same error again.
class UserActs : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress) &&
            !Boxes().open && QApplication::activeModalWidget() == nullptr) {
            Boxes().shown.clear();
        }
        return QObject::eventFilter(watched, event);
    }
};

void WatchTheUser() {
    static QPointer<QObject> watcher;
    QCoreApplication* app = QCoreApplication::instance();
    if (watcher == nullptr && app != nullptr) {
        watcher = new UserActs(app);
        app->installEventFilter(watcher);
    }
}

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

QString OthersText(qsizetype others) {
    return others == 1 ? QString::fromUtf8("… et 1 autre erreur")
                       : QString::fromUtf8("… et %1 autres erreurs").arg(others);
}

}  // namespace

void ShowException(const QString& message) {
    ExceptionBoxes& boxes = Boxes();
    if (boxes.shown.contains(message) || boxes.waiting.contains(message)) {
        return;  // told already, and the user has done nothing since
    }
    if (boxes.open) {
        boxes.waiting.append(message);
        return;
    }
    WatchTheUser();
    boxes.shown.append(message);
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
        if (boxes.waiting.isEmpty()) {
            return;
        }
        // The first that came meanwhile, and how many others: they count as told.
        text = boxes.waiting.first();
        if (boxes.waiting.size() > 1) {
            text += QLatin1Char('\n') + OthersText(boxes.waiting.size() - 1);
        }
        boxes.shown.append(boxes.waiting);
        boxes.waiting.clear();
    }
}

}  // namespace veliso
