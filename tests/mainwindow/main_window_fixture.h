// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <gtest/gtest.h>

#include <QTest>

#include "glview/opengl_orv_panel.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/qt_app.h"

namespace veliso::testing {

/// A main window of its own for each test, deleted after it. Closing it counts in
/// `terminations` instead of ending the test program. The auxiliary windows are the test's
/// to set.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApplication();
        form = new TFormMM();
        form->terminate = [this] { ++terminations; };
    }
    void TearDown() override {
        delete form;
        form = nullptr;
    }
    /// Shown and on the screen.
    void Show() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    bool WaitForContext() {
        return QTest::qWaitFor([this] { return form->OpenGLOrvPanel1->contextReady(); });
    }

    TFormMM* form = nullptr;
    int terminations = 0;
};

}  // namespace veliso::testing
