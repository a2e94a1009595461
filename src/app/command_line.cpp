// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string_view>

#include "core/common/random_source.h"
#include "core/common/text_excerpt.h"
#include "mainwindow/credits.h"
#include "mainwindow/display_settings.h"
#include "mainwindow/picture_file.h"
#include "mainwindow/plain_file.h"

#ifndef VELISO_VERSION
#define VELISO_VERSION "0"
#endif

namespace veliso {

namespace {

// What Qt's application object takes from the command line itself (QGuiApplication,
// QApplication and the X11 platform plug-in): accepted here and left in argv for it.
const char* const kQtOptionsWithValue[] = {"platform",
                                           "platformpluginpath",
                                           "platformtheme",
                                           "plugin",
                                           "qwindowgeometry",
                                           "qwindowicon",
                                           "qwindowtitle",
                                           "geometry",
                                           "title",
                                           "icon",
                                           "session",
                                           "style",
                                           "stylesheet",
                                           "display",
                                           "name",
                                           "visual"};
const char* const kQtFlags[] = {"reverse", "widgetcount", "testability", "nograb", "dograb"};

/// The error line. Each argument it quotes is an excerpt (QuotedExcerpt), so that the line
/// stays short and on one line whatever the arguments hold; the rest is escaped again here,
/// should a control character come from anywhere else.
CommandLine Failed(const QString& message) {
    CommandLine result;
    result.action = CommandLine::Action::Error;
    const QByteArray utf8 = message.toUtf8();
    result.text =
        QStringLiteral("veliso : ") +
        QString::fromStdString(Excerpt(std::string_view(utf8.constData(), utf8.size()), SIZE_MAX));
    return result;
}

/// A fault in the way the options are written; the help shows how they go.
CommandLine Misused(const QString& message) {
    return Failed(message + QString::fromUtf8(" (voir %1)").arg(QuotedExcerpt("veliso --help")));
}

/// The option's name as written in `argument` ("--onglet=gaz" → "onglet").
QString NameIn(const QString& argument) {
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    return name.left(name.indexOf(QLatin1Char('=')));
}

/// `argument` up to its equals sign, as the user wrote the option.
QString OptionAsWritten(const QString& argument) {
    const int equals = argument.indexOf(QLatin1Char('='));
    return equals < 0 ? argument : argument.left(equals);
}

bool IsOption(const QString& argument) {
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

/// The French reason of a failed QCommandLineParser::parse: an unknown option, a value
/// missing at the end, or a value given to an option that takes none.
QString WhyUnparsed(const QCommandLineParser& parser, const QStringList& arguments,
                    const QList<QCommandLineOption>& options) {
    auto find = [&options](const QString& name) -> const QCommandLineOption* {
        for (const QCommandLineOption& o : options) {
            if (o.names().contains(name)) {
                return &o;
            }
        }
        return nullptr;
    };
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--")) {
            break;
        }
        if (!IsOption(a)) {
            continue;
        }
        const QCommandLineOption* option = find(NameIn(a));
        if (option == nullptr) {
            if (parser.unknownOptionNames().contains(NameIn(a))) {
                return QStringLiteral("option inconnue %1").arg(QuotedExcerpt(OptionAsWritten(a)));
            }
            continue;
        }
        const bool takesValue = !option->valueName().isEmpty();
        if (a.contains(QLatin1Char('='))) {
            if (!takesValue) {
                return QStringLiteral("l'option %1 ne prend pas de valeur")
                    .arg(QuotedExcerpt(OptionAsWritten(a)));
            }
        } else if (takesValue) {
            if (i + 1 >= arguments.size()) {
                return QString::fromUtf8("valeur manquante après %1").arg(QuotedExcerpt(a));
            }
            ++i;
        }
    }
    return QStringLiteral("ligne de commande incorrecte");
}

/// A whole decimal number without sign, within 0 .. `limit`: digits only, so that a blank
/// or a line break around them is refused too.
std::optional<std::uint64_t> Decimal(const QString& text, std::uint64_t limit) {
    if (text.isEmpty() || text.size() > 20 || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        })) {
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok || value > limit) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

