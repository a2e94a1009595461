// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QDateTime>
#include <QFrame>
#include <QLocale>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <functional>
#include <vector>

#include "core/common/navigation.h"
#include "core/common/sphere_detail.h"
#include "core/gas/gas_state.h"
#include "core/liquid/liquid_state.h"
#include "core/solid/solid_state.h"
#include "mainwindow/frame_rule.h"
#include "mainwindow/measurement_bench.h"
#include "mainwindow/panel_flow.h"
#include "mainwindow/view_host.h"

class QDialog;
class QLabel;
class QPushButton;
class QTimer;

namespace veliso {

class ClickableLabel;
class GasPanel;
class LiquidPanel;
class RandomSource;
class SolidPanel;
class TOpenGLOrvPanel;
class ViewActions;
class ViewNotice;
class ViewSpeech;

/// Tab bar whose tabs all measure 140 x 22 pixels, or more where a caption in a larger font
/// than the panels' needs it.
class FixedTabBar : public QTabBar {
    Q_OBJECT
  public:
    using QTabBar::QTabBar;

  protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
};

/// The main window's page control. Only visible, enabled tabs can become current, whether
/// by a click, by the keyboard or from code; a refused request leaves the current tab as
/// it is and emits nothing. `tabChanged` reports the accepted changes. After a change the
/// new page's first control in tab order has the focus, unless the tab bar had it.
class PageControl : public QTabWidget {
    Q_OBJECT
  public:
    explicit PageControl(QWidget* parent = nullptr);

    bool isSelectable(int index) const;
    /// Selects `index` if it is selectable; otherwise does nothing.
    void setCurrentIndex(int index);

    /// Selects the next selectable tab after the current one (`step` 1) or before it (`step`
    /// -1), going round from the last to the first. The focus keeper keeps the focus if it
    /// has it.
    void SelectNeighbour(int step);
    /// A control outside the pages that keeps the keyboard focus when SelectNeighbour changes
    /// the tab (the view, which all tabs share); null by default.
    void setFocusKeeper(QWidget* keeper) { focusKeeper_ = keeper; }

    /// Marks a tab sheet highlighted: its caption is drawn in the highlight colour.
    void setHighlighted(int index, bool highlighted);
    bool isHighlighted(int index) const;

    static QColor HighlightColour() { return QColor(16, 64, 128); }

  signals:
    void tabChanged(int index);

  private:
    void CheckChange(int index);
    static void FocusFirstControl(QWidget* page);

    int lastAccepted_ = 0;
    bool reverting_ = false;
    QWidget* focusKeeper_ = nullptr;
    bool keepFocus_ = false;
};

/// A tab page that keeps its control panel along its left edge, 161 pixels wide and as high
/// as the page.
class TabSheet : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    void setPanel(QWidget* panel);
    QWidget* panel() const { return panel_; }
    /// Gives the panel the sheet's height at the panel's own (fixed) width.
    void PlacePanel();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* panel_ = nullptr;
};

/// Status bar of four panels, left to right: 3 (no bevel), 163 (centred), 130 (centred)
/// and the rest (right-justified). The second panel lies under the window's two buttons, so
/// what the program has to say (a message, the notices added to the bar) is said at the left
/// of the last panel, where it is seen: the credit, right-justified there, keeps the room
/// they leave, shortened with "…" when it does not fit.
class StatusBar : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeight = 21;
    explicit StatusBar(QWidget* parent = nullptr);

    /// The text a panel shows; the last panel's is the credit, as much of it as fits.
    QString panelText(int index) const;
    /// Sets a panel's text; the last panel's is the credit.
    void setPanelText(int index, const QString& text);
    QLabel* panel(int index) const { return panels_[index]; }
    /// Says `text` until the next message; an empty text says nothing.
    void ShowMessage(const QString& text);
    QString message() const;
    QLabel* messageLabel() const { return message_; }
    /// Takes `notice` into the bar, after the message; it shows whenever it is not hidden.
    void AddNotice(QWidget* notice);
    /// Places the four panels across the bar's current width, and the message and notices in
    /// the last one.
    void LayOutPanels();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* panels_[4] = {};
    QWidget* notices_ = nullptr;  // the message and the notices, in a row
    QLabel* message_ = nullptr;
    QString credit_;
};

/// The short credit shown in the last status panel.
QString CreditText();

/// Date and time for the status bar: the locale's short date, one blank, the locale's long
/// time without its time zone ("06/12/2026 16:50:17" in French, "12/6/26 4:50:17 PM" in US
/// English).
QString ClockText(const QDateTime& when, const QLocale& locale = QLocale::system());

}  // namespace veliso

