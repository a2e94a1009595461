// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/form_mm.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <stdexcept>

#include "core/common/random_source.h"
#include "core/liquid/liquid_motion.h"
#include "core/solid/solid_structures.h"
#include "glview/frame_readback.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/fitted_text.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/liquid_panel.h"
#include "mainwindow/main_window_fixture.h"
#include "mainwindow/modal_answer.h"
#include "mainwindow/qt_app.h"
#include "mainwindow/solid_panel.h"
#include "mainwindow/view_actions.h"
#include "mainwindow/view_host.h"
#include "mainwindow/view_notice.h"
#include "support/image_match.h"
#include "support/stderr_capture.h"

namespace veliso {
namespace {

/// Stands in for the splash screen: closes itself as soon as its modal loop runs and
/// notes whether the main window was already on the screen by then.
class FakeSplash : public QDialog {
  public:
    explicit FakeSplash(TFormMM*& form) : form_(form) {}
    int shows = 0;
    bool mainWindowExposedDuringSplash = false;

  protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        ++shows;
        QWindow* w = form_ ? form_->windowHandle() : nullptr;
        mainWindowExposedDuringSplash = w && w->isExposed();
        QTimer::singleShot(0, this, &QDialog::accept);
    }

  private:
    TFormMM*& form_;
};

using testing::ModalAnswer;

class FormMMTest : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        splash = std::make_unique<FakeSplash>(form);
        form->SetAuxiliaryWindows(splash.get(), nullptr, nullptr);
        form->openUrl = [this](const QUrl& url) { opened.push_back(url); };
    }
    void StopTimers() {
        form->Timer1->stop();
        form->Timer2->stop();
    }

    std::unique_ptr<FakeSplash> splash;
    std::vector<QUrl> opened;
};

/// Tests that need the window system's keyboard focus: the main window activates itself
/// once the splash is gone, so a window of a test running beside them on the same X server
/// could take the focus from them. They run on an X server of their own.
class FormMMFocusTest : public FormMMTest {};

TEST_F(FormMMTest, StartsOnTheHighlightedSolidTabWithFiveTabsOfWhichThreeShow) {
    PageControl* pc = form->PageControl1;
    EXPECT_EQ(form->activeTab(), 0);
    ASSERT_EQ(pc->count(), 5);
    const char* captions[5] = {"ÉTAT SOLIDE", "ÉTAT LIQUIDE", "ÉTAT GAZEUX", "CINÉTIQUE CHIMIQUE",
                               "ÉQUILIBRE CHIMIQUE"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pc->tabText(i), QString::fromUtf8(captions[i]));
        EXPECT_EQ(pc->isTabVisible(i), i < 3);
        EXPECT_EQ(pc->isTabEnabled(i), i < 3);
        EXPECT_EQ(pc->isHighlighted(i), i == 0);
        if (i < 3) {
            EXPECT_EQ(pc->tabBar()->tabRect(i).size(), QSize(140, 22));
        }
    }
    EXPECT_TRUE(pc->tabBar()->font().bold());
    EXPECT_EQ(pc->tabBar()->font().family(), "Arial");
    EXPECT_EQ(form->TabSheet1->panel(), form->Pansol);
    EXPECT_EQ(form->TabSheet2->panel(), form->Panliq);
    EXPECT_EQ(form->TabSheet3->panel(), form->Pangaz);
    EXPECT_EQ(form->TabSheet4->panel(), nullptr);
}

TEST_F(FormMMTest, ConstructionGivesTheModelsTheirStartValues) {
    EXPECT_EQ(form->drag.mode, 0);
    const GasState& g = form->gas;
    EXPECT_FALSE(g.paused);
    EXPECT_FALSE(g.showSpeeds);
    EXPECT_FALSE(g.showCurve);
    EXPECT_EQ(g.temperature, 298.0);
    EXPECT_EQ(g.volumePercent, 100.0);
    EXPECT_EQ(g.halfEdge, 1.0);
    EXPECT_EQ(g.count, 100);
    EXPECT_EQ(g.mass, 5);
    EXPECT_EQ(g.wallHits, 0);
    EXPECT_EQ(g.radius, 0.02 * std::pow(5.0, 1.0 / 3.0));
    EXPECT_EQ(g.contactDistanceSq, 4 * g.radius * g.radius);
    EXPECT_EQ(form->detail.slices, 20);
    EXPECT_EQ(form->detail.stacks, 10);
    EXPECT_EQ(form->solid.view.angle, 20.0);
    EXPECT_EQ(form->solid.view.height, 1.5);
    EXPECT_EQ(form->liquid.view.angle, 40.0);
    EXPECT_EQ(form->gas.view.distance, 4.25);
    EXPECT_EQ(form->solid.amplitude, 0.0);
    EXPECT_EQ(form->liquid.temperature, 273.0);
    EXPECT_EQ(form->liquid.green, 0.6);
    // InitGas scattered the particles and gave them speeds; InitLiquid stacked the liquid.
    double gasSpeeds = 0;
    for (int p = 0; p < g.count; ++p) {
        gasSpeeds += std::abs(g.vx[p]) + std::abs(g.vy[p]) + std::abs(g.vz[p]);
    }
    EXPECT_GT(gasSpeeds, 0.0);
    EXPECT_NE(g.x[0], g.x[1]);
    EXPECT_EQ(form->liquid.count, 100);
    EXPECT_NE(form->liquid.y[0], form->liquid.y[99]);
    // The controls that take their positions from the records show the start values.
    const std::pair<const char*, int> liquidSliders[] = {{"TB_Vol_L", 100}, {"TB_t_L", 273},
                                                         {"TB_R_L", 0},     {"TB_V_L", 153},
                                                         {"TB_B_L", 255},   {"TB_face_L", 20}};
    for (const auto& [name, position] : liquidSliders) {
        EXPECT_EQ(testing::FindControl<QSlider>(form->Panliq, name)->value(), position) << name;
    }
}

