// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

namespace veliso::testing {

/// The one QApplication shared by every window test of this executable, created at first use
/// and never destroyed (widgets of the tests live and die inside their fixtures).
inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "mainwindow_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

/// The child control of `parent` with the given object name; a missing one fails the test.
template <typename T>
T* FindControl(const QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

}  // namespace veliso::testing
