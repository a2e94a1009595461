// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "app/translations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstring>

namespace veliso {

namespace {

/// The texts Qt gives the standard buttons (QMessageBox, QDialogButtonBox), in French, for
/// systems without Qt's translations. An ampersand marks the access key.
class StandardButtonTexts : public QTranslator {
  public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override {
        if (context == nullptr || sourceText == nullptr ||
            std::strcmp(context, "QPlatformTheme") != 0) {
            return {};
        }
        static constexpr struct {
            const char* english;
            const char* french;
        } kTexts[] = {
            {"OK", "OK"},
            {"Save", "Enregistrer"},
            {"Save All", "Tout enregistrer"},
            {"Open", "Ouvrir"},
            {"&Yes", "&Oui"},
            {"Yes to &All", "Oui à &tout"},
            {"&No", "&Non"},
            {"N&o to All", "Non à to&ut"},
            {"Abort", "Abandonner"},
            {"Retry", "Réessayer"},
            {"Ignore", "Ignorer"},
            {"Close", "Fermer"},
            {"Cancel", "Annuler"},
            {"Discard", "Ne pas enregistrer"},
            {"Help", "Aide"},
            {"Apply", "Appliquer"},
            {"Reset", "Réinitialiser"},
            {"Restore Defaults", "Valeurs par défaut"},
        };
        for (const auto& text : kTexts) {
            if (std::strcmp(sourceText, text.english) == 0) {
                return QString::fromUtf8(text.french);
            }
        }
        return {};
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

QTranslator* InstallFrenchQtTexts(QCoreApplication& app, const QString& directory) {
    auto* catalogue = new QTranslator(&app);
    if (catalogue->load(QStringLiteral("qtbase_fr"), directory)) {
        app.installTranslator(catalogue);
        return catalogue;
    }
    delete catalogue;
    auto* fallback = new StandardButtonTexts(&app);
    app.installTranslator(fallback);
    return fallback;
}

}  // namespace veliso
