// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QImage>
#include <QString>

class QDateTime;

namespace veliso {

/// Each tab's one French word (solid, liquid, gas: tabs 0, 1, 2), as picture names and the
/// command line spell it.
inline constexpr const char* kTabWords[3] = {"solide", "liquide", "gaz"};

/// Writes `image` as a PNG file at `path`, whatever the file's extension, all or nothing: the
/// picture goes to a temporary file beside `path`, which takes the place of `path` only once
/// complete. On failure no temporary file is left, an existing file at `path` keeps its
/// content, and `why` (when given) receives the reason as a short French phrase, the system's
/// errors in French too whatever the system's language.
bool WritePng(const QImage& image, const QString& path, QString* why = nullptr);

/// Empty when a file can be written at `path` (the folder exists and takes a new file, the
/// name is not too long for it, an existing file there may be replaced); otherwise the
/// reason, as `WritePng` words it. The check writes nothing that stays.
QString WhyNotWritable(const QString& path);

/// Suggested name of a picture of the view: "veliso-" + solide, liquide or gaz (tab 0, 1, 2)
/// + the local date and time as AAAA-MM-JJ-HHhMM + ".png".
QString DefaultPictureName(int tab, const QDateTime& when);

/// Folder offered for pictures: the user's pictures folder when it exists, else the home
/// folder.
QString PicturesFolder();

}  // namespace veliso
