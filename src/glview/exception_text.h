// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <QString>

namespace veliso {

/// Message of the exception being handled: its what(), or "Exception inconnue." for an
/// exception of no standard type. Only inside a catch block.
QString CurrentExceptionMessage();

}  // namespace veliso
