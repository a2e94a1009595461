// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/panel_widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

#include "core/common/colour.h"
#include "mainwindow/fitted_text.h"
#include "mainwindow/focus_style.h"
#include "mainwindow/handler_boundary.h"

namespace veliso {

namespace {

// Group titles: a grey that small text still reads at 4.5:1 on the panel; the contrast mode's
// at 13.2:1.
const QColor kGroupTitleColour(0x66, 0x66, 0x66);
const QColor kStrongGroupTitleColour(0x26, 0x26, 0x26);
// The red under the white "R": 4.8:1 (pure red gives 4.0:1), 5.9:1 in the contrast mode.
const QColor kRed(230, 0, 0);
const QColor kStrongRed(204, 0, 0);

/// Pixels `text` takes in `font`: its advance, or its ink where a glyph reaches beyond that.
int WidthOf(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right() + 1);
}

}  // namespace

QFont PanelFont(bool bold) {
    QFont font("Arial", 8);
    font.setBold(bold);
    return font;
}

void SetUpTabPanel(QFrame* panel, const char* name) {
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setFont(PanelFont());
    // The panel paints its own background rather than showing the tab page's, which a style
    // may draw in another shade: the value labels fill theirs with the same colour, so a
    // figure hides the dots beneath it without showing a patch.
    panel->setAutoFillBackground(true);
    panel->setFixedWidth(161);
    panel->resize(161, 472);
}

void ChainTabOrder(const QList<QWidget*>& order) {
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void UsePanelLook(QWidget* widget, bool bold) {
    widget->setFont(PanelFont(bold));
    QPalette palette = widget->palette();
    const QPalette normal = QApplication::palette(widget);
    palette.setColor(QPalette::WindowText, normal.color(QPalette::WindowText));
    palette.setColor(QPalette::Text, normal.color(QPalette::Text));
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                  const QString& hint) {
    auto* label = new FittedLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(bounds);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setToolTip(hint);
    UsePanelLook(label);
    return label;
}

QLabel* MakeValueLabel(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                       const QString& hint) {
    auto* label = static_cast<FittedLabel*>(MakeLabel(parent, name, {}, bounds, hint));
    // The caption whose dots the figure covers ends its text before the figure.
    for (auto* caption : parent->findChildren<FittedLabel*>(Qt::FindDirectChildrenOnly)) {
        if (caption != label && (caption->alignment() & Qt::AlignLeft) &&
            caption->geometry().intersects(bounds)) {
            caption->setCoveredBy(label);
        }
    }
    label->setGrowsLeft(true);
    UsePanelLook(label, true);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setAutoFillBackground(true);
    SetValueText(label, text);
    return label;
}

void SetValueText(QLabel* label, const QString& text) {
    label->setText(text);
    if (text.isEmpty()) {
        return;
    }
    const QRect bounds = label->geometry();
    const int width =
        std::max(label->minimumWidth(), label->fontMetrics().horizontalAdvance(text) + 1);
    label->setGeometry(bounds.right() + 1 - width, bounds.top(), width, bounds.height());
}

void SetValueText(QLabel* label, const std::string& text) {
    SetValueText(label, QString::fromStdString(text));
}

QSlider* MakeSlider(QWidget* parent, const char* name, const QRect& bounds, int minimum,
                    int maximum, int position) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setValue(position);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setGeometry(bounds);
    return slider;
}

QSlider* MakeSmoothnessSlider(QWidget* parent, const char* name, const QRect& bounds,
                              int position) {
    QSlider* slider = MakeSlider(parent, name, bounds, 8, 32, position);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(1);
    slider->setToolTip("Optimalisation de l'animation");
    return slider;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                        const QString& hint) {
    auto* box = new FittedCheckBox(text, parent);
    box->captionFit().setLeastPointSize(PanelFont().pointSizeF());
    box->setObjectName(name);
    box->setGeometry(bounds);
    box->setToolTip(hint);
    UsePanelLook(box);
    return box;
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& title,
                        const QRect& bounds) {
    auto* box = new FittedGroupBox(title, parent);
    box->setObjectName(name);
    box->setGeometry(bounds);
    box->setFont(QFont("Arial", 7));
    SetContrastColour(box, QPalette::WindowText, kGroupTitleColour, kStrongGroupTitleColour);
    SetContrastColour(box, QPalette::Text, kGroupTitleColour, kStrongGroupTitleColour);
    // The frame in the controls' outline colour, darker in the contrast mode.
    const auto sheet = [](const QColor& frame) {
        return QStringLiteral(
                   "QGroupBox { border: 1px solid %1; border-radius: 2px; margin-top: 5px; }"
                   "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px; }")
            .arg(frame.name());
    };
    SetContrastStyleSheet(box, sheet(AccessibleStyle::NormalOutlineColour()),
                          sheet(AccessibleStyle::OutlineColour()));
    return box;
}

