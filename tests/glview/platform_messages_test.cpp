// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/platform_messages.h"

#include <gtest/gtest.h>

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace veliso {
namespace {

/// Stands for whatever handler the program had before: records every message it is given,
/// from any thread.
class Recorder {
  public:
    Recorder() {
        Texts().clear();
        Count() = 0;
        saved_ = qInstallMessageHandler(&Record);
    }
    ~Recorder() { qInstallMessageHandler(saved_); }

    static std::vector<QString>& Texts() {
        static std::vector<QString> texts;
        return texts;
    }
    static std::atomic<int>& Count() {
        static std::atomic<int> count{0};
        return count;
    }
    static void Record(QtMsgType, const QMessageLogContext&, const QString& text) {
        static std::mutex mutex;
        std::lock_guard lock(mutex);
        Texts().push_back(text);
        ++Count();
    }

  private:
    QtMessageHandler saved_;
};

/// A handler installed by someone else while captures live; it forwards to the one it
/// replaced, as well-behaved handlers do.
QtMessageHandler replaced = nullptr;
int othersSeen = 0;
void Other(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    ++othersSeen;
    replaced(type, context, text);
}

class PlatformMessagesTest : public ::testing::Test {
  protected:
    Recorder recorder;
};

TEST_F(PlatformMessagesTest, NestedCapturesEachSeeTheirOwnLifetime) {
    PlatformMessages outer;
    qWarning("before the inner call");
    {
        PlatformMessages inner;
        qWarning("inside");
        qDebug("debug chatter is no failure");
        EXPECT_EQ(inner.Text("nothing"), "inside");
    }
    qCritical("after");
    EXPECT_EQ(outer.Text("nothing"), "before the inner call inside after");
    // Every message, debug included, still reached the handler installed before, once.
    EXPECT_EQ(Recorder::Texts(), (std::vector<QString>{"before the inner call", "inside",
                                                       "debug chatter is no failure", "after"}));
}

TEST_F(PlatformMessagesTest, TextFallsBackWhenSilentAndIsCutAt255Characters) {
    PlatformMessages silent;
    EXPECT_EQ(silent.Text("the display said nothing."), "the display said nothing.");
    qWarning("%s", QString(300, QLatin1Char('x')).toLatin1().constData());
    EXPECT_EQ(silent.Text("fallback").size(), 255);
}

TEST_F(PlatformMessagesTest, MessagesOfOtherThreadsPassThroughUncaptured) {
    PlatformMessages here;
    QString thereText;
    std::thread other([&thereText] {
        PlatformMessages there;
        qWarning("from the other thread");
        thereText = there.Text("nothing");
    });
    other.join();
    EXPECT_EQ(thereText, "from the other thread");
    EXPECT_EQ(here.Text("nothing"), "nothing");
    EXPECT_EQ(Recorder::Count(), 1);
}

TEST_F(PlatformMessagesTest, TheLastCaptureRestoresOnlyTheHandlerItReplaced) {
    { PlatformMessages capture; }
    // Nobody came between: the program's own handler is back.
    EXPECT_EQ(qInstallMessageHandler(&Recorder::Record), &Recorder::Record);

    {
        PlatformMessages capture;
        replaced = qInstallMessageHandler(&Other);
    }
    // Someone installed a handler meanwhile: it stays, and messages still travel its chain
    // down to the program's own handler.
    othersSeen = 0;
    qWarning("after the captures");
    EXPECT_EQ(othersSeen, 1);
    EXPECT_EQ(Recorder::Texts().back(), "after the captures");
    // A new capture behind that handler: each message is seen once by every handler.
    {
        PlatformMessages capture;
        qWarning("once");
        EXPECT_EQ(capture.Text("nothing"), "once");
    }
    EXPECT_EQ(othersSeen, 2);
    EXPECT_EQ(std::count(Recorder::Texts().begin(), Recorder::Texts().end(), "once"), 1);
    EXPECT_EQ(qInstallMessageHandler(replaced), &Other);
}

TEST_F(PlatformMessagesTest, CapturesComeAndGoWhileOtherThreadsLog) {
    constexpr int kThreads = 4;
    constexpr int kMessages = 2000;
    std::atomic<bool> go{false};
    std::vector<std::thread> loggers;
    for (int t = 0; t < kThreads; ++t) {
        loggers.emplace_back([&go] {
            while (!go) {
            }
            for (int i = 0; i < kMessages; ++i) {
                qWarning("worker message");
            }
        });
    }
    go = true;
    int captured = 0;
    for (int i = 0; i < 2000; ++i) {
        PlatformMessages outer;
        PlatformMessages inner;
        qWarning("main");
        captured += inner.Text("").contains("main") ? 1 : 0;
        EXPECT_EQ(outer.Text(""), "main");
    }
    for (std::thread& t : loggers) {
        t.join();
    }
    EXPECT_EQ(captured, 2000);
    // No message lost or doubled while the handler changed hands.
    EXPECT_EQ(Recorder::Count(), kThreads * kMessages + 2000);
}

}  // namespace
}  // namespace veliso
