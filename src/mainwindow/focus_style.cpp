// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/focus_style.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabBar>
#include <QWidget>

namespace veliso {

namespace {

bool highContrast = false;

const char* const kContrastProperty = "velisoContrastColours";
const char* const kContrastSheets = "velisoContrastSheets";

/// `rect` less its inside `width` pixels in from every edge.
QRegion Ring(const QRect& rect, int width) {
    return QRegion(rect).subtracted(QRegion(rect.adjusted(width, width, -width, -width)));
}

/// The ring around the control that has the keyboard focus: a widget of the control's parent,
/// just outside the control and in front of it, shaped to the ring alone, so that it covers
/// nothing of the control and takes no mouse input.
class FocusRing : public QWidget {
  public:
    FocusRing() {
        setObjectName("FocusRing");
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoChildEventsForParent);
        setFocusPolicy(Qt::NoFocus);
    }

    void Follow(QWidget* target) {
        if (target_ != nullptr) {
            target_->removeEventFilter(this);
        }
        target_ = target;
        if (target == nullptr || target->parentWidget() == nullptr) {
            hide();
            return;
        }
        target->installEventFilter(this);
        setParent(target->parentWidget());
        Place();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == target_) {
            switch (event->type()) {
                case QEvent::Move:
                case QEvent::Resize:
                case QEvent::Show:
                case QEvent::Hide:
                case QEvent::ZOrderChange:
                    Place();
                    break;
                case QEvent::ParentChange:
                    Follow(target_);
                    break;
                default:
                    break;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent*) override {
        if (target_ == nullptr || !target_->hasFocus() ||
            !target_->window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
            return;
        }
        QPainter p(this);
        p.setClipRegion(Ring(rect(), AccessibleStyle::kRingWidth));
        p.fillRect(rect(), AccessibleStyle::FocusColour());
    }

  private:
    void Place() {
        if (target_ == nullptr || !target_->isVisible()) {
            hide();
            return;
        }
        const int m = AccessibleStyle::kRingWidth + AccessibleStyle::kRingGap;
        setGeometry(target_->geometry().adjusted(-m, -m, m, m));
        setMask(Ring(rect(), AccessibleStyle::kRingWidth));
        raise();
        show();
        update();
    }

    QPointer<QWidget> target_;
};

/// Moves the one ring to each control that takes the focus, in any window.
class FocusRingFollower : public QObject {
  public:
    explicit FocusRingFollower(QApplication& app) : QObject(&app) {
        connect(&app, &QApplication::focusChanged, this,
                [this](QWidget*, QWidget* now) { FollowFocus(now); });
    }

  private:
    static bool WantsRing(const QWidget* w) {
        // The tab bar marks its current tab, and menus their current item.
        return w != nullptr && w->parentWidget() != nullptr && w->focusPolicy() != Qt::NoFocus &&
               qobject_cast<const QTabBar*>(w) == nullptr && w->window()->windowType() != Qt::Popup;
    }

    void FollowFocus(QWidget* now) {
        if (ring_ == nullptr) {
            ring_ = new FocusRing;
        }
        ring_->Follow(WantsRing(now) ? now : nullptr);
    }

    QPointer<FocusRing> ring_;
};

void Outline(QPainter* painter, const QRectF& rect, double radius) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, radius > 0);
    painter->setPen(QPen(AccessibleStyle::OutlineColour(), 1));
    painter->setBrush(Qt::NoBrush);
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    if (radius > 0) {
        painter->drawRoundedRect(r, radius, radius);
    } else {
        painter->drawRect(r);
    }
    painter->restore();
}

void FocusRectangle(QPainter* painter, const QRect& rect) {
    painter->save();
    painter->setClipRegion(Ring(rect, AccessibleStyle::kRingWidth), Qt::IntersectClip);
    painter->fillRect(rect, AccessibleStyle::FocusColour());
    painter->restore();
}

}  // namespace

AccessibleStyle::AccessibleStyle()
    : QProxyStyle(BaseStyleName().isEmpty() ? nullptr : QStyleFactory::create(BaseStyleName())) {}

bool AccessibleStyle::HighContrast() {
    return highContrast;
}

