// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// Soak test: drives the real main window, as the program creates it, with random user actions
// for a bounded time, then checks that every model record is still sound and that nothing was
// written on standard error.
//
// VELISO_SOAK_SECONDS sets the driving time (default 75 s); VELISO_SOAK_SEED replaces the
// driver's fixed seed. The seed fixes the sequence of actions; where they fall between the
// program's timer ticks, and the model's own draws (its random source reseeds from the clock),
// still differ from run to run.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/application.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "core/gas/gas_controls.h"
#include "core/gas/gas_model.h"
#include "core/liquid/liquid_controls.h"
#include "core/liquid/liquid_motion.h"
#include "core/solid/solid_controls.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/liquid_panel.h"
#include "mainwindow/measurements_window.h"
#include "mainwindow/solid_panel.h"
#include "mainwindow/view_actions.h"
#include "support/stderr_capture.h"

namespace veliso {
namespace {

int EnvironmentInt(const char* name, int fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    return std::atoi(text);
}

/// Faults seen while the program runs: kept as the first few texts and a total.
struct Faults {
    int total = 0;
    std::vector<std::string> first;
    void Add(const std::string& what) {
        if (++total <= 20) {
            first.push_back(what);
        }
    }
};

bool Finite(double v) {
    return std::isfinite(v);
}

bool InRange(double v, double low, double high) {
    return Finite(v) && v >= low && v <= high;
}

std::string Describe(const char* what, int slot, double value) {
    return std::string(what) + "[" + std::to_string(slot) + "] = " + std::to_string(value);
}

/// Particles in play lie inside the box after a gas step that moved them.
void CheckGasPositions(const GasState& gas, Faults& faults) {
    const double limit = gas.halfEdge - gas.radius;
    for (int p = 0; p < gas.inPlay(); ++p) {
        for (auto [name, value] : {std::pair{"gas.x", gas.x[p]}, std::pair{"gas.y", gas.y[p]},
                                   std::pair{"gas.z", gas.z[p]}}) {
            if (!InRange(value, -limit, limit)) {
                faults.Add(Describe(name, p, value) + " outside +-" + std::to_string(limit));
            }
        }
    }
}

/// Liquid particles lie inside the cube after a paint that moved and confined them.
void CheckLiquidPositions(const LiquidState& liquid, Faults& faults) {
    const double limit = liquid.limit();
    for (int p = 0; p < liquid.count; ++p) {
        for (auto [name, value] :
             {std::pair{"liquid.x", liquid.x[p]}, std::pair{"liquid.y", liquid.y[p]},
              std::pair{"liquid.z", liquid.z[p]}}) {
            if (!InRange(value, -limit, limit)) {
                faults.Add(Describe(name, p, value) + " outside +-" + std::to_string(limit));
            }
        }
    }
}

void CheckCamera(const char* tab, const ViewPoint& v) {
    EXPECT_TRUE(InRange(v.angle, 0.0, 360.0)) << tab << " angle " << v.angle;
    EXPECT_TRUE(InRange(v.height, -5.0, 5.0)) << tab << " height " << v.height;
    EXPECT_TRUE(InRange(v.distance, 0.5, 4.25)) << tab << " distance " << v.distance;
}

void CheckColour(const char* tab, double r, double g, double b) {
    for (double c : {r, g, b}) {
        EXPECT_TRUE(InRange(c, 0.0, 1.0)) << tab << " colour component " << c;
    }
}

/// The handed-out speeds: the table is the one of the current mass, temperature and count,
/// and the magnitudes of the velocities in play, as a multiset, are its first `count`
/// entries. Collisions swap velocities and walls reverse components; neither may change a
/// magnitude.
void CheckGasSpeeds(const GasState& gas) {
    const int n = gas.inPlay();
    GasState fresh = gas;
    BuildSpeedClasses(fresh);
    EXPECT_TRUE(std::equal(gas.speedTable, gas.speedTable + n, fresh.speedTable))
        << "speed table of another mass, temperature or count";
    std::vector<double> moving;
    std::vector<double> table(gas.speedTable, gas.speedTable + n);
    for (int p = 0; p < n; ++p) {
        ASSERT_TRUE(Finite(gas.vx[p]) && Finite(gas.vy[p]) && Finite(gas.vz[p])) << "slot " << p;
        moving.push_back(
            std::sqrt(gas.vx[p] * gas.vx[p] + gas.vy[p] * gas.vy[p] + gas.vz[p] * gas.vz[p]));
    }
    std::sort(moving.begin(), moving.end());
    std::sort(table.begin(), table.end());
    int differing = 0;
    for (int i = 0; i < n; ++i) {
        if (std::fabs(moving[i] - table[i]) > 1e-12 + 1e-9 * table[i]) {
            EXPECT_EQ(differing++, 0) << "speed rank " << i << ": " << moving[i] << " moving, "
                                      << table[i] << " handed out";
        }
    }
}

QSlider* Slider(const QWidget* panel, const char* name) {
    QSlider* s = panel->findChild<QSlider*>(name);
    EXPECT_NE(s, nullptr) << name;
    return s;
}

/// Every record within its ranges, free of NaN, and in step with the controls that set it.
void CheckRecords(TFormMM& form) {
    const GasState& gas = form.gas;
    const QWidget* g = form.Pangaz;
    EXPECT_TRUE(InRange(gas.temperature, kGasTemperatureMin, kGasTemperatureMax));
    EXPECT_TRUE(InRange(gas.volumePercent, kGasVolumeMin, kGasVolumeMax));
    EXPECT_TRUE(gas.mass >= kGasMassMin && gas.mass <= kGasMassMax) << gas.mass;
    EXPECT_TRUE(gas.count >= kGasCountMin && gas.count <= kGasCountMax) << gas.count;
    EXPECT_EQ(gas.temperature, Slider(g, "TB_t")->value());
    EXPECT_EQ(gas.volumePercent, Slider(g, "TB_v")->value());
    EXPECT_EQ(gas.mass, Slider(g, "TB_Masse")->value());
    EXPECT_EQ(gas.count, Slider(g, "TB_nb")->value());
    EXPECT_EQ(gas.halfEdge, std::pow(gas.volumePercent * 0.01, 1.0 / 3.0));
    EXPECT_EQ(gas.radius, std::pow(static_cast<double>(gas.mass), 1.0 / 3.0) * 0.02);
    EXPECT_EQ(gas.contactDistanceSq, 4 * gas.radius * gas.radius);
    EXPECT_EQ(gas.pressure, std::floor(gas.count * 340.017 * gas.temperature / gas.volumePercent));
    EXPECT_GE(gas.wallHits, 0);
    EXPECT_FALSE(gas.stepping);
    CheckColour("gas", gas.red, gas.green, gas.blue);
    for (int p = 0; p < kGasSlots; ++p) {
        ASSERT_TRUE(Finite(gas.x[p]) && Finite(gas.y[p]) && Finite(gas.z[p])) << "gas slot " << p;
        ASSERT_TRUE(Finite(gas.vx[p]) && Finite(gas.vy[p]) && Finite(gas.vz[p])) << "gas " << p;
    }
    for (int k = 0; k < kGasClasses; ++k) {
        ASSERT_TRUE(InRange(gas.mbCurve[k], 0.0, 1.0)) << "class " << k << " " << gas.mbCurve[k];
        ASSERT_TRUE(Finite(gas.speedTable[k])) << "speed " << k;
    }
    CheckGasSpeeds(gas);

    const LiquidState& liquid = form.liquid;
    const QWidget* l = form.Panliq;
    EXPECT_EQ(liquid.count, kLiquidSlots);
    EXPECT_TRUE(InRange(liquid.temperature, kLiquidTemperatureMin, kLiquidTemperatureMax));
    EXPECT_EQ(liquid.temperature, Slider(l, "TB_t_L")->value());
    EXPECT_EQ(liquid.halfEdge, LiquidHalfEdge(Slider(l, "TB_Vol_L")->value()));
    CheckColour("liquid", liquid.red, liquid.green, liquid.blue);
    // Every velocity component was drawn within +-0.00005 T at the current temperature (up to
    // the rounding of s - s * r * 0.002).
    const double scale = 0.00005 * liquid.temperature * (1 + 1e-12);
    for (int p = 0; p < kLiquidSlots; ++p) {
        ASSERT_TRUE(Finite(liquid.x[p]) && Finite(liquid.y[p]) && Finite(liquid.z[p])) << p;
        for (double v : {liquid.vx[p], liquid.vy[p], liquid.vz[p]}) {
            ASSERT_TRUE(InRange(v, -scale, scale)) << "liquid velocity " << p << " " << v;
        }
    }

    const SolidState& solid = form.solid;
    const QWidget* s = form.Pansol;
    EXPECT_EQ(solid.amplitude, SolidAmplitudeAt(Slider(s, "TB_t_S")->value()));
    EXPECT_TRUE(InRange(solid.amplitude, 0.0, SolidAmplitudeAt(300)));
    CheckColour("solid", solid.red, solid.green, solid.blue);
    const char* buttons[] = {"RBc4S", "RBm4S", "RB1", "RB2", "RB3", "RB4", "RBc6", "RBm6"};
    const auto* checked = s->findChild<QRadioButton*>(buttons[static_cast<int>(solid.structure)]);
    ASSERT_NE(checked, nullptr);
    EXPECT_TRUE(checked->isChecked()) << checked->objectName().toStdString();
    for (int i = 0; i < kSolidSiteCapacity; ++i) {
        ASSERT_TRUE(Finite(solid.hcpCellSites.x[i]) && Finite(solid.hcpCellSites.y[i]) &&
                    Finite(solid.hcpCellSites.z[i]));
    }

    CheckCamera("solid", solid.view);
    CheckCamera("liquid", liquid.view);
    CheckCamera("gas", gas.view);

    EXPECT_TRUE(form.detail.slices >= 8 && form.detail.slices <= 32) << form.detail.slices;
    EXPECT_EQ(form.detail.stacks, form.detail.slices / 2);
    EXPECT_EQ(Slider(s, "TB_face_S")->value(), form.detail.slices);
    EXPECT_EQ(Slider(l, "TB_face_L")->value(), form.detail.slices);
    EXPECT_EQ(Slider(g, "TB_face_G")->value(), form.detail.slices);

    const int tab = form.activeTab();
    EXPECT_TRUE(tab >= 0 && tab <= 2) << tab;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form.PageControl1->isHighlighted(i), i == tab) << "tab " << i;
    }
    EXPECT_TRUE(form.OpenGLOrvPanel1->ErrorText().isEmpty())
        << form.OpenGLOrvPanel1->ErrorText().toStdString();
}

