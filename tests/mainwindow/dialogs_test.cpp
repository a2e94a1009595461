// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

// Every question about losing something: the keys a hurried user presses keep them.
TEST(AskDefaultNoTest, EnterAndEscapeAnswerNo) {
    testing::TestApplication();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        int presses = 0;
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            // A key that does not close the box fails the test rather than hangs it.
            if (++presses > 20) {
                box->button(QMessageBox::Yes)->click();
                return;
            }
            QTest::keyClick(box, static_cast<Qt::Key>(key));
        });
        timer.start();
        EXPECT_FALSE(AskDefaultNo(nullptr, QStringLiteral("CONFIRMATION"),
                                  QString::fromUtf8("Effacer les 3 relevés du tableau ?")))
            << "key " << key;
        EXPECT_LE(presses, 20) << "key " << key;
    }
}

}  // namespace
}  // namespace veliso
