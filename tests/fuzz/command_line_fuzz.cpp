// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
//
// Any arguments (the input cut at each NUL byte): the command line gives a run within its
// bounds, help, the version, or one short error line without a control character.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/command_line.h"
#include "core/common/text_excerpt.h"

#include "fuzz_check.h"

using namespace veliso;

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // A capture path is opened for writing to check it: no file is ever touched here.
    if (bytes.contains("capture")) {
        return 0;
    }
    QStringList arguments{QStringLiteral("veliso")};
    for (const QByteArray& argument : bytes.split('\0')) {
        arguments.append(QString::fromUtf8(argument));
    }
    const CommandLine command = ParseCommandLine(arguments);
    switch (command.action) {
        case CommandLine::Action::Error:
            Check(command.text.startsWith(QStringLiteral("veliso : ")));
            // Arguments are quoted as excerpts: the longest line quotes two of them.
            Check(command.text.size() <= 4 * static_cast<qsizetype>(kExcerptCharacters) + 120);
            for (const QChar c : command.text) {
                Check(c.unicode() >= 0x20 && c.unicode() != 0x7F &&
                      !(c.unicode() >= 0x80 && c.unicode() <= 0x9F) && c.unicode() != 0x2028 &&
                      c.unicode() != 0x2029);
            }
            break;
        case CommandLine::Action::Run:
            Check(!command.options.capturing());
            Check(!command.options.tab || (*command.options.tab >= 0 && *command.options.tab < 3));
            break;
        case CommandLine::Action::Help:
        case CommandLine::Action::Version:
            Check(!command.text.isEmpty());
            break;
    }
    return 0;
}
