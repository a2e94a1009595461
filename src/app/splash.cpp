#include "app/splash.h"

#include <QBitmap>
#include <QPalette>
#include <QThread>

#include "app/dialog_parts.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/pictures.h"

TFormsplash* Formsplash = nullptr;

TFormsplash::TFormsplash(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("Formsplash");
    setFixedSize(384, 256);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 89, 132));
    setPalette(pal);
    setWindowOpacity(0.0);  // ignored by window systems without a compositor

    const QPixmap picture = veliso::pictures::SplashPicture();
    Image1 = new veliso::ClickableLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, 384, 256);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(picture);
    connect(Image1, &veliso::ClickableLabel::clicked, this,
            veliso::Guard(this, &TFormsplash::Image1Click));

    // The picture covers the whole window, so its key-coloured pixels give the shape.
    setMask(picture.createMaskFromColor(ColourKey(), Qt::MaskInColor));

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
    // Fade in once the window is on the screen and the modal loop runs.
    QMetaObject::invokeMethod(this, &TFormsplash::FormActivate, Qt::QueuedConnection);
}

void TFormsplash::FormActivate() {
    if (!isVisible()) {
        return;
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
