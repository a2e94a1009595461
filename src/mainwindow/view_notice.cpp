// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/view_notice.h"

#include <QEvent>
#include <QRegularExpression>

namespace veliso {

ViewNotice::ViewNotice(QWidget* view) : QLabel(view) {
    setObjectName("ViewNotice");
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignCenter);
    setMargin(16);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(64, 64, 64));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setFont(QFont("Arial", 10));
    setText(Heading());
    setGeometry(view->rect());
    view->installEventFilter(this);
}

QString ViewNotice::Heading() {
    return QString::fromUtf8("Affichage 3D indisponible");
}

QString ViewNotice::Cause() {
    return QString::fromUtf8(
        "Cause : le pilote graphique ne fournit pas OpenGL à cette fenêtre. Installez ou "
        "activez le pilote graphique de l'ordinateur, ou relancez Veliso avec "
        "QT_QPA_PLATFORM=xcb ou QT_QPA_PLATFORM=wayland.");
}

QString ViewNotice::TechnicalText(const QString& reason) {
    // "Name:" words at the start, one after the other: function and class names.
    static const QRegularExpression kLeadingNames(
        QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*:\\s*)+"));
    return QString(reason).remove(kLeadingNames).trimmed();
}

void ViewNotice::AddReason(const QString& reason) {
    if (reason.isEmpty() || reasons_.contains(reason)) {
        return;
    }
    reasons_ << reason;
    QStringList lines;
    for (const QString& each : reasons_) {
        const QString technical = TechnicalText(each);
        if (!technical.isEmpty() && !lines.contains(technical)) {
            lines << technical;
        }
    }
    setText(Heading() +
            QString::fromUtf8("\n\nOpenGL n'a pas pu être mis en place pour cette "
                              "vue ; le reste de la fenêtre fonctionne.\n\n") +
            Cause() + QString::fromUtf8("\n\nDétail technique :\n") +
            lines.join(QLatin1Char('\n')));
}

bool ViewNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QLabel::eventFilter(watched, event);
}

}  // namespace veliso
