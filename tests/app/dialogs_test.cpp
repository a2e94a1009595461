// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/about_box.h"
#include "app/instructions.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/qt_app.h"

namespace {

QColor TextColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

void ExpectArial(const QLabel* label, int points, bool bold) {
    EXPECT_EQ(label->font().family(), "Arial") << label->objectName().toStdString();
    EXPECT_EQ(label->font().pointSize(), points) << label->objectName().toStdString();
    EXPECT_EQ(label->font().bold(), bold) << label->objectName().toStdString();
}

// Shows `dialog` modally, presses Enter once it is up, and returns the result.
int ExecAndPressEnter(QDialog& dialog) {
    QTimer::singleShot(0, &dialog, [&dialog] {
        QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, Qt::Key_Return);
    });
    return dialog.exec();
}

class DialogsTest : public ::testing::Test {
  protected:
    void SetUp() override { veliso::testing::TestApplication(); }
};

TEST_F(DialogsTest, InstructionsLayoutAndTexts) {
    TForminst inst;
    EXPECT_EQ(inst.windowTitle(), "INSTRUCTIONS");
    EXPECT_EQ(inst.size(), QSize(464, 296));
    EXPECT_EQ(inst.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(inst.minimumSize(), inst.maximumSize());
    EXPECT_EQ(inst.palette().color(QPalette::Window), QColor(190, 136, 86));
    EXPECT_FALSE(inst.windowIcon().isNull());
    EXPECT_EQ(inst.Panel1->geometry(), QRect(4, 4, 456, 289));

    EXPECT_EQ(
        inst.Label1->text(),
        QString::fromUtf8("LE  BOUTON  GAUCHE  DE  LA  SOURIS COMMANDE TOUS LES DÉPLACEMENTS"));
    EXPECT_EQ(inst.Label1->pos(), QPoint(23, 22));
    ExpectArial(inst.Label1, 8, true);
    EXPECT_EQ(TextColour(inst.Label1), QColor(16, 64, 128));
    EXPECT_EQ(inst.Label2->text(),
              QString::fromUtf8(
                  "Cliquer-glisser vers la gauche ou vers la droite  =  Rotation verticale"));
    EXPECT_EQ(inst.Label2->pos(), QPoint(119, 52));
    EXPECT_EQ(inst.Label3->text(),
              "Cliquer-glisser vers le haut ou vers le bas = Hauteur du point de vue");
    EXPECT_EQ(inst.Label3->pos(), QPoint(119, 75));
    EXPECT_EQ(inst.Label4->text(),
              "CTRL en cliquant-glissant vers le haut ou vers le bas  = Translation");
    EXPECT_EQ(inst.Label4->pos(), QPoint(120, 99));
    for (const QLabel* l : {inst.Label2, inst.Label3, inst.Label4}) {
        ExpectArial(l, 8, false);
        EXPECT_EQ(TextColour(l), QColor(80, 80, 80));
    }
    EXPECT_EQ(inst.Label5->text(),
              QString::fromUtf8("Remarque : le regard de l'observateur est "
                                "dirigé en permanence vers le centre de l'objet"));
    EXPECT_EQ(inst.Label5->pos(), QPoint(24, 140));
    EXPECT_EQ(TextColour(inst.Label5), QColor(Qt::black));
    EXPECT_EQ(inst.Image1->geometry(), QRect(24, 64, 65, 57));
    EXPECT_EQ(inst.Image1->pixmap().size(), QSize(54, 44));
    for (auto [name, rect] :
         {std::pair{"Shape2", QRect(100, 55, 11, 10)}, std::pair{"Shape3", QRect(100, 77, 11, 10)},
          std::pair{"Shape4", QRect(100, 102, 11, 10)},
          std::pair{"Shape1", QRect(98, 127, 264, 1)}}) {
        QWidget* shape = inst.Panel1->findChild<QWidget*>(name);
        ASSERT_NE(shape, nullptr) << name;
        EXPECT_EQ(shape->geometry(), rect) << name;
    }
    EXPECT_EQ(inst.OKButton->text(), "&Fermer");
    EXPECT_EQ(inst.OKButton->geometry(), QRect(179, 244, 103, 29));
    EXPECT_TRUE(inst.OKButton->isDefault());
}

TEST_F(DialogsTest, InstructionTextsStayClearOfThePanelsBevel) {
    TForminst inst;
    const QImage shot = inst.Panel1->grab().toImage();
    // The panel's bevels show in its last three columns; two white columns stay before them.
    const int bevel = inst.Panel1->width() - 3;
    for (const QLabel* l : {inst.Label1, inst.Label2, inst.Label3, inst.Label4, inst.Label5,
                            inst.Label6, inst.Label7, inst.Label8, inst.Label9}) {
        const std::string name = l->objectName().toStdString();
        EXPECT_LE(l->geometry().right(), bevel - 3) << name;
        EXPECT_LE(l->fontMetrics().boundingRect(l->text()).right(), l->width() - 1) << name;
        for (int y = l->y(); y <= l->geometry().bottom(); ++y) {
            for (int x : {bevel - 2, bevel - 1}) {
                EXPECT_EQ(shot.pixelColor(x, y), QColor(Qt::white)) << name << " " << x << "," << y;
            }
        }
    }
}

TEST_F(DialogsTest, AboutBoxLayoutAndTexts) {
    TAboutBox about;
    EXPECT_EQ(about.windowTitle(), QString::fromUtf8("À Propos de Veliso"));
    EXPECT_EQ(about.size(), QSize(295, 196));
    EXPECT_EQ(about.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(190, 136, 86));
    EXPECT_EQ(about.Panel1->geometry(), QRect(4, 3, 287, 190));
    EXPECT_EQ(about.Image1->geometry(), QRect(33, 16, 33, 33));
    EXPECT_FALSE(about.Image1->pixmap().isNull());
    EXPECT_EQ(about.ProductName->text(), "Veliso   -");
    EXPECT_EQ(about.ProductName->geometry(), QRect(80, 15, 194, 38));
    EXPECT_TRUE(about.ProductName->wordWrap());
    ExpectArial(about.ProductName, 11, true);
    EXPECT_EQ(about.Version->text(), "Version 1.2");
    EXPECT_EQ(about.Version->pos(), QPoint(201, 35));
    EXPECT_EQ(TextColour(about.Version), QColor(16, 64, 128));
    EXPECT_EQ(about.Credit->pos(), QPoint(34, 63));
    EXPECT_EQ(TextColour(about.Credit), QColor(80, 80, 80));
    EXPECT_EQ(about.mail->pos(), QPoint(163, 62));
    EXPECT_EQ(about.mail->text(), TAboutBox::ContactAddress());
    EXPECT_TRUE(about.mail->font().underline());
    EXPECT_EQ(TextColour(about.mail), QColor(21, 96, 192));
    EXPECT_EQ(about.mail->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(about.mail->toolTip(), QString::fromUtf8("Pour m' écrire ..."));
    EXPECT_EQ(TAboutBox::MailLink(), "mailto:" + TAboutBox::ContactAddress() + "?subject=Veliso");
    EXPECT_EQ(about.Label1->pos(), QPoint(33, 86));
    EXPECT_EQ(about.Label1->width(), 229);
    // At least as high as laid out, and high enough for the whole text, above the button.
    EXPECT_GE(about.Label1->height(), 42);
    EXPECT_GE(about.Label1->height(), about.Label1->heightForWidth(229));
    EXPECT_LE(about.Label1->geometry().bottom() + about.Panel1->y(), about.OKButton->y());
    EXPECT_TRUE(about.Label1->wordWrap());
    EXPECT_TRUE(about.Label1->text().startsWith("Configuration minimale :  Processeur  600  MHz"));
    // The licence, on one whole line between the configuration text and the button.
    EXPECT_EQ(about.Licence->text(),
              QString::fromUtf8("Logiciel libre : licence GNU GPL 3 ou ultérieure"));
    EXPECT_EQ(about.Licence->x(), 33);
    EXPECT_GT(about.Licence->y(), about.Label1->geometry().bottom());
    EXPECT_LT(about.Licence->geometry().bottom() + about.Panel1->y(), about.OKButton->y());
    EXPECT_LE(about.Licence->geometry().right(), about.Panel1->width());
    EXPECT_EQ(about.OKButton->parentWidget(), &about);
    EXPECT_EQ(about.OKButton->geometry(), QRect(96, 152, 103, 29));
    EXPECT_TRUE(about.OKButton->isDefault());
    EXPECT_EQ(about.OKButton->text(), "&Fermer");
    // The button lies in front of the panel.
    EXPECT_GT(about.children().indexOf(about.OKButton), about.children().indexOf(about.Panel1));
}

TEST_F(DialogsTest, AboutBoxShowsEveryTextWholeAtALargerFont) {
    struct Restore {
        ~Restore() { qApp->setStyleSheet({}); }
    } restore;
    for (const int points : {0, 16}) {  // 0: the fonts the box was made for
        SCOPED_TRACE(points);
        qApp->setStyleSheet(
            points == 0 ? QString() : QStringLiteral("QWidget { font-size: %1pt; }").arg(points));
        TAboutBox about;
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        if (points == 0) {
            EXPECT_EQ(about.size(), QSize(295, 196));
            EXPECT_EQ(about.mail->pos(), QPoint(163, 62));
            EXPECT_EQ(about.Label1->pos(), QPoint(33, 86));
            EXPECT_EQ(about.OKButton->geometry(), QRect(96, 152, 103, 29));
        }
        // No text runs into another, and the button covers none.
        const QList<QLabel*> texts = {about.Credit, about.mail, about.Label1, about.Licence};
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QRect box = texts[i]->geometry().translated(about.Panel1->pos());
            EXPECT_TRUE(about.rect().contains(box)) << texts[i]->objectName().toStdString();
            EXPECT_FALSE(box.intersects(about.OKButton->geometry()))
                << texts[i]->objectName().toStdString();
            for (qsizetype j = i + 1; j < texts.size(); ++j) {
                EXPECT_FALSE(texts[i]->geometry().intersects(texts[j]->geometry()))
                    << texts[i]->objectName().toStdString() << " "
                    << texts[j]->objectName().toStdString();
            }
        }
        EXPECT_GE(about.Label1->height(), about.Label1->heightForWidth(about.Label1->width()));
    }
}

TEST_F(DialogsTest, EnterClosesWithOkAndTheWindowsOpenAgainUnchanged) {
    TForminst inst;
    TAboutBox about;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(ExecAndPressEnter(inst), QDialog::Accepted);
        EXPECT_FALSE(inst.isVisible());
        EXPECT_EQ(inst.Label3->text(),
                  "Cliquer-glisser vers le haut ou vers le bas = Hauteur du point de vue");
        EXPECT_EQ(ExecAndPressEnter(about), QDialog::Accepted);
        EXPECT_FALSE(about.isVisible());
    }
}

}  // namespace
