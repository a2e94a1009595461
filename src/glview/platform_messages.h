// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QString>
#include <QStringList>

#include <thread>

namespace veliso {

/// Longest system message kept, in characters (after an error prefix, too).
constexpr int kPlatformMessageLength = 255;

/// Collects what Qt and its platform plugin (GLX, EGL, xcb) say on this thread while a
/// platform call runs: that is the platform's own description of a failure. Every message
/// still reaches the handler that was installed before.
///
/// Instances nest: each one collects the messages of its own lifetime, so an outer capture
/// also sees what an inner one saw. Messages from other threads pass through untouched; they
/// say nothing about this thread's call. Qt's message handler is taken over by the first live
/// capture of the process and given back when the last one ends, but only if nobody has
/// installed another handler meanwhile: that one then stays, and ours keeps forwarding
/// behind it.
class PlatformMessages {
  public:
    PlatformMessages();
    ~PlatformMessages();
    PlatformMessages(const PlatformMessages&) = delete;
    PlatformMessages& operator=(const PlatformMessages&) = delete;

    /// The collected text (at most kPlatformMessageLength characters), or `fallback` when the
    /// platform said nothing.
    QString Text(const QString& fallback) const;

  private:
    friend struct PlatformMessagesRegistry;
    std::thread::id thread_;
    QStringList messages_;
};

}  // namespace veliso