/// Answers the program's modal windows the way a user would: clicks the splash away, closes
/// the instructions window and the About box after a short look, says No to the close
/// confirmation. Any other modal window (an exception message, say) is a fault.
class ModalResponder : public QObject {
  public:
    ModalResponder(std::mt19937& random, std::map<std::string, int>& counts, Faults& faults)
        : random_(random), counts_(counts), faults_(faults) {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] { Respond(); });
        timer_.start();
    }

  private:
    void Respond() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            seen_ = nullptr;
            return;
        }
        if (modal != seen_) {
            seen_ = modal;
            clock_.start();
            lookMs_ = std::uniform_int_distribution<int>(50, 400)(random_);
        }
        if (clock_.elapsed() < lookMs_) {
            return;  // the timers tick while the window is open
        }
        seen_ = nullptr;
        if (modal == Formsplash) {
            ++counts_["splash clicked away"];
            QTest::mouseClick(Formsplash->Image1, Qt::LeftButton, {}, QPoint(192, 128));
        } else if (modal == Forminst || modal == AboutBox) {
            auto* ok = modal->findChild<QPushButton*>("OKButton");
            switch (std::uniform_int_distribution<int>(0, 2)(random_)) {
                case 0:
                    QTest::mouseClick(ok, Qt::LeftButton);
                    break;
                case 1:
                    QTest::keyClick(modal, Qt::Key_Escape);
                    break;
                default:
                    QTest::keyClick(ok, Qt::Key_Return);
                    break;
            }
            ++counts_[modal == Forminst ? "instructions closed" : "about box closed"];
        } else if (auto* box = qobject_cast<QMessageBox*>(modal);
                   box != nullptr && box->text() == "Voulez-vous fermer l'application ?") {
            if (std::uniform_int_distribution<int>(0, 1)(random_) == 0) {
                QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
            } else {
                QTest::keyClick(box, Qt::Key_Escape);
            }
            ++counts_["close refused"];
        } else {
            const std::string text =
                box != nullptr ? box->text().toStdString() : modal->objectName().toStdString();
            faults_.Add("unexpected modal window: " + text);
            modal->close();
        }
    }

    std::mt19937& random_;
    std::map<std::string, int>& counts_;
    Faults& faults_;
    QTimer timer_;
    QWidget* seen_ = nullptr;
    QElapsedTimer clock_;
    int lookMs_ = 0;
};