QString CaptureWriteFailure(const QString& path, const QString& why) {
    return QString::fromUtf8("impossible d'écrire la capture %1 : %2")
        .arg(QuotedExcerpt(path), why);
}

QString HelpText() {
    return QString::fromUtf8(
        "Usage : veliso [options]\n"
        "Les trois états de la matière en modèles particulaires animés.\n"
        "\n"
        "Options :\n"
        "  -h, --help             affiche cette aide et quitte\n"
        "  -v, --version          affiche la version et quitte\n"
        "  --onglet ONGLET        démarre sur l'onglet solide, liquide ou gaz\n"
        "  --plein-ecran          démarre en plein écran\n"
        "  --capture FICHIER      sans écran d'accueil, peint les images demandées, enregistre\n"
        "                         la vue en PNG dans FICHIER et quitte\n"
        "  --images N             nombre d'images peintes avant la capture (1 par défaut,\n"
        "                         au plus 100000 ; une image toutes les 25 ms)\n"
        "  --graine S             fixe à S secondes l'horloge dont les tirages aléatoires\n"
        "                         du gaz et du liquide partent : une capture se répète à\n"
        "                         l'identique\n"
        "  --taille-interface P   agrandit toute l'interface à P % (100, 125, 150 ou 200)\n"
        "                         pour cette fois ; le menu de la vue garde un choix\n"
        "  --contraste-eleve      textes et contours plus contrastés, traits des graphiques\n"
        "                         du gaz épaissis\n"
        "\n"
        "Les options de Qt (-platform, -style, -reverse...) sont acceptées.\n"
        "\n"
        "Raccourcis : F11 plein écran, Échap quitte le plein écran, Ctrl+C copie l'image de\n"
        "la vue, Ctrl+S l'enregistre, Ctrl+M ouvre les relevés de mesures du gaz ; un clic\n"
        "droit sur la vue ouvre son menu.\n"
        "Au clavier : F1 ouvre la page d'information de l'onglet, Ctrl+Tab et Ctrl+Page suiv.\n"
        "changent d'onglet, Maj+F10 ou la touche Menu ouvrent le menu de la vue. La vue\n"
        "choisie avec Tab, les flèches la tournent, Page préc. et Page suiv. montent et\n"
        "descendent l'œil, + et - (ou Ctrl+Haut et Ctrl+Bas, quand un lecteur d'écran prend\n"
        "+ et - du pavé numérique) l'approchent et l'éloignent, Origine revient au début.\n"
        "\n"
        "Code de sortie : 0 si tout va bien, 1 si la capture n'a pas pu être faite ou si une\n"
        "erreur a arrêté le programme, 2 si rien n'a démarré : ligne de commande incorrecte\n"
        "ou aucun affichage joignable.\n");
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's own options are single-dash words (-platform, -style): ours may be written so too.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption tab(QStringLiteral("onglet"), {}, QStringLiteral("onglet"));
    const QCommandLineOption fullScreen(QStringLiteral("plein-ecran"));
    const QCommandLineOption capture(QStringLiteral("capture"), {}, QStringLiteral("fichier"));
    const QCommandLineOption images(QStringLiteral("images"), {}, QStringLiteral("n"));
    const QCommandLineOption seed(QStringLiteral("graine"), {}, QStringLiteral("s"));
    const QCommandLineOption interfaceSize(QStringLiteral("taille-interface"), {},
                                           QStringLiteral("pourcent"));
    const QCommandLineOption highContrast(QStringLiteral("contraste-eleve"));
    const QList<QCommandLineOption> ours = {help,   version, tab,           fullScreen,  capture,
                                            images, seed,    interfaceSize, highContrast};
    QList<QCommandLineOption> all = ours;
    for (const char* name : kQtOptionsWithValue) {
        all.append(QCommandLineOption(QString::fromLatin1(name), {}, QStringLiteral("valeur")));
    }
    for (const char* name : kQtFlags) {
        all.append(QCommandLineOption(QString::fromLatin1(name)));
    }
    parser.addOptions(all);

    QStringList args = arguments;
    if (args.isEmpty()) {
        args.append(QStringLiteral("veliso"));
    }
    if (!parser.parse(args)) {
        return Misused(WhyUnparsed(parser, args, all));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Misused(QStringLiteral("argument inattendu %1")
                           .arg(QuotedExcerpt(parser.positionalArguments().first())));
    }
    const QStringList given = parser.optionNames();
    for (const QCommandLineOption& option : ours) {
        qsizetype times = 0;
        for (const QString& name : option.names()) {
            times += given.count(name);
        }
        if (times > 1) {
            return Misused(QString::fromUtf8("option %1 donnée plusieurs fois")
                               .arg(QuotedExcerpt(QStringLiteral("--") + option.names().last())));
        }
    }

    CommandLine result;
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.text = HelpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text = QStringLiteral("veliso " VELISO_VERSION "\n") +
                      QString::fromUtf8(veliso::credits::kVersionLicence);
        return result;
    }

    CommandLineOptions& o = result.options;
    if (parser.isSet(tab)) {
        const QString value = parser.value(tab);
        for (int i = 0; i < 3; ++i) {
            if (value.compare(QLatin1String(kTabWords[i]), Qt::CaseInsensitive) == 0) {
                o.tab = i;
            }
        }
        if (!o.tab) {
            return Misused(QStringLiteral("onglet inconnu %1 : solide, liquide ou gaz")
                               .arg(QuotedExcerpt(value)));
        }
    }
    o.fullScreen = parser.isSet(fullScreen);
    if (parser.isSet(images)) {
        if (!parser.isSet(capture)) {
            return Misused(QString::fromUtf8("%1 ne va qu'avec %2")
                               .arg(QuotedExcerpt(QStringLiteral("--images")),
                                    QuotedExcerpt(QStringLiteral("--capture"))));
        }
        const QString value = parser.value(images);
        const auto frames = Decimal(value, kMaxCaptureFrames);
        if (!frames || *frames < 1) {
            return Misused(QString::fromUtf8("nombre d'images incorrect %1 : un entier de 1 à %2")
                               .arg(QuotedExcerpt(value), QString::number(kMaxCaptureFrames)));
        }
        o.captureFrames = static_cast<int>(*frames);
    }
    if (parser.isSet(seed)) {
        const QString value = parser.value(seed);
        const auto seconds = Decimal(value, std::numeric_limits<std::uint32_t>::max());
        if (!seconds) {
            return Misused(QString::fromUtf8("graine incorrecte %1 : un entier de 0 à %2")
                               .arg(QuotedExcerpt(value),
                                    QString::number(std::numeric_limits<std::uint32_t>::max())));
        }
        o.seed = static_cast<std::uint32_t>(*seconds);
    }
    if (parser.isSet(interfaceSize)) {
        const QString value = parser.value(interfaceSize);
        const auto percent = Decimal(value, 1000);
        if (!percent || !IsInterfacePercent(static_cast<int>(*percent))) {
            return Misused(
                QString::fromUtf8("taille d'interface incorrecte %1 : 100, 125, 150 ou 200")
                    .arg(QuotedExcerpt(value)));
        }
        o.interfacePercent = static_cast<int>(*percent);
    }
    o.highContrast = parser.isSet(highContrast);
    if (parser.isSet(capture)) {
        const QString path = parser.value(capture);
        const QString why = WhyNotWritable(path);
        if (!why.isEmpty()) {
            return Failed(CaptureWriteFailure(path, why));
        }
        o.capturePath = QFileInfo(path).absoluteFilePath();
    }
    return result;
}

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

int ReportCommandLine(const CommandLine& command) {
    switch (command.action) {
        case CommandLine::Action::Help:
        case CommandLine::Action::Version:
            std::fputs(command.text.toLocal8Bit().constData(), stdout);
            std::fflush(stdout);
            return 0;
        case CommandLine::Action::Error:
            std::fputs((command.text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
            return kExitBadCommandLine;
        case CommandLine::Action::Run:
            break;
    }
    return 0;
}

void ApplySeed(const CommandLineOptions& options) {
    if (options.seed) {
        const std::uint64_t seconds = *options.seed;
        SharedRandom().SetClock([seconds] { return seconds; });
    }
}

}  // namespace veliso
