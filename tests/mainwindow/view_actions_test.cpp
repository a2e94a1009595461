// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/view_actions.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "glview/opengl_orv_panel.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/main_window_fixture.h"
#include "mainwindow/measurements_window.h"
#include "mainwindow/picture_file.h"
#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

// ---------------------------------------------------------------------------------------
// Picture files (no window).

class PictureFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::TestApplication();
        ASSERT_TRUE(folder.isValid());
        picture = QImage(30, 20, QImage::Format_RGB888);
        picture.fill(QColor(10, 200, 30));
    }
    QString Path(const QString& name) const { return folder.filePath(name); }
    QStringList Files() const { return QDir(folder.path()).entryList(QDir::Files); }

    QTemporaryDir folder;
    QImage picture;
};

TEST_F(PictureFileTest, DefaultNameCarriesTheTabAndTheTimeToTheMinute) {
    const QDateTime when(QDate(2026, 3, 9), QTime(8, 5, 59));
    EXPECT_EQ(DefaultPictureName(0, when), "veliso-solide-2026-03-09-08h05.png");
    EXPECT_EQ(DefaultPictureName(1, when), "veliso-liquide-2026-03-09-08h05.png");
    EXPECT_EQ(DefaultPictureName(2, when), "veliso-gaz-2026-03-09-08h05.png");
}

TEST_F(PictureFileTest, FailuresSayWhyAndLeaveNothingHalfWritten) {
    QString why;
    EXPECT_FALSE(WritePng(picture, Path("absent/vue.png"), &why));
    EXPECT_EQ(why, QString::fromUtf8("le dossier « %1 » n'existe pas").arg(Path("absent")));
    // A write that fails once the file is open: the earlier picture stays whole.
    QFile earlier(Path("vue.png"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier picture");
    earlier.close();
    EXPECT_FALSE(WritePng(QImage(), Path("vue.png"), &why));
    EXPECT_EQ(why, "image vide");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "earlier picture");
    EXPECT_EQ(Files(), QStringList{"vue.png"});
}

TEST_F(PictureFileTest, AFileThatCannotBeWrittenIsFoundBeforeAnythingIsWritten) {
    // What the check finds beforehand (the command line's --capture) is what the write would
    // say, in French, and neither leaves a file.
    ASSERT_TRUE(QDir(folder.path()).mkdir("dossier"));
    QFile plain(Path("simple"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString longName = QString(300, QLatin1Char('x')) + ".png";
    struct Case {
        QString path;
        QString why;
    };
    const Case cases[] = {
        {Path("absent/vue.png"),
         QString::fromUtf8("le dossier « %1 » n'existe pas").arg(Path("absent"))},
        {Path("simple/vue.png"),
         QString::fromUtf8("« %1 » n'est pas un dossier").arg(Path("simple"))},
        {Path("dossier"), "c'est un dossier"},
        {"", "nom de fichier vide"},
        // The folder takes a file, but not one of that name: QSaveFile opens an unnamed file
        // first, so only a check of the name itself finds this before the picture is made.
        {Path(longName), "le nom est trop long"},
        {Path(longName + "/vue.png"), "le nom est trop long"},
        // No new file there, even for root.
        {"/proc/vue.png", QString::fromUtf8("écriture refusée dans le dossier « /proc »")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.left(80).toStdString());
        EXPECT_EQ(WhyNotWritable(c.path), c.why);
        QString why;
        EXPECT_FALSE(WritePng(picture, c.path, &why));
        EXPECT_EQ(why, c.why);
    }
    EXPECT_EQ(Files(), QStringList{"simple"});
    EXPECT_EQ(WhyNotWritable(Path("vue.png")), QString());
    EXPECT_TRUE(WritePng(picture, Path("vue.png")));
    EXPECT_EQ(Files(), (QStringList{"simple", "vue.png"}));
}

// ---------------------------------------------------------------------------------------
// The main window's view tools.

class ViewActionsTest : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->SetAuxiliaryWindows(nullptr, nullptr, nullptr);
        actions = form->viewActions();
        ASSERT_NE(actions, nullptr);
    }
    /// Shown and painting.
    void Show() {
        ASSERT_NO_FATAL_FAILURE(MainWindowTest::Show());
        ASSERT_TRUE(WaitForContext());
    }
    /// A key pressed in the window, as its shortcuts see it. The window is made the active
    /// one first, within this process: a test running beside this one may take the display's
    /// keyboard focus at any time, and shortcuts only work in the active window.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QApplication::setActiveWindow(form);
        QTest::keyClick(form, key, modifiers);
    }
    QWindow* Surface() const { return form->OpenGLOrvPanel1->glWindow(); }
    /// Texts of the menu items a user can see.
    QStringList MenuItems() const {
        QStringList texts;
        for (QAction* a : actions->menu()->actions()) {
            if (a->isVisible() && !a->isSeparator()) {
                texts.append(a->text());
            }
        }
        return texts;
    }
    void RightClick(QPoint at, QPoint releaseAt) {
        QTest::mousePress(Surface(), Qt::RightButton, {}, at);
        QTest::mouseMove(Surface(), releaseAt);
        QTest::mouseRelease(Surface(), Qt::RightButton, {}, releaseAt);
    }
    /// The next frame the view paints, taken alongside whatever else asks for it. The wait
    /// is long: while a window of a test running beside this one covers the whole view, the
    /// view is not exposed and paints nothing.
    QImage NextFrame() {
        QImage frame;
        form->OpenGLOrvPanel1->RequestFrame([&frame](const FrameAnswer& a) { frame = a.frame; },
                                            kPatience);
        EXPECT_TRUE(QTest::qWaitFor([&frame] { return !frame.isNull(); }, kPatience));
        return frame;
    }
    static constexpr int kPatience = 30000;  // ms

    ViewActions* actions = nullptr;
};

