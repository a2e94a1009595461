// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/plain_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace veliso {
namespace {

// Only regular files are read or replaced, a read never takes more than its limit whatever
// the file claims, and every fault is told in French.
TEST(PlainFileTest, OnlyRegularFilesAreReadOrReplaced) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString plain = folder.filePath("releves.csv");
    const QString fifo = folder.filePath("tube");
    const QString link = folder.filePath("lien.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_EQ(WritePlainFile(plain, "abcdef"), QString());
    ASSERT_TRUE(QFile::link(plain, link));

    struct Case {
        const char* name;
        QString path;
        qint64 limit;
        const char* fault;  // part of the French reason; empty when read
    };
    const Case reads[] = {
        {"regular", plain, 6, ""},
        {"through a link", link, 6, ""},
        {"longer than the limit", plain, 5, "dépasse"},
        {"a pipe without writer", fifo, 1 << 20, "pas un fichier ordinaire"},
        {"a device of endless zeros", QStringLiteral("/dev/zero"), 1 << 20,
         "pas un fichier ordinaire"},
        {"a folder", folder.path(), 1 << 20, "c'est un dossier"},
        {"missing", folder.filePath("absent.csv"), 1 << 20, "n'existe pas"},
    };
    for (const Case& c : reads) {
        QByteArray bytes;
        const QString fault = ReadPlainFile(c.path, c.limit, bytes);
        EXPECT_TRUE(fault.contains(QString::fromUtf8(c.fault)))
            << c.name << ": " << fault.toStdString();
        EXPECT_EQ(fault.isEmpty(), bytes == "abcdef") << c.name;
    }

    // Writing: through the link the file is replaced and the link stays; a pipe stays a pipe.
    EXPECT_EQ(WritePlainFile(link, "ghi"), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    QFile written(plain);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "ghi");
    EXPECT_TRUE(WritePlainFile(fifo, "x").contains(QString::fromUtf8("pas un fichier ordinaire")));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(WritePlainFile(folder.filePath("absent/r.csv"), "x")
                    .contains(QString::fromUtf8("n'existe pas")));
}

}  // namespace
}  // namespace veliso
