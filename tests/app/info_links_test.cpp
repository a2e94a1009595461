// The information icons and the About box's address on a machine that lacks what they need:
// no information pages in the working directory, no browser, no mail program, or no opener at
// all. The program shows no message of its own, prints nothing, and goes on.

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
#include "mainwindow/form_mm.h"
#include "mainwindow/qt_app.h"
#include "support/stderr_capture.h"

namespace veliso {
namespace {

class InfoLinksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::TestApplication();
        ASSERT_TRUE(home_.isValid() && pages_.isValid() && tools_.isValid());
        oldDirectory_ = QDir::currentPath();
        oldPath_ = qgetenv("PATH");
        // The pages' folder is empty; the PATH holds only the test's own tools folder.
        QDir::setCurrent(pages_.path());
        qputenv("PATH", tools_.path().toLocal8Bit());
        capture_ = std::make_unique<testing::StderrCapture>();
        ASSERT_TRUE(capture_->capturing());

        CreateWindows();
        // No splash: the window comes straight up.
        FormMM->SetAuxiliaryWindows(nullptr, Forminst, AboutBox);
        FormMM->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMM));
        // Any message box coming up is a fault; it is noted and answered.
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
        EXPECT_TRUE(boxes_.empty()) << boxes_.front();
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
    QString oldDirectory_;
    QByteArray oldPath_;
    std::unique_ptr<testing::StderrCapture> capture_;
    QTimer watcher_;
    std::vector<std::string> boxes_;
};

TEST_F(InfoLinksTest, WithoutAnOpenerNothingShowsAndNothingBreaks) {
    ClickEveryLink();
    EXPECT_TRUE(FormMM->Timer1->isActive());
    EXPECT_TRUE(FormMM->Timer2->isActive());
    EXPECT_EQ(FormMM->activeTab(), 2);
}

TEST_F(InfoLinksTest, AFailingOpenerGetsThePagesAndTheAddressAndStaysQuiet) {
    InstallFailingOpener();
    ClickEveryLink();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Requests().size() == 4; }, 5000))
        << Requests().join(' ').toStdString();
    // The pages are resolved in the working directory, whether they exist or not.
    const QDir pages(pages_.path());
    const QStringList expected = {pages.absoluteFilePath("_sol.htm"),
                                  pages.absoluteFilePath("_liq.htm"),
                                  pages.absoluteFilePath("_gaz.htm"), TAboutBox::MailLink()};
    EXPECT_EQ(Requests().join('\n').toStdString(), expected.join('\n').toStdString());
    EXPECT_TRUE(FormMM->isVisible());
}

}  // namespace
}  // namespace veliso
