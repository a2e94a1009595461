// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/form_mm.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <span>

#include "core/common/random_source.h"
#include "core/gas/gas_model.h"
#include "core/gas/gas_step.h"
#include "core/liquid/liquid_motion.h"
#include "core/measure/measurement_log.h"
#include "core/solid/solid_structures.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/accessible_names.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/credits.h"
#include "mainwindow/desktop_open.h"
#include "mainwindow/display_settings.h"
#include "mainwindow/fitted_text.h"
#include "mainwindow/focus_style.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/liquid_panel.h"
#include "mainwindow/measurement_bench.h"
#include "mainwindow/panel_widgets.h"
#include "mainwindow/pictures.h"
#include "mainwindow/solid_panel.h"
#include "mainwindow/view_actions.h"
#include "mainwindow/view_notice.h"
#include "mainwindow/view_speech.h"
#include "render/gas_scene.h"
#include "render/liquid_scene.h"
#include "render/solid_scene.h"
#include "render/view_setup.h"

TFormMM* FormMM = nullptr;

namespace veliso {

namespace {

constexpr int kTabWidth = 140;
constexpr int kTabHeight = 22;
constexpr int kTabPointSize = 8;
constexpr int kPanelWidth = 161;
// The height the panels' controls were laid out in.
constexpr int kPanelHeight = 472;
constexpr int kStatusWidths[3] = {3, 163, 130};

QFont Arial(int pointSize, bool bold = false) {
    QFont f("Arial", pointSize);
    f.setBold(bold);
    return f;
}

NavButton ToNavButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return NavButton::Left;
        case Qt::RightButton:
            return NavButton::Right;
        case Qt::MiddleButton:
            return NavButton::Middle;
        default:
            return NavButton::Other;
    }
}

/// A time format without its time-zone field: every unquoted run of `t`, the parentheses
/// that only enclose it and one blank beside it are taken out ("h:mm:ss AP t" gives
/// "h:mm:ss AP", "t HH:mm:ss" gives "HH:mm:ss", "H:mm:ss (t)" gives "H:mm:ss").
QString WithoutTimeZone(const QString& timeFormat) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < timeFormat.size(); ++i) {
        const QChar c = timeFormat[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;  // '' inside or outside a quote toggles twice: a literal quote
        }
        if (quoted || c != QLatin1Char('t')) {
            out += c;
            continue;
        }
        while (i + 1 < timeFormat.size() && timeFormat[i + 1] == QLatin1Char('t')) {
            ++i;
        }
        qsizetype next = i + 1;
        if (out.endsWith(QLatin1Char('(')) && next < timeFormat.size() &&
            timeFormat[next] == QLatin1Char(')')) {
            out.chop(1);
            ++next;
        }
        if (out.endsWith(QLatin1Char(' '))) {
            out.chop(1);
        } else if (next < timeFormat.size() && timeFormat[next] == QLatin1Char(' ')) {
            ++next;
        }
        i = next - 1;
    }
    return out;
}

}  // namespace

QSize FixedTabBar::tabSizeHint(int index) const {
    // A caption in a larger font than the tabs were made for widens the tab as far as the
    // style needs, and heightens it by what the font's lines grew: it is never cut.
    const int taller = fontMetrics().height() - QFontMetrics(Arial(kTabPointSize, true)).height();
    return QSize(std::max(kTabWidth, QTabBar::tabSizeHint(index).width()),
                 kTabHeight + std::max(0, taller));
}
QSize FixedTabBar::minimumTabSizeHint(int index) const {
    return tabSizeHint(index);
}

PageControl::PageControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new FixedTabBar(this));
    tabBar()->setExpanding(false);
    tabBar()->setElideMode(Qt::ElideNone);
    tabBar()->setFont(Arial(kTabPointSize, true));
    // A hidden or disabled tab can still be made current through QTabBar from code; such a
    // change is undone here before anyone else hears of it.
    connect(this, &QTabWidget::currentChanged, this, &PageControl::CheckChange);
}

void PageControl::SelectNeighbour(int step) {
    for (int i = 1; i < count(); ++i) {
        const int index = ((currentIndex() + step * i) % count() + count()) % count();
        if (isSelectable(index)) {
            // The tab keys leave the focus on the view where it was there.
            keepFocus_ = focusKeeper_ != nullptr && focusKeeper_->hasFocus();
            setCurrentIndex(index);
            keepFocus_ = false;
            return;
        }
    }
}

