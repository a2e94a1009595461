// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/opengl_orv_panel.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSlider>
#include <QSurfaceFormat>
#include <QTabWidget>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <stdexcept>

#include "glview/glview_fixture.h"
#include "glview/opengl_orv_font.h"
#include "support/stderr_capture.h"

namespace veliso::test {
namespace {

// ---------------------------------------------------------------------------------------
// Properties and the requested descriptor (no window needed).

class PanelProperties : public ::testing::Test {
  protected:
    void SetUp() override { GlviewApplication(); }
};

TEST_F(PanelProperties, DefaultsOfEveryPublishedProperty) {
    TOpenGLOrvPanel panel;
    EXPECT_EQ(panel.PixelType(), TPFDPixelTypes::f_PFD_TYPE_RGBA);
    EXPECT_EQ(panel.PFDFlags(), f_PFD_DRAW_TO_WINDOW | f_PFD_SUPPORT_OPENGL | f_PFD_DOUBLEBUFFER);
    EXPECT_EQ(panel.cColorBits(), 32);
    EXPECT_EQ(panel.cDepthBits(), 32);
    EXPECT_EQ(panel.cAccBits(), 0);
    EXPECT_EQ(panel.GLSwapBuffers(), TOpenGLSwapBuffers::Auto);
    EXPECT_EQ(panel.PixelsPerInch(), 96);
    EXPECT_EQ(panel.PrintScale(), TOpenGLPrintScale::pglProportional);
    EXPECT_FALSE(panel.Font3D_Enabled());
    EXPECT_EQ(panel.Font3D_Type().Name, "Arial");
    EXPECT_EQ(panel.Font3D_Type().Height, -9);
    EXPECT_EQ(panel.Font3D_Type().Charset, 0);
    EXPECT_EQ(panel.Font3D_Type().Styles, unsigned{TFontDescription::fsBold});
    EXPECT_EQ(panel.Font3D_FirstGylph(), 32);
    EXPECT_EQ(panel.Font3D_NumGylph(), 96);
    EXPECT_EQ(panel.Font3D_MaxDeviation(), 1.0f);
    EXPECT_EQ(panel.Font3D_Extrustion(), 0.1f);
    EXPECT_EQ(panel.Font3D_Format(), TFont3DFormat::f_WGL_FONT_POLYGONS);
    EXPECT_FALSE(panel.Font2D_Enabled());
    EXPECT_EQ(panel.Font2D_Type(), panel.Font3D_Type());
    EXPECT_EQ(panel.Font2D_FirstGylph(), 32);
    EXPECT_EQ(panel.Font2D_NumGylph(), 96);
    EXPECT_FALSE(panel.Fps_Enabled());
    EXPECT_FALSE(panel.Border());
    EXPECT_FALSE(panel.ToolWindow());
    EXPECT_FALSE(panel.AllowResize());
    EXPECT_FALSE(panel.AllowMoving());
    EXPECT_TRUE(panel.ErrorText().isEmpty());
    EXPECT_EQ(panel.FramesPerSecond(), 0);
    EXPECT_FALSE(panel.contextReady());
    EXPECT_FALSE(panel.HandleAllocated());
}

TEST_F(PanelProperties, GdiAndDoubleBufferExcludeEachOther) {
    TOpenGLOrvPanel panel;  // holds f_PFD_DOUBLEBUFFER
    panel.setPFDFlags(f_PFD_DRAW_TO_WINDOW | f_PFD_SUPPORT_GDI | f_PFD_DOUBLEBUFFER);
    EXPECT_EQ(panel.PFDFlags(), f_PFD_DRAW_TO_WINDOW | f_PFD_SUPPORT_GDI);
    // Now holding GDI, asking for both again: double buffering is the newcomer and wins.
    panel.setPFDFlags(f_PFD_DRAW_TO_WINDOW | f_PFD_SUPPORT_GDI | f_PFD_DOUBLEBUFFER);
    EXPECT_EQ(panel.PFDFlags(), f_PFD_DRAW_TO_WINDOW | f_PFD_DOUBLEBUFFER);
    // Neither: the one not held now is added.
    panel.setPFDFlags(f_PFD_SUPPORT_OPENGL);
    EXPECT_EQ(panel.PFDFlags(), f_PFD_SUPPORT_OPENGL | f_PFD_SUPPORT_GDI);
    panel.setPFDFlags(f_PFD_SUPPORT_OPENGL);
    EXPECT_EQ(panel.PFDFlags(), f_PFD_SUPPORT_OPENGL | f_PFD_DOUBLEBUFFER);
    // Exactly one of them: stored as given.
    panel.setPFDFlags(f_PFD_STEREO | f_PFD_SUPPORT_GDI);
    EXPECT_EQ(panel.PFDFlags(), f_PFD_STEREO | f_PFD_SUPPORT_GDI);
}

TEST_F(PanelProperties, SceneViewRequestsTheClassicDoubleBufferedDescriptor) {
    TOpenGLOrvPanel panel;
    ApplySceneViewSettings(panel);
    const TPixelFormatDescriptor d = panel.RequestedDescriptor();
    EXPECT_EQ(d.nSize, 40);
    EXPECT_EQ(d.nVersion, 1);
    EXPECT_EQ(d.dwFlags, 4u | 32u | 1u);
    EXPECT_EQ(d.iPixelType, 0);
    EXPECT_EQ(d.cColorBits, 32);
    EXPECT_EQ(d.cAccumBits, 0);
    EXPECT_EQ(d.cDepthBits, 32);
    TPixelFormatDescriptor rest = d;
    rest.dwFlags = 0;
    rest.cColorBits = rest.cDepthBits = 0;
    const TPixelFormatDescriptor zero{40, 1};
    EXPECT_EQ(std::memcmp(&rest, &zero, sizeof rest), 0) << "every other field is 0";
    EXPECT_TRUE(panel.Font3D_Enabled());
    EXPECT_EQ(panel.Font3D_Type().Height, -13);
    EXPECT_EQ(panel.Font3D_Type().Styles, 0u);
    EXPECT_EQ(panel.Font3D_Extrustion(), 0.01f);
    EXPECT_EQ(panel.Font2D_Type().Height, -9);
    EXPECT_EQ(panel.Font2D_Type().Styles, 0u);
}

// ---------------------------------------------------------------------------------------
// Creation, errors, paint cycle: a real window under Xvfb.

using PanelCreation = PanelFixture;

TEST_F(PanelCreation, SequenceCreatesTheContextThenFontsThenCallsOnInit) {
    QStringList steps;
    bool currentInInit = false;
    bool fontsInInit = false;
    panel->setFont3D_Enabled(true);
    panel->OnPreInit = [&](TOpenGLOrvPanel* sender) {
        steps << "preinit";
        EXPECT_EQ(sender, panel);
        EXPECT_FALSE(sender->contextReady());
    };
    QObject::connect(panel, &TOpenGLOrvPanel::initialised, [&] {
        steps << "init";
        currentInInit = QOpenGLContext::currentContext() == panel->context();
        fontsInInit = panel->Font3DLists() != nullptr;
    });
    QObject::connect(panel, &TOpenGLOrvPanel::resized, [&] { steps << "resize"; });
    ShowAndExpose();
    EXPECT_EQ(steps, QStringList({"preinit", "init"}));
    EXPECT_TRUE(currentInInit);
    EXPECT_TRUE(fontsInInit);
    EXPECT_EQ(panel->Font2DLists(), nullptr);
    EXPECT_TRUE(panel->ErrorText().isEmpty());
    // What was obtained: a double-buffered RGBA window format with a deep depth buffer.
    const TPixelFormatDescriptor& got = panel->PixelFormat();
    EXPECT_EQ(got.nSize, 40);
    EXPECT_TRUE(got.dwFlags & pfd::DOUBLEBUFFER);
    EXPECT_EQ(got.iPixelType, pfd::TYPE_RGBA);
    EXPECT_GE(got.cColorBits, 24);
    EXPECT_GE(got.cDepthBits, 24);
    EXPECT_TRUE(panel->SwapAfterPaint());
    EXPECT_TRUE(panel->Palette().empty());
    // The context stays current after creation, for GL calls outside the paint cycle.
    EXPECT_EQ(QOpenGLContext::currentContext(), panel->context());
}

TEST_F(PanelCreation, ExceptionInInitialisationIsHandedOnAndTheViewStaysUsable) {
    QObject::connect(panel, &TOpenGLOrvPanel::initialised,
                     [] { throw std::runtime_error("owner failed"); });
    QStringList failures;
    QObject::connect(panel, &TOpenGLOrvPanel::handlerFailed,
                     [&](const QString& message) { failures << message; });
    int paints = 0;
    panel->OnPaint = [&](TOpenGLOrvPanel*) { ++paints; };
    ShowAndExpose();
    EXPECT_EQ(failures, QStringList({"owner failed"})) << "not dropped silently";
    EXPECT_TRUE(panel->HandleAllocated());
    EXPECT_TRUE(panel->contextReady());
    panel->Repaint();
    EXPECT_GE(paints, 1);
}

TEST_F(PanelCreation, ColourIndexRequestIsReportedTwice) {
    QStringList reports;
    QObject::connect(panel, &TOpenGLOrvPanel::errorReported,
                     [&](const QString& text) { reports << text; });
    bool initialised = false;
    QObject::connect(panel, &TOpenGLOrvPanel::initialised, [&] { initialised = true; });
    panel->setPixelType(TPFDPixelTypes::f_PFD_TYPE_COLORINDEX);
    panel->setFont3D_Enabled(true);
    panel->HandleNeeded();
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports[0].startsWith("ChoosePixelFormat:")) << reports[0].toStdString();
    EXPECT_GT(reports[0].size(), QString("ChoosePixelFormat:").size());
    EXPECT_EQ(reports[1], "Open GL Context Create Failed");
    EXPECT_EQ(panel->ErrorText(), "Open GL Context Create Failed");
    EXPECT_FALSE(panel->contextReady());
    EXPECT_EQ(panel->Font3DLists(), nullptr);
    EXPECT_FALSE(initialised);
    EXPECT_TRUE(panel->HandleAllocated());
}

TEST_F(PanelCreation, FailedContextCreationCarriesThePlatformReason) {
    QStringList reports;
    QObject::connect(panel, &TOpenGLOrvPanel::errorReported,
                     [&](const QString& text) { reports << text; });
    panel->failContextCreation = true;
    int paints = 0;
    panel->OnPaint = [&](TOpenGLOrvPanel*) { ++paints; };
    ShowHost();
    EXPECT_EQ(reports, QStringList({"wglRenderingContext:no context today.",
                                    "Open GL Context Create Failed"}));
    EXPECT_FALSE(panel->contextReady());
    // Nothing could ever be drawn: the surface is hidden so that the panel's own area shows,
    // and the ticks that follow neither paint, nor swap, nor report again.
    EXPECT_FALSE(panel->glWindow()->isVisible());
    RepaintTicks(5);
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(panel->swaps, 0);
    EXPECT_EQ(reports.size(), 2);
    host()->hide();
    host()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host()));
    EXPECT_FALSE(panel->glWindow()->isVisible()) << "an empty surface does not come back";
}

