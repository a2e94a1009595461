#include "mainwindow/view_notice.h"

#include <QEvent>

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

void ViewNotice::AddReason(const QString& reason) {
    if (reason.isEmpty() || reasons_.contains(reason)) {
        return;
    }
    reasons_ << reason;
    setText(Heading() +
            QString::fromUtf8("\n\nOpenGL n'a pas pu être mis en place pour cette "
                              "vue ; le reste de la fenêtre fonctionne.\n\nCause :\n") +
            reasons_.join(QLatin1Char('\n')));
}

bool ViewNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QLabel::eventFilter(watched, event);
}

}  // namespace veliso
