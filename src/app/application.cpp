// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/application.h"

#include <QMessageBox>
#include <cstdio>

#include "app/about_box.h"
#include "app/instructions.h"
#include "app/splash.h"
#include "app/window_requests.h"
#include "mainwindow/accessibility.h"
#include "mainwindow/form_mm.h"
#include "mainwindow/pictures.h"

namespace veliso {

int RunShowingFatalErrors(bool withBox, const std::function<int()>& run) {
    try {
        return run();
    } catch (...) {
        const QString message = CurrentExceptionMessage();
        const QString line = QCoreApplication::translate(
                                 "veliso", "veliso : le programme s'arrête sur une erreur : %1")
                                 .arg(message);
        std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
        // Not ShowException: this box comes once, whatever was shown before.
        if (withBox && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
            QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), message,
                            QMessageBox::Ok);
            box.exec();
        }
    }
    return kExitFatalError;
}

bool NotifyShowingExceptions(QApplication& app, QObject* receiver, QEvent* event) {
    try {
        return app.QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(CurrentExceptionMessage());
    }
    return false;
}

VelisoApplication::VelisoApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name alone gives the message boxes their caption; setting a display name as well
    // would make the window system append it to every window title.
    setApplicationName(kApplicationTitle);
    // Every kept choice (the view's, the measurement window's, the interface size read before
    // this object exists) goes to one file, ~/.config/Veliso/Veliso.conf.
    setOrganizationName(kApplicationTitle);
    setWindowIcon(pictures::ApplicationIcon());
    KeepWindowsWithinRequests(*this);
}

bool VelisoApplication::notify(QObject* receiver, QEvent* event) {
    return NotifyShowingExceptions(*this, receiver, event);
}

void CreateWindows() {
    veliso::InstallAccessibility();
    FormMM = new TFormMM();
    Formsplash = new TFormsplash();
    // The dialogs belong to the main window: a tiling or kiosk desktop keeps it in view
    // behind them instead of giving the whole screen to a dialog alone.
    AboutBox = new TAboutBox(FormMM);
    Forminst = new TForminst(FormMM);
    FormMM->SetAuxiliaryWindows(Formsplash, Forminst, AboutBox);
}

void DestroyWindows() {
    delete Forminst;
    Forminst = nullptr;
    delete AboutBox;
    AboutBox = nullptr;
    delete Formsplash;
    Formsplash = nullptr;
    delete FormMM;
    FormMM = nullptr;
}

}  // namespace veliso
