// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace veliso {
namespace {

CommandLine Parse(const QStringList& options) {
    return ParseCommandLine(QStringList{QStringLiteral("veliso")} + options);
}

TEST(CommandLine, WithoutOptionsTheProgramStartsAsAlways) {
    for (const QStringList& arguments : {QStringList{"veliso"}, QStringList{}}) {
        const CommandLine c = ParseCommandLine(arguments);
        EXPECT_EQ(c.action, CommandLine::Action::Run);
        EXPECT_FALSE(c.options.tab.has_value());
        EXPECT_FALSE(c.options.fullScreen);
        EXPECT_FALSE(c.options.capturing());
        EXPECT_FALSE(c.options.seed.has_value());
        EXPECT_TRUE(c.text.isEmpty());
    }
}

TEST(CommandLine, GoodOptionsWithOneOrTwoDashesAndQtsOwnOptions) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString shot = folder.filePath("vue.png");

    CommandLine c = Parse({"--onglet", "gaz", "--plein-ecran", "--graine", "1234"});
    ASSERT_EQ(c.action, CommandLine::Action::Run) << c.text.toStdString();
    EXPECT_EQ(c.options.tab, 2);
    EXPECT_TRUE(c.options.fullScreen);
    EXPECT_EQ(c.options.seed, 1234u);

    c = Parse({"-onglet=Liquide", "-capture", shot, "-images=40", "--graine=4294967295"});
    ASSERT_EQ(c.action, CommandLine::Action::Run) << c.text.toStdString();
    EXPECT_EQ(c.options.tab, 1);
    EXPECT_EQ(c.options.capturePath, shot);
    EXPECT_EQ(c.options.captureFrames, 40);
    EXPECT_EQ(c.options.seed, 4294967295u);

    c = Parse({"--onglet", "solide", "--capture", shot, "--graine", "0"});
    EXPECT_EQ(c.options.tab, 0);
    EXPECT_EQ(c.options.captureFrames, 1);
    EXPECT_EQ(c.options.seed, 0u);

    // Left for the application object, which takes them out of argv itself.
    c = Parse({"-platform", "offscreen", "-style=Fusion", "--style", "Windows", "-reverse",
               "-stylesheet", "a.qss", "-display", ":1", "-widgetcount", "-qwindowtitle", "T",
               "--onglet", "liquide"});
    ASSERT_EQ(c.action, CommandLine::Action::Run) << c.text.toStdString();
    EXPECT_EQ(c.options.tab, 1);
    EXPECT_EQ(c.options.fullScreen, false);
}

TEST(CommandLine, CapturePathIsMadeAbsoluteAgainstTheWorkingFolder) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const CommandLine c = Parse({"--capture", "vue.png"});
    QDir::setCurrent(before);
    EXPECT_EQ(c.options.capturePath, QDir(folder.path()).absoluteFilePath("vue.png"));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST(CommandLine, HelpAndVersionComeBeforeEverythingButSyntax) {
    CommandLine c = Parse({"--onglet", "inconnu", "-h"});
    EXPECT_EQ(c.action, CommandLine::Action::Help);
    EXPECT_EQ(c.text, HelpText());
    for (const char* option : {"--onglet", "--plein-ecran", "--capture", "--images", "--graine",
                               "--help", "--version", "F11", "Ctrl+C", "Ctrl+S"}) {
        EXPECT_TRUE(c.text.contains(QLatin1String(option))) << option;
    }
    c = Parse({"--version"});
    EXPECT_EQ(c.action, CommandLine::Action::Version);
    // The version on the first line, then the licence, in French.
    EXPECT_TRUE(
        QRegularExpression("^veliso [0-9]+\\.[0-9]+(\\.[0-9]+)?\\nLicence : GNU GPL version 3 ou "
                           "ultérieure \\(GPL-3\\.0-or-later\\)\\.\\n")
            .match(c.text)
            .hasMatch())
        << c.text.toStdString();
    c = Parse({"-v", "--help"});
    EXPECT_EQ(c.action, CommandLine::Action::Help);
    // A syntax fault wins: the command was not what the user meant.
    EXPECT_EQ(Parse({"--help", "--inconnue"}).action, CommandLine::Action::Error);
}