TEST_F(FormMMTest, LayoutOfTheWindow) {
    EXPECT_EQ(form->windowTitle(), "Veliso ");
    EXPECT_EQ(form->size(), QSize(646, 525));
    EXPECT_EQ(form->font().family(), "Times New Roman");
    EXPECT_EQ(form->font().pointSize(), 8);
    EXPECT_EQ(form->PageControl1->geometry(), QRect(0, 0, 646, 504));
    EXPECT_EQ(form->StatusBar1->geometry(), QRect(0, 504, 646, 21));

    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    EXPECT_EQ(view->parentWidget(), form);
    EXPECT_EQ(view->cursor().shape(), Qt::SizeAllCursor);
    EXPECT_EQ(view->PFDFlags(), f_PFD_DRAW_TO_WINDOW | f_PFD_SUPPORT_OPENGL | f_PFD_DOUBLEBUFFER);
    EXPECT_TRUE(view->Font3D_Enabled());
    EXPECT_EQ(view->Font3D_Type().Name, "Arial");
    EXPECT_EQ(view->Font3D_Type().Height, -13);
    EXPECT_EQ(view->Font3D_Type().Styles, 0u);
    EXPECT_EQ(view->Font3D_MaxDeviation(), 1.0f);
    EXPECT_EQ(view->Font3D_Extrustion(), 0.01f);
    // In front of the page control, buttons in front of the status bar.
    const QObjectList& children = form->children();
    EXPECT_GT(children.indexOf(view), children.indexOf(form->PageControl1));
    EXPECT_GT(children.indexOf(form->Button1), children.indexOf(form->StatusBar1));

    EXPECT_EQ(form->Button1->text(), "INSTRUCTIONS");
    EXPECT_EQ(form->Button2->text(), QString::fromUtf8("À PROPOS DE"));
    EXPECT_EQ(form->Button1->geometry(), QRect(9, 507, 75, 16));
    EXPECT_EQ(form->Button2->geometry(), QRect(87, 507, 75, 16));

    const int widths[3] = {3, 163, 130};
    int x = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form->StatusBar1->panel(i)->geometry(), QRect(x, 0, widths[i], 21));
        x += widths[i];
    }
    EXPECT_EQ(form->StatusBar1->panel(3)->geometry(), QRect(296, 0, 350, 21));
    EXPECT_TRUE(form->StatusBar1->panel(3)->alignment() & Qt::AlignRight);
    EXPECT_EQ(form->StatusBar1->panelText(3), CreditText());
    EXPECT_TRUE(form->StatusBar1->panelText(2).isEmpty());

    EXPECT_EQ(form->Timer1->interval(), 25);
    EXPECT_EQ(form->Timer2->interval(), 1000);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_TRUE(form->Timer2->isActive());
}

