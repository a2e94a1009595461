// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "glview/platform_messages.h"

#include <QtGlobal>

#include <algorithm>
#include <mutex>
#include <vector>

namespace veliso {

/// The live captures of the process and the handler they pass messages on to. Qt may call
/// the handler from any thread at any time, so everything here is guarded by one lock, which
/// is never held while another handler runs (a handler that logs again must not deadlock).
struct PlatformMessagesRegistry {
    static PlatformMessagesRegistry& Instance() {
        // Never destroyed: a handler left in Qt's chain may still be called at exit.
        static auto* registry = new PlatformMessagesRegistry;
        return *registry;
    }

    void Add(PlatformMessages* capture) {
        std::lock_guard lock(mutex);
        if (captures.empty()) {
            const QtMessageHandler current = qInstallMessageHandler(&Handler);
            if (current == displacedBy) {
                // The handler that was put in front of ours is still there and passes
                // messages on to ours: it stays in front.
                qInstallMessageHandler(current);
            } else if (current != &Handler) {
                previous = current;
            }
            displacedBy = nullptr;
        }
        captures.push_back(capture);
    }

    void Remove(PlatformMessages* capture) {
        std::lock_guard lock(mutex);
        captures.erase(std::remove(captures.begin(), captures.end(), capture), captures.end());
        if (!captures.empty()) {
            return;
        }
        // Give back the handler ours replaced, but only if ours is still the one installed:
        // a handler installed since then stays, and ours goes on forwarding behind it.
        const QtMessageHandler current = qInstallMessageHandler(previous);
        if (current != &Handler) {
            qInstallMessageHandler(current);
            displacedBy = current;
        }
    }

    static void Handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        // A message that comes back to this handler while it is passing that very message on
        // went round a chain of handlers that leads back here: it is not sent round again.
        thread_local const QString* forwarding = nullptr;
        if (forwarding == &text) {
            return;
        }
        PlatformMessagesRegistry& self = Instance();
        QtMessageHandler next = nullptr;
        {
            std::lock_guard lock(self.mutex);
            next = self.previous;
            if (type != QtDebugMsg && type != QtInfoMsg) {
                const std::thread::id here = std::this_thread::get_id();
                for (PlatformMessages* capture : self.captures) {
                    if (capture->thread_ == here) {
                        capture->messages_.append(text);
                    }
                }
            }
        }
        if (next != nullptr) {
            const QString* const outer = forwarding;
            forwarding = &text;
            next(type, context, text);
            forwarding = outer;
        }
    }

    std::mutex mutex;
    std::vector<PlatformMessages*> captures;
    /// The handler that was installed before ours.
    QtMessageHandler previous = nullptr;
    /// A handler that was installed in front of ours while captures were live.
    QtMessageHandler displacedBy = nullptr;
};

PlatformMessages::PlatformMessages() : thread_(std::this_thread::get_id()) {
    PlatformMessagesRegistry::Instance().Add(this);
}

PlatformMessages::~PlatformMessages() {
    PlatformMessagesRegistry::Instance().Remove(this);
}

QString PlatformMessages::Text(const QString& fallback) const {
    QStringList messages;
    {
        std::lock_guard lock(PlatformMessagesRegistry::Instance().mutex);
        messages = messages_;
    }
    const QString text = messages.join(QStringLiteral(" ")).simplified();
    return text.isEmpty() ? fallback : text.left(kPlatformMessageLength);
}

}  // namespace veliso