TEST(CommandLine, EachFaultGivesOneFrenchLine) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString shot = folder.filePath("vue.png");
    const QString help = QString::fromUtf8(" (voir « veliso --help »)");
    struct Case {
        QStringList options;
        QString line;
    };
    const Case cases[] = {
        {{"--inconnue"}, "option inconnue « --inconnue »" + help},
        {{"-x=3"}, "option inconnue « -x »" + help},
        {{"--onglet"}, QString::fromUtf8("valeur manquante après « --onglet »") + help},
        {{"--capture", shot, "--images"},
         QString::fromUtf8("valeur manquante après « --images »") + help},
        {{"--plein-ecran=oui"}, "l'option « --plein-ecran » ne prend pas de valeur" + help},
        {{"gaz"}, "argument inattendu « gaz »" + help},
        {{"--", "--onglet"}, "argument inattendu « --onglet »" + help},
        {{"--onglet", "gazeux"}, "onglet inconnu « gazeux » : solide, liquide ou gaz" + help},
        {{"--onglet", "gaz", "-onglet", "gaz"},
         QString::fromUtf8("option « --onglet » donnée plusieurs fois") + help},
        {{"--plein-ecran", "--plein-ecran"},
         QString::fromUtf8("option « --plein-ecran » donnée plusieurs fois") + help},
        {{"--images", "3"}, QString::fromUtf8("« --images » ne va qu'avec « --capture »") + help},
        {{"--capture", shot, "--images", "0"},
         QString::fromUtf8("nombre d'images incorrect « 0 » : un entier de 1 à 100000") + help},
        {{"--capture", shot, "--images", "100001"},
         QString::fromUtf8("nombre d'images incorrect « 100001 » : un entier de 1 à 100000") +
             help},
        {{"--capture", shot, "--images", "+5"},
         QString::fromUtf8("nombre d'images incorrect « +5 » : un entier de 1 à 100000") + help},
        {{"--graine", "-1"},
         QString::fromUtf8("graine incorrecte « -1 » : un entier de 0 à 4294967295") + help},
        {{"--graine", "4294967296"},
         QString::fromUtf8("graine incorrecte « 4294967296 » : un entier de 0 à 4294967295") +
             help},
        {{"--graine", "12s"},
         QString::fromUtf8("graine incorrecte « 12s » : un entier de 0 à 4294967295") + help},
        // The value is not read as a place holder of the message.
        {{"--graine", "%1"},
         QString::fromUtf8("graine incorrecte « %1 » : un entier de 0 à 4294967295") + help},
        {{"--capture", folder.filePath("absent/vue.png")},
         QString::fromUtf8("impossible d'écrire la capture « %1 » : le dossier « %2 » n'existe pas")
             .arg(folder.filePath("absent/vue.png"), folder.filePath("absent"))},
        {{"--capture", folder.path()},
         QString::fromUtf8("impossible d'écrire la capture « %1 » : c'est un dossier")
             .arg(folder.path())},
        {{"--capture="},
         QString::fromUtf8("impossible d'écrire la capture «  » : nom de fichier vide")},
    };
    for (const Case& c : cases) {
        const CommandLine result = Parse(c.options);
        EXPECT_EQ(result.action, CommandLine::Action::Error) << c.options.join(' ').toStdString();
        EXPECT_EQ(result.text, "veliso : " + c.line) << c.options.join(' ').toStdString();
        EXPECT_FALSE(result.text.contains('\n'));
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST(CommandLine, ControlCharactersAreShownEscapedAndNumbersAreDigitsAlone) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString shot = folder.filePath("vue.png");
    const QString help = QString::fromUtf8(" (voir « veliso --help »)");
    struct Case {
        QStringList options;
        QString line;
    };
    const Case cases[] = {
        {{"\n"}, QString::fromUtf8("argument inattendu « \\n »") + help},
        {{"--\x1b[31m"}, QString::fromUtf8("option inconnue « --\\x1b[31m »") + help},
        {{"--onglet", "gaz\r"},
         QString::fromUtf8("onglet inconnu « gaz\\r » : solide, liquide ou gaz") + help},
        {{"--capture", shot, "--images", "5\n"},
         QString::fromUtf8("nombre d'images incorrect « 5\\n » : un entier de 1 à 100000") + help},
        {{"--graine", "7\n"},
         QString::fromUtf8("graine incorrecte « 7\\n » : un entier de 0 à 4294967295") + help},
        {{"--graine", " 7"},
         QString::fromUtf8("graine incorrecte «  7 » : un entier de 0 à 4294967295") + help},
        {{"--graine", "7\t"},
         QString::fromUtf8("graine incorrecte « 7\\t » : un entier de 0 à 4294967295") + help},
        {{"--capture", folder.filePath("a\nb/vue.png")},
         QString::fromUtf8("impossible d'écrire la capture « %1\\nb/vue.png » : le dossier "
                           "« %1\\nb » n'existe pas")
             .arg(folder.filePath("a"))},
    };
    for (const Case& c : cases) {
        const CommandLine result = Parse(c.options);
        EXPECT_EQ(result.action, CommandLine::Action::Error);
        EXPECT_EQ(result.text, "veliso : " + c.line);
    }
}