bool PageControl::isSelectable(int index) const {
    return index >= 0 && index < count() && isTabVisible(index) && isTabEnabled(index);
}

void PageControl::setCurrentIndex(int index) {
    if (isSelectable(index)) {
        QTabWidget::setCurrentIndex(index);
    }
}

void PageControl::CheckChange(int index) {
    if (reverting_) {
        return;
    }
    if (!isSelectable(index)) {
        reverting_ = true;
        QTabWidget::setCurrentIndex(lastAccepted_);
        reverting_ = false;
        return;
    }
    lastAccepted_ = index;
    emit tabChanged(index);
    // The keys follow the page: its first control in tab order takes the focus, so that the
    // arrows no longer move a slider of the page just left. Someone stepping through the tabs
    // with the keyboard keeps the focus on the tabs.
    if (!tabBar()->hasFocus() && !keepFocus_) {
        FocusFirstControl(widget(index));
    }
}

void PageControl::FocusFirstControl(QWidget* page) {
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            w->isEnabled() && w->isVisibleTo(page)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void PageControl::setHighlighted(int index, bool highlighted) {
    tabBar()->setTabTextColor(index, highlighted ? HighlightColour() : QColor());
}

bool PageControl::isHighlighted(int index) const {
    return tabBar()->tabTextColor(index) == HighlightColour();
}

void TabSheet::setPanel(QWidget* panel) {
    panel_ = panel;
    PlacePanel();
}

void TabSheet::PlacePanel() {
    // The panel's width is fixed: as built, or as a larger font widened it.
    if (panel_) {
        panel_->setGeometry(0, 0, panel_->minimumWidth(), height());
    }
}

void TabSheet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlacePanel();
}

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
    setObjectName("StatusBar1");
    setFont(Arial(8));
    for (int i = 0; i < 4; ++i) {
        // The clock's figures are drawn smaller rather than cut when a larger font needs it.
        auto* p = new FittedLabel(this);
        p->setObjectName(QStringLiteral("Panel%1").arg(i));
        p->setTextFormat(Qt::PlainText);
        p->setFrameStyle(i == 0 ? QFrame::NoFrame : (QFrame::Panel | QFrame::Sunken));
        p->setAlignment(i == 3 ? (Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter)
                               : Qt::AlignCenter);
        if (i == 3) {
            // An indent, not a contents margin: in a window made tiny the panel gets narrower
            // than a margin, which would give its frame a negative width.
            p->setIndent(4);
        }
        panels_[i] = p;
    }
    // The message and the notices, from the left of the last panel, inside its bevel.
    notices_ = new QWidget(panels_[3]);
    notices_->setObjectName("StatusNotices");
    auto* row = new QHBoxLayout(notices_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    message_ = new QLabel(notices_);
    message_->setObjectName("StatusMessage");
    message_->setTextFormat(Qt::PlainText);
    message_->hide();
    row->addWidget(message_);
}

QString StatusBar::panelText(int index) const {
    return panels_[index]->text();
}

void StatusBar::setPanelText(int index, const QString& text) {
    if (index == 3) {
        credit_ = text;
        LayOutPanels();
        return;
    }
    panels_[index]->setText(text);
}

void StatusBar::ShowMessage(const QString& text) {
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
    LayOutPanels();
}

QString StatusBar::message() const {
    return message_->text();
}

void StatusBar::AddNotice(QWidget* notice) {
    const bool hidden = notice->isHidden();
    notice->setParent(notices_);
    static_cast<QHBoxLayout*>(notices_->layout())->addWidget(notice);
    notice->setVisible(!hidden);
    // Shown or hidden, it changes the row's width at once: it may be clicked right away.
    notice->installEventFilter(this);
    LayOutPanels();
}

void StatusBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutPanels();
}

bool StatusBar::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) &&
        watched->parent() == notices_) {
        LayOutPanels();
    }
    return QWidget::eventFilter(watched, event);
}

