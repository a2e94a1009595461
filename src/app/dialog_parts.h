// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QWidget>

namespace veliso {

/// Colours shared by the auxiliary windows (RGB 0 .. 255).
inline const QColor kDialogBackground{190, 136, 86};
inline const QColor kTitleBlue{16, 64, 128};
inline const QColor kTextGrey{80, 80, 80};

/// Arial at the given point size, plain or bold.
QFont ArialFont(int pointSize, bool bold = false);

/// A panel with a raised outer and a lowered inner one-pixel bevel, filled with a colour.
class BevelPanel : public QWidget {
  public:
    BevelPanel(QWidget* parent, QColor fill);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor fill_;
};

/// A filled ellipse with an outline (the round bullets) or a plain filled rectangle.
class ShapeWidget : public QWidget {
  public:
    enum class Kind { Circle, Rectangle };
    ShapeWidget(QWidget* parent, Kind kind, QColor fill, QColor outline);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Kind kind_;
    QColor fill_;
    QColor outline_;
};

/// A plain-text label at (x, y), sized to its text, in the given font and colour.
QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                   const QFont& font, QColor colour);

/// Narrows a label's font as little as needed for its one-line text to end at x = `right` of
/// its parent at the latest, and sizes the label to the text again.
void FitLabelWithin(QLabel* label, int right);

/// Dresses a small fixed-size tool window (the instructions window and the About box): name,
/// caption, icon, client size, Arial 8 pt, the brown background, and the white bevelled panel
/// that holds its content, which is returned.
QWidget* SetUpInfoWindow(QDialog* window, const char* name, const QString& caption,
                         const QIcon& icon, QSize size, QRect panel);

/// Centres a top-level widget on the screen it belongs to.
void CentreOnScreen(QWidget* window);

}  // namespace veliso
