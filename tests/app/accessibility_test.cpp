// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// Every window and every tab as a screen reader finds them through QAccessible.

#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

#include <map>
#include <string>

#include "app/about_box.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "core/common/scene_description.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/main_window_fixture.h"
#include "mainwindow/measurements_window.h"
#include "mainwindow/view_actions.h"
#include "mainwindow/view_speech.h"

namespace veliso {
namespace {

std::string Str(const QString& text) {
    return text.toStdString();
}

/// The controls a keyboard user can reach in `window` as it shows now.
std::vector<QWidget*> FocusableControls(QWidget* window) {
    std::vector<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() == window && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            w->isEnabled() && w->isVisibleTo(window) && w->focusProxy() == nullptr) {
            controls.push_back(w);
        }
    }
    return controls;
}

/// A window as it shows now: every control has a name of its own and sits in no frame but
/// its window; a slider's value carries its unit; every picture is named; Tab leaves every
/// control. `where` names the window and tab in failures.
void CheckWindow(QWidget* window, const std::string& where) {
    window->activateWindow();
    // As far as the display activates windows at all: the checks below need no focus from it.
    static_cast<void>(QTest::qWaitForWindowActive(window));
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(top, nullptr) << where;
    EXPECT_FALSE(top->text(QAccessible::Name).trimmed().isEmpty()) << where;

    std::map<QString, QString> names;
    const std::vector<QWidget*> controls = FocusableControls(window);
    for (QWidget* w : controls) {
        const std::string what =
            where + " / " + Str(w->objectName()) + " (" + w->metaObject()->className() + ")";
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(iface, nullptr) << what;
        const QString name = iface->text(QAccessible::Name).simplified();
        EXPECT_FALSE(name.isEmpty()) << what;
        if (!name.isEmpty()) {
            const auto [it, fresh] = names.emplace(name, w->objectName());
            EXPECT_TRUE(fresh) << what << " is named \"" << Str(name) << "\" like "
                               << Str(it->second);
        }
        if (qobject_cast<QAbstractSlider*>(w) != nullptr) {
            // Read as the text of a spin button, which is what a screen reader says.
            EXPECT_EQ(iface->role(), QAccessible::SpinBox) << what;
            ASSERT_NE(iface->textInterface(), nullptr) << what;
            EXPECT_EQ(iface->textInterface()->text(0, -1), iface->text(QAccessible::Value)) << what;
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            // Its name is its choice: a screen reader says its label, which must say the
            // choice too, or the choice goes unsaid.
            const auto labels = iface->relations(QAccessible::Label);
            ASSERT_EQ(labels.size(), 1) << what;
            EXPECT_TRUE(labels.first()
                            .first->text(QAccessible::Name)
                            .endsWith(QStringLiteral(" : ") + combo->currentText()))
                << what;
        }
        for (QAccessibleInterface* p = iface->parent(); p != nullptr && p != top; p = p->parent()) {
            EXPECT_NE(p->role(), QAccessible::Window) << what << " lies in a frame";
            EXPECT_NE(p->role(), QAccessible::Border) << what << " lies in a frame";
        }

        // Tab leaves the control, where there is another to go to: a table with rows moves
        // between its cells with the arrows, not with Tab.
        w->setFocus(Qt::TabFocusReason);
        if (controls.size() < 2 || window->focusWidget() != w) {
            continue;
        }
        QTest::keyClick(w, Qt::Key_Tab);
        EXPECT_NE(window->focusWidget(), w) << what << " keeps the Tab key";
    }

    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisibleTo(window) && !label->pixmap().isNull()) {
            EXPECT_FALSE(QAccessible::queryAccessibleInterface(label)
                             ->text(QAccessible::Name)
                             .trimmed()
                             .isEmpty())
                << where << " / picture " << Str(label->objectName());
        }
    }
}

class Accessibility : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);  // the settings of the view's menu
        testing::MainWindowTest::SetUp();
        InstallAccessibility();
    }
};