void StatusBar::LayOutPanels() {
    int x = 0;
    for (int i = 0; i < 3; ++i) {
        panels_[i]->setGeometry(x, 0, kStatusWidths[i], height());
        x += kStatusWidths[i];
    }
    QLabel* last = panels_[3];
    last->setGeometry(x, 0, std::max(0, width() - x), height());

    // The row takes what it needs, as far as the panel goes; the credit keeps the rest, with
    // a blank's worth of room between them.
    const QRect inside = last->contentsRect().adjusted(last->indent(), 0, -last->indent(), 0);
    notices_->layout()->activate();
    const bool saying = !notices_->layout()->isEmpty();
    const int rowWidth = saying ? std::min(notices_->sizeHint().width(), inside.width()) : 0;
    notices_->setGeometry(inside.left(), inside.top(), std::max(0, rowWidth),
                          std::max(0, inside.height()));
    if (!saying) {
        last->setText(credit_);  // drawn as it always was, smaller if a larger font needs it
        return;
    }
    const int room = inside.width() - rowWidth - last->fontMetrics().horizontalAdvance(' ') * 2;
    last->setText(room > 0 ? last->fontMetrics().elidedText(credit_, Qt::ElideRight, room)
                           : QString());
}

QString CreditText() {
    return QString::fromUtf8(credits::kStatusCredit);
}

QString ClockText(const QDateTime& when, const QLocale& locale) {
    // The long time format names the time zone ("UTC"); the status panel has no room for it.
    const QString time = WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), time);
}

}  // namespace veliso

using namespace veliso;

TFormMM::TFormMM(QWidget* parent) : QWidget(parent) {
    // Before any control exists: Qt builds a control's accessible interface at its first
    // reported change, and keeps it.
    InstallAccessibility();
    setObjectName("FormMM");
    setWindowTitle(QStringLiteral("Veliso "));
    setWindowIcon(pictures::ApplicationIcon());
    // The window font serves the two buttons; every other control sets its own.
    setFont(QFont("Times New Roman", 8));
    resize(646, 525);

    openUrl = [this](const QUrl& url) {
        const QPointer<TFormMM> self(this);
        const auto failed = [self, path = url.toLocalFile()] {
            if (self) {
                self->ShowPageProblem(OpenerFailedMessage(path));
            }
        };
        if (!OpenWithDesktop(url, failed)) {
            ShowPageProblem(NoOpenerMessage());
        }
    };
    pagesFolder = InformationPagesFolder();
    terminate = [] { QCoreApplication::quit(); };

    // The records get their start values before any control exists: the liquid panel and
    // the smoothness sliders take their starting positions from them.
    SetStartValues();
    BuildPages();
    StatusBar1 = new StatusBar(this);
    StatusBar1->setPanelText(3, CreditText());

    BuildView();
    BuildButtons();
    BuildKeys();
    viewActions_ = new ViewActions(*this);

    PageControl1->setCurrentIndex(0);
    PageControl1->setHighlighted(0, true);
    PageControl1->tabBar()->installEventFilter(this);
    connect(PageControl1, &PageControl::tabChanged, this,
            Guard(this, &TFormMM::PageControl1Change));

    StartTimers();
    bench_ = new MeasurementBench(*this);
    connect(this, &TFormMM::gasStepped, bench_, Guard(bench_, &MeasurementBench::GasStepped));
    NameMainWindowControls(this);
    viewSpeech_ = new ViewSpeech(*this);

    LayOut();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
    // A large interface size may make the window, with its title bar, larger than a small
    // screen.
    KeepOnScreenWithItsFrame(*this);
}

