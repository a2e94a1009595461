// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// veliso_pictures: draws every picture and icon of the program into a folder (normally
// src/mainwindow/resources, through scripts/make-pictures). The pictures do not depend on the
// day or the machine beyond the fonts and the Mesa version: the velocity draws use a
// fixed clock.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "artwork.h"
#include "keyed_jpeg.h"
#include "splash.h"

using namespace veliso::pictures;

namespace {

/// Sizes of the application icon: the desktop's usual sizes, up to the About box's 32.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("  %s (%lld bytes)\n", qPrintable(path), static_cast<long long>(bytes.size()));
    return true;
}

bool WritePng(const QString& path, const QImage& image) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("  %s (%d x %d)\n", qPrintable(path), image.width(), image.height());
    return true;
}

bool WriteJpeg(const KeyedJpegEncoder& encoder, const QString& path, const QImage& image) {
    QByteArray jpeg;
    QString problem;
    if (!encoder.EncodeChecked(image, jpeg, problem)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(problem));
        return false;
    }
    return WriteFile(path, jpeg);
}

}  // namespace

int main(int argc, char** argv) {
    // Text is drawn with QPainter: a GUI application without any display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    const KeyedJpegEncoder encoder(kSplashKey);
    if (!encoder.ok()) {
        std::fprintf(stderr, "no JPEG encoding reproduces the colour key exactly\n");
        return 1;
    }

    bool ok = true;
    for (int size : kIconSizes) {
        ok &=
            WritePng(out.filePath(QStringLiteral("icon-%1.png").arg(size)), ApplicationIcon(size));
    }
    ok &= WritePng(out.filePath(QStringLiteral("info.png")), InfoIcon());
    ok &=
        WriteJpeg(encoder, out.filePath(QStringLiteral("instructions.jpg")), InstructionsPicture());

    QString problem;
    const QImage splash = SplashPicture(problem);
    if (splash.isNull()) {
        std::fprintf(stderr, "splash: %s\n", qPrintable(problem));
        return 1;
    }
    ok &= WriteJpeg(encoder, out.filePath(QStringLiteral("splash.jpg")), splash);
    return ok ? 0 : 1;
}