TEST_F(PanelCreation, ContextThatCannotBeBoundIsReportedOnceAndDropped) {
    QStringList reports;
    QObject::connect(panel, &TOpenGLOrvPanel::errorReported,
                     [&](const QString& text) { reports << text; });
    panel->failMakeCurrent = true;
    bool initialised = false;
    QObject::connect(panel, &TOpenGLOrvPanel::initialised, [&] { initialised = true; });
    int paints = 0;
    panel->OnPaint = [&](TOpenGLOrvPanel*) { ++paints; };
    ShowHost();
    EXPECT_EQ(reports, QStringList({"wglMakeCurrent:the surface refused the context.",
                                    "Open GL Context Create Failed"}));
    EXPECT_FALSE(panel->contextReady());
    EXPECT_FALSE(initialised);
    EXPECT_EQ(panel->bindAttempts, 1);
    // No new attempt at every tick, nor from the owner's calls outside the paint cycle.
    RepaintTicks(5, [&] { EXPECT_FALSE(panel->MakeCurrent()); });
    EXPECT_EQ(panel->bindAttempts, 1);
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(reports.size(), 2);
}

TEST_F(PanelCreation, FrameStylesSetBeforeCreationWaitForIt) {
    panel->setBorder(true);
    panel->setAllowResize(true);
    EXPECT_TRUE(panel->Border());
    EXPECT_EQ(panel->ClientWidth(), 200) << "only stored before the window exists";
    EXPECT_EQ(panel->ClientHeight(), 150);
    int clientWidthInInit = 0;
    QObject::connect(panel, &TOpenGLOrvPanel::initialised,
                     [&] { clientWidthInInit = panel->ClientWidth(); });
    ShowAndExpose();
    EXPECT_EQ(clientWidthInInit, 200 - 2 * 4 - 2 * 2) << "applied before OnInit";
    EXPECT_EQ(panel->ClientHeight(), 150 - 2 * 4 - 2 * 2);

    // Once the window exists a setter restyles at once and the owner hears of the new size.
    int resizes = 0;
    QObject::connect(panel, &TOpenGLOrvPanel::resized, [&] { ++resizes; });
    panel->setToolWindow(true);
    EXPECT_LT(panel->ClientHeight(), 150 - 2 * 4 - 2 * 2);
    EXPECT_EQ(resizes, 1);
    panel->setToolWindow(false);
    panel->setBorder(false);
    panel->setAllowResize(false);
    EXPECT_EQ(panel->ClientWidth(), 200);
    EXPECT_EQ(panel->ClientHeight(), 150);
}

