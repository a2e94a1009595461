// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/handler_boundary.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

/// Answers every exception box that comes up: notes its caption, text and icon, runs
/// `whileOpen` once (inside the first box's modal loop), then clicks OK.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(std::function<void()> whileOpen = {}) : whileOpen_(std::move(whileOpen)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            captions.push_back(box->windowTitle());
            texts.push_back(box->text());
            icons.push_back(box->icon());
            if (whileOpen_) {
                std::exchange(whileOpen_, nullptr)();
            }
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }
    std::vector<QString> captions;
    std::vector<QString> texts;
    std::vector<QMessageBox::Icon> icons;

  private:
    QTimer timer_;
    std::function<void()> whileOpen_;
};

class HandlerBoundaryTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::TestApplication(); }
};

TEST_F(HandlerBoundaryTest, ExceptionOfAConnectedHandlerIsShownWhereItIsConnected) {
    BoxAnswerer answer;
    QSlider slider;
    int runs = 0;
    QObject::connect(&slider, &QSlider::valueChanged, &slider, Guard([&runs] {
        ++runs;
        throw std::runtime_error("Division par zéro");
    }));
    // A slider moved from code: the exception would reach the caller of setValue.
    EXPECT_NO_THROW(slider.setValue(5));
    EXPECT_EQ(slider.value(), 5);
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(answer.texts.size(), 1u);
    EXPECT_EQ(answer.captions[0], "Veliso");
    EXPECT_EQ(answer.texts[0], QString::fromUtf8("Division par zéro"));
    EXPECT_EQ(answer.icons[0], QMessageBox::Critical);

    // A member handler on a button clicked from code, with an exception of no standard type.
    struct Owner {
        void Click() { throw 42; }
    } owner;
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, &button, Guard(&owner, &Owner::Click));
    EXPECT_NO_THROW(button.click());
    ASSERT_EQ(answer.texts.size(), 2u);
    EXPECT_EQ(answer.texts[1], "Exception inconnue.");
}

TEST_F(HandlerBoundaryTest, ExceptionsWhileABoxIsOpenAreCountedAndShownNext) {
    const auto fail = [](const char* what) { Guard([what] { throw std::runtime_error(what); })(); };
    // Three more while the first box is open: the first of them, and the two others counted.
    {
        BoxAnswerer answer([&] {
            fail("second");
            fail("third");
            fail("fourth");
        });
        fail("first");
        EXPECT_EQ(answer.texts, (std::vector<QString>{
                                    "first", QString::fromUtf8("second\n… et 2 autres erreurs")}));
    }
    // One other: singular.
    {
        BoxAnswerer answer([&] {
            fail("b");
            fail("c");
        });
        fail("a");
        EXPECT_EQ(answer.texts,
                  (std::vector<QString>{"a", QString::fromUtf8("b\n… et 1 autre erreur")}));
    }
    // Only one: shown as it is. Afterwards nothing is left over for the next box.
    {
        BoxAnswerer answer([&] { fail("y"); });
        fail("x");
        EXPECT_EQ(answer.texts, (std::vector<QString>{"x", "y"}));
    }
    BoxAnswerer answer;
    fail("alone");
    EXPECT_EQ(answer.texts, (std::vector<QString>{"alone"}));
}

TEST_F(HandlerBoundaryTest, AMessageIsShownOnceUntilTheUserDoesSomethingOutsideADialog) {
    const auto fail = [](const char* what) { Guard([what] { throw std::runtime_error(what); })(); };
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto press = [&window] { QTest::keyClick(&window, Qt::Key_Shift); };
    // A press in a dialog: answering a question is no news for the errors.
    const auto pressInADialog = [] {
        QDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog] {
            QTest::keyClick(&dialog, Qt::Key_Shift);
            QTest::mouseClick(&dialog, Qt::LeftButton);
            dialog.accept();
        });
        dialog.exec();
    };
    struct Step {
        std::function<void()> run;
        std::vector<QString> boxes;            // the boxes it brings
        std::function<void()> whileOpen = {};  // run inside its first box
    };
    const auto failing = [&](const char* what) { return [&fail, what] { fail(what); }; };
    const Step steps[] = {
        {failing("mur"), {"mur"}},
        {failing("mur"), {}},
        {failing("sol"), {"sol"}},
        {failing("mur"), {}},
        {pressInADialog, {}},
        {failing("mur"), {}},
        {press, {}},
        {failing("mur"), {"mur"}},
        {failing("sol"), {"sol"}},
        {press, {}},
        // While a box is open: the same message again is dropped, another one comes next,
        // once however often it came.
        {failing("mur"),
         {"mur", "toit"},
         [&] {
             fail("mur");
             fail("toit");
             fail("toit");
         }},
        {failing("toit"), {}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        BoxAnswerer answer(steps[i].whileOpen);
        steps[i].run();
        EXPECT_EQ(answer.texts, steps[i].boxes);
    }
}

}  // namespace
}  // namespace veliso
