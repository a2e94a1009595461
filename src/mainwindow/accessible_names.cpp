// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/accessible_names.h"

#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include "mainwindow/accessibility.h"

namespace veliso {

namespace {

// The unit follows the figure after a no-break space, as the figures are read.
const QString kKelvin = QString::fromUtf8("\u00a0K");
const QString kPercent = QString::fromUtf8("\u00a0%");
const QString kOf255 = QStringLiteral(" sur 255");
const QString kOf32 = QStringLiteral(" sur 32");

/// One control of a panel: its object name, the name said for it, for a slider the unit of
/// its value, and the object names of its caption and of the label that shows its figure.
struct Control {
    const char* object;
    const char* name;
    QString unit;
    const char* caption = nullptr;
    const char* figure = nullptr;
};

/// A label that shows a figure, read with its meaning (%1 is the figure).
struct Figure {
    const char* object;
    const char* format;
};

struct Panel {
    const char* object;
    const char* name;
    std::initializer_list<Control> controls;
    std::initializer_list<Figure> figures;
};

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

void NamePanel(QWidget* root, const Panel& panel) {
    if (root == nullptr) {
        return;
    }
    root->setAccessibleName(Utf8(panel.name));
    for (const Control& c : panel.controls) {
        auto* control = root->findChild<QWidget*>(c.object);
        if (control == nullptr) {
            continue;
        }
        control->setAccessibleName(Utf8(c.name));
        if (!c.unit.isNull()) {
            SetValueUnit(control, c.unit);
        }
        auto* caption = c.caption ? root->findChild<QLabel*>(c.caption) : nullptr;
        auto* figure = c.figure ? root->findChild<QLabel*>(c.figure) : nullptr;
        TieLabels(control, caption, figure);
    }
    for (const Figure& f : panel.figures) {
        if (auto* label = root->findChild<QLabel*>(f.object)) {
            SetSpokenFormat(label, Utf8(f.format));
        }
    }
}

}  // namespace

void NameMainWindowControls(QWidget* form) {
    const Panel panels[] = {
        {"Pansol",
         "Réglages de l'état solide",
         {
             {"TB_t_S", "Température du solide", kKelvin, "Label8", "Lab_T_S"},
             {"TB_R_S", "Composante rouge des sphères", kOf255, "Label5"},
             {"TB_V_S", "Composante verte des sphères", kOf255, "Label6"},
             {"TB_B_S", "Composante bleue des sphères", kOf255, "Label7"},
             {"TB_face_S", "Sphéricité des particules", kOf32, "Label4"},
             {"Image_info", "Informations sur l'état solide", {}},
         },
         {{"Lab_T_S", "Température : %1\u00a0K"}}},
        {"Panliq",
         "Réglages de l'état liquide",
         {
             {"TB_Vol_L", "Volume du récipient", kPercent, "Label10", "Lab_V_L"},
             {"TB_t_L", "Température du liquide", kKelvin, "Label9", "Lab_T_L"},
             {"TB_R_L", "Composante rouge des sphères", kOf255, "Label12"},
             {"TB_V_L", "Composante verte des sphères", kOf255, "Label13"},
             {"TB_B_L", "Composante bleue des sphères", kOf255, "Label14"},
             {"TB_face_L", "Sphéricité des particules", kOf32, "Label11"},
             {"Image_infoliq", "Informations sur l'état liquide", {}},
         },
         {{"Lab_V_L", "Volume : %1\u00a0%"}, {"Lab_T_L", "Température : %1"}}},
        {"Pangaz",
         "Réglages de l'état gazeux",
         {
             {"TB_v", "Volume du récipient", kPercent, "Lab_Vol", "Lab_Vval"},
             {"TB_t", "Température du gaz", kKelvin, "Lab_T", "Lab_Tval"},
             {"TB_nb", "Quantité de particules", QStringLiteral(" particules"), "Lab_Nb",
              "Lab_Nbval"},
             // A relative mass has no unit: its figure is read as the panel shows it.
             {"TB_Masse", "Masse relative des particules", {}, "Label1", "Lab_Mval"},
             {"PB", "Jauge de pression", QString::fromUtf8("\u00a0Pa"), "Lab_P", "Lab_Pval"},
             {"CB_MB", "Courbe de Maxwell-Boltzmann", {}},
             {"CB_stat", "Histogramme des fréquences des vitesses", {}},
             {"CB_Vitesse", "Graphique des vitesses des particules", {}},
             {"TB_R", "Composante rouge des sphères", kOf255, "LabR"},
             {"TB_G", "Composante verte des sphères", kOf255, "LabV"},
             {"TB_B", "Composante bleue des sphères", kOf255, "LabB"},
             {"TB_face_G", "Sphéricité des particules", kOf32, "Labface"},
             {"Image_infogaz", "Informations sur l'état gazeux", {}},
         },
         {{"Lab_Pval", "Pression : %1\u00a0Pa"},
          {"Lab_Vval", "Volume : %1\u00a0%"},
          {"Lab_Tval", "Température : %1\u00a0K"},
          {"Lab_Nbval", "Quantité : %1 particules"},
          {"Lab_Mval", "Masse relative : %1"},
          {"Lab_Chocs", "Chocs sur les parois : %1 par seconde"}}},
    };
    for (const Panel& panel : panels) {
        NamePanel(form->findChild<QWidget*>(panel.object), panel);
    }
    // The information icons are pictures that open a page: buttons to a screen reader.
    for (const char* icon : {"Image_info", "Image_infoliq", "Image_infogaz"}) {
        if (auto* w = form->findChild<QWidget*>(icon)) {
            if (qobject_cast<QLabel*>(w) != nullptr) {
                SetAccessibleRole(w, QAccessible::Button);
            }
        }
    }
    for (auto [object, description] :
         {std::pair{"Button1", "Ouvre la fenêtre des instructions"},
          std::pair{"Button2", "Ouvre la fenêtre À propos de Veliso"},
          std::pair{"butdep", "Remet les particules à leur point de départ"},
          std::pair{"butdepG", "Remet les particules à leur point de départ"}}) {
        if (auto* w = form->findChild<QWidget*>(object)) {
            w->setAccessibleDescription(Utf8(description));
        }
    }
    if (auto* clock = form->findChild<QLabel*>("Panel2")) {
        SetSpokenFormat(clock, Utf8("Date et heure : %1"));
    }
    if (auto* pages = form->findChild<QTabWidget*>()) {
        pages->setAccessibleName(Utf8("États de la matière"));
        pages->tabBar()->setAccessibleName(QStringLiteral("Onglets"));
    }
    form->setAccessibleName(QStringLiteral("Veliso"));
}

void NameMeasurementControls(QWidget* window) {
    const Panel panel{
        "FormReleves",
        "Relevés de mesures",
        {
            {"CBox_Moyenne", "Moyenne sur", {}, "Cap_Moyenne"},
            {"CBox_Y", "Grandeur en ordonnée (Y)", {}, "Cap_Y"},
            {"CBox_X", "Grandeur en abscisse (X)", {}, "Cap_X"},
            {"CBox_Ajustement", "Ajustement", {}, "Cap_Ajustement"},
            {"CBox_Serie", "Série tracée", {}, "Cap_Series"},
            {"Table", "Tableau des relevés", {}},
            {"Chart", "Graphique des relevés", {}},
        },
        {},
    };
    NamePanel(window, panel);
}

}  // namespace veliso