void TFormMM::BuildPages() {
    // Page control with its three working tabs and the two tabs not in use.
    PageControl1 = new PageControl(this);
    PageControl1->setObjectName("PageControl1");
    const char* captions[5] = {"ÉTAT SOLIDE", "ÉTAT LIQUIDE", "ÉTAT GAZEUX", "CINÉTIQUE CHIMIQUE",
                               "ÉQUILIBRE CHIMIQUE"};
    TabSheet* sheets[5];
    for (int i = 0; i < 5; ++i) {
        sheets[i] = new TabSheet();
        sheets[i]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        PageControl1->addTab(sheets[i], QString::fromUtf8(captions[i]));
    }
    TabSheet1 = sheets[0];
    TabSheet2 = sheets[1];
    TabSheet3 = sheets[2];
    TabSheet4 = sheets[3];
    TabSheet5 = sheets[4];
    for (int i = 3; i < 5; ++i) {
        PageControl1->setTabVisible(i, false);
        PageControl1->setTabEnabled(i, false);
    }

    RandomSource& random = SharedRandom();
    Pansol = new SolidPanel(TabSheet1, solid, detail);
    Panliq = new LiquidPanel(TabSheet2, liquid, detail, random);
    Pangaz = new GasPanel(TabSheet3, gas, detail, random);
    for (QWidget* panel : std::initializer_list<QWidget*>{Pansol, Panliq, Pangaz}) {
        panel->setFont(Arial(8));
    }
    TabSheet1->setPanel(Pansol);
    TabSheet2->setPanel(Panliq);
    TabSheet3->setPanel(Pangaz);

    // Each slider moves the two others in the order its handler names them.
    Pansol->LinkSmoothness(Pangaz->smoothnessSlider(), Panliq->smoothnessSlider());
    Panliq->LinkSmoothness(Pansol->smoothnessSlider(), Pangaz->smoothnessSlider());
    Pangaz->LinkSmoothness(Pansol->smoothnessSlider(), Panliq->smoothnessSlider());

    auto infoIcon = [](QWidget* panel, const char* name, int x, int y) {
        auto* icon = new ClickableLabel(panel);
        icon->setObjectName(name);
        icon->setGeometry(x, y, 24, 24);
        icon->setPixmap(pictures::InfoIcon());
        icon->setCursor(Qt::PointingHandCursor);
        icon->setToolTip(QStringLiteral("Informations"));
        icon->raise();
        return icon;
    };
    Image_info = infoIcon(Pansol, "Image_info", 69, 378);
    Image_infoliq = infoIcon(Panliq, "Image_infoliq", 128, 242);
    Image_infogaz = infoIcon(Pangaz, "Image_infogaz", 128, 440);
    connect(Image_info, &ClickableLabel::clicked, this, Guard(this, &TFormMM::Image_infoClick));
    connect(Image_infoliq, &ClickableLabel::clicked, this,
            Guard(this, &TFormMM::Image_infoliqClick));
    connect(Image_infogaz, &ClickableLabel::clicked, this,
            Guard(this, &TFormMM::Image_infogazClick));
    for (QWidget* panel : std::initializer_list<QWidget*>{Pansol, Panliq, Pangaz}) {
        panelFlows_.emplace_back(panel, QSize(kPanelWidth, kPanelHeight));
    }
}

void TFormMM::BuildView() {
    // The view belongs to the window, not to a tab, and lies in front of the page control.
    OpenGLOrvPanel1 = new TOpenGLOrvPanel(this);
    OpenGLOrvPanel1->setObjectName("OpenGLOrvPanel1");
    OpenGLOrvPanel1->setGeometry(168, 28, 470, 470);
    OpenGLOrvPanel1->setCursor(Qt::SizeAllCursor);
    // Draw-to-window, OpenGL, double buffer; outline font Arial -13 plain, deviation 1,
    // extrusion 0.01 for the captions of the gas graphs.
    ApplySceneViewSettings(*OpenGLOrvPanel1);
    // The view guards what it runs of ours where it runs it, and hands exceptions here; the
    // drawing itself is not guarded by us, so that the view knows when a frame failed. The
    // box comes from the event loop, once the failed paint has returned, not from a modal
    // loop inside it.
    TOpenGLOrvPanel* view = OpenGLOrvPanel1;
    connect(view, &TOpenGLOrvPanel::handlerFailed, this, &ShowException, Qt::QueuedConnection);
    view->OnPaint = [this](TOpenGLOrvPanel* s) { OpenGLOrvPanel1Paint(s); };
    connect(view, &TOpenGLOrvPanel::initialised, this,
            [this] { OpenGLOrvPanel1Init(OpenGLOrvPanel1); });
    connect(view, &TOpenGLOrvPanel::resized, this,
            [this] { OpenGLOrvPanel1Resize(OpenGLOrvPanel1); });
    // Without a handler a view that cannot draw would stay empty and the user would never
    // learn why.
    connect(view, &TOpenGLOrvPanel::errorReported, this,
            [this](const QString& text) { OpenGLOrvPanel1Error(OpenGLOrvPanel1, text); });
    connect(view, &TOpenGLOrvPanel::mousePressed, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                OpenGLOrvPanel1MouseDown(OpenGLOrvPanel1, b, m, x, y);
            });
    connect(view, &TOpenGLOrvPanel::mouseReleased, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                OpenGLOrvPanel1MouseUp(OpenGLOrvPanel1, b, m, x, y);
            });
    connect(view, &TOpenGLOrvPanel::mouseMoved, this,
            [this](Qt::KeyboardModifiers m, int x, int y) {
                OpenGLOrvPanel1MouseMove(OpenGLOrvPanel1, m, x, y);
            });
    // In the keyboard order after the panel, before the two buttons; a click on the view
    // still leaves the focus where it was, since the GL surface does not take it.
    view->setFocusPolicy(Qt::StrongFocus);
    view->installEventFilter(this);
    PageControl1->setFocusKeeper(view);
    view->raise();
}