TEST_F(PanelCreation, SizeChangesFireOnResize) {
    ShowAndExpose();
    QList<QSize> sizes;
    QObject::connect(panel, &TOpenGLOrvPanel::resized,
                     [&] { sizes << QSize(panel->ClientWidth(), panel->ClientHeight()); });
    panel->resize(120, 90);
    EXPECT_EQ(sizes, QList<QSize>({QSize(120, 90)}));
    EXPECT_EQ(panel->glWindow()->size(), QSize(120, 90));
}

TEST_F(PanelCreation, DestructionDeletesFontsAndReleasesTheContext) {
    panel->setFont3D_Enabled(true);
    panel->setFont2D_Enabled(true);
    ShowAndExpose();
    const GLuint base3D = panel->Font3DLists()->ListBase;
    ASSERT_TRUE(glIsList(base3D));
    ASSERT_NE(panel->Font2DLists(), nullptr);
    DestroyHost();
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
}

using PanelPaint = PanelFixture;

/// A paint handler that clears the view to a colour and reads the back buffer's centre
/// pixel (RGBA) before the swap.
TOpenGLOrvPanel::Event ClearAndReadCentre(GLfloat r, GLfloat g, GLfloat b, std::uint8_t* centre) {
    return [=](TOpenGLOrvPanel* sender) {
        glViewport(0, 0, sender->ClientWidth(), sender->ClientHeight());
        glClearColor(r, g, b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glReadBuffer(GL_BACK);
        glReadPixels(sender->ClientWidth() / 2, sender->ClientHeight() / 2, 1, 1, GL_RGBA,
                     GL_UNSIGNED_BYTE, centre);
    };
}

TEST_F(PanelPaint, RepaintPaintsOnlyWhileExposed) {
    int paints = 0;
    panel->OnPaint = [&](TOpenGLOrvPanel*) { ++paints; };
    panel->Repaint();  // no window yet
    panel->HandleNeeded();
    panel->Repaint();  // window and context, but not on screen
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(panel->swaps, 0);
    ShowAndExpose();
    paints = 0;
    panel->swaps = 0;
    panel->Repaint();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(panel->swaps, 1);
}

TEST_F(PanelPaint, SwapOnlyWithAutoAndDoubleBuffering) {
    int paints = 0;
    panel->OnPaint = [&](TOpenGLOrvPanel* sender) {
        ++paints;
        EXPECT_EQ(QOpenGLContext::currentContext(), sender->context());
    };
    ShowAndExpose();
    panel->swaps = 0;
    panel->setGLSwapBuffers(TOpenGLSwapBuffers::Manual);
    panel->Repaint();
    panel->Repaint();
    EXPECT_EQ(panel->swaps, 0);
    panel->setGLSwapBuffers(TOpenGLSwapBuffers::Auto);
    panel->Repaint();
    EXPECT_EQ(panel->swaps, 1);
    EXPECT_GE(paints, 3);
}

TEST_F(PanelPaint, GdiSupportMeansSingleBufferingAndNoSwap) {
    panel->setPFDFlags(f_PFD_DRAW_TO_WINDOW | f_PFD_SUPPORT_OPENGL | f_PFD_SUPPORT_GDI);
    int paints = 0;
    panel->OnPaint = [&](TOpenGLOrvPanel*) { ++paints; };
    ShowAndExpose();
    EXPECT_FALSE(panel->SwapAfterPaint());
    panel->Repaint();
    EXPECT_GE(paints, 1);
    EXPECT_EQ(panel->swaps, 0);
}

TEST_F(PanelPaint, WithoutOnPaintNothingIsSwappedButTheRateIsMeasured) {
    panel->setFps_Enabled(true);
    ShowAndExpose();
    panel->Repaint();
    EXPECT_EQ(panel->swaps, 0);
    EXPECT_GT(panel->FramesPerSecond(), 0);
}

TEST_F(PanelPaint, RateFollowsThePaintDuration) {
    panel->setFps_Enabled(true);
    panel->OnPaint = [](TOpenGLOrvPanel*) { QTest::qSleep(50); };
    ShowAndExpose();
    panel->Repaint();
    EXPECT_GE(panel->FramesPerSecond(), 1);
    EXPECT_LE(panel->FramesPerSecond(), 20);  // at least 50 ms a frame
}

TEST_F(PanelPaint, DrawingReachesTheBackBufferBeforeTheSwap) {
    std::uint8_t centre[4] = {0, 0, 0, 0};
    panel->OnPaint = ClearAndReadCentre(1.0f, 0.5f, 0.0f, centre);
    ShowAndExpose();
    panel->Repaint();
    EXPECT_EQ(centre[0], 255);
    EXPECT_NEAR(centre[1], 128, 1);
    EXPECT_EQ(centre[2], 0);
}

TEST_F(PanelPaint, ContextStaysCurrentWhileOtherWidgetsRepaint) {
    // Raster widgets sharing the panel's top-level window paint through its backing store;
    // none of that may take the panel's context away.
    QWidget* host = panel->parentWidget();
    auto* label = new QLabel(QStringLiteral("Température"), host);
    label->setGeometry(215, 10, 100, 20);
    auto* slider = new QSlider(Qt::Horizontal, host);
    slider->setGeometry(215, 40, 100, 20);
    auto* tabs = new QTabWidget(host);
    tabs->addTab(new QLabel(QStringLiteral("Solide")), QStringLiteral("Solide"));
    tabs->addTab(new QLabel(QStringLiteral("Gaz")), QStringLiteral("Gaz"));
    tabs->setGeometry(10, 165, 300, 70);
    std::uint8_t centre[4] = {0, 0, 0, 0};
    panel->OnPaint = ClearAndReadCentre(0.0f, 1.0f, 0.0f, centre);
    ShowAndExpose();
    ASSERT_EQ(QOpenGLContext::currentContext(), panel->context());
    for (int round = 0; round < 3; ++round) {
        label->setText(QString::number(round));
        label->repaint();
        slider->setValue(30 * round);
        slider->repaint();
        tabs->setCurrentIndex(round % 2);
        tabs->repaint();
        host->repaint();
        QTest::qWait(20);
        EXPECT_EQ(QOpenGLContext::currentContext(), panel->context()) << "round " << round;
    }
    panel->swaps = 0;
    panel->Repaint();
    EXPECT_EQ(panel->swaps, 1);
    EXPECT_EQ(centre[0], 0);
    EXPECT_EQ(centre[1], 255);
    EXPECT_EQ(centre[2], 0);
}

// ---------------------------------------------------------------------------------------
// Frames handed out for pictures of the view.

using PanelFrames = PanelFixture;

/// Clears the view to blue and its top-left quarter to red (GL's origin is the bottom left).
void PaintQuarters(TOpenGLOrvPanel* sender) {
    const int w = sender->ClientWidth();
    const int h = sender->ClientHeight();
    glViewport(0, 0, w, h);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, h - h / 2, w / 2, h / 2);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

TEST_F(PanelFrames, FrameIsTheBackBufferReadJustBeforeTheSwapTopRowFirst) {
    panel->OnPaint = PaintQuarters;
    std::vector<std::uint8_t> raw;
    int swapsAtGrab = -1;
    panel->beforeSwap = [&] {
        raw.assign(std::size_t(panel->ClientWidth()) * panel->ClientHeight() * 4, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, panel->ClientWidth(), panel->ClientHeight(), GL_RGBA, GL_UNSIGNED_BYTE,
                     raw.data());
    };
    ShowAndExpose();
    QImage frame;
    panel->RequestFrame([&](const FrameAnswer& a) {
        frame = a.frame;
        swapsAtGrab = panel->swaps;
    });
    const int swapsBefore = panel->swaps;
    panel->Repaint();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(swapsAtGrab, swapsBefore);
    const int w = panel->ClientWidth();
    const int h = panel->ClientHeight();
    ASSERT_EQ(frame.size(), QSize(w, h));
    EXPECT_EQ(frame.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(frame.pixelColor(w - 1, h - 1), QColor(0, 0, 255));
    EXPECT_EQ(frame.pixelColor(w - 1, 0), QColor(0, 0, 255));
    EXPECT_EQ(frame.pixelColor(0, h - 1), QColor(0, 0, 255));
    int differing = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = raw.data() + std::size_t(h - 1 - y) * w * 4;
        for (int x = 0; x < w; ++x) {
            const QRgb p = frame.pixel(x, y);
            differing +=
                qRed(p) != row[4 * x] || qGreen(p) != row[4 * x + 1] || qBlue(p) != row[4 * x + 2];
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(PanelFrames, RequestsWaitForAPaintShareItsFrameAndMayAskAgain) {
    int paints = 0;
    std::vector<QImage> frames;
    panel->OnPaint = [&](TOpenGLOrvPanel* sender) {
        ++paints;
        const GLfloat grey = paints / 10.0f;
        glViewport(0, 0, sender->ClientWidth(), sender->ClientHeight());
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        if (paints == 3) {  // asked from inside the paint: served by this paint
            sender->RequestFrame([&](const FrameAnswer& a) { frames.push_back(a.frame); });
        }
    };
    ShowAndExpose();
    paints = 0;
    QImage first;
    QImage second;
    panel->RequestFrame([&](const FrameAnswer& a) { first = a.frame; });
    panel->RequestFrame([&](const FrameAnswer& a) {
        second = a.frame;
        // Asking again from a callback waits for the next paint.
        panel->RequestFrame([&](const FrameAnswer& b) { frames.push_back(b.frame); });
    });
    EXPECT_TRUE(first.isNull());
    panel->Repaint();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.cacheKey(), second.cacheKey());  // one read-back for both
    EXPECT_NEAR(qRed(first.pixel(5, 5)), 26, 1);     // paint 1: grey 0.1
    EXPECT_TRUE(frames.empty());
    panel->Repaint();
    panel->Repaint();
    panel->Repaint();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_NEAR(qRed(frames[0].pixel(5, 5)), 51, 1);  // paint 2
    EXPECT_NEAR(qRed(frames[1].pixel(5, 5)), 77, 1);  // paint 3
}

TEST_F(PanelFrames, FramesFillTheWholeViewFromTheFirstOneAndAfterAResize) {
    panel->OnPaint = [](TOpenGLOrvPanel* sender) {
        glViewport(0, 0, sender->ClientWidth(), sender->ClientHeight());
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    };
    auto corners = [](const QImage& f) {
        const int w = f.width() - 1;
        const int h = f.height() - 1;
        std::vector<std::string> names;
        for (QPoint p : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)}) {
            names.push_back(f.pixelColor(p).name().toStdString());
        }
        return names;
    };
    const std::vector<std::string> green(4, "#00ff00");
    QImage frame;
    // The very first paint, from the first exposure, before any swap.
    panel->RequestFrame([&](const FrameAnswer& a) { frame = a.frame; });
    ShowAndExpose();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.size(), QSize(200, 150));
    EXPECT_EQ(corners(frame), green);
    panel->resize(260, 180);
    QTest::qWait(0);
    frame = QImage();
    panel->RequestFrame([&](const FrameAnswer& a) { frame = a.frame; });
    panel->Repaint();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.size(), QSize(260, 180));
    EXPECT_EQ(corners(frame), green);
}

