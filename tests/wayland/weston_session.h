// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// A weston compositor of the test's own, and the driver programs the tests run on it: each test
// program runs itself again as a driver (a mode chosen by its arguments), which works the
// program's windows and writes what it saw into a report.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <string>

namespace veliso::testing {

/// A picture of what the display shows, saved as FOLDER/screen_NAME.png: the X11 root window,
/// or weston's screenshooter (the whole output). Run by a driver.
void TakeScreenshot(const QString& folder, const QString& name);
/// weston's screenshooter, found at the first call.
const QString& Screenshooter();

/// A folder only its owner may enter, as a Wayland runtime folder must be.
bool MakePrivate(const QString& path);

/// What one run of a driver left: its exit, its standard error and its report (KEY=VALUE
/// lines in FOLDER/report.txt).
struct DriverRun {
    int exitCode = -1;
    QString standardError;
    std::map<QString, QString> report;
    QString folder;

    std::string operator[](const char* key) const;
    int Number(const QString& key) const;
    QImage Image(const QString& name) const { return QImage(folder + "/" + name + ".png"); }
};

/// Runs this test program again as a driver in `folder`, through `wrapper` (a program and its
/// arguments) if given; `mode` holds the driver's arguments.
DriverRun RunDriver(const QString& folder, const QProcessEnvironment& environment,
                    QStringList wrapper, const QStringList& mode);

/// weston on a socket of its own in a private runtime folder, drawing with its CPU renderer so
/// that its screenshooter has pixels to give, with no configuration file and no screen
/// blanking. With its desktop shell it runs headless; another shell (and the desktop shell
/// when `NestedInX`) runs as a window of an Xvfb of its own, whose display `xDisplay_` names,
/// so that its key bindings can be pressed there.
class WestonSession : public ::testing::Test {
  public:
    /// The size of weston's output.
    static constexpr QSize kOutput{1024, 768};

  protected:
    void SetUp() override;
    void TearDown() override;

    /// weston's shell module.
    virtual QString Shell() const { return QStringLiteral("desktop-shell.so"); }
    virtual bool NestedInX() const { return Shell() != QLatin1String("desktop-shell.so"); }

    QString WestonLog() const;
    /// The environment of a program on this compositor, its settings in `configHome`.
    QProcessEnvironment WaylandEnvironment(const QString& configHome) const;

    QTemporaryDir work_;
    QString runtime_;
    QString socket_;
    QString xDisplay_;
    QProcess weston_;
    QProcess xserver_;

  private:
    void StartCompositor();
};

}  // namespace veliso::testing
