// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QLibraryInfo>
#include <QString>

class QCoreApplication;
class QTranslator;

namespace veliso {

/// Puts Qt's own texts (the standard buttons of message boxes: "Oui", "Non", "Annuler" ...)
/// into French, whatever the system's language: the whole interface is French. Loads Qt's
/// French catalogue, qtbase_fr.qm, from `directory`; where it is missing, installs a
/// translator of the program's own for the standard button texts instead.
///
/// Returns the installed translator, owned by `app`. Its filePath() names the catalogue when
/// that was loaded and is empty for the program's own fallback.
QTranslator* InstallFrenchQtTexts(
    QCoreApplication& app,
    const QString& directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace veliso