/// The random user. Each Act() does one thing to the window and then lets the program run
/// for a few ticks.
class SoakDriver {
  public:
    SoakDriver(TFormMM& form, std::mt19937& random, std::map<std::string, int>& counts)
        : form_(form), random_(random), counts_(counts) {
        for (QWidget* panel :
             std::initializer_list<QWidget*>{form.Pansol, form.Panliq, form.Pangaz}) {
            for (QSlider* s : panel->findChildren<QSlider*>()) {
                sliders_.push_back(s);
            }
            for (QRadioButton* b : panel->findChildren<QRadioButton*>()) {
                radios_.push_back(b);
            }
            for (QCheckBox* b : panel->findChildren<QCheckBox*>()) {
                checks_.push_back(b);
            }
        }
        for (const char* name : {"butdep", "butpause", "butdepG", "butpauseG"}) {
            buttons_.push_back(form.findChild<QPushButton*>(name));
            EXPECT_NE(buttons_.back(), nullptr) << name;
        }
    }

    void Act() {
        using Action = void (SoakDriver::*)();
        // Weighted: the frequent things users do come up often, the dialogs now and then.
        static const std::pair<int, Action> kActions[] = {
            {12, &SoakDriver::SetSliderByCode},  {10, &SoakDriver::PressSliderKeys},
            {8, &SoakDriver::ClickOrDragSlider}, {6, &SoakDriver::ClickRadioButton},
            {6, &SoakDriver::ClickCheckBox},     {8, &SoakDriver::SwitchTab},
            {3, &SoakDriver::ForceHiddenTab},    {10, &SoakDriver::DragOnView},
            {4, &SoakDriver::ResizeWindow},      {6, &SoakDriver::PressStartOrPause},
            {1, &SoakDriver::OpenInstructions},  {1, &SoakDriver::OpenAboutBox},
            {1, &SoakDriver::AskToClose},        {1, &SoakDriver::ClickInformationIcon},
            {3, &SoakDriver::UseClassroomTools},
        };
        int total = 0;
        for (const auto& a : kActions) {
            total += a.first;
        }
        int pick = Uniform(0, total - 1);
        for (const auto& [weight, action] : kActions) {
            if (pick < weight) {
                (this->*action)();
                break;
            }
            pick -= weight;
        }
        QTest::qWait(Uniform(2, 60));
    }

