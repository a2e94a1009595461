// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

namespace veliso::pictures {

/// A JPEG encoding in which one colour, the colour key, survives exactly.
///
/// An ordinary JPEG shifts colours slightly, and a window that lets the desktop show
/// through wherever its picture has exactly the key colour would then show a ragged or
/// absent shape. Three things keep the key exact here:
/// - quality 100 and no chroma subsampling (4:4:4), so that every 8 x 8 block is decoded
///   from its own samples only, without any smoothing across blocks;
/// - the key regions of the picture cover whole 8 x 8 blocks, so that each such block is
///   uniform and is decoded from its DC coefficients alone;
/// - the key pixels are fed to the encoder as the one YCbCr triple that the decoder turns
///   back into the key (the rounded forward conversion of (0, 128, 192) itself comes back
///   as (0, 128, 193)).
class KeyedJpegEncoder {
  public:
    /// Looks for the YCbCr triple that decodes to `key`; ok() is false if there is none.
    explicit KeyedJpegEncoder(QColor key);

    bool ok() const { return found_; }
    QColor key() const { return key_; }

    /// Encodes `image`; pixels whose RGB equals the key are written with the key triple.
    QByteArray Encode(const QImage& image) const;

    /// Encodes, decodes with the same decoder as the program and checks that the decoded
    /// picture has the key exactly where `image` has it and nowhere else. On failure
    /// `problem` says what went wrong.
    bool EncodeChecked(const QImage& image, QByteArray& jpeg, QString& problem) const;

  private:
    QColor key_;
    bool found_ = false;
    int keyY_ = 0;
    int keyCb_ = 0;
    int keyCr_ = 0;
};

/// The JFIF conversion of one RGB pixel to YCbCr, each rounded and kept within 0 .. 255.
void RgbToYCbCr(int r, int g, int b, int& y, int& cb, int& cr);

/// True when every 8 x 8 block of `image` holds either only key pixels or none.
bool KeyFollowsBlocks(const QImage& image, QColor key);

}  // namespace veliso::pictures