/// True when every pixel of `label` shows in its window: no other widget lies over it, no
/// parent cuts it off, and it is wide enough for its whole text.
bool Seen(const QLabel* label) {
    if (!label->isVisible() || label->width() < label->sizeHint().width()) {
        return false;
    }
    const QWidget* window = label->window();
    for (int y = 0; y < label->height(); y += 2) {
        for (int x = 0; x < label->width(); x += 2) {
            const QWidget* top = window->childAt(label->mapTo(window, QPoint(x, y)));
            if (top != label && !label->isAncestorOf(top)) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(FormMMTest, WhatTheStatusBarSaysIsSeenBesideTheCredit) {
    Show();
    StopTimers();
    ViewHost& host = *form;
    QLabel* indicator = form->bench().indicator();
    const QLabel* credit = form->StatusBar1->panel(3);
    struct Case {
        const char* name;
        bool message;
        bool indicator;
        int width;
    };
    const Case cases[] = {
        {"a message", true, false, 646}, {"the automatic readings", false, true, 646},
        {"both", true, true, 646},       {"both, in a wide window", true, true, 1100},
        {"nothing", false, false, 646},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form->resize(c.width, 525);
        host.ShowStatus(c.message ? ViewActions::NoPictureText() : QString());
        indicator->setVisible(c.indicator);
        QApplication::processEvents();
        const QLabel* said = nullptr;
        for (const QLabel* label : form->StatusBar1->findChildren<QLabel*>()) {
            if (label->isVisible() && label->text() == ViewActions::NoPictureText()) {
                said = label;
            }
        }
        EXPECT_EQ(said != nullptr && Seen(said), c.message);
        EXPECT_EQ(Seen(indicator), c.indicator);
        // The credit keeps the room the notices leave, whole when they leave enough.
        const QString shown = credit->text();
        EXPECT_TRUE(shown == CreditText() || (shown.endsWith(QString::fromUtf8("…")) &&
                                              CreditText().startsWith(shown.chopped(1))))
            << shown.toStdString();
        EXPECT_EQ(shown == CreditText(), (!c.message && !c.indicator) || c.width > 1000);
        int used = credit->fontMetrics().horizontalAdvance(shown);
        for (const QLabel* notice : {said, static_cast<const QLabel*>(indicator)}) {
            if (notice != nullptr && notice->isVisible()) {
                used += notice->width();
            }
        }
        EXPECT_LE(used, credit->contentsRect().width());
    }
}

TEST_F(FormMMTest, ValueLabelsShowThePanelsBackground) {
    Show();
    StopTimers();
    struct Figure {
        int tab;
        QWidget* panel;
        const char* name;
    };
    const Figure figures[] = {
        {0, form->Pansol, "Lab_T_S"},  {1, form->Panliq, "Lab_V_L"},
        {2, form->Pangaz, "Lab_Pval"}, {2, form->Pangaz, "Lab_Vval"},
        {2, form->Pangaz, "Lab_Tval"}, {2, form->Pangaz, "Lab_Nbval"},
        {2, form->Pangaz, "Lab_Mval"},
    };
    for (const Figure& f : figures) {
        form->PageControl1->setCurrentIndex(f.tab);
        auto* label = f.panel->findChild<QLabel*>(f.name);
        ASSERT_NE(label, nullptr) << f.name;
        // The whole window, as it shows: the panel on its tab page.
        const QImage shot = form->grab().toImage();
        // The label's top row lies above its figure; the row above the label is the panel.
        const QPoint corner = label->mapTo(form, QPoint(0, 0));
        EXPECT_EQ(shot.pixelColor(corner), shot.pixelColor(corner - QPoint(0, 1))) << f.name;
    }
}

TEST_F(FormMMTest, InformationIconsOpenTheirPagesFromThePagesFolderOrSayWhyNot) {
    struct Icon {
        ClickableLabel* label;
        QWidget* panel;
        QPoint pos;
        const char* page;
    } icons[3] = {{form->Image_info, form->Pansol, {69, 378}, "_sol.htm"},
                  {form->Image_infoliq, form->Panliq, {128, 242}, "_liq.htm"},
                  {form->Image_infogaz, form->Pangaz, {128, 440}, "_gaz.htm"}};
    // The pages folder holds the solid and gas pages only; the working directory holds all
    // three and is never looked at.
    QTemporaryDir pages, cwd;
    for (const char* page : {"_sol.htm", "_gaz.htm"}) {
        QFile(pages.filePath(page)).open(QIODevice::WriteOnly);
    }
    for (const Icon& icon : icons) {
        QFile(cwd.filePath(icon.page)).open(QIODevice::WriteOnly);
    }
    const QString before = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    form->pagesFolder = pages.path();
    Show();
    for (int i = 0; i < 3; ++i) {
        const Icon& icon = icons[i];
        EXPECT_EQ(icon.label->parentWidget(), icon.panel);
        EXPECT_EQ(icon.label->geometry(), QRect(icon.pos, QSize(24, 24)));
        EXPECT_EQ(icon.label->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(icon.label->toolTip(), "Informations");
        form->PageControl1->setCurrentIndex(i);
        const size_t openedBefore = opened.size();
        ModalAnswer answer(QMessageBox::Ok);
        QTest::mouseClick(icon.label, Qt::LeftButton, {}, QPoint(12, 12));
        if (QString(icon.page) == "_liq.htm") {
            EXPECT_EQ(opened.size(), openedBefore);
            ASSERT_EQ(answer.answered(), 1u);
            EXPECT_EQ(answer.icon, QMessageBox::Warning);
            EXPECT_EQ(answer.text, QString::fromUtf8("La page d'information « _liq.htm » est "
                                                     "introuvable dans le dossier « %1 ».")
                                       .arg(QDir::toNativeSeparators(pages.path())));
            continue;
        }
        EXPECT_EQ(answer.answered(), 0u);
        ASSERT_EQ(opened.size(), openedBefore + 1);
        EXPECT_EQ(opened.back(), QUrl::fromLocalFile(QDir(pages.path()).filePath(icon.page)));
    }
    // No pages folder found at all: the message names where the installed pages belong.
    form->pagesFolder.clear();
    form->PageControl1->setCurrentIndex(0);
    ModalAnswer answer(QMessageBox::Ok);
    QTest::mouseClick(form->Image_info, Qt::LeftButton, {}, QPoint(12, 12));
    ASSERT_EQ(answer.answered(), 1u);
    EXPECT_TRUE(answer.text.startsWith("Les pages d'information sont introuvables"));
    EXPECT_TRUE(answer.text.contains(
        QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/veliso/pages")));
    QDir::setCurrent(before);
}

TEST_F(FormMMTest, HiddenTabsNeverBecomeCurrent) {
    StopTimers();
    PageControl* pc = form->PageControl1;
    int changes = 0;
    QObject::connect(pc, &PageControl::tabChanged, [&changes] { ++changes; });
    pc->setCurrentIndex(3);
    EXPECT_EQ(pc->currentIndex(), 0);
    static_cast<QTabWidget*>(pc)->setCurrentIndex(4);
    EXPECT_EQ(pc->currentIndex(), 0);
    pc->tabBar()->setCurrentIndex(3);
    EXPECT_EQ(pc->currentIndex(), 0);
    pc->setCurrentWidget(form->TabSheet5);
    EXPECT_EQ(pc->currentIndex(), 0);
    EXPECT_EQ(changes, 0);

    pc->setCurrentIndex(2);
    EXPECT_EQ(changes, 1);
    // A hidden tab has no place on the bar: a click right of the last visible tab hits none.
    Show();
    QTabBar* bar = pc->tabBar();
    const QRect last = bar->tabRect(2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(last.right() + 70, last.center().y()));
    EXPECT_EQ(pc->currentIndex(), 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(pc->currentIndex(), 1);
    EXPECT_EQ(changes, 2);
    // The keyboard skips them too.
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_LE(pc->currentIndex(), 2);
}

TEST_F(FormMMTest, TabChangeMovesTheHighlightAndNothingElse) {
    StopTimers();
    const double gasX = form->gas.x[5];
    const double liquidY = form->liquid.y[5];
    form->PageControl1->setCurrentIndex(2);
    EXPECT_TRUE(form->PageControl1->isHighlighted(2));
    EXPECT_FALSE(form->PageControl1->isHighlighted(0));
    EXPECT_FALSE(form->PageControl1->isHighlighted(1));
    form->PageControl1->setCurrentIndex(1);
    EXPECT_TRUE(form->PageControl1->isHighlighted(1));
    EXPECT_FALSE(form->PageControl1->isHighlighted(2));
    EXPECT_EQ(form->gas.x[5], gasX);
    EXPECT_EQ(form->liquid.y[5], liquidY);
    EXPECT_FALSE(form->gas.paused);
}

TEST_F(FormMMFocusTest, AfterATabChangeTheKeysGoToTheNewPagesFirstControl) {
    Show();
    StopTimers();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTabBar* bar = form->PageControl1->tabBar();
    const auto clickTab = [bar](int tab) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    };
    auto* solidTemperature = form->Pansol->findChild<QSlider*>("TB_t_S");
    auto* gasVolume = form->Pangaz->findChild<QSlider*>("TB_v");
    auto* gasBlue = form->Pangaz->findChild<QSlider*>("TB_B");
    auto* liquidVolume = form->Panliq->findChild<QSlider*>("TB_Vol_L");
    auto* liquidTemperature = form->Panliq->findChild<QSlider*>("TB_t_L");

    solidTemperature->setFocus(Qt::MouseFocusReason);
    clickTab(2);
    EXPECT_EQ(QApplication::focusWidget(), gasVolume);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(gasVolume->value(), 99);
    EXPECT_EQ(solidTemperature->value(), 0);

    // Not the control that had the focus when the page was last shown: the first one.
    gasBlue->setFocus(Qt::MouseFocusReason);
    clickTab(1);
    EXPECT_EQ(QApplication::focusWidget(), liquidVolume);
    clickTab(2);
    EXPECT_EQ(QApplication::focusWidget(), gasVolume);

    // A disabled control is passed over: a paused liquid's volume slider.
    form->Panliq->findChild<QPushButton*>("butpause")->click();
    clickTab(1);
    EXPECT_EQ(QApplication::focusWidget(), liquidTemperature);

    // Stepping through the tabs with the keyboard keeps the focus on the tabs.
    bar->setFocus(Qt::TabFocusReason);
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(form->activeTab(), 2);
    EXPECT_EQ(QApplication::focusWidget(), bar);
}

TEST_F(FormMMTest, FormResizeSizesTheViewAndMovesTheButtons) {
    Show();
    StopTimers();
    // 646 x 504 page control at the start size.
    EXPECT_EQ(form->OpenGLOrvPanel1->geometry(), QRect(168, 28, 473, 471));
    EXPECT_EQ(form->Button1->y(), 507);
    EXPECT_EQ(form->Button2->y(), 507);

    form->resize(800, 621);
    QTest::qWait(0);
    EXPECT_EQ(form->PageControl1->size(), QSize(800, 600));
    EXPECT_EQ(form->OpenGLOrvPanel1->geometry(), QRect(168, 28, 627, 567));
    EXPECT_EQ(form->Button1->pos(), QPoint(9, 603));
    EXPECT_EQ(form->Button2->pos(), QPoint(87, 603));
    EXPECT_EQ(form->StatusBar1->geometry(), QRect(0, 600, 800, 21));

    // Too small for the view: it shrinks to nothing and the program goes on drawing.
    form->resize(150, 40);
    QTest::qWait(0);
    EXPECT_EQ(form->OpenGLOrvPanel1->geometry(), QRect(168, 28, 0, 0));
    EXPECT_EQ(form->Button1->y(), 22);
    form->Timer1Timer();
    form->Timer2Timer();

    form->resize(646, 525);
    QTest::qWait(0);
    EXPECT_EQ(form->OpenGLOrvPanel1->geometry(), QRect(168, 28, 473, 471));
    form->Timer1Timer();
}

TEST_F(FormMMTest, TinyWindowSizesDrawNoFrameThatDoesNotFit) {
    Show();
    StopTimers();
    testing::StderrCapture capture;
    ASSERT_TRUE(capture.capturing());
    // Around every edge of the layout: nothing, the status panels' bounds (3, 166, 296), the
    // view's offsets (173 and 33) and the status bar's height.
    std::vector<int> widths;
    for (int from : {0, 160, 290}) {
        for (int w = from; w <= from + 20; ++w) {
            widths.push_back(w);
        }
    }
    for (int w : widths) {
        for (int h : {0, 1, 2, 10, 20, 21, 22, 33, 50, 54, 60}) {
            form->resize(w, h);
            form->grab();
        }
    }
    EXPECT_EQ(capture.FinishQuiet(), "");
    // The credit still keeps 4 pixels to the right edge inside its frame.
    form->resize(646, 525);
    QLabel* credit = form->StatusBar1->panel(3);
    EXPECT_EQ(credit->geometry(), QRect(296, 0, 350, 21));
    EXPECT_EQ(credit->indent(), 4);
}

TEST_F(FormMMTest, ClockTickWritesTheTimeAndOnTheGasTabTheWallHits) {
    StopTimers();
    auto* chocs = form->Pangaz->findChild<QLabel*>("Lab_Chocs");
    ASSERT_NE(chocs, nullptr);
    form->gas.wallHits = 37;
    form->Timer2Timer();
    EXPECT_EQ(form->gas.wallHits, 37);
    EXPECT_TRUE(chocs->text().isEmpty());
    const QString clock = form->StatusBar1->panelText(2);
    const QDateTime now = QDateTime::currentDateTime();
    // Date and time as the user's locale writes them (ClockText below).
    EXPECT_TRUE(clock == ClockText(now) || clock == ClockText(now.addSecs(-1)))
        << clock.toStdString();

    form->PageControl1->setCurrentIndex(2);
    form->Timer2Timer();
    EXPECT_EQ(chocs->text(), "37");
    EXPECT_EQ(form->gas.wallHits, 0);
    form->gas.wallHits = 5;
    form->PageControl1->setCurrentIndex(1);
    form->Timer2Timer();
    EXPECT_EQ(chocs->text(), "37");  // kept while the tab is hidden
    EXPECT_EQ(form->gas.wallHits, 5);
}

TEST_F(FormMMTest, ClockTextIsTheLocalesShortDateAndLongTimeWithoutTimeZone) {
    const QDateTime when(QDate(2026, 12, 6), QTime(16, 50, 17));
    EXPECT_EQ(ClockText(when, QLocale("fr_FR")), "06/12/2026 16:50:17");
    EXPECT_EQ(ClockText(when, QLocale("en_US")), "12/6/26 4:50:17 PM");
    // The zone field elsewhere in the format: first (Chinese), in parentheses (Spanish), next
    // to quoted text that must stay (Bulgarian "ч.").
    EXPECT_EQ(ClockText(when, QLocale("zh_CN")), "2026/12/6 16:50:17");
    EXPECT_EQ(ClockText(when, QLocale("es_ES")), "6/12/26 16:50:17");
    EXPECT_EQ(ClockText(when, QLocale("bg_BG")), QString::fromUtf8("6.12.26 г. 16:50:17 ч."));
}

TEST_F(FormMMTest, AnimationTickStepsTheGasOnlyOnTheGasTab) {
    StopTimers();
    const double x0 = form->gas.x[0];
    const double y0 = form->gas.y[0];
    form->Timer1Timer();
    EXPECT_EQ(form->gas.x[0], x0);
    EXPECT_EQ(form->gas.y[0], y0);
    form->PageControl1->setCurrentIndex(2);
    form->Timer1Timer();
    EXPECT_TRUE(form->gas.x[0] != x0 || form->gas.y[0] != y0);
    EXPECT_FALSE(form->gas.stepping);
}

TEST_F(FormMMTest, MouseDragMovesOnlyTheActiveTabsCamera) {
    StopTimers();
    form->PageControl1->setCurrentIndex(1);
    TOpenGLOrvPanel* v = form->OpenGLOrvPanel1;
    form->OpenGLOrvPanel1MouseDown(v, Qt::LeftButton, {}, 100, 100);
    form->OpenGLOrvPanel1MouseMove(v, {}, 200, 200);
    form->OpenGLOrvPanel1MouseUp(v, Qt::LeftButton, {}, 200, 200);
    EXPECT_EQ(form->liquid.view.angle, 50.0);
    EXPECT_EQ(form->liquid.view.height, 4.25);
    EXPECT_EQ(form->solid.view.angle, 20.0);
    EXPECT_EQ(form->solid.view.height, 1.5);
    EXPECT_EQ(form->gas.view.angle, 40.0);
    EXPECT_EQ(form->gas.view.height, 0.0);

    // Ctrl at the press: distance; Ctrl pressed only later: still turning.
    form->OpenGLOrvPanel1MouseDown(v, Qt::LeftButton, Qt::ControlModifier, 0, 100);
    form->OpenGLOrvPanel1MouseMove(v, {}, 50, 50);
    EXPECT_DOUBLE_EQ(form->liquid.view.distance, 3.75);
    form->OpenGLOrvPanel1MouseUp(v, Qt::RightButton, {}, 50, 50);
    form->OpenGLOrvPanel1MouseDown(v, Qt::LeftButton, {}, 0, 0);
    form->OpenGLOrvPanel1MouseMove(v, Qt::ControlModifier, 10, 0);
    EXPECT_DOUBLE_EQ(form->liquid.view.angle, 51.0);
    EXPECT_DOUBLE_EQ(form->liquid.view.distance, 3.75);
    form->OpenGLOrvPanel1MouseUp(v, Qt::LeftButton, {}, 10, 0);
    EXPECT_EQ(form->drag.mode, 0);
    form->OpenGLOrvPanel1MouseDown(v, Qt::RightButton, {}, 0, 0);
    EXPECT_EQ(form->drag.mode, 0);
}

TEST_F(FormMMTest, RealDragOnTheViewTurnsTheGasScene) {
    Show();
    StopTimers();
    form->PageControl1->setCurrentIndex(2);
    QWindow* surface = form->OpenGLOrvPanel1->glWindow();
    ASSERT_NE(surface, nullptr);
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(surface, QPoint(200, 100));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_EQ(form->gas.view.angle, 50.0);
    EXPECT_EQ(form->drag.mode, 0);
    EXPECT_EQ(form->solid.view.angle, 20.0);
}

TEST_F(FormMMFocusTest, FirstShowBringsUpTheSplashBeforeTheWindowAppears) {
    Show();
    EXPECT_EQ(splash->shows, 1);
    EXPECT_FALSE(splash->mainWindowExposedDuringSplash);
    // Once the splash is gone the keys go to the main window.
    EXPECT_TRUE(QTest::qWaitForWindowActive(form));
    form->hide();
    form->show();
    EXPECT_EQ(splash->shows, 1);
}

TEST_F(FormMMTest, ClosingAsksAndNoKeepsTheProgramRunning) {
    Show();
    const double angle = form->gas.view.angle;
    {
        ModalAnswer answer(QMessageBox::No);
        EXPECT_FALSE(form->close());
        EXPECT_EQ(answer.caption, "CONFIRMATION");
        EXPECT_EQ(answer.text, "Voulez-vous fermer l'application ?");
        EXPECT_EQ(answer.icon, QMessageBox::Question);
        EXPECT_EQ(answer.buttons, QMessageBox::Yes | QMessageBox::No);
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(terminations, 0);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->gas.view.angle, angle);
    {
        ModalAnswer answer(QMessageBox::Yes);
        EXPECT_TRUE(form->close());
    }
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(terminations, 1);
}

TEST_F(FormMMTest, ButtonsShowTheirWindowsModally) {
    StopTimers();
    QDialog instructions;
    QDialog about;
    form->SetAuxiliaryWindows(splash.get(), &instructions, &about);
    Show();
    for (auto [button, dialog] :
         {std::pair{form->Button1, &instructions}, std::pair{form->Button2, &about}}) {
        bool modal = false;
        QTimer::singleShot(0, [&modal, d = dialog] {
            modal = QApplication::activeModalWidget() == d;
            d->accept();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(modal);
        EXPECT_FALSE(dialog->isVisible());
    }
}

TEST_F(FormMMTest, TheThreeSmoothnessSlidersAlwaysAgree) {
    StopTimers();
    QSlider* sliders[3] = {form->Pansol->smoothnessSlider(), form->Panliq->smoothnessSlider(),
                           form->Pangaz->smoothnessSlider()};
    const int positions[3] = {9, 32, 21};
    for (int i = 0; i < 3; ++i) {
        sliders[i]->setValue(positions[i]);
        for (QSlider* s : sliders) {
            EXPECT_EQ(s->value(), positions[i]) << s->objectName().toStdString();
        }
        EXPECT_EQ(form->detail.slices, positions[i]);
        EXPECT_EQ(form->detail.stacks, positions[i] / 2);
    }
}

/// Pixels of `image` dark enough to be ink of a dark text on a light background.
int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return dark;
}

TEST_F(FormMMTest, ALargerFontNeverCutsAFigureOrATabCaption) {
    StopTimers();
    struct Restore {
        ~Restore() { qApp->setStyleSheet({}); }
    } restore;
    // The widest figures each panel shows, and the clock.
    for (QSlider* s : form->findChildren<QSlider*>()) {
        s->setValue(s->objectName() == "TB_v" ? s->minimum() : s->maximum());
    }
    form->Pangaz->ShowWallHits(88888);
    form->StatusBar1->setPanelText(2, ClockText(QDateTime(QDate(2026, 12, 28), QTime(23, 58, 58))));
    Show();
    QTabBar* bar = form->PageControl1->tabBar();
    int cutAtLarger = 0;                    // captions cut as drawn
    int fittedAtLargerFonts = 0;            // titles and figures drawn smaller or moved
    for (const int points : {0, 12, 16}) {  // 0: the panels' own fonts
        qApp->setStyleSheet(
            points == 0 ? QString() : QStringLiteral("QWidget { font-size: %1pt; }").arg(points));
        for (int tab = 0; tab < 3; ++tab) {
            form->PageControl1->setCurrentIndex(tab);
            const std::string at = std::to_string(points) + " pt, tab " + std::to_string(tab);
            const QRect caption = bar->tabRect(tab).adjusted(2, 2, -2, -2);
            EXPECT_TRUE(caption.contains(
                InkOf(bar->font(), bar->tabText(tab), caption.size(), Qt::AlignCenter)
                    .translated(caption.topLeft())))
                << at;
            EXPECT_GT(form->OpenGLOrvPanel1->y(), bar->geometry().bottom()) << at;
            // The default fonts show every text as it always was. A group's title lies above
            // its first control, drawn smaller where a larger font would reach it.
            for (FittedGroupBox* box : form->findChildren<FittedGroupBox*>()) {
                const std::string where = at + ", " + box->title().toStdString();
                const FittedText fit = box->fittedTitle();
                if (points == 0) {
                    EXPECT_TRUE(fit.asIs) << where;
                }
                const QRect room(QPoint(0, 0), box->titleRoom().size());
                const QRect ink =
                    InkOf(fit.font, box->title(), room.size(), Qt::AlignLeft | Qt::AlignTop);
                EXPECT_TRUE(ink.isNull() || room.contains(ink)) << where;
                fittedAtLargerFonts += !fit.asIs;
            }
            // Check box and radio captions are words, some cut at the panels' own fonts
            // already: a larger font draws one that it would cut smaller, whole or at those
            // fonts' 8 pt.
            for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
                auto* box = dynamic_cast<FittedCheckBox*>(button);
                auto* radio = dynamic_cast<FittedRadioButton*>(button);
                if ((box == nullptr && radio == nullptr) || !button->isVisibleTo(form)) {
                    continue;
                }
                const std::string where = at + ", " + button->objectName().toStdString();
                const FittedText fit =
                    box != nullptr ? box->fittedCaption() : radio->fittedCaption();
                if (points == 0) {
                    EXPECT_TRUE(fit.asIs) << where;
                }
                const QStyle* style = button->style();
                const int indicator =
                    box != nullptr ? style->pixelMetric(QStyle::PM_IndicatorWidth) +
                                         style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing)
                                   : style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                                         style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
                // The advance may pass the ink by a bearing.
                const int room =
                    std::min(button->width(), button->parentWidget()->width() - button->x()) -
                    indicator + 2;
                const bool cut = QFontMetrics(fit.font).horizontalAdvance(button->text()) > room;
                EXPECT_TRUE(fit.font.pointSizeF() == 8 || (!cut && fit.font.pointSizeF() > 8))
                    << where;
                cutAtLarger += points > 0 && cut;
            }
            for (FittedLabel* label : form->findChildren<FittedLabel*>()) {
                if (!label->isVisibleTo(form) ||
                    !label->text().contains(QRegularExpression("[0-9%]"))) {
                    continue;
                }
                const std::string where = at + ", " + label->objectName().toStdString();
                const FittedText fit = label->fitted();
                if (points == 0) {
                    EXPECT_TRUE(fit.asIs) << where;
                }
                fittedAtLargerFonts += !fit.asIs;
                EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry())) << where;
                // The figure drawn unclipped has no more ink than the label shows (but for the
                // shades of a different antialiasing).
                const QRect room = label->room().translated(fit.shift);
                const QPoint margin(room.height() * 4, room.height() * 4);
                QImage free(label->size() + 2 * QSize(margin.x(), margin.y()),
                            QImage::Format_RGB32);
                free.fill(Qt::white);
                QPainter painter(&free);
                painter.setFont(fit.font);
                painter.drawText(room.translated(margin),
                                 int(label->alignment()) | Qt::TextDontClip, label->text());
                painter.end();
                EXPECT_GE(DarkPixels(label->grab(label->contentsRect()).toImage()) * 100,
                          DarkPixels(free) * 97)
                    << where;
            }
        }
    }
    // The panels grow for the larger fonts: no caption is cut as drawn.
    EXPECT_EQ(cutAtLarger, 0);
    // The larger fonts do try the fitting of titles and figures, not only their plain drawing.
    EXPECT_GT(fittedAtLargerFonts, 0);
}

class FormMMGlTest : public FormMMTest {
  protected:
    void Light(GLenum what, GLfloat out[4]) {
        ASSERT_TRUE(form->OpenGLOrvPanel1->MakeCurrent());
        glGetLightfv(GL_LIGHT0, what, out);
    }
};

TEST_F(FormMMGlTest, TabChangeAppliesThatTabsLighting) {
    Show();
    StopTimers();
    ASSERT_TRUE(WaitForContext());
    GLfloat v[4];
    Light(GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], 0.1f);
    Light(GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[0], 0.4f);

    form->PageControl1->setCurrentIndex(2);
    Light(GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], 0.3f);
    Light(GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[2], 1.0f);
    GLfloat specular[4];
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(specular[0], 0.7f);
    EXPECT_FLOAT_EQ(specular[1], 1.0f);

    form->PageControl1->setCurrentIndex(1);
    Light(GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[1], 0.7f);
    // A refused change leaves the lighting alone.
    form->PageControl1->setCurrentIndex(3);
    Light(GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[1], 0.7f);
    // The light stays where the initialisation put it: fixed relative to the eye.
    Light(GL_POSITION, v);
    EXPECT_FLOAT_EQ(v[0], 10.0f);
    EXPECT_FLOAT_EQ(v[2], 1.0f);
}

TEST_F(FormMMGlTest, ViewFailuresReachTheUser) {
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    Show();
    ASSERT_TRUE(WaitForContext());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->glWindow()));
    // A binding refused after creation keeps the context but stops the drawing: the notice
    // says why, over the GL surface, until the view draws again.
    emit view->errorReported(QStringLiteral("wglMakeCurrent:refused."));
    ASSERT_NE(form->viewNotice(), nullptr);
    EXPECT_TRUE(form->viewNotice()->isVisible());
    EXPECT_EQ(form->viewNotice()->reasons(), QStringList({"wglMakeCurrent:refused."}));
    view->Repaint();
    EXPECT_FALSE(form->viewNotice()->isVisible());
    // A drawing that throws comes to the exception box, once the paint has returned.
    ModalAnswer answer(QMessageBox::Ok);
    const auto paint = view->OnPaint;
    view->OnPaint = [](TOpenGLOrvPanel*) { throw std::runtime_error("scene failed"); };
    view->Repaint();
    view->OnPaint = paint;
    EXPECT_EQ(answer.answered(), 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.answered() == 1; }));
    EXPECT_EQ(answer.text, "scene failed");
}