/// Every answer a panel gives to frame requests, in order.
struct Answers {
    std::vector<FrameAnswer> got;
    FrameRequests::Callback Take() {
        return [this](const FrameAnswer& a) { got.push_back(a); };
    }
    bool Wait(std::size_t count) {
        return QTest::qWaitFor([&] { return got.size() >= count; }, 5000);
    }
};

class PanelWithoutFrames;

/// A view that gets no frame for its requests: how it is brought to that state, and the
/// outcome every request then gets.
struct NoFrameCase {
    const char* name;
    std::function<void(PanelWithoutFrames&)> arrange;
    FrameOutcome outcome;
};

void PrintTo(const NoFrameCase& c, std::ostream* out) {
    *out << c.name;
}

class PanelWithoutFrames : public PanelFixture, public ::testing::WithParamInterface<NoFrameCase> {
  public:
    void Expose() { ShowAndExpose(); }
    ProbePanel& view() { return *panel; }
};

TEST_P(PanelWithoutFrames, RequestsAreAnsweredOnceWithTheReason) {
    int paints = 0;
    panel->OnPaint = [&paints](TOpenGLOrvPanel*) { ++paints; };
    GetParam().arrange(*this);
    paints = 0;  // the arrangement's own exposures
    Answers answers;
    panel->RequestFrame(answers.Take(), 100);
    panel->RequestFrame(answers.Take(), 300);
    RepaintTicks(3);
    ASSERT_TRUE(answers.Wait(2));
    EXPECT_FALSE(panel->FrameWanted()) << "nothing left to answer a second time";
    ASSERT_EQ(answers.got.size(), 2u);
    for (const FrameAnswer& a : answers.got) {
        EXPECT_EQ(a.outcome, GetParam().outcome);
        EXPECT_TRUE(a.frame.isNull());
    }
    if (GetParam().outcome == FrameOutcome::TimedOut) {
        EXPECT_EQ(paints, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PanelWithoutFrames,
    ::testing::Values(NoFrameCase{"NeverOnScreen",
                                  [](PanelWithoutFrames& t) { t.view().HandleNeeded(); },
                                  FrameOutcome::NotExposed},
                      NoFrameCase{"NoHeight",
                                  [](PanelWithoutFrames& t) {
                                      t.Expose();
                                      t.view().resize(200, 0);
                                  },
                                  FrameOutcome::NotExposed},
                      // On screen, but no paint can reach the frame: the surface refuses the
                      // context, so no exposure the window system sends meanwhile draws one.
                      NoFrameCase{"OnScreenNothingDrawn",
                                  [](PanelWithoutFrames& t) {
                                      t.Expose();
                                      t.view().failMakeCurrent = true;
                                      QOpenGLContext::currentContext()->doneCurrent();
                                  },
                                  FrameOutcome::TimedOut}),
    [](const ::testing::TestParamInfo<NoFrameCase>& info) { return info.param.name; });

TEST_F(PanelFrames, WithoutAContextNothingPaintsAndRequestsLearnWhy) {
    panel->failContextCreation = true;
    int paints = 0;
    panel->OnPaint = [&](TOpenGLOrvPanel*) { ++paints; };
    ShowHost();
    Answers answers;
    panel->RequestFrame(answers.Take());
    EXPECT_TRUE(answers.got.empty()) << "never before the request returns";
    ASSERT_TRUE(answers.Wait(1));
    EXPECT_EQ(answers.got[0].outcome, FrameOutcome::NoContext);
    EXPECT_EQ(answers.got[0].reason, "wglRenderingContext:no context today.") << "the cause";
    // Even with its surface brought on screen by force, the view never calls the owner's
    // drawing without a context.
    auto* container = panel->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(container, nullptr);
    container->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel->glWindow()));
    RepaintTicks(3);
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(panel->swaps, 0);
}

