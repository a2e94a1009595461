// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/display_settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace veliso {

namespace {

const char* const kSizeKey = "interface/taille";
const char* const kContrastKey = "interface/contraste-eleve";

QSettings UserSettings() {
    // Named here, not taken from the application object, which does not exist yet when the
    // scale is read; the same file as the view's other choices.
    return QSettings(QStringLiteral("Veliso"), QStringLiteral("Veliso"));
}

/// Places its window once more when the frame of a new show is first known.
class FrameWatch : public QObject {
  public:
    explicit FrameWatch(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_) {
            if (event->type() == QEvent::Show) {
                waiting_ = true;
            } else if (event->type() == QEvent::Hide) {
                waiting_ = false;
            } else if (waiting_ && window_.frameGeometry() != window_.geometry()) {
                waiting_ = false;
                KeepOnScreen(window_);
            }
        }
        return false;
    }

  private:
    QWidget& window_;
    bool waiting_ = false;
};

}  // namespace

bool IsInterfacePercent(int percent) {
    return std::find(std::begin(kInterfacePercents), std::end(kInterfacePercents), percent) !=
           std::end(kInterfacePercents);
}

DisplaySettings LoadDisplaySettings(QSettings& settings) {
    DisplaySettings display;
    bool ok = false;
    const int percent = settings.value(kSizeKey, 100).toInt(&ok);
    display.interfacePercent = ok && IsInterfacePercent(percent) ? percent : 100;
    display.highContrast = settings.value(kContrastKey, false).toBool();
    return display;
}

void SaveDisplaySettings(QSettings& settings, const DisplaySettings& display) {
    settings.setValue(kSizeKey, display.interfacePercent);
    settings.setValue(kContrastKey, display.highContrast);
    settings.sync();
}

DisplaySettings LoadUserDisplaySettings() {
    QSettings settings = UserSettings();
    return LoadDisplaySettings(settings);
}

void SaveUserDisplaySettings(const DisplaySettings& display) {
    QSettings settings = UserSettings();
    SaveDisplaySettings(settings, display);
}

void ApplyInterfaceScale(int percent) {
    if (percent == 100 || !IsInterfacePercent(percent)) {
        return;
    }
    bool ok = false;
    double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok || factor <= 0) {
        factor = 1.0;
    }
    factor *= percent / 100.0;
    qputenv("QT_SCALE_FACTOR", QByteArray::number(factor));
}

QString InterfaceSizeNotice(int percent) {
    return QString::fromUtf8(
               "La taille de l'interface passera à %1 % au prochain démarrage de Veliso.")
        .arg(percent);
}

void KeepOnScreen(QWidget& window) {
    QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // The window system's frame is not known before the first show: its size so far, or
    // none.
    const QRect frame = window.frameGeometry();
    const QSize decoration = frame.size() - window.geometry().size();
    const QSize room = area.size() - decoration;
    if (window.width() > room.width() || window.height() > room.height()) {
        window.resize(std::min(window.width(), std::max(window.minimumWidth(), room.width())),
                      std::min(window.height(), std::max(window.minimumHeight(), room.height())));
    }
    QRect placed(window.pos(), window.frameGeometry().size());
    placed.moveLeft(std::clamp(placed.left(), area.left(),
                               std::max(area.left(), area.right() + 1 - placed.width())));
    placed.moveTop(std::clamp(placed.top(), area.top(),
                              std::max(area.top(), area.bottom() + 1 - placed.height())));
    if (placed.topLeft() != window.pos()) {
        window.move(placed.topLeft());
    }
}

void KeepOnScreenWithItsFrame(QWidget& window) {
    KeepOnScreen(window);
    new FrameWatch(window);
}

}  // namespace veliso
