// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/desktop_open.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

}  // namespace
}  // namespace veliso
