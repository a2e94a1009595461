// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "core/measure/spoken_row.h"

#include "core/measure/measurement_csv.h"

namespace veliso {

namespace {

// French typography: a no-break space between a figure and its unit, and before ":" and ";".
const std::string kNbsp = "\u00a0";

std::string Field(const Measurement& row, int column) {
    return MeasurementScreenField(row, column);
}

}  // namespace

std::string MeasurementFigures(const Measurement& row) {
    std::string text =
        Field(row, kCountColumn) + (row.count > 1 ? " particules, " : " particule, ");
    text += Field(row, kTemperatureColumn) + kNbsp + "K, volume " + Field(row, kVolumeColumn) +
            kNbsp + "%, masse relative " + Field(row, kMassColumn);
    text += kNbsp + "; pression " + Field(row, kPressureColumn) + kNbsp + "Pa" + kNbsp + "; ";
    if (!row.wallHits) {
        return text + "chocs sur les parois non mesurés";
    }
    text += Field(row, kWallHitsColumn) + " chocs par seconde sur les parois, moyenne sur " +
            Field(row, kReadoutsColumn) + kNbsp + "s";
    if (row.wallHitsSpread) {
        text += ", écart type " + Field(row, kSpreadColumn);
    }
    return text;
}

std::string MeasurementSentence(const Measurement& row) {
    std::string text =
        "Relevé " + Field(row, kNumberColumn) + ", série " + Field(row, kSeriesColumn);
    if (!row.time.empty()) {
        text += ", à " + row.time;
    }
    return text + kNbsp + ": " + MeasurementFigures(row) + ".";
}

std::string MeasurementSpokenCell(const Measurement& row, int column) {
    if (column < 0 || column >= kMeasurementColumns) {
        return {};
    }
    const std::string shown = Field(row, column);
    return std::string(kMeasurementColumnTitles[column]) + kNbsp + ": " +
           (shown.empty() ? "aucune valeur" : shown);
}

}  // namespace veliso