  private:
    int Uniform(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }
    template <typename T>
    T* Pick(const std::vector<T*>& from) {
        return from[Uniform(0, static_cast<int>(from.size()) - 1)];
    }
    /// A control of the current tab, which a user can reach; null when there is none.
    template <typename T>
    T* PickVisible(const std::vector<T*>& from) {
        std::vector<T*> visible;
        std::copy_if(from.begin(), from.end(), std::back_inserter(visible),
                     [](T* w) { return w->isVisible(); });
        return visible.empty() ? nullptr : Pick(visible);
    }

    /// A mouse event delivered as the window system does while the pointer is grabbed: also
    /// beyond the target's edges, where QTest would refuse it.
    template <typename Target>
    void Send(Target* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
              Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
        QMouseEvent event(type, QPointF(pos), QPointF(pos), target->mapToGlobal(QPointF(pos)),
                          button, held, modifiers);
        QCoreApplication::sendEvent(target, &event);
    }

    void SetSliderByCode() {
        QSlider* s = Pick(sliders_);
        // Now and then beyond the range: the slider clamps.
        s->setValue(Uniform(s->minimum() - 5, s->maximum() + 5));
        ++counts_["slider set"];
    }

    void PressSliderKeys() {
        QSlider* s = PickVisible(sliders_);
        if (s == nullptr) {
            return;
        }
        static const Qt::Key kKeys[] = {Qt::Key_Left, Qt::Key_Right,  Qt::Key_Up,
                                        Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                                        Qt::Key_Home, Qt::Key_End};
        const int presses = Uniform(1, 6);
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(s, kKeys[Uniform(0, 7)]);
        }
        ++counts_["slider keys"];
    }

    void ClickOrDragSlider() {
        QSlider* s = PickVisible(sliders_);
        if (s == nullptr || s->width() < 2) {
            return;
        }
        const int y = s->height() / 2;
        const QPoint from(Uniform(0, s->width() - 1), y);
        if (Uniform(0, 1) == 0) {
            QTest::mouseClick(s, Qt::LeftButton, {}, from);
            ++counts_["slider clicked"];
            return;
        }
        QTest::mousePress(s, Qt::LeftButton, {}, from);
        const int moves = Uniform(1, 8);
        for (int i = 0; i < moves; ++i) {
            Send(s, QEvent::MouseMove, QPoint(Uniform(-20, s->width() + 20), y), Qt::NoButton,
                 Qt::LeftButton, {});
            QTest::qWait(Uniform(0, 30));
        }
        QTest::mouseRelease(s, Qt::LeftButton, {}, QPoint(Uniform(0, s->width() - 1), y));
        ++counts_["slider dragged"];
    }

    /// A radio button or a check box: clicked on its indicator when on the current tab (a
    /// click on a stretched button's centre lands beside its text), from code otherwise.
    void ClickButton(const std::vector<QAbstractButton*>& from, const char* what) {
        QAbstractButton* b = Uniform(0, 2) == 0 ? Pick(from) : PickVisible(from);
        if (b == nullptr) {
            return;
        }
        if (b->isVisible()) {
            QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
        } else {
            b->click();
        }
        ++counts_[what];
    }
    void ClickRadioButton() { ClickButton(radios_, "radio clicked"); }
    void ClickCheckBox() { ClickButton(checks_, "check box clicked"); }

    void SwitchTab() {
        QTabBar* bar = form_.PageControl1->tabBar();
        if (Uniform(0, 3) == 0) {
            QTest::keyClick(bar, Uniform(0, 1) == 0 ? Qt::Key_Right : Qt::Key_Left);
            ++counts_["tab by key"];
            return;
        }
        const int tab = Uniform(0, 2);
        if (bar->isVisible() && !bar->tabRect(tab).isEmpty()) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        } else {
            form_.PageControl1->setCurrentIndex(tab);
        }
        ++counts_["tab clicked"];
    }

    void ForceHiddenTab() {
        PageControl* pc = form_.PageControl1;
        const int tab = Uniform(3, 5);  // the two tabs not in use, and one that does not exist
        switch (Uniform(0, 3)) {
            case 0:
                pc->setCurrentIndex(tab);
                break;
            case 1:
                static_cast<QTabWidget*>(pc)->setCurrentIndex(tab);
                break;
            case 2:
                pc->tabBar()->setCurrentIndex(tab);
                break;
            default:
                pc->setCurrentWidget(Uniform(0, 1) == 0 ? form_.TabSheet4 : form_.TabSheet5);
                break;
        }
        ++counts_["hidden tab asked for"];
    }

    void DragOnView() {
        QWindow* surface = form_.OpenGLOrvPanel1->glWindow();
        if (surface == nullptr) {
            return;
        }
        static const Qt::MouseButton kButtons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton,
                                                   Qt::MiddleButton};
        static const Qt::KeyboardModifiers kModifiers[] = {Qt::NoModifier, Qt::NoModifier,
                                                           Qt::ControlModifier, Qt::ShiftModifier,
                                                           Qt::ControlModifier | Qt::ShiftModifier};
        const Qt::MouseButton button = kButtons[Uniform(0, 3)];
        const Qt::KeyboardModifiers modifiers = kModifiers[Uniform(0, 4)];
        const int w = std::max(1, surface->width());
        const int h = std::max(1, surface->height());
        // Far outside the view too: a drag goes on when the pointer leaves it.
        auto somewhere = [&] { return QPoint(Uniform(-w, 2 * w), Uniform(-h, 2 * h)); };
        auto inside = [&] { return QPoint(Uniform(0, w - 1), Uniform(0, h - 1)); };
        const bool empty = surface->width() < 1 || surface->height() < 1;
        if (empty) {
            // A view shrunk to nothing: QTest refuses to aim at it, the events come anyway.
            Send(surface, QEvent::MouseButtonPress, inside(), button, button, modifiers);
        } else {
            QTest::mousePress(surface, button, modifiers, inside());
        }
        const int moves = Uniform(1, 12);
        for (int i = 0; i < moves; ++i) {
            Send(surface, QEvent::MouseMove, somewhere(), Qt::NoButton, button, modifiers);
            QTest::qWait(Uniform(0, 30));
        }
        if (empty) {
            Send(surface, QEvent::MouseButtonRelease, inside(), button, Qt::NoButton, modifiers);
        } else {
            QTest::mouseRelease(surface, button, modifiers, inside());
        }
        ++counts_["view dragged"];
    }

    void ResizeWindow() {
        switch (Uniform(0, 3)) {
            case 0:
                form_.resize(Uniform(100, 1100), 0);
                ++counts_["resized to zero height"];
                break;
            case 1:
                form_.resize(Uniform(0, 300), Uniform(0, 60));
                ++counts_["resized tiny"];
                break;
            case 2:
                form_.resize(Uniform(300, 1200), Uniform(200, 1000));
                ++counts_["resized"];
                break;
            default:
                form_.resize(646, 525);
                ++counts_["resized back"];
                break;
        }
    }

    void PressStartOrPause() {
        QPushButton* b = Pick(buttons_);
        if (b->isVisible() && Uniform(0, 1) == 0) {
            QTest::mouseClick(b, Qt::LeftButton);
        } else {
            b->click();
        }
        ++counts_[b->objectName().toStdString()];
    }

    /// Full screen, the view's menu, a copied frame and the gas tab's measurement window, as a
    /// teacher uses them while the rest goes on. Saving is left out: its file dialog is modal.
    void UseClassroomTools() {
        ViewActions& tools = *form_.viewActions();
        switch (Uniform(0, 4)) {
            case 0:
                tools.fullScreenAction()->trigger();
                ++counts_["full screen toggled"];
                break;
            case 1:
                tools.leaveFullScreenAction()->trigger();  // disabled outside full screen
                ++counts_["escape"];
                break;
            case 2:
                if (QWindow* surface = form_.OpenGLOrvPanel1->glWindow();
                    surface != nullptr && surface->width() > 0 && surface->height() > 0) {
                    const QPoint at(Uniform(0, surface->width() - 1),
                                    Uniform(0, surface->height() - 1));
                    QTest::mouseClick(surface, Qt::RightButton, {}, at);
                    QTest::qWait(Uniform(0, 100));
                    if (QWidget* popup = QApplication::activePopupWidget()) {
                        popup->close();
                        ++counts_["view menu opened"];
                    }
                }
                break;
            case 3:
                tools.copyAction()->trigger();
                ++counts_["frame copied"];
                break;
            default:
                UseMeasurements();
                break;
        }
    }

    void UseMeasurements() {
        form_.bench().Show();
        QWidget* window = form_.bench().window();
        switch (Uniform(0, 4)) {
            case 0:
                form_.bench().window()->AddRow();
                ++counts_["measurement added"];
                break;
            case 1:
                window->findChild<QCheckBox*>("CB_Auto")->click();
                ++counts_["automatic readout toggled"];
                break;
            case 2: {
                const QList<QComboBox*> boxes = window->findChildren<QComboBox*>();
                QComboBox* box = boxes[Uniform(0, static_cast<int>(boxes.size()) - 1)];
                box->setCurrentIndex(Uniform(0, box->count() - 1));
                ++counts_["measurement choice changed"];
                break;
            }
            case 3:
                window->hide();
                ++counts_["measurements hidden"];
                break;
            default:
                ++counts_["measurements shown"];
                break;
        }
    }

    void OpenInstructions() {
        // The responder closes it; the call returns then.
        QTest::mouseClick(form_.Button1, Qt::LeftButton);
        ++counts_["instructions opened"];
    }

    void OpenAboutBox() {
        form_.Button2->click();
        ++counts_["about box opened"];
    }

    void AskToClose() {
        form_.close();
        ++counts_["close asked"];
    }

    void ClickInformationIcon() {
        ClickableLabel* icons[] = {form_.Image_info, form_.Image_infoliq, form_.Image_infogaz};
        ClickableLabel* icon = icons[form_.activeTab()];
        QTest::mouseClick(icon, Qt::LeftButton, {}, QPoint(12, 12));
        ++counts_["information icon"];
    }

    TFormMM& form_;
    std::mt19937& random_;
    std::map<std::string, int>& counts_;
    std::vector<QSlider*> sliders_;
    std::vector<QAbstractButton*> radios_;
    std::vector<QAbstractButton*> checks_;
    std::vector<QPushButton*> buttons_;
};

