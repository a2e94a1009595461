// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

/// "INSTRUCTIONS": how the mouse, and the keyboard, move the eye around the scene. Fixed
/// content, shown modally from the main window as often as the user asks.
class TForminst : public QDialog {
    Q_OBJECT
  public:
    explicit TForminst(QWidget* parent = nullptr);

    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    // The keyboard's lines.
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* OKButton = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
};

/// The one instructions window of the run.
extern TForminst* Forminst;
