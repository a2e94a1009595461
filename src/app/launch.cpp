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
#include "mainwindow/view_notice.h"

namespace veliso {

ViewCapture::ViewCapture(TFormMM& form, const QString& path, int frames, bool fullScreen)
    : QObject(&form), form_(form), path_(path), frames_(frames), fullScreen_(fullScreen) {
    form_.Timer1->stop();
    TOpenGLOrvPanel* view = form_.OpenGLOrvPanel1;
    view->OnPaint = ChainAfter(view->OnPaint, [this](TOpenGLOrvPanel*) { Painted(); });
    view->OnError = ChainAfter(view->OnError, [this](TOpenGLOrvPanel* sender) {
        Fail(QString::fromUtf8("la vue OpenGL ne peut pas être dessinée : %1")
                 .arg(ViewNotice::TechnicalText(sender->ErrorText())));
    });
    if (fullScreen_) {
        // An X11 display without a window manager leaves the request unanswered: after a
        // moment the window takes its screen by itself.
        QTimer::singleShot(kFullScreenWaitMs / 10, this, [this] {
            if (painted_ == 0 && !CoversScreen() && form_.screen() != nullptr) {
                form_.setGeometry(form_.screen()->geometry());
            }
        });
        QTimer::singleShot(kFullScreenWaitMs, this, [this] {
            if (painted_ == 0) {
                Fail(QString::fromUtf8("la fenêtre n'a pas obtenu le plein écran en %1 s")
                         .arg(kFullScreenWaitMs / 1000));
            }
        });
    }
}

bool ViewCapture::CoversScreen() const {
    const QScreen* screen = form_.screen();
    return screen != nullptr && form_.size() == screen->size();
}

void ViewCapture::Painted() {
    if (finished_ || (fullScreen_ && painted_ == 0 && !CoversScreen())) {
        return;  // a frame still at the windowed size
    }
    ++painted_;
    if (painted_ == 1) {
        form_.Timer1->start();
    }
    if (painted_ == frames_) {
        form_.Timer1->stop();
        // Served by this very paint, before its swap.
        form_.OpenGLOrvPanel1->GrabNextFrame([this](const QImage& frame) { Write(frame); });
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
    form_.Timer1->stop();
    std::fputs(
        (QStringLiteral("veliso : ") + message + QLatin1Char('\n')).toLocal8Bit().constData(),
        stderr);
    QCoreApplication::exit(kExitCaptureFailed);
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
        form.viewActions->SetFullScreen(true);
    }
    form.show();
}

}  // namespace veliso
