#pragma once

// The program's credit texts, in one place. UTF-8; build a QString with QString::fromUtf8.

namespace veliso::credits {

/// About box: the credit line at (34, 63), left of the contact address at (163, 62). In
/// Arial 8 pt it must stay under about 125 pixels wide, or it runs into the address.
inline constexpr char kCreditLine[] = "Équipe Veliso, contact :";

/// About box: the contact address shown underlined and used in the mail link
/// "mailto:" + address + "?subject=Veliso".
inline constexpr char kContactAddress[] = "contact@veliso.example";

/// Status bar, last panel: the fixed credit text, right-justified.
inline constexpr char kStatusCredit[] = "Veliso — modèles particulaires des états de la matière";

}  // namespace veliso::credits
