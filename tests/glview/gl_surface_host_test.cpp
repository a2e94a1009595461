// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/gl_surface_host.h"

#include <QSurfaceFormat>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "glview/glview_fixture.h"

namespace veliso::test {
namespace {

/// Counts the hide events of the object it filters.
struct HideCounter : QObject {
    int hides = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        hides += event->type() == QEvent::Hide ? 1 : 0;
        return false;
    }
};

TEST(GlSurfaceHost, ParkedSurfaceReachesTheScreenWithItsWindowWhichX11ShowsOnce) {
    GlviewApplication();
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    }
    QWidget top;
    top.resize(300, 200);
    auto* panel = new QWidget(&top);
    panel->setGeometry(10, 10, 200, 150);
    auto* host = new GlSurfaceHost(panel, QRect(0, 0, 200, 150));
    using State = GlSurfaceHost::State;
    EXPECT_EQ(host->state(), State::None);
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    // Asked for before the panel is on screen: parked under the container's placeholder.
    ASSERT_TRUE(host->MakeSurface(format, QSize(200, 150)));
    EXPECT_EQ(host->state(), State::Parked);
    EXPECT_FALSE(host->OnScreen());
    // X11 maps the surface with its window: once the top-level is on screen the surface is not
    // shown a second time, which would take it off the screen for a moment. Showing it again
    // hides its container first, which is seen at once.
    HideCounter containerHides;
    host->container()->installEventFilter(&containerHides);
    top.show();
    host->PanelShown();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host->window()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    EXPECT_TRUE(host->OnScreen());
    // The host answers the top-level's exposure from the event loop: that answer runs now.
    QCoreApplication::sendPostedEvents(host);
    EXPECT_EQ(host->state(), State::Exposed);
    EXPECT_EQ(containerHides.hides, 0);
    int changes = 0;
    QObject::connect(host, &GlSurfaceHost::changed, [&] { ++changes; });
    // Taken off the screen with its window, and back.
    top.hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->state() == State::Hidden; }));
    EXPECT_GE(changes, 1) << "a bound context must bind again";
    top.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->state() == State::Exposed; }));
}

}  // namespace
}  // namespace veliso::test
