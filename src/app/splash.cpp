// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/splash.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPalette>
#include <QThread>
#include <QWindow>

#include "app/dialog_parts.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/pictures.h"

TFormsplash* Formsplash = nullptr;

namespace {

bool gOpacityRefused = false;

void NoteOpacityRefused(QtMsgType, const QMessageLogContext&, const QString&) {
    gOpacityRefused = true;
}

}  // namespace

bool TFormsplash::PlatformHasWindowOpacity() {
    // Asked of the window system itself, once: a platform plugin without per-window opacity
    // (Wayland, offscreen, framebuffer) answers the request with a warning, which it would
    // otherwise repeat at every step of the fade. The probe window is never shown.
    static const bool has = [] {
        QWindow probe;
        probe.create();
        if (probe.handle() == nullptr) {
            return false;
        }
        gOpacityRefused = false;
        const QtMessageHandler previous = qInstallMessageHandler(&NoteOpacityRefused);
        probe.setOpacity(0.5);
        qInstallMessageHandler(previous);
        return !gOpacityRefused;
    }();
    return has;
}

TFormsplash::TFormsplash(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), fades_(PlatformHasWindowOpacity()) {
    setObjectName("Formsplash");
    setFixedSize(384, 256);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 89, 132));
    setPalette(pal);
    // A translucent window whose key-coloured pixels are never painted: where the window
    // system cannot shape a window (Wayland), those pixels are transparent instead. The
    // picture covers the whole window, so the background colour never shows.
    setAttribute(Qt::WA_TranslucentBackground);
    if (fades_) {
        setWindowOpacity(0.0);  // ignored by X11 desktops without a compositor
    }

    const QPixmap picture = veliso::pictures::SplashPicture();
    Image1 = new veliso::ClickableLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, 384, 256);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(picture);
    // The window has no title bar: a screen reader names it and reads the picture's words.
    setAccessibleName(QStringLiteral("Veliso"));
    setAccessibleDescription(
        QString::fromUtf8("Écran d'accueil de Veliso, version 1.2 : les trois états de la "
                          "matière, modèles particulaires animés. Il se ferme seul après dix "
                          "secondes, ou d'un clic."));
    Image1->setAccessibleName(QString::fromUtf8(
        "Veliso. Les trois états de la matière, modèles particulaires animés. État solide : un "
        "cristal de sphères vertes. État liquide : des sphères bleues au fond d'un récipient. "
        "État gazeux : des particules orange dispersées dans un récipient."));
    connect(Image1, &veliso::ClickableLabel::clicked, this,
            veliso::Guard(this, &TFormsplash::Image1Click));

    // The picture covers the whole window, so its key-coloured pixels give the shape: of
    // the window where the window system shapes windows (X11), and of the painted and
    // clickable part of the picture everywhere.
    const QBitmap shape = picture.createMaskFromColor(ColourKey(), Qt::MaskInColor);
    Image1->setMask(shape);
    setMask(shape);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, veliso::Guard(this, &TFormsplash::Timer1Timer));
    Timer1->start();
}

void TFormsplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    veliso::CentreOnScreen(this);
    if (ticks_ >= 10) {
        // The start took longer than the splash's ten seconds: the tick that would have
        // closed it is gone, so it closes as soon as its modal loop runs.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    // Fade in once the window is on the screen: before that, the window system has not
    // even mapped it, and the whole fade would reach it at once, after the last step.
    fadePending_ = true;
    if (windowHandle() != nullptr) {
        windowHandle()->installEventFilter(this);
    }
}

bool TFormsplash::eventFilter(QObject* watched, QEvent* event) {
    if (fadePending_ && watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        fadePending_ = false;
        QMetaObject::invokeMethod(this, &TFormsplash::FormActivate, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void TFormsplash::FormActivate() {
    if (!isVisible() || !fades_) {
        return;  // without window opacity the splash shows at once
    }
    fadeSteps_.clear();
    for (int alpha = 0; alpha <= 240; alpha += 15) {
        repaint();
        QThread::msleep(5);
        setWindowOpacity(alpha / 255.0);
        fadeSteps_.push_back(alpha);
    }
    setWindowOpacity(1.0);
}

void TFormsplash::Timer1Timer() {
    ++ticks_;
    if (ticks_ == 10) {
        close();
    }
}

void TFormsplash::Image1Click() {
    close();
}
