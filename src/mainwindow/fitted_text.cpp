// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/fitted_text.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

#include <algorithm>

namespace veliso {

namespace {

/// Ink fainter than this (out of 255) is an antialiasing fringe, not part of a glyph.
constexpr int kInkAlpha = 64;

/// `font` at `scale` times its size.
QFont Scaled(const QFont& font, double scale) {
    QFont scaled = font;
    if (font.pointSizeF() > 0) {
        scaled.setPointSizeF(font.pointSizeF() * scale);
    } else {
        scaled.setPixelSize(std::max(1, qRound(font.pixelSize() * scale)));
    }
    return scaled;
}

/// Moves `ink` by the least amount that brings it into `box` (as far as it is no larger).
QPoint ShiftInside(const QRect& ink, const QRect& box) {
    auto along = [](int low, int high, int boxLow, int boxHigh) {
        if (low < boxLow) {
            return boxLow - low;
        }
        return high > boxHigh ? std::max(boxLow - low, boxHigh - high) : 0;
    };
    return {along(ink.left(), ink.right(), box.left(), box.right()),
            along(ink.top(), ink.bottom(), box.top(), box.bottom())};
}

}  // namespace

QRect InkOf(const QFont& font, const QString& text, QSize size, int flags) {
    const QFontMetrics metrics(font);
    // Room around the box for whatever the text puts outside it, on whichever side.
    const QPoint pad(std::max(0, metrics.horizontalAdvance(text) - size.width()) + metrics.height(),
                     2 * metrics.height());
    QImage image(size + 2 * QSize(pad.x(), pad.y()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(pad, size), flags | Qt::TextDontClip, text);
    }
    int left = image.width();
    int right = -1;
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) > kInkAlpha) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return {};
    }
    return QRect(QPoint(left, top), QPoint(right, bottom)).translated(-pad);
}

FittedText FitText(const QFont& font, const QString& text, QSize size, int flags, bool movable) {
    const QRect box(QPoint(0, 0), size);
    QRect ink = InkOf(font, text, size, flags);
    if (ink.isNull() || box.contains(ink)) {
        return {font, {}, true};
    }
    // The user's size first, only moved; then smaller by steps of 5 %.
    QFont font_ = font;
    for (int step = 0; step <= 12; ++step) {
        font_ = Scaled(font, 1.0 - 0.05 * step);
        ink = InkOf(font_, text, size, flags);
        if (movable ? ink.width() <= size.width() && ink.height() <= size.height()
                    : box.contains(ink)) {
            break;
        }
    }
    return {font_, movable ? ShiftInside(ink, box) : QPoint(), false};
}

const FittedText& FitMemo::Fit(const QFont& font, const QString& text, QSize size, int flags,
                               bool movable) {
    if (!known_ || font != font_ || text != text_ || size != size_ || flags != flags_ ||
        movable != movable_) {
        fit_ = FitText(font, text, size, flags, movable);
        font_ = font;
        text_ = text;
        size_ = size;
        flags_ = flags;
        movable_ = movable;
        known_ = true;
    }
    return fit_;
}

QRect FittedGroupBox::titleRoom() const {
    // Beside the frame's rounded corners, and above the highest control inside.
    constexpr int kTitleLeft = 6;
    int bottom = height();
    for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->isVisibleTo(this)) {
            bottom = std::min(bottom, child->y());
        }
    }
    return QRect(kTitleLeft, 0, std::max(0, width() - 2 * kTitleLeft), bottom);
}

FittedText FittedGroupBox::fittedTitle() const {
    const QString title = this->title().trimmed();
    if (title.isEmpty()) {
        return {font(), {}, true};
    }
    // Where the title's words lie: after its leading blanks, on the top of the box.
    const QRect room = titleRoom();
    const int lead = fontMetrics().horizontalAdvance(this->title()) -
                     fontMetrics().horizontalAdvance(this->title().trimmed());
    return memo_.Fit(font(), title, room.size() - QSize(std::max(0, lead), 0),
                     Qt::AlignLeft | Qt::AlignTop, false);
}

void FittedGroupBox::paintEvent(QPaintEvent* event) {
    const FittedText fit = fittedTitle();
    if (fit.asIs) {
        QGroupBox::paintEvent(event);
        return;
    }
    // The frame without its title (a style sheet's font would win over the painter's), then
    // the title in the fitted font on the frame's background, which breaks the frame's line.
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
    const QRect room = titleRoom();
    const QFontMetrics metrics(fit.font);
    painter.setFont(fit.font);
    painter.fillRect(
        QRect(room.left(), 0, std::min(room.width(), metrics.horizontalAdvance(title())),
              std::min(room.height(), metrics.height())),
        palette().brush(backgroundRole()));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop, title());
}

void FittedLabel::setCoveredBy(FittedLabel* figure) {
    coveredBy_ = figure;
    figure->covers_ = this;
}

