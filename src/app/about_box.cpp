// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/about_box.h"

#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

#include "app/dialog_parts.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/credits.h"
#include "mainwindow/desktop_open.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/pictures.h"

using veliso::ArialFont;
using veliso::PlaceLabel;

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    Panel1 = veliso::SetUpInfoWindow(this, "AboutBox", QString::fromUtf8("À Propos de Veliso"),
                                     veliso::pictures::AboutIcon(), QSize(295, 196),
                                     QRect(4, 3, 287, 190));

    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(33, 16, 33, 33);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(veliso::pictures::ApplicationIcon().pixmap(32, 32));
    Image1->setAccessibleName(QString::fromUtf8("Icône de Veliso"));

    ProductName = PlaceLabel(Panel1, "ProductName", "Veliso   -", 80, 15, ArialFont(11, true),
                             veliso::kTitleBlue);
    ProductName->setWordWrap(true);
    ProductName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ProductName->setGeometry(80, 15, 194, 38);

    Version =
        PlaceLabel(Panel1, "Version", "Version 1.2", 201, 35, ArialFont(8), veliso::kTitleBlue);

    Credit = PlaceLabel(Panel1, "Credit", QString::fromUtf8(veliso::credits::kCreditLine), 34, 63,
                        ArialFont(8), veliso::kTextGrey);

    mail = new veliso::ClickableLabel(Panel1);
    mail->setObjectName("mail");
    mail->setTextFormat(Qt::PlainText);
    mail->setText(ContactAddress());
    QFont mailFont = ArialFont(8);
    mailFont.setUnderline(true);
    mail->setFont(mailFont);
    QPalette mailPal = mail->palette();
    mailPal.setColor(QPalette::WindowText, QColor(21, 96, 192));
    mail->setPalette(mailPal);
    mail->move(163, 62);
    mail->adjustSize();
    mail->setCursor(Qt::PointingHandCursor);
    mail->setToolTip(QString::fromUtf8("Pour m' écrire ..."));
    // A link to a screen reader: its name is the address, pressing it writes the e-mail.
    veliso::SetAccessibleRole(mail, QAccessible::Link);
    mail->setAccessibleName(ContactAddress());
    mail->setAccessibleDescription(QString::fromUtf8("Pour m'écrire"));
    connect(mail, &veliso::ClickableLabel::clicked, this,
            veliso::Guard(this, &TAboutBox::mailClick));

    Label1 = PlaceLabel(Panel1, "Label1",
                        QString::fromUtf8("Configuration minimale :  Processeur  600  MHz Carte "
                                          "graphique 3D OpenGL -16Mb de mémoire Résolution "
                                          "minimale :  1024 X 768 - 65536 coul."),
                        33, 86, ArialFont(8), veliso::kTextGrey);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The label keeps its width and grows downwards until the whole text shows.
    Label1->setGeometry(33, 86, 229, std::max(42, Label1->heightForWidth(229)));

    // In the 11 pixels left between the configuration text and the button: one line at 7 pt.
    Licence = PlaceLabel(Panel1, "Licence", QString::fromUtf8(veliso::credits::kLicenceLine), 33,
                         Label1->geometry().bottom() + 1, ArialFont(7), veliso::kTextGrey);

    // The button belongs to the window itself and lies in front of the panel.
    OKButton = new QPushButton(QString::fromUtf8("&Fermer"), this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(96, 152, 103, 29);
    OKButton->setDefault(true);
    OKButton->raise();
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

QString TAboutBox::ContactAddress() {
    return QString::fromUtf8(veliso::credits::kContactAddress);
}

QString TAboutBox::MailLink() {
    return QStringLiteral("mailto:") + ContactAddress() + QStringLiteral("?subject=Veliso");
}

void TAboutBox::mailClick() {
    veliso::OpenWithDesktop(QUrl(MailLink()));
}

void TAboutBox::FlowForFont() {
    // The box is laid out for Arial 8 pt. A larger font (an application style sheet) would run
    // the credit into the address and the configuration text under the button: the address then
    // takes a line of its own, the texts below move down, and the box grows by what they need.
    // With the fonts it was made for, every place and size stays as built.
    constexpr int kMailX = 163;
    constexpr int kMailY = 62;
    constexpr int kConfigurationTop = 86;
    constexpr int kButtonTop = 152;
    constexpr QSize kBox(295, 196);
    constexpr QSize kPanel(287, 190);
    // Each on one line inside the panel: a text too long for it is drawn smaller.
    for (QLabel* line : {static_cast<QLabel*>(Credit), static_cast<QLabel*>(mail), Licence}) {
        line->adjustSize();
        line->resize(std::min(line->width(), Panel1->width() - line->x()), line->height());
    }
    if (Credit->geometry().right() + 4 < kMailX) {
        mail->move(kMailX, kMailY);
    } else {
        mail->move(Credit->x(), Credit->geometry().bottom() + 1);
        mail->adjustSize();
        mail->resize(std::min(mail->width(), Panel1->width() - mail->x()), mail->height());
    }
    const int top = std::max(kConfigurationTop,
                             std::max(Credit->geometry().bottom(), mail->geometry().bottom()) + 2);
    const int width = Label1->width();
    Label1->setGeometry(Label1->x(), top, width, std::max(42, Label1->heightForWidth(width)));
    Licence->move(Licence->x(), Label1->geometry().bottom() + 1);
    const int buttonTop = std::max(kButtonTop, Panel1->y() + Licence->geometry().bottom() + 1);
    OKButton->move(OKButton->x(), buttonTop);
    const int grow = buttonTop - kButtonTop;
    Panel1->resize(kPanel + QSize(0, grow));
    setFixedSize(kBox + QSize(0, grow));
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FlowForFont();
    veliso::CentreOnScreen(this);
    OKButton->setFocus();
}