void MakeColourTags(QWidget* parent, const std::array<const char*, 3>& names, int top, bool bold) {
    const QColor backgrounds[] = {kRed, QColor(0, 128, 0), QColor(0, 0, 255)};
    const char* const captions[] = {" R ", " V  ", " B "};
    for (int i = 0; i < 3; ++i) {
        QLabel* tag = MakeLabel(parent, names[i], captions[i], QRect(8, top + 15 * i, 13, 11));
        tag->setFont(PanelFont(bold));
        QPalette palette = tag->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        tag->setPalette(palette);
        SetContrastColour(tag, QPalette::Window, backgrounds[i],
                          i == 0 ? kStrongRed : backgrounds[i]);
        tag->setAutoFillBackground(true);
    }
}

void MakeColourRows(QWidget* parent, const std::array<const char*, 3>& tags, int tagTop,
                    bool boldTags, const std::array<ColourSlider, 3>& sliders) {
    MakeColourTags(parent, tags, tagTop, boldTags);
    for (const ColourSlider& s : sliders) {
        QSlider* slider = MakeSlider(parent, s.name, s.bounds, 0, 255, s.position);
        double* component = s.component;
        QObject::connect(slider, &QSlider::valueChanged, slider, Guard([component](int position) {
                             *component = ColourFromSlider(position);
                         }));
        *s.field = slider;
    }
}

QFont NarrowedToFit(const QFont& font, const QString& text, int room) {
    const int needed = WidthOf(font, text);
    if (needed <= room || room <= 0) {
        return font;
    }
    // Glyphs do not shrink exactly in proportion: start from the proportional stretch and
    // narrow further until the text fits.
    QFont narrow = font;
    for (int stretch = std::min(99, 100 * room / needed); stretch >= 50; --stretch) {
        narrow.setStretch(stretch);
        if (WidthOf(narrow, text) <= room) {
            break;
        }
    }
    return narrow;
}

FittedButton::FittedButton(const QString& text, QWidget* parent, int margin)
    : QPushButton(text, parent), margin_(margin) {}

QFont FittedButton::captionFont() const {
    const QString caption = QString(text()).remove(QLatin1Char('&'));
    const QFont narrow = NarrowedToFit(font(), caption, width() - 2 * margin_);
    // A font too tall for the face (a larger font chosen by the user) is made smaller.
    return FitText(narrow, caption, QSize(width() - 2 * margin_, height()), Qt::AlignCenter).font;
}

void FittedButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    const QRect face = isDown() ? rect().translated(1, 1) : rect();
    p.setFont(captionFont());
    p.drawItemText(face, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), text(),
                   QPalette::ButtonText);
}

void ShowPaused(QPushButton* pause, bool paused, std::initializer_list<QWidget*> runningOnly) {
    pause->setText(paused ? "CONTINUE" : "PAUSE");
    for (QWidget* control : runningOnly) {
        control->setEnabled(!paused);
    }
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text,
                        const QRect& bounds) {
    // The style's padding between a button's frame and its caption, on each side.
    return MakeButton(parent, name, text, bounds,
                      parent->style()->pixelMetric(QStyle::PM_ButtonMargin) / 2);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                        int margin) {
    auto* button = new FittedButton(text, parent, margin);
    button->setObjectName(name);
    button->setGeometry(bounds);
    return button;
}

void FollowSmoothness(SphereDetail& detail, int position,
                      std::initializer_list<QSlider*> siblings) {
    detail.slices = position;
    for (QSlider* sibling : siblings) {
        if (sibling != nullptr) {
            sibling->setValue(position);
        }
    }
    detail.stacks = detail.slices / 2;
}

}  // namespace veliso
