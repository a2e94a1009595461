#include <QTimer>
#include <exception>

#include "app/application.h"
#include "mainwindow/form_mm.h"

// Veliso takes no command-line options, reads and writes no files, and always exits with 0.
int main(int argc, char** argv) {
    veliso::VelisoApplication app(argc, argv);
    try {
        veliso::CreateWindows();
        // The loop shows the main window; its first show brings up the splash screen.
        QTimer::singleShot(0, FormMM, [] { FormMM->show(); });
        app.exec();
    } catch (const std::exception& e) {
        veliso::ShowException(QString::fromUtf8(e.what()));
    }
    veliso::DestroyWindows();
    return 0;
}
