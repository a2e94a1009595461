#pragma once

#include <QUrl>

namespace veliso {

/// Hands a local document or a link (a "mailto:" address, say) to the desktop's opener,
/// xdg-open, as a detached process whose input and output are discarded. Returns whether the
/// opener was started; what becomes of the request afterwards is the desktop's affair. Without
/// an opener on the PATH nothing happens and nothing is printed: the program has no message of
/// its own for a page or a mail program that cannot be shown.
bool OpenWithDesktop(const QUrl& url);

}  // namespace veliso
