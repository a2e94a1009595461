// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/measurement_bench.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTest>

#include "core/gas/gas_state.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/measurements_window.h"
#include "mainwindow/modal_answer.h"
#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

// The bench needs no main window: a plain window with a panel and a status label will do.
class FakeBenchHost : public BenchHost {
  public:
    QWidget& mainWindow() override { return window; }
    int activeTab() const override { return tab; }
    const GasState& gasRecord() const override { return gas; }
    const QWidget& gasPanel() const override { return panel; }
    void AddStatusNotice(QWidget& notice) override { notice.setParent(&status); }

    GasState gas;  // before the window: the measurement window reads it until it goes
    int tab = 0;
    QWidget window;
    QWidget panel{&window};
    QLabel status{&window};
};

TEST(MeasurementBenchTest, OpensOnTheGasTabAndAsksOnlyAboutRowsNeverExported) {
    testing::TestApplication();
    QSettings().remove("releves");
    FakeBenchHost host;
    auto* bench = new MeasurementBench(host);
    auto* key = host.window.findChild<QShortcut*>("ShortcutReleves");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(bench->indicator()->parentWidget(), &host.status);
    {
        testing::ModalAnswer answer(QMessageBox::No);
        EXPECT_TRUE(bench->ConfirmClose());  // no window, no rows: no question
        EXPECT_EQ(answer.answered(), 0u);
    }
    emit key->activated();
    EXPECT_EQ(bench->window(), nullptr);  // not the bench's tab
    host.tab = 2;
    emit key->activated();
    ASSERT_NE(bench->window(), nullptr);
    EXPECT_EQ(bench->window()->parentWidget(), &host.window);
    EXPECT_FALSE(bench->Readout().isEmpty());

    bench->window()->AddRow();
    {
        testing::ModalAnswer answer(QMessageBox::No);
        EXPECT_FALSE(bench->ConfirmClose());
        EXPECT_EQ(answer.answered(), 1u);
    }
    {
        testing::ModalAnswer answer(QMessageBox::Yes);
        EXPECT_TRUE(bench->ConfirmClose());
    }
    bench->window()->hide();
    EXPECT_TRUE(bench->Readout().isEmpty());
    QSettings().remove("releves");  // where the window was left
}

// The display activates windows in its own time: true once the keys go to `control`.
bool KeysReach(const QWidget* control) {
    return QTest::qWaitFor([control] { return QApplication::focusWidget() == control; });
}

// One key between the two windows: Ctrl+M on the gas tab opens the measurement window with
// the keys on "Ajouter le relevé", goes from it back to the main window, to the control that
// had the keys, and from there comes back; Escape closes it and gives the keys back to the
// main window.

TEST(MeasurementBenchTest, CtrlMGoesToTheMainWindowAndBackAndEscapeGivesTheKeysBack) {
    testing::TestApplication();
    QSettings().remove("releves");
    FakeBenchHost host;
    host.tab = 2;
    auto* field = new QLineEdit(&host.window);  // the main window's control that has the keys
    auto* bench = new MeasurementBench(host);
    host.window.show();
    host.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host.window));
    field->setFocus();
    const auto ctrlM = [] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::ControlModifier);
    };

    ctrlM();
    TFormReleves* window = bench->window();
    ASSERT_NE(window, nullptr);
    auto* add = window->findChild<QPushButton*>("butAjouter");
    EXPECT_TRUE(KeysReach(add));
    window->findChild<QComboBox*>("CBox_X")->setFocus();
    ctrlM();
    EXPECT_TRUE(KeysReach(field));
    EXPECT_TRUE(window->isVisible());
    ctrlM();
    EXPECT_TRUE(KeysReach(add));  // not where the keys were left

    QTest::keyClick(add, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(KeysReach(field));
    QSettings().remove("releves");  // where the window was left
}

}  // namespace
}  // namespace veliso
