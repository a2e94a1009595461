// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include "mainwindow/fitted_text.h"

namespace veliso {

/// A label or picture that reports a left-button click: press and release inside it. It is
/// in the keyboard order (Tab, not a click, gives it the focus), and Space, Enter or Return
/// on it count as a click. A text too large for it is drawn smaller (FittedLabel).
class ClickableLabel : public FittedLabel {
    Q_OBJECT
  public:
    explicit ClickableLabel(QWidget* parent = nullptr) : FittedLabel(parent) {
        setFocusPolicy(Qt::TabFocus);
    }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool pressed_ = false;
};

}  // namespace veliso