TEST_F(Accessibility, EveryWindowAndTab) {
    form->viewSpeech()->settleMs = 0;
    Show();
    QAccessibleInterface* main = QAccessible::queryAccessibleInterface(form);
    EXPECT_EQ(main->role(), QAccessible::Window);
    EXPECT_EQ(main->text(QAccessible::Name), "Veliso");

    // The tab bar shows three tabs; the two hidden ones are no objects.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form->PageControl1->tabBar());
    ASSERT_EQ(bar->childCount(), 3);
    const char* const tabs[] = {"ÉTAT SOLIDE", "ÉTAT LIQUIDE", "ÉTAT GAZEUX"};
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    for (int tab = 0; tab < 3; ++tab) {
        form->PageControl1->setCurrentIndex(tab);
        form->viewSpeech()->Poll();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(bar->child(i)->text(QAccessible::Name), QString::fromUtf8(tabs[i]));
            EXPECT_EQ(bar->child(i)->state().selected, i == tab) << tabs[i];
        }
        EXPECT_EQ(QAccessible::queryAccessibleInterface(view)->text(QAccessible::Name),
                  ViewSpeech::ViewName(tab));
        CheckWindow(form, tabs[tab]);
    }

    // The view takes the focus, and its description follows the temperature once it settled.
    EXPECT_EQ(view->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    QAccessibleInterface* viewIface = QAccessible::queryAccessibleInterface(view);
    EXPECT_EQ(viewIface->childCount(), 0);
    const QString before = viewIface->text(QAccessible::Description);
    EXPECT_TRUE(before.contains(QString::fromUtf8("298\u00a0K"))) << Str(before);
    form->Button1->setFocus();
    form->findChild<QSlider*>("TB_t")->setValue(400);
    form->viewSpeech()->Poll();
    const QString after = viewIface->text(QAccessible::Description);
    EXPECT_TRUE(after.contains(QString::fromUtf8("400\u00a0K"))) << Str(after);
    // The pressure gauge says the pressure, not a share of its range.
    auto* gaugeBar = form->findChild<QProgressBar*>("PB");
    QAccessibleInterface* gauge = QAccessible::queryAccessibleInterface(gaugeBar);
    EXPECT_EQ(gauge->text(QAccessible::Name),
              QString::fromUtf8("Jauge de pression : %1\u00a0Pa")
                  .arg(QString::fromStdString(FrenchNumber(gaugeBar->value()))));
    EXPECT_EQ(gauge->valueInterface(), nullptr);
    EXPECT_TRUE(form->viewSpeech()->announcer()->lastText().startsWith(
        QString::fromUtf8("Température : 400\u00a0K")))
        << Str(form->viewSpeech()->announcer()->lastText());

    // D on the focused view says the whole description with the live figures; the
    // continuous announcements say the live figures once, and again only when they change.
    Announcer* announcer = form->viewSpeech()->announcer();
    view->setFocus(Qt::TabFocusReason);
    QTest::keyClick(view, Qt::Key_D);
    EXPECT_TRUE(announcer->lastText().startsWith(QString::fromUtf8("Vue 3D : état gazeux. Gaz")))
        << Str(announcer->lastText());
    form->viewSpeech()->continuousMs = 0;
    form->viewSpeech()->SetContinuous(true);
    EXPECT_TRUE(QSettings().value("accessibilite/annoncesEnContinu").toBool());
    form->viewSpeech()->Poll();
    EXPECT_TRUE(announcer->lastText().contains(QString::fromUtf8("pression : 136")))
        << Str(announcer->lastText());
    const int said = announcer->count();
    form->viewSpeech()->Poll();
    EXPECT_EQ(announcer->count(), said);
    form->viewSpeech()->SetContinuous(false);
    form->Button1->setFocus();

    form->bench().Show();
    form->bench().window()->AddRow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->bench().window()));
    CheckWindow(form->bench().window(), "Relevés de mesures");
    form->bench().window()->findChild<QComboBox*>("CBox_X")->setCurrentIndex(0);
    CheckWindow(form->bench().window(), "Relevés de mesures, X changed");
    EXPECT_TRUE(
        QAccessible::queryAccessibleInterface(form->bench().window()->findChild<QWidget*>("Chart"))
            ->text(QAccessible::Description)
            .startsWith(QString::fromUtf8("1 relevé(s) tracé(s)")));
    form->bench().window()->hide();

    TAboutBox about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    CheckWindow(&about, "À propos");
    QAccessibleInterface* mail = QAccessible::queryAccessibleInterface(about.mail);
    EXPECT_EQ(mail->role(), QAccessible::Link);
    EXPECT_EQ(mail->text(QAccessible::Name), TAboutBox::ContactAddress());
    EXPECT_TRUE(
        mail->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

    TForminst instructions;
    instructions.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&instructions));
    CheckWindow(&instructions, "INSTRUCTIONS");

    TFormsplash splash;
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    CheckWindow(&splash, "accueil");
    splash.close();
}

