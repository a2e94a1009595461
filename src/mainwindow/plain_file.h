// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QByteArray>
#include <QString>

namespace veliso {

/// A user's text (a file name, an argument) quoted in a one-line French message: « text »,
/// cut to an excerpt and with its control characters escaped (core/common/text_excerpt.h),
/// so that a name of any length or content keeps the message short and on one line.
QString QuotedExcerpt(const QString& text);

/// The usual system error numbers (errno) as short French phrases ("permission refusée",
/// "le disque est plein" …), whatever the language of the system; others by their number.
QString FrenchSystemError(int error);

/// Empty when `path` names no file yet, or a regular file (directly or through symbolic
/// links); otherwise why it may be neither read nor replaced ("ce n'est pas un fichier
/// ordinaire" for a pipe, a device, a socket; "c'est un dossier").
QString NotPlainFile(const QString& path);

/// Reads the whole of the regular file at `path` into `bytes`, at most `limit` bytes: a
/// longer file, or anything that is not a regular file (a pipe, /dev/zero), is refused
/// whatever its size is said to be. Empty on success, else the French reason.
QString ReadPlainFile(const QString& path, qint64 limit, QByteArray& bytes);

/// Writes `data` as the whole of the file at `path`, all or nothing (a temporary file beside
/// it, renamed over it once complete). An existing special file is not replaced; through a
/// symbolic link, the file it points to is. Empty on success, else the French reason.
QString WritePlainFile(const QString& path, const QByteArray& data);

}  // namespace veliso