QRect FittedLabel::room() const {
    QRect box = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (indent() > 0) {
        const Qt::Alignment align = alignment();
        box.adjust(align & Qt::AlignLeft ? indent() : 0, align & Qt::AlignTop ? indent() : 0,
                   align & Qt::AlignRight ? -indent() : 0, align & Qt::AlignBottom ? -indent() : 0);
    }
    // A label larger than its parent shows only what lies inside the parent.
    if (!isWindow() && parentWidget() != nullptr) {
        box &= parentWidget()->rect().translated(-pos());
    }
    if (coveredBy_ != nullptr && coveredBy_->isVisible() &&
        coveredBy_->parentWidget() == parentWidget()) {
        const QRect figure = coveredBy_->geometry().translated(-pos());
        if (figure.top() <= box.bottom() && figure.bottom() >= box.top() && figure.left() > 0) {
            box.setRight(std::min(box.right(), figure.left() - 1));
        }
    }
    return box;
}

QString FittedLabel::neededText() const {
    QString needed = text();
    if (alignment() & Qt::AlignLeft) {
        // A leader: the dots (and the blanks between them) after the words.
        qsizetype end = needed.size();
        while (end > 0 &&
               (needed[end - 1] == QLatin1Char('.') || needed[end - 1] == QLatin1Char(' '))) {
            --end;
        }
        if (needed.size() - end >= 2 && needed.mid(end).contains(QLatin1String(".."))) {
            needed.truncate(end);
        }
    }
    return needed;
}

FittedText FittedLabel::fitted() const {
    const QString needed = neededText();
    if (needed.isEmpty()) {
        return {font(), {}, true};
    }
    return memo_.Fit(font(), needed, room().size(), textFlags());
}

int FittedLabel::textFlags() const {
    return int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
}

void FittedLabel::GrowToText() {
    if (!growsLeft_ || text().isEmpty()) {
        return;
    }
    const int needed = fontMetrics().horizontalAdvance(text()) + 1;
    if (needed > width()) {
        const int right = geometry().right();
        const int left = std::max(0, right + 1 - needed);
        setGeometry(left, y(), right + 1 - left, height());
    }
}

void FittedLabel::paintEvent(QPaintEvent* event) {
    const FittedText fit = fitted();
    if (fit.asIs) {
        QLabel::paintEvent(event);
        return;
    }
    // QLabel's own drawing of a plain text, in the fitted font and place.
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(fit.font);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    // Not clipped to the room: the fitted ink lies within it, the line's leading need not.
    painter.drawText(room().translated(fit.shift),
                     int(QStyle::visualAlignment(layoutDirection(), alignment())) |
                         (wordWrap() ? Qt::TextWordWrap : 0) | Qt::TextDontClip,
                     text());
}

void FittedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        GrowToText();
    }
}

void FittedLabel::moveEvent(QMoveEvent* event) {
    QLabel::moveEvent(event);
    if (covers_ != nullptr) {
        covers_->update();
    }
}

void FittedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (covers_ != nullptr) {
        covers_->update();
    }
}

FittedText CaptionFit::Fit(const QAbstractButton& button, const QStyleOptionButton& option,
                           QStyle::SubElement contents) {
    // A style sheet may give the size in pixels.
    const auto points = [dpi = std::max(1, button.logicalDpiY())](const QFont& f) {
        return f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize() * 72.0 / dpi;
    };
    const QFont& font = button.font();
    if (least_ <= 0 || points(font) <= least_ || option.text.isEmpty()) {
        return {font, {}, true};
    }
    QRect room = button.style()->subElementRect(contents, &option, &button) & button.rect();
    if (const QWidget* parent = button.parentWidget(); parent != nullptr && !button.isWindow()) {
        room &= parent->rect().translated(-button.pos());
    }
    FittedText fit =
        memo_.Fit(font, option.text, room.size(), Qt::AlignLeft | Qt::AlignVCenter, false);
    if (!fit.asIs && points(fit.font) < least_) {
        fit.font.setPointSizeF(least_);
    }
    return fit;
}

bool CaptionFit::Paint(QAbstractButton& button, QStyleOptionButton option,
                       QStyle::ControlElement control, QStyle::SubElement contents) {
    const FittedText fit = Fit(button, option, contents);
    if (fit.asIs) {
        return false;
    }
    // The button without its caption (a style sheet's font would win over the painter's),
    // then the caption where the style puts it, in the fitted font.
    QStylePainter painter(&button);
    const QString text = option.text;
    option.text.clear();
    painter.drawControl(control, option);
    option.text = text;
    painter.setFont(fit.font);
    button.style()->drawItemText(
        &painter, button.style()->subElementRect(contents, &option, &button),
        int(QStyle::visualAlignment(button.layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter)) |
            Qt::TextShowMnemonic | Qt::TextDontClip,
        option.palette, button.isEnabled(), text, QPalette::WindowText);
    return true;
}

}  // namespace veliso
