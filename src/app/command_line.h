// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace veliso {

/// Exit code of a run refused because of its command line.
inline constexpr int kExitBadCommandLine = 2;
/// Exit code of a capture that could not be made (no OpenGL view, file not written).
inline constexpr int kExitCaptureFailed = 1;

/// Largest number of frames a capture may paint: at 25 ms a frame, about 40 minutes.
inline constexpr int kMaxCaptureFrames = 100000;

/// What the command line asks of a run. Without any option the program starts as always:
/// splash screen, solid tab, clock-seeded random draws.
struct CommandLineOptions {
    /// Tab to start on: 0 solid, 1 liquid, 2 gas; none keeps the solid tab.
    std::optional<int> tab;
    bool fullScreen = false;
    /// PNG file the view is written to after `captureFrames` frames; empty: no capture.
    QString capturePath;
    int captureFrames = 1;
    /// Seconds since the epoch that the random source's clock reports for the whole run
    /// instead of the time of day, so that the gas and liquid draws repeat from run to run.
    std::optional<std::uint32_t> seed;
    /// Size of the whole interface for this run, in percent (100, 125, 150 or 200); none
    /// keeps the size chosen in the view's menu.
    std::optional<int> interfacePercent;
    /// The contrast mode for this run, whatever the view's menu stored.
    bool highContrast = false;

    bool capturing() const { return !capturePath.isEmpty(); }
};

/// The outcome of reading the command line.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    CommandLineOptions options;
    /// Help or version text (several lines, for standard output), or the error: one short
    /// French line without its final newline, for standard error, which quotes arguments as
    /// excerpts of at most kExcerptCharacters characters, their control characters written
    /// as escapes ("\n", "\x1b").
    QString text;
};

/// Reads the program's arguments; the first one names the program. Takes `--help` (`-h`),
/// `--version` (`-v`), `--onglet solide|liquide|gaz`, `--plein-ecran`, `--capture FICHIER`,
/// `--images N` (with `--capture` only), `--graine S`, `--taille-interface POURCENT` and
/// `--contraste-eleve`; an option may be written with one
/// dash or two, its value after a blank or an equals sign. The options of Qt's application
/// object (`-platform`, `-style`, `-reverse`, ...) are accepted and left for it. A capture
/// path is checked for writing here, before anything starts (its folder, the permission, the
/// length of its name); nothing is left behind by the check. Numbers are digits alone: a blank or a line break beside them is a fault. The
/// first fault found gives the error.
CommandLine ParseCommandLine(const QStringList& arguments);

/// Why a capture cannot be made: `path` cannot be written, `why` as WritePng words it. Said
/// alike when the command line is read and when the picture is written at the end.
QString CaptureWriteFailure(const QString& path, const QString& why);

/// The arguments of main() as strings.
QStringList ArgumentsOf(int argc, char** argv);

/// Writes the help or version text on standard output, or the error line on standard error,
/// and returns the exit code: 0, or `kExitBadCommandLine` for an error.
int ReportCommandLine(const CommandLine& command);

/// Makes the shared random source's clock report the seed, when one was given. Must run
/// before the main window is created: its construction draws the gas and the liquid.
void ApplySeed(const CommandLineOptions& options);

/// The help text shown by `--help`.
QString HelpText();

}  // namespace veliso