TEST_F(Accessibility, EverySliderIsReadWithTheUnitItsPanelShows) {
    Show();
    // The reading of each slider at the start and after a move, as a screen reader says it.
    struct Case {
        const char* slider;
        const char* start;
        int moveTo;
        const char* moved;
    };
    const Case cases[] = {
        {"TB_t_S", "0\u00a0K", 150, "150\u00a0K"},
        {"TB_R_S", "127 sur 255", 0, "0 sur 255"},
        {"TB_V_S", "127 sur 255", 255, "255 sur 255"},
        {"TB_B_S", "153 sur 255", 1, "1 sur 255"},
        {"TB_face_S", "20 sur 32", 8, "8 sur 32"},
        {"TB_Vol_L", "100\u00a0%", 50, "50\u00a0%"},
        {"TB_t_L", "273\u00a0K", 300, "300\u00a0K"},
        {"TB_R_L", "0 sur 255", 10, "10 sur 255"},
        {"TB_v", "100\u00a0%", 10, "10\u00a0%"},
        {"TB_t", "298\u00a0K", 400, "400\u00a0K"},
        {"TB_nb", "100 particules", 1, "1 particules"},
        {"TB_Masse", "5", 10, "10"},
        {"TB_G", "127 sur 255", 0, "0 sur 255"},
        {"TB_face_G", "8 sur 32", 32, "32 sur 32"},  // the three smoothness sliders agree
    };
    for (const Case& c : cases) {
        auto* slider = form->findChild<QAbstractSlider*>(c.slider);
        ASSERT_NE(slider, nullptr) << c.slider;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(slider);
        ASSERT_NE(iface->textInterface(), nullptr) << c.slider;
        EXPECT_EQ(iface->role(), QAccessible::SpinBox) << c.slider;
        EXPECT_EQ(Str(iface->textInterface()->text(0, -1)), c.start) << c.slider;
        slider->setValue(c.moveTo);
        EXPECT_EQ(Str(iface->textInterface()->text(0, -1)), c.moved) << c.slider;
        EXPECT_EQ(iface->textInterface()->characterCount(), QString::fromUtf8(c.moved).size());
        EXPECT_EQ(Str(iface->text(QAccessible::Value)), c.moved) << c.slider;
        EXPECT_EQ(iface->valueInterface()->currentValue().toInt(), c.moveTo) << c.slider;
        // Where the panel shows the figure, the reading begins with it.
        const auto figures = iface->relations(QAccessible::Controlled);
        if (!figures.isEmpty()) {
            const QString shown = qobject_cast<QLabel*>(figures.first().first->object())->text();
            EXPECT_TRUE(iface->text(QAccessible::Value).startsWith(shown.section(' ', 0, 0)))
                << c.slider << " shows " << Str(shown);
        }
    }
}

