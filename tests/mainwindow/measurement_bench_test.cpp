// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/measurement_bench.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QShortcut>

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

}  // namespace
}  // namespace veliso