TEST_F(PanelFrames, FailedDrawingIsNeitherShownNorHandedOut) {
    bool fail = false;
    panel->OnPaint = [&](TOpenGLOrvPanel* sender) {
        PaintQuarters(sender);
        if (fail) {
            throw std::runtime_error("half drawn");
        }
    };
    ShowAndExpose();
    QStringList events;
    QObject::connect(panel, &TOpenGLOrvPanel::handlerFailed,
                     [&](const QString& message) { events << "failed: " + message; });
    Answers answers;
    panel->RequestFrame([&](const FrameAnswer& a) {
        events << "answered";
        answers.got.push_back(a);
    });
    fail = true;
    panel->swaps = 0;
    panel->Repaint();
    EXPECT_EQ(panel->swaps, 0) << "the half-drawn frame is not shown";
    // The request learns first: showing the failure may block in a modal box.
    EXPECT_EQ(events, QStringList({"answered", "failed: half drawn"}));
    ASSERT_EQ(answers.got.size(), 1u);
    EXPECT_EQ(answers.got[0].outcome, FrameOutcome::PaintFailed);
    EXPECT_EQ(answers.got[0].reason, "half drawn");
    EXPECT_TRUE(answers.got[0].frame.isNull());
    // The next paint that succeeds goes on as before.
    fail = false;
    panel->RequestFrame(answers.Take());
    panel->Repaint();
    EXPECT_EQ(panel->swaps, 1);
    ASSERT_EQ(answers.got.size(), 2u);
    EXPECT_EQ(answers.got[1].outcome, FrameOutcome::Painted);
    EXPECT_EQ(answers.got[1].frame.pixelColor(0, 0), QColor(255, 0, 0));
}

