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

bool OpenWithDesktop(const QUrl& url) {
    // Looked up at every request, so an opener installed while the program runs is found.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !url.isValid()) {
        return false;
    }
    QProcess process;
    process.setProgram(opener);
    process.setArguments(
        {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    // The opener reports a missing browser on its own output, which is discarded: the page
    // is known to exist by then, and what the desktop does with it is its own affair.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
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

QString NoOpenerMessage() {
    return QString::fromUtf8(
        "La page d'information ne peut pas être affichée : le programme xdg-open, qui la "
        "confie au navigateur, est introuvable. Installez le paquet xdg-utils.");
}

}  // namespace veliso
