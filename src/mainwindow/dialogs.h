// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QString>

class QWidget;

namespace veliso {

/// Asks a yes/no question about losing something in a box titled `title` over `parent`; the
/// default button and Escape answer No, so that losing it takes a deliberate Yes.
bool AskDefaultNo(QWidget* parent, const QString& title, const QString& text);

}  // namespace veliso
