// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// The information icons and the About box's address on a machine that lacks what they need:
// no browser, no mail program, or no opener at all, started from a folder without pages. The
// pages come from the program's pages folder; without an opener, or with one that finds no
// browser, each page says why it is not shown, in a box of the program's own; nothing is
// printed, and the program goes on.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/about_box.h"
#include "app/application.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/desktop_open.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/qt_app.h"
#include "support/stderr_capture.h"

namespace veliso {
namespace {

class InfoLinksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::TestApplication();
        ASSERT_TRUE(home_.isValid() && pages_.isValid() && tools_.isValid() &&
                    installedPages_.isValid());
        for (const char* page : {"_sol.htm", "_liq.htm", "_gaz.htm"}) {
            QFile(installedPages_.filePath(page)).open(QIODevice::WriteOnly);
        }
        oldDirectory_ = QDir::currentPath();
        oldPath_ = qgetenv("PATH");
        // The working directory holds no page; the PATH holds only the test's own tools folder.
        QDir::setCurrent(pages_.path());
        qputenv("PATH", tools_.path().toLocal8Bit());
        capture_ = std::make_unique<testing::StderrCapture>();
        ASSERT_TRUE(capture_->capturing());

        CreateWindows();
        // No splash: the window comes straight up.
        FormMM->SetAuxiliaryWindows(nullptr, Forminst, AboutBox);
        FormMM->pagesFolder = installedPages_.path();
        FormMM->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMM));
        // Every message box coming up is noted and answered; TearDown compares them with
        // the boxes expected.
        watcher_.setInterval(10);
        QObject::connect(&watcher_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes_.push_back(box->text().toStdString());
                box->close();
            }
        });
        watcher_.start();
    }

    void TearDown() override {
        watcher_.stop();
        DestroyWindows();
        const std::string written = capture_ ? capture_->Finish() : std::string();
        QDir::setCurrent(oldDirectory_);
        qputenv("PATH", oldPath_);
        EXPECT_EQ(written, "") << "standard error";
        EXPECT_EQ(boxes_, expectedBoxes_);
    }

    /// Clicks the information icon of each tab, then the address in the About box.
    void ClickEveryLink() {
        ClickableLabel* icons[] = {FormMM->Image_info, FormMM->Image_infoliq,
                                   FormMM->Image_infogaz};
        for (int tab = 0; tab < 3; ++tab) {
            FormMM->PageControl1->setCurrentIndex(tab);
            QTest::mouseClick(icons[tab], Qt::LeftButton, {}, QPoint(12, 12));
            QTest::qWait(50);
            EXPECT_TRUE(FormMM->isVisible());
        }
        bool mailClicked = false;
        QTimer::singleShot(100, AboutBox, [&mailClicked] {
            QTest::mouseClick(AboutBox->mail, Qt::LeftButton, {}, QPoint(3, 3));
            mailClicked = true;
            QTimer::singleShot(100, AboutBox, [] { AboutBox->OKButton->click(); });
        });
        FormMM->Button2->click();
        EXPECT_TRUE(mailClicked);
        EXPECT_FALSE(AboutBox->isVisible());
    }

    /// A stand-in opener that writes every request into `requests` and fails loudly, as
    /// xdg-open does without a browser or a mail program.
    void InstallFailingOpener() {
        QFile script(tools_.filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\n"
            "printf '%s\\n' \"$1\" >> '" +
            requests().toLocal8Bit() +
            "'\n"
            "echo \"xdg-open: no method available for opening '$1'\" >&2\n"
            "exit 3\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString requests() const { return home_.filePath("requests"); }

    QStringList Requests() const {
        QFile file(requests());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromLocal8Bit(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir home_;
    QTemporaryDir pages_;
    QTemporaryDir tools_;
    QTemporaryDir installedPages_;
    QString oldDirectory_;
    QByteArray oldPath_;
    std::unique_ptr<testing::StderrCapture> capture_;
    QTimer watcher_;
    std::vector<std::string> boxes_;
    std::vector<std::string> expectedBoxes_;
};

TEST_F(InfoLinksTest, WithoutAnOpenerEachPageSaysWhyAndNothingBreaks) {
    // One box for each of the three pages; the mail link stays silent.
    expectedBoxes_.assign(3, NoOpenerMessage().toStdString());
    ClickEveryLink();
    EXPECT_TRUE(FormMM->Timer1->isActive());
    EXPECT_TRUE(FormMM->Timer2->isActive());
    EXPECT_EQ(FormMM->activeTab(), 2);
}

TEST_F(InfoLinksTest, AFailingOpenerGetsThePagesAndTheAddressAndEachPageSaysWhereItIs) {
    InstallFailingOpener();
    // The pages of the pages folder, not of the working directory.
    const QDir pages(installedPages_.path());
    const QStringList expected = {pages.absoluteFilePath("_sol.htm"),
                                  pages.absoluteFilePath("_liq.htm"),
                                  pages.absoluteFilePath("_gaz.htm"), TAboutBox::MailLink()};
    // Each page the opener could not open says so, and where it is; the address stays quiet.
    for (int page = 0; page < 3; ++page) {
        expectedBoxes_.push_back(OpenerFailedMessage(expected[page]).toStdString());
    }
    ClickEveryLink();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Requests().size() == 4; }, 5000))
        << Requests().join(' ').toStdString();
    EXPECT_EQ(Requests().join('\n').toStdString(), expected.join('\n').toStdString());
    ASSERT_TRUE(QTest::qWaitFor([this] { return boxes_.size() == 3; }, 5000));
    EXPECT_TRUE(FormMM->isVisible());
}

}  // namespace
}  // namespace veliso
