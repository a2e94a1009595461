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
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOption>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace veliso {

namespace {

bool highContrast = false;

const char* const kContrastProperty = "velisoContrastColours";
const char* const kContrastSheets = "velisoContrastSheets";

/// `rect` less its inside `width` pixels in from every edge.
QRegion Ring(const QRect& rect, int width) {
    return QRegion(rect).subtracted(QRegion(rect.adjusted(width, width, -width, -width)));
}

/// What the ring goes around, in the parent's coordinates: a slider's groove and handle (its
/// widget has empty rows above and below them), any other control's bounds.
QRect FocusArea(const QWidget* target) {
    const QRect bounds = target->geometry();
    const auto* slider = qobject_cast<const QSlider*>(target);
    if (slider == nullptr) {
        return bounds;
    }
    const QStyleOptionSlider option = SliderStyleOption(*slider);
    QStyle* style = slider->style();
    QRect parts =
        style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, slider) |
        style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    // Across the slider the whole length; its tick marks are part of it.
    if (slider->orientation() == Qt::Horizontal) {
        parts.setLeft(0);
        parts.setRight(slider->width() - 1);
        if (slider->tickPosition() & QSlider::TicksAbove) {
            parts.setTop(0);
        }
        if (slider->tickPosition() & QSlider::TicksBelow) {
            parts.setBottom(slider->height() - 1);
        }
    }
    return parts.translated(bounds.topLeft()) & bounds;
}

/// What the ring must leave uncovered around `target`, in its parent's coordinates: the
/// siblings drawn before it (those drawn after it lie over the ring), and, of a sibling
/// under the whole control (a backdrop panel), the widgets inside it.
std::vector<QRect> Obstacles(const QWidget* target, const QRect& area) {
    std::vector<QRect> obstacles;
    for (const QObject* o : target->parentWidget()->children()) {
        if (o == target) {
            break;
        }
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w == nullptr || w->isWindow() || !w->isVisible() ||
            w->objectName() == QLatin1String("FocusRing")) {
            continue;
        }
        const QRect g = w->geometry();
        if (!g.contains(area)) {
            obstacles.push_back(g);
            continue;
        }
        for (const QWidget* inner : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!inner->isWindow() && inner->isVisible()) {
                obstacles.push_back(inner->geometry().translated(g.topLeft()));
            }
        }
    }
    return obstacles;
}

/// Where the ring lies around `target`, in its parent's coordinates: one pixel outside its
/// focus area; on a side where something it must not cover comes nearer (a caption just above
/// a slider, a slider stacked on another), no farther out than that, inside the control's own
/// area if need be, down to half of it.
QRect RingBounds(const QWidget* target) {
    constexpr int w = AccessibleStyle::kRingWidth;
    const int m = w + AccessibleStyle::kRingGap;
    const QRect area = FocusArea(target);
    QRect ring = area.adjusted(-m, -m, m, m);
    for (const QRect& g : Obstacles(target, area)) {
        const bool acrossColumns = g.left() <= area.right() && g.right() >= area.left();
        const bool acrossRows = g.top() <= area.bottom() && g.bottom() >= area.top();
        if (acrossColumns && g.top() < area.top() && g.bottom() >= ring.top()) {
            ring.setTop(g.bottom() + 1);
        }
        if (acrossColumns && g.bottom() > area.bottom() && g.top() <= ring.bottom()) {
            ring.setBottom(g.top() - 1);
        }
        if (acrossRows && g.left() < area.left() && g.right() >= ring.left()) {
            ring.setLeft(g.right() + 1);
        }
        if (acrossRows && g.right() > area.right() && g.left() <= ring.right()) {
            ring.setRight(g.left() - 1);
        }
    }
    const QPoint centre = area.center();
    ring.setTop(std::min(ring.top(), centre.y() - w));
    ring.setBottom(std::max(ring.bottom(), centre.y() + w));
    ring.setLeft(std::min(ring.left(), centre.x() - w));
    ring.setRight(std::max(ring.right(), centre.x() + w));
    return ring;
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
        setGeometry(RingBounds(target_));
        setMask(Ring(rect(), AccessibleStyle::kRingWidth));
        // Right over its control: what was laid over the control (a figure under a slider's
        // track) stays over the ring too.
        const QObjectList& siblings = target_->parentWidget()->children();
        const qsizetype at = siblings.indexOf(target_);
        QWidget* above = nullptr;
        for (qsizetype i = at + 1; i < siblings.size() && above == nullptr; ++i) {
            auto* w = qobject_cast<QWidget*>(siblings[i]);
            if (w != nullptr && w != this && !w->isWindow()) {
                above = w;
            }
        }
        if (above != nullptr) {
            stackUnder(above);
        } else {
            raise();
        }
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
    painter->setPen(QPen(AccessibleStyle::CurrentOutlineColour(), 1));
    painter->setBrush(Qt::NoBrush);
    const QRectF r = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    if (radius > 0) {
        painter->drawRoundedRect(r, radius, radius);
    } else {
        painter->drawRect(r);
    }
    painter->restore();
}

