// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <utility>

#include "app/about_box.h"
#include "app/application.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/measurements_window.h"
#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

/// Every window at the interface size and on the screen its ctest test gives it (windows_fit_*:
/// 150 % on 1280 × 1024, 200 % on 1920 × 1080, each with a window manager): shown, it lies
/// wholly on the screen's free area, frame included, at no less than the size its controls
/// need.
TEST(WindowsFit, EveryWindowOpensWhollyOnTheScreenAtItsFullSize) {
    if (!qEnvironmentVariableIsSet("VELISO_PRIVATE_DISPLAY")) {
        GTEST_SKIP() << "needs a display of its own at a given scale (ctest windows_fit_*)";
    }
    // No window's kept place or size from another run: settings of their own.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    testing::TestApplication();
    CreateWindows();
    // The splash is shown by itself below: the main window's first show must not wait for it.
    FormMM->SetAuxiliaryWindows(nullptr, Forminst, AboutBox);
    const std::pair<QWidget*, QSize> windows[] = {
        {FormMM, QSize(646, 525)},   {Formsplash, QSize(384, 256)},
        {AboutBox, QSize(295, 196)}, {Forminst, QSize(464, 296)},
        {nullptr, QSize()},  // the measurement window
    };
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (auto [window, design] : windows) {
        if (window == nullptr) {
            FormMM->bench().Show();
            window = FormMM->bench().window();
        }
        window->show();
        const std::string name = window->objectName().toStdString();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << name;
        // The window manager's frame arrives after the window is mapped, and a window placed
        // again for it moves after that.
        QTest::qWaitFor([window] { return window->frameGeometry() != window->geometry(); }, 2000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return area.contains(window->frameGeometry()); }, 5000))
            << name;
        EXPECT_EQ(window->size().expandedTo(window->minimumSizeHint()), window->size()) << name;
        if (design.isValid()) {  // within the pixel a fractional scale may round away
            EXPECT_LE(std::abs(window->width() - design.width()), 1) << name;
            EXPECT_LE(std::abs(window->height() - design.height()), 1) << name;
        }
        if (window != FormMM) {
            window->hide();
        }
    }
    DestroyWindows();
}

}  // namespace
}  // namespace veliso
