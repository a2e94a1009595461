// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/launch.h"

#include <QCoreApplication>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "app/about_box.h"
#include "app/instructions.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/picture_file.h"
#include "mainwindow/view_actions.h"
#include "mainwindow/view_host.h"
#include "mainwindow/view_notice.h"

namespace veliso {

ViewCapture::ViewCapture(ViewHost& host, const QString& path, int frames, bool fullScreen)
    : QObject(&host.mainWindow()),
      host_(host),
      window_(host.mainWindow()),
      path_(path),
      frames_(frames),
      fullScreen_(fullScreen) {
    host_.animationTimer().stop();
    // Frames count in ticks: an exposure the window system adds must not move the model.
    host_.TieModelToTicks();
    ticker_ = new QTimer(this);
    ticker_->setTimerType(Qt::PreciseTimer);
    ticker_->setInterval(host_.animationTimer().interval());
    connect(ticker_, &QTimer::timeout, this, Guard(this, &ViewCapture::Tick));
    // In full screen the window's own deadline below speaks first.
    host_.view().RequestFrame(
        [this](const FrameAnswer& a) { FirstFrame(a); },
        fullScreen_ ? kFullScreenWaitMs + kFirstFrameTimeoutMs : kFirstFrameTimeoutMs);
    if (fullScreen_) {
        // An X11 display without a window manager leaves the request unanswered: after a
        // moment the window takes its screen by itself.
        QTimer::singleShot(kFullScreenWaitMs / 10, this, [this] {
            if (!started_ && !CoversScreen() && window_.screen() != nullptr) {
                window_.setGeometry(window_.screen()->geometry());
            }
        });
        QTimer::singleShot(kFullScreenWaitMs, this, [this] {
            if (!started_) {
                Fail(QString::fromUtf8("la fenêtre n'a pas obtenu le plein écran en %1 s")
                         .arg(kFullScreenWaitMs / 1000));
            }
        });
    }
}

bool ViewCapture::CoversScreen() const {
    const QScreen* screen = window_.screen();
    return screen != nullptr && window_.size() == screen->size();
}

void ViewCapture::FirstFrame(const FrameAnswer& answer) {
    if (finished_) {
        return;
    }
    if (answer.outcome == FrameOutcome::Painted && fullScreen_ && !CoversScreen()) {
        // A frame still at the windowed size: the one after the window's resize counts.
        host_.view().RequestFrame([this](const FrameAnswer& a) { FirstFrame(a); },
                                  kFullScreenWaitMs + kFirstFrameTimeoutMs);
        return;
    }
    started_ = true;
    if (frames_ == 1 || answer.outcome != FrameOutcome::Painted) {
        LastFrame(answer);
        return;
    }
    ticker_->start();
}

void ViewCapture::Tick() {
    if (finished_) {
        return;
    }
    ++ticks_;
    if (ticks_ == frames_ - 1) {
        // Asked before this tick's paint, which serves it (or, should the view be off
        // screen just now, the next paint: the gas only moves with the ticks).
        ticker_->stop();
        host_.view().RequestFrame([this](const FrameAnswer& a) { LastFrame(a); });
    }
    host_.AnimationTick();
}

void ViewCapture::LastFrame(const FrameAnswer& answer) {
    if (answer.outcome == FrameOutcome::Painted) {
        Write(answer.frame);
    } else {
        Fail(CaptureFrameFailure(answer));
    }
}

void ViewCapture::Write(const QImage& frame) {
    if (finished_) {
        return;
    }
    QString why;
    if (!WritePng(frame, path_, &why)) {
        Fail(CaptureWriteFailure(path_, why));
        return;
    }
    finished_ = true;
    QCoreApplication::exit(0);
}

void ViewCapture::Fail(const QString& message) {
    if (finished_) {
        return;
    }
    finished_ = true;
    ticker_->stop();
    std::fputs(
        (QStringLiteral("veliso : ") + message + QLatin1Char('\n')).toLocal8Bit().constData(),
        stderr);
    QCoreApplication::exit(kExitCaptureFailed);
}

QString CaptureFrameFailure(const FrameAnswer& answer) {
    switch (answer.outcome) {
        case FrameOutcome::Painted:
            break;
        case FrameOutcome::NoContext:
            return QString::fromUtf8("la vue OpenGL ne peut pas être dessinée : %1")
                .arg(ViewNotice::TechnicalText(answer.reason));
        case FrameOutcome::NotExposed:
            return QString::fromUtf8(
                "la vue n'est pas apparue à l'écran, aucune image n'a été "
                "dessinée.");
        case FrameOutcome::PaintFailed:
            return QString::fromUtf8("le dessin de la vue a échoué : %1").arg(answer.reason);
        case FrameOutcome::TimedOut:
            break;
    }
    return QString::fromUtf8("aucune image de la vue n'est venue à temps.");
}

void ShowMainWindow(TFormMM& form, const CommandLineOptions& options) {
    if (options.tab) {
        form.PageControl1->setCurrentIndex(*options.tab);
    }
    if (options.capturing()) {
        form.SetAuxiliaryWindows(nullptr, Forminst, AboutBox);
        new ViewCapture(form, options.capturePath, options.captureFrames, options.fullScreen);
    }
    if (options.fullScreen) {
        form.viewActions()->SetFullScreen(true);
    }
    form.show();
}

}  // namespace veliso
