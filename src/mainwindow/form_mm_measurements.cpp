// The main window's side of the measurement bench: opening its window, feeding it the gas
// tab's readouts, and the question about unsaved rows when the program closes.

#include <QKeySequence>
#include <QShortcut>

#include "mainwindow/form_mm.h"
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
}

void TFormMM::ShowMeasurements() {
    if (!FormReleves) {
        FormReleves = new TFormReleves(this, gas);
        connect(this, &TFormMM::wallHitsRead, FormReleves,
                Guard(FormReleves, &TFormReleves::WallHitsRead));
        // The gas stands still while its tab is hidden, so the first readout after a change
        // of tab may hold more than one second of gas time.
        connect(PageControl1, &PageControl::tabChanged, FormReleves,
                Guard(FormReleves, &TFormReleves::InterruptReadouts));
    }
    FormReleves->show();
    FormReleves->raise();
    FormReleves->activateWindow();
}

bool TFormMM::ConfirmUnexportedMeasurements() {
    if (!FormReleves || !FormReleves->hasUnexported()) {
        return true;
    }
    return AskDefaultNo(
        this, QStringLiteral("CONFIRMATION"),
        QString::fromUtf8("Des relevés n'ont pas été exportés. Fermer quand même ?"));
}
