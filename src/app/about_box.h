// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace veliso {
class ClickableLabel;
}

/// "À Propos de Veliso": product name, version, credit and contact address.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    /// The contact address shown by `mail` and used in its mail link.
    static QString ContactAddress();
    /// "mailto:" + address + "?subject=Veliso".
    static QString MailLink();

    QWidget* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Credit = nullptr;
    veliso::ClickableLabel* mail = nullptr;
    QLabel* Label1 = nullptr;
    /// The licence, under the configuration text.
    QLabel* Licence = nullptr;
    QPushButton* OKButton = nullptr;

  public slots:
    /// Hands the mail link to the desktop; a failure shows nothing.
    void mailClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    /// Places the texts below the title anew for the fonts they have once shown.
    void FlowForFont();
};

/// The one About box of the run.
extern TAboutBox* AboutBox;