void TFormMM::BuildButtons() {
    // The two buttons lie over the status bar, in front of it.
    // Only 16 pixels high and 75 wide: the captions use the whole face but 2 pixels a side,
    // instead of the style's margins, which would clip them.
    Button1 = MakeButton(this, "Button1", QStringLiteral("INSTRUCTIONS"), QRect(9, 508, 75, 16), 2);
    Button2 =
        MakeButton(this, "Button2", QString::fromUtf8("À PROPOS DE"), QRect(87, 508, 75, 16), 2);
    for (QPushButton* b : {Button1, Button2}) {
        b->setAutoDefault(false);
        b->raise();
    }
    connect(Button1, &QPushButton::clicked, this, Guard(this, &TFormMM::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Guard(this, &TFormMM::Button2Click));
}

void TFormMM::BuildKeys() {
    auto keys = [this](const char* name, std::initializer_list<QKeySequence> sequences,
                       std::function<void()> run) {
        auto* a = new QAction(this);
        a->setObjectName(name);
        a->setShortcuts(QList<QKeySequence>(sequences));
        connect(a, &QAction::triggered, this, Guard(std::move(run)));
        addAction(a);
    };
    keys("InformationKey", {QKeySequence(Qt::Key_F1)}, [this] { ShowInformationPage(); });
    // Before any control sees them: a slider would take Ctrl+Page Down for a page step.
    keys("NextTabKey",
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
         [this] { PageControl1->SelectNeighbour(1); });
    keys("PreviousTabKey",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
         [this] { PageControl1->SelectNeighbour(-1); });
}

void TFormMM::StartTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(25);
    connect(Timer1, &QTimer::timeout, this, Guard(this, &TFormMM::Timer1Timer));
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, Guard(this, &TFormMM::Timer2Timer));
    Timer1->start();
    Timer2->start();
}

TFormMM::~TFormMM() {
    // The view goes first, while the records and panels its handlers use still exist.
    Timer1->stop();
    Timer2->stop();
    delete OpenGLOrvPanel1;
    OpenGLOrvPanel1 = nullptr;
}

void TFormMM::SetStartValues() {
    drag = DragState{};

    gas.paused = false;
    gas.showSpeeds = false;
    gas.showCurve = false;
    gas.temperature = 298.0;
    gas.volumePercent = 100.0;
    gas.halfEdge = 1.0;
    gas.red = 1.0;
    gas.green = 0.5;
    gas.blue = 0.0;
    gas.count = 100;
    gas.mass = 5;
    gas.wallHits = 0;
    gas.radius = 0.02 * std::pow(5.0, 1.0 / 3.0);
    gas.contactDistanceSq = 4 * gas.radius * gas.radius;
    detail.slices = 20;
    detail.stacks = 10;

    gas.view = ViewPoint{40.0, 0.0, 4.25};
    solid.view = ViewPoint{20.0, 1.5, 4.25};
    liquid.view = ViewPoint{40.0, 0.0, 4.25};
    startViews_[0] = solid.view;
    startViews_[1] = liquid.view;
    startViews_[2] = gas.view;

    solid.amplitude = 0.0;
    solid.red = 0.7;
    solid.green = 0.7;
    solid.blue = 0.8;

    liquid.temperature = 273.0;
    liquid.halfEdge = 1.0;
    liquid.red = 0.0;
    liquid.green = 0.6;
    liquid.blue = 1.0;

    InitGas(gas, SharedRandom());
    InitLiquid(liquid, SharedRandom());
}

void TFormMM::ShowStatus(const QString& text) {
    StatusBar1->ShowMessage(text);
}

const QWidget& TFormMM::gasPanel() const {
    return *Pangaz;
}

void TFormMM::AddStatusNotice(QWidget& notice) {
    StatusBar1->AddNotice(&notice);
}

void TFormMM::SetAuxiliaryWindows(QDialog* splash, QDialog* instructions, QDialog* about) {
    splash_ = splash;
    instructions_ = instructions;
    about_ = about;
}

int TFormMM::activeTab() const {
    return PageControl1->currentIndex();
}

ViewPoint& TFormMM::ActiveViewPoint() {
    switch (activeTab()) {
        case 1:
            return liquid.view;
        case 2:
            return gas.view;
        default:
            return solid.view;
    }
}