TEST_F(ViewActionsTest, RightClickOpensTheMenuWithTheItemsOfTheTab) {
    Show();
    EXPECT_EQ(actions->copyAction()->shortcut(), QKeySequence("Ctrl+C"));
    EXPECT_EQ(actions->saveAction()->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(actions->fullScreenAction()->shortcut(), QKeySequence("F11"));
    EXPECT_EQ(actions->leaveFullScreenAction()->shortcut(), QKeySequence("Escape"));
    const QStringList common = {
        QString::fromUtf8("Copier l'image"), QString::fromUtf8("Enregistrer l'image…"),
        QString::fromUtf8("Plein écran"), QString::fromUtf8("Taille de l'interface"),
        QString::fromUtf8("Contraste élevé")};
    for (int tab : {0, 1, 2, 0}) {
        form->PageControl1->setCurrentIndex(tab);
        // A wobble within a few pixels is still a click.
        RightClick(QPoint(100, 100), QPoint(102, 101));
        ASSERT_TRUE(QTest::qWaitFor([this] { return actions->menu()->isVisible(); }, 2000))
            << "tab " << tab;
        QStringList expected = common;
        if (tab == 2) {
            expected.append(QString::fromUtf8("Relevés de mesures…"));
        }
        expected.append(QStringLiteral("Annonces en continu"));  // for screen-reader users
        EXPECT_EQ(MenuItems(), expected) << "tab " << tab;
        EXPECT_TRUE(actions->fullScreenAction()->isCheckable());
        EXPECT_FALSE(actions->fullScreenAction()->isChecked());
        actions->menu()->hide();
    }
    // The gas item opens the measurements window.
    form->PageControl1->setCurrentIndex(2);
    actions->measurementsAction()->trigger();
    ASSERT_NE(form->bench().window(), nullptr);
    EXPECT_TRUE(form->bench().window()->isVisible());
}

TEST_F(ViewActionsTest, RightDragAndRightClickDuringALeftDragStayInert) {
    Show();
    const ViewPoint before = form->solid.view;
    RightClick(QPoint(100, 100), QPoint(160, 140));
    EXPECT_FALSE(actions->menu()->isVisible());
    // Out and back again is a drag too.
    QTest::mousePress(Surface(), Qt::RightButton, {}, QPoint(100, 100));
    QTest::mouseMove(Surface(), QPoint(200, 100));
    QTest::mouseMove(Surface(), QPoint(100, 100));
    QTest::mouseRelease(Surface(), Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_FALSE(actions->menu()->isVisible());
    EXPECT_EQ(form->solid.view.angle, before.angle);
    EXPECT_EQ(form->solid.view.height, before.height);
    EXPECT_EQ(form->solid.view.distance, before.distance);
    EXPECT_EQ(form->drag.mode, 0);

    // The right button during a left drag ends the drag, as any release does, and opens
    // nothing.
    QTest::mousePress(Surface(), Qt::LeftButton, {}, QPoint(50, 50));
    RightClick(QPoint(50, 50), QPoint(50, 50));
    EXPECT_FALSE(actions->menu()->isVisible());
    EXPECT_EQ(form->drag.mode, 0);
    QTest::mouseRelease(Surface(), Qt::LeftButton, {}, QPoint(50, 50));
}

TEST_F(ViewActionsTest, F11TogglesFullScreenAndEscapeOnlyLeavesIt) {
    Show();
    QAction* item = actions->fullScreenAction();
    Press(Qt::Key_F11);
    EXPECT_TRUE(form->windowState().testFlag(Qt::WindowFullScreen));
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(actions->leaveFullScreenAction()->isEnabled());
    // However large the window becomes, the view follows the window's layout rule.
    form->resize(1000, 800);
    EXPECT_EQ(form->OpenGLOrvPanel1->geometry(), QRect(168, 28, 1000 - 173, 800 - 21 - 33));

    Press(Qt::Key_Escape);
    EXPECT_FALSE(form->windowState().testFlag(Qt::WindowFullScreen));
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(actions->leaveFullScreenAction()->isEnabled());

    // Out of full screen Escape does nothing at all.
    const Qt::WindowStates state = form->windowState();
    Press(Qt::Key_Escape);
    QTest::qWait(30);
    EXPECT_EQ(form->windowState(), state);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(terminations, 0);

    // F11 twice, and the checkable menu item, toggle the same state; a maximised window
    // returns to maximised.
    form->setWindowState(Qt::WindowMaximized);
    Press(Qt::Key_F11);
    EXPECT_TRUE(form->windowState().testFlag(Qt::WindowFullScreen));
    item->trigger();
    EXPECT_EQ(form->windowState(), Qt::WindowMaximized);
    EXPECT_FALSE(item->isChecked());
}

TEST_F(ViewActionsTest, CopyPutsTheFrameOnScreenOnTheClipboardAtFullSize) {
    Show();
    form->PageControl1->setCurrentIndex(2);
    QGuiApplication::clipboard()->clear();
    Press(Qt::Key_C, Qt::ControlModifier);
    const QImage frame = NextFrame();  // the same paint serves both
    ASSERT_TRUE(
        QTest::qWaitFor([] { return !QGuiApplication::clipboard()->image().isNull(); }, kPatience));
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(),
              QSize(form->OpenGLOrvPanel1->ClientWidth(), form->OpenGLOrvPanel1->ClientHeight()));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB888), frame);
    // The gas scene: black around the box, particles in the gas colour somewhere.
    EXPECT_EQ(frame.pixelColor(0, 0), QColor(0, 0, 0));
}