/// The main window: the three tabs with their panels, the shared OpenGL view, the status bar
/// with the clock, and the two timers that drive the gas and repaint the view.
///
/// It owns the three model records, the sphere detail and the mouse drag state for the
/// whole run. Construction gives them their start-up values and scatters the gas and the
/// liquid. The helpers it makes see only what it lends them: the view's menu and keys and a
/// capture of the view its ViewHost side, the measurement bench its BenchHost side.
class TFormMM : public QWidget, public veliso::ViewHost, public veliso::BenchHost {
    Q_OBJECT
  public:
    explicit TFormMM(QWidget* parent = nullptr);
    ~TFormMM() override;

    /// The windows the main window shows modally: the splash at its first show, the
    /// instructions window from "INSTRUCTIONS", the About box from "À PROPOS DE".
    void SetAuxiliaryWindows(QDialog* splash, QDialog* instructions, QDialog* about);

    /// Index of the current tab: 0 solid, 1 liquid, 2 gas.
    int activeTab() const override;

    // Model state, owned for the whole run.
    veliso::GasState gas;
    veliso::LiquidState liquid;
    veliso::SolidState solid;
    veliso::SphereDetail detail;
    veliso::DragState drag;

    // Controls.
    veliso::PageControl* PageControl1 = nullptr;
    veliso::TabSheet* TabSheet1 = nullptr;
    veliso::TabSheet* TabSheet2 = nullptr;
    veliso::TabSheet* TabSheet3 = nullptr;
    veliso::TabSheet* TabSheet4 = nullptr;
    veliso::TabSheet* TabSheet5 = nullptr;
    veliso::SolidPanel* Pansol = nullptr;
    veliso::LiquidPanel* Panliq = nullptr;
    veliso::GasPanel* Pangaz = nullptr;
    veliso::ClickableLabel* Image_info = nullptr;
    veliso::ClickableLabel* Image_infoliq = nullptr;
    veliso::ClickableLabel* Image_infogaz = nullptr;
    veliso::TOpenGLOrvPanel* OpenGLOrvPanel1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    veliso::StatusBar* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    /// Full screen, pictures of the view and the view's context menu.
    veliso::ViewActions* viewActions() const { return viewActions_; }
    /// The view's name and description for screen readers, and what they are told.
    veliso::ViewSpeech* viewSpeech() const { return viewSpeech_; }
    /// The gas tab's measurement bench: its window, Ctrl+M, its indicator in the status bar
    /// and its question when the program closes.
    veliso::MeasurementBench& bench() override { return *bench_; }

    /// How documents and links are handed to the desktop; by default a missing opener is
    /// told in a message box. Tests replace it to watch the requests.
    std::function<void(const QUrl&)> openUrl;
    /// Where the information pages lie: found from the program's own folder at start-up,
    /// never from the working directory. Empty when they were not found.
    QString pagesFolder;
    /// Ends the program once closing was confirmed. Tests replace it.
    std::function<void()> terminate;

    // Handlers.
    void FormShow();
    void FormResize();
    /// Asks "Voulez-vous fermer l'application ?"; true when the answer is Yes.
    bool FormCloseQuery();
    void FormClose();
    void PageControl1Change(int index);
    /// Animation tick: one gas step when the gas tab is current, then an immediate repaint
    /// when FrameRule says the picture changed; otherwise only the model's part of the
    /// frame (the solid's vibration draws, the liquid's wall pass), so that every model
    /// value and random draw stays what drawing would give.
    void Timer1Timer();
    /// Every tick draws, as before FrameRule existed. Tests set it to compare the two.
    bool drawEveryTick = false;
    /// Clock tick: the wall hits of the last second on the gas tab, then the date and time.
    void Timer2Timer();
    void Image_infoClick();
    void Image_infoliqClick();
    void Image_infogazClick();
    void Button1Click();
    void Button2Click();
    void OpenGLOrvPanel1Init(veliso::TOpenGLOrvPanel* sender);
    void OpenGLOrvPanel1Resize(veliso::TOpenGLOrvPanel* sender);
    void OpenGLOrvPanel1Paint(veliso::TOpenGLOrvPanel* sender);
    /// The notice in place of the view: null until the view reports a failure, shown once the
    /// view is left without a context.
    veliso::ViewNotice* viewNotice() const { return viewNotice_; }
    void OpenGLOrvPanel1MouseDown(veliso::TOpenGLOrvPanel* sender, Qt::MouseButton button,
                                  Qt::KeyboardModifiers shift, int x, int y);
    void OpenGLOrvPanel1MouseUp(veliso::TOpenGLOrvPanel* sender, Qt::MouseButton button,
                                Qt::KeyboardModifiers shift, int x, int y);
    void OpenGLOrvPanel1MouseMove(veliso::TOpenGLOrvPanel* sender, Qt::KeyboardModifiers shift,
                                  int x, int y);

