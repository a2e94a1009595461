// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace veliso {

/// Hands a local document or a link (a "mailto:" address, say) to the desktop's opener,
/// xdg-open, whose input and output are discarded. Returns whether the opener was started;
/// without an opener on the PATH nothing happens and false is returned. `failed`, when given,
/// is called once from the event loop if the opener ends with an error: it found no program
/// for the document (xdg-open exits 3 where no browser is installed). An opener still running
/// when the program ends (it waits for the browser it started on some desktops) is ended with
/// it; what it started goes on.
bool OpenWithDesktop(const QUrl& url, std::function<void()> failed = {});

/// The folder of the information pages for a program that lies in `programFolder`: the
/// installed folder (../share/veliso/pages beside the program's bin folder) or, for a
/// program run from its build folder, the build's copy of the pages. The first of the two
/// that holds the solid page; empty when neither does. The working directory plays no part,
/// so the program finds its pages from whatever folder it is started in.
QString FindPagesFolder(const QString& programFolder);

/// FindPagesFolder for the running program's own folder.
QString InformationPagesFolder();

/// Why the information page `name` cannot be shown from `folder` (as found by
/// FindPagesFolder, empty when none was found), in French for the user; empty when the page
/// exists. `programFolder` names where the pages were looked for.
QString MissingPageMessage(const QString& folder, const QString& name,
                           const QString& programFolder);

/// The French message for a page that exists but cannot be handed to a browser because
/// xdg-open is missing.
QString NoOpenerMessage();

/// The French message for the page `path` that the opener could not open: no program could,
/// and where the page is, to be opened by hand.
QString OpenerFailedMessage(const QString& path);

}  // namespace veliso
