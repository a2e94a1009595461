// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/measurement_bench.h"

#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

#include "mainwindow/accessible_names.h"
#include "mainwindow/clickable_label.h"
#include "mainwindow/handler_boundary.h"
#include "mainwindow/measurements_window.h"
#include "render/view_setup.h"

namespace veliso {

MeasurementBench::MeasurementBench(BenchHost& host) : QObject(&host.mainWindow()), host_(host) {
    setObjectName("MeasurementBench");
    QWidget& main = host_.mainWindow();
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), &main);
    shortcut->setObjectName("ShortcutReleves");
    connect(shortcut, &QShortcut::activated, this, Guard([this] {
                if (onItsTab()) {
                    Show();
                }
            }));

    indicator_ = new ClickableLabel();
    indicator_->setObjectName("Lab_Automatique");
    indicator_->setText(QString::fromUtf8("● Relevés automatiques"));
    indicator_->setToolTip(
        QString::fromUtf8("Des relevés automatiques s'ajoutent au tableau : cliquer pour "
                          "rouvrir la fenêtre des relevés"));
    indicator_->setCursor(Qt::PointingHandCursor);
    indicator_->hide();
    host_.AddStatusNotice(*indicator_);
    connect(indicator_, &ClickableLabel::clicked, this, Guard(this, &MeasurementBench::Show));
}

bool MeasurementBench::onItsTab() const {
    return host_.activeTab() == static_cast<int>(SceneTab::Gas);
}

void MeasurementBench::Show() {
    if (!window_) {
        QWidget& main = host_.mainWindow();
        window_ = new TFormReleves(&main, host_.gasRecord());
        NameMeasurementControls(window_);
        connect(window_, &TFormReleves::automaticChanged, this,
                [this] { indicator_->setVisible(window_->automatic() && !window_->isVisible()); });
        window_->Place(main, host_.gasPanel());
        // The same key goes back to the main window, where it comes back: one key between
        // the two windows, which no screen reader and no window manager takes.
        auto* back = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), window_);
        back->setObjectName("ShortcutFenetrePrincipale");
        connect(back, &QShortcut::activated, this, Guard([this] {
                    QWidget& main = host_.mainWindow();
                    main.raise();
                    main.activateWindow();
                }));
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    window_->FocusForReading();
}

void MeasurementBench::GasStepped(int hits) {
    if (window_) {
        window_->GasStepped(hits);
    }
}

QString MeasurementBench::Readout() const {
    if (window_ && window_->isVisible()) {
        if (auto* line = window_->findChild<QLabel*>("Lab_Releve")) {
            return line->text();
        }
    }
    return {};
}

bool MeasurementBench::ConfirmClose() {
    if (!window_ || !window_->hasUnexported()) {
        return true;
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("CONFIRMATION"),
                    QString::fromUtf8("Des relevés n'ont pas été exportés. Fermer quand même") +
                        QChar(0x00A0) + QLatin1Char('?'),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Save, &host_.mainWindow());
    box.button(QMessageBox::Save)->setText(QString::fromUtf8("Exporter…"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return true;
        case QMessageBox::Save:
            return window_->ExportCsv();
        default:
            return false;
    }
}

}  // namespace veliso