TEST_F(ViewActionsTest, SaveOffersANamedPictureAndWritesTheFrame) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString target = folder.filePath("choisi.png");
    QString suggested;
    actions->askSavePath = [&](const QString& suggestion) {
        suggested = suggestion;
        return target;
    };
    Show();
    form->PageControl1->setCurrentIndex(1);
    Press(Qt::Key_S, Qt::ControlModifier);
    const QImage frame = NextFrame();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(target); }, kPatience));
    QImage saved(target, "PNG");
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB888), frame);
    const QRegularExpression name(
        "^veliso-liquide-[0-9]{4}-[0-9]{2}-[0-9]{2}-[0-9]{2}h[0-9]{2}\\.png$");
    EXPECT_TRUE(name.match(QFileInfo(suggested).fileName()).hasMatch()) << suggested.toStdString();
    EXPECT_EQ(QFileInfo(suggested).absolutePath(), QFileInfo(PicturesFolder()).absoluteFilePath());
}

TEST_F(ViewActionsTest, FailedSaveIsToldAndCancelledSaveDoesNothing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString answer = folder.filePath("absent/vue.png");
    actions->askSavePath = [&](const QString&) { return answer; };
    Show();
    QString told;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->windowTitle() + " | " + box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    watcher.start(5);
    actions->SaveFrame();
    ASSERT_TRUE(QTest::qWaitFor([&told] { return !told.isEmpty(); }, kPatience));
    EXPECT_EQ(told, QString::fromUtf8("Veliso | L'image n'a pas pu être enregistrée dans « %1 » : "
                                      "le dossier « %2 » n'existe pas.")
                        .arg(answer, folder.filePath("absent")));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());

    told.clear();
    answer.clear();  // the user closed the dialog
    actions->SaveFrame();
    NextFrame();
    QTest::qWait(50);
    EXPECT_TRUE(told.isEmpty());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

}  // namespace
}  // namespace veliso