// ---------------------------------------------------------------------------------------
// The native surface destroyed and made again: the context and its lists outlive it.

class PanelSurface : public PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) {
            return;
        }
        panel->setFont3D_Enabled(true);
        QObject::connect(panel, &TOpenGLOrvPanel::errorReported,
                         [this](const QString& text) { reports << text; });
        panel->OnPaint = [this](TOpenGLOrvPanel* sender) {
            ++paints;
            ClearAndReadCentre(0.0f, 0.0f, 1.0f, centre)(sender);
        };
        ShowAndExpose();
        context = panel->context();
        lists = panel->Font3DLists()->ListBase;
    }
    /// Paints once the surface is back on screen; true when the paint reached the screen's
    /// back buffer with the same context and its lists intact.
    void ExpectDrawingGoesOn() {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel->glWindow()));
        centre[2] = 0;
        panel->swaps = 0;
        panel->Repaint();
        EXPECT_EQ(panel->swaps, 1);
        EXPECT_EQ(centre[2], 255) << "the paint reached the back buffer";
        EXPECT_EQ(panel->context(), context);
        EXPECT_EQ(QOpenGLContext::currentContext(), context);
        EXPECT_EQ(QOpenGLContext::currentContext()->surface(), panel->glWindow());
        EXPECT_TRUE(glIsList(lists)) << "the font lists belong to the context, not the surface";
    }

    /// The context was bound once since `attempts` were counted `clock` ago, and tried again
    /// at most once a second since, however long the ticks took on a loaded machine.
    void ExpectTriedOncePerSecond(int attempts, const QElapsedTimer& clock) {
        const int made = panel->bindAttempts - attempts;
        EXPECT_GE(made, 1);
        EXPECT_LE(made, 1 + clock.elapsed() / 1000) << "not at every tick";
    }

    QStringList reports;
    int paints = 0;
    std::uint8_t centre[4] = {0, 0, 0, 0};
    QOpenGLContext* context = nullptr;
    GLuint lists = 0;
};