TEST_F(Accessibility, TheViewMenuIsSaidWhenItOpensAndItsTogglesSayBothStates) {
    QSettings().remove("accessibilite/annoncesEnContinu");
    Show();
    QMenu* menu = form->viewActions()->menu();
    // Without a window manager no window becomes active by itself.
    QApplication::setActiveWindow(form);
    form->OpenGLOrvPanel1->setFocus();
    QTest::keyClick(form->OpenGLOrvPanel1, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));

    // The menu is a named child of the view, and its first item has the focus from the start.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(menu);
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(form->OpenGLOrvPanel1);
    EXPECT_EQ(Str(list->text(QAccessible::Name)), "Menu de la vue 3D");
    EXPECT_EQ(list->parent(), view);
    ASSERT_EQ(view->childCount(), 1);
    EXPECT_EQ(view->child(0), list);
    EXPECT_EQ(view->indexOfChild(list), 0);
    EXPECT_EQ(Str(list->child(0)->text(QAccessible::Name)), "Copier l'image");
    EXPECT_TRUE(list->child(0)->state().focused);

    // Every item is found where its menu says; the toggles are check boxes, off and on.
    std::map<std::string, QAccessibleInterface*> items;
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleInterface* item = list->child(i);
        ASSERT_NE(item, nullptr) << i;
        EXPECT_EQ(list->indexOfChild(item), i);
        EXPECT_EQ(item->parent(), list);
        items[Str(item->text(QAccessible::Name))] = item;
    }
    EXPECT_EQ(items["Copier l'image"]->role(), QAccessible::MenuItem);
    EXPECT_EQ(Str(items["Copier l'image"]->text(QAccessible::Accelerator)), "Ctrl+C");
    const struct {
        const char* name;
        QAction* action;
    } toggles[] = {{"Plein écran", form->viewActions()->fullScreenAction()},
                   {"Contraste élevé", form->viewActions()->contrastAction()},
                   {"Annonces en continu", form->viewSpeech()->continuousAction()}};
    for (const auto& toggle : toggles) {
        QAccessibleInterface* item = items[toggle.name];
        ASSERT_NE(item, nullptr) << toggle.name;
        EXPECT_EQ(item->role(), QAccessible::CheckBox) << toggle.name;
        EXPECT_TRUE(item->state().checkable) << toggle.name;
        EXPECT_FALSE(item->state().checked) << toggle.name;
        toggle.action->setChecked(true);
        EXPECT_TRUE(item->state().checked) << toggle.name;
        toggle.action->setChecked(false);
    }

    // The interface sizes are one choice of four, in a submenu that lies in its item.
    QAccessibleInterface* sizeItem = items["Taille de l'interface"];
    ASSERT_NE(sizeItem, nullptr);
    ASSERT_EQ(sizeItem->childCount(), 1);
    QAccessibleInterface* sizes = sizeItem->child(0);
    EXPECT_EQ(sizes->parent(), sizeItem);
    EXPECT_EQ(sizeItem->indexOfChild(sizes), 0);
    ASSERT_EQ(sizes->childCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sizes->child(i)->role(), QAccessible::RadioButton);
        EXPECT_EQ(sizes->child(i)->state().checked, i == 0) << i;
    }

    menu->hide();
    EXPECT_EQ(view->childCount(), 0);
}

TEST_F(Accessibility, CameraKeysSayWhereTheCameraIsAtMostOnceASecond) {
    Show();
    QApplication::setActiveWindow(form);
    ViewSpeech* speech = form->viewSpeech();
    speech->settleMs = 0;
    Announcer* announcer = speech->announcer();
    TOpenGLOrvPanel* view = form->OpenGLOrvPanel1;
    view->setFocus(Qt::TabFocusReason);
    const int before = announcer->count();

    // One key: its sentence at once.
    QElapsedTimer sinceFirst;
    QTest::keyClick(view, Qt::Key_Up);
    sinceFirst.start();
    ASSERT_EQ(announcer->count(), before + 1);
    EXPECT_EQ(Str(announcer->lastText()), DescribeCamera(form->solid.view));
    EXPECT_GT(form->solid.view.height, 1.5);

    // A key held: nothing more within the second, then the camera where it stopped.
    const double distance = form->solid.view.distance;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(view, Qt::Key_Up, Qt::ControlModifier);  // nearer, as a Ctrl-drag
    }
    EXPECT_LT(form->solid.view.distance, distance);
    if (sinceFirst.elapsed() < speech->cameraMs) {
        EXPECT_EQ(announcer->count(), before + 1);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return announcer->count() == before + 2; }, 5000));
    EXPECT_GE(sinceFirst.elapsed(), speech->cameraMs);
    EXPECT_EQ(Str(announcer->lastText()), DescribeCamera(form->solid.view));
    // The settled description does not say the camera again.
    speech->Poll();
    EXPECT_EQ(announcer->count(), before + 2);

    // Ctrl+Down goes back, farther; Ctrl with a side arrow moves nothing.
    QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_GT(form->solid.view.distance, distance - 5 * 0.25);
    const double angle = form->solid.view.angle;
    QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(form->solid.view.angle, angle);
}

}  // namespace
}  // namespace veliso