TEST_F(FormMMGlTest, ADrawingThatAlwaysFailsIsShownOnceUntilTheUserActsAndTheProgramCloses) {
    // A scene that throws at every paint, as the animation's ticks and the window's exposes
    // run it.
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    int attempts = 0;
    view->OnPaint = [&attempts](TOpenGLOrvPanel*) {
        ++attempts;
        throw std::runtime_error("Dessin impossible");
    };
    // Answers every box at once, as a user would: OK to the error, Yes to the closing question.
    QStringList errors;
    QStringList questions;
    QTimer answering;
    answering.setInterval(5);
    QObject::connect(&answering, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        const bool error = box->icon() == QMessageBox::Critical;
        (error ? errors : questions).append(box->text());
        box->button(error ? QMessageBox::Ok : QMessageBox::Yes)->click();
    });
    answering.start();
    const auto keepTrying = [&] {
        const int before = attempts;
        return QTest::qWaitFor([&] { return attempts >= before + 20; });
    };

    Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }));
    ASSERT_TRUE(keepTrying());
    EXPECT_EQ(errors.join('|').toStdString(), "Dessin impossible");
    // Once the user did something, the failure is news again: one more box.
    QTest::keyClick(form, Qt::Key_Shift);
    ASSERT_TRUE(keepTrying());
    EXPECT_EQ(errors.join('|').toStdString(), "Dessin impossible|Dessin impossible");
    // The close button brings the question, and Yes ends the program.
    form->close();
    EXPECT_EQ(questions.join('|').toStdString(), "Voulez-vous fermer l'application ?");
    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(errors.size(), 2);
}

