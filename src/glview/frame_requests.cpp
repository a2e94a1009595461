// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/frame_requests.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <utility>

namespace veliso {

FrameRequests::FrameRequests(QObject* parent, std::function<FrameOutcome()> expiredOutcome)
    : QObject(parent), expiredOutcome_(std::move(expiredOutcome)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &FrameRequests::Expire);
}

void FrameRequests::Add(Callback callback, int timeoutMs) {
    if (!callback) {
        return;
    }
    pending_.push_back({std::move(callback), QDeadlineTimer(std::max(timeoutMs, 0))});
    ArmTimer();
}

void FrameRequests::AnswerLater(Callback callback, FrameAnswer answer) {
    if (!callback) {
        return;
    }
    QTimer::singleShot(0, this, [callback = std::move(callback), answer = std::move(answer)] {
        callback(answer);
    });
}

void FrameRequests::AnswerAll(const FrameAnswer& answer) {
    // Callbacks may ask again: those requests wait for the next answer.
    std::vector<Pending> answering;
    answering.swap(pending_);
    ArmTimer();
    AnswerEach(answering, answer);
}

void FrameRequests::AnswerEach(const std::vector<Pending>& requests, const FrameAnswer& answer) {
    // A callback that throws must not leave the others unanswered: each is answered, and the
    // first exception goes on to the caller once all are.
    std::exception_ptr first;
    for (const Pending& request : requests) {
        try {
            request.callback(answer);
        } catch (...) {
            if (!first) {
                first = std::current_exception();
            }
        }
    }
    if (first) {
        std::rethrow_exception(first);
    }
}

void FrameRequests::Drop() {
    pending_.clear();
    timer_.stop();
}

void FrameRequests::Expire() {
    std::vector<Pending> expired;
    const auto late = std::stable_partition(pending_.begin(), pending_.end(), [](const Pending& p) {
        return !p.deadline.hasExpired();
    });
    std::move(late, pending_.end(), std::back_inserter(expired));
    pending_.erase(late, pending_.end());
    ArmTimer();
    if (expired.empty()) {
        return;
    }
    FrameAnswer answer;
    answer.outcome = expiredOutcome_ ? expiredOutcome_() : FrameOutcome::TimedOut;
    AnswerEach(expired, answer);
}

void FrameRequests::ArmTimer() {
    if (pending_.empty()) {
        timer_.stop();
        return;
    }
    qint64 soonest = pending_.front().deadline.remainingTime();
    for (const Pending& p : pending_) {
        soonest = std::min(soonest, p.deadline.remainingTime());
    }
    timer_.start(static_cast<int>(std::max<qint64>(soonest, 0)));
}

}  // namespace veliso