  signals:
    /// One step of the gas, made by Timer1Timer, with the wall hits of that step.
    void gasStepped(int hits);

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // What the helpers around the view see of the window (ViewHost).
    QWidget& mainWindow() override { return *this; }
    veliso::TOpenGLOrvPanel& view() override { return *OpenGLOrvPanel1; }
    bool dragging() const override { return drag.mode != 0; }
    void ShowStatus(const QString& text) override;
    QTimer& animationTimer() override { return *Timer1; }
    void AnimationTick() override { Timer1Timer(); }
    void TieModelToTicks() override { modelTiedToTicks_ = true; }
    // What the measurement bench sees of the window (BenchHost).
    const veliso::GasState& gasRecord() const override { return gas; }
    const QWidget& gasPanel() const override;
    void AddStatusNotice(QWidget& notice) override;

    /// The camera of the current tab.
    veliso::ViewPoint& ActiveViewPoint();
    /// The camera `tab` starts with, which Home on the view gives back.
    const veliso::ViewPoint& StartViewPoint(int tab) const { return startViews_[tab]; }
    /// What the view shows now, read as the paint reads it.
    veliso::ShownScene ShownNow() const;
    /// F1: the information page of the current tab.
    void ShowInformationPage();
    /// A key on the focused view: the arrows turn the camera of the current tab, Page Up and
    /// Page Down raise and lower it, + and - bring it closer and farther, Home gives back
    /// the tab's start camera (NavKeyPress). False for any other key, or with Ctrl or Alt.
    bool OpenGLOrvPanel1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    /// A platform failure of the view (`text`): once the view is left without a context, or
    /// its context refused by its surface, a notice in its area says in French that 3D
    /// display is unavailable and why; it gives way when the view draws again.
    void OpenGLOrvPanel1Error(veliso::TOpenGLOrvPanel* sender, const QString& text);

    void BuildPages();
    void BuildView();
    void BuildButtons();
    /// F1 and the tab keys (Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down, Ctrl+Page Up), which
    /// work from every control of the window.
    void BuildKeys();
    void StartTimers();
    /// Start-up values of the records, then the gas and liquid initialisations; before the
    /// panels are built, which show the records.
    void SetStartValues();
    void LayOut();
    /// Lays the panels out for the fonts in force (PanelFlow), the view beside the widest.
    void FlowPanels();
    void FitPanelsHeight();
    void OpenInformationPage(const QString& name);
    /// Tells the user, in a warning box, why an information page is not shown.
    void ShowPageProblem(const QString& text);

    /// The model's part of a frame that the tick does not draw.
    void AdvanceUndrawnFrame();
    /// The scene of `shown.tab`, the liquid's step taken on `liquidRecord` and the solid's
    /// vibration drawn from `random`.
    void DrawShown(const veliso::ShownScene& shown, veliso::LiquidState& liquidRecord,
                   veliso::RandomSource& random, veliso::TOpenGLOrvPanel& sender);

    veliso::FrameRule frameRule_;
    /// Frames of the model run so far: paints that moved it and ticks' undrawn frames.
    long modelFrames_ = 0;
    /// Only the ticks move the model (TieModelToTicks); `ticking_` while a tick paints.
    bool modelTiedToTicks_ = false;
    bool ticking_ = false;
    veliso::ViewNotice* viewNotice_ = nullptr;
    veliso::ViewActions* viewActions_ = nullptr;
    veliso::ViewSpeech* viewSpeech_ = nullptr;
    veliso::MeasurementBench* bench_ = nullptr;
    veliso::ViewPoint startViews_[3];
    QDialog* splash_ = nullptr;
    QDialog* instructions_ = nullptr;
    QDialog* about_ = nullptr;
    std::vector<veliso::PanelFlow> panelFlows_;
    int panelWidth_ = 161;
    int panelHeight_ = 0;  // what the panels' contents need, once they were laid out
    int heightTries_ = 0;  // FitPanelsHeight's resizes since the panels last grew
    bool shown_ = false;
    bool closing_ = false;
};

/// The main window of the run.
extern TFormMM* FormMM;