TEST_F(FormMMGlTest, ViewResizeSetsTheViewport) {
    Show();
    StopTimers();
    ASSERT_TRUE(WaitForContext());
    form->resize(700, 600);
    QTest::qWait(0);
    ASSERT_TRUE(form->OpenGLOrvPanel1->MakeCurrent());
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 700 - 173);
    EXPECT_EQ(viewport[3], 600 - 21 - 33);
}

// The model moves once per paint as the program runs: every repaint, an exposure's too,
// steps the liquid and draws the solid's vibration. Tied to the ticks (as a capture ties
// it), it moves once per tick and never between ticks, whether the view could paint or not.
TEST_F(FormMMGlTest, TheModelMovesOncePerPaintOrTiedOncePerTick) {
    Show();
    StopTimers();
    ASSERT_TRUE(WaitForContext());
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->glWindow()));
    form->findChild<QSlider*>("TB_t_S")->setValue(150);  // a solid that vibrates
    int paints = 0;
    const auto paint = view->OnPaint;
    view->OnPaint = [&paints, paint](TOpenGLOrvPanel* sender) {
        ++paints;
        paint(sender);
    };
    const auto expose = [view, &paints] {
        // The window system takes the view off the screen and exposes it again. The view
        // may still read as exposed until the window system's events arrive: wait for the
        // exposure's paint itself.
        view->hide();
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->glWindow()));
        ASSERT_TRUE(QTest::qWaitFor([&paints] { return paints > 0; }));
        QCoreApplication::processEvents();
    };
    const auto offScreenTick = [this, view] {
        view->hide();
        form->Timer1Timer();
        view->show();
    };
    struct Action {
        const char* what;
        std::function<void()> run;
        int ticks;
    };
    const Action actions[] = {
        {"exposure", expose, 0},
        {"tick", [this] { form->Timer1Timer(); }, 1},
        {"tick off screen", offScreenTick, 1},
        {"exposure", expose, 0},
    };
    for (bool tied : {false, true}) {
        if (tied) {
            static_cast<ViewHost&>(*form).TieModelToTicks();
        }
        for (int tab : {0, 1}) {
            form->PageControl1->setCurrentIndex(tab);
            for (const Action& action : actions) {
                SCOPED_TRACE(::testing::Message()
                             << action.what << (tied ? ", tied" : "") << " on tab " << tab);
                LiquidState liquid = form->liquid;
                RandomSource random = SharedRandom();
                paints = 0;
                action.run();
                // As the program runs, the paints move it: none off screen, one or more
                // per exposure (X11 may send several).
                const int frames = tied ? action.ticks : paints;
                if (!tied && action.ticks == 0) {
                    EXPECT_GE(paints, 1);
                }
                for (int i = 0; i < frames; ++i) {
                    if (tab == 0) {
                        DrawSolidVibration(form->solid, random);
                    } else {
                        AdvanceLiquidFrame(liquid);
                    }
                }
                EXPECT_EQ(form->liquid, liquid);
                EXPECT_EQ(SharedRandom().low(), random.low());
                EXPECT_EQ(SharedRandom().high(), random.high());
                ASSERT_TRUE(QTest::qWaitForWindowExposed(view->glWindow()));
                QCoreApplication::processEvents();
            }
        }
    }
    view->OnPaint = paint;
}