void TFormMM::FlowPanels() {
    // With the fonts the panels were built with, nothing changes; a larger font (a style
    // sheet's) widens them, at the view's expense, and heightens the window as their rows need.
    QSize needed(kPanelWidth, 0);
    for (PanelFlow& flow : panelFlows_) {
        needed = needed.expandedTo(flow.Flow());
    }
    panelWidth_ = needed.width();
    const bool grew = needed != QSize(kPanelWidth, kPanelHeight);
    panelHeight_ = grew ? needed.height() : 0;
    for (TabSheet* sheet : {TabSheet1, TabSheet2, TabSheet3}) {
        sheet->PlacePanel();
    }
    LayOut();
    if (grew) {
        // Once the tab sheets have their new heights.
        heightTries_ = 0;
        QTimer::singleShot(0, this, &TFormMM::FitPanelsHeight);
    }
}

void TFormMM::FitPanelsHeight() {
    // Panels that a larger font made taller than their tab get the window's height they
    // need (the tabs themselves grow with such a font too), once the fonts changed: a window
    // the user or the window system makes smaller afterwards is left so.
    // Only the tab shown has its height.
    const int shortBy = panelHeight_ - PageControl1->currentWidget()->height();
    if (shortBy > 0 && isVisible() && ++heightTries_ <= 3) {
        resize(width(), height() + shortBy);
        QTimer::singleShot(0, this, &TFormMM::FitPanelsHeight);  // the tabs may grow again
    }
}

void TFormMM::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (shown_ && (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)) {
        FlowPanels();
    }
}

void TFormMM::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FlowPanels();
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFormMM::FormShow() {
    // Runs before the window reaches the screen: the window appears once the splash closes.
    if (splash_) {
        splash_->exec();
        // The splash had the keyboard: once this window is on the screen, it takes it, even
        // where the window manager leaves a window that was not clicked inactive.
        QTimer::singleShot(0, this, [this] {
            raise();
            activateWindow();
        });
    }
}

void TFormMM::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TFormMM::LayOut() {
    // The page control fills the client area above the status bar.
    const int w = width();
    const int h = height();
    PageControl1->setGeometry(0, 0, w, std::max(0, h - StatusBar::kHeight));
    StatusBar1->setGeometry(0, std::max(0, h - StatusBar::kHeight), w, StatusBar::kHeight);
    StatusBar1->LayOutPanels();
    FormResize();
}

void TFormMM::FormResize() {
    const int w = PageControl1->width();
    const int h = PageControl1->height();
    // A window shrunk below the panels leaves no room for the view: it shrinks to nothing
    // rather than to a negative size, and its projection copes with a zero height.
    // Below the tabs, which grow with a larger font.
    const int top = 28 + std::max(0, PageControl1->tabBar()->height() - kTabHeight);
    // Beside the panels: at 168 and w - 173 wide for the panels as built.
    const int left = panelWidth_ + 7;
    OpenGLOrvPanel1->setGeometry(left, top, std::max(0, w - left - 5), std::max(0, h - top - 5));
    Button1->move(Button1->x(), h + 3);
    Button2->move(Button2->x(), Button1->y());
    update();
}

void TFormMM::closeEvent(QCloseEvent* event) {
    if (closing_ || (FormCloseQuery() && bench_->ConfirmClose())) {
        closing_ = true;
        event->accept();
        FormClose();
    } else {
        event->ignore();
    }
}

bool TFormMM::FormCloseQuery() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("CONFIRMATION"),
                    QStringLiteral("Voulez-vous fermer l'application ?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TFormMM::FormClose() {
    if (terminate) {
        terminate();
    }
}

void TFormMM::PageControl1Change(int index) {
    for (int i = 0; i < 3; ++i) {
        PageControl1->setHighlighted(i, i == index);
    }
    if (OpenGLOrvPanel1->contextReady() && OpenGLOrvPanel1->MakeCurrent()) {
        ApplyLightingSet(static_cast<SceneTab>(index));
    }
}

