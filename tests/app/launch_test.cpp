// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/launch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>
#include <functional>
#include <stdexcept>

#include "core/gas/gas_step.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/qt_app.h"
#include "support/stderr_capture.h"

namespace veliso {
namespace {

/// A main window with a capture of `frames` frames into a temporary folder, run in the
/// application's own message loop, which the capture ends.
class CaptureRun : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::TestApplication();
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        }
        ASSERT_TRUE(folder.isValid());
        form = std::make_unique<TFormMM>();
    }
    /// Runs the loop until the capture ends it; the exit code.
    int Run(int frames) {
        new ViewCapture(*form, path(), frames);
        arrange();
        return QApplication::exec();
    }
    QString path() const { return folder.filePath("vue.png"); }

    QTemporaryDir folder;
    std::unique_ptr<TFormMM> form;
    std::function<void()> arrange = [this] { form->show(); };
};

TEST_F(CaptureRun, GasFrameFollowsExactlyTheTicksAskedWhateverElsePaintsTheView) {
    form->PageControl1->setCurrentIndex(2);
    GasState expected = form->gas;
    for (int tick = 0; tick < 5; ++tick) {
        StepGas(expected, true);
    }
    // Paints besides the animation's (the window uncovered, a desktop's damage): several
    // between any two ticks.
    QTimer extraPaints;
    extraPaints.setInterval(3);
    QObject::connect(&extraPaints, &QTimer::timeout, [this] { form->OpenGLOrvPanel1->Repaint(); });
    arrange = [&] {
        form->show();
        extraPaints.start();
    };
    ASSERT_EQ(Run(6), 0);
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(std::memcmp(form->gas.x, expected.x, sizeof expected.x), 0);
    EXPECT_EQ(std::memcmp(form->gas.vz, expected.vz, sizeof expected.vz), 0);
}

TEST_F(CaptureRun, NoFrameEndsTheRunWithOneFrenchLineInsteadOfWaiting) {
    struct Case {
        const char* name;
        std::function<void(TFormMM&)> arrange;
        const char* line;
    };
    const Case cases[] = {
        {"never on screen", [](TFormMM&) {},
         "veliso : la vue n'est pas apparue à l'écran, aucune image n'a été dessinée.\n"},
        // The failure's box, if it comes up at all, cannot hold the run: the loop is ending.
        {"drawing fails",
         [](TFormMM& f) {
             f.OpenGLOrvPanel1->OnPaint = [](TOpenGLOrvPanel*) {
                 throw std::runtime_error("scène");
             };
             f.show();
         },
         "veliso : le dessin de la vue a échoué : scène\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form = std::make_unique<TFormMM>();
        arrange = [&] { c.arrange(*form); };
        testing::StderrCapture standardError;
        // The loop ends by itself, at the first frame's answer: its line says which.
        EXPECT_EQ(Run(3), kExitCaptureFailed);
        EXPECT_EQ(standardError.Finish(), c.line);
        EXPECT_EQ(form->findChild<ViewCapture*>()->ticks(), 0);
        EXPECT_FALSE(QFile::exists(path()));
    }
}

}  // namespace
}  // namespace veliso
