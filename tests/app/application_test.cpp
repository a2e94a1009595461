// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/application.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "app/about_box.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/qt_app.h"

namespace {

// An object whose handler fails on user events, with a standard exception saying `what`, or
// with a foreign one when `what` is null.
class Faulty : public QObject {
  public:
    explicit Faulty(const char* what) : what_(what) {}
    int handled = 0;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            if (what_ == nullptr) {
                throw 42;
            }
            throw std::runtime_error(what_);
        }
        if (e->type() == QEvent::User + 1) {
            ++handled;
            return true;
        }
        return QObject::event(e);
    }

  private:
    const char* what_;
};

struct BoxSeen {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int boxes = 0;
};

// Dismisses every message box that comes up while the returned timer lives.
std::unique_ptr<QTimer> DismissBoxes(BoxSeen& seen) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(5);
    QObject::connect(timer.get(), &QTimer::timeout, [&seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.caption = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            ++seen.boxes;
            box->button(QMessageBox::Ok)->click();
        }
    });
    timer->start();
    return timer;
}

class ApplicationTest : public ::testing::Test {
  protected:
    void SetUp() override { veliso::testing::TestApplication(); }
};

TEST_F(ApplicationTest, ExceptionInAHandlerIsShownCaptionedVelisoAndTheProgramGoesOn) {
    Faulty faulty("Division par zéro");
    BoxSeen seen;
    auto dismiss = DismissBoxes(seen);
    QEvent failing(QEvent::User);
    EXPECT_FALSE(veliso::NotifyShowingExceptions(*qApp, &faulty, &failing));
    EXPECT_EQ(seen.boxes, 1);
    EXPECT_EQ(seen.caption, "Veliso");
    EXPECT_EQ(seen.text, QString::fromUtf8("Division par zéro"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);

    QEvent fine(static_cast<QEvent::Type>(QEvent::User + 1));
    EXPECT_TRUE(veliso::NotifyShowingExceptions(*qApp, &faulty, &fine));
    EXPECT_EQ(faulty.handled, 1);
    EXPECT_EQ(seen.boxes, 1);
}

TEST_F(ApplicationTest, ForeignExceptionsAreShownToo) {
    Faulty odd(nullptr);
    BoxSeen seen;
    auto dismiss = DismissBoxes(seen);
    QEvent failing(QEvent::User);
    EXPECT_FALSE(veliso::NotifyShowingExceptions(*qApp, &odd, &failing));
    EXPECT_EQ(seen.boxes, 1);
    EXPECT_EQ(seen.caption, "Veliso");
}

TEST_F(ApplicationTest, NoPileOfBoxesWhileOneIsOpen) {
    Faulty faulty("Racine d'un nombre négatif");
    Faulty other("Fichier introuvable");
    int nested = 0;
    QTimer::singleShot(0, [&] {
        // Up while the first box is open: these failures open no box of their own.
        QEvent again(QEvent::User);
        veliso::NotifyShowingExceptions(*qApp, &faulty, &again);
        veliso::NotifyShowingExceptions(*qApp, &other, &again);
        ++nested;
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->button(QMessageBox::Ok)->click();
        }
    });
    BoxSeen seen;
    auto dismiss = DismissBoxes(seen);
    QEvent failing(QEvent::User);
    veliso::NotifyShowingExceptions(*qApp, &faulty, &failing);
    EXPECT_EQ(nested, 1);
    // The other one is not lost: its box comes once the first one is closed; the same one
    // again is no news.
    EXPECT_EQ(seen.boxes, 1);
    EXPECT_EQ(seen.text, QString::fromUtf8("Fichier introuvable"));
}

TEST_F(ApplicationTest, WindowsAreCreatedHiddenAndTheMainWindowTicksAtOnce) {
    veliso::CreateWindows();
    ASSERT_NE(FormMM, nullptr);
    ASSERT_NE(Formsplash, nullptr);
    ASSERT_NE(AboutBox, nullptr);
    ASSERT_NE(Forminst, nullptr);
    for (QWidget* w : std::initializer_list<QWidget*>{FormMM, Formsplash, AboutBox, Forminst}) {
        EXPECT_FALSE(w->isVisible());
    }
    EXPECT_TRUE(FormMM->Timer1->isActive());
    EXPECT_TRUE(FormMM->Timer2->isActive());
    EXPECT_TRUE(Formsplash->Timer1->isActive());
    // A tick reaches the main window in any running loop (here a short wait).
    ASSERT_TRUE(QTest::qWaitFor([] { return !FormMM->StatusBar1->panelText(2).isEmpty(); }, 2500));
    veliso::DestroyWindows();
    EXPECT_EQ(FormMM, nullptr);
    EXPECT_EQ(Formsplash, nullptr);
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_EQ(Forminst, nullptr);
}

}  // namespace
