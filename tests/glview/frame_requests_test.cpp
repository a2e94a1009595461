// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/frame_requests.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "mainwindow/qt_app.h"

namespace veliso {
namespace {

// A request whose callback throws must not leave the others unanswered (a capture waiting
// beside a copy to the clipboard would wait for ever); the first exception still goes on to
// the paint, once everyone was answered. The deadline's answers go the same way.
TEST(FrameRequests, EveryRequestIsAnsweredEvenWhenACallbackThrows) {
    testing::TestApplication();
    FrameRequests requests(nullptr, [] { return FrameOutcome::TimedOut; });
    std::vector<FrameOutcome> got;
    const auto take = [&got](const FrameAnswer& a) { got.push_back(a.outcome); };
    requests.Add(take, 60000);
    requests.Add([](const FrameAnswer&) { throw std::logic_error("first"); }, 60000);
    requests.Add([](const FrameAnswer&) { throw std::runtime_error("second"); }, 60000);
    requests.Add(take, 60000);
    EXPECT_THROW(requests.AnswerAll({FrameOutcome::Painted, {}, {}}), std::logic_error);
    EXPECT_EQ(got, std::vector<FrameOutcome>(2, FrameOutcome::Painted));
    EXPECT_FALSE(requests.waiting());
}

}  // namespace
}  // namespace veliso