TEST_F(PanelSurface, RecreatedSurfaceTakesTheSameContext) {
    QWindow* surface = panel->glWindow();
    surface->destroy();
    // While there is no surface the context lets go; the owner's GL calls wait for it.
    EXPECT_FALSE(panel->MakeCurrent());
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
    panel->Repaint();
    surface->show();
    ExpectDrawingGoesOn();
    EXPECT_TRUE(reports.isEmpty()) << reports.join(", ").toStdString();
}

TEST_F(PanelSurface, ReparentedIntoAnotherWindowTheViewGoesOnDrawing) {
    QWidget other;
    other.resize(300, 200);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    panel->setParent(&other);
    panel->show();
    ExpectDrawingGoesOn();
    // The window it came from goes away, the view stays with its new one.
    DestroyHost();
    panel = static_cast<ProbePanel*>(other.findChild<TOpenGLOrvPanel*>());
    ASSERT_NE(panel, nullptr);
    ExpectDrawingGoesOn();
    EXPECT_TRUE(reports.isEmpty()) << reports.join(", ").toStdString();
    delete panel;
}

TEST_F(PanelSurface, NewSurfaceRefusingTheContextIsReportedOnceAndRetriedWithTheNextOne) {
    QWindow* surface = panel->glWindow();
    panel->failMakeCurrent = true;
    const int attempts = panel->bindAttempts;
    QElapsedTimer clock;
    clock.start();
    paints = 0;
    surface->destroy();
    surface->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(surface));
    RepaintTicks(20);
    EXPECT_EQ(reports, QStringList({"wglMakeCurrent:the surface refused the context."}));
    ExpectTriedOncePerSecond(attempts, clock);
    EXPECT_EQ(paints, 0) << "no drawing without the context bound";
    EXPECT_TRUE(panel->contextReady()) << "the context stays for the next surface";

    panel->failMakeCurrent = false;
    surface->destroy();
    surface->show();
    ExpectDrawingGoesOn();
    EXPECT_EQ(reports.size(), 1);
}

TEST_F(PanelSurface, BindingRefusedWhileOffScreenIsTriedAgainOnceExposed) {
    // The owner binds outside the paint cycle whenever it likes (a tab change, a resize),
    // also while the window is hidden.
    host()->hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel->glWindow()->isExposed(); }));
    panel->failMakeCurrent = true;
    EXPECT_FALSE(panel->MakeCurrent());
    EXPECT_EQ(reports.size(), 1);
    panel->failMakeCurrent = false;
    host()->show();
    ExpectDrawingGoesOn();
}

TEST_F(PanelSurface, BindRefusedOnTheSameSurfaceIsTriedAgainAtMostOnceASecond) {
    // Something took the thread's context (as a tab change's lighting call outside the paint
    // cycle may find it), and the surface refuses it for a while: the view draws nothing
    // meanwhile, says so once, and draws again without any change of its surface.
    panel->failMakeCurrent = true;
    QOpenGLContext::currentContext()->doneCurrent();
    const int attempts = panel->bindAttempts;
    QElapsedTimer clock;
    clock.start();
    paints = 0;
    RepaintTicks(20, [&] { EXPECT_FALSE(panel->MakeCurrent()); });
    ExpectTriedOncePerSecond(attempts, clock);
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(reports, QStringList({"wglMakeCurrent:the surface refused the context."}));
    panel->failMakeCurrent = false;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            panel->Repaint();
            return paints > 0;
        },
        10000));
    ExpectDrawingGoesOn();
    EXPECT_EQ(reports.size(), 1);
}

