// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPoint>
#include <QPointer>
#include <QRadioButton>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>

namespace veliso {

// The panels place their texts at fixed pixel bounds made for Arial 8 pt. A larger font
// chosen by the user (an application style sheet, for one) must never show a figure with
// digits cut off: what does not fit is drawn smaller, or moved inside its box, or its box
// grows. What fits is left exactly as it was.

/// The pixels `text` covers when drawn in `font` with the alignment `flags` in a box of
/// `size` whose top left is (0, 0), without clipping. Antialiasing fringes fainter than a
/// quarter of full ink do not count. Empty for a text without ink.
QRect InkOf(const QFont& font, const QString& text, QSize size, int flags);

/// How a text is drawn so that all its ink lies in its box.
struct FittedText {
    QFont font;
    /// Added to the box's position to draw the text.
    QPoint shift;
    /// True when the text fits as it is: then `font` is the one given and `shift` is zero.
    bool asIs = true;
};

/// `font` unchanged when the ink of `text` lies in a box of `size`; otherwise the largest
/// size of `font`, down to 40 % of it, whose ink is no larger than the box, with the
/// shift that brings that ink inside it; or, when the text cannot be moved, whose ink lies in
/// the box where it is.
FittedText FitText(const QFont& font, const QString& text, QSize size, int flags,
                   bool movable = true);

/// FitText remembered for the last text, font and box it was asked about: a label or group
/// box repaints far more often than any of these change, and each fit draws its text off
/// screen.
class FitMemo {
  public:
    const FittedText& Fit(const QFont& font, const QString& text, QSize size, int flags,
                          bool movable = true);

  private:
    QFont font_;
    QString text_;
    QSize size_;
    int flags_ = 0;
    bool movable_ = true;
    bool known_ = false;
    FittedText fit_;
};

/// A label whose text is never cut. As long as its text fits, it is drawn exactly as QLabel
/// draws it; otherwise FitText's smaller font and shift are used. The text that must fit is
/// the label's own less a trailing leader of dots, which may run out of the label or under a
/// figure; and it ends where a figure that covers the label begins (`setCoveredBy`) or where
/// its parent ends.
/// A group box whose title is never drawn over the controls inside it nor cut by its frame: a
/// title too large for the room above the first control is drawn smaller (FitText). While the
/// title fits, the box is drawn exactly as QGroupBox draws it.
class FittedGroupBox : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;
    /// Where the title must lie, in the box's coordinates.
    QRect titleRoom() const;
    FittedText fittedTitle() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    mutable FitMemo memo_;
};

class FittedLabel : public QLabel {
  public:
    using QLabel::QLabel;

    /// An opaque label lying over the right part of this one (a figure over the dots of its
    /// caption): this label's text must end before it.
    void setCoveredBy(FittedLabel* figure);
    /// A figure grows to the left, keeping its right edge, when a larger font makes its text
    /// wider than the label; it never narrows by itself.
    void setGrowsLeft(bool grows) { growsLeft_ = grows; }
    /// The box the text is fitted in, in the label's coordinates.
    QRect room() const;
    /// The text whose ink must lie within the room.
    QString neededText() const;
    /// Its alignment, and word wrapping if it wraps.
    int textFlags() const;
    /// How the text is drawn now.
    FittedText fitted() const;
    /// Grows a figure leftwards to its text's width in its current font (setGrowsLeft).
    void GrowToText();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPointer<FittedLabel> coveredBy_;
    QPointer<FittedLabel> covers_;
    bool growsLeft_ = false;
    mutable FitMemo memo_;
};

/// The caption of a check box or radio button. The panels' captions are words, several already
/// wider than their buttons at the panel's own size, so they are fitted only when a font larger
/// than that size (a style sheet's) would cut them: drawn at the largest size whose ink lies in
/// the button and its parent, but never smaller than the panel's own size. Up to that size the
/// button is drawn exactly as Qt draws it.
class CaptionFit {
  public:
    /// The size, in points, the panel was made for; 0 leaves every caption as it is.
    void setLeastPointSize(double points) { least_ = points; }
    /// How the caption of `button` laid out by `option` is drawn; `contents` names the style's
    /// rectangle for the caption.
    FittedText Fit(const QAbstractButton& button, const QStyleOptionButton& option,
                   QStyle::SubElement contents);
    /// Draws `button` with its caption fitted; false when the caption is drawn as is, which is
    /// left to the button's own paint.
    bool Paint(QAbstractButton& button, QStyleOptionButton option, QStyle::ControlElement control,
               QStyle::SubElement contents);

  private:
    double least_ = 0;
    FitMemo memo_;
};

/// A button of Qt's kind `Button` whose caption is fitted (CaptionFit); `kControl` and
/// `kContents` are the style's names for drawing the button and for its caption's rectangle.
template <class Button, QStyle::ControlElement kControl, QStyle::SubElement kContents>
class FittedCaptionButton : public Button {
  public:
    using Button::Button;
    CaptionFit& captionFit() { return fit_; }
    FittedText fittedCaption() const {
        QStyleOptionButton option;
        this->initStyleOption(&option);
        return fit_.Fit(*this, option, kContents);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QStyleOptionButton option;
        this->initStyleOption(&option);
        if (!fit_.Paint(*this, option, kControl, kContents)) {
            Button::paintEvent(event);
        }
    }

  private:
    mutable CaptionFit fit_;
};

using FittedCheckBox =
    FittedCaptionButton<QCheckBox, QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents>;
using FittedRadioButton =
    FittedCaptionButton<QRadioButton, QStyle::CE_RadioButton, QStyle::SE_RadioButtonContents>;

}  // namespace veliso
