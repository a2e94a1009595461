// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/desktop_open.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

// Both paths are relative to the folder of the program; CMake works them out from the
// installation folders and from the build folder, so that no absolute path of the machine
// that built the program is written into it.
#ifndef VELISO_INSTALLED_PAGES
#define VELISO_INSTALLED_PAGES "../share/veliso/pages"
#endif
#ifndef VELISO_BUILD_PAGES
#define VELISO_BUILD_PAGES "../../pages"
#endif

namespace veliso {

namespace {

const QString kSolidPage = QStringLiteral("_sol.htm");

}  // namespace

namespace {

/// The opener's process, which ends the opener, and it alone, if it still runs when the
/// program ends, without telling anyone: a browser it started stays open.
class OpenerProcess : public QProcess {
  public:
    using QProcess::QProcess;
    ~OpenerProcess() override {
        if (state() != NotRunning) {
            disconnect(this, nullptr, nullptr, nullptr);
            kill();
            waitForFinished(1000);
        }
    }
};

}  // namespace

bool OpenWithDesktop(const QUrl& url, std::function<void()> failed) {
    // Looked up at every request, so an opener installed while the program runs is found.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !url.isValid()) {
        return false;
    }
    // Owned by the application, so that it outlives the window that asked for it.
    auto* process = new OpenerProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments(
        {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    // The opener says why it failed on its own output, in English: the caller says it in
    // French instead.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if ((status != QProcess::NormalExit || exitCode != 0) && failed) {
                             failed();
                         }
                     });
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
}

QString FindPagesFolder(const QString& programFolder) {
    const QDir program(programFolder);
    for (const char* relative : {VELISO_INSTALLED_PAGES, VELISO_BUILD_PAGES}) {
        const QString folder =
            QDir::cleanPath(program.absoluteFilePath(QString::fromUtf8(relative)));
        if (QFileInfo(QDir(folder).filePath(kSolidPage)).isFile()) {
            return folder;
        }
    }
    return {};
}

QString InformationPagesFolder() {
    return FindPagesFolder(QCoreApplication::applicationDirPath());
}

QString MissingPageMessage(const QString& folder, const QString& name,
                           const QString& programFolder) {
    if (folder.isEmpty()) {
        const QString expected = QDir::cleanPath(
            QDir(programFolder).absoluteFilePath(QString::fromUtf8(VELISO_INSTALLED_PAGES)));
        return QString::fromUtf8(
                   "Les pages d'information sont introuvables : elles devraient se trouver "
                   "dans le dossier « %1 ». Le programme est peut-être mal installé.")
            .arg(QDir::toNativeSeparators(expected));
    }
    if (QFileInfo(QDir(folder).filePath(name)).isFile()) {
        return {};
    }
    return QString::fromUtf8("La page d'information « %1 » est introuvable dans le dossier « %2 ».")
        .arg(name, QDir::toNativeSeparators(folder));
}

QString OpenerFailedMessage(const QString& path) {
    const QFileInfo page(path);
    return QCoreApplication::translate(
               "veliso",
               "Aucun programme n'a pu ouvrir la page d'information « %1 » : aucun navigateur "
               "n'est peut-être installé. La page se trouve dans le dossier « %2 » ; vous "
               "pouvez l'ouvrir avec un navigateur web.")
        .arg(page.fileName(), QDir::toNativeSeparators(page.absolutePath()));
}

QString NoOpenerMessage() {
    return QString::fromUtf8(
        "La page d'information ne peut pas être affichée : le programme xdg-open, qui la "
        "confie au navigateur, est introuvable. Installez le paquet xdg-utils.");
}

}  // namespace veliso
