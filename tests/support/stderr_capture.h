// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <unistd.h>

#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace veliso::testing {

/// While it lives, everything written on file descriptor 2 (the C and C++ streams, Qt's
/// messages, child processes that inherit it) goes into a temporary file; Finish() puts the
/// real standard error back and returns what was written. Sanitizer reports keep going to the
/// real standard error, so a fault found while capturing is seen even when it ends the process.
/// Qt messages are also recorded one by one, and still passed on to the handler before.
class StderrCapture {
  public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        file_ = std::tmpfile();
        if (saved_ < 0 || file_ == nullptr || dup2(fileno(file_), STDERR_FILENO) < 0) {
            failed_ = true;
            return;
        }
#if defined(__SANITIZE_ADDRESS__)
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(saved_)));
#endif
        Messages().clear();
        previous_ = qInstallMessageHandler(&Record);
        Previous() = previous_;
    }
    ~StderrCapture() {
        Finish();
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    /// False when descriptor 2 could not be redirected.
    bool capturing() const {
        return !failed_;
    }

    /// The Qt messages of the capture, in order.
    static std::vector<std::string>& Messages() {
        static std::vector<std::string> messages;
        return messages;
    }

    /// Ends the capture (once) and returns the bytes written on descriptor 2 meanwhile.
    std::string Finish() {
        if (finished_) {
            return written_;
        }
        finished_ = true;
        if (failed_) {
            return {};
        }
        qInstallMessageHandler(previous_);
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
#if defined(__SANITIZE_ADDRESS__)
        __sanitizer_set_report_fd(
            reinterpret_cast<void*>(static_cast<std::intptr_t>(STDERR_FILENO)));
#endif
        close(saved_);
        std::rewind(file_);
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) {
            written_.append(buffer, n);
        }
        std::fclose(file_);
        return written_;
    }

    /// Ends the capture and returns all that came out: the Qt messages, one a line, then the
    /// bytes written on descriptor 2. Empty when the program kept quiet.
    std::string FinishQuiet() {
        const std::string written = Finish();
        std::string all;
        for (const std::string& m : Messages()) {
            all += m + "\n";
        }
        return all + written;
    }

  private:
    static QtMessageHandler& Previous() {
        static QtMessageHandler previous = nullptr;
        return previous;
    }
    static void Record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        Messages().push_back(text.toStdString());
        if (Previous() != nullptr) {
            Previous()(type, context, text);
        }
    }

    int saved_ = -1;
    std::FILE* file_ = nullptr;
    QtMessageHandler previous_ = nullptr;
    bool failed_ = false;
    bool finished_ = false;
    std::string written_;
};

}  // namespace veliso::testing