// ---------------------------------------------------------------------------------------
// No OpenGL at all. ctest runs this as "mainwindow_without_opengl", with Qt's X11 GL
// integration switched off (QT_XCB_GL_INTEGRATION=none), as on a display or a driver that
// offers no OpenGL.

class FormMMWithoutOpenGL : public FormMMTest {
  protected:
    void SetUp() override {
        if (qEnvironmentVariable("QT_XCB_GL_INTEGRATION") != QLatin1String("none")) {
            GTEST_SKIP() << "needs OpenGL switched off (ctest test mainwindow_without_opengl)";
        }
        FormMMTest::SetUp();
    }
};

TEST_F(FormMMWithoutOpenGL, TheViewSaysSoInFrenchOnceAndTheRestOfTheWindowWorks) {
    int paints = 0;
    const auto paint = form->OpenGLOrvPanel1->OnPaint;
    form->OpenGLOrvPanel1->OnPaint = [&](TOpenGLOrvPanel* sender) {
        ++paints;
        paint(sender);
    };
    testing::StderrCapture standardError;
    Show();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return form->viewNotice() != nullptr && form->viewNotice()->isVisible(); }));
    // Qt's own line about the missing GL integration, and nothing else.
    const std::string written = standardError.Finish();
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << written;

    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    ViewNotice* notice = form->viewNotice();
    EXPECT_FALSE(view->contextReady());
    EXPECT_FALSE(view->glWindow()->isVisible());
    EXPECT_EQ(notice->parentWidget(), view);
    EXPECT_EQ(notice->geometry(), view->rect());
    const QString text = notice->text();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Affichage 3D indisponible")))
        << text.toStdString();
    ASSERT_EQ(notice->reasons().size(), 2) << text.toStdString();
    EXPECT_TRUE(notice->reasons()[0].startsWith("wglRenderingContext:"));
    EXPECT_GT(notice->reasons()[0].size(), QString("wglRenderingContext:").size())
        << "with the platform's reason";
    EXPECT_EQ(notice->reasons()[1], "Open GL Context Create Failed");
    // The cause in French with what to do, then the platform's words on lines of their own,
    // without the names of the functions that failed.
    EXPECT_TRUE(text.contains(ViewNotice::Cause())) << text.toStdString();
    const QStringList lines = text.split('\n');
    const QString platformWords = ViewNotice::TechnicalText(notice->reasons()[0]);
    EXPECT_FALSE(platformWords.isEmpty());
    EXPECT_TRUE(lines.contains(platformWords)) << text.toStdString();
    EXPECT_TRUE(lines.contains(notice->reasons()[1])) << text.toStdString();
    EXPECT_FALSE(text.contains("wglRenderingContext")) << text.toStdString();
    EXPECT_FALSE(text.contains("QXcbIntegration")) << text.toStdString();

    // The view's menu opens from the notice, its picture items disabled and saying why; the
    // picture keys say it in the status bar.
    ViewActions* actions = form->viewActions();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(10, 10),
                                 notice->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(notice, &rightClick);
    ASSERT_TRUE(QTest::qWaitFor([&] { return actions->menu()->isVisible(); }));
    for (QAction* picture : {actions->copyAction(), actions->saveAction()}) {
        EXPECT_FALSE(picture->isEnabled());
        EXPECT_TRUE(picture->text().endsWith("(3D indisponible)")) << picture->text().toStdString();
    }
    actions->menu()->hide();
    for (Qt::Key key : {Qt::Key_C, Qt::Key_S}) {
        form->StatusBar1->ShowMessage(QString());
        QApplication::setActiveWindow(form);
        QTest::keyClick(form, key, Qt::ControlModifier);
        EXPECT_EQ(form->StatusBar1->message(), ViewActions::NoPictureText()) << key;
    }

    // The timers run on: the gas steps on its tab, the clock ticks; the view is neither
    // painted nor tried again.
    form->PageControl1->setCurrentIndex(2);
    EXPECT_TRUE(form->PageControl1->isHighlighted(2));
    const double x = form->gas.x[0];
    form->Pangaz->findChild<QSlider*>("TB_t")->setValue(400);
    EXPECT_EQ(form->gas.temperature, 400.0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->gas.x[0] != x; }));
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return !form->StatusBar1->panelText(2).isEmpty(); }, 2500));
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(notice->reasons().size(), 2);

    form->resize(760, 580);
    QTest::qWait(0);
    EXPECT_EQ(notice->geometry(), view->rect()) << "the notice fills the view at every size";
    {
        ModalAnswer answer(QMessageBox::No);
        EXPECT_FALSE(form->close());
    }
    EXPECT_TRUE(form->isVisible());
}

