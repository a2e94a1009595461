// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/picture_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>

#include "mainwindow/plain_file.h"

namespace veliso {

namespace {

QString Quoted(const QString& text) {
    return QString::fromUtf8("« %1 »").arg(text);
}

/// Why a file could not be opened for writing at `path`.
QString OpenFailure(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || info.fileName().isEmpty()) {
        return QStringLiteral("nom de fichier vide");
    }
    if (info.isDir()) {
        return QStringLiteral("c'est un dossier");
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists()) {
        return QString::fromUtf8("le dossier %1 n'existe pas").arg(Quoted(folder.filePath()));
    }
    if (!folder.isDir()) {
        return QString::fromUtf8("%1 n'est pas un dossier").arg(Quoted(folder.filePath()));
    }
    if (info.exists() && !info.isWritable()) {
        return QString::fromUtf8("le fichier est protégé en écriture");
    }
    return QString::fromUtf8("écriture refusée dans le dossier %1").arg(Quoted(folder.filePath()));
}

void Tell(QString* why, const QString& text) {
    if (why != nullptr) {
        *why = text;
    }
}

}  // namespace

bool WritePng(const QImage& image, const QString& path, QString* why) {
    // A pipe or a device is never replaced by a regular file.
    if (const QString fault = NotPlainFile(path); !fault.isEmpty()) {
        Tell(why, fault);
        return false;
    }
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        Tell(why, OpenFailure(path));
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        Tell(why, image.isNull()
                      ? QStringLiteral("image vide")
                      : QString::fromUtf8("l'écriture a échoué (%1)").arg(writer.errorString()));
        return false;
    }
    if (!file.commit()) {
        Tell(why, QString::fromUtf8("l'écriture a échoué (%1)").arg(file.errorString()));
        return false;
    }
    return true;
}

QString WhyNotWritable(const QString& path) {
    if (const QString fault = NotPlainFile(path); !fault.isEmpty()) {
        return fault;
    }
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        return OpenFailure(path);
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
