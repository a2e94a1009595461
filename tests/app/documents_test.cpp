// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
// What the program says of itself (`veliso --help`) and what its documents say of it, the
// manual page and the README, kept together: the same options, the same exit codes with the
// same causes, and the packages the set-up installs.

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include "app/command_line.h"

#ifndef VELISO_SOURCE_DIR
#error "VELISO_SOURCE_DIR names the source folder"
#endif

namespace veliso {
namespace {

QString Read(const char* relative) {
    QFile file(QStringLiteral(VELISO_SOURCE_DIR "/") + QLatin1String(relative));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative;
    return QString::fromUtf8(file.readAll());
}

/// The manual page as its reader sees the options: "\-\-onglet" is "--onglet".
QString ManualPage() {
    return Read("packaging/veliso.1").replace(QLatin1String("\\-"), QLatin1String("-"));
}

/// `text` from the first line that starts with `from` to the next line that starts with
/// `to` (an empty `to`: the next blank line), that one left out; empty when `from` is not
/// there.
QString Part(const QString& text, const QString& from, const QString& to) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    QStringList part;
    for (const QString& line : lines) {
        if (part.isEmpty()) {
            if (line.startsWith(from)) {
                part.append(line);
            }
        } else if (to.isEmpty() ? line.trimmed().isEmpty() : line.startsWith(to)) {
            break;
        } else {
            part.append(line);
        }
    }
    return part.join(QLatin1Char('\n'));
}

/// The long options `text` names ("--onglet"), each once, sorted.
QStringList LongOptions(const QString& text) {
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--[a-z][a-z-]*[a-z]"));
    QSet<QString> found;
    for (const QRegularExpressionMatch& m : option.globalMatch(text)) {
        found.insert(m.captured());
    }
    QStringList sorted(found.begin(), found.end());
    sorted.sort();
    return sorted;
}

/// Each exit code `text` describes, with its description: one match of `entry` per code,
/// the code in its first capture; the description runs to the next match.
QMap<int, QString> ExitCodes(const QString& text, const QRegularExpression& entry) {
    QMap<int, QString> codes;
    QRegularExpressionMatchIterator it = entry.globalMatch(text);
    QList<QRegularExpressionMatch> matches;
    while (it.hasNext()) {
        matches.append(it.next());
    }
    for (qsizetype i = 0; i < matches.size(); ++i) {
        const qsizetype end = i + 1 < matches.size() ? matches[i + 1].capturedStart() : text.size();
        codes[matches[i].captured(1).toInt()] =
            text.mid(matches[i].capturedEnd(), end - matches[i].capturedEnd()).simplified();
    }
    return codes;
}

TEST(Documents, TheHelpTheManualPageAndTheReadmeNameTheSameOptions) {
    const QStringList help = LongOptions(HelpText());
    ASSERT_TRUE(help.contains("--capture") && help.contains("--contraste-eleve"));
    const QString manual = ManualPage();
    struct Where {
        const char* what;
        QString text;
    };
    const Where places[] = {
        // Every option in the synopsis: the capture's line takes them all but help and version.
        {"manual page, synopsis", Part(manual, ".SH SYNOPSIS", ".SH ")},
        {"manual page, capture synopsis",
         Part(manual, ".B --capture", ".br") + "\n--help --version --capture"},
        {"manual page, options", Part(manual, ".SH OPTIONS", ".SH ")},
        {"README, command line", Part(Read("README.md"), "The command line (", "## ")},
    };
    for (const Where& w : places) {
        EXPECT_EQ(LongOptions(w.text).join(' ').toStdString(), help.join(' ').toStdString())
            << w.what;
    }
}

TEST(Documents, TheHelpTheManualPageAndTheReadmeGiveTheSameExitCodes) {
    const QString help = HelpText();
    const QMap<int, QString> inHelp =
        ExitCodes(help.mid(help.indexOf("Code de sortie")),
                  QRegularExpression(QStringLiteral("[:,]\\s+([0-9]) si ")));
    const QMap<int, QString> inManual =
        ExitCodes(Part(ManualPage(), ".SH \"CODE DE RETOUR\"", ".SH "),
                  QRegularExpression(QStringLiteral("\\.TP\\n\\.B ([0-9])\\n")));
    const QMap<int, QString> inReadme =
        ExitCodes(Part(Read("README.md"), "| exit code |", ""),
                  QRegularExpression(QStringLiteral("\\n\\| ([0-9]) \\|")));
    struct Cause {
        const char* what;
        const QMap<int, QString>& codes;
        int code;
        QStringList words;
    };
    // Each cause in the words of each document.
    const Cause causes[] = {
        {"help", inHelp, 0, {"tout va bien"}},
        {"help", inHelp, 1, {"capture", "erreur"}},
        {"help", inHelp, 2, {"ligne de commande", "affichage"}},
        {"manual page", inManual, 0, {"bien passé"}},
        {"manual page", inManual, 1, {"capture", "erreur"}},
        {"manual page", inManual, 2, {"ligne de commande", "capture", "affichage"}},
        {"README", inReadme, 0, {"closed", "capture", "--help"}},
        {"README", inReadme, 1, {"capture", "error"}},
        {"README", inReadme, 2, {"command line", "capture", "display"}},
    };
    for (const Cause& c : causes) {
        EXPECT_EQ(c.codes.keys(), (QList<int>{0, 1, 2})) << c.what;
        for (const QString& word : c.words) {
            EXPECT_TRUE(c.codes.value(c.code).contains(word))
                << c.what << ", code " << c.code << ": no \"" << word.toStdString() << "\" in \""
                << c.codes.value(c.code).toStdString() << "\"";
        }
    }
}

TEST(Documents, TheReadmeNamesEachPackageTheSetUpInstalls) {
    const QString script = Part(Read("scripts/setup-deps"), "packages=(", ")");
    QStringList packages =
        script.mid(script.indexOf('(') + 1)
            .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    ASSERT_GT(packages.size(), 10);
    const QString setUp = Part(Read("README.md"), "## Set-up", "## ");
    const QRegularExpressionMatch count =
        QRegularExpression(QStringLiteral("the same ([0-9]+) Debian packages")).match(setUp);
    ASSERT_TRUE(count.hasMatch());
    EXPECT_EQ(count.captured(1).toInt(), packages.size());
    for (const QString& package : packages) {
        EXPECT_TRUE(setUp.contains('`' + package + '`')) << package.toStdString();
    }
}

}  // namespace
}  // namespace veliso
