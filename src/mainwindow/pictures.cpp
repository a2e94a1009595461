// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/pictures.h"

#include <QString>

// Resources compiled into a static library are registered by name, at global scope.
static void RegisterPictureResources() {
    Q_INIT_RESOURCE(resources);
}

namespace veliso::pictures {

namespace {

// The pictures are drawn by tools/pictures (scripts/make-pictures) and embedded through
// resources.qrc; they are registered on first use so that every program and test that
// links this library finds them.
QPixmap Load(const char* name) {
    static const bool registered = [] {
        RegisterPictureResources();
        return true;
    }();
    (void)registered;
    return QPixmap(QStringLiteral(":/veliso/") + QLatin1String(name));
}

}  // namespace

QPixmap InfoIcon() {
    return Load("info.png");
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const char* name : {"icon-16.png", "icon-24.png", "icon-32.png", "icon-48.png",
                             "icon-64.png", "icon-128.png", "icon-256.png"}) {
        icon.addPixmap(Load(name));
    }
    return icon;
}

// The instructions window explains the mouse: its icon is the information sign.
QIcon InstructionsIcon() {
    return QIcon(InfoIcon());
}

QIcon AboutIcon() {
    return ApplicationIcon();
}

QPixmap SplashPicture() {
    return Load("splash.jpg");
}

QPixmap InstructionsPicture() {
    return Load("instructions.jpg");
}

}  // namespace veliso::pictures
