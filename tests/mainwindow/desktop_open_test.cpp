// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/desktop_open.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

void Touch(const QString& path) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(PagesFolder, FoundFromTheProgramsFolderNeverFromTheWorkingDirectory) {
    QTemporaryDir root;
    const QString installed = root.filePath("usr/share/veliso/pages");
    const QString bin = root.filePath("usr/bin");
    const QString elsewhere = root.filePath("opt/bin");
    QDir().mkpath(bin);
    QDir().mkpath(elsewhere);
    Touch(installed + "/_sol.htm");
    // The working directory holds a page too, and is ignored.
    Touch(root.filePath("opt/bin/_sol.htm"));
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere);
    EXPECT_EQ(FindPagesFolder(bin), installed);
    EXPECT_EQ(FindPagesFolder(elsewhere), QString());
    QDir::setCurrent(before);

    // Run from the build folder: the build's copy of the pages, all four files of it.
    testing::TestApplication();
    const QString build = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/..");
    EXPECT_EQ(FindPagesFolder(build + "/src/app"), build + "/pages");
    for (const char* page : {"_sol.htm", "_liq.htm", "_gaz.htm", "veliso.css"}) {
        EXPECT_TRUE(QFile::exists(build + "/pages/" + page)) << page;
    }
}

TEST(PagesFolder, MessagesSayWhichPageOrFolderIsMissing) {
    QTemporaryDir pages;
    Touch(pages.filePath("_sol.htm"));
    EXPECT_EQ(MissingPageMessage(pages.path(), "_sol.htm", "/usr/bin"), QString());
    EXPECT_EQ(MissingPageMessage(pages.path(), "_gaz.htm", "/usr/bin"),
              QString::fromUtf8("La page d'information « _gaz.htm » est introuvable dans le "
                                "dossier « %1 ».")
                  .arg(pages.path()));
    EXPECT_EQ(MissingPageMessage(QString(), "_gaz.htm", "/opt/veliso/bin"),
              QString::fromUtf8("Les pages d'information sont introuvables : elles devraient se "
                                "trouver dans le dossier « /opt/veliso/share/veliso/pages ». Le "
                                "programme est peut-être mal installé."));
}

TEST(Opener, SaysWhenNoProgramCouldOpenThePageAndWhereItIs) {
    testing::TestApplication();
    QTemporaryDir tools;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit());
    // xdg-open exits 3 where no browser is installed, 4 when the program it found failed.
    for (const int exitCode : {0, 3, 4}) {
        QFile opener(tools.filePath("xdg-open"));
        ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nexit " + QByteArray::number(exitCode) + "\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        int failures = 0;
        ASSERT_TRUE(OpenWithDesktop(QUrl::fromLocalFile("/usr/share/veliso/pages/_gaz.htm"),
                                    [&failures] { ++failures; }));
        // Until the opener has ended and its process is gone.
        ASSERT_TRUE(QTest::qWaitFor(
            [] { return QCoreApplication::instance()->findChildren<QProcess*>().isEmpty(); }));
        EXPECT_EQ(failures, exitCode == 0 ? 0 : 1) << exitCode;
    }
    qputenv("PATH", path);
    EXPECT_EQ(OpenerFailedMessage("/usr/share/veliso/pages/_gaz.htm"),
              QString::fromUtf8("Aucun programme n'a pu ouvrir la page d'information « _gaz.htm » "
                                ": aucun navigateur n'est peut-être installé. La page se trouve "
                                "dans le dossier « /usr/share/veliso/pages » ; vous pouvez "
                                "l'ouvrir avec un navigateur web."));
}

}  // namespace
}  // namespace veliso
