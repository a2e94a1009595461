// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QColor>
#include <QProxyStyle>
#include <QStyleOptionSlider>

class QApplication;
class QSlider;

namespace veliso {

/// The program's look on top of the platform's style:
/// - outlines: check boxes, radio buttons, push buttons, combo boxes, slider grooves and
///   handles, the gauge and the tabs get an outline, and slider tick marks are drawn, in
///   `NormalOutlineColour` (3:1 on the panels, as much as a control's boundary needs and no
///   more, so that the look changes little), in `OutlineColour` in the contrast mode;
/// - keyboard focus: once the focus moved by the keyboard, the focused control gets a dark
///   ring two pixels thick, one pixel outside its bounds (a shaped widget in front of the
///   control's parent, so the control's own colours stay as they are); the focused tab and table
///   cell get a dark rectangle instead of the style's pale fill;
/// - "Contraste élevé": the darker outlines; the texts and colours that need it are changed
///   through `SetContrastColour`.
class AccessibleStyle : public QProxyStyle {
    Q_OBJECT
  public:
    /// Over the style the application draws with (`-style` included), or the one under it
    /// when that is a proxy already. A control that needs a style of its own derives from
    /// this one, so that it keeps the focus and contrast drawing.
    AccessibleStyle();
    static QString BaseStyleName();

    /// The ring and the focus rectangles: #1a1a1a, 15.1:1 on the panels' #efefef and 17.4:1
    /// on white.
    static QColor FocusColour() { return QColor(0x1a, 0x1a, 0x1a); }
    /// Control outlines in the contrast mode: #4d4d4d, 7.3:1 on #efefef and 8.5:1 on white.
    static QColor OutlineColour() { return QColor(0x4d, 0x4d, 0x4d); }
    /// Control outlines otherwise: #888888, 3.1:1 on #efefef and 3.5:1 on white.
    static QColor NormalOutlineColour() { return QColor(0x88, 0x88, 0x88); }
    /// The outline of the mode in force.
    static QColor CurrentOutlineColour();
    static constexpr int kRingWidth = 2;
    static constexpr int kRingGap = 1;

    static bool HighContrast();
    /// Sets the contrast mode for every control drawn from now on (call `ApplyContrastMode`
    /// to repaint and recolour the existing ones).
    static void SetHighContrast(bool on);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};

/// The style option `slider` paints itself with (its range, position, ticks and steps), for
/// asking the style where its parts lie.
QStyleOptionSlider SliderStyleOption(const QSlider& slider);

/// Makes `AccessibleStyle` the application's style (over the style Qt chose, `-style` included)
/// and has the focus ring follow the keyboard focus in every window. Call once, after the
/// application object exists.
void InstallAccessibleStyle(QApplication& app);

/// Gives `widget` two colours for one palette role: `normal` as now, `strong` in the contrast
/// mode. The colour of the current mode is set at once.
void SetContrastColour(QWidget* widget, int role, const QColor& normal, const QColor& strong);

/// Gives `widget` two style sheets, as SetContrastColour gives it two colours. Set it before the
/// contrast colours: a new sheet gives the widget back the palette it had before the last.
void SetContrastStyleSheet(QWidget* widget, const QString& normal, const QString& strong);

/// Switches the contrast mode, recolours every control that has contrast colours, and tells
/// `ContrastChanges()`.
void ApplyContrastMode(bool on);

/// Tells what draws its own colours (the measurement chart) that the contrast mode changed.
class ContrastNotifier : public QObject {
    Q_OBJECT
  signals:
    void changed(bool on);
};
ContrastNotifier* ContrastChanges();

}  // namespace veliso
