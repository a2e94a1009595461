// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/application.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "app/about_box.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/qt_app.h"
#include "support/stderr_capture.h"

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

TEST_F(ApplicationTest, AnErrorNoHandlerCaughtEndsTheRunWithACodeAndSaysWhy) {
    const auto throwing = [](const char* what) {
        return [what]() -> int {
            if (what == nullptr) {
                throw 42;
            }
            throw std::runtime_error(what);
        };
    };
    struct Case {
        const char* name;
        std::function<int()> run;
        bool withBox;
        int code;
        const char* message;  // null when the run ends well
    };
    const Case cases[] = {
        {"a run that ends well", [] { return 0; }, true, 0, nullptr},
        {"at start-up", throwing("Fenêtre impossible à créer"), true, veliso::kExitFatalError,
         "Fenêtre impossible à créer"},
        {"at start-up, a capture", throwing("Mémoire épuisée"), false, veliso::kExitFatalError,
         "Mémoire épuisée"},
        {"at start-up, of no standard type", throwing(nullptr), false, veliso::kExitFatalError,
         "Exception inconnue."},
        // What gets past the handlers' own nets comes out of the message loop.
        {"out of the loop",
         [] {
             Faulty faulty("Boucle interrompue");
             QCoreApplication::postEvent(&faulty, new QEvent(QEvent::User));
             QEventLoop loop;
             return loop.exec();
         },
         true, veliso::kExitFatalError, "Boucle interrompue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoxSeen seen;
        auto dismiss = DismissBoxes(seen);
        veliso::testing::StderrCapture standardError;
        EXPECT_EQ(veliso::RunShowingFatalErrors(c.withBox, c.run), c.code);
        const QString written = QString::fromStdString(standardError.Finish());
        if (c.message == nullptr) {
            EXPECT_TRUE(written.isEmpty()) << written.toStdString();
            EXPECT_EQ(seen.boxes, 0);
            continue;
        }
        const QString line =
            QString::fromUtf8("veliso : le programme s'arrête sur une erreur : %1\n")
                .arg(QString::fromUtf8(c.message));
        EXPECT_TRUE(written.endsWith(line)) << written.toStdString();
        EXPECT_EQ(seen.boxes, c.withBox ? 1 : 0);
        if (c.withBox) {
            EXPECT_EQ(seen.text, QString::fromUtf8(c.message));
            EXPECT_EQ(seen.icon, QMessageBox::Critical);
        }
    }
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