void TFormMM::Timer1Timer() {
    if (const auto hits =
            StepGasCountingHits(gas, activeTab() == static_cast<int>(SceneTab::Gas))) {
        emit gasStepped(*hits);
    }
    TOpenGLOrvPanel* view = OpenGLOrvPanel1;
    const long framesBefore = modelFrames_;
    if (drawEveryTick || frameRule_.MustDraw(ShownNow(), view->FrameWanted())) {
        ticking_ = true;
        struct TickDone {
            bool& flag;
            ~TickDone() { flag = false; }
        } done{ticking_};
        view->Repaint();
    } else if (view->WouldPaint()) {
        AdvanceUndrawnFrame();
    }
    // Tied to the ticks, the model moves once a tick even where the view could not paint.
    if (modelTiedToTicks_ && modelFrames_ == framesBefore) {
        AdvanceUndrawnFrame();
    }
}

ShownScene TFormMM::ShownNow() const {
    const auto tab = static_cast<SceneTab>(activeTab());
    const bool transparent =
        tab == SceneTab::Liquid ? Panliq->transparentCube() : Pangaz->transparentBox();
    return ShownScene::Of(tab, OpenGLOrvPanel1->ClientWidth(), OpenGLOrvPanel1->ClientHeight(),
                          detail, transparent, Panliq->markParticles(),
                          AccessibleStyle::HighContrast(), solid, liquid, gas);
}

void TFormMM::AdvanceUndrawnFrame() {
    ++modelFrames_;
    switch (activeTab()) {
        case 0:
            DrawSolidVibration(solid, SharedRandom());
            break;
        case 1:
            AdvanceLiquidFrame(liquid);
            break;
        default:
            break;  // the gas moves only in the tick's step
    }
}

void TFormMM::Timer2Timer() {
    if (activeTab() == static_cast<int>(SceneTab::Gas)) {
        const int hits = TakeWallHits(gas);
        Pangaz->ShowWallHits(hits);
    }
    StatusBar1->setPanelText(2, ClockText(QDateTime::currentDateTime()));
}

void TFormMM::OpenInformationPage(const QString& name) {
    const QString problem =
        MissingPageMessage(pagesFolder, name, QCoreApplication::applicationDirPath());
    if (!problem.isEmpty()) {
        ShowPageProblem(problem);
        return;
    }
    if (openUrl) {
        openUrl(QUrl::fromLocalFile(QDir(pagesFolder).absoluteFilePath(name)));
    }
}

void TFormMM::ShowPageProblem(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kApplicationTitle), text,
                    QMessageBox::Ok, this);
    box.exec();
}

void TFormMM::Image_infoClick() {
    OpenInformationPage(QStringLiteral("_sol.htm"));
}
void TFormMM::Image_infoliqClick() {
    OpenInformationPage(QStringLiteral("_liq.htm"));
}
void TFormMM::Image_infogazClick() {
    OpenInformationPage(QStringLiteral("_gaz.htm"));
}

void TFormMM::ShowInformationPage() {
    switch (activeTab()) {
        case 0:
            Image_infoClick();
            break;
        case 1:
            Image_infoliqClick();
            break;
        case 2:
            Image_infogazClick();
            break;
        default:
            break;
    }
}

void TFormMM::Button1Click() {
    if (instructions_) {
        instructions_->exec();
    }
}

void TFormMM::Button2Click() {
    if (about_) {
        about_->exec();
    }
}

void TFormMM::OpenGLOrvPanel1Init(TOpenGLOrvPanel* sender) {
    frameRule_.Forget();  // a new context: nothing it drew is on screen yet
    InitView(sender->ClientWidth(), sender->ClientHeight());
    // The lighting set of the current tab, should the user have switched tabs before the
    // view got its context (at start this is the solid tab's set InitView gave already).
    if (activeTab() != static_cast<int>(SceneTab::Solid)) {
        ApplyLightingSet(static_cast<SceneTab>(activeTab()));
    }
}

void TFormMM::OpenGLOrvPanel1Resize(TOpenGLOrvPanel* sender) {
    if (sender->contextReady() && sender->MakeCurrent()) {
        ResizeView(sender->ClientWidth(), sender->ClientHeight());
    }
}

void TFormMM::OpenGLOrvPanel1Paint(TOpenGLOrvPanel* sender) {
    // A notice shown for a failed binding gives way once the view draws again.
    if (viewNotice_ != nullptr && viewNotice_->isVisible()) {
        viewNotice_->hide();
    }
    // The scene is drawn from what ShownNow reads, so that FrameRule compares all of it.
    const ShownScene shown = ShownNow();
    if (modelTiedToTicks_ && !ticking_) {
        // A paint between two ticks (an exposure): the frame the model gives, drawn from
        // copies of what drawing moves (the liquid's step, the solid's vibration draws), so
        // that the model stays where the ticks left it.
        LiquidState liquidCopy = liquid;
        RandomSource randomCopy = SharedRandom();
        DrawShown(shown, liquidCopy, randomCopy, *sender);
        frameRule_.Forget();  // a frame one step ahead of the model: the next tick draws
        return;
    }
    ++modelFrames_;  // before drawing, which moves the model first
    DrawShown(shown, liquid, SharedRandom(), *sender);
    // Taken after drawing: the liquid's frame moved it.
    frameRule_.Drawn(ShownNow());
}

