#include "mainwindow/desktop_open.h"

#include <QProcess>
#include <QStandardPaths>

namespace veliso {

bool OpenWithDesktop(const QUrl& url) {
    // Looked up at every request, so an opener installed while the program runs is found.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !url.isValid()) {
        return false;
    }
    QProcess process;
    process.setProgram(opener);
    process.setArguments(
        {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    // The opener reports a missing page or a missing browser on its own output; the user
    // gets no message for either, and none reaches the program's standard error.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

}  // namespace veliso