void AccessibleStyle::SetHighContrast(bool on) {
    highContrast = on;
}

void AccessibleStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameFocusRect && qobject_cast<const QAbstractItemView*>(widget) != nullptr) {
        // The current cell of a table or list.
        if (option->state & State_KeyboardFocusChange) {
            FocusRectangle(painter, option->rect);
        }
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (!highContrast) {
        return;
    }
    switch (element) {
        case PE_IndicatorCheckBox:
            Outline(painter, option->rect, 0);
            break;
        case PE_IndicatorRadioButton: {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(OutlineColour(), 1.2));
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(QRectF(option->rect).adjusted(0.6, 0.6, -0.6, -0.6));
            painter->restore();
            break;
        }
        case PE_PanelButtonCommand:
            Outline(painter, option->rect, 2);
            break;
        default:
            break;
    }
}

void AccessibleStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_TabBarTab && (option->state & State_HasFocus) &&
        (option->state & State_KeyboardFocusChange)) {
        // The style marks the focused tab inside its label, out of this proxy's reach.
        FocusRectangle(painter, option->rect.adjusted(2, 2, -2, -1));
    }
    if (highContrast && (element == CE_ProgressBarGroove || element == CE_TabBarTabShape)) {
        Outline(painter, option->rect, 0);
    }
}

void AccessibleStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const {
    if (highContrast && control == CC_Slider && (option->subControls & SC_SliderGroove)) {
        // The groove first, its outline over it, then the handle over both.
        const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (slider != nullptr) {
            QStyleOptionSlider groove = *slider;
            groove.subControls = SC_SliderGroove;
            QProxyStyle::drawComplexControl(control, &groove, painter, widget);
            Outline(painter, subControlRect(control, option, SC_SliderGroove, widget), 2);
            QStyleOptionSlider rest = *slider;
            rest.subControls &= ~SC_SliderGroove;
            QProxyStyle::drawComplexControl(control, &rest, painter, widget);
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (highContrast && control == CC_ComboBox) {
        Outline(painter, option->rect, 2);
    }
}

QString AccessibleStyle::BaseStyleName() {
    QStyle* style = QApplication::style();
    if (auto* proxy = qobject_cast<QProxyStyle*>(style)) {
        style = proxy->baseStyle();
    }
    return style != nullptr ? style->name() : QString();
}

void InstallAccessibleStyle(QApplication& app) {
    QApplication::setStyle(new AccessibleStyle);
    new FocusRingFollower(app);
}

void SetContrastColour(QWidget* widget, int role, const QColor& normal, const QColor& strong) {
    QVariantList colours = widget->property(kContrastProperty).toList();
    colours << role << normal << strong;
    widget->setProperty(kContrastProperty, colours);
    QPalette palette = widget->palette();
    palette.setColor(static_cast<QPalette::ColorRole>(role), highContrast ? strong : normal);
    widget->setPalette(palette);
}

void SetContrastStyleSheet(QWidget* widget, const QString& normal, const QString& strong) {
    widget->setProperty(kContrastSheets, QStringList{normal, strong});
    widget->setStyleSheet(highContrast ? strong : normal);
}

ContrastNotifier* ContrastChanges() {
    static auto* notifier = new ContrastNotifier;
    return notifier;
}

void ApplyContrastMode(bool on) {
    AccessibleStyle::SetHighContrast(on);
    for (QWidget* w : QApplication::allWidgets()) {
        // The sheet first: applying one gives the widget back the palette it had before.
        const QStringList sheets = w->property(kContrastSheets).toStringList();
        if (sheets.size() == 2) {
            w->setStyleSheet(sheets[on ? 1 : 0]);
        }
        const QVariantList colours = w->property(kContrastProperty).toList();
        if (!colours.isEmpty()) {
            QPalette palette = w->palette();
            for (qsizetype i = 0; i + 2 < colours.size(); i += 3) {
                palette.setColor(static_cast<QPalette::ColorRole>(colours[i].toInt()),
                                 (on ? colours[i + 2] : colours[i + 1]).value<QColor>());
            }
            w->setPalette(palette);
        }
        w->update();
    }
    emit ContrastChanges()->changed(on);
}

}  // namespace veliso
