// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

// The program's credit texts, in one place. UTF-8; build a QString with QString::fromUtf8.

namespace veliso::credits {

/// About box: the credit line at (34, 63), left of the contact address at (163, 62). In
/// Arial 8 pt it must stay under about 125 pixels wide, or it runs into the address.
inline constexpr char kCreditLine[] = "Équipe Veliso, contact :";

/// About box: the contact address shown underlined and used in the mail link
/// "mailto:" + address + "?subject=Veliso".
inline constexpr char kContactAddress[] = "contact@veliso.example";

/// About box: the licence, on one line under the configuration text.
inline constexpr char kLicenceLine[] = "Logiciel libre : licence GNU GPL 3 ou ultérieure";

/// --version: the lines after the version, naming the licence.
inline constexpr char kVersionLicence[] =
    "Licence : GNU GPL version 3 ou ultérieure (GPL-3.0-or-later).\n"
    "Veliso est un logiciel libre : vous pouvez le redistribuer et le modifier selon les\n"
    "termes de cette licence. Il est fourni sans aucune garantie.\n";

/// Status bar, last panel: the fixed credit text, right-justified.
inline constexpr char kStatusCredit[] = "Veliso — modèles particulaires des états de la matière";

}  // namespace veliso::credits
