// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>

#include <QDeadlineTimer>
#include <functional>
#include <vector>

namespace veliso {

/// How a request for a frame of the view ended.
enum class FrameOutcome {
    Painted,      ///< `frame` holds the picture that went on screen
    NoContext,    ///< the view has no OpenGL context: it can never paint
    NotExposed,   ///< nothing of the view was on screen (hidden, minimised, no height)
    PaintFailed,  ///< the owner's drawing threw; the half-drawn frame was not shown
    TimedOut,     ///< on screen, but no paint came in time
};

struct FrameAnswer {
    FrameOutcome outcome = FrameOutcome::TimedOut;
    QImage frame;    ///< only with `Painted`: device pixels, RGB, top row first
    QString reason;  ///< the failure's own text, where there is one
};

/// The requests waiting for the view's next frame. Each is answered exactly once: by the next
/// paint (with its frame or its failure), by a failure known already, or by its deadline.
/// A request made while the waiting ones are being answered waits for the next answer.
class FrameRequests : public QObject {
    Q_OBJECT
  public:
    using Callback = std::function<void(const FrameAnswer&)>;

    /// `expiredOutcome` says why a request whose deadline passed got no frame.
    FrameRequests(QObject* parent, std::function<FrameOutcome()> expiredOutcome);

    /// Waits at most `timeoutMs` for an answer.
    void Add(Callback callback, int timeoutMs);
    /// Answers `callback` from the event loop, never before `Add`'s caller has returned.
    void AnswerLater(Callback callback, FrameAnswer answer);
    bool waiting() const { return !pending_.empty(); }
    /// Answers every waiting request with `answer`. Should a callback throw, the others are
    /// still answered, and then the first exception is thrown on.
    void AnswerAll(const FrameAnswer& answer);
    /// The requests are dropped unanswered: their owner is going away.
    void Drop();

  private:
    struct Pending {
        Callback callback;
        QDeadlineTimer deadline;
    };
    void Expire();
    static void AnswerEach(const std::vector<Pending>& requests, const FrameAnswer& answer);
    void ArmTimer();

    std::vector<Pending> pending_;
    std::function<FrameOutcome()> expiredOutcome_;
    QTimer timer_;
};

}  // namespace veliso
