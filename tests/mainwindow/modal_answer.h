// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <initializer_list>
#include <vector>

namespace veliso::testing {

/// Answers the next modal message boxes, one button each in the order given, once their
/// modal loop is up; keeps the caption, text, icon and buttons of the last box answered and
/// the texts of all of them.
class ModalAnswer {
  public:
    explicit ModalAnswer(QMessageBox::StandardButton button) : ModalAnswer({button}) {}
    explicit ModalAnswer(std::initializer_list<QMessageBox::StandardButton> answers)
        : answers_(answers) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || answered() >= answers_.size()) {
                return;
            }
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            texts.append(text);
            const QMessageBox::StandardButton answer = answers_[texts.size() - 1];
            if (answered() == answers_.size()) {
                timer_.stop();
            }
            box->button(answer)->click();
        });
        timer_.start();
    }
    std::size_t answered() const { return static_cast<std::size_t>(texts.size()); }

    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QStringList texts;

  private:
    std::vector<QMessageBox::StandardButton> answers_;
    QTimer timer_;
};

}  // namespace veliso::testing