/// The program's application object. Qt wants a private runtime folder (and says so on
/// standard error when there is none): one is made for the run unless the caller gave one.
VelisoApplication& TheApplication() {
    static QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid()) {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    static int argc = 1;
    static char name[] = "soak_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new VelisoApplication(argc, argv);
    return *app;
}

TEST(Soak, RandomUseLeavesEveryRecordSoundAndStandardErrorEmpty) {
    const int seconds = EnvironmentInt("VELISO_SOAK_SECONDS", 75);
    const auto seed = static_cast<std::uint32_t>(EnvironmentInt("VELISO_SOAK_SEED", 20250917));
    std::printf("soak: %d s, seed %u\n", seconds, seed);
    std::fflush(stdout);

    // From the program's start on: the application object comes up inside the capture.
    testing::StderrCapture capture;
    ASSERT_TRUE(capture.capturing());
    TheApplication();

    std::mt19937 random(seed);
    std::map<std::string, int> counts;
    Faults faults;
    {
        ModalResponder responder(random, counts, faults);
        CreateWindows();
        TFormMM& form = *FormMM;
        // The information pages and the end of the program are watched, not carried out.
        form.openUrl = [&counts](const QUrl&) { ++counts["page requested"]; };
        // The build's copy of the pages, wherever the build folder lies.
        form.pagesFolder = QCoreApplication::applicationDirPath() + "/../pages";
        int terminations = 0;
        form.terminate = [&terminations] { ++terminations; };

        // After every gas step the particles in play are inside the box; after every paint
        // of the liquid, its particles are inside the cube.
        QObject::connect(form.Timer1, &QTimer::timeout, &form, [&form, &faults, &counts] {
            if (form.activeTab() == 2 && !form.gas.paused) {
                CheckGasPositions(form.gas, faults);
                ++counts["gas steps checked"];
            }
        });
        TOpenGLOrvPanel* view = form.OpenGLOrvPanel1;
        view->OnPaint = [&form, &faults, &counts, paint = view->OnPaint](TOpenGLOrvPanel* s) {
            paint(s);
            ++counts["paints"];
            if (form.activeTab() == 1) {
                CheckLiquidPositions(form.liquid, faults);
            }
        };

        // As the program starts: the loop shows the main window, which shows the splash.
        QTimer::singleShot(0, &form, [&form] { form.show(); });
        ASSERT_TRUE(QTest::qWaitFor(
            [&form] { return form.isVisible() && !Formsplash->isVisible(); }, 30000));

        SoakDriver driver(form, random, counts);
        QElapsedTimer clock;
        clock.start();
        int actions = 0;
        while (clock.elapsed() < seconds * 1000LL) {
            driver.Act();
            ++actions;
            if (actions % 200 == 0) {
                CheckRecords(form);
                if (::testing::Test::HasFailure()) {
                    break;
                }
            }
        }
        counts["actions"] = actions;

        // Back to a normal window; each moving tab runs unpaused for a moment, so that the
        // last checks see the records right after a step.
        form.viewActions()->SetFullScreen(false);
        form.resize(646, 525);
        for (const char* name : {"butpause", "butpauseG"}) {
            auto* pause = form.findChild<QPushButton*>(name);
            if (pause->text() == "CONTINUE") {
                pause->click();
            }
        }
        for (int tab : {1, 2}) {
            form.PageControl1->setCurrentIndex(tab);
            QTest::qWait(300);
        }
        form.Timer1->stop();
        CheckRecords(form);
        CheckGasPositions(form.gas, faults);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(terminations, 0);
        EXPECT_GT(counts["gas steps checked"], 0);
        EXPECT_GT(counts["paints"], 0);

        for (const auto& [what, n] : counts) {
            std::printf("soak: %-26s %d\n", what.c_str(), n);
        }
        std::fflush(stdout);
        form.hide();
    }
    DestroyWindows();
    QTest::qWait(0);

    const std::string written = capture.Finish();
    EXPECT_EQ(faults.total, 0) << [&] {
        std::string all;
        for (const auto& f : faults.first) {
            all += f + "\n";
        }
        return all;
    }();
    std::string messages;
    for (const auto& m : testing::StderrCapture::Messages()) {
        messages += m + "\n";
    }
    EXPECT_EQ(messages, "") << "Qt messages during the soak";
    EXPECT_EQ(written, "") << "standard error during the soak";
}

}  // namespace
}  // namespace veliso
