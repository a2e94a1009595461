// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTest>

#include "mainwindow/clickable_label.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/main_window_fixture.h"
#include "mainwindow/measurements_window.h"
#include "mainwindow/view_actions.h"

namespace veliso::testing {
namespace {

class KeyboardTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->openUrl = [this](const QUrl& url) { opened.append(url.fileName()); };
        Show();
        // Without a window manager no window becomes active by itself.
        QApplication::setActiveWindow(form);
    }
    /// The key goes where the keyboard focus is, as a user's would.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : form, key, modifiers);
    }
    void FocusOn(QWidget* w) {
        w->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([w] { return w->hasFocus(); }));
    }

    QStringList opened;
};

TEST_F(KeyboardTest, TheFocusedViewMovesTheCameraOfItsTabAndHomeGivesItBack) {
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    // The view comes after the tab's last control and before INSTRUCTIONS.
    FocusOn(form->Image_info);
    Press(Qt::Key_Tab);
    ASSERT_TRUE(view->hasFocus());
    const ViewPoint start = form->solid.view;
    Press(Qt::Key_Right);
    Press(Qt::Key_PageUp);
    Press(Qt::Key_Plus, Qt::ShiftModifier);
    EXPECT_EQ(form->solid.view.angle, start.angle + kNavKeyTurnPixels * 0.1);
    EXPECT_GT(form->solid.view.height, start.height);
    EXPECT_LT(form->solid.view.distance, start.distance);
    // Another tab keeps its own camera, and the view keeps the focus across the change.
    Press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(form->activeTab(), 1);
    EXPECT_TRUE(view->hasFocus());
    const ViewPoint liquid = form->liquid.view;
    Press(Qt::Key_Left, Qt::KeypadModifier);
    EXPECT_EQ(form->liquid.view.angle, liquid.angle - kNavKeyTurnPixels * 0.1);
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(form->activeTab(), 0);
    Press(Qt::Key_Home);
    EXPECT_EQ(form->solid.view.angle, start.angle);
    EXPECT_EQ(form->solid.view.height, start.height);
    EXPECT_EQ(form->solid.view.distance, start.distance);
    EXPECT_NE(form->liquid.view.angle, liquid.angle);
    // Ctrl with an arrow is not a camera key.
    Press(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(form->solid.view.angle, start.angle);
    Press(Qt::Key_Tab);
    EXPECT_TRUE(form->Button1->hasFocus());

    // Shift+F10 opens the view's menu.
    FocusOn(view);
    Press(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(form->viewActions()->menu()->isVisible());
    form->viewActions()->menu()->hide();
}

TEST_F(KeyboardTest, WindowKeysWorkFromEveryControlAndTheInfoIconsAreButtons) {
    // F1 opens the page of the tab, from anywhere.
    FocusOn(form->Button2);
    Press(Qt::Key_F1);
    // Ctrl+Page Down on a slider changes the tab, not the slider.
    auto* slider = FindControl<QSlider>(form, "TB_t_S");
    FocusOn(slider);
    const int position = slider->value();
    Press(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form->activeTab(), 1);
    EXPECT_EQ(slider->value(), position);
    Press(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form->activeTab(), 2);
    Press(Qt::Key_F1);
    // Round past the hidden tabs back to the first, and back again.
    FocusOn(form->Button1);
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->activeTab(), 0);
    Press(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(form->activeTab(), 2);
    // The info icons: in the keyboard order, Space or Enter opens the page.
    FocusOn(FindControl<QSlider>(form, "TB_face_G"));
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    ASSERT_TRUE(form->Image_infogaz->hasFocus());
    Press(Qt::Key_Space);
    FocusOn(form->Image_info);
    Press(Qt::Key_Return);
    EXPECT_EQ(opened, QStringList({"_sol.htm", "_gaz.htm", "_gaz.htm", "_sol.htm"}));

    // On the liquid tab the marking box follows the box above it.
    form->PageControl1->setCurrentIndex(1);
    FocusOn(FindControl<QCheckBox>(form, "CB_trans_L"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), FindControl<QCheckBox>(form, "CB_mark"));
}

TEST_F(KeyboardTest, TabLeavesTheMeasurementTable) {
    form->PageControl1->setCurrentIndex(2);
    form->bench().Show();
    TFormReleves* window = form->bench().window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->AddRow();
    window->AddRow();
    QApplication::setActiveWindow(window);
    auto* table = FindControl<QTableView>(window, "Table");
    FocusOn(table);
    table->setCurrentIndex(table->model()->index(0, 0));
    Press(Qt::Key_Right);
    EXPECT_EQ(table->currentIndex().column(), 1);
    Press(Qt::Key_Tab);
    EXPECT_FALSE(table->hasFocus());
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(table->hasFocus());
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_FALSE(table->hasFocus());
}

}  // namespace
}  // namespace veliso::testing