// ---------------------------------------------------------------------------------------
// High DPI. ctest runs these as "mainwindow_scale_2" and "mainwindow_scale_1_5"
// (QT_SCALE_FACTOR 2 and 1.5), each on an X server of its own: they compare the screen with
// the frame, which a window of a test running beside them could cover.

class FormMMHighDpi : public FormMMTest {
  protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("VELISO_PRIVATE_DISPLAY")) {
            GTEST_SKIP() << "reads the screen: needs a display of its own (ctest tests "
                            "mainwindow_scale_2 and mainwindow_scale_1_5)";
        }
        FormMMTest::SetUp();
    }
};

TEST_F(FormMMHighDpi, ViewFillsItsAreaInDevicePixelsAndItsCaptionsAreDrawnAtThatResolution) {
    form->resize(560, 460);
    Show();
    StopTimers();
    ASSERT_TRUE(WaitForContext());
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->glWindow()));
    const double scale = view->devicePixelRatioF();
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        EXPECT_DOUBLE_EQ(scale, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
    // The gas tab with its three graphs and their captions.
    form->PageControl1->setCurrentIndex(2);
    for (const char* name : {"CB_MB", "CB_stat", "CB_Vitesse"}) {
        form->Pangaz->findChild<QCheckBox*>(name)->setChecked(true);
    }
    QImage frame;
    GLint viewport[4] = {0, 0, 0, 0};
    const auto paint = view->OnPaint;
    view->OnPaint = [&](TOpenGLOrvPanel* sender) {
        paint(sender);
        glGetIntegerv(GL_VIEWPORT, viewport);
        frame = ReadDrawBuffer(sender->ClientWidth(), sender->ClientHeight())
                    .convertToFormat(QImage::Format_RGB32);
    };
    view->Repaint();
    const QSize device(qRound(view->width() * scale), qRound(view->height() * scale));
    ASSERT_EQ(frame.size(), device);
    EXPECT_EQ(QSize(viewport[2], viewport[3]), device);

    // The scene is centred in the frame and spans it: a viewport in logical pixels would
    // leave it in a corner.
    const QRgb background = frame.pixel(1, 1);
    QRect drawn;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (testing::ChannelDistance(frame.pixel(x, y), background) > 8) {
                drawn |= QRect(x, y, 1, 1);
            }
        }
    }
    EXPECT_NEAR(drawn.center().x(), device.width() / 2, device.width() / 20);
    EXPECT_NEAR(drawn.center().y(), device.height() / 2, device.height() / 10);
    EXPECT_GT(drawn.width(), device.width() / 2);

    // What the display shows is that frame, pixel for pixel: nothing scales it on the way.
    const QImage shown = QGuiApplication::primaryScreen()
                             ->grabWindow(view->glWindow()->winId())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), device);
    EXPECT_LE(testing::DifferingShare(shown, frame, {}, 2), 0.001);

    // At a whole scale a frame drawn small and enlarged would change colour only between
    // blocks of scale × scale pixels; drawn at full resolution, edges fall on every column.
    if (scale >= 2 && scale == std::floor(scale)) {
        const int block = static_cast<int>(scale);
        long onBlockEdges = 0;
        long inside = 0;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x + 1 < frame.width(); ++x) {
                if (testing::ChannelDistance(frame.pixel(x, y), frame.pixel(x + 1, y)) > 16) {
                    ((x + 1) % block == 0 ? onBlockEdges : inside) += 1;
                }
            }
        }
        EXPECT_GT(inside, (onBlockEdges + inside) / 4) << onBlockEdges << " " << inside;
    }
}

