// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QLabel>
#include <QStringList>

namespace veliso {

/// The notice that takes the place of the 3D view when the view has no OpenGL context: it
/// says, in French, that 3D display is unavailable, why and what the user can do, then the
/// technical text of each failure on a line of its own. It fills its parent (the view) and
/// follows its size. Each distinct reason is listed once, in the order of the reports.
class ViewNotice : public QLabel {
    Q_OBJECT
  public:
    explicit ViewNotice(QWidget* view);

    /// Adds a reason (a failure text of the view) unless it is listed already.
    void AddReason(const QString& reason);
    const QStringList& reasons() const { return reasons_; }

    /// First line of the notice.
    static QString Heading();
    /// What went wrong and what the user can do about it, in French.
    static QString Cause();
    /// A failure text of the view as the notice shows it: without the names of the platform
    /// functions and classes that lead it ("wglRenderingContext:", "QXcbIntegration:"), which
    /// mean nothing to the user; the platform's own words stay.
    static QString TechnicalText(const QString& reason);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QStringList reasons_;
};

}  // namespace veliso