// ---------------------------------------------------------------------------------------
// Mouse and cursor.

using PanelInput = PanelFixture;

TEST_F(PanelInput, MouseOnTheSurfaceReachesTheOwnerInClientCoordinates) {
    QStringList seen;
    QObject::connect(panel, &TOpenGLOrvPanel::mousePressed,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         seen << QString("down %1 %2 %3 %4").arg(int(b)).arg(int(m)).arg(x).arg(y);
                     });
    QObject::connect(panel, &TOpenGLOrvPanel::mouseMoved,
                     [&](Qt::KeyboardModifiers m, int x, int y) {
                         seen << QString("move %1 %2 %3").arg(int(m)).arg(x).arg(y);
                     });
    QObject::connect(panel, &TOpenGLOrvPanel::mouseReleased,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         seen << QString("up %1 %2 %3 %4").arg(int(b)).arg(int(m)).arg(x).arg(y);
                     });
    ShowAndExpose();
    QWindow* surface = panel->glWindow();
    QTest::mousePress(surface, Qt::LeftButton, Qt::ControlModifier, QPoint(30, 40));
    QTest::mouseMove(surface, QPoint(35, 60));
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(35, 60));
    // QTest moves the pointer to the press position first: moves may precede the press.
    const QString ctrl = QString::number(int(Qt::ControlModifier));
    const auto down = std::find_if(seen.begin(), seen.end(),
                                   [](const QString& s) { return s.startsWith("down"); });
    ASSERT_NE(down, seen.end());
    EXPECT_EQ(down->toStdString(), QString("down 1 %1 30 40").arg(ctrl).toStdString());
    EXPECT_TRUE(seen.contains("move 0 35 60")) << seen.join(", ").toStdString();
    EXPECT_EQ(seen.back().toStdString(), "up 1 0 35 60");
}

TEST_F(PanelInput, PanelCursorShowsOverTheNativeSurface) {
    ShowAndExpose();
    panel->setCursor(Qt::SizeAllCursor);
    EXPECT_EQ(panel->glWindow()->cursor().shape(), Qt::SizeAllCursor);
    panel->unsetCursor();
    EXPECT_EQ(panel->glWindow()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PanelInput, CursorSetBeforeCreationIsCarriedOver) {
    panel->setCursor(Qt::SizeAllCursor);
    ShowAndExpose();
    EXPECT_EQ(panel->glWindow()->cursor().shape(), Qt::SizeAllCursor);
}

}  // namespace
}  // namespace veliso::test

namespace veliso::test {
namespace {

using PanelFrame = PanelFixture;

TEST_F(PanelFrame, CaptionDragMovesThePanelOnlyWhenAllowed) {
    panel->setToolWindow(true);
    ShowAndExpose();
    const QPoint start = panel->pos();
    const QPoint grip(40, 5);  // inside the caption strip
    QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(panel, grip + QPoint(20, 10));
    QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, grip + QPoint(20, 10));
    EXPECT_EQ(panel->pos(), start) << "moving is off by default";

    panel->setAllowMoving(true);
    QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(panel, grip + QPoint(20, 10));
    QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, grip + QPoint(20, 10));
    EXPECT_EQ(panel->pos(), start + QPoint(20, 10));
}

TEST_F(PanelFrame, SizingFrameResizesThePanel) {
    panel->setAllowResize(true);
    ShowAndExpose();
    int resizes = 0;
    QObject::connect(panel, &TOpenGLOrvPanel::resized, [&] { ++resizes; });
    const QPoint corner(panel->width() - 2, panel->height() - 2);
    QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, corner);
    QTest::mouseMove(panel, corner + QPoint(30, 20));
    QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, corner + QPoint(30, 20));
    EXPECT_EQ(panel->size(), QSize(230, 170));
    EXPECT_EQ(panel->ClientWidth(), 230 - 2 * 4);
    EXPECT_GE(resizes, 1);
}

TEST_F(PanelFrame, FrameDrawsOnlyWhatFitsAtTinySizes) {
    ShowAndExpose();
    testing::StderrCapture capture;
    ASSERT_TRUE(capture.capturing());
    // Every combination of frame parts, at every size up to a little more than they take.
    for (int parts = 1; parts < 8; ++parts) {
        panel->setAllowResize((parts & 1) != 0);
        panel->setToolWindow((parts & 2) != 0);
        panel->setBorder((parts & 4) != 0);
        for (int w = 0; w <= 14; ++w) {
            for (int h = 0; h <= 30; ++h) {
                panel->resize(w, h);
                panel->grab();
            }
        }
    }
    EXPECT_EQ(capture.FinishQuiet(), "");
    // Room again: the whole frame is back.
    panel->resize(200, 150);
    const QImage shot = panel->grab().toImage();
    EXPECT_EQ(shot.pixelColor(100, 6), panel->palette().highlight().color());  // the caption
}

}  // namespace
}  // namespace veliso::test