// ---------------------------------------------------------------------------------------
// A move to a screen of another scale. ctest runs this as "mainwindow_screen_change" on Qt's
// offscreen platform with two screens side by side at scales 1 and 2 (two_screens.json,
// written by tests/CMakeLists.txt), where the view draws into its own target.

class FormMMScreenChange : public FormMMTest {
  protected:
    void SetUp() override {
        FormMMTest::SetUp();
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (screens.size() < 2 ||
            screens[0]->devicePixelRatio() == screens[1]->devicePixelRatio()) {
            GTEST_SKIP() << "needs two screens of different scales (ctest test "
                            "mainwindow_screen_change)";
        }
    }
};

// The window keeps its logical size from one screen to the other, so nothing resizes it; the
// view's size in device pixels changes all the same, and the next frame fills it.
TEST_F(FormMMScreenChange, TheViewFillsItsAreaOnEveryScreen) {
    Show();
    StopTimers();
    ASSERT_TRUE(WaitForContext());
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    QSize drawnIn;
    int paints = 0;
    const auto paint = view->OnPaint;
    view->OnPaint = [&](TOpenGLOrvPanel* sender) {
        paint(sender);
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        drawnIn = QSize(viewport[2], viewport[3]);
        ++paints;
    };
    form->Timer1Timer();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : {screens[1], screens[0], screens[1]}) {
        SCOPED_TRACE(screen->name().toStdString());
        form->move(screen->geometry().topLeft() + QPoint(40, 40));
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->screen() == screen; }));
        QCoreApplication::processEvents();
        paints = 0;
        form->Timer1Timer();  // the solid at rest: drawn only when the frame rule sees a change
        const QSize device = view->size() * screen->devicePixelRatio();
        ASSERT_EQ(QSize(view->ClientWidth(), view->ClientHeight()), device);
        EXPECT_GE(paints, 1) << "the frame on screen was drawn at the other scale";
        EXPECT_EQ(drawnIn, device);
        QImage frame;
        view->RequestFrame([&frame](const FrameAnswer& answer) { frame = answer.frame; });
        form->Timer1Timer();
        EXPECT_EQ(frame.size(), device);
    }
    view->OnPaint = paint;
}

}  // namespace
}  // namespace veliso
