// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/picture_file.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>

#include "mainwindow/plain_file.h"

namespace veliso {

namespace {

/// Why a file cannot be made at `path`, from what can be seen without writing; empty when
/// nothing is seen. `error` is the errno of a failed open, 0 when none was tried.
QString PathFault(const QString& path, int error) {
    const QFileInfo info(path);
    if (path.isEmpty() || info.fileName().isEmpty()) {
        return QStringLiteral("nom de fichier vide");
    }
    if (info.isDir()) {
        return QStringLiteral("c'est un dossier");
    }
    const QString folder = info.absolutePath();
    struct stat folderInfo {};
    if (::stat(QFile::encodeName(folder).constData(), &folderInfo) != 0) {
        if (errno == ENOENT) {
            return QString::fromUtf8("le dossier %1 n'existe pas").arg(QuotedExcerpt(folder));
        }
        return errno == ENOTDIR
                   ? QString::fromUtf8("%1 n'est pas un dossier").arg(QuotedExcerpt(folder))
                   : FrenchSystemError(errno);
    }
    if (!S_ISDIR(folderInfo.st_mode)) {
        return QString::fromUtf8("%1 n'est pas un dossier").arg(QuotedExcerpt(folder));
    }
    // The file gets its name only when it is complete (QSaveFile writes an unnamed file in the
    // folder first), so a name the folder cannot hold must be caught here, not by the open.
    const QByteArray fullName = QFile::encodeName(info.absoluteFilePath());
    const long nameMax = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    if (fullName.size() >= PATH_MAX ||
        QFile::encodeName(info.fileName()).size() > (nameMax > 0 ? nameMax : NAME_MAX)) {
        return FrenchSystemError(ENAMETOOLONG);
    }
    if (info.exists() && !info.isWritable()) {
        return QString::fromUtf8("le fichier est protégé en écriture");
    }
    switch (error) {
        case 0:
            return {};
        case ENAMETOOLONG:
        case EROFS:
        case ENOSPC:
        case EDQUOT:
        case EIO:
        case EMFILE:
        case ENFILE:
            return FrenchSystemError(error);
        default:
            // EACCES, EPERM, or a folder that takes no new file at all (/proc: ENOENT).
            return QString::fromUtf8("écriture refusée dans le dossier %1")
                .arg(QuotedExcerpt(folder));
    }
}

void Tell(QString* why, const QString& text) {
    if (why != nullptr) {
        *why = text;
    }
}

/// The reason of a failed write whose errno is `error` (0: none known).
QString WriteFailure(int error) {
    return error != 0 ? QString::fromUtf8("l'écriture a échoué (%1)").arg(FrenchSystemError(error))
                      : QString::fromUtf8("l'écriture a échoué");
}

}  // namespace

bool WritePng(const QImage& image, const QString& path, QString* why) {
    // A pipe or a device is never replaced by a regular file.
    if (const QString fault = NotPlainFile(path); !fault.isEmpty()) {
        Tell(why, fault);
        return false;
    }
    if (const QString fault = PathFault(path, 0); !fault.isEmpty()) {
        Tell(why, fault);
        return false;
    }
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const QString fault = PathFault(path, errno != 0 ? errno : EACCES);
        Tell(why, fault);
        return false;
    }
    if (image.isNull()) {
        file.cancelWriting();
        Tell(why, QStringLiteral("image vide"));
        return false;
    }
    QImageWriter writer(&file, "png");
    errno = 0;
    if (!writer.write(image)) {
        const int error = errno;
        file.cancelWriting();
        Tell(why, WriteFailure(error));
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        Tell(why, WriteFailure(errno));
        return false;
    }
    return true;
}

QString WhyNotWritable(const QString& path) {
    if (const QString fault = NotPlainFile(path); !fault.isEmpty()) {
        return fault;
    }
    if (const QString fault = PathFault(path, 0); !fault.isEmpty()) {
        return fault;
    }
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return PathFault(path, errno != 0 ? errno : EACCES);
    }
    file.cancelWriting();
    return {};
}

QString DefaultPictureName(int tab, const QDateTime& when) {
    const char* name = kTabWords[tab >= 0 && tab < 3 ? tab : 0];
    return QStringLiteral("veliso-%1-%2.png")
        .arg(QLatin1String(name), when.toString(QStringLiteral("yyyy-MM-dd-HH'h'mm")));
}

QString PicturesFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) {
        return pictures;
    }
    return QDir::homePath();
}

}  // namespace veliso