void TFormMM::DrawShown(const ShownScene& shown, LiquidState& liquidRecord, RandomSource& random,
                        TOpenGLOrvPanel& sender) {
    switch (shown.tab) {
        case SceneTab::Solid:
            DrawSolidScene(solid, shown.detail, random);
            break;
        case SceneTab::Liquid:
            DrawLiquidScene(liquidRecord, shown.detail, shown.transparent, shown.marked);
            break;
        case SceneTab::Gas:
            DrawGasScene(gas, shown.detail, shown.transparent, sender.text(), shown.thickLines);
            break;
    }
}

void TFormMM::OpenGLOrvPanel1Error(TOpenGLOrvPanel* sender, const QString& text) {
    // A failed creation reports its cause first and "Open GL Context Create Failed" last;
    // the notice lists every cause and comes up once the view is known to have no context.
    // A binding refused after creation leaves the context but stops the drawing: the
    // notice comes up over the GL surface, until the view draws again.
    if (viewNotice_ == nullptr) {
        viewNotice_ = new ViewNotice(sender);
        viewNotice_->hide();
    }
    viewNotice_->AddReason(text);
    if (!sender->contextCreationDone()) {
        return;  // more may come; the creation's last report decides
    }
    if (sender->contextReady()) {
        // The GL surface is a native window: only a native window shows above it.
        viewNotice_->winId();
    }
    viewNotice_->show();
    viewNotice_->raise();
}

void TFormMM::OpenGLOrvPanel1MouseDown(TOpenGLOrvPanel*, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y) {
    NavMouseDown(drag, ToNavButton(button), shift.testFlag(Qt::ControlModifier), x, y);
}

void TFormMM::OpenGLOrvPanel1MouseUp(TOpenGLOrvPanel*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                     int) {
    NavMouseUp(drag);
}

void TFormMM::OpenGLOrvPanel1MouseMove(TOpenGLOrvPanel*, Qt::KeyboardModifiers, int x, int y) {
    NavMouseMove(drag, ActiveViewPoint(), x, y);
}

bool TFormMM::OpenGLOrvPanel1KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    // The keypad's keys come with their own modifier; + comes with Shift on most layouts.
    // Ctrl+Up and Ctrl+Down move the eye nearer and farther as a Ctrl-drag does: a screen
    // reader takes the keypad's + and - for its own commands.
    static const std::pair<int, NavKey> kKeys[] = {
        {Qt::Key_Left, NavKey::Left},     {Qt::Key_Right, NavKey::Right},
        {Qt::Key_Up, NavKey::Up},         {Qt::Key_Down, NavKey::Down},
        {Qt::Key_PageUp, NavKey::PageUp}, {Qt::Key_PageDown, NavKey::PageDown},
        {Qt::Key_Plus, NavKey::ZoomIn},   {Qt::Key_Equal, NavKey::ZoomIn},
        {Qt::Key_Minus, NavKey::ZoomOut}, {Qt::Key_Underscore, NavKey::ZoomOut},
        {Qt::Key_Home, NavKey::Home},
    };
    static const std::pair<int, NavKey> kCtrlKeys[] = {
        {Qt::Key_Up, NavKey::ZoomIn},
        {Qt::Key_Down, NavKey::ZoomOut},
    };
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    using Keys = std::span<const std::pair<int, NavKey>>;
    for (const auto& [code, navKey] : ctrl ? Keys(kCtrlKeys) : Keys(kKeys)) {
        if (code == key) {
            NavKeyPress(ActiveViewPoint(), navKey, StartViewPoint(activeTab()));
            if (viewSpeech_ != nullptr) {
                viewSpeech_->CameraMoved();
            }
            return true;
        }
    }
    return false;
}

bool TFormMM::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == PageControl1->tabBar()) {
        FormResize();
    }
    if (watched == OpenGLOrvPanel1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (OpenGLOrvPanel1KeyDown(key->key(), key->modifiers())) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
