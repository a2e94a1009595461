// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// The main window's side of the measurement bench: opening its window, feeding it the gas
// steps, telling when automatic readings run unseen, and the question about unsaved rows
// when the program closes.

#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

#include "mainwindow/accessible_names.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/gas_panel.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/measurements_window.h"
#include "render/view_setup.h"

using namespace veliso;

void TFormMM::SetUpMeasurements() {
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    shortcut->setObjectName("ShortcutReleves");
    connect(shortcut, &QShortcut::activated, this, Guard([this] {
                if (activeTab() == static_cast<int>(SceneTab::Gas)) {
                    ShowMeasurements();
                }
            }));

    // In the empty second panel of the status bar.
    QLabel* panel = StatusBar1->panel(1);
    Lab_Automatique = new ClickableLabel(panel);
    Lab_Automatique->setObjectName("Lab_Automatique");
    Lab_Automatique->setText(QString::fromUtf8("● Relevés automatiques"));
    Lab_Automatique->setToolTip(
        QString::fromUtf8("Des relevés automatiques s'ajoutent au tableau : cliquer pour "
                          "rouvrir la fenêtre des relevés"));
    Lab_Automatique->setAlignment(Qt::AlignCenter);
    Lab_Automatique->setCursor(Qt::PointingHandCursor);
    Lab_Automatique->setGeometry(2, 1, 159, StatusBar::kHeight - 2);
    Lab_Automatique->hide();
    connect(Lab_Automatique, &ClickableLabel::clicked, this,
            Guard(this, &TFormMM::ShowMeasurements));
}

void TFormMM::ShowMeasurements() {
    if (!FormReleves) {
        FormReleves = new TFormReleves(this, gas);
        NameMeasurementControls(FormReleves);
        connect(this, &TFormMM::gasStepped, FormReleves,
                Guard(FormReleves, &TFormReleves::GasStepped));
        connect(FormReleves, &TFormReleves::automaticChanged, this, [this] {
            Lab_Automatique->setVisible(FormReleves->automatic() && !FormReleves->isVisible());
        });
        FormReleves->Place(*this, *Pangaz);
    }
    FormReleves->show();
    FormReleves->raise();
    FormReleves->activateWindow();
}

bool TFormMM::ConfirmUnexportedMeasurements() {
    if (!FormReleves || !FormReleves->hasUnexported()) {
        return true;
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("CONFIRMATION"),
                    QString::fromUtf8("Des relevés n'ont pas été exportés. Fermer quand même") +
                        QChar(0x00A0) + QLatin1Char('?'),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Save, this);
    box.button(QMessageBox::Save)->setText(QString::fromUtf8("Exporter…"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return true;
        case QMessageBox::Save:
            return FormReleves->ExportCsv();
        default:
            return false;
    }
}
