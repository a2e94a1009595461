// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <string_view>

#include "core/common/text_excerpt.h"

namespace veliso {

QString QuotedExcerpt(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return QString::fromUtf8("« %1 »").arg(
        QString::fromStdString(Excerpt(std::string_view(utf8.constData(), utf8.size()))));
}

QString FrenchSystemError(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QString::fromUtf8("permission refusée");
        case ENOENT:
            return QString::fromUtf8("le fichier ou le dossier n'existe pas");
        case ENOTDIR:
            return QString::fromUtf8("un élément du chemin n'est pas un dossier");
        case EISDIR:
            return QString::fromUtf8("c'est un dossier");
        case ENOSPC:
            return QString::fromUtf8("le disque est plein");
        case EDQUOT:
            return QString::fromUtf8("le quota de disque est dépassé");
        case EROFS:
            return QString::fromUtf8("le disque est en lecture seule");
        case ENAMETOOLONG:
            return QString::fromUtf8("le nom est trop long");
        case ELOOP:
            return QString::fromUtf8("trop de liens symboliques");
        case EIO:
            return QString::fromUtf8("erreur d'entrée-sortie du disque");
        case EMFILE:
        case ENFILE:
            return QString::fromUtf8("trop de fichiers ouverts");
        case EFBIG:
            return QString::fromUtf8("le fichier est trop grand");
        case EBUSY:
        case ETXTBSY:
            return QString::fromUtf8("le fichier est occupé");
        case EXDEV:
            return QString::fromUtf8("déplacement impossible d'un disque à l'autre");
        case ENXIO:
        case ENODEV:
            return QString::fromUtf8("le périphérique n'existe pas");
        default:
            return QString::fromUtf8("erreur système n° %1").arg(error);
    }
}

namespace {

QString KindFault(mode_t mode) {
    if (S_ISREG(mode)) {
        return {};
    }
    if (S_ISDIR(mode)) {
        return FrenchSystemError(EISDIR);
    }
    return QString::fromUtf8("ce n'est pas un fichier ordinaire (tube, périphérique ou prise)");
}

}  // namespace

QString NotPlainFile(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};  // nothing there yet (or unreachable: the write will tell why)
    }
    return KindFault(info.st_mode);
}

QString ReadPlainFile(const QString& path, qint64 limit, QByteArray& bytes) {
    bytes.clear();
    // Opened without waiting (a pipe with no writer would block), then judged by what was
    // opened, not by the name, which might meanwhile name something else.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return FrenchSystemError(errno);
    }
    struct stat info {};
    QString fault = ::fstat(fd, &info) != 0 ? FrenchSystemError(errno) : KindFault(info.st_mode);
    if (fault.isEmpty()) {
        // Never more than the limit and one byte, whatever size the file claims.
        constexpr qint64 kChunk = 1 << 16;
        while (fault.isEmpty()) {
            const qsizetype at = bytes.size();
            if (at > limit) {
                fault = QString::fromUtf8("le fichier dépasse %1 Mo").arg(limit >> 20);
                break;
            }
            bytes.resize(at + static_cast<qsizetype>(std::min(kChunk, limit + 1 - at)));
            const ssize_t got =
                ::read(fd, bytes.data() + at, static_cast<size_t>(bytes.size() - at));
            if (got < 0) {
                if (errno == EINTR) {
                    bytes.resize(at);
                    continue;
                }
                fault = FrenchSystemError(errno);
            }
            bytes.resize(at + std::max<qsizetype>(got, 0));
            if (got == 0) {
                break;
            }
        }
    }
    ::close(fd);
    if (!fault.isEmpty()) {
        bytes.clear();
    }
    return fault;
}

QString WritePlainFile(const QString& path, const QByteArray& data) {
    if (const QString fault = NotPlainFile(path); !fault.isEmpty()) {
        return fault;
    }
    // Through a link, the file it names is replaced and the link stays.
    const QString target = QFileInfo(path).isSymLink() && QFileInfo(path).exists()
                               ? QFileInfo(path).canonicalFilePath()
                               : path;
    QSaveFile file(target);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return FrenchSystemError(errno != 0 ? errno : EACCES);
    }
    errno = 0;
    if (file.write(data) != data.size()) {
        const int error = errno != 0 ? errno : EIO;
        file.cancelWriting();
        return FrenchSystemError(error);
    }
    errno = 0;
    if (!file.commit()) {
        return FrenchSystemError(errno != 0 ? errno : EIO);
    }
    return {};
}

}  // namespace veliso
