// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/instructions.h"

#include <QLabel>
#include <QPushButton>

#include "app/dialog_parts.h"
#include "mainwindow/pictures.h"

using veliso::ArialFont;
using veliso::PlaceLabel;
using veliso::ShapeWidget;

TForminst* Forminst = nullptr;

namespace {

const QColor kBulletFill{255, 108, 0};
const QColor kBulletOutline{183, 69, 0};

}  // namespace

TForminst::TForminst(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    Panel1 = veliso::SetUpInfoWindow(this, "Forminst", QStringLiteral("INSTRUCTIONS"),
                                     veliso::pictures::InstructionsIcon(), QSize(464, 296),
                                     QRect(4, 4, 456, 289));

    // The texts describe the mouse navigation of the view: keep them in step with it.
    Label1 = PlaceLabel(Panel1, "Label1",
                        QString::fromUtf8("LE  BOUTON  GAUCHE  DE  LA  SOURIS COMMANDE TOUS LES "
                                          "DÉPLACEMENTS"),
                        23, 22, ArialFont(8, true), veliso::kTitleBlue);
    auto bullet = [this](const char* name, int x, int y) {
        auto* s = new ShapeWidget(Panel1, ShapeWidget::Kind::Circle, kBulletFill, kBulletOutline);
        s->setObjectName(name);
        s->setGeometry(x, y, 11, 10);
    };
    bullet("Shape2", 100, 55);
    Label2 =
        PlaceLabel(Panel1, "Label2",
                   QString::fromUtf8(
                       "Cliquer-glisser vers la gauche ou vers la droite  =  Rotation verticale"),
                   119, 52, ArialFont(8), veliso::kTextGrey);
    bullet("Shape3", 100, 77);
    Label3 = PlaceLabel(
        Panel1, "Label3",
        QString::fromUtf8("Cliquer-glisser vers le haut ou vers le bas = Hauteur du point de vue"),
        119, 75, ArialFont(8), veliso::kTextGrey);
    bullet("Shape4", 100, 102);
    Label4 = PlaceLabel(
        Panel1, "Label4",
        QString::fromUtf8("CTRL en cliquant-glissant vers le haut ou vers le bas  = Translation"),
        120, 99, ArialFont(8), veliso::kTextGrey);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(24, 64, 65, 57);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(veliso::pictures::InstructionsPicture());
    Image1->setAccessibleName(QString::fromUtf8("Une souris, bouton gauche"));

    auto* rule = new ShapeWidget(Panel1, ShapeWidget::Kind::Rectangle, QColor(128, 128, 128),
                                 QColor(128, 128, 128));
    rule->setObjectName("Shape1");
    rule->setGeometry(98, 127, 264, 1);

    Label5 = PlaceLabel(Panel1, "Label5",
                        QString::fromUtf8("Remarque : le regard de l'observateur est dirigé en "
                                          "permanence vers le centre de l'objet"),
                        24, 140, ArialFont(8), Qt::black);

    // The same moves from the keyboard, once Tab has given the view the focus (the keys of
    // TFormMM::OpenGLOrvPanel1KeyDown), and the window's own keys.
    Label6 = PlaceLabel(Panel1, "Label6",
                        QString::fromUtf8("AU  CLAVIER,  LA  VUE  CHOISIE  AVEC  LA  TOUCHE  TAB"),
                        23, 162, ArialFont(8, true), veliso::kTitleBlue);
    Label7 = PlaceLabel(Panel1, "Label7",
                        QString::fromUtf8("← →  =  Rotation verticale      ↑ ↓  Page préc.  Page "
                                          "suiv.  =  Hauteur du point de vue"),
                        24, 182, ArialFont(8), veliso::kTextGrey);
    Label8 = PlaceLabel(
        Panel1, "Label8",
        QString::fromUtf8("+ −  =  Translation      Origine  =  Point de vue du début      "
                          "Maj+F10  =  Menu de la vue"),
        24, 200, ArialFont(8), veliso::kTextGrey);
    Label9 = PlaceLabel(Panel1, "Label9",
                        QString::fromUtf8("F1  =  Page d'information de l'onglet      Ctrl+Tab  "
                                          "=  Onglet suivant"),
                        24, 218, ArialFont(8), veliso::kTextGrey);

    // Every line stays two pixels clear of the bevels, which show in the panel's last three
    // columns: the bold heading is about as wide as the panel and is narrowed a little where
    // fonts run wider.
    const int textRight = Panel1->width() - 1 - 3 - 2;
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9}) {
        veliso::FitLabelWithin(label, textRight);
    }

    OKButton = new QPushButton(QString::fromUtf8("&Fermer"), Panel1);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(179, 244, 103, 29);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TForminst::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    veliso::CentreOnScreen(this);
    OKButton->setFocus();
}
