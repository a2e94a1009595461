// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/view_speech.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

#include "core/gas/gas_step.h"
#include "glview/opengl_orv_panel.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/liquid_panel.h"
#include "mainwindow/measurement_bench.h"
#include "mainwindow/view_actions.h"

namespace veliso {

namespace {

constexpr char kContinuousKey[] = "accessibilite/annoncesEnContinu";
constexpr int kGasTab = 2;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

/// The program's settings, where the measurement window keeps its own.
QSettings Settings() {
    return QSettings();
}

}  // namespace

ViewSpeech::ViewSpeech(TFormMM& form) : QObject(&form), form_(form) {
    setObjectName("ViewSpeech");
    announcer_ = new Announcer(&form_);

    TOpenGLOrvPanel* view = form_.OpenGLOrvPanel1;
    SetAccessibleRole(view, QAccessible::Graphic);
    // The view takes the keyboard focus so that its description can be read and asked for.
    if (view->focusPolicy() == Qt::NoFocus) {
        view->setFocusPolicy(Qt::StrongFocus);
    }
    auto* describe = new QShortcut(QKeySequence(Qt::Key_D), view);
    describe->setObjectName("ShortcutDecrire");
    describe->setContext(Qt::WidgetShortcut);
    connect(describe, &QShortcut::activated, this, Guard(this, &ViewSpeech::ReadAloud));

    continuous_ = new QAction(QStringLiteral("Annonces en continu"), this);
    continuous_->setObjectName("ActionAnnoncesEnContinu");
    continuous_->setCheckable(true);
    continuous_->setChecked(Settings().value(kContinuousKey, false).toBool());
    connect(continuous_, &QAction::toggled, this, Guard(this, &ViewSpeech::SetContinuous));
    if (form_.viewActions() != nullptr) {
        form_.viewActions()->menu()->addSeparator();
        form_.viewActions()->menu()->addAction(continuous_);
    }

    // The first description is shown at once and said to no one.
    seen_ = said_ = Current(form_.activeTab());
    seenTab_ = saidTab_ = form_.activeTab();
    unchangedFor_.start();
    sinceLive_.start();
    descriptionPending_ = true;
    ShowDescription();

    cameraTimer_ = new QTimer(this);
    cameraTimer_->setObjectName("TimerCamera");
    cameraTimer_->setSingleShot(true);
    cameraTimer_->setTimerType(Qt::PreciseTimer);  // never sooner than cameraMs
    connect(cameraTimer_, &QTimer::timeout, this, Guard(this, &ViewSpeech::SayCamera));

    timer_ = new QTimer(this);
    timer_->setObjectName("TimerDescription");
    timer_->setInterval(250);
    connect(timer_, &QTimer::timeout, this, Guard(this, &ViewSpeech::Poll));
    timer_->start();
}

QString ViewSpeech::ViewName(int tab) {
    static const char* const kNames[3] = {"Vue 3D : état solide", "Vue 3D : état liquide",
                                          "Vue 3D : état gazeux"};
    return tab >= 0 && tab < 3 ? QString::fromUtf8(kNames[tab]) : QStringLiteral("Vue 3D");
}

std::optional<int> ViewSpeech::WallHits() const {
    // The figure the gas panel shows, written there once a second on the gas tab.
    const auto* label = form_.Pangaz->findChild<QLabel*>("Lab_Chocs");
    bool number = false;
    const int hits = label != nullptr ? label->text().toInt(&number) : 0;
    return number ? std::optional<int>(hits) : std::nullopt;
}

SceneDescription ViewSpeech::Current(int tab) const {
    switch (tab) {
        case 0:
            return DescribeSolidScene(form_.solid);
        case 1:
            return DescribeLiquidScene(form_.liquid, form_.Panliq->transparentCube(),
                                       form_.Panliq->markParticles());
        case kGasTab:
            return DescribeGasScene(form_.gas, form_.Pangaz->transparentBox(), WallHits());
        default:
            return {};
    }
}

QString ViewSpeech::Describe(bool withLive) const {
    return Text(JoinSentences(Current(form_.activeTab()), withLive));
}

QString ViewSpeech::LiveText() const {
    if (form_.activeTab() != kGasTab) {
        return {};
    }
    const std::optional<int> hits = WallHits();
    QString text = hits ? QString::fromUtf8("Chocs sur les parois : %1 par seconde ; ")
                              .arg(Text(FrenchNumber(*hits)))
                        : QString();
    text += QString::fromUtf8("pression : %1\u00a0Pa.")
                .arg(Text(FrenchNumber(IdealGasPressure(form_.gas.count, form_.gas.temperature,
                                                        form_.gas.volumePercent))));
    const QString readout = form_.bench().Readout();
    if (!readout.isEmpty()) {
        text += QLatin1Char(' ') + readout;
    }
    return text;
}

void ViewSpeech::Poll() {
    const int tab = form_.activeTab();
    const SceneDescription now = Current(tab);
    if (tab != seenTab_ || JoinSentences(now, false) != JoinSentences(seen_, false)) {
        seen_ = now;
        seenTab_ = tab;
        unchangedFor_.restart();
    }
    const bool changed =
        tab != saidTab_ || JoinSentences(seen_, false) != JoinSentences(said_, false);
    // A camera sentence on its way says the camera, with the rest of the view unchanged.
    if (changed && unchangedFor_.elapsed() >= settleMs && !cameraPending_) {
        // A new tab is said by the tab bar; the view's description follows it silently.
        if (tab == saidTab_) {
            const std::vector<std::string> sentences = ChangedSentences(said_, seen_);
            QStringList parts;
            for (const std::string& s : sentences) {
                parts << Text(s);
            }
            if (!parts.isEmpty()) {
                announcer_->Say(parts.join(QLatin1Char(' ')));
            }
        }
        said_ = seen_;
        saidTab_ = tab;
        descriptionPending_ = true;
    }
    ShowDescription();

    if (continuous_->isChecked() && sinceLive_.elapsed() >= continuousMs) {
        const QString live = LiveText();
        if (!live.isEmpty() && live != lastLive_) {
            announcer_->Say(live);
            lastLive_ = live;
            sinceLive_.restart();
        }
    }
}

void ViewSpeech::ShowDescription() {
    TOpenGLOrvPanel* view = form_.OpenGLOrvPanel1;
    const QString name = ViewName(saidTab_);
    if (view->accessibleName() != name) {
        view->setAccessibleName(name);
    }
    // While the view has the focus, a screen reader would read out every new description
    // whole: the change itself was said already, and the description follows when the focus
    // leaves.
    if (!descriptionPending_ || view->hasFocus()) {
        return;
    }
    descriptionPending_ = false;
    const QString text = Text(JoinSentences(said_, false)) + QLatin1Char(' ') +
                         tr("Touches : les flèches tournent le modèle et montent ou descendent "
                            "l'œil, Ctrl+flèche haut et Ctrl+flèche bas l'approchent et "
                            "l'éloignent, Origine revient au départ, D lit la description "
                            "complète.");
    if (view->accessibleDescription() != text) {
        view->setAccessibleDescription(text);
    }
}

void ViewSpeech::ReadAloud() {
    announcer_->Say(ViewName(form_.activeTab()) + QStringLiteral(". ") + Describe(true));
}

void ViewSpeech::CameraMoved() {
    cameraPending_ = true;
    if (!sinceCamera_.isValid() || sinceCamera_.elapsed() >= cameraMs) {
        cameraTimer_->stop();
        SayCamera();
    } else if (!cameraTimer_->isActive()) {
        cameraTimer_->start(static_cast<int>(cameraMs - sinceCamera_.elapsed()));
    }
}

void ViewSpeech::SayCamera() {
    if (!cameraPending_) {
        return;
    }
    cameraPending_ = false;
    const int tab = form_.activeTab();
    const SceneDescription now = Current(tab);
    const auto camera =
        std::find_if(now.begin(), now.end(), [](const SceneSentence& s) { return s.camera; });
    if (camera == now.end()) {
        return;
    }
    announcer_->Say(Text(camera->text));
    sinceCamera_.restart();
    // Said: the settled description does not say it again.
    for (SceneDescription* d : {&said_, &seen_}) {
        for (SceneSentence& s : *d) {
            if (s.camera && tab == saidTab_ && tab == seenTab_) {
                s.text = camera->text;
            }
        }
    }
}

void ViewSpeech::SetContinuous(bool on) {
    Settings().setValue(kContinuousKey, on);
    lastLive_.clear();
    if (continuous_->isChecked() != on) {
        continuous_->setChecked(on);
    }
}

}  // namespace veliso