/// The tick marks of a horizontal or vertical slider, where the base style draws them (one
/// line at each interval, shorter at both ends), in the outline colour.
void TickMarks(const QStyle* style, const QStyleOptionSlider& slider, QPainter* painter,
               const QWidget* widget) {
    const bool horizontal = slider.orientation == Qt::Horizontal;
    const int length = style->pixelMetric(QStyle::PM_SliderLength, &slider, widget);
    const int tickSize = style->pixelMetric(QStyle::PM_SliderTickmarkOffset, &slider, widget);
    const int available = (horizontal ? slider.rect.width() : slider.rect.height()) - length;
    int interval = slider.tickInterval > 0 ? slider.tickInterval : slider.singleStep;
    if (interval <= 0) {
        interval = 1;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(AccessibleStyle::CurrentOutlineColour());
    painter->translate(slider.rect.topLeft());
    const int w = slider.rect.width() - 1;
    const int h = slider.rect.height() - 1;
    for (long long v = slider.minimum; v <= slider.maximum; v += interval) {
        const int value = static_cast<int>(v);
        const int pos = QStyle::sliderPositionFromValue(slider.minimum, slider.maximum, value,
                                                        available, slider.upsideDown) +
                        length / 2;
        const int extra = value == slider.minimum || value == slider.maximum ? 1 : 2;
        if (slider.tickPosition & QSlider::TicksAbove) {
            horizontal ? painter->drawLine(pos, extra, pos, tickSize)
                       : painter->drawLine(extra, pos, tickSize, pos);
        }
        if (slider.tickPosition & QSlider::TicksBelow) {
            horizontal ? painter->drawLine(pos, h - extra, pos, h - tickSize)
                       : painter->drawLine(w - extra, pos, w - tickSize, pos);
        }
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

QStyleOptionSlider SliderStyleOption(const QSlider& slider) {
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.subControls = QStyle::SC_None;
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    option.tickPosition = slider.tickPosition();
    option.tickInterval = slider.tickInterval();
    option.upsideDown = slider.invertedAppearance() != (slider.orientation() == Qt::Vertical);
    option.direction = Qt::LeftToRight;
    if (slider.orientation() == Qt::Horizontal) {
        option.state |= QStyle::State_Horizontal;
    }
    return option;
}

AccessibleStyle::AccessibleStyle()
    : QProxyStyle(BaseStyleName().isEmpty() ? nullptr : QStyleFactory::create(BaseStyleName())) {}

bool AccessibleStyle::HighContrast() {
    return highContrast;
}

QColor AccessibleStyle::CurrentOutlineColour() {
    return highContrast ? OutlineColour() : NormalOutlineColour();
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
    switch (element) {
        case PE_IndicatorCheckBox:
            Outline(painter, option->rect, 0);
            break;
        case PE_IndicatorRadioButton: {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(CurrentOutlineColour(), 1.2));
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
    if (element == CE_ProgressBarGroove || element == CE_TabBarTabShape) {
        Outline(painter, option->rect, 0);
    }
}

void AccessibleStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const {
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control == CC_Slider && slider != nullptr) {
        // The groove first, its outline over it, then the handle over both, outlined too;
        // the tick marks in the outline colour instead of the style's.
        QStyleOptionSlider part = *slider;
        part.subControls = slider->subControls & SC_SliderGroove;
        if (part.subControls != 0) {
            QProxyStyle::drawComplexControl(control, &part, painter, widget);
            Outline(painter, subControlRect(control, option, SC_SliderGroove, widget), 2);
        }
        part.subControls = slider->subControls & ~(SC_SliderGroove | SC_SliderTickmarks);
        QProxyStyle::drawComplexControl(control, &part, painter, widget);
        if (slider->subControls & SC_SliderHandle) {
            Outline(painter, subControlRect(control, option, SC_SliderHandle, widget), 2);
        }
        if ((slider->subControls & SC_SliderTickmarks) &&
            slider->tickPosition != QSlider::NoTicks) {
            TickMarks(this, *slider, painter, widget);
        }
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ComboBox) {
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
