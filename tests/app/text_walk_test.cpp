// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// A walk through the texts of the three tab panels and of the About box: every text shows
// whole, at its own size, and covers nothing beside it, nor does the focus ring of any
// control; at the fonts the windows were made for, and with a 16 pt style sheet; and at 150 %
// and 200 % (ctest text_walk_*).

#include "app/text_walk.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QTest>

#include <map>

#include "mainwindow/focus_style.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/liquid_panel.h"
#include "mainwindow/main_window_fixture.h"
#include "mainwindow/solid_panel.h"

namespace veliso {
namespace {

class TextWalkTest : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        testing::MainWindowTest::SetUp();
        InstallAccessibleStyle(testing::TestApplication());
    }
    void TearDown() override {
        testing::MainWindowTest::TearDown();
        qApp->setStyleSheet({});
    }
};

TEST_F(TextWalkTest, AtTheFontsTheWindowsWereMadeForNothingMoves) {
    // Every bound inside the panels as built, and the view beside them.
    std::map<QWidget*, QRect> built;
    for (QWidget* panel :
         std::initializer_list<QWidget*>{form->Pansol, form->Panliq, form->Pangaz}) {
        for (QWidget* w : panel->findChildren<QWidget*>()) {
            built[w] = w->geometry();
        }
    }
    Show();
    for (const auto& [w, bounds] : built) {
        EXPECT_EQ(w->geometry(), bounds) << w->objectName().toStdString();
    }
    EXPECT_EQ(form->Pangaz->width(), 161);
    EXPECT_EQ(form->OpenGLOrvPanel1->geometry().left(), 168);
    EXPECT_EQ(form->OpenGLOrvPanel1->width(), form->PageControl1->width() - 173);
    for (const std::string& problem : testing::WalkPanelsAndAbout(*form)) {
        ADD_FAILURE() << problem;
    }
}

TEST_F(TextWalkTest, WithASixteenPointStyleSheetEveryTextShowsWholeAtItsSize) {
    qApp->setStyleSheet(QStringLiteral("* { font-size: 16pt; }"));
    Show();
    // The panels grew, and the view gave them the room.
    const int widest =
        std::max({form->Pansol->width(), form->Panliq->width(), form->Pangaz->width()});
    EXPECT_GT(form->Pangaz->width(), 161);
    EXPECT_EQ(form->OpenGLOrvPanel1->geometry().left(), widest + 7);
    for (const std::string& problem : testing::WalkPanelsAndAbout(*form)) {
        ADD_FAILURE() << problem;
    }
}

/// The same walk at the interface size its ctest test gives it (text_walk_*: 150 % and
/// 200 %), with the fonts the windows were made for and with a 16 pt style sheet.
TEST(TextWalkScaled, EveryTextShowsWholeAtTheInterfaceSize) {
    if (!qEnvironmentVariableIsSet("VELISO_PRIVATE_DISPLAY")) {
        GTEST_SKIP() << "needs a display of its own at a given scale (ctest text_walk_*)";
    }
    InstallAccessibleStyle(testing::TestApplication());
    for (const char* sheet : {"", "* { font-size: 16pt; }"}) {
        qApp->setStyleSheet(QString::fromLatin1(sheet));
        TFormMM form;
        form.terminate = [] {};
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        for (const std::string& problem : testing::WalkPanelsAndAbout(form)) {
            ADD_FAILURE() << sheet << ": " << problem;
        }
    }
    qApp->setStyleSheet({});
}

}  // namespace
}  // namespace veliso
