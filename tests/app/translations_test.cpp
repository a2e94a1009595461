// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/translations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include "mainwindow/form_mm.h"
#include "mainwindow/qt_app.h"

namespace {

class FrenchQtTexts : public ::testing::Test {
  protected:
    void SetUp() override { veliso::testing::TestApplication(); }
    void TearDown() override {
        if (translator_ != nullptr) {
            QCoreApplication::removeTranslator(translator_);
            delete translator_;
        }
    }

    /// The texts of the Yes and No buttons of the main window's close confirmation, which is
    /// answered No.
    static std::pair<QString, QString> CloseConfirmationButtons() {
        TFormMM form;
        form.Timer1->stop();
        form.Timer2->stop();
        std::pair<QString, QString> texts;
        QTimer::singleShot(0, [&texts] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            texts = {box->button(QMessageBox::Yes)->text(), box->button(QMessageBox::No)->text()};
            box->button(QMessageBox::No)->click();
        });
        EXPECT_FALSE(form.FormCloseQuery());
        return texts;
    }

    QTranslator* translator_ = nullptr;
};

TEST_F(FrenchQtTexts, QtsOwnCatalogueSaysOuiAndNon) {
    EXPECT_EQ(CloseConfirmationButtons(), std::pair(QString("&Yes"), QString("&No")))
        << "Qt alone speaks English";
    translator_ = veliso::InstallFrenchQtTexts(*qApp);
    ASSERT_TRUE(translator_->filePath().endsWith("qtbase_fr.qm"))
        << "Qt's French catalogue comes with qt6-translations-l10n (scripts/setup-deps)";
    EXPECT_EQ(CloseConfirmationButtons(), std::pair(QString("&Oui"), QString("&Non")));
}

TEST_F(FrenchQtTexts, WithoutTheCatalogueTheProgramsOwnTextsStandIn) {
    const QTemporaryDir noTranslations;
    translator_ = veliso::InstallFrenchQtTexts(*qApp, noTranslations.path());
    EXPECT_TRUE(translator_->filePath().isEmpty());
    EXPECT_EQ(CloseConfirmationButtons(), std::pair(QString("&Oui"), QString("&Non")));
    QMessageBox box(QMessageBox::Critical, "Veliso", "?", QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "OK");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Annuler");
    // Texts of other contexts are left to whoever else translates them.
    EXPECT_EQ(QCoreApplication::translate("QMessageBox", "Show Details..."), "Show Details...");
}

}  // namespace