TEST(CommandLine, AnArgumentOfAnyLengthIsQuotedAsAnExcerpt) {
    // 100 kB: what a script gone wrong passes. The line names where it went wrong and stays
    // short; the excerpt is the one the CSV errors quote (core/common/text_excerpt.h).
    const QString huge(100000, QLatin1Char('a'));
    const QString excerpt = QString(59, QLatin1Char('a')) + QString::fromUtf8("…");
    const QString help = QString::fromUtf8(" (voir « veliso --help »)");
    struct Case {
        QStringList options;
        QString line;
    };
    const Case cases[] = {
        {{huge}, QString::fromUtf8("argument inattendu « %1 »").arg(excerpt) + help},
        {{"--" + huge},
         QString::fromUtf8("option inconnue « --%1 »").arg(excerpt.right(58)) + help},
        {{"--onglet", huge},
         QString::fromUtf8("onglet inconnu « %1 » : solide, liquide ou gaz").arg(excerpt) + help},
        {{"--graine", huge},
         QString::fromUtf8("graine incorrecte « %1 » : un entier de 0 à 4294967295").arg(excerpt) +
             help},
        {{"--taille-interface", huge},
         QString::fromUtf8("taille d'interface incorrecte « %1 » : 100, 125, 150 ou 200")
                 .arg(excerpt) +
             help},
        // A name no folder takes, refused before anything starts rather than when the
        // picture is written: 300 characters, over the 255 bytes a file name may have.
        {{"--capture", "/tmp/" + QString(300, QLatin1Char('x')) + ".png"},
         QString::fromUtf8("impossible d'écrire la capture « /tmp/%1… » : le nom est trop long")
             .arg(QString(54, QLatin1Char('x')))},
        {{"--capture", "/" + huge + "/vue.png"},
         QString::fromUtf8("impossible d'écrire la capture « /%1… » : le nom est trop long")
             .arg(QString(58, QLatin1Char('a')))},
    };
    for (const Case& c : cases) {
        const CommandLine result = Parse(c.options);
        EXPECT_EQ(result.action, CommandLine::Action::Error);
        EXPECT_EQ(result.text, "veliso : " + c.line);
    }
}

}  // namespace
}  // namespace veliso
