// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

#include <string>

#include "core/measure/measurement.h"

namespace veliso {

// A row of the measurement table in words, for whoever hears the table rather than sees it:
// every figure with its unit, written with the table's own digits.

/// The figures of a row: "100 particules, 400 K, volume 100 %, masse relative 5 ; pression
/// 136 006 Pa ; 133 chocs par seconde sur les parois, moyenne sur 5 s, écart type 11,5".
/// A row taken before a whole second was counted says "chocs sur les parois non mesurés".
std::string MeasurementFigures(const Measurement& row);

/// The whole row as one sentence: "Relevé 2, série 1, à 10:00:00 : " then its figures and a
/// full stop. A row without a time (a file's) leaves "à …" out.
std::string MeasurementSentence(const Measurement& row);

/// One cell of the table as a screen reader says it: its column's title, then the text the
/// cell shows ("Température T (K) : 400"), or "aucune valeur" for an empty cell.
std::string MeasurementSpokenCell(const Measurement& row, int column);

}  // namespace veliso
